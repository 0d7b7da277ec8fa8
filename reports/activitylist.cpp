#include "activitylist.h"

#include "core/altproc.h"

namespace mivo::reports
{

using namespace Qt::StringLiterals;

namespace
{

QString sortColumn(ActivityConditions::Order o, bool assigned)
{
    switch (o) {
    case ActivityConditions::Order::Date:
        return assigned ? u"MUNKA.TERVD"_s : u"MUNKA.MUNKAD"_s;
    case ActivityConditions::Order::Activity:
        return assigned ? u"MUNKA.TERVTEV"_s : u"MUNKA.MUNKATEV"_s;
    case ActivityConditions::Order::Technician:
        return assigned ? u"MUNKA.SZERELOT"_s : u"MUNKA.SZERELOM"_s;
    }
    return {};
}

QString dotted(const QString& text)
{
    return alt::formatDate(alt::parseDate(text));
}

} // namespace

std::optional<ActivityQuery> buildActivityQuery(const ActivityConditions& c, QString* message,
                                                int* failingEnd)
{
    const QString texts[2] = {c.from, c.to};
    for (int i = 0; i < 2; ++i) {
        if (!alt::validateDate(texts[i], false) || alt::isBlankDate(texts[i])) {
            *message = u"Hibás dátum.\n"_s + texts[i].trimmed();
            if (failingEnd)
                *failingEnd = i;
            return std::nullopt;
        }
    }
    const QString from = dotted(c.from);
    const QString to = dotted(c.to);
    if (to < from) {
        *message = u"Rossz intervallum."_s;
        if (failingEnd)
            *failingEnd = 1;
        return std::nullopt;
    }
    message->clear();

    const bool assigned = c.kind == ActivityConditions::Kind::Assigned;
    ActivityQuery q;
    QString where;
    if (assigned)
        where = u"MUNKA.ALLAPOT = 'KI' AND MUNKA.TERVD >= :datumtol AND MUNKA.TERVD <= :datumig"_s;
    else
        where = u"MUNKA.ALLAPOT IN ('OK', 'ZA', 'FO') AND MUNKA.MUNKAD >= :datumtol "
                "AND MUNKA.MUNKAD <= :datumig"_s;
    q.params[u"datumtol"_s] = from;
    q.params[u"datumig"_s] = to;
    const QString technicianColumn = assigned ? u"MUNKA.SZERELOT"_s : u"MUNKA.SZERELOM"_s;
    const QString activityColumn = assigned ? u"MUNKA.TERVTEV"_s : u"MUNKA.MUNKATEV"_s;
    if (!c.technician.trimmed().isEmpty()) {
        where += u" AND "_s + technicianColumn + u" = :szerelo"_s;
        q.params[u"szerelo"_s] = c.technician.trimmed();
    }
    if (c.customer != 0) {
        where += u" AND MUNKA.UGYFEL = :ugyfel"_s;
        q.params[u"ugyfel"_s] = c.customer;
    }
    if (c.applianceType != 0) {
        where += u" AND MUNKA.TIPUS = :tipus"_s;
        q.params[u"tipus"_s] = c.applianceType;
    }
    if (!c.activity.trimmed().isEmpty()) {
        where += u" AND "_s + activityColumn + u" = :tevekenyseg"_s;
        q.params[u"tevekenyseg"_s] = c.activity.trimmed();
    }
    // Activity and technician are outer joins: a job whose code has left the dictionary
    // still belongs to the period.
    q.sql = u"SELECT MUNKA.KOD, MUNKA.SZERELOM, MUNKA.MUNKAD, MUNKA.SZERELOT, MUNKA.TERVTEV, "
            "MUNKA.TERVD, TEVEKENYS.NEV TEVNEV, UGYFEL.NEV UGYFELNEV, UGYFEL.IRSZAM, "
            "UGYFEL.VAROS, UGYFEL.UTCA, ARU.NEV KESZULEKNEV, MUNKA.SZAMLASZAM, MUNKA.LEIRASM, "
            "MUNKA.MUNKASZAM, MUNKA.LEIRAST, SZERELO.NEV SZERELONEV, UGYFEL.TELEFON, UGYFEL.FAX, "
            "UGYFEL.EMAIL "
            "FROM MUNKA JOIN UGYFEL ON UGYFEL.KOD = MUNKA.UGYFEL "
            "JOIN ARU ON ARU.BELSOKOD = MUNKA.TIPUS "
            "LEFT JOIN TEVEKENYS ON TEVEKENYS.KOD = "_s +
            activityColumn + u" LEFT JOIN SZERELO ON SZERELO.KOD = "_s + technicianColumn +
            u" WHERE "_s + where;
    const QString first = sortColumn(c.primary, assigned);
    const QString second = sortColumn(c.secondary, assigned);
    // The job code last: equal keys come in a fixed order on screen and paper alike.
    q.sql += u"\n ORDER BY "_s + first + (second != first ? u", "_s + second : QString()) +
             u", MUNKA.KOD"_s;
    return q;
}

} // namespace mivo::reports
