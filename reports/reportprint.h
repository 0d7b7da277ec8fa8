#pragma once

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace mivo::report
{

struct Report;

/// Shows the report in the print preview, from which the user prints.
void preview(Report& report, QWidget* parent = nullptr);

/// Prints the report on the default printer without asking. False with the reason (no
/// printer, ...).
bool printDirect(Report& report, QString* error);

/// Makes a report; null with the reason when it cannot (its data cannot be read).
using ReportBuilder = std::function<std::unique_ptr<Report>(QString* error)>;

/// Builds the report and shows it in the preview; a report that cannot be built is told to
/// the user.
void preview(const ReportBuilder& build, QWidget* parent = nullptr);
/// Builds the report and prints it at once; false after telling the user why not.
bool printDirect(const ReportBuilder& build);

} // namespace mivo::report
