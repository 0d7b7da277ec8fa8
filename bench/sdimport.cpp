// SD import at benchmark scale (100 000 sheets with their visits, 30 000 coupons, 2 000
// articles, 60 technicians) with clearing into a fresh database, beside the bare work: the
// same SD rows read and the same rows written by prepared inserts with known keys in one
// transaction. Rates in rows written per second; the goal is at least 60 % of the bare rate.
#include "benchdata.h"

#include "core/dat.h"
#include "core/newdatabase.h"
#include "exchange/sdimport.h"
#include "platform/dbconnection.h"
#include "platform/fbdatabase.h"
#include "support/sdfixture.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTextStream>

#include <ctime>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

void run(QSqlQuery& q)
{
    if (!q.exec())
        qFatal("%s", qPrintable(q.lastError().text()));
}

QString text(const QSqlQuery& q, int column)
{
    const QVariant v = q.value(column);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(u"yyyy.MM.dd"_s);
    return v.toString().trimmed();
}

// Every SD row read, the target rows inserted by prepared statements, one transaction.
void bare()
{
    QSqlDatabase sd = QSqlDatabase::database(u"d_sd"_s);
    QSqlDatabase d = QSqlDatabase::database(u"d_mivo"_s);
    d.transaction();
    QSqlQuery technician(d), article(d), customer(d), appliance(d), sheet(d), job(d), part(d);
    technician.prepare(u"INSERT INTO SZERELO (KOD, NEV, IRSZAM, VAROS, UTCA, TELEFON1, TELEFON2, "
                       u"AKTIV, CEGKOD) VALUES (?, ?, ?, ?, ?, ?, ?, 'I', 'VELKOR')"_s);
    article.prepare(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, NEV2, M_EGYSEG, CSOPORT2, JELLEG, "
                    u"SZKOD, AKTIV) VALUES (?, ?, ?, 'Saunier Duval', ?, 'A', ?, ?, 'I')"_s);
    customer.prepare(u"INSERT INTO UGYFEL (KOD, NEV, IRSZAM, VAROS, UTCA, TELEFON, KOMMENT) "
                     u"VALUES (?, ?, ?, ?, ?, ?, 'new')"_s);
    appliance.prepare(
        u"INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, GYARISZAM) VALUES (?, ?, ?, ?)"_s);
    sheet.prepare(u"INSERT INTO BEUZLAP (SORSZAM, KESZULEK, TIPUS, UGYFEL, GYARISZAM, VASARLAS, "
                  u"GAZATVETEL, FUTESIREND, MIKORI, FELSZCEG, GAZ_ES_MEG, UZEMBECEG, SZLASZ, "
                  u"KERKARB, VIZKOKEZELO, ISZAPSZURO, VIZKOKTIP, ISZAPSZTIP, BEUZEMELES, "
                  u"TELJESITMENY, VIZNYOMAS, GAZNYOMAS, FELSZCEGKOD, FELSZIRSZAM, FELSZVAROS, "
                  u"FELSZUTCA, UZEMBEKOD, UZEMBEIRSZAM, UZEMBEVAROS, UZEMBEUTCA) VALUES (?, ?, ?, "
                  u"?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '', ?, ?, ?, 'new', "
                  u"?, ?, ?)"_s);
    job.prepare(u"INSERT INTO MUNKA (KOD, ALLAPOT, UGYFEL, KESZULEK, TIPUS, FELVETELD, TERVD, "
                u"TERVTEV, SZERELOT, MUNKAD, SZERELOM, MUNKATEV, JUZER, LEIRASM, MUNKASZAM, KULD) "
                u"VALUES (?, 'OK', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'ADMIN', ?, ?, -1)"_s);
    part.prepare(u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, MENNYISEG, GJSORSZAM, KESZULEK, "
                 u"TIPUS) VALUES (?, ?, 1, ?, ?, ?)"_s);

    QSqlQuery src(sd);
    src.setForwardOnly(true);
    src.exec(u"SELECT KOD, NEV, IRSZAM, VAROS, UTCA, TELEFON, MOBILTELEFON FROM SZERELOK"_s);
    while (src.next()) {
        for (int c = 0; c < 7; ++c)
            technician.addBindValue(text(src, c));
        run(technician);
    }
    QHash<QString, int> articles;
    src.exec(u"SELECT KOD, NEV, MEGYSEG, JELLEG FROM ARU ORDER BY KOD"_s);
    while (src.next()) {
        const int key = int(articles.size()) + 1;
        articles.insert(text(src, 3) == u"K"_s ? text(src, 1).toLower() : text(src, 0), key);
        article.addBindValue(key);
        article.addBindValue(text(src, 0));
        article.addBindValue(text(src, 1));
        article.addBindValue(text(src, 2));
        article.addBindValue(text(src, 3));
        article.addBindValue(text(src, 0));
        run(article);
    }
    struct Coupon {
        QString part, date, technician, jobSheet;
        int number;
    };
    QHash<QString, QList<Coupon>> coupons;
    src.exec(u"SELECT SORSZAM, ALKATRESZ, DATUM, SZERELO, MUNKALAP, SZELVENY FROM SZELVENY"_s);
    while (src.next())
        coupons[text(src, 0)].append(
            {text(src, 1), text(src, 2), text(src, 3), text(src, 4), src.value(5).toInt()});

    QHash<QString, int> customers;
    int jobKey = 0, applianceKey = 0;
    const auto addJob = [&](int customerKey, int type, const QString& date, const QString& tev,
                            const QString& who, const QString& leiras, const QString& munkaszam) {
        for (const QVariant& v :
             {QVariant(++jobKey), QVariant(customerKey), QVariant(applianceKey), QVariant(type),
              QVariant(date), QVariant(date), QVariant(tev), QVariant(who), QVariant(date),
              QVariant(who), QVariant(tev), QVariant(leiras), QVariant(munkaszam)})
            job.addBindValue(v);
        run(job);
    };
    src.exec(u"SELECT * FROM BEUZLAP WHERE SZERVIZKP = '07' ORDER BY VEVONEV"_s);
    const QSqlRecord r = src.record();
    const auto at = [&r, &src](const char* name) {
        return text(src, r.indexOf(QLatin1String(name)));
    };
    while (src.next()) {
        const int type = articles.value(at("TIPUS").toLower());
        const QString who = at("VEVONEV") + u'|' + at("VAROS") + u'|' + at("UTCA");
        int customerKey = customers.value(who);
        if (!customerKey) {
            customerKey = int(customers.size()) + 1;
            customers.insert(who, customerKey);
            for (const QVariant& v :
                 {QVariant(customerKey), QVariant(at("VEVONEV")), QVariant(at("IRSZAM")),
                  QVariant(at("VAROS")), QVariant(at("UTCA")), QVariant(at("TELEFON"))})
                customer.addBindValue(v);
            run(customer);
        }
        ++applianceKey;
        for (const QVariant& v : {QVariant(applianceKey), QVariant(customerKey), QVariant(type),
                                  QVariant(at("GYARISZAM"))})
            appliance.addBindValue(v);
        run(appliance);
        const exchange::SdAddress a = exchange::SdImport::splitAddress(at("FELSZCEGCIM"));
        const exchange::SdAddress b = exchange::SdImport::splitAddress(at("UZEMBECIM"));
        const QString number = at("SORSZAM");
        for (const QVariant& v : {QVariant(number),
                                  QVariant(applianceKey),
                                  QVariant(type),
                                  QVariant(customerKey),
                                  QVariant(at("GYARISZAM")),
                                  QVariant(at("VASARLAS")),
                                  QVariant(at("GAZATVETEL")),
                                  QVariant(at("FUTESIREND")),
                                  QVariant(at("MIKORI")),
                                  QVariant(at("FELSZCEG")),
                                  QVariant(at("GAZ_ES_MEG")),
                                  QVariant(at("UZEMBECEG")),
                                  QVariant(at("SZLASZ")),
                                  QVariant(at("KERKARB")),
                                  QVariant(at("VIZKOKEZELO")),
                                  QVariant(at("ISZAPSZURO")),
                                  QVariant(at("VIZKOKTIP")),
                                  QVariant(at("ISZAPSZTIP")),
                                  QVariant(at("BEUZEMELES")),
                                  src.value(r.indexOf(u"TELJESITMENY"_s)),
                                  src.value(r.indexOf(u"VIZNYOMAS"_s)),
                                  src.value(r.indexOf(u"GAZNYOMAS"_s)),
                                  QVariant(a.postalCode),
                                  QVariant(a.city),
                                  QVariant(a.street),
                                  QVariant(b.postalCode),
                                  QVariant(b.city),
                                  QVariant(b.street)})
            sheet.addBindValue(v);
        run(sheet);
        addJob(customerKey, type, at("BEUZEMELES"), u"ÜZ"_s, at("SZERELO"),
               number + u" / "_s + at("GYARISZAM"), u"new"_s);
        for (int n = 1; n <= 3; ++n) {
            const QByteArray i = QByteArray::number(n);
            const QString visitor = at(("GJSZKOD" + i).constData());
            if (!visitor.isEmpty())
                addJob(customerKey, type, at(("GJDATUM" + i).constData()), u"KAR"_s, visitor,
                       at(("GJSZLASZ" + i).constData()), u"newg"_s + QString::number(n));
        }
        for (const Coupon& c : coupons.value(number)) {
            addJob(customerKey, type, c.date, u"GJ"_s, c.technician,
                   u"new"_s + QString::number(c.number) + u". szelvény"_s, c.jobSheet.left(6));
            for (const QVariant& v : {QVariant(jobKey), QVariant(articles.value(c.part)),
                                      QVariant(c.number), QVariant(applianceKey), QVariant(type)})
                part.addBindValue(v);
            run(part);
        }
    }
    if (!d.commit())
        qFatal("%s", qPrintable(d.lastError().text()));
}

int written()
{
    QSqlQuery q(QSqlDatabase::database(u"d_mivo"_s));
    q.exec(u"SELECT (SELECT COUNT(*) FROM SZERELO) + (SELECT COUNT(*) FROM ARU) + (SELECT "
           u"COUNT(*) FROM UGYFEL) + (SELECT COUNT(*) FROM KESZULEK) + (SELECT COUNT(*) FROM "
           u"BEUZLAP) + (SELECT COUNT(*) FROM MUNKA) + (SELECT COUNT(*) FROM MUNKA_ALK) FROM "
           u"RDB$DATABASE"_s);
    return q.next() ? q.value(0).toInt() : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // A smaller run for trying changes: bench_sdimport SHEETS.
    SdScale scale;
    if (argc > 1) {
        scale.sheets = QString::fromLocal8Bit(argv[1]).toInt();
        scale.coupons = scale.sheets * 3 / 10;
    }
    const QString sdPath = dir.filePath(u"sd.fdb"_s);
    QString error;
    if (!db::createFirebirdDatabase(sdPath, Td::builtinUser, Td::builtinPassword, &error))
        qFatal("%s", qPrintable(error));
    db::Connection& sd = db::Connection::named(u"d_sd"_s);
    sd.setParams({u"SERVER NAME="_s + sdPath, u"USER NAME="_s + Td::builtinUser,
                  u"PASSWORD="_s + Td::builtinPassword});
    if (!sd.open() || !createSdScale(u"d_sd"_s, scale, &error))
        qFatal("SD fixture: %s %s", qPrintable(sd.lastError()), qPrintable(error));

    const QString empty = dir.filePath(u"empty.fdb"_s);
    if (!createApplicationDatabase(empty, 0, 0, 0, &error))
        qFatal("%s", qPrintable(error));
    const auto fresh = [&](const QString& name) {
        db::Connection::named(u"d_mivo"_s).close();
        const QString path = dir.filePath(name);
        QFile::remove(path);
        if (!QFile::copy(empty, path) || !bench::openMain(path))
            qFatal("no database");
    };

    const auto cpu = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
    };
    double c0 = cpu();
    fresh(u"bare.fdb"_s);
    const double bareMs = bench::fastestMs(1, bare);
    QTextStream(stderr) << "bare " << bareMs << " ms" << Qt::endl;
    const int bareRows = written();
    QTextStream(stderr) << "bare cpu " << cpu() - c0 << " ms" << Qt::endl;
    c0 = cpu();

    fresh(u"import.fdb"_s);
    QString technicians;
    for (int n = 1; n <= scale.technicians; ++n)
        technicians += u"S"_s + QString::number(n).rightJustified(2, u'0') + u',';
    const double importMs = bench::fastestMs(1, [&] {
        exchange::SdImport import;
        exchange::SdImportOptions o;
        o.technicians = o.clear = true;
        o.serviceCentre = u"07"_s;
        o.technicianList = technicians;
        o.ownCompany = u"VELKOR"_s;
        o.user = u"ADMIN"_s;
        if (!import.run(o))
            qFatal("%s", qPrintable(import.error()));
        if (qEnvironmentVariableIsSet("MIVO_BENCH_LOG"))
            QTextStream(stderr) << import.log().join(u'\n') << Qt::endl;
    });
    const int importRows = written();
    QTextStream(stderr) << "import cpu " << cpu() - c0 << " ms" << Qt::endl;
    db::Connection::closeAll();
    QTextStream(stderr) << importRows << " rows imported, " << bareRows << " by the bare work"
                        << Qt::endl;
    bench::report(u"sdimport_100000_sheets"_s, importRows / (importMs / 1000.0),
                  bareRows / (bareMs / 1000.0), u"rows/s"_s);
    return 0;
}
