#pragma once

#include <QString>

class QPagedPaintDevice;

namespace mivo::report
{

struct Report;

/// Draws the report on a paged device (printer, PDF writer), whose page layout it sets.
/// False with the reason when the device cannot be painted on.
bool render(Report& report, QPagedPaintDevice& device, QString* error);

/// Writes the report as a PDF file; the file appears under path only when complete.
bool writePdf(Report& report, const QString& path, QString* error);

} // namespace mivo::report
