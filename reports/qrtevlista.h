#pragma once

#include "activitylist.h"
#include "report.h"

#include <memory>

namespace mivo::reports
{

/// The period activity list on paper: page header with the title, "Időszak: " + from + " -> "
/// + to, the printing time and "Nyomtatta: " + the user; a two-line band per job (technician,
/// date, activity, customer with address, appliance; the description below, growing with its
/// text); "Összes tétel:" + the number of jobs. The date and description are TERVD/LEIRAST
/// for assigned, MUNKAD/LEIRASM for completed jobs. Null with the message (a date check's or
/// the database's) when the list cannot be built.
std::unique_ptr<report::Report> buildTevlista(const ActivityConditions& conditions,
                                              const QString& title, QString* error);

} // namespace mivo::reports
