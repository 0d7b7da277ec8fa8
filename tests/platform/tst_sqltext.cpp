#include "platform/sqltext.h"

#include <QTest>

using namespace mivo::db;

class TestSqlText : public QObject
{
    Q_OBJECT
private slots:
    void positional_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("plain") << "SELECT * FROM T WHERE A = :a"
                               << "SELECT * FROM T WHERE A = ?" << QStringList{"a"};
        QTest::newRow("twice") << "WHERE A = :X OR B = :x"
                               << "WHERE A = ? OR B = ?" << QStringList{"x", "x"};
        QTest::newRow("in string") << "WHERE A = ':no' AND B = :yes"
                                   << "WHERE A = ':no' AND B = ?" << QStringList{"yes"};
        QTest::newRow("doubled quote") << "WHERE A = 'it''s :no' AND B=:b"
                                       << "WHERE A = 'it''s :no' AND B=?" << QStringList{"b"};
        QTest::newRow("quoted identifier") << "SELECT \":x\" FROM T"
                                           << "SELECT \":x\" FROM T" << QStringList{};
        QTest::newRow("line comment") << "SELECT 1 -- :no\nFROM T WHERE K=:k"
                                      << "SELECT 1 -- :no\nFROM T WHERE K=?" << QStringList{"k"};
        QTest::newRow("time literal") << "WHERE T = '10:15:00'"
                                      << "WHERE T = '10:15:00'" << QStringList{};
        QTest::newRow("no space") << "VALUES (:kod,:nev)"
                                  << "VALUES (?,?)" << QStringList{"kod", "nev"};
        QTest::newRow("accented name") << "WHERE A = :érték"
                                       << "WHERE A = ?" << QStringList{"érték"};
    }
    void positional()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QFETCH(QStringList, names);
        const PositionalSql p = toPositional(sql);
        QCOMPARE(p.sql, expected);
        QCOMPARE(p.parameters, names);
    }

    void literalDoublesApostrophes()
    {
        QCOMPARE(literal("VELKOR"), QString("'VELKOR'"));
        QCOMPARE(literal("X' OR '1'='1"), QString("'X'' OR ''1''=''1'"));
        QCOMPARE(literal(""), QString("''"));
    }

    void splitScriptFollowsSetTerm()
    {
        const QString script =
            "-- comment\nCREATE TABLE A (X INTEGER);\n\nINSERT INTO A VALUES (1);\n"
            "SET TERM ^ ;\nCREATE TRIGGER T FOR A BEFORE INSERT AS\nBEGIN\n  NEW.X = 1;\nEND^\n"
            "SET TERM ; ^\nINSERT INTO A VALUES (2);";
        const QStringList statements = splitScript(script);
        QCOMPARE(statements.size(), 4);
        QCOMPARE(statements[0], QString("CREATE TABLE A (X INTEGER)"));
        QVERIFY(statements[2].startsWith("CREATE TRIGGER T"));
        QVERIFY(statements[2].contains("NEW.X = 1;"));
        QVERIFY(statements[2].endsWith("END"));
        QCOMPARE(statements[3], QString("INSERT INTO A VALUES (2)"));
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
