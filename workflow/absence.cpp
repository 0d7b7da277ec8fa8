#include "absence.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/dat.h"
#include "partshook.h"
#include "platform/dbquery.h"
#include "platform/unitofwork.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

QString AbsencePeriod::normalised(const QString& text)
{
    if (alt::isBlankDate(text) || !alt::validateDate(text, false))
        return {};
    return alt::formatDate(alt::parseDate(text));
}

std::optional<AbsencePeriod> AbsencePeriod::of(const QString& from, const QString& to,
                                               QString* message, int* failingEnd)
{
    const QString texts[2] = {from, to};
    AbsencePeriod p;
    QString* ends[2] = {&p.from, &p.to};
    for (int i = 0; i < 2; ++i) {
        *ends[i] = normalised(texts[i]);
        if (ends[i]->isEmpty()) {
            *message = u"Hibás dátum.\n"_s + texts[i].trimmed();
            if (failingEnd)
                *failingEnd = i;
            return std::nullopt;
        }
    }
    if (p.to < p.from) {
        *message = u"Hibás dátum intervallum"_s;
        if (failingEnd)
            *failingEnd = 1;
        return std::nullopt;
    }
    message->clear();
    return p;
}

std::vector<QDate> AbsencePeriod::workingDays() const
{
    std::vector<QDate> days;
    const QDate last = alt::parseDate(to);
    for (QDate d = alt::parseDate(from); d.isValid() && d <= last; d = d.addDays(1)) {
        if (d.dayOfWeek() <= 5)
            days.push_back(d);
    }
    return days;
}

AbsenceDays::AbsenceDays() : m_first(alt::today()), m_last(alt::today()) {}

QString AbsenceDays::setFirst(const QString& text, bool notBeforeToday)
{
    const QString day = AbsencePeriod::normalised(text);
    if (day.isEmpty())
        return u"Hibás dátum.\n"_s + text.trimmed();
    if (notBeforeToday && day < alt::today())
        return u"A mai napnál régebbi dátum nem érvényes."_s;
    m_first = day;
    if (m_first > m_last)
        m_last = m_first;
    return {};
}

QString AbsenceDays::setLast(const QString& text)
{
    const QString day = AbsencePeriod::normalised(text);
    if (day.isEmpty())
        return u"Hibás dátum.\n"_s + text.trimmed();
    if (day < m_first)
        return u"Hibás dátum intervallum"_s;
    m_last = day;
    return {};
}

QString plannedJobsStatement()
{
    // Outer joins: a job whose dictionary rows are gone still goes back with the others and
    // must be seen. The job code breaks ties of the hour.
    return u"SELECT MUNKA.TERVD, MUNKA.TERVT, MUNKA.ALLAPOT, TEVEKENYS.NEV TEVNEV, "
           "UGYFEL.NEV UGYFELNEV, UGYFEL.IRSZAM, UGYFEL.VAROS, UGYFEL.UTCA, UGYFEL.TELEFON, "
           "ARU.NEV KESZULEKNEV, MUNKA.LEIRAST, MUNKA.KOD\n"
           "FROM MUNKA JOIN UGYFEL ON UGYFEL.KOD = MUNKA.UGYFEL "
           "LEFT JOIN TEVEKENYS ON TEVEKENYS.KOD = MUNKA.TERVTEV "
           "LEFT JOIN ARU ON ARU.BELSOKOD = MUNKA.TIPUS\n"
           "WHERE MUNKA.SZERELOT = :szerelo AND MUNKA.TERVD >= :datumtol "
           "AND MUNKA.TERVD <= :datumig AND MUNKA.ALLAPOT <> 'TOR'\n"
           " ORDER BY MUNKA.TERVD, MUNKA.TERVT, MUNKA.KOD"_s;
}

QString absenceMarksStatement()
{
    return u"SELECT NAPIREND.DATUM, TAVOLLET.NEV\n"
           "FROM NAPIREND JOIN TAVOLLET ON TAVOLLET.KOD = NAPIREND.MUNKAKEPES\n"
           "WHERE NAPIREND.SZERELOKOD = :szerelo AND NAPIREND.DATUM >= :datumtol "
           "AND NAPIREND.DATUM <= :datumig\n"
           " ORDER BY NAPIREND.DATUM"_s;
}

QString AbsenceResult::reminder() const
{
    if (givenBack <= 0)
        return {};
    return u"Ne feledje az aznapi "_s + QString::number(givenBack) + u" munkát másnak kiosztani!"_s;
}

AbsenceStore::AbsenceStore(const QString& connectionName, PartsHook* parts)
    : m_connection(connectionName), m_parts(parts)
{
}

QString AbsenceStore::giveBackStatement()
{
    // Only given-out jobs: documented and deleted ones keep their state.
    return u"UPDATE MUNKA SET ALLAPOT = 'BE', SZERELOT = '', JUZER = :juzer, MIKORI = :mikori "
           "WHERE SZERELOT = :szerelo AND TERVD >= :datumtol AND TERVD <= :datumig "
           "AND ALLAPOT = 'KI'"_s;
}

QString AbsenceStore::markStatement()
{
    return u"UPDATE OR INSERT INTO NAPIREND (SZERELOKOD, DATUM, MUNKAKEPES) "
           "VALUES (:szerelo, :datum, :tavollet) MATCHING (SZERELOKOD, DATUM)"_s;
}

AbsenceResult AbsenceStore::record(const QString& technician, const AbsencePeriod& period,
                                   const QString& reason) const
{
    AbsenceResult result;
    const std::vector<QDate> days = period.workingDays();
    const db::UnitResult unit = db::runUnitOfWork(
        m_connection,
        [&](const QString& connection) {
            result.givenBack = 0;
            result.marked = 0;
            // The release and the give-back read the same snapshot: a job another
            // workstation changed meanwhile makes the give-back conflict and the unit rerun.
            if (m_parts) {
                const PartsHook::Result released =
                    m_parts->releasePlanned(connection, technician, period.from, period.to);
                if (!released.ok)
                    return db::Outcome::failure(released.message, released.errorCode);
            }
            db::Query giveBack(connection);
            giveBack.setSql(giveBackStatement());
            giveBack.bind(u"szerelo"_s, technician);
            giveBack.bind(u"datumtol"_s, period.from);
            giveBack.bind(u"datumig"_s, period.to);
            giveBack.bind(u"juzer"_s, Td::instance().userCode);
            giveBack.bind(u"mikori"_s, clock::now().toString(u"yyyy.MM.dd hh:mm:ss"_s));
            if (!giveBack.exec())
                return db::Outcome::failure(giveBack);
            result.givenBack = giveBack.rowsAffected();

            db::Query mark(connection);
            mark.setSql(markStatement());
            for (const QDate& day : days) {
                mark.bind(u"szerelo"_s, technician);
                mark.bind(u"datum"_s, alt::formatDate(day));
                mark.bind(u"tavollet"_s, reason.isNull() ? u""_s : reason);
                if (!mark.exec())
                    return db::Outcome::failure(mark);
                ++result.marked;
            }
            return db::Outcome();
        },
        db::patientRetry);
    result.attempts = unit.attempts;
    if (!unit.ok()) {
        result.ok = false;
        result.message = unit.message;
        result.givenBack = 0;
        result.marked = 0;
    }
    return result;
}

} // namespace mivo::workflow
