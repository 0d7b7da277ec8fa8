#pragma once

#include <QString>

namespace mivo::data
{
class RowSource;
}

namespace mivo::reports
{

/// Writes one line per row, no heading: each column as wide as the larger of its display
/// width and its label; text columns left-aligned and padded to that width + 2, the others
/// right-aligned to it and followed by two blanks. UTF-8, CRLF. False with the reason.
bool writeFixedText(data::RowSource& rows, const QString& path, QString* error);

} // namespace mivo::reports
