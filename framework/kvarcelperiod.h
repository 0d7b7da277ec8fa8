#pragma once

#include <QDate>
#include <QString>

#include <utility>
#include <vector>

namespace mivo::kvarcel
{

/// The period keywords of conditions and script parameters ("%ma%", "%aktho%", ...),
/// computed from the current period month (SYSFILE.AKTHO, "yyyy.mm" or "yyyymm") and
/// today. Without a period every period keyword is empty; "%ma%", "%hoeleje%" and
/// "%hovege%" always have their value.
class PeriodKeywords
{
public:
    /// hasPeriod: SYSFILE exists (its AKTHO may still be empty).
    void setPeriod(bool hasPeriod, const QString& aktho);

    /// The keyword's value on the day ("%ma%" → "2025.03.14"); "" for unknown keywords.
    QString value(const QString& keyword, const QDate& today) const;
    /// The text with every keyword replaced, case-insensitively (parameteratir), as of the
    /// program clock's today.
    QString replace(const QString& text) const;
    QString replace(const QString& text, const QDate& today) const;

    /// The fifteen keywords, in the order they are replaced.
    static const std::vector<QString>& keywords();

private:
    bool m_hasPeriod = false;
    QString m_aktho;
};

} // namespace mivo::kvarcel
