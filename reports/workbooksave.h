#pragma once

#include "platform/workbookwriter.h"

#include <QString>

#include <vector>

namespace mivo::reports
{

/// Saves result sets as an Excel workbook, one sheet each, and tells the user. An empty
/// name asks with the export's save dialog; an existing file is replaced only when
/// overwriting is allowed or the user agrees. A name ending in ".XLSM" gets a macro-enabled
/// workbook, any other an xlsx one. With askToOpen the user may open the file in the
/// spreadsheet program. The path written comes back, empty when nothing was written.
QString saveWorkbook(const std::vector<data::SheetRows>& sheets, const QString& fileName,
                     bool overwriteAllowed, const data::Progress& progress, bool askToOpen);

} // namespace mivo::reports
