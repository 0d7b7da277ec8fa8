#include "jobrepository.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbquery.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

// Fields are stored as given; an empty value is an empty text, not NULL.
QString nonNull(const QString& s)
{
    return s.isNull() ? u""_s : s;
}

void bindAll(db::Query& q, const std::map<QString, QVariant>& params)
{
    for (const auto& [name, value] : params)
        q.bind(name, value);
}

QString changedMeanwhile()
{
    return u"A munkát közben egy másik munkahelyen módosították vagy törölték."_s;
}

} // namespace

JobRepository::JobRepository() : m_connection(u"d_mivo"_s) {}

JobRepository::JobRepository(const QString& connectionName) : m_connection(connectionName) {}

std::optional<GridJob> JobRepository::load(int kod, QString* error) const
{
    // Outer joins: a job whose activity or appliance type has gone from the dictionaries
    // still has to be reachable from its cell.
    db::Query q(m_connection);
    q.setSql(
        u"SELECT MUNKA.FELVETELD, MUNKA.TERVD, MUNKA.TERVT, MUNKA.LEIRAST, MUNKA.LEIRASM, "
        "MUNKA.UGYFEL, "
        "MUNKA.KESZULEK, MUNKA.KOD, MUNKA.SZERELOT, MUNKA.TERVTEV, MUNKA.TIPUS, MUNKA.ALLAPOT, "
        "MUNKA.TELEFON, MUNKA.DEDU, MUNKA.LEMONDTA, MUNKA.JUZER, MUNKA.KESZ, "
        "TEVEKENYS.NEV TEVNEV, ARU.NEV KESZULEKNEV, ARU.KOD KESZULEKKOD, UGYFEL.NEV UGYFELNEV, "
        "UGYFEL.IRSZAM, UGYFEL.VAROS, UGYFEL.UTCA, UGYFEL.TELEFON UGYFELTELEFON, UGYFEL.FAX, "
        "UGYFEL.EMAIL, UGYFEL.KOMMENT, UGYFEL.KOMMENT2 "
        "FROM MUNKA JOIN UGYFEL ON UGYFEL.KOD = MUNKA.UGYFEL "
        "LEFT JOIN TEVEKENYS ON TEVEKENYS.KOD = MUNKA.TERVTEV "
        "LEFT JOIN ARU ON ARU.BELSOKOD = MUNKA.TIPUS "
        "WHERE MUNKA.KOD = :kod"_s);
    q.bind(u"kod"_s, kod);
    error->clear();
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    if (!q.first())
        return std::nullopt;
    GridJob j;
    auto t = [&q](const char16_t* field) { return q.text(QString::fromUtf16(field)); };
    j.kod = q.integer(u"KOD"_s);
    j.ugyfel = q.integer(u"UGYFEL"_s);
    j.keszulek = q.integer(u"KESZULEK"_s);
    j.tipus = q.integer(u"TIPUS"_s);
    j.felveteld = t(u"FELVETELD");
    j.tervd = t(u"TERVD");
    j.tervt = t(u"TERVT");
    j.leirast = t(u"LEIRAST");
    j.leirasm = t(u"LEIRASM");
    j.szerelot = t(u"SZERELOT");
    j.tervtev = t(u"TERVTEV");
    j.allapot = t(u"ALLAPOT");
    j.telefon = t(u"TELEFON");
    j.dedu = t(u"DEDU");
    j.lemondta = t(u"LEMONDTA");
    j.juzer = t(u"JUZER");
    j.kesz = t(u"KESZ");
    j.tevnev = t(u"TEVNEV");
    j.keszuleknev = t(u"KESZULEKNEV");
    j.keszulekkod = t(u"KESZULEKKOD");
    Customer& c = j.customer;
    c.kod = j.ugyfel;
    c.nev = t(u"UGYFELNEV");
    c.irszam = t(u"IRSZAM");
    c.varos = t(u"VAROS");
    c.utca = t(u"UTCA");
    c.telefon = t(u"UGYFELTELEFON");
    c.fax = t(u"FAX");
    c.email = t(u"EMAIL");
    c.komment = t(u"KOMMENT");
    c.komment2 = t(u"KOMMENT2");
    return j;
}

SqlStatement JobRepository::dayJobsStatement(const QString& date, const QStringList& technicians)
{
    SqlStatement s;
    s.params[u"datum"_s] = date;
    s.params[u"deleted"_s] = stateCode(JobState::Deleted);
    s.sql = u"SELECT MUNKA.KOD, MUNKA.SZERELOT, MUNKA.TERVT, MUNKA.LEMONDTA, MUNKA.TERVTEV, "
            "UGYFEL.IRSZAM, UGYFEL.VAROS, UGYFEL.UTCA "
            "FROM MUNKA JOIN UGYFEL ON UGYFEL.KOD = MUNKA.UGYFEL "
            "WHERE MUNKA.TERVD = :datum AND MUNKA.SZERELOT IN "_s +
            codeList(technicians, &s.params) +
            u" AND (MUNKA.ALLAPOT IS NULL OR MUNKA.ALLAPOT <> :deleted) "
            "ORDER BY MUNKA.TERVT, MUNKA.KOD"_s;
    return s;
}

bool JobRepository::dayJobs(const QString& date, const QStringList& technicians,
                            std::vector<ScheduledJob>* jobs, QString* error) const
{
    const SqlStatement s = dayJobsStatement(date, technicians);
    db::Query q(m_connection);
    q.setSql(s.sql);
    bindAll(q, s.params);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    jobs->clear();
    jobs->reserve(size_t(q.recordCount()));
    while (q.next()) {
        ScheduledJob j;
        j.kod = q.integer(u"KOD"_s);
        j.szerelot = q.text(u"SZERELOT"_s);
        j.tervt = q.text(u"TERVT"_s);
        j.tervtev = q.text(u"TERVTEV"_s);
        j.lemondta = q.text(u"LEMONDTA"_s);
        j.irszam = q.text(u"IRSZAM"_s);
        j.varos = q.text(u"VAROS"_s);
        j.utca = q.text(u"UTCA"_s);
        jobs->push_back(std::move(j));
    }
    return true;
}

std::optional<bool> JobRepository::slotTakenByOther(const QString& szerelo, const QString& datum,
                                                    const QString& ora, int kod,
                                                    QString* error) const
{
    db::Query q(m_connection);
    q.setSql(slotStatement());
    q.bind(u"szerelo"_s, szerelo);
    q.bind(u"datum"_s, datum);
    q.bind(u"ora"_s, ora);
    q.bind(u"deleted"_s, stateCode(JobState::Deleted));
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    while (q.next()) {
        if (q.integer(u"KOD"_s) != kod)
            return true;
    }
    return false;
}

std::optional<QString> JobRepository::stateName(const QString& code, QString* error) const
{
    db::Query q(m_connection);
    q.setSql(u"SELECT NEV FROM ALLAPOT Where KOD= :kod"_s);
    q.bind(u"kod"_s, code);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    return q.first() ? q.text(u"NEV"_s) : QString();
}

WriteResult JobRepository::unassign(const Job& seen) const
{
    return guardedUpdate(seen, u"ALLAPOT = :allapot, SZERELOT = :szerelot"_s,
                         {{u"allapot"_s, stateCode(JobState::Recorded)}, {u"szerelot"_s, u""_s}});
}

WriteResult JobRepository::markDeleted(const Job& seen) const
{
    return guardedUpdate(seen, u"ALLAPOT = :allapot, SZERELOT = :szerelot"_s,
                         {{u"allapot"_s, stateCode(JobState::Deleted)}, {u"szerelot"_s, u""_s}});
}

namespace
{

void bindWrite(db::Query& q, const JobWrite& w)
{
    q.bind(u"allapot"_s, stateCode(w.state));
    q.bind(u"ugyfel"_s, w.ugyfel);
    q.bind(u"keszulek"_s, w.keszulek);
    q.bind(u"tipus"_s, w.tipus);
    q.bind(u"tervd"_s, nonNull(w.tervd));
    q.bind(u"tervt"_s, nonNull(w.tervt));
    q.bind(u"szerelot"_s, nonNull(w.szerelot));
    q.bind(u"tervtev"_s, nonNull(w.tervtev));
    q.bind(u"leirast"_s, nonNull(w.leirast));
    q.bind(u"telefon"_s, nonNull(w.telefon));
    q.bind(u"dedu"_s, nonNull(w.dedu));
    q.bind(u"lemondta"_s, nonNull(w.lemondta));
    q.bind(u"kesz"_s, nonNull(w.kesz));
    q.bind(u"juzer"_s, Td::instance().userCode);
    q.bind(u"mikori"_s, clock::now().toString(u"yyyy.MM.dd hh:mm:ss"_s));
}

} // namespace

QString JobRepository::insertStatement()
{
    return u"Insert Into MUNKA (ALLAPOT, FELVETELD, FELVETELT, JUZER, KESZULEK, LEIRASM, "
           "LEIRAST, MUNKAD, MUNKASZAM, MUNKATEV, SZERELOM, SZERELOT, TERVD, TERVT, TERVTEV, "
           "UGYFEL, TIPUS, KULD, TELEFON, DEDU, MIKORI, LEMONDTA, KESZ) "
           "VALUES (:allapot, :felveteld, :felvetelt, :juzer, :keszulek, '', :leirast, '', '', "
           "'', '', :szerelot, :tervd, :tervt, :tervtev, :ugyfel, :tipus, 0, :telefon, :dedu, "
           ":mikori, :lemondta, :kesz) RETURNING KOD"_s;
}

QString JobRepository::slotStatement()
{
    return u"Select KOD From MUNKA Where SZERELOT = :szerelo And TERVD = :datum And "
           "TERVT = :ora And (ALLAPOT IS NULL OR ALLAPOT <> :deleted)"_s;
}

QString JobRepository::partsDeleteStatement()
{
    return u"DELETE FROM MUNKA_ALK WHERE KOD = :kod"_s;
}

QString JobRepository::partLookupStatement()
{
    return u"Select BELSOKOD From ARU Where KOD = :kod AND JELLEG = 'A'"_s;
}

QString JobRepository::partInsertStatement()
{
    return u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, KESZULEK, TIPUS, MENNYISEG, GJSORSZAM) "
           "VALUES (:kod, :alkatresz, :keszulek, :tipus, 1, 0)"_s;
}

WriteResult JobRepository::insert(const JobWrite& w, int* kod) const
{
    db::Query q(m_connection);
    q.setSql(insertStatement());
    bindWrite(q, w);
    const QDateTime now = clock::now();
    q.bind(u"felveteld"_s, now.toString(u"yyyy.MM.dd"_s));
    q.bind(u"felvetelt"_s, now.toString(u"hh:mm:ss"_s));
    const QVariant key = q.insertReturning();
    if (key.isNull())
        return WriteResult::failed(q);
    *kod = key.toInt();
    return WriteResult::stored();
}

WriteResult JobRepository::rewrite(int kod, const QString& expected, const JobWrite& w) const
{
    db::Query q(m_connection);
    q.setSql(u"UPDATE MUNKA SET ALLAPOT = :allapot, TERVD = :tervd, TERVT = :tervt, "
             "SZERELOT = :szerelot, TERVTEV = :tervtev, JUZER = :juzer, KESZULEK = :keszulek, "
             "LEIRAST = :leirast, UGYFEL = :ugyfel, TIPUS = :tipus, TELEFON = :telefon, "
             "DEDU = :dedu, MIKORI = :mikori, LEMONDTA = :lemondta, KESZ = :kesz "
             "WHERE KOD = :kod AND COALESCE(ALLAPOT, '') = :expected"_s);
    bindWrite(q, w);
    q.bind(u"kod"_s, kod);
    q.bind(u"expected"_s, nonNull(expected.trimmed()));
    return WriteResult::ofGuarded(q, changedMeanwhile());
}

WriteResult JobRepository::supersede(const Job& seen, const QString& technician) const
{
    return guardedUpdate(
        seen, u"ALLAPOT = :allapot, SZERELOT = :szerelot"_s,
        {{u"allapot"_s, stateCode(JobState::Superseded)}, {u"szerelot"_s, nonNull(technician)}});
}

std::optional<QString> JobRepository::partCodes(int kod, QString* error) const
{
    db::Query q(m_connection);
    q.setSql(u"Select ARU.KOD ARUKOD From MUNKA_ALK JOIN ARU ON ARU.BELSOKOD = MUNKA_ALK.ALKATRESZ "
             "where MUNKA_ALK.KOD = :kod"_s);
    q.bind(u"kod"_s, kod);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    QString codes;
    while (q.next())
        codes += q.text(u"ARUKOD"_s) + u',';
    return codes;
}

WriteResult JobRepository::deleteParts(int kod) const
{
    db::Query remove(m_connection);
    remove.setSql(partsDeleteStatement());
    remove.bind(u"kod"_s, kod);
    return remove.exec() ? WriteResult::stored() : WriteResult::failed(remove);
}

WriteResult JobRepository::replaceParts(int kod, const QStringList& codes, int keszulek,
                                        int tipus) const
{
    if (WriteResult removed = deleteParts(kod); !removed.ok())
        return removed;
    db::Query part(m_connection);
    part.setSql(partLookupStatement());
    db::Query add(m_connection);
    add.setSql(partInsertStatement());
    for (const QString& code : codes) {
        part.bind(u"kod"_s, code);
        if (!part.exec())
            return WriteResult::failed(part);
        if (!part.first())
            continue;
        add.bind(u"kod"_s, kod);
        add.bind(u"alkatresz"_s, part.integer(u"BELSOKOD"_s));
        add.bind(u"keszulek"_s, keszulek);
        add.bind(u"tipus"_s, tipus);
        if (!add.exec())
            return WriteResult::failed(add);
    }
    return WriteResult::stored();
}

QString JobRepository::storedCompletionStatement()
{
    return u"SELECT ALLAPOT, SZERELOT, SZERELOM, MUNKATEV FROM MUNKA WHERE KOD = :kod"_s;
}

QString JobRepository::completeStatement()
{
    return u"UPDATE MUNKA SET ALLAPOT = :allapot, MUNKAD = :munkad, SZERELOM = :szerelom, "
           "MUNKATEV = :munkatev, MUNKASZAM = :munkaszam, SZAMLASZAM = :szamlaszam, "
           "LEIRASM = :leirasm, KULD = CASE WHEN KULD = -1 THEN -1 ELSE 0 END, "
           "MROGZDAT = :mrogzdat, KESZULEK = :keszulek, MIKORI = :mikori "
           "WHERE KOD = :kod AND COALESCE(ALLAPOT, '') = :expected"_s;
}

QString JobRepository::recordedPartsStatement()
{
    return u"Select MUNKA_ALK.MENNYISEG, MUNKA_ALK.GJSORSZAM, MUNKA_ALK.ALKATRESZ, ARU.KOD ARUKOD, "
           "ARU.NEV From MUNKA_ALK JOIN ARU ON ARU.BELSOKOD = MUNKA_ALK.ALKATRESZ "
           "where MUNKA_ALK.KOD = :kod"_s;
}

QString JobRepository::usedPartInsertStatement()
{
    return u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, KESZULEK, TIPUS, MENNYISEG, GJSORSZAM) "
           "VALUES (:kod, :alkatresz, :keszulek, :tipus, :mennyiseg, :gjsorszam)"_s;
}

QString JobRepository::sameVisitCountStatement()
{
    return u"select count(*) DARAB from MUNKA where TERVD = :tervd and KESZULEK = :keszulek and "
           "UGYFEL = :ugyfel and (TERVTEV = :tervtev or TERVTEV= 'TO') and ALLAPOT = :allapot "
           "and SZERELOT = :szerelot"_s;
}

QString JobRepository::moveToCustomerStatement()
{
    return u"UPDATE MUNKA SET UGYFEL = :ugyfel ,MIKORI = :mikori WHERE KOD = :kod"_s;
}

std::optional<StoredCompletion> JobRepository::storedCompletion(int kod, QString* error) const
{
    db::Query q(m_connection);
    q.setSql(storedCompletionStatement());
    q.bind(u"kod"_s, kod);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    StoredCompletion stored;
    if (q.first())
        stored = {q.text(u"ALLAPOT"_s), q.text(u"SZERELOT"_s), q.text(u"SZERELOM"_s),
                  q.text(u"MUNKATEV"_s)};
    return stored;
}

WriteResult JobRepository::complete(int kod, const QString& expected, const JobCompletion& w) const
{
    db::Query q(m_connection);
    q.setSql(completeStatement());
    const QDateTime now = clock::now();
    q.bind(u"allapot"_s, stateCode(w.state));
    q.bind(u"munkad"_s, nonNull(w.munkad));
    q.bind(u"szerelom"_s, nonNull(w.szerelom));
    q.bind(u"munkatev"_s, nonNull(w.munkatev));
    q.bind(u"munkaszam"_s, nonNull(w.munkaszam));
    q.bind(u"szamlaszam"_s, nonNull(w.szamlaszam));
    q.bind(u"leirasm"_s, nonNull(w.leirasm));
    q.bind(u"mrogzdat"_s, now.toString(u"yyyy.MM.dd"_s));
    q.bind(u"keszulek"_s, w.keszulek);
    q.bind(u"mikori"_s, now.toString(u"yyyy.MM.dd hh:mm:ss"_s));
    q.bind(u"kod"_s, kod);
    q.bind(u"expected"_s, nonNull(expected.trimmed()));
    return WriteResult::ofGuarded(q, changedMeanwhile());
}

WriteResult JobRepository::moveToCustomer(int kod, int ugyfel) const
{
    db::Query q(m_connection);
    q.setSql(moveToCustomerStatement());
    q.bind(u"ugyfel"_s, ugyfel);
    q.bind(u"mikori"_s, clock::now().toString(u"yyyy.MM.dd hh:mm:ss"_s));
    q.bind(u"kod"_s, kod);
    return q.exec() ? WriteResult::stored() : WriteResult::failed(q);
}

std::optional<JobParts> JobRepository::recordedParts(int kod, QString* error) const
{
    db::Query q(m_connection);
    q.setSql(recordedPartsStatement());
    q.bind(u"kod"_s, kod);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    JobParts parts;
    while (q.next()) {
        PartRow row;
        row.code = q.text(u"ARUKOD"_s);
        row.name = q.text(u"NEV"_s);
        row.quantity = alt::formatDecimal(q.value(u"MENNYISEG"_s).toDouble());
        row.belsokod = q.integer(u"ALKATRESZ"_s);
        parts.rows.push_back(row);
        if (parts.gjsorszam == 0)
            parts.gjsorszam = q.integer(u"GJSORSZAM"_s);
    }
    return parts;
}

WriteResult JobRepository::recordUsedParts(int kod, const std::vector<UsedPart>& parts,
                                           int keszulek, int tipus, int gjsorszam) const
{
    db::Query add(m_connection);
    add.setSql(usedPartInsertStatement());
    for (const UsedPart& part : parts) {
        add.bind(u"kod"_s, kod);
        add.bind(u"alkatresz"_s, part.belsokod);
        add.bind(u"keszulek"_s, keszulek);
        add.bind(u"tipus"_s, tipus);
        add.bind(u"mennyiseg"_s, part.quantity);
        add.bind(u"gjsorszam"_s, gjsorszam);
        if (!add.exec())
            return WriteResult::failed(add);
    }
    return WriteResult::stored();
}

namespace
{

void bindVisit(db::Query& q, const VisitKey& key)
{
    q.bind(u"tervd"_s, nonNull(key.tervd));
    q.bind(u"keszulek"_s, key.keszulek);
    q.bind(u"ugyfel"_s, key.ugyfel);
    q.bind(u"tervtev"_s, nonNull(key.tervtev));
    q.bind(u"allapot"_s, nonNull(key.allapot));
    q.bind(u"szerelot"_s, nonNull(key.szerelot));
}

} // namespace

std::optional<int> JobRepository::sameVisitCount(const VisitKey& key, QString* error) const
{
    db::Query q(m_connection);
    q.setSql(sameVisitCountStatement());
    bindVisit(q, key);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    return q.first() ? q.integer(u"DARAB"_s) : 0;
}

std::optional<std::vector<int>> JobRepository::sameVisitJobs(const VisitKey& key,
                                                             QString* error) const
{
    db::Query q(m_connection);
    q.setSql(sameVisitCountStatement().replace(u"count(*) DARAB"_s, u"KOD"_s));
    bindVisit(q, key);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    std::vector<int> codes;
    while (q.next())
        codes.push_back(q.integer(u"KOD"_s));
    return codes;
}

WriteResult JobRepository::guardedUpdate(const Job& seen, const QString& assignments,
                                         const std::map<QString, QVariant>& params) const
{
    // The guard sits in the statement itself, so nothing can slip in between a check and
    // the write. A job read without a state is matched as an empty one.
    db::Query q(m_connection);
    q.setSql(u"UPDATE MUNKA SET "_s + assignments +
             u", JUZER = :juzer, MIKORI = :mikori "
             "WHERE KOD = :kod AND COALESCE(ALLAPOT, '') = :expected"_s);
    bindAll(q, params);
    q.bind(u"juzer"_s, Td::instance().userCode);
    q.bind(u"mikori"_s, clock::now().toString(u"yyyy.MM.dd hh:mm:ss"_s));
    q.bind(u"kod"_s, seen.kod);
    q.bind(u"expected"_s, nonNull(seen.allapot.trimmed()));
    return WriteResult::ofGuarded(q, changedMeanwhile());
}

} // namespace mivo::workflow
