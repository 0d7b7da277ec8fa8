#include "frameworkdb.h"

#include "core/ini.h"
#include "framework/alapdat.h"
#include "platform/dbquery.h"

#include <QSqlField>
#include <QTest>

using namespace mivo;

class TestAlapdat : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Ini::instance().clear(); }

    void connectSetsKindAndOptionalTables_data()
    {
        QTest::addColumn<QStringList>("optional");
        QTest::addColumn<bool>("doku");
        QTest::addColumn<bool>("difolc");
        QTest::newRow("all") << TestDb::allOptional() << true << true;
        QTest::newRow("none") << QStringList() << false << false;
        QTest::newRow("only DOKU") << QStringList{QStringLiteral("DOKU")} << true << false;
    }
    void connectSetsKindAndOptionalTables()
    {
        QFETCH(QStringList, optional);
        QFETCH(bool, doku);
        QFETCH(bool, difolc);
        FrameworkDb fdb(optional);
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        Tdm& dm = Tdm::instance();
        QCOMPARE(dm.serverKind(), QStringLiteral("INTRBASE"));
        QCOMPARE(dm.dokuExists(), doku);
        QCOMPARE(dm.difolcExists(), difolc);
        QVERIFY(db::Connection::named(QStringLiteral("d_alap")).isOpen());
    }

    void serverKindFollowsDriverOrAlias()
    {
        QCOMPARE(Tdm::serverKindFor(QStringLiteral("intrbase"), QString()),
                 QStringLiteral("INTRBASE"));
        QCOMPARE(
            Tdm::serverKindFor(QStringLiteral("INTRBASE"), QStringLiteral("C:\\adat\\mivo.fdb")),
            QStringLiteral("INTRBASE"));
        db::Connection& other = db::Connection::named(QStringLiteral("d_mivo"));
        other.setAliasName(QStringLiteral("MSMIVO"));
        other.setDriverName(QStringLiteral("sql server"));
        QCOMPARE(Tdm::serverKindFor(QStringLiteral("INTRBASE"), QStringLiteral("msmivo")),
                 QStringLiteral("SQL SERVER"));
        QCOMPARE(Tdm::serverKindFor(QStringLiteral("INTRBASE"), QStringLiteral("UNKNOWN")),
                 QStringLiteral("INTRBASE"));
        other.clear();
        other.setDriverName(db::InterBaseDriver);
    }

    void tableExistsUsesStoredCase()
    {
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        QVERIFY(fdb.exec(QStringLiteral("CREATE TABLE \"kicsi\" (A INTEGER)")));
        Tdm& dm = Tdm::instance();
        QVERIFY(dm.tableExists(QStringLiteral("UGYFEL")));
        QVERIFY(!dm.tableExists(QStringLiteral("ugyfel")));
        QVERIFY(dm.tableExists(QStringLiteral("kicsi")));
        QVERIFY(!dm.tableExists(QStringLiteral("KICSI")));
        QVERIFY(!dm.tableExists(QStringLiteral("NINCS")));
        // A name is a value of the catalogue statement, never part of its text.
        QVERIFY(!dm.tableExists(QStringLiteral("X' OR 1=1 OR 'A'='A")));
        QVERIFY(dm.lastError().isEmpty());
    }

    void primaryKeys_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("joined");
        QTest::addColumn<int>("count");
        QTest::newRow("composite") << "NAPIREND"
                                   << "SZERELOKOD,DATUM" << 2;
        QTest::newRow("composite, declared order") << "PVEZERLO"
                                                   << "PANEL,SZOTMEZO,QMEZO" << 3;
        QTest::newRow("single") << "UGYFEL"
                                << "KOD" << 1;
        QTest::newRow("none") << "MUNKA_ALK"
                              << "" << 0;
        QTest::newRow("missing table") << "NINCS"
                                       << "" << 0;
    }
    void primaryKeys()
    {
        QFETCH(QString, table);
        QFETCH(QString, joined);
        QFETCH(int, count);
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        const PrimaryKey key = Tdm::instance().primaryKeyFields(table);
        QCOMPARE(key.joined(), joined);
        QCOMPARE(key.count(), count);
        // The same on the business connection.
        QCOMPARE(Tdm::instance().primaryKeyFields(table, QStringLiteral("d_mivo")).joined(),
                 joined);
    }

    void fieldInfo_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("notNull");
        QTest::newRow("utf8 varchar counts characters")
            << "NEV" << true << 40 << "VARCHAR" << false;
        QTest::newRow("not null key") << "KOD" << true << 4 << "INTEGER" << true;
        QTest::newRow("smallint") << "KIS" << true << 2 << "SMALLINT" << false;
        QTest::newRow("double") << "AR" << true << 8 << "DOUBLE PRECISION" << false;
        QTest::newRow("char") << "JEL" << true << 3 << "TEXT" << false;
        QTest::newRow("domain not null") << "DOMAINKOD" << true << 8 << "VARCHAR" << true;
        QTest::newRow("domain with not null on top")
            << "DOMAINNEV" << true << 20 << "VARCHAR" << true;
        QTest::newRow("domain nullable") << "DOMAINNEV2" << true << 20 << "VARCHAR" << false;
        QTest::newRow("text blob") << "MEGJ" << true << 8 << "BLOB" << false;
        QTest::newRow("missing") << "NINCS" << false << 0 << "nil" << false;
        QTest::newRow("lower case name of an upper case column")
            << "nev" << false << 0 << "nil" << false;
    }
    void fieldInfo()
    {
        QFETCH(QString, column);
        QFETCH(bool, found);
        QFETCH(int, length);
        QFETCH(QString, type);
        QFETCH(bool, notNull);
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        QVERIFY(fdb.exec(QStringLiteral("CREATE DOMAIN D_KOD AS VARCHAR(8) NOT NULL")));
        QVERIFY(fdb.exec(QStringLiteral("CREATE DOMAIN D_NEV AS VARCHAR(20)")));
        QVERIFY(fdb.exec(QStringLiteral(
            "CREATE TABLE PROBA (KOD INTEGER NOT NULL, NEV VARCHAR(40), KIS SMALLINT, "
            "AR DOUBLE PRECISION, JEL CHAR(3), DOMAINKOD D_KOD, DOMAINNEV D_NEV NOT NULL, "
            "DOMAINNEV2 D_NEV, MEGJ BLOB SUB_TYPE TEXT, NAP DATE, PRIMARY KEY (KOD))")));
        const ColumnInfo info = Tdm::instance().fieldInfo(QStringLiteral("PROBA"), column);
        QCOMPARE(info.found, found);
        QCOMPARE(info.length, length);
        QCOMPARE(info.typeName, type);
        QCOMPARE(info.notNull, notNull);
    }

    void fieldTypesAndEditLengths_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("editLength");
        QTest::newRow("varchar") << "NEV"
                                 << "VARCHAR" << 40;
        QTest::newRow("char") << "JEL"
                              << "VARCHAR" << 3;
        QTest::newRow("integer") << "KOD"
                                 << "INTEGER" << 10;
        QTest::newRow("bigint") << "NAGY"
                                << "INTEGER" << 10;
        QTest::newRow("smallint") << "KIS"
                                  << "SMALLINT" << 10;
        QTest::newRow("double") << "AR"
                                << "FLOAT" << 15;
        QTest::newRow("numeric") << "OSSZEG"
                                 << "FLOAT" << 15;
        QTest::newRow("boolean") << "JO"
                                 << "BOOLEAN" << 8;
        QTest::newRow("text blob") << "MEGJ"
                                   << "MEMO" << -1;
        QTest::newRow("date") << "NAP"
                              << "Unknown" << 8;
        QTest::newRow("timestamp") << "IDO"
                                   << "Unknown" << 8;
    }
    void fieldTypesAndEditLengths()
    {
        QFETCH(QString, column);
        QFETCH(QString, type);
        QFETCH(int, editLength);
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        QVERIFY(fdb.exec(QStringLiteral(
            "CREATE TABLE PROBA (KOD INTEGER, NEV VARCHAR(40), KIS SMALLINT, NAGY BIGINT, "
            "AR DOUBLE PRECISION, OSSZEG NUMERIC(15,2), JEL CHAR(3), JO BOOLEAN, "
            "MEGJ BLOB SUB_TYPE TEXT, NAP DATE, IDO TIMESTAMP)")));
        db::Query q(Tdm::connectionName);
        q.setSql(QStringLiteral("Select * From PROBA where 1=2"));
        QVERIFY2(q.exec(), qPrintable(q.lastError()));
        const QSqlField field = q.record().field(column);
        QCOMPARE(Tdm::fieldTypeName(field), type);
        QCOMPARE(Tdm::instance().fieldEditLength(QStringLiteral("PROBA"), field), editLength);
    }

    void identityOnlyOnSqlServer()
    {
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        const IdentityInfo identity =
            Tdm::instance().isIdentityField(QStringLiteral("UGYFEL"), QStringLiteral("KOD"));
        QVERIFY(!identity.identity);
        QCOMPARE(identity.seed, -1);
        QCOMPARE(identity.increment, -1);
    }
};

QTEST_GUILESS_MAIN(TestAlapdat)
#include "tst_alapdat.moc"
