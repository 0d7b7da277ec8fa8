#include "generatedrows.h"

namespace mivo::bench
{

GeneratedRows::GeneratedRows(qint64 rows) : m_rows(rows)
{
    for (int c = 0; c < columnCount; ++c) {
        data::Column col;
        col.name = QStringLiteral("OSZLOP%1").arg(c);
        col.label = col.name;
        col.kind = isText(c) ? data::FieldKind::Text
                   : c < 4   ? data::FieldKind::Integer
                             : data::FieldKind::Float;
        col.length = 20;
        col.displayWidth = data::displayWidth(col.kind, col.length);
        m_columns.push_back(col);
    }
}

double GeneratedRows::number(qint64 row, int column)
{
    return column < 4 ? double(row * (column + 1)) : row / 7.0 + column;
}

QString GeneratedRows::text(qint64 row, int column)
{
    return QStringLiteral("Szöveg %1/%2").arg(row).arg(column);
}

QVariant GeneratedRows::value(int column) const
{
    if (isText(column))
        return text(m_row, column);
    if (column < 4)
        return qint64(number(m_row, column));
    return number(m_row, column);
}

} // namespace mivo::bench
