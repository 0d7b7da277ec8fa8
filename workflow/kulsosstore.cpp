#include "kulsosstore.h"

#include "jobrepository.h"
#include "partsstock.h"
#include "requeststore.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbquery.h"
#include "platform/unitofwork.h"

#include <algorithm>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

const QString assigned = u"KI"_s;

db::Outcome moveReservations(const QString& connection, const ExternalJobChange& c,
                             const QString& newState)
{
    const bool wasOut = c.readState == assigned && !c.readTechnician.isEmpty();
    const bool staysOut = newState == assigned && !c.szerelot.isEmpty();
    if (!Td::instance().partsStockAvailable ||
        (wasOut && staysOut && c.readTechnician == c.szerelot))
        return {};
    const PartsStock stock(connection);
    if (wasOut) {
        if (const PartsHook::Result r = stock.release(c.kod, c.readTechnician); !r.ok)
            return db::Outcome::failure(r.message, r.errorCode);
    }
    if (!staysOut)
        return {};
    QString error;
    const auto parts = stock.recordedQuantities(c.kod, &error);
    if (!parts)
        return db::Outcome::failure(error);
    for (const auto& [part, quantity] : *parts) {
        if (const PartsHook::Result r = stock.reserve(c.szerelot, part, quantity); !r.ok)
            return db::Outcome::failure(r.message, r.errorCode);
    }
    return {};
}

} // namespace

QStringList externalJobOrders()
{
    return {u"Munka tervezett dátuma"_s, u"Szerelőkód., dátum"_s, u"Ügyfél neve"_s,
            u"Ügyfél címe"_s};
}

QString externalJobListSql(bool all, int order)
{
    static const QString orders[] = {u"MUNKA.TERVD"_s, u"MUNKA.SZERELOT,MUNKA.TERVD"_s,
                                     u"UGYFEL.NEV"_s, u"UGYFEL.VAROS, UGYFEL.UTCA,UGYFEL.NEV"_s};
    return uR"(SELECT MUNKA.FELVETELD, MUNKA.TERVD, MUNKA.LEIRAST, MUNKA.UGYFEL, MUNKA.KESZULEK,
MUNKA.ALLAPOT, MUNKA.KOD, MUNKA.SZERELOT, MUNKA.JUZER, MUNKA.TIPUS, MUNKA.MUNKATEV, MUNKA.TERVT,
MUNKA.DEDU, TEVEKENYS.NEV TEVNEV, SZERELO.NEV SZERELONEV, SZERELO.CEGKOD, ARU.NEV KESZULEKNEV,
ARU.KOD KESZULEKKOD, UGYFEL.NEV UGYFELNEV, UGYFEL.IRSZAM, UGYFEL.VAROS, UGYFEL.UTCA
FROM MUNKA, UGYFEL, TEVEKENYS, ARU, SZERELO
WHERE MUNKA.TERVD >= :datumtol And MUNKA.TERVD <= :datumig)"_s +
           (all ? QString() : u"\nAnd MUNKA.ALLAPOT = 'KI'"_s) + uR"(
AND MUNKA.SZERELOT = SZERELO.KOD And SZERELO.CEGKOD <> :cegkod AND UGYFEL.KOD = MUNKA.UGYFEL
AND TEVEKENYS.KOD = MUNKA.TERVTEV AND ARU.BELSOKOD = MUNKA.TIPUS
Order by )"_s +
           orders[std::clamp(order, 0, 3)];
}

ExternalJobStore::ExternalJobStore(const QString& connectionName) : m_connection(connectionName) {}

QString ExternalJobStore::slotTakenMessage()
{
    return u"A szerelőnek abban az időpontban más munkája van."_s;
}

QString ExternalJobStore::updateStatement()
{
    return uR"(UPDATE MUNKA SET ALLAPOT = :allapot, JUZER = :juzer, MIKORI = :mikori,
SZERELOT = :szerelot, TERVD = :tervd, TERVT = :tervt, TERVTEV = :tervtev, LEIRAST = :leirast,
DEDU = :dedu WHERE KOD = :kod AND COALESCE(ALLAPOT, '') = :expected)"_s;
}

ExternalStoreResult ExternalJobStore::store(const ExternalJobChange& change,
                                            bool ownTechnician) const
{
    const QDate day =
        alt::validateDate(change.tervd, false) ? alt::parseDate(change.tervd) : QDate();
    if (!day.isValid())
        return {ExternalStoreResult::InvalidDate, u"Hibás dátum.\n"_s + change.tervd};
    const QString tervd = alt::formatDate(day);
    const QString allapot = change.allapot.isEmpty() ? change.readState : change.allapot;

    bool slotTaken = false;
    bool changed = false;
    const auto work = [&](const QString& connection) -> db::Outcome {
        slotTaken = changed = false;
        const QString now = clock::now().toString(u"yyyy.MM.dd hh:mm:ss"_s);
        if (ownTechnician) {
            db::Query book(connection);
            book.setSql(RequestStore::bookingStatement());
            book.bind(u"szerelokod"_s, change.szerelot);
            book.bind(u"datum"_s, tervd);
            book.bind(u"mikori"_s, now);
            if (!book.exec())
                return db::Outcome::failure(book);
            QString error;
            const std::optional<bool> taken =
                JobRepository(connection)
                    .slotTakenByOther(change.szerelot, tervd, change.tervt, change.kod, &error);
            if (!taken)
                return db::Outcome::failure(error);
            if (*taken) {
                slotTaken = true;
                return db::Outcome::failure(slotTakenMessage());
            }
        }
        db::Query q(connection);
        q.setSql(updateStatement());
        q.bind(u"allapot"_s, allapot);
        q.bind(u"juzer"_s, Td::instance().userCode);
        q.bind(u"mikori"_s, now);
        q.bind(u"szerelot"_s, change.szerelot);
        q.bind(u"tervd"_s, tervd);
        q.bind(u"tervt"_s, change.tervt);
        q.bind(u"tervtev"_s, change.tervtev);
        q.bind(u"leirast"_s, change.leirast);
        q.bind(u"dedu"_s, change.dedu);
        q.bind(u"kod"_s, change.kod);
        q.bind(u"expected"_s, change.readState);
        if (!q.exec())
            return db::Outcome::failure(q);
        if (q.rowsAffected() == 0) {
            changed = true;
            return db::Outcome::failure(
                u"A munkát közben egy másik munkahelyen módosították vagy törölték."_s);
        }
        return moveReservations(connection, change, allapot);
    };
    const db::UnitResult result = db::runUnitOfWork(m_connection, work);
    if (result.ok())
        return {};
    if (slotTaken)
        return {ExternalStoreResult::SlotTaken, result.message};
    if (changed)
        return {ExternalStoreResult::Changed, result.message};
    return {ExternalStoreResult::Failed, result.message};
}

} // namespace mivo::workflow
