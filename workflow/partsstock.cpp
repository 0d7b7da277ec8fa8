#include "partsstock.h"

#include "request.h"

#include "core/altproc.h"
#include "platform/dbquery.h"

#include <QRegularExpression>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

const QString company = u"CEG"_s;

PartsHook::Result failed(const db::Query& q)
{
    return {false, q.lastError(), q.lastErrorCode()};
}

} // namespace

QString StockLevel::text() const
{
    return alt::formatDecimal(technician) + u'+' + alt::formatDecimal(company);
}

std::optional<double> rowQuantity(const QString& text)
{
    static const QRegularExpression number(u"^-?[0-9]+([.,][0-9]*)?$"_s);
    const QString t = text.trimmed();
    if (!number.match(t).hasMatch())
        return std::nullopt;
    return QString(t).replace(u',', u'.').toDouble();
}

PartsStock::PartsStock(const QString& connectionName) : m_connection(connectionName) {}

std::optional<StockLevel> PartsStock::lookup(const QString& technician, const QString& part,
                                             QString* error) const
{
    db::Query q(m_connection);
    q.setSql(u"Select COALESCE(MENNYI, 0) MENNYI From ALK_KESZLET Where HOL = :hol AND MI = :mi"_s);
    q.bind(u"hol"_s, technician);
    q.bind(u"mi"_s, part);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    StockLevel level;
    if (q.first()) {
        level.technician = q.value(u"MENNYI"_s).toDouble();
        return level;
    }
    q.bind(u"hol"_s, company);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    if (q.first())
        level.company = q.value(u"MENNYI"_s).toDouble();
    return level;
}

PartsHook::Result PartsStock::reserve(const QString& technician, const QString& part,
                                      double quantity) const
{
    // The row is updated when it exists and created when not; two workstations creating
    // it at once meet a key violation, and the rerun of their unit updates it.
    db::Query update(m_connection);
    update.setSql(reserveStatement());
    update.bind(u"mennyiseg"_s, quantity);
    update.bind(u"hol"_s, technician);
    update.bind(u"mi"_s, part);
    if (!update.exec())
        return failed(update);
    if (update.rowsAffected() > 0)
        return {};
    db::Query insert(m_connection);
    insert.setSql(u"INSERT INTO ALK_KESZLET (HOL, MI, FOGLALT) VALUES (:hol, :mi, :foglalt)"_s);
    insert.bind(u"hol"_s, technician);
    insert.bind(u"mi"_s, part);
    insert.bind(u"foglalt"_s, quantity);
    return insert.exec() ? PartsHook::Result() : failed(insert);
}

QString PartsStock::reserveStatement()
{
    return u"UPDATE ALK_KESZLET Set FOGLALT = COALESCE(FOGLALT, 0) + :mennyiseg "
           "WHERE HOL = :hol AND MI = :mi"_s;
}

QString PartsStock::moveStatement()
{
    return u"UPDATE ALK_KESZLET Set FOGLALT = COALESCE(FOGLALT, 0) + :foglalt, "
           "MENNYI = COALESCE(MENNYI, 0) + :mennyi WHERE HOL = :hol AND MI = :mi"_s;
}

QString PartsStock::releasePlannedStatement()
{
    return u"MERGE INTO ALK_KESZLET K USING (SELECT ARU.KOD MI, SUM(MUNKA_ALK.MENNYISEG) Q "
           "FROM MUNKA_ALK JOIN MUNKA ON MUNKA.KOD = MUNKA_ALK.KOD "
           "JOIN ARU ON ARU.BELSOKOD = MUNKA_ALK.ALKATRESZ "
           "WHERE MUNKA.SZERELOT = :hol AND MUNKA.TERVD >= :datumtol "
           "AND MUNKA.TERVD <= :datumig AND MUNKA.ALLAPOT = 'KI' GROUP BY ARU.KOD) S "
           "ON K.HOL = :hol AND K.MI = S.MI "
           "WHEN MATCHED THEN UPDATE SET FOGLALT = COALESCE(K.FOGLALT, 0) - COALESCE(S.Q, 0) "
           "WHEN NOT MATCHED THEN INSERT (HOL, MI, FOGLALT) VALUES (:hol, S.MI, "
           "-COALESCE(S.Q, 0))"_s;
}

QString PartsStock::jobPartsStatement()
{
    return u"Select MUNKA_ALK.MENNYISEG, ARU.KOD ARUKOD From MUNKA_ALK "
           "JOIN ARU ON ARU.BELSOKOD = MUNKA_ALK.ALKATRESZ Where MUNKA_ALK.KOD = :kod "
           "ORDER BY ARU.KOD, MUNKA_ALK.MENNYISEG"_s;
}

PartsHook::Result PartsStock::move(const QString& place, const QString& part, double reserved,
                                   double held) const
{
    // As reserve(): updated when the row exists, created when not.
    db::Query update(m_connection);
    update.setSql(moveStatement());
    update.bind(u"foglalt"_s, reserved);
    update.bind(u"mennyi"_s, held);
    update.bind(u"hol"_s, place);
    update.bind(u"mi"_s, part);
    if (!update.exec())
        return failed(update);
    if (update.rowsAffected() > 0)
        return {};
    db::Query insert(m_connection);
    insert.setSql(u"INSERT INTO ALK_KESZLET (HOL, MI, MENNYI, FOGLALT) "
                  "VALUES (:hol, :mi, :mennyi, :foglalt)"_s);
    insert.bind(u"hol"_s, place);
    insert.bind(u"mi"_s, part);
    insert.bind(u"mennyi"_s, held);
    insert.bind(u"foglalt"_s, reserved);
    return insert.exec() ? PartsHook::Result() : failed(insert);
}

std::optional<std::vector<std::pair<QString, double>>>
PartsStock::recordedQuantities(int jobCode, QString* error) const
{
    db::Query q(m_connection);
    q.setSql(jobPartsStatement());
    q.bind(u"kod"_s, jobCode);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    std::vector<std::pair<QString, double>> parts;
    while (q.next())
        parts.emplace_back(q.text(u"ARUKOD"_s), q.value(u"MENNYISEG"_s).toDouble());
    return parts;
}

PartsHook::Result PartsStock::release(int jobCode, const QString& technician) const
{
    db::Query parts(m_connection);
    parts.setSql(jobPartsStatement());
    parts.bind(u"kod"_s, jobCode);
    if (!parts.exec())
        return failed(parts);
    while (parts.next()) {
        const PartsHook::Result r =
            reserve(technician, parts.text(u"ARUKOD"_s), -parts.value(u"MENNYISEG"_s).toDouble());
        if (!r.ok)
            return r;
    }
    return {};
}

PartsHook::Result PartsStock::releasePlanned(const QString& technician, const QString& from,
                                             const QString& to) const
{
    db::Query merge(m_connection);
    merge.setSql(releasePlannedStatement());
    merge.bind(u"hol"_s, technician);
    merge.bind(u"datumtol"_s, from);
    merge.bind(u"datumig"_s, to);
    return merge.exec() ? PartsHook::Result() : failed(merge);
}

PartsHook::Result PartsStock::reserveAndRecord(int jobCode, int tipus, int keszulek,
                                               const QString& technician,
                                               const std::vector<PartRow>& rows) const
{
    db::Query record(m_connection);
    record.setSql(u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, KESZULEK, TIPUS, MENNYISEG, GJSORSZAM) "
                  "VALUES (:kod, :alkatresz, :keszulek, :tipus, :mennyiseg, 0)"_s);
    for (const PartRow& row : rows) {
        const std::optional<double> quantity = rowQuantity(row.quantity);
        if (row.code.isEmpty() || !quantity)
            continue;
        if (!technician.isEmpty()) {
            if (const PartsHook::Result r = reserve(technician, row.code, *quantity); !r.ok)
                return r;
        }
        record.bind(u"kod"_s, jobCode);
        record.bind(u"alkatresz"_s, row.belsokod);
        record.bind(u"keszulek"_s, keszulek);
        record.bind(u"tipus"_s, tipus);
        record.bind(u"mennyiseg"_s, *quantity);
        if (!record.exec())
            return failed(record);
    }
    return {};
}

std::optional<PartRow> PartsStock::rowFor(const QString& code, const QString& technician,
                                          QString* error) const
{
    db::Query q(m_connection);
    q.setSql(u"Select NEV, BELSOKOD From ARU Where KOD = :kod AND JELLEG = 'A'"_s);
    q.bind(u"kod"_s, code);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    PartRow row;
    row.code = code;
    row.quantity = u"1"_s;
    if (q.first()) {
        row.name = q.text(u"NEV"_s);
        row.belsokod = q.integer(u"BELSOKOD"_s);
    }
    const std::optional<StockLevel> level = lookup(technician, code, error);
    if (!level)
        return std::nullopt;
    row.stock = level->text();
    return row;
}

std::optional<std::vector<PartRow>> PartsStock::rowsOf(const QString& list,
                                                       const QString& technician,
                                                       const std::vector<PartRow>& previous,
                                                       QString* error) const
{
    std::vector<PartRow> rows;
    for (const QString& code : partCodeList(list)) {
        std::optional<PartRow> row = rowFor(code, technician, error);
        if (!row)
            return std::nullopt;
        for (const PartRow& p : previous) {
            if (p.code == code && !p.quantity.isEmpty())
                row->quantity = p.quantity;
        }
        rows.push_back(*row);
    }
    if (rows.empty())
        rows.push_back({});
    return rows;
}

std::optional<std::vector<PartRow>> PartsStock::jobParts(int jobCode, const QString& technician,
                                                         QString* error) const
{
    db::Query q(m_connection);
    q.setSql(jobPartsStatement());
    q.bind(u"kod"_s, jobCode);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    std::vector<PartRow> rows;
    while (q.next()) {
        std::optional<PartRow> row = rowFor(q.text(u"ARUKOD"_s), technician, error);
        if (!row)
            return std::nullopt;
        row->quantity = alt::formatDecimal(q.value(u"MENNYISEG"_s).toDouble());
        rows.push_back(*row);
    }
    if (rows.empty())
        rows.push_back({});
    return rows;
}

} // namespace mivo::workflow
