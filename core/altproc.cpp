#include "altproc.h"

#include "clock.h"
#include "messages.h"
#include "platform/fieldtypes.h"
#include "platform/sqltext.h"

#include <QFile>
#include <QLocale>

#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

namespace mivo::alt
{

namespace
{

bool allDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// A run of digits as a number; -1 when it is not one.
int digitsValue(QStringView s)
{
    return allDigits(s) ? s.toInt() : -1;
}

// The date text in its ten-character form: "yyyymm" and "yyyy.mm" get day 01, "yyyymmdd"
// gets its dots. Other lengths come back trimmed only.
QString normalizedDate(const QString& text)
{
    const QString t = text.trimmed();
    switch (t.size()) {
    case 6:
        return t.left(4) + QLatin1Char('.') + t.mid(4, 2) + QStringLiteral(".01");
    case 7:
        return t + QStringLiteral(".01");
    case 8:
        return t.left(4) + QLatin1Char('.') + t.mid(4, 2) + QLatin1Char('.') + t.mid(6, 2);
    default:
        return t;
    }
}

QDate dateByPosition(const QString& normalized)
{
    if (normalized.size() != 10)
        return {};
    const int y = digitsValue(QStringView(normalized).mid(0, 4));
    const int m = digitsValue(QStringView(normalized).mid(5, 2));
    const int d = digitsValue(QStringView(normalized).mid(8, 2));
    if (y < 0 || m < 0 || d < 0)
        return {};
    return QDate(y, m, d);
}

// Year and month of "yyyy.mm" / "yyyymm" (longer texts by their first 6 or 7 characters);
// the separator is empty for the compact form. False when the text holds no year and month.
bool yearMonth(const QString& text, int& year, int& month, QString& separator)
{
    const QString t = text.trimmed();
    if (t.size() < 6)
        return false;
    const bool compact = t[4].isDigit();
    if (!compact && t.size() < 7)
        return false;
    separator = compact ? QString() : t.mid(4, 1);
    year = digitsValue(QStringView(t).mid(0, 4));
    month = digitsValue(QStringView(t).mid(compact ? 4 : 5, 2));
    return year >= 0 && month >= 1 && month <= 12;
}

QString fourDigits(int n)
{
    return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
}
QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// One character folded; "/" and "\" are the caller's business.
QChar foldChar(QChar c)
{
    static const QString from = QStringLiteral("ÁÉÓÖŐÚÜŰáéíóöőúüűôľśĆŁµë");
    static const QString to = QStringLiteral("AEOOOUUUaeiooouuuouuauau");
    static const QString kept = QStringLiteral(".,-/();\":| ");
    const qsizetype i = from.indexOf(c);
    if (i >= 0)
        return to[i];
    if (c.unicode() < 128 && (c.isLetterOrNumber() || kept.contains(c)))
        return c;
    return QLatin1Char('A');
}

// The elements of a comma-separated text, each quoted as an SQL literal.
QString quotedElements(const QString& text)
{
    QStringList parts = text.split(QLatin1Char(','));
    for (QString& p : parts)
        p = db::literal(p);
    return parts.join(QLatin1Char(','));
}

double roundHalfAwayExact(double value)
{
    const double whole = std::trunc(value);
    const double fraction = value - whole;
    // Only the fraction goes through single precision: the amount itself keeps its digits.
    if (std::fabs(static_cast<float>(fraction)) >= 0.5f)
        return whole + (value < 0 ? -1.0 : 1.0);
    return whole;
}

// Column name of 0 … 701 ("A" … "ZZ").
QString lettersOf(int index)
{
    if (index < 26)
        return QString(QChar(u'A' + index));
    return QString(QChar(u'A' + index / 26 - 1)) + QChar(u'A' + index % 26);
}

} // namespace

// Dates

QString today()
{
    return formatDate(clock::today());
}

bool isBlankDate(const QString& text)
{
    for (QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('.'))
            return false;
    return true;
}

bool validateDate(const QString& text, bool showMessage)
{
    const QString normalized = normalizedDate(text);
    const bool valid = dateByPosition(normalized).isValid();
    if (!valid && showMessage)
        messages::show(QStringLiteral("Hibás dátum.\n") + normalized);
    return valid;
}

QDate parseDate(const QString& text)
{
    return dateByPosition(normalizedDate(text));
}

QString formatDate(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy.MM.dd")) : QString();
}

QString addMonths(const QString& text, int months)
{
    int year = 0, month = 0;
    QString separator;
    if (!yearMonth(text, year, month, separator))
        return {};
    const int total = year * 12 + month - 1 + months;
    if (total < 0 || total >= 10000 * 12)
        return {};
    return fourDigits(total / 12) + separator + twoDigits(total % 12 + 1);
}

QString monthEnd(const QString& text)
{
    int year = 0, month = 0;
    QString separator;
    if (!yearMonth(text, year, month, separator))
        return {};
    const QDate first(year, month, 1);
    return formatDate(first.addDays(first.daysInMonth() - 1));
}

QString compactToDotted(const QString& compact)
{
    if (compact.size() != 8 || compact.contains(QLatin1Char('.')))
        return compact;
    return compact.left(4) + QLatin1Char('.') + compact.mid(4, 2) + QLatin1Char('.') +
           compact.mid(6, 2);
}

QString weekdayName(const QDate& date)
{
    static const char* const names[] = {"hétfő",  "kedd",    "szerda",  "csütörtök",
                                        "péntek", "szombat", "vasárnap"};
    return date.isValid() ? QString::fromUtf8(names[date.dayOfWeek() - 1]) : QString();
}

QString monthName(int month)
{
    static const char* const names[] = {"január",     "február", "március",  "április",
                                        "május",      "június",  "július",   "augusztus",
                                        "szeptember", "október", "november", "december"};
    return month >= 1 && month <= 12 ? QString::fromUtf8(names[month - 1]) : QString();
}

// Strings

QString zeroPad(const QString& text, int length)
{
    return padLeft(text.trimmed(), QLatin1Char('0'), length);
}

QString padRight(const QString& text, QChar fill, int length)
{
    return text.size() >= length ? text : text + QString(length - text.size(), fill);
}

QString padLeft(const QString& text, QChar fill, int length)
{
    return text.size() >= length ? text : QString(length - text.size(), fill) + text;
}

QString ensureTrailing(const QString& text, const QString& separator)
{
    const QString t = text.trimmed();
    return t.endsWith(separator) ? t : t + separator;
}

int countChar(const QString& text, QChar c)
{
    return int(text.count(c));
}

int lastOccurrence(const QString& part, const QString& text)
{
    if (part.isEmpty())
        return 0;
    // Position 1 is not tried: a name that starts with a dot has no extension.
    for (qsizetype pos = text.size() - part.size() + 1; pos >= 2; --pos)
        if (QStringView(text).mid(pos - 1, part.size()) == part)
            return int(pos);
    return 0;
}

int endOfOccurrence(const QString& part, const QString& text, int n)
{
    if (part.isEmpty() || n < 1)
        return 0;
    qsizetype from = 0;
    qsizetype found = -1;
    for (int i = 0; i < n; ++i) {
        found = text.indexOf(part, from);
        if (found < 0)
            return 0;
        from = found + part.size();
    }
    return int(from);
}

QString nextInCycle(const QString& value, const QString& cycle)
{
    const qsizetype at = value.isEmpty() ? -1 : cycle.indexOf(value);
    if (at < 0 || at + value.size() >= cycle.size())
        return cycle.left(1);
    return cycle.mid(at + value.size(), 1);
}

QString capitalizeWords(const QString& text, bool lowerRest)
{
    static const QString starters = QStringLiteral(" -_.()");
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (i == 0 || starters.contains(result[i - 1]))
            result[i] = result[i].toUpper();
        else if (lowerRest)
            result[i] = result[i].toLower();
    }
    return result;
}

QString foldAccents(const QString& text)
{
    QString result = text;
    for (QChar& c : result)
        c = foldChar(c);
    return result;
}

QString stampedFileName(const QString& text, const QString& prefix)
{
    QString name;
    for (QChar c : text) {
        if (c == QLatin1Char(' '))
            continue;
        // A folder separator would let the text point outside the target folder.
        name += (c == QLatin1Char('/') || c == QLatin1Char('\\')) ? QChar(u'_') : foldChar(c);
    }
    return prefix + name + QLatin1Char('_') +
           clock::now().toString(QStringLiteral("yyMMddHHmmsszzz"));
}

QString quotedList(const QString& text)
{
    return quotedElements(text);
}

QString sqlInList(const QString& text)
{
    QString t = text.trimmed();
    if (t.endsWith(QLatin1Char(',')))
        t.chop(1);
    if (t.isEmpty())
        return {};
    return QLatin1Char('(') + quotedElements(t) + QLatin1Char(')');
}

int findInList(const QString& text, const QStringList& list, bool caseSensitive, int startColumn,
               bool whole)
{
    const qsizetype from = qMax(startColumn, 1) - 1;
    const QString wanted = caseSensitive ? text : text.toUpper();
    for (qsizetype i = 0; i < list.size(); ++i) {
        QString entry = list[i].mid(from);
        if (!caseSensitive)
            entry = entry.toUpper();
        if (whole ? entry == wanted : entry.contains(wanted))
            return int(i);
    }
    return -1;
}

QString pickedValue(const QString& field, const QStringList& names, const QStringList& values)
{
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(field, Qt::CaseInsensitive) == 0)
            return values.value(i);
    return {};
}

bool anyCharIn(const QString& text, const QString& set)
{
    const QString s = set.trimmed();
    for (QChar c : text.trimmed())
        if (s.contains(c))
            return true;
    return false;
}

QString variantText(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}

// Numbers

bool isNumber(const QString& text, bool integerOnly)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    if (t.startsWith(QLatin1Char('-')))
        t.remove(0, 1);
    for (QChar c : t) {
        const bool separator = c == QLatin1Char(',') || c == QLatin1Char('.');
        if (!c.isDigit() && !(separator && !integerOnly))
            return false;
    }
    return true;
}

int parseInteger(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QLatin1String("-"))
        return 0;
    bool ok = false;
    const int value = isNumber(t, true) ? t.toInt(&ok) : 0;
    return ok ? value : -1;
}

qint64 roundHalfAway(double value)
{
    const double r = roundHalfAwayExact(value);
    if (std::isnan(r))
        return 0;
    if (r >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (r <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(r);
}

double roundTo(int decimals, double value)
{
    const double scale = std::pow(10.0, decimals);
    return roundHalfAwayExact(value * scale) / scale;
}

double fromExponentForm(const QString& text)
{
    const QString t = text.trimmed().toUpper();
    const qsizetype e = t.indexOf(QLatin1Char('E'));
    QString mantissa;
    for (QChar c : t.left(e < 0 ? t.size() : e))
        if (c.isDigit() || c == QLatin1Char(',') || c == QLatin1Char('.') || c == QLatin1Char('-'))
            mantissa += c;
    bool ok = false;
    const double m = parseDecimal(mantissa, &ok);
    if (!ok)
        return 0;
    if (e < 0)
        return m;
    const QString exponent = t.mid(e + 1).trimmed();
    if (exponent.startsWith(QLatin1Char('-')))
        return 0;
    const int x = exponent.toInt(&ok);
    return ok ? m * std::pow(10.0, x) : 0;
}

double parseDecimal(const QString& text, bool* ok)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool valid = false;
    const double value = t.isEmpty() ? 0 : QLocale::c().toDouble(t, &valid);
    if (ok)
        *ok = valid;
    return valid ? value : 0;
}

QString formatDecimal(double value, int decimals)
{
    if (decimals < 0)
        return data::tidyNumber(value, QLatin1Char(','));
    QString s = QString::number(value, 'f', decimals);
    // A negative amount that rounds to nothing is shown as plain zero.
    if (s.startsWith(QLatin1Char('-')) && QStringView(s)
                                              .mid(1)
                                              .toString()
                                              .remove(QLatin1Char('0'))
                                              .remove(QLatin1Char('.'))
                                              .isEmpty())
        s.remove(0, 1);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

// Spreadsheet columns

QString columnLetters(int index)
{
    if (index < 0 || index > 389)
        return {};
    return lettersOf(index);
}

int columnIndex(const QString& letters)
{
    const QString t = letters.trimmed().toUpper();
    for (QChar c : t)
        if (c < QLatin1Char('A') || c > QLatin1Char('Z'))
            return -1;
    if (t.size() == 1)
        return t[0].unicode() - 'A';
    if (t.size() == 2)
        return t[0].unicode() * 26 + t[1].unicode() - 1729;
    return -1;
}

QString shiftColumn(const QString& letters, int n)
{
    const int index = columnIndex(letters);
    if (index < 0)
        return {};
    const qint64 shifted = qint64(index) + n;
    return shifted < 0 || shifted > 701 ? QString() : lettersOf(int(shifted));
}

// Identity numbers

bool validTaxNumber(const QString& text)
{
    if (text.size() != 10 || !allDigits(text))
        return false;
    if (text == QLatin1String("0000000000"))
        return true;
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += (i + 1) * text[i].digitValue();
    return sum % 11 == text[9].digitValue();
}

bool validSocialSecurityNumber(const QString& text)
{
    if (text.size() != 9 || !allDigits(text))
        return false;
    int sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += (i % 2 == 0 ? 3 : 7) * text[i].digitValue();
    return sum % 10 == text[8].digitValue();
}

// Other

QString modeName(const QString& mode)
{
    if (mode == QLatin1String("browse"))
        return QStringLiteral("böngész");
    if (mode.startsWith(QLatin1String("insert")))
        return QStringLiteral("új tétel");
    if (mode == QLatin1String("update"))
        return QStringLiteral("módosítás");
    if (mode == QLatin1String("modify"))
        return QStringLiteral("változtatás");
    if (mode == QLatin1String("wiev"))
        return QStringLiteral("megnéz");
    return mode;
}

QString higherVersion(const QString& a, const QString& b)
{
    const QStringList pa = a.split(QLatin1Char('.'));
    const QStringList pb = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < qMax(pa.size(), pb.size()); ++i) {
        const int na = pa.value(i).trimmed().toInt();
        const int nb = pb.value(i).trimmed().toInt();
        if (na != nb)
            return na > nb ? a : b;
    }
    return a;
}

bool copyFile(const QString& source, const QString& target, bool failIfExists)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path from(QFile::encodeName(source).toStdString());
    const fs::path to(QFile::encodeName(target).toStdString());
    const bool copied = fs::copy_file(
        from, to, failIfExists ? fs::copy_options::none : fs::copy_options::overwrite_existing,
        error);
    if (copied && !error)
        return true;
    messages::show(QStringLiteral("A fájl átmásolása nem sikerült. Hibakód=") +
                       QString::number(error.value()),
                   MessageKind::Error);
    return false;
}

bool rightsMet(const QString& requirement, const QString& rights)
{
    const QString required = requirement.trimmed();
    if (required.compare(QLatin1String("X"), Qt::CaseInsensitive) == 0)
        return false;
    if (rights.contains(QLatin1Char('W')))
        return true;
    const QString held = rights.trimmed();
    if (required.isEmpty() || held.isEmpty())
        return true;
    return anyCharIn(required, held);
}

} // namespace mivo::alt
