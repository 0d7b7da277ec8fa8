#include "sdimport.h"

#include "batchedwork.h"
#include "core/altproc.h"
#include "core/clock.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

const QString maker = u"Saunier Duval"_s;

// Technicians and articles per transaction.
constexpr int rowsPerCommit = 2000;

QString cut40(const QString& text)
{
    return text.left(40);
}

// Removes leading spaces, commas and periods, trimming after each.
QString dropSeparators(QString text)
{
    text = text.trimmed();
    while (!text.isEmpty() && (text[0] == u' ' || text[0] == u',' || text[0] == u'.'))
        text = text.mid(1).trimmed();
    return text;
}

QString threeDigits(int n)
{
    return alt::padLeft(QString::number(n), u'0', 3);
}

} // namespace

SdImport::SdImport(const QString& target, const QString& source, const QString& merchant)
    : m_target(target), m_source(source), m_merchant(merchant)
{
}

SdAddress SdImport::splitAddress(const QString& text)
{
    SdAddress a;
    QString rest = text;
    if (!rest.isEmpty() && rest[0] >= u'1' && rest[0] <= u'9') {
        a.postalCode = rest.left(4);
        rest = rest.mid(4);
    }
    rest = cut40(dropSeparators(rest));
    int end = 0;
    while (end < rest.size() && rest[end] != u' ' && rest[end] != u'.' && rest[end] != u',')
        ++end;
    a.city = cut40(rest.left(end));
    a.street = cut40(dropSeparators(rest.mid(end)));
    return a;
}

void SdImport::write(const QString& line)
{
    m_log << line;
    if (onLog)
        onLog(line);
}

void SdImport::progress(int section, int done, int total)
{
    if (onProgress)
        onProgress(section, done, total);
}

bool SdImport::exec(const QString& sql, const std::map<QString, QVariant>& params)
{
    QString error;
    if (db::execute(m_target, sql, params, &error))
        return true;
    m_error = error;
    return false;
}

bool SdImport::ran(db::Query& q)
{
    if (q.exec())
        return true;
    m_error = q.lastError();
    return false;
}

bool SdImport::lookup(const QString& sql, const std::map<QString, QVariant>& params,
                      QVariant* value)
{
    QString error;
    *value = db::scalar(m_target, sql, params, &error);
    if (error.isEmpty())
        return true;
    m_error = error;
    return false;
}

// The key comes back from the insert itself: reading MAX() afterwards could pick up the row
// of another workstation inserting at the same time.
QVariant SdImport::insertKey(const QString& sql, const std::map<QString, QVariant>& params)
{
    db::Query q(m_target);
    q.setSql(sql);
    for (const auto& [name, value] : params)
        q.bind(name, value);
    const QVariant key = q.insertReturning();
    if (key.isNull())
        m_error = q.lastError();
    return key;
}

bool SdImport::run(const SdImportOptions& options)
{
    m_error.clear();
    m_log.clear();
    m_counts = {};
    if (!buildTechnicianList(options))
        return false;
    write(u"Adatátvétel SD szervíz programból"_s);
    write({});
    write(u"Indul:"_s + clock::now().toString(u"yyyy.MM.dd hh:mm:ss"_s));
    write({});
    if (options.clear && !clearTargets(options))
        return false;
    if (options.technicians && !importTechnicians(options))
        return false;
    if (options.applianceTypes && !importArticles(options, true))
        return false;
    if (options.parts && !importArticles(options, false))
        return false;
    if (options.sheets && !importSheets(options))
        return false;
    return true;
}

bool SdImport::buildTechnicianList(const SdImportOptions& options)
{
    m_technicians = options.technicianList;
    if (!m_technicians.isEmpty())
        return true;
    db::Query q(m_target);
    q.setLines({u"Select KOD From SZERELO WHERE aktiv='I'"_s, u"AND CEGKOD=:cegkod"_s});
    q.bind(u"cegkod"_s, options.ownCompany);
    if (!ran(q))
        return false;
    while (q.next())
        m_technicians += q.text(u"KOD"_s) + u',';
    return true;
}

bool SdImport::probeSource(const SdImportOptions& options)
{
    if (!db::Connection::named(m_source).isOpen()) {
        m_error = u"Nem tudok kapcsolódni a SD szervíz adatbázishoz."_s;
        return false;
    }
    QStringList probes;
    if (options.technicians)
        probes << u"Select KOD, NEV, IRSZAM, VAROS, UTCA, TELEFON, MOBILTELEFON, LETILTVA From "
                  u"SZERELOK"_s;
    if (options.applianceTypes || options.parts)
        probes << u"Select KOD, NEV, MEGYSEG, JELLEG, TOROLT, ARUCSOP2 From ARU"_s;
    if (options.sheets)
        probes << u"Select SORSZAM, SZERVIZKP, BEUZEMELES, SZERELO, TIPUS, GYARISZAM, VEVONEV, "
                  u"IRSZAM, VAROS, UTCA, TELEFON, VASARLAS, GAZATVETEL, TELJESITMENY, FUTESIREND, "
                  u"MIKORI, VIZNYOMAS, GAZNYOMAS, FELSZCEG, FELSZCEGCIM, GAZ_ES_MEG, UZEMBECEG, "
                  u"UZEMBECIM, SZLASZ, KERKARB, VIZKOKEZELO, ISZAPSZURO, VIZKOKTIP, ISZAPSZTIP, "
                  u"GJSZKOD1, GJSZKOD2, GJSZKOD3, GJDATUM1, GJDATUM2, GJDATUM3, GJSZLASZ1, "
                  u"GJSZLASZ2, GJSZLASZ3 From BEUZLAP"_s
               << u"Select SORSZAM, SZELVENY, ALKATRESZ, DATUM, SZERELO, MUNKALAP From SZELVENY"_s;
    for (const QString& probe : probes) {
        db::Query q(m_source);
        q.setSql(probe + u" where 1=2"_s);
        if (!ran(q))
            return false;
    }
    return true;
}

bool SdImport::tableExists(const QString& table, bool* exists)
{
    QVariant n;
    if (!lookup(u"SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = :t"_s,
                {{u"t"_s, table}}, &n))
        return false;
    *exists = n.toInt() > 0;
    return true;
}

bool SdImport::clearTargets(const SdImportOptions& options)
{
    // Nothing goes before the source is known to hold every table and column the run reads.
    if (!probeSource(options))
        return false;
    write(u"Meglévő adatokat töröljük."_s);
    QStringList statements;
    if (options.sheets) {
        // Job and customer keys restart: their history and letters would pass to new rows.
        bool history = false, letters = false;
        if (!tableExists(u"MUNKA_LOG"_s, &history) || !tableExists(u"LEVELKE"_s, &letters))
            return false;
        statements << u"DELETE FROM KESZULEK"_s << u"SET GENERATOR GEN_KESZULEK TO 0"_s
                   << u"DELETE FROM BEUZLAP"_s << u"DELETE FROM NAPIREND"_s
                   << u"DELETE FROM MUNKA"_s;
        if (history)
            statements << u"DELETE FROM MUNKA_LOG"_s;
        statements << u"SET GENERATOR GEN_MUNKA TO 0"_s << u"DELETE FROM MUNKA_ALK"_s
                   << u"DELETE FROM UGYFEL"_s;
        if (letters)
            statements << u"DELETE FROM LEVELKE"_s;
        statements << u"SET GENERATOR GEN_UGYFEL TO 0"_s;
    }
    if (options.applianceTypes)
        statements << u"DELETE FROM ARU Where JELLEG = 'K'"_s;
    if (options.parts)
        statements << u"DELETE FROM ARU Where JELLEG = 'A'"_s;
    if (options.technicians)
        statements << u"DELETE FROM SZERELO"_s;
    for (const QString& sql : statements)
        if (!exec(sql))
            return false;
    if (options.parts) {
        // Articles of other kinds stay: the keys restart after the highest one left, not at
        // 0, or the next insert would collide with them.
        QVariant highest;
        if (!lookup(u"SELECT COALESCE(MAX(BELSOKOD), 0) FROM ARU"_s, {}, &highest))
            return false;
        if (!exec(u"SET GENERATOR GEN_ARU TO "_s + QString::number(highest.toLongLong())))
            return false;
    }
    return true;
}

bool SdImport::importTechnicians(const SdImportOptions& options)
{
    write(u"Szerelők adatai"_s);
    db::Query src(m_source);
    src.setLines({u"Select SZERELOK.KOD,SZERELOK.NEV,SZERELOK.IRSZAM,SZERELOK.VAROS,"_s,
                  u"SZERELOK.UTCA,SZERELOK.TELEFON TELEFON1,"_s,
                  u"SZERELOK.MOBILTELEFON TELEFON2"_s, u"From SZERELOK"_s,
                  u"Where SZERELOK.LETILTVA='N'"_s, u"Order By NEV"_s});
    if (!ran(src))
        return false;
    m_counts.technicians = src.recordCount();
    write(u"Tételszám: "_s + QString::number(m_counts.technicians));
    // Whole codes of the list: a substring test would count "A1" as own when "A10" is.
    const QStringList own = m_technicians.split(u',', Qt::SkipEmptyParts);
    BatchedWork work(m_target, rowsPerCommit);
    if (!work.begin()) {
        m_error = work.error();
        return false;
    }
    // A failure keeps the rows written before it.
    const auto stop = [&work] {
        work.finish();
        return false;
    };
    int done = 0;
    while (src.next()) {
        const QString code = src.text(u"KOD"_s);
        bool exists = false;
        if (!options.clear) {
            QVariant n;
            if (!lookup(u"SELECT Count(*) DARAB FROM SZERELO\nWHERE KOD=:kod"_s, {{u"kod"_s, code}},
                        &n))
                return stop();
            exists = n.toInt() == 1;
        }
        if (!exists) {
            if (!exec(u"INSERT INTO SZERELO (KOD,NEV,IRSZAM,VAROS,UTCA,TELEFON1, TELEFON2, "
                      u"AKTIV, CEGKOD)\nVALUES (:kod,:nev,:irszam,:varos,:utca,:t1,:t2,'I',:ceg)"_s,
                      {{u"kod"_s, code},
                       {u"nev"_s, src.text(u"NEV"_s)},
                       {u"irszam"_s, src.text(u"IRSZAM"_s)},
                       {u"varos"_s, src.text(u"VAROS"_s)},
                       {u"utca"_s, src.text(u"UTCA"_s)},
                       {u"t1"_s, src.text(u"TELEFON1"_s)},
                       {u"t2"_s, src.text(u"TELEFON2"_s)},
                       {u"ceg"_s, own.contains(code) ? options.ownCompany : QString()}}))
                return stop();
            ++m_counts.technicianNew;
        }
        progress(0, ++done, m_counts.technicians);
        if (!work.rowDone()) {
            m_error = work.error();
            return false;
        }
    }
    if (!work.finish()) {
        m_error = work.error();
        return false;
    }
    write(u"Kész."_s + clock::now().toString(u"hh:mm:ss"_s));
    return true;
}

bool SdImport::importArticles(const SdImportOptions& options, bool types)
{
    if (!db::Connection::named(m_source).isOpen()) {
        m_error = u"Nem tudok kapcsolódni a SD szervíz adatbázishoz."_s;
        return false;
    }
    write({});
    write(types ? u"Készülékek"_s : u"Alkatrészek."_s);
    db::Query src(m_source);
    src.setLines({u"Select KOD, NEV, MEGYSEG, JELLEG, TOROLT, ARUCSOP2"_s,
                  types ? u"From ARU Where JELLEG = 'K'"_s : u"From ARU Where JELLEG = 'A'"_s,
                  u"Order By KOD"_s});
    if (!ran(src))
        return false;
    const int total = src.recordCount();
    (types ? m_counts.applianceTypes : m_counts.parts) = total;
    write(u"Tételszám: "_s + QString::number(total));
    // Provisional codes continue after the highest one of types and parts alike: two
    // articles never share one.
    int provisional = 0;
    {
        db::Query q(m_target);
        q.setSql(u"SELECT KOD FROM ARU WHERE KOD STARTING WITH 'Kod'"_s);
        if (!ran(q))
            return false;
        while (q.next()) {
            bool number = false;
            const int n = q.text(u"KOD"_s).mid(3).toInt(&number);
            if (number)
                provisional = std::max(provisional, n);
        }
    }
    int done = 0;
    QString lastCode;
    bool haveLast = false;
    BatchedWork work(m_target, rowsPerCommit);
    if (!work.begin()) {
        m_error = work.error();
        return false;
    }
    // A failure keeps the rows written before it.
    const auto stop = [&work] {
        work.finish();
        return false;
    };
    while (src.next()) {
        progress(types ? 1 : 2, ++done, total);
        if (!work.rowDone()) {
            m_error = work.error();
            return false;
        }
        const QString code = src.text(u"KOD"_s);
        const QString name = src.text(u"NEV"_s);
        // Consecutive rows with one code make one article.
        if (haveLast && !code.isEmpty() && code == lastCode)
            continue;
        if (!code.isEmpty()) {
            lastCode = code;
            haveLast = true;
        }
        if (!options.clear) {
            if (!code.isEmpty()) {
                QVariant n;
                if (!lookup(u"SELECT Count(*) DARAB FROM ARU\nWHERE KOD=:kod"_s, {{u"kod"_s, code}},
                            &n))
                    return stop();
                if (n.toInt() >= 1)
                    continue;
            }
            QVariant found;
            db::Query byName(m_target);
            byName.setSql(u"SELECT KOD, BELSOKOD FROM ARU\nWHERE NEV=:nev"_s);
            byName.bind(u"nev"_s, name);
            if (!ran(byName))
                return stop();
            const bool named = byName.next();
            const QString old = named ? byName.text(u"KOD"_s) : QString();
            if (old.startsWith(u"Kod"_s)) {
                // An article without a code keeps its provisional one; a real code replaces it,
                // in the row found only (another article may carry the same provisional code).
                if (!code.isEmpty()) {
                    if (!exec(u"UPDATE ARU SET KOD = :ujkod WHERE BELSOKOD = :belsokod"_s,
                              {{u"ujkod"_s, code}, {u"belsokod"_s, byName.value(u"BELSOKOD"_s)}}))
                        return stop();
                    write(u"Rendes kódot kapott: "_s + old + u" -> "_s + code);
                }
                continue;
            }
        }
        const QString newCode = code.isEmpty() ? u"Kod"_s + threeDigits(++provisional) : code;
        const QString group = src.text(u"ARUCSOP2"_s);
        if (insertKey(u"INSERT INTO ARU (KOD, NEV, NEV2, M_EGYSEG, CSOPORT2, JELLEG, SZKOD, AKTIV)"
                      u"\nVALUES (:kod, :nev, :nev2, :megyseg, :csop2, :jelleg, :szkod, :aktiv)"
                      u"\nRETURNING BELSOKOD"_s,
                      {{u"kod"_s, newCode},
                       {u"nev"_s, name},
                       {u"nev2"_s, maker},
                       {u"megyseg"_s, src.text(u"MEGYSEG"_s)},
                       {u"csop2"_s, group.isEmpty() || group == u"T"_s ? u"A"_s : group},
                       {u"jelleg"_s, src.text(u"JELLEG"_s)},
                       {u"szkod"_s, code},
                       {u"aktiv"_s, src.text(u"TOROLT"_s) == u"I"_s ? u"N"_s : u"I"_s}})
                .isNull())
            return stop();
        write(u"Új tétel: "_s + newCode + u' ' + name);
        ++(types ? m_counts.applianceTypeNew : m_counts.partNew);
        if (!code.isEmpty() && !enrich(code))
            return stop();
    }
    if (!work.finish()) {
        m_error = work.error();
        return false;
    }
    write(u"Kész."_s + clock::now().toString(u"hh:mm:ss"_s));
    return true;
}

bool SdImport::enrich(const QString& code)
{
    if (!db::Connection::named(m_merchant).isOpen())
        return true;
    db::Query m(m_merchant);
    m.setLines({u"SELECT KOD, NEV, CSOPORT1, M_EGYSEG, CS_EGYSEG"_s, u"FROM ARU"_s,
                u"WHERE GYARIKOD = :gyarikod"_s});
    m.bind(u"gyarikod"_s, code);
    if (!ran(m))
        return false;
    if (!m.next())
        return true;
    return exec(u"UPDATE ARU SET M_EGYSEG = :megyseg, CSOPORT1 = :csop1, NEV2 = :nev2, "
                u"CS_EGYSEG = :csegyseg WHERE KOD = :kod"_s,
                {{u"megyseg"_s, m.text(u"M_EGYSEG"_s)},
                 {u"csop1"_s, m.text(u"CSOPORT1"_s)},
                 {u"nev2"_s, m.text(u"NEV"_s)},
                 {u"csegyseg"_s, m.integer(u"CS_EGYSEG"_s)},
                 {u"kod"_s, code}});
}

} // namespace mivo::exchange
