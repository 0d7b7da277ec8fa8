#pragma once

#include "report.h"

#include <QString>

#include <memory>

namespace mivo::reports
{

/// The job sheets ("MUNKAUTALVÁNY", Tqr_munkalap) of a customer's jobs on one appliance, or on
/// every appliance when keszulek is 0: only appliances with a commissioning sheet appear, and
/// deleted ("TOR") jobs do not. Each appliance begins a new page and each job fills one page:
/// the request, the appliance's settings from its commissioning sheet, the completion and the
/// parts used. Activity and technician codes print as their names (the code when unknown).
/// Null with the database's text when the data cannot be read.
std::unique_ptr<report::Report> buildMunkalap(int ugyfel, int keszulek, QString* error);

} // namespace mivo::reports
