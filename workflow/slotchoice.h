#pragma once

#include "gridjob.h"
#include "request.h"

namespace mivo::workflow
{

class NapirendModel;

/// The rules that give a request a cell of the planning grid. Refusals and questions reach
/// the user through the message service; the grid shows the chosen cell as pending until the
/// request is stored or the choice is dropped.
class SlotChooser
{
public:
    SlotChooser(NapirendModel& grid, ScheduleForm form) : m_grid(grid), m_form(form) {}

    /// Whether past days may be chosen (request entry with LEHETREGI other than "N").
    void setPastDaysAllowed(bool allowed) { m_pastAllowed = allowed; }

    /// Chooses the cell (column 1..n, hour row) for the request: the day must not be past,
    /// the technician not absent (the column is read afresh first), and a slot the request
    /// holds already is given up only on the user's word. True when the cell became the
    /// request's slot: technician field, request date and hour follow it.
    bool choose(Request& request, int column, int row);

    /// "&Kiosztás törlése": forgets a chosen grid cell with the hour, technician and external
    /// technician fields. Nothing happens for another kind of slot.
    void clear(Request& request);

    /// The request's slot given to the external technician instead of a grid cell.
    void chooseExternal(Request& request, const ExternalTechnician& technician);

    /// Before a store: when the request date was changed after the cell was chosen, the day
    /// rules run again for the new date (the column moves to it). False, with the message
    /// shown, when the new date may not be chosen.
    bool confirmDay(Request& request);

    /// Shows the request's grid slot as the pending cell (none for another kind of slot).
    void showPending(const Request& request);

private:
    bool pastDayRefused(const QString& date) const;
    /// Reads the column afresh for the date; false when it is absent (message shown) or
    /// could not be read.
    bool technicianWorks(int column, const QString& date);
    bool takeOver(const Request& request, int column, int row) const;

    NapirendModel& m_grid;
    ScheduleForm m_form;
    bool m_pastAllowed = false;
};

} // namespace mivo::workflow
