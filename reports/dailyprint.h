#pragma once

#include <QString>

class QWidget;

namespace mivo::reports
{

/// "Print daily work instruction": the technician's (or "MIND") jobs between the dates in the
/// layout of the own company code, in the preview from which the user prints. A report that
/// cannot be read is told to the user.
void printDailyInstruction(const QString& technician, const QString& from, const QString& to,
                           const QString& title, QWidget* parent = nullptr);

/// "Print job sheets": the customer's job sheets of one appliance (0: of every appliance) in
/// the preview.
void printJobSheets(int ugyfel, int keszulek, QWidget* parent = nullptr);

} // namespace mivo::reports
