#pragma once

#include <QString>

class QWidget;

namespace mivo::report
{

struct Report;

/// Shows the report in the print preview, from which the user prints.
void preview(Report& report, QWidget* parent = nullptr);

/// Prints the report on the default printer without asking. False with the reason (no
/// printer, ...).
bool printDirect(Report& report, QString* error);

} // namespace mivo::report
