#pragma once

#include "gridjob.h"
#include "request.h"
#include "slotchoice.h"

#include "core/screen.h"

namespace mivo::workflow
{

class CustomerLists;
class NapirendGrid;
class RequestFields;
struct ListedAppliance;

/// What the two scheduling forms share: the commands above the form, the request fields
/// with the customer's lists, the planning grid, and the editing of one request from "Új
/// &adatlap", a listed job or a job taken from the grid until it is stored or dropped. A form
/// is created once and re-initialised at every opening; its base mode is the mode of the
/// opening.
class SchedulingForm : public Screen
{
    Q_OBJECT
public:
    /// Shows the form for a menu item: caption without "&", base mode, then a fresh start.
    void open(const QString& menuText, const QString& mode) { openScreen(*this, menuText, mode); }
    /// Prepares the form as every opening does: rebuilds the grid and resets the request.
    void initialise() override;

    QString baseMode() const { return mode(); }
    QString currentMode() const { return modeLetter(m_request.currentMode); }
    /// The request as the fields and the form hold it.
    const Request& request();
    NapirendGrid* grid() const { return m_grid; }
    RequestFields* requestFields() const { return m_fields; }
    CustomerLists* customerLists() const { return m_lists; }

protected:
    SchedulingForm(ScheduleForm form, QWidget* parent);
    /// Shows the controls of the base mode.
    virtual void applyMode();
    void editingChanged(bool editing) override;
    void closeEvent(QCloseEvent* event) override;

    /// Loads a stored job into the request for editing in the mode ("M", "Z", "F" from the
    /// list, "Á" or "Ó" from the grid).
    void loadJob(const GridJob& job, RequestMode mode);
    /// After a store or when the list is shown anew.
    virtual void rereadList() {}
    /// A cell clicked while no request is edited.
    virtual void cellClickedIdle(int column, int row)
    {
        Q_UNUSED(column)
        Q_UNUSED(row)
    }
    ScheduleForm form() const { return m_form; }

private:
    void addCommands();
    void connectFields();
    /// Takes the typed values into the request, and back.
    void sync();
    void showRequest();
    void resetRequest();
    void focusStart();
    void refuse(const QString& message, const QString& focus);

    void startNew();
    void store();
    /// Every check before the writes; true when the store may go on.
    bool storeAllowed();
    void slotTaken();
    void cancel();
    void clearSlot();

    void pickCustomer();
    void newCustomer();
    void showCustomer();
    void applianceSelected(const ListedAppliance& appliance);
    void pickApplianceType();
    void postalCodeLeft();
    void pickPostalCode();
    void pickDay();
    void requestDateLeft();
    void pickExternal();
    void pickParts();

    void cellChosen(int column, int row);
    void moveJob(int column, int row, const GridJob& job);
    void modifyJob(int column, int row, const GridJob& job);

    ScheduleForm m_form;
    RequestFields* m_fields;
    CustomerLists* m_lists;
    NapirendGrid* m_grid;
    SlotChooser m_slots;
    Request m_request;
};

} // namespace mivo::workflow
