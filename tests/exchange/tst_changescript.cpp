#include "core/dat.h"
#include "exchange/changescript.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "support/testdb.h"

#include <QFile>
#include <QProcess>
#include <QSqlRecord>
#include <QTest>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

using Params = std::map<QString, QVariant>;

// Runs the change script the way another site does: isql reads the file.
bool replay(const TestDb& target, const QByteArray& script, QString* output)
{
    const QString file = target.dir() + u"/doit.sql"_s;
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(script) != script.size())
        return false;
    out.close();
    // The embedded engine of this process holds the file while it is attached.
    db::Connection& c = db::Connection::named(target.connectionName());
    c.close();
    QProcess isql;
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(u"isql-fb"_s,
               {u"-user"_s, Td::builtinUser, u"-password"_s, Td::builtinPassword, u"-ch"_s,
                u"UTF8"_s, u"-bail"_s, u"-q"_s, u"-i"_s, file, target.path()});
    const bool finished = isql.waitForFinished(30000);
    *output = QString::fromUtf8(isql.readAll());
    return c.open() && finished && isql.exitCode() == 0 && !output->contains(u"Statement failed"_s);
}

QVariantList row(const QString& connection, const QString& table, const QString& where)
{
    db::Query q(connection);
    q.setSql(u"SELECT * FROM "_s + table + u" WHERE "_s + where);
    QVariantList values;
    if (!q.exec() || !q.first()) {
        qWarning() << q.lastError();
        return values;
    }
    for (int i = 0; i < q.fieldCount(); ++i)
        values << q.value(i);
    return values;
}

} // namespace

class TestChangeScript : public QObject
{
    Q_OBJECT
private slots:
    void sequenceNumbers_data()
    {
        QTest::addColumn<qint64>("sequence");
        QTest::addColumn<QString>("comment");
        QTest::newRow("one digit") << qint64(7) << u"/*SITE_0000007*/"_s;
        QTest::newRow("7 digits") << qint64(9999999) << u"/*SITE_9999999*/"_s;
        QTest::newRow("8 digits") << qint64(12345678) << u"/*SITE_12345678*/"_s;
    }
    void sequenceNumbers()
    {
        QFETCH(qint64, sequence);
        QFETCH(QString, comment);
        const QString line = exchange::changeStatement(
            u"SITE"_s, sequence, u"UGYFEL"_s, u"UPDATE UGYFEL SET NEV= :NEV WHERE KOD= :OLD_KOD"_s,
            {{u"nev"_s, u"Kiss"_s}, {u"old_kod"_s, 3}});
        QCOMPARE(line, comment + u" UPDATE OR INSERT INTO UGYFEL (NEV) Values ('Kiss');"_s);
    }

    void theLineForACustomer()
    {
        // Site identifier, table, columns in the statement's order and spelling, integers bare,
        // strings quoted; the key the insert received follows the statement's columns.
        QCOMPARE(exchange::changeStatement(
                     {}, 12, u"UGYFEL"_s,
                     u"INSERT INTO UGYFEL (\n NEV\n,VAROS\n)\nVALUES (\n :NEV\n,:VAROS\n)"_s,
                     {{u"kod"_s, 41}, {u"nev"_s, u"Kiss Béla"_s}, {u"varos"_s, u"Pécs"_s}}),
                 u"/*_0000012*/ UPDATE OR INSERT INTO UGYFEL (NEV,VAROS,KOD) Values ('Kiss "
                 u"Béla','Pécs',41);"_s);
    }

    // Each statement runs here, its change line runs on a second database, and the row must
    // come out the same there.
    void replaysIntoAnotherDatabase_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<QString>("where");
        const QString update = u"UPDATE UGYFEL SET KOD= :KOD , NEV= :NEV , VAROS= :VAROS , "
                               u"KOMMENT= :KOMMENT WHERE KOD= :OLD_KOD"_s;
        QTest::newRow("generated key")
            << u"UGYFEL"_s << u"INSERT INTO UGYFEL (NEV, VAROS) VALUES (:NEV, :VAROS)"_s
            << QVariantMap{{u"NEV"_s, u"Árvíztűrő tükörfúrógép"_s}, {u"VAROS"_s, u"Győr"_s}}
            << u"NEV = 'Árvíztűrő tükörfúrógép'"_s;
        QTest::newRow("update without OLD_") << u"UGYFEL"_s << update
                                             << QVariantMap{{u"KOD"_s, 5001},
                                                            {u"NEV"_s, u"Új név"_s},
                                                            {u"VAROS"_s, u"Eger"_s},
                                                            {u"KOMMENT"_s, u"-"_s},
                                                            {u"OLD_KOD"_s, 5000}}
                                             << u"KOD = 5001"_s;
        QTest::newRow("quote") << u"UGYFEL"_s << update
                               << QVariantMap{{u"KOD"_s, 5000},
                                              {u"NEV"_s, u"O'Brien ''és'' társa"_s},
                                              {u"VAROS"_s, u"'"_s},
                                              {u"KOMMENT"_s, u"a';DROP TABLE UGYFEL;--"_s},
                                              {u"OLD_KOD"_s, 5000}}
                               << u"KOD = 5000"_s;
        QTest::newRow("NULL") << u"UGYFEL"_s << update
                              << QVariantMap{{u"KOD"_s, 5000},
                                             {u"NEV"_s, u"Nagy"_s},
                                             {u"VAROS"_s, QVariant()},
                                             {u"KOMMENT"_s, QString()},
                                             {u"OLD_KOD"_s, 5000}}
                              << u"KOD = 5000"_s;
        QTest::newRow("CR/LF") << u"UGYFEL"_s << update
                               << QVariantMap{{u"KOD"_s, 5000},
                                              {u"NEV"_s, u"\r\nelső\r\nmásodik\nharmadik\r"_s},
                                              {u"VAROS"_s, u"\n"_s},
                                              {u"KOMMENT"_s, u"x\r\r\ny"_s},
                                              {u"OLD_KOD"_s, 5000}}
                               << u"KOD = 5000"_s;
        QTest::newRow("float") << u"ARU"_s
                               << u"UPDATE ARU SET BELSOKOD= :BELSOKOD , NETTOAR= :NETTOAR , "
                                  u"CS_EGYSEG= :CS_EGYSEG WHERE BELSOKOD= :OLD_BELSOKOD"_s
                               << QVariantMap{{u"BELSOKOD"_s, 7000},
                                              {u"NETTOAR"_s, 1234.5678},
                                              {u"CS_EGYSEG"_s, -12},
                                              {u"OLD_BELSOKOD"_s, 7000}}
                               << u"BELSOKOD = 7000"_s;
        QTest::newRow("float without a fraction")
            << u"ARU"_s
            << u"UPDATE ARU SET BELSOKOD= :BELSOKOD , NETTOAR= :NETTOAR WHERE "
               u"BELSOKOD= :OLD_BELSOKOD"_s
            << QVariantMap{{u"BELSOKOD"_s, 7000},
                           {u"NETTOAR"_s, 0.1 + 0.2},
                           {u"OLD_BELSOKOD"_s, 7000}}
            << u"BELSOKOD = 7000"_s;
        QTest::newRow("large and small floats")
            << u"BEUZLAP"_s
            << u"INSERT INTO BEUZLAP (SORSZAM, TELJESITMENY, TELJMIN, TELJMAX) VALUES "
               u"(:SORSZAM, :TELJESITMENY, :TELJMIN, :TELJMAX)"_s
            << QVariantMap{{u"SORSZAM"_s, u"000001"_s},
                           {u"TELJESITMENY"_s, 1e20},
                           {u"TELJMIN"_s, -2.5e-7},
                           {u"TELJMAX"_s, 24.0}}
            << u"SORSZAM = '000001'"_s;
    }
    void replaysIntoAnotherDatabase()
    {
        QFETCH(QString, table);
        QFETCH(QString, statement);
        QFETCH(QVariantMap, values);
        QFETCH(QString, where);
        TestDb here;
        TestDb there({}, u"d_ott"_s);
        QVERIFY(here.ok() && there.ok());
        // The row as it was before the change, on both sides.
        for (const QString& setup :
             {u"INSERT INTO UGYFEL (KOD, NEV, VAROS) VALUES (5000, 'Régi', 'Pécs')"_s,
              u"INSERT INTO ARU (BELSOKOD, NEV, NETTOAR) VALUES (7000, 'Kazán', 1)"_s}) {
            QVERIFY(here.exec(setup));
            QVERIFY(db::execute(u"d_ott"_s, setup));
        }

        Params params;
        db::Query q;
        q.setSql(statement);
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            params[it.key().toLower()] = it.value();
            q.bind(it.key().toLower(), it.value());
        }
        QVERIFY2(q.exec(), qPrintable(q.lastError()));
        // The editor hands over the key that an insert's generator gave.
        if (statement.startsWith(u"INSERT INTO UGYFEL"_s))
            params[u"kod"_s] = db::scalar(u"d_mivo"_s, u"SELECT KOD FROM UGYFEL WHERE "_s + where);

        const QString line = exchange::changeStatement(u"T1"_s, 1, table, statement, params);
        QVERIFY(!line.contains(u"OLD_"_s, Qt::CaseInsensitive));
        QVERIFY(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')));
        QString output;
        QVERIFY2(replay(there, (line + u"\r\n"_s).toUtf8(), &output),
                 qPrintable(line + u"\n"_s + output));
        const QVariantList mine = row(u"d_mivo"_s, table, where);
        QVERIFY(!mine.isEmpty());
        QCOMPARE(row(u"d_ott"_s, table, where), mine);
        // Replayed twice, it changes nothing.
        QVERIFY2(replay(there, (line + u"\r\n"_s + line + u"\r\n"_s).toUtf8(), &output),
                 qPrintable(output));
        QCOMPARE(row(u"d_ott"_s, table, where), mine);
    }
};

QTEST_GUILESS_MAIN(TestChangeScript)
#include "tst_changescript.moc"
