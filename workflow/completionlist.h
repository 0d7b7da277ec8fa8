#pragma once

#include "completion.h"
#include "requestchecks.h"
#include "sqlstatement.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace mivo::workflow
{

/// The conditions of the job list ("Szűrő feltételek"). Empty fields add no condition.
struct CompletionFilter {
    QString munkadTol, munkadIg; ///< date of the work
    QString tervdTol, tervdIg;   ///< planned date
    int ugyfel = 0;              ///< a picked customer; 0: by name and town
    QString ugyfelNev, varos;
    QString szerelo; ///< the performer (mode "OK") or the planned technician (mode "KI")
    int tipus = 0;   ///< appliance type (ARU.BELSOKOD); 0: any
    QString tipusKod;
    QString munkaszam, szamlaszam;
};

/// The filter as "Feltételek &törlése" leaves it on the day: in mode "KI" planned from the
/// first of the month to the day, in mode "OK" worked up to the day.
CompletionFilter clearedFilter(CompletionMode mode, const QString& today);

/// Why the filter cannot be accepted: an invalid date ("Hibás dátum." with the text), or a
/// "to" date before its "from" date ("Rossz intervallum."), with the field to focus.
std::optional<Refusal> checkFilter(const CompletionFilter& filter);

/// The list's fields in the order of its select; a column title click orders by the
/// position of its field (index + 1): names alone would be ambiguous or aliases.
const QStringList& completionListFields();

/// The list (q_munkaki) of the mode's jobs that the filter lets through, every value bound.
/// Jobs whose activity or appliance type has gone from the dictionaries are listed too.
/// orderPosition 0 orders by town and street, else by the field at that position.
SqlStatement completionListStatement(CompletionMode mode, const CompletionFilter& filter,
                                     int orderPosition = 0);

} // namespace mivo::workflow
