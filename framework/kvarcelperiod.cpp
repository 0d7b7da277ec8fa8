#include "kvarcelperiod.h"

#include "core/clock.h"

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

namespace
{

QString two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString dotted(const QDate& d)
{
    return d.toString(u"yyyy.MM.dd"_s);
}

} // namespace

const std::vector<QString>& PeriodKeywords::keywords()
{
    static const std::vector<QString> list{
        u"%ma%"_s,        u"%hoeleje%"_s, u"%hovege%"_s,      u"%akthoeleje%"_s, u"%akthovege%"_s,
        u"%aktzartho%"_s, u"%aktho%"_s,   u"%zarthoeleje%"_s, u"%zarthovege%"_s, u"%zartho%"_s,
        u"%januar%"_s,    u"%multjan%"_s, u"%multdec%"_s,     u"%multev%"_s,     u"%ev%"_s};
    return list;
}

void PeriodKeywords::setPeriod(bool hasPeriod, const QString& aktho)
{
    m_hasPeriod = hasPeriod;
    m_aktho = aktho.trimmed();
}

QString PeriodKeywords::value(const QString& keyword, const QDate& today) const
{
    const QString k = keyword.toLower();
    if (k == u"%ma%"_s)
        return dotted(today);
    if (k == u"%hoeleje%"_s)
        return today.toString(u"yyyy.MM"_s) + u".01"_s;
    if (k == u"%hovege%"_s)
        return dotted(QDate(today.year(), today.month(), today.daysInMonth()));
    if (!m_hasPeriod || m_aktho.size() < 6)
        return {};

    // The period's own form: year and month with or without a point between them.
    const bool point = m_aktho.contains(QLatin1Char('.'));
    const QString yearText = m_aktho.left(4);
    const QString monthText = m_aktho.right(2);
    const int year = yearText.toInt();
    const int month = monthText.toInt();
    const bool valid = year > 0 && month >= 1 && month <= 12;
    const auto form = [point](int y, int m) {
        return QString::number(y) + (point ? u"."_s : QString()) + two(m);
    };
    const QDate first(year, valid ? month : 1, 1);
    const QDate before = first.addMonths(-1);

    if (k == u"%aktho%"_s)
        return m_aktho;
    if (k == u"%akthoeleje%"_s)
        return yearText + u"."_s + monthText + u".01"_s;
    if (k == u"%akthovege%"_s)
        return valid ? dotted(QDate(year, month, first.daysInMonth()))
                     : yearText + u"."_s + monthText + u".31"_s;
    if (!valid)
        return {};
    if (k == u"%zartho%"_s)
        return form(before.year(), before.month());
    if (k == u"%zarthoeleje%"_s)
        return dotted(before);
    if (k == u"%zarthovege%"_s)
        return dotted(QDate(before.year(), before.month(), before.daysInMonth()));
    if (k == u"%aktzartho%"_s) {
        const QDate current = today.day() < 18 ? today.addMonths(-1) : today;
        return form(current.year(), current.month());
    }
    if (k == u"%januar%"_s)
        return form(year, 1);
    if (k == u"%ev%"_s)
        return QString::number(year);
    if (k == u"%multev%"_s)
        return QString::number(year - 1);
    if (k == u"%multjan%"_s)
        return form(year - 1, 1);
    if (k == u"%multdec%"_s)
        return form(year - 1, 12);
    return {};
}

QString PeriodKeywords::replace(const QString& text) const
{
    return replace(text, clock::today());
}

QString PeriodKeywords::replace(const QString& text, const QDate& today) const
{
    if (!text.contains(QLatin1Char('%')))
        return text;
    QString result = text;
    for (const QString& k : keywords())
        if (result.contains(k, Qt::CaseInsensitive))
            result.replace(k, value(k, today), Qt::CaseInsensitive);
    return result;
}

} // namespace mivo::kvarcel
