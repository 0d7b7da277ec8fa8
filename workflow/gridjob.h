#pragma once

#include "job.h"

#include "core/editingguard.h"

#include <QString>

#include <optional>

namespace mivo::workflow
{

class NapirendModel;

/// The job information message: thirteen lines about the job and its customer.
QString jobInformation(const GridJob& job);

/// Which scheduling form the grid sits in; the two treat past days differently.
enum class ScheduleForm {
    Jobs,  ///< Tadatfelvfm: job lists (modes "M", "Z", "F")
    Entry, ///< Tadatfelv2fm: request entry (mode "U")
};

/// Taking a job off the grid.
enum class Removal {
    Unassign, ///< back to JobState::Recorded, to be given out later
    Delete,   ///< to JobState::Deleted
};

/// A job taken off the grid: its code and the technician who held it until then.
struct RemovedJob {
    int kod = 0;
    QString formerTechnician;
};

/// The actions offered on an occupied cell of the planning grid. Refusals, questions and
/// failures reach the user through the message service.
class CellActions
{
public:
    CellActions(NapirendModel& grid, ScheduleForm form) : m_grid(grid), m_form(form) {}

    /// Whether a request is being edited on the form (cell actions then refuse).
    void setEditing(bool editing) { m_editing.setEditing(editing); }
    bool editing() const { return m_editing.editing(); }

    /// "Info": shows the information of the cell's job; nothing for a cell without one.
    void showInformation(int column, int row) const;

    /// The check that runs before a job on the grid is moved, unassigned, modified or
    /// deleted: the loaded job when the action may go on.
    std::optional<GridJob> check(int column, int row) const;

    /// Unassigns or deletes the cell's job after the check and the user's consent. The cell
    /// is emptied only when the job was stored. When another workstation changed the job
    /// since the check nothing is written: the user is told and the column is read afresh.
    std::optional<RemovedJob> remove(int column, int row, Removal kind);

private:
    NapirendModel& m_grid;
    ScheduleForm m_form;
    EditingGuard m_editing;
};

} // namespace mivo::workflow
