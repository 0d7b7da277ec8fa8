#pragma once

#include <QString>

namespace mivo
{

/// A number-format pattern of a field row ("#,##0.00", "0.0", "#,##0 Ft;-#,##0 Ft;nulla"),
/// written with Hungarian separators: a blank between thousands and a decimal comma.
/// In the pattern "0" is a digit always shown, "#" a digit shown when significant, "." the
/// decimal point, "," anywhere in the integer part switches thousands grouping on, text in
/// quotes and other characters are copied; ";" separates the positive, negative and zero
/// sections.
class NumberFormat
{
public:
    explicit NumberFormat(const QString& pattern);

    QString format(double value) const;
    /// Reads a text the format wrote (or the user typed): blanks dropped, comma or point as
    /// the decimal separator. ok false when it is no number.
    static double parse(const QString& text, bool* ok);

    static constexpr QChar groupSeparator = QLatin1Char(' ');
    static constexpr QChar decimalSeparator = QLatin1Char(',');

private:
    QString formatSection(const QString& section, double magnitude) const;

    QString m_sections[3];
    int m_count = 0;
};

} // namespace mivo
