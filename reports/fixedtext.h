#pragma once

#include "platform/fieldtypes.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

namespace mivo::data
{
class RowSource;
}

namespace mivo::reports
{

/// The column widths of fixed-width lines: each the larger of its display width and its label.
std::vector<int> fixedWidths(const std::vector<data::Column>& columns);
/// One fixed-width line: text columns left-aligned and padded to their width + 2, the others
/// right-aligned to it and followed by two blanks.
QString fixedLine(const std::vector<data::Column>& columns, const std::vector<int>& widths,
                  const std::function<QVariant(int)>& value);
/// The labels of the columns laid out as fixedLine lays out values.
QString fixedHeading(const std::vector<data::Column>& columns, const std::vector<int>& widths);

/// Writes one fixedLine per row, no heading. UTF-8, CRLF. False with the reason.
bool writeFixedText(data::RowSource& rows, const QString& path, QString* error);

} // namespace mivo::reports
