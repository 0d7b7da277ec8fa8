#pragma once

#include "gridjob.h"

#include "core/menuscreen.h"

#include <QWidget>

class QPushButton;
class QVBoxLayout;

namespace mivo::workflow
{

class NapirendGrid;
class RequestFields;

/// What the two scheduling forms share: the buttons above the form, the request fields
/// and the planning grid. A form is created once and re-initialised at every opening.
class SchedulingForm : public QWidget, public MenuScreen
{
    Q_OBJECT
public:
    /// Shows the form for a menu item: caption without "&", base mode, then a fresh start.
    void open(const QString& menuText, const QString& mode) { openScreen(*this, menuText, mode); }
    QWidget* widget() override { return this; }
    /// Takes the base mode and starts afresh.
    void prepare(const QString& mode) override;
    /// Prepares the form as every opening does: rebuilds the grid and resets the request.
    void initialise();

    QString baseMode() const { return m_baseMode; }
    QString currentMode() const { return m_currentMode; }
    NapirendGrid* grid() const { return m_grid; }
    RequestFields* requestFields() const { return m_fields; }

protected:
    SchedulingForm(ScheduleForm form, QWidget* parent);
    /// The buttons above the form.
    QWidget* buttonBar() const { return m_buttons; }
    /// Shows the controls of the base mode.
    virtual void applyMode();

    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* addButton(const QString& name, const QString& caption);

    QWidget* m_buttons;
    RequestFields* m_fields;
    NapirendGrid* m_grid;
    QString m_baseMode;
    QString m_currentMode;
};

} // namespace mivo::workflow
