#pragma once

#include "request.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace mivo::workflow
{

/// The request fields of the scheduling forms: customer, appliance, activity, problem,
/// day, hour, part of day, technician, external technician and parts. They are enabled
/// only while a request is being edited. Enter and Down move to the next field, Up to the
/// previous one.
class RequestFields : public QWidget
{
    Q_OBJECT
public:
    explicit RequestFields(QWidget* parent = nullptr);

    /// Empties every field; the request date becomes today.
    void reset();
    void setEditing(bool editing);
    /// " Munka leírása:" is shown by the lists of closed-door and in-progress jobs only.
    void setWorkDescriptionVisible(bool visible);
    /// The names of the activities to choose from; the choice is lost.
    void setActivities(const QStringList& names);

    /// Shows the request in the fields.
    void showRequest(const Request& request);
    /// Takes what the user typed or chose into the request.
    void readInto(Request& request) const;

    QLineEdit* edit(const QString& name) const;
    QPushButton* button(const QString& name) const;
    QCheckBox* checkBox(const QString& name) const;
    QComboBox* comboBox(const QString& name) const;

signals:
    /// A button of the fields ("b_ugyfel", "b_ujugyfel", "b_irszam", "b_keszulek", "b_nap",
    /// "b_kulsos", "b_alk") was pressed.
    void buttonPressed(const QString& name);
    /// The user left the postal code field.
    void postalCodeLeft();
    /// The user left the request date field.
    void requestDateLeft();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace mivo::workflow
