#include "sqlscript.h"

#include "platform/rowsource.h"
#include "platform/sqltext.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <QTime>

namespace mivo::reports
{

namespace
{

constexpr int lineLimit = 1023;

QString textLiteral(QString text)
{
    text.replace(QLatin1String("/*"), QString()).replace(QLatin1String("*/"), QString());
    return db::literal(text);
}

QString sqlValue(const QVariant& value, data::FieldKind kind)
{
    using data::FieldKind;
    switch (kind) {
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
        return QString::number(value.toLongLong());
    case FieldKind::Float:
    case FieldKind::Decimal:
        return data::shortestNumber(value.toDouble());
    case FieldKind::Boolean:
        return value.toBool() ? QStringLiteral("'TRUE'") : QStringLiteral("'FALSE'");
    // Dates as literals that a database reads back as the same date.
    case FieldKind::Date:
        return QLatin1Char('\'') + value.toDate().toString(Qt::ISODate) + QLatin1Char('\'');
    case FieldKind::Time:
        return QLatin1Char('\'') + value.toTime().toString(QStringLiteral("hh:mm:ss.zzz")) +
               QLatin1Char('\'');
    case FieldKind::DateTime:
        return QLatin1Char('\'') +
               value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")) +
               QLatin1Char('\'');
    default:
        return textLiteral(data::displayText(value, kind));
    }
}

// Collects a statement, handing out a line whenever the next piece would make it too long.
class StatementLines
{
public:
    explicit StatementLines(QString& out) : m_out(out) {}
    void add(const QString& piece)
    {
        if (!m_line.isEmpty() && m_line.size() + piece.size() >= lineLimit)
            flush();
        m_line += piece;
    }
    void flush()
    {
        m_out += m_line + QLatin1String("\r\n");
        m_line.clear();
    }

private:
    QString& m_out;
    QString m_line;
};

} // namespace

QString scriptTableName(const QString& sqlText, const QString& fallback)
{
    static const QRegularExpression from(QStringLiteral("\\bFROM\\s+([^\\s,;]+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression fromAlone(QStringLiteral("^\\s*FROM\\s*$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QStringList lines = sqlText.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (fromAlone.match(lines[i]).hasMatch()) {
            if (i + 1 < lines.size()) {
                const QString word = lines[i + 1].trimmed().section(
                    QRegularExpression(QStringLiteral("[\\s,;]")), 0, 0);
                if (!word.isEmpty())
                    return word;
            }
            continue;
        }
        const QRegularExpressionMatch m = from.match(lines[i]);
        if (m.hasMatch())
            return m.captured(1);
    }
    return fallback;
}

bool writeSqlScript(data::RowSource& rows, const QString& path, const QString& table,
                    QString* error)
{
    if (!rows.open(error))
        return false;
    const QString target = table.isEmpty() ? scriptTableName(rows.sqlText(), rows.name()) : table;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const std::vector<data::Column>& columns = rows.columns();
    QString out;
    QStringList names;
    QStringList values;
    while (rows.next()) {
        names.clear();
        values.clear();
        for (size_t c = 0; c < columns.size(); ++c) {
            const QVariant v = rows.value(int(c));
            if (v.isNull())
                continue;
            names << columns[c].name;
            values << sqlValue(v, columns[c].kind);
        }
        // Empty lists are no statement a database runs: an empty row names its nulls.
        if (names.isEmpty())
            for (const data::Column& c : columns) {
                names << c.name;
                values << QStringLiteral("NULL");
            }
        StatementLines statement(out);
        statement.add(QStringLiteral("Insert Into ") + target + QStringLiteral(" ("));
        for (int i = 0; i < names.size(); ++i)
            statement.add(names[i] + (i + 1 < names.size() ? QStringLiteral(",") : QString()));
        statement.add(QStringLiteral(") Values ("));
        for (int i = 0; i < values.size(); ++i)
            statement.add(values[i] + (i + 1 < values.size() ? QStringLiteral(",") : QString()));
        statement.add(QStringLiteral(");"));
        statement.flush();
        if (out.size() > (1 << 20)) {
            file.write(out.toUtf8());
            out.clear();
        }
    }
    file.write(out.toUtf8());
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace mivo::reports
