#pragma once

#include <QString>

#include <optional>

namespace mivo::workflow
{

class NapirendModel;

/// A job as the grid's actions read it: the job with its customer, activity and appliance
/// type names.
struct GridJob {
    int kod = 0;
    int ugyfel = 0;
    int keszulek = 0;
    int tipus = 0;
    QString felveteld, tervd, tervt, leirast, szerelot, tervtev, allapot, telefon, dedu, lemondta,
        juzer, kesz;
    QString tevnev, keszuleknev, keszulekkod;
    QString ugyfelnev, irszam, varos, utca, ugyfeltelefon, fax, email, komment, komment2;
};

/// Reads a job by its code. Nullopt when there is none or the read failed (then *error holds
/// the database's text; it stays empty when the job is gone).
std::optional<GridJob> loadGridJob(int kod, QString* error);

/// The job information message: thirteen lines about the job and its customer.
QString jobInformation(const GridJob& job);

/// Whether a slot (technician code, date, hour) holds a job other than the one being stored
/// (kod 0 for a new job). Deleted jobs free their slot. Nullopt with the database's text in
/// *error when it could not be read.
std::optional<bool> slotTakenByOther(const QString& szerelo, const QString& datum,
                                     const QString& ora, int kod, QString* error);

/// Which scheduling form the grid sits in; the two treat past days differently.
enum class ScheduleForm {
    Jobs,  ///< Tadatfelvfm: job lists (modes "M", "Z", "F")
    Entry, ///< Tadatfelv2fm: request entry (mode "U")
};

/// Taking a job off the grid.
enum class Removal {
    Unassign, ///< back to "BE", to be given out later
    Delete,   ///< to "TOR"
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
    void setEditing(bool editing) { m_editing = editing; }
    bool editing() const { return m_editing; }

    /// "Info": shows the information of the cell's job; nothing for a cell without one.
    void showInformation(int column, int row) const;

    /// The check that runs before a job on the grid is moved, unassigned, modified or
    /// deleted: the loaded job when the action may go on.
    std::optional<GridJob> check(int column, int row) const;

    /// Unassigns or deletes the cell's job after the check and the user's consent. The cell
    /// is emptied only when the job was stored.
    std::optional<RemovedJob> remove(int column, int row, Removal kind);

private:
    NapirendModel& m_grid;
    ScheduleForm m_form;
    bool m_editing = false;
};

} // namespace mivo::workflow
