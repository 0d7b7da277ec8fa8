#pragma once

#include "platform/querymodel.h"

#include <QString>

#include <vector>

namespace mivo::workflow
{

/// The stored versions of one job (":kod"): its rows in MUNKA_LOG and its current MUNKA row,
/// identical versions merged, ordered by the time of writing (MIKORI) with the current row
/// always last, also when a logged version carries the same second. The field AKTUALIS is 1
/// on the current row.
QString jobHistorySql();

/// The columns the job history window shows, in the order of the statement.
std::vector<data::ShownColumn> jobHistoryColumns();

/// What "&Indul" of the history list prints: the job sheets or the history report, of the
/// customer's one appliance or of all of them (keszulek 0).
struct HistoryPrint {
    bool jobSheets = false;
    int ugyfel = 0;
    int keszulek = 0;

    bool operator==(const HistoryPrint&) const = default;
};

/// The print for the customer, his current appliance (0 when none) and the two boxes.
HistoryPrint historyPrint(int ugyfel, int currentAppliance, bool allAppliances,
                          bool jobSheetDetail);

/// The appliances of the history list (":ugyfel").
QString historyApplianceSql();
/// The jobs of one appliance of the history list (":ugyfel", ":keszulek").
QString historyJobSql();

/// "A " + code + " sz. munka történeti áttekintése".
QString jobHistoryTitle(int kod);

} // namespace mivo::workflow
