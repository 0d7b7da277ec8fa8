#pragma once

#include "gridjob.h"

#include "core/screen.h"

namespace mivo::workflow
{

class NapirendGrid;
class RequestFields;

/// What the two scheduling forms share: the commands and buttons above the form, the request
/// fields and the planning grid. A form is created once and re-initialised at every opening;
/// its base mode is the mode of the opening.
class SchedulingForm : public Screen
{
    Q_OBJECT
public:
    /// Shows the form for a menu item: caption without "&", base mode, then a fresh start.
    void open(const QString& menuText, const QString& mode) { openScreen(*this, menuText, mode); }
    /// Prepares the form as every opening does: rebuilds the grid and resets the request.
    void initialise() override;

    QString baseMode() const { return mode(); }
    QString currentMode() const { return m_currentMode; }
    NapirendGrid* grid() const { return m_grid; }
    RequestFields* requestFields() const { return m_fields; }

protected:
    SchedulingForm(ScheduleForm form, QWidget* parent);
    /// Shows the controls of the base mode.
    virtual void applyMode();
    void editingChanged(bool editing) override;

private:
    RequestFields* m_fields;
    NapirendGrid* m_grid;
    QString m_currentMode;
};

} // namespace mivo::workflow
