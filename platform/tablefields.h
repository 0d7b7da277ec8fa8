#pragma once

#include "fieldtypes.h"

#include <QByteArray>
#include <QList>

#include <vector>

namespace mivo::data
{

/// Field names a table format accepts: upper case, ASCII, at most maxLength bytes, unique
/// (a clash gets a running number at its end).
QList<QByteArray> tableFieldNames(const std::vector<Column>& columns, int maxLength);

/// A value as Windows-1250 text for a table's text field, cut to maxBytes.
QByteArray tableText(const QVariant& value, FieldKind kind, int maxBytes);

} // namespace mivo::data
