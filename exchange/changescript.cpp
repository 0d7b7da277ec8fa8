#include "changescript.h"

#include "core/altproc.h"
#include "platform/fieldtypes.h"
#include "platform/sqltext.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QStringList>
#include <QTime>

#include <cmath>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

QString quoted(const QString& text)
{
    return u"'"_s + QString(text).replace(u"'"_s, u"''"_s) + u"'"_s;
}

// A line break inside a value would split the statement: CR and LF go as ASCII_CHAR().
QString stringLiteral(const QString& text)
{
    QStringList parts;
    QString run;
    for (const QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (!run.isEmpty())
                parts << quoted(run);
            run.clear();
            parts << (c == QLatin1Char('\r') ? u"ASCII_CHAR(13)"_s : u"ASCII_CHAR(10)"_s);
        } else {
            run += c;
        }
    }
    if (!run.isEmpty() || parts.isEmpty())
        parts << quoted(run);
    return parts.join(u"||"_s);
}

// The parameter as the statement spells it (":NEV" gives "NEV").
QString spelling(const QString& statement, const QString& lowerName)
{
    const QRegularExpression pattern(u":("_s + QRegularExpression::escape(lowerName) + u")\\b"_s,
                                     QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(statement);
    return match.hasMatch() ? match.captured(1) : lowerName.toUpper();
}

} // namespace

QString sqlLiteral(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return u"NULL"_s;
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool() ? u"TRUE"_s : u"FALSE"_s;
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Float:
    case QMetaType::Double: {
        const double d = value.toDouble();
        return std::isfinite(d) ? data::shortestNumber(d) : u"NULL"_s;
    }
    case QMetaType::QDate:
        return quoted(value.toDate().toString(u"yyyy-MM-dd"_s));
    case QMetaType::QTime:
        return quoted(value.toTime().toString(u"HH:mm:ss.zzz"_s));
    case QMetaType::QDateTime:
        return quoted(value.toDateTime().toString(u"yyyy-MM-dd HH:mm:ss.zzz"_s));
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return bytes.isEmpty() ? u"''"_s : u"X'"_s + QString::fromLatin1(bytes.toHex()) + u"'"_s;
    }
    default:
        return stringLiteral(value.toString());
    }
}

QString changeStatement(const QString& site, qint64 sequence, const QString& table,
                        const QString& statement, const std::map<QString, QVariant>& parameters)
{
    QStringList names;
    QStringList columns;
    QStringList values;
    const auto add = [&](const QString& lowerName, const QString& column) {
        if (names.contains(lowerName))
            return;
        names << lowerName;
        columns << column;
        const auto it = parameters.find(lowerName);
        values << sqlLiteral(it == parameters.end() ? QVariant() : it->second);
    };
    const QStringList used = db::toPositional(statement).parameters;
    for (const QString& name : used)
        if (!name.startsWith(u"old_"_s))
            add(name, spelling(statement, name));
    // The key that the insert received is not in its text; other sites need it.
    for (const auto& [name, value] : parameters)
        if (!name.startsWith(u"old_"_s) && !used.contains(name))
            add(name, name.toUpper());
    return u"/*"_s + site + u"_"_s + alt::zeroPad(QString::number(sequence), 7) +
           u"*/ UPDATE OR INSERT INTO "_s + table + u" ("_s + columns.join(QLatin1Char(',')) +
           u")"_s + u" Values ("_s + values.join(QLatin1Char(',')) + u");"_s;
}

} // namespace mivo::exchange
