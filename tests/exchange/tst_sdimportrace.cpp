// The SD import on one workstation while another records customers, appliances and jobs
// through the same Firebird server: every imported job belongs to its own sheet's customer
// and appliance, and the other workstation's rows stay as it wrote them.

#include "core/dat.h"
#include "exchange/sdimport.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/fbdatabase.h"
#include "support/fbserver.h"
#include "support/sdfixture.h"
#include "support/testdb.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace mivo;
using namespace mivo::exchange;
using namespace Qt::StringLiterals;

namespace
{

const char* const workerVariable = "MIVO_SDIMPORT_WORKER";

// "location;stop file": a customer, its appliance and a job, each numbered n in its texts,
// until the stop file appears.
int worker()
{
    const QStringList args = qEnvironmentVariable(workerVariable).split(u';');
    QTextStream out(stdout);
    if (!openWorkerConnection(args.value(0), out))
        return 2;
    db::Query customer, appliance, job;
    customer.setSql(u"INSERT INTO UGYFEL (NEV, VAROS, UTCA) VALUES (:nev, 'Pécs', 'Fő utca 1') "
                    u"RETURNING KOD"_s);
    appliance.setSql(u"INSERT INTO KESZULEK (UGYFEL, GYARISZAM) VALUES (:ugyfel, :gyariszam) "
                     u"RETURNING KOD"_s);
    job.setSql(u"INSERT INTO MUNKA (ALLAPOT, UGYFEL, KESZULEK, MUNKATEV, LEIRASM, KULD) VALUES "
               u"('BE', :ugyfel, :keszulek, 'JAV', :n, 0)"_s);
    int n = 0;
    while (!QFile::exists(args.value(1)) && n < 100000) {
        ++n;
        customer.bind(u"nev"_s, u"Másik "_s + QString::number(n));
        const QVariant customerKey = customer.insertReturning();
        appliance.bind(u"ugyfel"_s, customerKey);
        appliance.bind(u"gyariszam"_s, u"M-"_s + QString::number(n));
        const QVariant applianceKey = appliance.insertReturning();
        job.bind(u"ugyfel"_s, customerKey);
        job.bind(u"keszulek"_s, applianceKey);
        job.bind(u"n"_s, QString::number(n));
        if (customerKey.isNull() || applianceKey.isNull() || !job.exec()) {
            out << "row " << n << ": " << customer.lastError() << appliance.lastError()
                << job.lastError() << Qt::endl;
            return 1;
        }
        if (n == 20)
            out << "busy" << Qt::endl;
    }
    out << "rows " << n << Qt::endl;
    db::Connection::closeAll();
    return 0;
}

int count(const QString& sql)
{
    QString error;
    const QVariant v = db::scalar(u"d_mivo"_s, sql, {}, &error);
    if (!error.isEmpty())
        qWarning() << error;
    return v.toInt();
}

} // namespace

class TestSdImportRace : public QObject
{
    Q_OBJECT

private slots:
    void importWhileAnotherWorkstationInserts()
    {
        FirebirdServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        TestDb db(TestDb::allOptional(), u"d_mivo"_s, &server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        const QString sdLocation = server.location(db.dir() + u"/sd.fdb"_s);
        QVERIFY2(
            db::createFirebirdDatabase(sdLocation, Td::builtinUser, Td::builtinPassword, &error),
            qPrintable(error));
        db::Connection& sd = db::Connection::named(u"d_sd"_s);
        sd.setParams({u"SERVER NAME="_s + sdLocation, u"USER NAME="_s + Td::builtinUser,
                      u"PASSWORD="_s + Td::builtinPassword});
        QVERIFY2(sd.open(), qPrintable(sd.lastError()));
        const int sheets = 600;
        QVERIFY2(createSdScale(u"d_sd"_s, {sheets, 200, 40, 4}, &error), qPrintable(error));

        const QString stop = db.dir() + u"/stop"_s;
        QProcess other;
        startWorker(other, workerVariable, db.location(), stop);
        QCOMPARE(readWorkerLine(other), u"busy"_s);

        SdImport import;
        SdImportOptions o;
        o.serviceCentre = u"07"_s;
        o.technicianList = u"S01,S02,S03,S04,"_s;
        o.user = u"ADMIN"_s;
        const bool imported = import.run(o);
        QFile(stop).open(QIODevice::WriteOnly);
        QVERIFY(other.waitForFinished(60000));
        const QString output = QString::fromUtf8(other.readAll()).trimmed();
        QVERIFY2(other.exitStatus() == QProcess::NormalExit && other.exitCode() == 0,
                 qPrintable(output));
        QVERIFY2(imported, qPrintable(import.error()));
        sd.close();
        QVERIFY(output.startsWith(u"rows "_s));
        const int otherRows = output.mid(5).toInt();
        qInfo("the other workstation wrote %d customers meanwhile", otherRows);

        // The two really interleaved: the other's keys fall among the imported ones.
        QVERIFY(count(u"SELECT COUNT(*) FROM UGYFEL WHERE NEV STARTING WITH 'Másik' AND KOD "
                      u"BETWEEN (SELECT MIN(KOD) FROM UGYFEL WHERE KOMMENT = 'new') AND "
                      u"(SELECT MAX(KOD) FROM UGYFEL WHERE KOMMENT = 'new')"_s) > 0);

        QCOMPARE(count(u"SELECT COUNT(*) FROM BEUZLAP"_s), sheets);
        // Each sheet's appliance and customer are its own.
        QCOMPARE(count(u"SELECT COUNT(*) FROM BEUZLAP B JOIN KESZULEK K ON K.KOD = B.KESZULEK "
                       u"JOIN UGYFEL U ON U.KOD = B.UGYFEL WHERE K.UGYFEL = B.UGYFEL AND "
                       u"K.GYARISZAM = 'GY' || CAST(B.SORSZAM AS INTEGER) AND U.NEV STARTING "
                       u"WITH 'Vevő' AND U.KOMMENT = 'new'"_s),
                 sheets);
        // Every imported job points at its own sheet's customer and appliance.
        QVERIFY(count(u"SELECT COUNT(*) FROM MUNKA WHERE KULD = -1"_s) > sheets);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA M WHERE M.KULD = -1 AND NOT EXISTS (SELECT "
                       u"1 FROM BEUZLAP B WHERE B.KESZULEK = M.KESZULEK AND B.UGYFEL = "
                       u"M.UGYFEL AND B.TIPUS = M.TIPUS)"_s),
                 0);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA M JOIN BEUZLAP B ON B.KESZULEK = M.KESZULEK "
                       u"WHERE M.MUNKATEV = 'ÜZ' AND M.LEIRASM = B.SORSZAM || ' / ' || "
                       u"B.GYARISZAM"_s),
                 sheets);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA_ALK A JOIN MUNKA M ON M.KOD = A.KOD WHERE "
                       u"M.MUNKATEV = 'GJ' AND A.KESZULEK = M.KESZULEK"_s),
                 200);

        // The other workstation's rows, untouched and still pointing at each other.
        QCOMPARE(count(u"SELECT COUNT(*) FROM UGYFEL WHERE NEV STARTING WITH 'Másik'"_s),
                 otherRows);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA M JOIN UGYFEL U ON U.KOD = M.UGYFEL JOIN "
                       u"KESZULEK K ON K.KOD = M.KESZULEK WHERE M.KULD = 0 AND M.ALLAPOT = 'BE' "
                       u"AND U.NEV = 'Másik ' || M.LEIRASM AND K.GYARISZAM = 'M-' || M.LEIRASM "
                       u"AND K.UGYFEL = U.KOD"_s),
                 otherRows);
        QCOMPARE(count(u"SELECT COUNT(*) FROM MUNKA WHERE KULD = 0"_s), otherRows);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(workerVariable))
        return worker();
    TestSdImportRace test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sdimportrace.moc"
