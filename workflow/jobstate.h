#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace mivo::workflow
{

/// The state of a job (MUNKA.ALLAPOT). The program names the stored codes here and nowhere
/// else; the users' display names live in the ALLAPOT table.
enum class JobState {
    Recorded,   ///< "BE": recorded, given to nobody
    Assigned,   ///< "KI": given out to a technician's slot or an external technician
    Done,       ///< "OK": done and documented
    ClosedDoor, ///< "ZA": the technician found nobody at home
    InProgress, ///< "FO": in progress
    Superseded, ///< "TAR": a closed-door or in-progress job replaced by a new visit
    Deleted,    ///< "TOR": deleted; no list or schedule shows it
};

/// The code stored in MUNKA.ALLAPOT ("BE", "KI", ...).
QString stateCode(JobState state);

/// The state of a stored code (blanks around it ignored). Nullopt for an empty code and for
/// a code this program gives no meaning to (the external-jobs screen may store any code of
/// the ALLAPOT table).
std::optional<JobState> stateFromCode(QStringView code);

/// Whether an operation of the program may take a job from `from` (nullopt: the job is being
/// created) to `to`. Two cases stand outside these rules on purpose: the external-jobs
/// screen stores any state chosen by name, and a job on a past day may be taken off the grid
/// in whatever state it is once the user confirms.
bool transitionAllowed(std::optional<JobState> from, JobState to);

} // namespace mivo::workflow
