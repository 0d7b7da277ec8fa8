#pragma once

#include <QWidget>

namespace mivo::workflow
{

/// The request fields of the scheduling forms: customer, appliance, activity, problem,
/// day, hour, part of day, technician, external technician and parts. They are enabled
/// only while a request is being edited.
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
};

} // namespace mivo::workflow
