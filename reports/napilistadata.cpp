#include "napilistadata.h"

#include "core/altproc.h"
#include "platform/dbquery.h"

#include <QHash>

namespace mivo::reports
{

using namespace Qt::StringLiterals;

namespace
{

const QString connection = u"d_mivo"_s;

// Activity and appliance type are outer-joined: a job whose dictionary row was deleted still
// reaches its technician. The technician's code follows the name so that two technicians of
// one name keep their days apart.
const QString jobsFrom = uR"(FROM MUNKA
JOIN UGYFEL ON UGYFEL.KOD = MUNKA.UGYFEL
JOIN SZERELO ON SZERELO.KOD = MUNKA.SZERELOT
LEFT JOIN TEVEKENYS ON TEVEKENYS.KOD = MUNKA.TERVTEV
LEFT JOIN ARU ON ARU.BELSOKOD = MUNKA.TIPUS
WHERE MUNKA.TERVD >= :tol AND MUNKA.TERVD <= :ig AND MUNKA.ALLAPOT <> 'TOR')"_s;

QString technicianCondition(const QString& technician)
{
    return technician == allTechnicians ? QString() : u"\nAND MUNKA.SZERELOT = :szerelo"_s;
}

} // namespace

DailyStatements dailyStatements(const QString& technician, const QString& from, const QString& to)
{
    DailyStatements s;
    const QString where = jobsFrom + technicianCondition(technician);
    s.jobs = uR"(SELECT MUNKA.KOD, MUNKA.TERVD, MUNKA.TERVT, MUNKA.LEIRAST, MUNKA.UGYFEL,
MUNKA.KESZULEK, TEVEKENYS.NEV TEVNEV, MUNKA.SZERELOT, MUNKA.TELEFON, MUNKA.DEDU,
MUNKA.LEMONDTA, MUNKA.KESZ, ARU.NEV KESZULEKNEV, ARU.KOD KESZULEKKOD, UGYFEL.NEV UGYFELNEV,
UGYFEL.IRSZAM, UGYFEL.VAROS, UGYFEL.UTCA, UGYFEL.TELEFON UGYFELTELEFON, UGYFEL.FAX,
UGYFEL.EMAIL, UGYFEL.KOMMENT, UGYFEL.KOMMENT2, SZERELO.NEV SZERELONEV, SZERELO.CEGKOD,
SZERELO.EMAIL SZERELOEMAIL
)"_s + where +
             u"\nORDER BY SZERELO.NEV, MUNKA.SZERELOT, MUNKA.TERVD, MUNKA.DEDU, MUNKA.TERVT"_s;
    // One statement for the parts of every listed job rather than one per job; parts of a
    // job the list leaves out (no customer or technician row) are passed over when read.
    s.parts = uR"(SELECT MUNKA_ALK.KOD, MUNKA_ALK.MENNYISEG, ARU.KOD ARUKOD, ARU.NEV
FROM MUNKA
JOIN MUNKA_ALK ON MUNKA_ALK.KOD = MUNKA.KOD
JOIN ARU ON ARU.BELSOKOD = MUNKA_ALK.ALKATRESZ
WHERE MUNKA.TERVD >= :tol AND MUNKA.TERVD <= :ig AND MUNKA.ALLAPOT <> 'TOR')"_s +
              technicianCondition(technician) + u"\nORDER BY MUNKA_ALK.KOD, MUNKA_ALK.RDB$DB_KEY"_s;
    s.params = {{u"tol"_s, from}, {u"ig"_s, to}};
    if (technician != allTechnicians)
        s.params[u"szerelo"_s] = technician;
    return s;
}

bool readCodeNames(const QString& sql, QHash<QString, QString>* names, QString* error)
{
    db::Query q(connection);
    q.setSql(sql);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return false;
    }
    while (q.next())
        names->insert(q.text(u"KOD"_s), q.text(u"NEV"_s));
    return true;
}

bool readDailyJobs(const QString& technician, const QString& from, const QString& to,
                   std::vector<DailyJob>* jobs, QString* error)
{
    const DailyStatements s = dailyStatements(technician, from, to);
    db::Query q(connection);
    q.setSql(s.jobs);
    for (const auto& [name, value] : s.params)
        q.bind(name, value);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return false;
    }
    jobs->clear();
    jobs->reserve(size_t(std::max(0, q.recordCount())));
    QHash<int, size_t> byKod;
    const auto text = [&q](int column) { return q.value(column).toString(); };
    while (q.next()) {
        DailyJob j;
        j.kod = q.value(0).toInt();
        j.tervd = text(1);
        j.tervt = text(2);
        j.leirast = text(3);
        j.ugyfel = q.value(4).toInt();
        j.keszulek = q.value(5).toInt();
        j.tevnev = text(6);
        j.szerelot = text(7);
        j.telefon = text(8);
        j.dedu = text(9);
        j.lemondta = text(10);
        j.kesz = text(11);
        j.keszuleknev = text(12);
        j.keszulekkod = text(13);
        j.ugyfelnev = text(14);
        j.irszam = text(15);
        j.varos = text(16);
        j.utca = text(17);
        j.ugyfeltelefon = text(18);
        j.fax = text(19);
        j.email = text(20);
        j.komment = text(21);
        j.komment2 = text(22);
        j.szerelonev = text(23);
        j.cegkod = text(24);
        j.szereloemail = text(25);
        byKod.insert(j.kod, jobs->size());
        jobs->push_back(std::move(j));
    }
    if (jobs->empty())
        return true;
    db::Query parts(connection);
    parts.setSql(s.parts);
    for (const auto& [name, value] : s.params)
        parts.bind(name, value);
    if (!parts.exec()) {
        if (error)
            *error = parts.lastError();
        return false;
    }
    while (parts.next()) {
        const auto found = byKod.constFind(parts.value(0).toInt());
        if (found == byKod.constEnd())
            continue;
        (*jobs)[*found].parts.push_back(
            {parts.value(1).toDouble(), parts.value(2).toString(), parts.value(3).toString()});
    }
    return true;
}

QString partsLine(const std::vector<DailyPart>& parts, const QString& lead)
{
    if (parts.empty())
        return {};
    QString line = lead;
    for (const DailyPart& p : parts) {
        line += u' ' + QString::number(alt::roundHalfAway(p.quantity)) + u" db "_s + p.code;
        if (p.name != p.code)
            line += u' ' + p.name;
        line += u"; "_s;
    }
    return line;
}

bool emptyPeriodHeading(const QString& technician, const QString& from, const QString& to,
                        QString* heading, QString* error)
{
    db::Query name(connection);
    name.setSql(u"SELECT SZERELO.NEV FROM SZERELO WHERE SZERELO.KOD = :kod"_s);
    name.bind(u"kod"_s, technician);
    if (!name.exec()) {
        if (error)
            *error = name.lastError();
        return false;
    }
    QString text = name.first() ? name.text(u"NEV"_s) : technician;
    text += u' ' + from;
    if (to != from)
        text += u" -> "_s + to;
    db::Query absence(connection);
    absence.setSql(uR"(Select NAPIREND.MUNKAKEPES, TAVOLLET.NEV From NAPIREND, TAVOLLET
Where NAPIREND.DATUM = :datum AND NAPIREND.SZERELOKOD = :szerelokod
AND TAVOLLET.KOD = NAPIREND.MUNKAKEPES)"_s);
    absence.bind(u"datum"_s, from);
    absence.bind(u"szerelokod"_s, technician);
    if (!absence.exec()) {
        if (error)
            *error = absence.lastError();
        return false;
    }
    text += absence.first() ? u' ' + absence.text(u"NEV"_s) : u" NINCS MUNKÁJA"_s;
    *heading = text;
    return true;
}

QString dateWithWeekday(const QString& date, const QString& separator)
{
    const QString weekday = alt::weekdayName(alt::parseDate(date));
    return weekday.isEmpty() ? date : date + separator + weekday;
}

} // namespace mivo::reports
