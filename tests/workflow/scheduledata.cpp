#include "scheduledata.h"

#include "support/testdb.h"

#include "platform/dbquery.h"

#include <QTest>

namespace scheduledata
{

void addTechnician(TestDb& db, const QString& kod, const QString& nev, const QString& cegkod,
                   const QString& aktiv)
{
    QString error;
    QVERIFY2(
        mivo::db::execute(
            db.connectionName(),
            QStringLiteral("INSERT INTO SZERELO (KOD, NEV, CEGKOD, AKTIV) VALUES (:k, :n, :c, :a)"),
            {{QStringLiteral("k"), kod},
             {QStringLiteral("n"), nev},
             {QStringLiteral("c"), cegkod},
             {QStringLiteral("a"), aktiv}},
            &error),
        qPrintable(error));
}

int addCustomer(TestDb& db, const QString& nev, const QString& irszam, const QString& varos,
                const QString& utca)
{
    mivo::db::Query q(db.connectionName());
    q.setSql(QStringLiteral("INSERT INTO UGYFEL (NEV, IRSZAM, VAROS, UTCA, TELEFON) VALUES (:n, "
                            ":i, :v, :u, '06-1-555') "
                            "RETURNING KOD"));
    q.bind(QStringLiteral("n"), nev);
    q.bind(QStringLiteral("i"), irszam);
    q.bind(QStringLiteral("v"), varos);
    q.bind(QStringLiteral("u"), utca);
    const QVariant kod = q.insertReturning();
    if (kod.isNull())
        QTest::qFail(qPrintable(q.lastError()), __FILE__, __LINE__);
    return kod.toInt();
}

Job planned(int ugyfel, const QString& szerelot, const QString& tervd, const QString& tervt)
{
    Job j;
    j.ugyfel = ugyfel;
    j.szerelot = szerelot;
    j.tervd = tervd;
    j.tervt = tervt;
    return j;
}

int addJob(const Job& job, const QString& connection)
{
    mivo::db::Query q(connection);
    q.setSql(QStringLiteral(
        "INSERT INTO MUNKA (ALLAPOT, UGYFEL, KESZULEK, TIPUS, FELVETELD, JUZER, LEIRAST, TERVD, "
        "TERVT, TERVTEV, SZERELOT, LEMONDTA, KESZ) VALUES (:allapot, :ugyfel, 0, "
        "(SELECT MIN(BELSOKOD) FROM ARU), '2024.03.01', 'anna', 'Nem indul', :tervd, :tervt, "
        ":tervtev, :szerelot, :lemondta, '') RETURNING KOD"));
    q.bind(QStringLiteral("allapot"), job.allapot);
    q.bind(QStringLiteral("ugyfel"), job.ugyfel);
    q.bind(QStringLiteral("tervd"), job.tervd);
    q.bind(QStringLiteral("tervt"), job.tervt);
    q.bind(QStringLiteral("tervtev"), job.tervtev);
    q.bind(QStringLiteral("szerelot"), job.szerelot);
    q.bind(QStringLiteral("lemondta"), job.lemondta);
    const QVariant kod = q.insertReturning();
    if (kod.isNull())
        QTest::qFail(qPrintable(q.lastError()), __FILE__, __LINE__);
    return kod.toInt();
}

int addAppliance(TestDb& db, int ugyfel, int tipus, const QString& gyariszam,
                 const QString& beuzemeles)
{
    mivo::db::Query q(db.connectionName());
    q.setSql(QStringLiteral("INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM, BEUZEMELES) VALUES "
                            "(:u, :t, :g, :b) RETURNING KOD"));
    q.bind(QStringLiteral("u"), ugyfel);
    q.bind(QStringLiteral("t"), tipus);
    q.bind(QStringLiteral("g"), gyariszam);
    q.bind(QStringLiteral("b"), beuzemeles);
    const QVariant kod = q.insertReturning();
    if (kod.isNull()) {
        QTest::qFail(qPrintable(q.lastError()), __FILE__, __LINE__);
        return 0;
    }
    mivo::db::Query sheet(db.connectionName());
    sheet.setSql(QStringLiteral("INSERT INTO BEUZLAP (SORSZAM, KESZULEK, UGYFEL, TIPUS, GYARISZAM, "
                                "BEUZEMELES) VALUES (:s, :k, :u, :t, :g, :b)"));
    sheet.bind(QStringLiteral("s"), gyariszam.right(6));
    sheet.bind(QStringLiteral("k"), kod);
    sheet.bind(QStringLiteral("u"), ugyfel);
    sheet.bind(QStringLiteral("t"), tipus);
    sheet.bind(QStringLiteral("g"), gyariszam);
    sheet.bind(QStringLiteral("b"), beuzemeles);
    if (!sheet.exec())
        QTest::qFail(qPrintable(sheet.lastError()), __FILE__, __LINE__);
    return kod.toInt();
}

} // namespace scheduledata
