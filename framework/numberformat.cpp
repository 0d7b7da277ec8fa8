#include "numberformat.h"

#include <QStringList>

#include <cmath>

namespace mivo
{

namespace
{

// Splits at ";" outside quotes.
QStringList sections(const QString& pattern)
{
    QStringList parts(1);
    QChar quote;
    for (const QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            parts << QString();
            continue;
        }
        parts.last() += c;
    }
    return parts;
}

struct Placeholders {
    int integerZeros = 0; // "0" before the decimal point
    int decimals = 0;     // "0" and "#" after it
    int decimalZeros = 0; // "0" after it
    bool grouping = false;
    bool hasDigits = false;
};

Placeholders scan(const QString& section)
{
    Placeholders p;
    bool afterPoint = false;
    QChar quote;
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            quote = c;
        else if (c == QLatin1Char('.'))
            afterPoint = true;
        else if (c == QLatin1Char(',') && !afterPoint)
            p.grouping = true;
        else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            p.hasDigits = true;
            if (afterPoint) {
                ++p.decimals;
                if (c == QLatin1Char('0'))
                    p.decimalZeros = p.decimals;
            } else if (c == QLatin1Char('0')) {
                ++p.integerZeros;
            }
        }
    }
    return p;
}

} // namespace

NumberFormat::NumberFormat(const QString& pattern)
{
    const QStringList parts = sections(pattern);
    m_count = int(qMin<qsizetype>(parts.size(), 3));
    for (int i = 0; i < m_count; ++i)
        m_sections[i] = parts[i];
}

QString NumberFormat::format(double value) const
{
    if (m_count == 0 || m_sections[0].isEmpty())
        return QString::number(value, 'g', 15).replace(QLatin1Char('.'), decimalSeparator);
    const Placeholders first = scan(m_sections[0]);
    const double rounded = std::round(std::fabs(value) * std::pow(10.0, first.decimals)) /
                           std::pow(10.0, first.decimals);
    if (rounded == 0.0 && m_count >= 3 && !m_sections[2].isEmpty())
        return formatSection(m_sections[2], 0.0);
    if (value < 0 && rounded != 0.0) {
        if (m_count >= 2 && !m_sections[1].isEmpty())
            return formatSection(m_sections[1], -value);
        return QLatin1Char('-') + formatSection(m_sections[0], -value);
    }
    return formatSection(m_sections[0], std::fabs(value));
}

QString NumberFormat::formatSection(const QString& section, double magnitude) const
{
    const Placeholders p = scan(section);
    QString digits = QString::number(magnitude, 'f', p.decimals);
    QString integerPart = digits.section(QLatin1Char('.'), 0, 0);
    QString fraction = digits.section(QLatin1Char('.'), 1);
    while (fraction.size() > p.decimalZeros && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (integerPart == QLatin1String("0") && p.integerZeros == 0)
        integerPart.clear();
    while (integerPart.size() < p.integerZeros)
        integerPart.prepend(QLatin1Char('0'));
    if (p.grouping)
        for (qsizetype at = integerPart.size() - 3; at > 0; at -= 3)
            integerPart.insert(at, groupSeparator);
    QString number = integerPart;
    if (!fraction.isEmpty())
        number += decimalSeparator + fraction;

    // The digits replace the first run of placeholders; literals around it stay.
    QString out;
    bool placed = false;
    bool inNumber = false;
    QChar quote;
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out += c;
            continue;
        }
        const bool placeholder = c == QLatin1Char('0') || c == QLatin1Char('#') ||
                                 c == QLatin1Char('.') || (c == QLatin1Char(',') && inNumber);
        if (placeholder) {
            if (!placed) {
                out += number;
                placed = true;
            }
            inNumber = true;
            continue;
        }
        inNumber = false;
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            quote = c;
        else
            out += c;
    }
    if (!placed && p.hasDigits)
        out += number;
    return out;
}

double NumberFormat::parse(const QString& text, bool* ok)
{
    QString t = text.trimmed();
    t.remove(groupSeparator);
    t.remove(QChar(0x00A0));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool converted = false;
    const double value = t.toDouble(&converted);
    if (ok)
        *ok = converted;
    return converted ? value : 0.0;
}

} // namespace mivo
