#pragma once

#include "report.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace mivo::reports
{

/// The history report (Tqr_elozmeny): every job of a customer on one appliance, or on all
/// the appliances he has jobs on when keszulek is 0, grouped by appliance (type, serial
/// number, commissioning date and whether yearly maintenance was ordered, from its latest
/// commissioning sheet) and ordered by the date taken; each job with its invoice number,
/// planned description, job number, repair text and the parts used. Technician and activity
/// codes print as their names (the code when unknown). Null with the database's text when
/// the data cannot be read.
std::unique_ptr<report::Report> buildElozmeny(int ugyfel, int keszulek, QString* error);

/// The statements of the report's rows for all the customer's appliances (":ugyfel"): jobs,
/// parts, commissioning sheets; for measuring them bare.
QStringList elozmenyStatements();

} // namespace mivo::reports
