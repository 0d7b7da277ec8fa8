#include "fieldtypes.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QSqlField>
#include <QSqlRecord>
#include <QTime>

#include <cmath>

namespace mivo::data
{

namespace
{

// Firebird's SQL type codes as the driver reports them (the low bit marks nullable).
enum FirebirdType {
    SqlVarying = 448,
    SqlText = 452,
    SqlDouble = 480,
    SqlFloat = 482,
    SqlLong = 496,
    SqlShort = 500,
    SqlTimestamp = 510,
    SqlBlob = 520,
    SqlTime = 560,
    SqlDate = 570,
    SqlInt64 = 580,
    SqlBoolean = 32764
};

// The driver talks UTF-8, whose characters it counts as four bytes.
constexpr int bytesPerChar = 4;

FieldKind kindOf(const QSqlField& field)
{
    const int type = field.typeID() & ~1;
    const bool scaled = field.precision() > 0;
    switch (type) {
    case SqlVarying:
    case SqlText:
        return FieldKind::Text;
    case SqlBlob:
        return scaled ? FieldKind::Memo : FieldKind::Blob; // text blobs carry a charset
    case SqlBoolean:
        return FieldKind::Boolean;
    case SqlShort:
        return scaled ? FieldKind::Decimal : FieldKind::SmallInt;
    case SqlLong:
        return scaled ? FieldKind::Decimal : FieldKind::Integer;
    case SqlInt64:
        return scaled ? FieldKind::Decimal : FieldKind::LargeInt;
    case SqlFloat:
    case SqlDouble:
        return FieldKind::Float;
    case SqlDate:
        return FieldKind::Date;
    case SqlTime:
        return FieldKind::Time;
    case SqlTimestamp:
        return FieldKind::DateTime;
    default:
        break;
    }
    // Fields of other drivers: judge by the value type.
    switch (field.metaType().id()) {
    case QMetaType::QString:
        return FieldKind::Text;
    case QMetaType::QByteArray:
        return FieldKind::Blob;
    case QMetaType::Bool:
        return FieldKind::Boolean;
    case QMetaType::Short:
        return FieldKind::SmallInt;
    case QMetaType::Int:
        return FieldKind::Integer;
    case QMetaType::LongLong:
        return FieldKind::LargeInt;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldKind::Float;
    case QMetaType::QDate:
        return FieldKind::Date;
    case QMetaType::QTime:
        return FieldKind::Time;
    case QMetaType::QDateTime:
        return FieldKind::DateTime;
    default:
        return FieldKind::Unknown;
    }
}

} // namespace

int displayWidth(FieldKind kind, int length, int scale)
{
    switch (kind) {
    case FieldKind::Text:
        return std::max(length, 1);
    case FieldKind::Boolean:
        return 5;
    case FieldKind::SmallInt:
        return 6;
    case FieldKind::Integer:
        return 11;
    case FieldKind::LargeInt:
        return 20;
    case FieldKind::Float:
        return 15;
    case FieldKind::Decimal:
        return std::max(length, 1) + (scale > 0 ? 2 : 1);
    case FieldKind::Date:
        return 10;
    case FieldKind::Time:
        return 8;
    case FieldKind::DateTime:
        return 19;
    case FieldKind::Memo:
    case FieldKind::Blob:
    case FieldKind::Unknown:
        return 10;
    }
    return 10;
}

bool isTextual(FieldKind kind)
{
    return kind == FieldKind::Text || kind == FieldKind::Memo || kind == FieldKind::Blob;
}

bool isInteger(FieldKind kind)
{
    return kind == FieldKind::SmallInt || kind == FieldKind::Integer || kind == FieldKind::LargeInt;
}

bool isNumeric(FieldKind kind)
{
    return isInteger(kind) || kind == FieldKind::Float || kind == FieldKind::Decimal;
}

QString typeName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Text:
        return QStringLiteral("VARCHAR");
    case FieldKind::SmallInt:
        return QStringLiteral("SMALLINT");
    case FieldKind::Integer:
    case FieldKind::LargeInt:
        return QStringLiteral("INTEGER");
    case FieldKind::Boolean:
        return QStringLiteral("BOOLEAN");
    case FieldKind::Float:
    case FieldKind::Decimal: // the driver hands it over as a double
        return QStringLiteral("FLOAT");
    case FieldKind::Memo:
    case FieldKind::Blob:
        return QStringLiteral("MEMO");
    default:
        return QStringLiteral("Unknown");
    }
}

int editLength(FieldKind kind, int width)
{
    switch (kind) {
    case FieldKind::Text:
        return width;
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
        return 10;
    case FieldKind::Float:
    case FieldKind::Decimal:
        return 15;
    case FieldKind::Memo:
    case FieldKind::Blob:
        return -1;
    default:
        return 8;
    }
}

FieldKind kindOfTypeName(const QString& typeName)
{
    static const std::pair<const char*, FieldKind> names[] = {
        {"VARCHAR", FieldKind::Text},    {"SMALLINT", FieldKind::SmallInt},
        {"INTEGER", FieldKind::Integer}, {"BOOLEAN", FieldKind::Boolean},
        {"FLOAT", FieldKind::Float},     {"MEMO", FieldKind::Memo},
    };
    for (const auto& [name, kind] : names)
        if (typeName == QLatin1String(name))
            return kind;
    return FieldKind::Unknown;
}

Column columnOf(const QSqlField& field)
{
    Column c;
    c.name = field.name();
    c.label = c.name;
    c.kind = kindOf(field);
    if (c.kind == FieldKind::Text)
        c.length = field.typeID() > 0 ? int(field.length()) / bytesPerChar : int(field.length());
    else if (c.kind == FieldKind::Decimal) {
        c.length = int(field.length());
        c.scale = field.precision();
    }
    c.displayWidth = displayWidth(c.kind, c.length, c.scale);
    return c;
}

std::vector<Column> columnsOf(const QSqlRecord& record)
{
    std::vector<Column> columns;
    columns.reserve(size_t(record.count()));
    for (int i = 0; i < record.count(); ++i)
        columns.push_back(columnOf(record.field(i)));
    return columns;
}

QString displayText(const QVariant& value, FieldKind kind, QChar decimalPoint)
{
    if (value.isNull())
        return {};
    switch (kind) {
    case FieldKind::Float:
    case FieldKind::Decimal:
        return tidyNumber(value.toDouble(), decimalPoint);
    case FieldKind::Boolean:
        return value.toBool() ? QStringLiteral("T") : QStringLiteral("F");
    case FieldKind::Date:
        return value.toDate().toString(QStringLiteral("yyyy.MM.dd"));
    case FieldKind::Time:
        return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    case FieldKind::DateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"));
    default:
        if (value.typeId() == QMetaType::QByteArray)
            return QString::fromUtf8(value.toByteArray());
        return value.toString();
    }
}

QString tidyNumber(double value, QChar decimalPoint)
{
    // Fifteen significant digits hide the binary noise (0.1 + 0.2), then no exponent.
    const double tidy = QString::number(value, 'g', 15).toDouble();
    QString s = QString::number(tidy, 'f', QLocale::FloatingPointShortest);
    // A negative amount that rounds to nothing is shown as plain zero.
    if (tidy == 0 && s.startsWith(QLatin1Char('-')))
        s.remove(0, 1);
    if (decimalPoint != QLatin1Char('.'))
        s.replace(QLatin1Char('.'), decimalPoint);
    return s;
}

double roundDecimals(double value, int decimals)
{
    const double factor = std::pow(10.0, decimals);
    const double scaled = value * factor;
    // Past 2^53 a double has no fraction left to round.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9007199254740992.0)
        return value;
    return std::round(scaled) / factor;
}

QString shortestNumber(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace mivo::data
