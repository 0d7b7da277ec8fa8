#include "jobstate.h"

#include <algorithm>
#include <iterator>

namespace mivo::workflow
{

namespace
{

struct StateCode {
    JobState state;
    QStringView code;
};

constexpr StateCode codes[] = {
    {JobState::Recorded, u"BE"},   {JobState::Assigned, u"KI"},   {JobState::Done, u"OK"},
    {JobState::ClosedDoor, u"ZA"}, {JobState::InProgress, u"FO"}, {JobState::Superseded, u"TAR"},
    {JobState::Deleted, u"TOR"},
};

struct Transition {
    std::optional<JobState> from;
    JobState to;
};

// The operations behind each pair: storing a new request (none → BE or KI; new visits from
// the "Z" and "F" lists are new jobs), the imports (none → OK), giving out (BE → KI),
// moving or modifying (KI → KI), unassigning and absences (KI → BE), deleting (KI → TOR),
// documenting and correcting a completion (KI or OK → OK or ZA), and superseding a
// closed-door or in-progress job by a new visit (ZA or FO → TAR).
const Transition transitions[] = {
    {std::nullopt, JobState::Recorded},
    {std::nullopt, JobState::Assigned},
    {std::nullopt, JobState::Done},
    {JobState::Recorded, JobState::Assigned},
    {JobState::Assigned, JobState::Assigned},
    {JobState::Assigned, JobState::Recorded},
    {JobState::Assigned, JobState::Deleted},
    {JobState::Assigned, JobState::Done},
    {JobState::Assigned, JobState::ClosedDoor},
    {JobState::Done, JobState::Done},
    {JobState::Done, JobState::ClosedDoor},
    {JobState::ClosedDoor, JobState::Superseded},
    {JobState::InProgress, JobState::Superseded},
};

} // namespace

QString stateCode(JobState state)
{
    const auto it = std::find_if(std::begin(codes), std::end(codes),
                                 [state](const StateCode& c) { return c.state == state; });
    return it->code.toString();
}

std::optional<JobState> stateFromCode(QStringView code)
{
    const QStringView trimmed = code.trimmed();
    const auto it = std::find_if(std::begin(codes), std::end(codes),
                                 [trimmed](const StateCode& c) { return c.code == trimmed; });
    if (it == std::end(codes))
        return std::nullopt;
    return it->state;
}

bool transitionAllowed(std::optional<JobState> from, JobState to)
{
    return std::any_of(std::begin(transitions), std::end(transitions),
                       [&](const Transition& t) { return t.from == from && t.to == to; });
}

} // namespace mivo::workflow
