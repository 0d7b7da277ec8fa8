#include "torzsstatements.h"

#include "core/altproc.h"
#include "fieldcheck.h"
#include "numberformat.h"
#include "platform/fieldtypes.h"

namespace mivo::torzs
{

QStringList columnList(const QStringList& panelFields, const QStringList& keys)
{
    QStringList columns;
    for (const QString& f : panelFields)
        if (!columns.contains(f, Qt::CaseInsensitive))
            columns << f;
    for (const QString& k : keys)
        if (!columns.contains(k, Qt::CaseInsensitive))
            columns << k;
    return columns;
}

QStringList selectLines(const QStringList& columns, const QString& table,
                        const QString& conditionLine, const QString& order)
{
    QStringList lines{QStringLiteral("Select")};
    for (qsizetype i = 0; i < columns.size(); ++i)
        lines << (i == 0 ? QString() : QStringLiteral(",")) + columns[i];
    lines << QStringLiteral(" From ") + table << conditionLine;
    if (!order.isEmpty())
        lines << order;
    return lines;
}

QString orderLine(const QString& fields)
{
    return QStringLiteral(" ORDER BY ") + fields;
}

void setOrder(QStringList& lines, const QString& field)
{
    for (QString& line : lines) {
        if (line.contains(QLatin1String("ORDER BY"), Qt::CaseInsensitive)) {
            line = orderLine(field);
            return;
        }
    }
    lines << orderLine(field);
}

Statements::Statements(const QString& table, const QList<Column>& columns, const QStringList& keys)
    : m_table(table), m_columns(columns), m_keys(keys)
{
}

QStringList Statements::whereColumns() const
{
    if (hasPrimaryKey())
        return m_keys;
    QStringList all;
    for (const Column& c : m_columns)
        if (c.typeName != QLatin1String("MEMO"))
            all << c.name;
    return all;
}

QStringList Statements::insertLines(const QSet<QString>& leftOut) const
{
    QStringList names;
    for (const Column& c : m_columns)
        if (!leftOut.contains(c.name))
            names << c.name;
    const QString returning = QStringLiteral("RETURNING ") + whereColumns().join(QLatin1Char(','));
    if (names.isEmpty())
        return {QStringLiteral("INSERT INTO ") + m_table + QStringLiteral(" DEFAULT VALUES"),
                returning};
    QStringList lines{QStringLiteral("INSERT INTO ") + m_table + QStringLiteral(" (")};
    for (qsizetype i = 0; i < names.size(); ++i)
        lines << (i == 0 ? QStringLiteral(" ") : QStringLiteral(",")) + names[i];
    lines << QStringLiteral(")") << QStringLiteral("VALUES (");
    for (qsizetype i = 0; i < names.size(); ++i)
        lines << (i == 0 ? QStringLiteral(" :") : QStringLiteral(",:")) + names[i];
    lines << QStringLiteral(")") << returning;
    return lines;
}

QStringList Statements::whereLines(const QString& prefix, const QSet<QString>& nullColumns) const
{
    const QStringList find = whereColumns();
    QStringList lines;
    for (qsizetype i = 0; i < find.size(); ++i) {
        const QString& c = find[i];
        const QString term = nullColumns.contains(c) ? c + QStringLiteral(" IS NULL")
                                                     : c + QStringLiteral("= :") + prefix + c;
        lines << term + (i + 1 < find.size() ? QStringLiteral(" AND") : QString());
    }
    // Rows that no key tells apart: only one of them is meant.
    if (!hasPrimaryKey())
        lines << QStringLiteral("ROWS 1");
    return lines;
}

QStringList Statements::updateLines(const QSet<QString>& nullOldColumns) const
{
    QStringList lines{QStringLiteral("UPDATE ") + m_table + QStringLiteral(" SET ")};
    for (qsizetype i = 0; i < m_columns.size(); ++i)
        lines << m_columns[i].name + QStringLiteral("= :") + m_columns[i].name +
                     (i + 1 < m_columns.size() ? QStringLiteral(" , ") : QString());
    lines << QStringLiteral("WHERE") << whereLines(QStringLiteral("OLD_"), nullOldColumns);
    return lines;
}

QStringList Statements::deleteLines(const QSet<QString>& nullColumns) const
{
    return QStringList{QStringLiteral("DELETE FROM ") + m_table + QStringLiteral(" WHERE ")} +
           whereLines(QString(), nullColumns);
}

QVariant nullOf(const QString& /*typeName*/)
{
    // The driver binds NULL only for an invalid variant: a typed empty one would be 0 or ''.
    return QVariant();
}

QVariant parameterValue(const QString& typeName, const QString& text, bool* ok)
{
    *ok = true;
    const QString trimmed = text.trimmed();
    const data::FieldKind kind = data::kindOfTypeName(typeName);
    const bool integer = data::isInteger(kind);
    const bool number = data::isNumeric(kind);
    if (number ? trimmed.isEmpty() : text.isEmpty())
        return nullOf(typeName);
    if (integer) {
        bool converted = false;
        const qlonglong value = trimmed.toLongLong(&converted);
        *ok = converted && alt::isNumber(trimmed, true) && trimmed != QLatin1String("-");
        return *ok ? QVariant(value) : nullOf(typeName);
    }
    if (number) {
        // A number format's group blanks go; the rest must be a plain number.
        QString plain = trimmed;
        plain.remove(NumberFormat::groupSeparator);
        plain.remove(QChar(0x00A0));
        double value = 0;
        *ok = fieldcheck::number(plain, &value);
        return *ok ? QVariant(value) : nullOf(typeName);
    }
    return text;
}

} // namespace mivo::torzs
