// The statement rights of the list builder and its script reader, as tables of cases.
#include "framework/kvarcelperiod.h"
#include "framework/kvarcelrunner.h"
#include "framework/statementrights.h"

#include "core/clock.h"
#include "support/testdb.h"

#include <QTest>

using namespace mivo;
using namespace mivo::kvarcel;
using namespace Qt::StringLiterals;

class TestKvarcelRights : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDb> m_db;

private slots:
    void initTestCase()
    {
        clock::set(QDateTime(QDate(2024, 5, 6), QTime(10, 15, 0)));
        m_db = std::make_unique<TestDb>();
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        QVERIFY(m_db->exec(u"CREATE TABLE TESZT (A INTEGER)"_s));
        QVERIFY(m_db->exec(u"INSERT INTO TABLAK (TABLANEV, NEZHETI_JOG, IRHATJA_JOG, TOROLHET_JOG) "
                           "VALUES ('TESZT', 'AB', 'C', '')"_s));
    }
    void cleanupTestCase()
    {
        m_db.reset();
        clock::set({});
    }

    // The shipped rows: MUNKA is read with "A" and written with "W", SZ_JUZER needs "W" even
    // to be read, UGYFEL is written with "A" and deleted with "W". Every table a statement
    // names is checked, however it is written.
    void statements_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("jogok");
        QTest::addColumn<bool>("allowed");
        const auto row = [](const char* name, const QString& s, const char* jogok, bool ok) {
            QTest::newRow(name) << s << QString::fromLatin1(jogok) << ok;
        };
        row("read", u"select * from MUNKA"_s, "A", true);
        row("read without letters", u"select * from MUNKA"_s, "", false);
        row("W is a letter like the others", u"select * from MUNKA"_s, "W", false);
        row("unregistered table", u"select * from KVARCELUJ"_s, "", true);
        row("AB by A", u"select * from TESZT"_s, "A", true);
        row("AB by B", u"select * from TESZT"_s, "XB", true);
        row("AB by C", u"select * from TESZT"_s, "C", false);
        row("users", u"select * from SZ_JUZER"_s, "A", false);
        row("users by W", u"select * from SZ_JUZER"_s, "W", true);
        row("lower case", u"select * from sz_juzer"_s, "A", false);
        row("quoted", u"select * from \"SZ_JUZER\""_s, "A", false);
        row("quoted lower case is another table", u"select * from \"sz_juzer\""_s, "A", true);
        row("comma list", u"select * from MUNKA m, SZ_JUZER j"_s, "A", false);
        row("comment in the list", u"select * from MUNKA /* , */ , SZ_JUZER"_s, "A", false);
        row("join", u"select * from MUNKA m join SZ_JUZER j on j.KOD = m.JUZER"_s, "A", false);
        row("left outer join", u"select * from MUNKA m left outer join sz_juzer j on 1=1"_s, "A",
            false);
        row("join after join",
            u"select * from MUNKA m join UGYFEL u on u.KOD=m.UGYFEL, SZ_JUZER j"_s, "A", false);
        row("sub-select", u"select (select max(JELSZO) from SZ_JUZER) from MUNKA"_s, "A", false);
        row("exists", u"select 1 from MUNKA where exists (select 1 from SZ_JUZER)"_s, "A", false);
        row("derived table", u"select * from (select * from SZ_JUZER) x"_s, "A", false);
        row("parenthesised table", u"select * from (SZ_JUZER)"_s, "A", false);
        row("union", u"SELECT KOD FROM MUNKA UNION SELECT KOD FROM SZ_JUZER"_s, "A", false);
        row("FROM alone on a line", u"Insert into TMPX (A)\nselect JELSZO\nFrom\nSZ_JUZER\n;"_s,
            "A", false);
        row("insert source", u"INSERT INTO TMPX select * from SZ_JUZER"_s, "A", false);
        row("update source", u"update TMPX set a=(select max(jelszo) from sz_juzer)"_s, "A", false);
        row("delete source", u"delete from TMPX where a in (select kod from SZ_JUZER)"_s, "A",
            false);
        row("view over users", u"create view TMPV as select * from SZ_JUZER"_s, "A", false);
        row("view over jobs", u"CREATE VIEW TMPV as select * from MUNKA MUNK\nWhere\n(1=1)"_s, "A",
            true);
        row("create table", u"Create Table TMPX(\n  A integer\n)"_s, "A", true);
        row("create procedure", u"create procedure P as begin end"_s, "A", false);
        row("create or alter", u"create or alter view TMPV as select 1 from rdb$database"_s, "A",
            false);
        row("alter", u"alter table MUNKA add X integer"_s, "W", false);
        row("drop own table", u"drop table TMPKovacs_Be20240506"_s, "A", true);
        row("drop own view", u"drop view TMPKovacs_Be2024_MUNK"_s, "A", true);
        row("drop registered", u"drop table MUNKA"_s, "W", false);
        row("drop other", u"drop table KVARCELUJ"_s, "W", false);
        row("drop index", u"drop index TMPX"_s, "W", false);
        row("update jobs", u"update MUNKA set KULD=1"_s, "A", false);
        row("update jobs by W", u"update MUNKA set KULD=1"_s, "W", true);
        row("update or insert", u"UPDATE OR INSERT INTO MUNKA (KOD) VALUES (1) MATCHING (KOD)"_s,
            "A", false);
        row("update or insert by W",
            u"UPDATE OR INSERT INTO MUNKA (KOD) VALUES (1) MATCHING (KOD)"_s, "W", true);
        row("insert customers", u"insert into UGYFEL (KOD) values (1)"_s, "A", true);
        row("delete customers", u"delete from UGYFEL"_s, "A", false);
        row("delete customers by W", u"delete from UGYFEL"_s, "W", true);
        row("comment before the kind", u"/* x */ DELETE /* y */ FROM UGYFEL"_s, "A", false);
        row("function FROM", u"select substring(NEV from 1 for 2) from UGYFEL"_s, "A", true);
        row("extract FROM", u"select extract(year from current_date) from rdb$database"_s, "A",
            true);
        row("literal", u"select * from MUNKA where LEIRAST = 'x from SZ_JUZER'"_s, "A", true);
        row("line comment", u"select * from MUNKA -- , SZ_JUZER\n"_s, "A", true);
        row("two statements", u"select * from MUNKA; delete from UGYFEL"_s, "W", false);
        row("execute", u"execute procedure X"_s, "W", false);
        row("with", u"with x as (select 1 a from rdb$database) select a from x"_s, "W", false);
        row("merge", u"merge into UGYFEL u using MUNKA m on 1=1 when matched then delete"_s, "W",
            false);
        row("open comment", u"select * from MUNKA /* "_s, "A", false);
    }
    void statements()
    {
        QFETCH(QString, statement);
        QFETCH(QString, jogok);
        QFETCH(bool, allowed);
        StatementRights rights(u"d_mivo"_s, jogok);
        QCOMPARE(rights.allowed(statement), allowed);
        QVERIFY2(rights.lastError().isEmpty(), qPrintable(rights.lastError()));
    }

    // The kinds of the Part's table, looked up by table.
    void kinds_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("jogok");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("create") << u"CREATE"_s << u""_s << true;
        QTest::newRow("alter") << u"ALTER"_s << u"W"_s << false;
        QTest::newRow("select") << u"SELECT"_s << u"B"_s << true;
        QTest::newRow("insert") << u"INSERT"_s << u"A"_s << false;
        QTest::newRow("update") << u"UPDATE"_s << u"C"_s << true;
        QTest::newRow("delete: empty allows") << u"DELETE"_s << u""_s << true;
        QTest::newRow("drop registered") << u"DROP"_s << u"ABC"_s << false;
    }
    void kinds()
    {
        QFETCH(QString, kind);
        QFETCH(QString, jogok);
        QFETCH(bool, allowed);
        StatementRights rights(u"d_mivo"_s, jogok);
        QCOMPARE(rights.CheckStatementRights(u"TESZT"_s, kind), allowed);
    }

    void reader_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("statements");
        QTest::newRow("statements end at ;")
            << u"select 1\nfrom x;\n  select 2 from y ;\nselect 3\n\n\n"_s
            << QStringList{u"select 1\nfrom x;"_s, u"select 2 from y ;"_s, u"select 3"_s};
        QTest::newRow("comment over four lines")
            << u"select a /* one\ntwo\nthree\nfour */ from x;"_s
            << QStringList{u"select a \nfrom x;"_s};
        QTest::newRow("comment in a literal")
            << u"select '/* kept */' from x;"_s << QStringList{u"select '/* kept */' from x;"_s};
        QTest::newRow("let") << u"LET QV1 = 2005.01\nselect * from x where h=':qv1' or h=':QV1';"_s
                             << QStringList{u"select * from x where h='2005.01' or h='2005.01';"_s};
        QTest::newRow("let ignored") << u"let = 5\nLET QV10 = 3\nLET X = 4\nselect ':qv1';"_s
                                     << QStringList{u"select '';"_s};
        QTest::newRow("period parameters")
            << u"select ':qpdatum', ':QPHOIG', ':qphokozepe', ':qpev', ':qpmultho' from x;"_s
            << QStringList{
                   u"select '2024.05.06', '2024.03', '2024.03.15', '2024', '2024.02' from x;"_s};
        QTest::newRow("history result lines")
            << u"select 1 from x;\n/* . ok */"_s << QStringList{u"select 1 from x;"_s};
    }
    void reader()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, statements);
        ScriptVariables variables;
        PeriodKeywords keywords;
        keywords.setPeriod(true, u"2024.03"_s);
        const auto read = ScriptReader(variables, keywords).read(script.split(u'\n'));
        QStringList texts;
        for (const ScriptStatement& s : read)
            texts << s.lines.join(u'\n');
        QCOMPARE(texts, statements);
    }

    // Variables keep their values from one run to the next.
    void variablesKept()
    {
        ScriptVariables variables;
        PeriodKeywords keywords;
        ScriptReader(variables, keywords).read({u"LET qv2 = abc "_s});
        const auto read = ScriptReader(variables, keywords).read({u"select ':qv2';"_s});
        QCOMPARE(read.front().lines, QStringList{u"select 'abc';"_s});
    }

    void executable_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kind");
        QTest::newRow("select") << QStringList{u"  select *"_s, u"   from x  ;"_s}
                                << u"select *\nfrom x"_s << u"SELECT"_s;
        QTest::newRow("; alone") << QStringList{u"Create Table TMPX("_s, u"  A integer"_s, u");"_s}
                                 << u"Create Table TMPX(\nA integer\n)"_s << u"CREATE TABLE"_s;
        QTest::newRow("drop") << QStringList{u"drop view V"_s, u";"_s} << u"drop view V"_s
                              << u"DROP VIEW"_s;
    }
    void executable()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, text);
        QFETCH(QString, kind);
        QCOMPARE(ScriptRunner::executable({lines}), text);
        QCOMPARE(ScriptRunner::kindOf(text), kind);
    }

    void resultText()
    {
        QCOMPARE(ScriptRunner::resultText(3, 120, u"INSERT"_s), u"    3.:120      INSERT"_s);
    }
};

QTEST_GUILESS_MAIN(TestKvarcelRights)
#include "tst_kvarcelrights.moc"
