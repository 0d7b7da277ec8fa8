// The master list with conditions: marks, connectors, condition pieces and predicates as
// tables of cases, the statement and its three results, running under the statement rights,
// and the screen as OpenTorzskvarcel shows it.
#include "framework/kvarcelresult.h"
#include "framework/torzskvarcel.h"
#include "framework/torzskvarcelfm.h"
#include "framework/torzskvarcellist.h"

#include "core/dat.h"
#include "core/messages.h"
#include "frameworkdb.h"
#include "platform/dbquery.h"
#include "support/modal.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace mivo;
using namespace mivo::torzskvarcel;
using namespace Qt::StringLiterals;

class TestTorzskvarcel : public QObject
{
    Q_OBJECT

    std::unique_ptr<FrameworkDb> m_db;

    static int rowOf(const MasterList& list, const QString& column)
    {
        for (size_t i = 0; i < list.rows().size(); ++i)
            if (list.rows()[i].column == column)
                return int(i);
        return -1;
    }
    MasterList customers()
    {
        MasterList list;
        QString error;
        if (!list.load(Tdm::connectionName, u"UGYFEL"_s, &error))
            qWarning() << error;
        return list;
    }
    QStringList run(const QString& sql, const QString& jogok, QString* error)
    {
        std::unique_ptr<db::Query> result;
        QStringList names;
        if (!runStatement(Tdm::connectionName, sql, jogok, &result, error))
            return {u"-"_s};
        while (result && result->next())
            names << result->text(u"NEV"_s);
        return names;
    }

    // Runs the steps on the screen once it is shown; whatever they leave open is closed.
    static void onScreen(std::function<void(Ttorzskvarcelfm*)> steps)
    {
        whenModal<Ttorzskvarcelfm>([steps](Ttorzskvarcelfm* s) {
            steps(s);
            if (s->isVisible())
                s->done(0);
        });
    }

private slots:
    void init()
    {
        m_db = std::make_unique<FrameworkDb>();
        QVERIFY(m_db->ok());
        for (const QString& sql :
             {u"INSERT INTO UGYFEL (KOD, NEV, VAROS) VALUES (1, 'O''Neil', 'Budapest')"_s,
              u"INSERT INTO UGYFEL (KOD, NEV, VAROS) VALUES (2, 'Kis and Co', 'Győr')"_s,
              u"INSERT INTO UGYFEL (KOD, NEV, VAROS) VALUES (3, 'Lakatos', 'Budapest')"_s,
              u"UPDATE OR INSERT INTO TABLAK (TABLANEV, TOROLHET_JOG, NEZHETI_JOG) "
              "VALUES ('UGYFEL', 'X', '') MATCHING (TABLANEV)"_s,
              u"UPDATE OR INSERT INTO TABLAK (TABLANEV, NEZHETI_JOG) VALUES ('SZ_JUZER', 'X') "
              "MATCHING (TABLANEV)"_s})
            QVERIFY2(m_db->exec(sql), qPrintable(sql));
    }
    void cleanup() { m_db.reset(); }

    void marks_data()
    {
        QTest::addColumn<QList<int>>("toggles");
        QTest::addColumn<QStringList>("marks");
        QTest::newRow("1,2,3 remove 2") << QList<int>{0, 1, 2, 1} << QStringList{"1", "", "2", ""};
        QTest::newRow("remove 1") << QList<int>{0, 1, 0} << QStringList{"", "1", "", ""};
        QTest::newRow("again after removal")
            << QList<int>{0, 1, 0, 3} << QStringList{"", "1", "", "2"};
    }
    void marks()
    {
        QFETCH(QList<int>, toggles);
        QFETCH(QStringList, marks);
        MasterList list = customers();
        for (int row : toggles)
            list.toggleMark(row);
        for (int i = 0; i < marks.size(); ++i)
            QCOMPARE(list.rows()[size_t(i)].mark, marks[i]);
        // Sort numbers follow the same rule.
        for (int row : toggles)
            list.toggleSort(row);
        for (int i = 0; i < marks.size(); ++i)
            QCOMPARE(list.rows()[size_t(i)].sort, marks[i].isEmpty() ? 0 : marks[i].toInt());
    }

    void marksPastZ()
    {
        QStringList columns;
        for (int i = 0; i < 37; ++i)
            columns << u"M%1 INTEGER"_s.arg(i);
        QVERIFY(m_db->exec(u"CREATE TABLE SZELES ("_s + columns.join(u", "_s) + u")"_s));
        MasterList list;
        QString error;
        QVERIFY2(list.load(Tdm::connectionName, u"szeles"_s, &error), qPrintable(error));
        QCOMPARE(int(list.rows().size()), 37);
        for (int i = 0; i < 37; ++i)
            list.toggleMark(i);
        QCOMPARE(list.rows()[0].mark, u"1"_s);
        QCOMPARE(list.rows()[34].mark, u"Z"_s);
        QCOMPARE(list.rows()[36].mark, u"Z"_s);
    }

    void connectors()
    {
        MasterList list = customers();
        QStringList seen;
        for (int i = 0; i < 3; ++i) {
            list.cycleConnector(0);
            seen << list.rows()[0].connector;
        }
        QCOMPARE(seen, (QStringList{u"and"_s, u"or"_s, u"and"_s}));
    }

    void pieces_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("piece");
        QTest::newRow("=") << 0 << u" = 'Kis'"_s;
        QTest::newRow(">") << 1 << u" > 'Kis'"_s;
        QTest::newRow(">=") << 2 << u" >= 'Kis'"_s;
        QTest::newRow("<") << 3 << u" < 'Kis'"_s;
        QTest::newRow("<=") << 4 << u" <= 'Kis'"_s;
        QTest::newRow("<>") << 5 << u" <> 'Kis'"_s;
        QTest::newRow("contains") << 6 << u" like '%Kis%'"_s;
        QTest::newRow("ends") << 7 << u" like '%Kis'"_s;
        QTest::newRow("begins") << 8 << u" like 'Kis%'"_s;
        QTest::newRow("between") << 9 << u" between 'Kis' and 'Z'"_s;
        QTest::newRow("null") << 10 << u" is null "_s;
    }
    void pieces()
    {
        QFETCH(int, entry);
        QFETCH(QString, piece);
        QCOMPARE(int(operators().size()), 11);
        QCOMPARE(conditionPiece(operators()[size_t(entry)].code, u" Kis "_s, u"Z "_s), piece);
    }

    void predicates_data()
    {
        QTest::addColumn<QStringList>("accepted"); // operator code, value, value 2, ...
        QTest::addColumn<QString>("predicate");
        QTest::newRow("= or =") << QStringList{"=", "A", "", "=", "B", ""}
                                << u"(UGYFEL.NEV = 'A' or UGYFEL.NEV = 'B')"_s;
        QTest::newRow("<> and <>") << QStringList{"<>", "A", "", "<>", "B", ""}
                                   << u"(UGYFEL.NEV <> 'A' and UGYFEL.NEV <> 'B')"_s;
        QTest::newRow("between") << QStringList{"[]", "A", "K"}
                                 << u"(UGYFEL.NEV between 'A' and 'K')"_s;
        QTest::newRow("between or =") << QStringList{"[]", "A", "K", "=", "Z", ""}
                                      << u"(UGYFEL.NEV between 'A' and 'K' or UGYFEL.NEV = 'Z')"_s;
        QTest::newRow("and inside quotes")
            << QStringList{"=", "Kis and Co", ""} << u"(UGYFEL.NEV = 'Kis and Co')"_s;
        QTest::newRow("apostrophe")
            << QStringList{"=", "O'Neil", ""} << u"UGYFEL.NEV = 'O''Neil'"_s;
    }
    void predicates()
    {
        QFETCH(QStringList, accepted);
        QFETCH(QString, predicate);
        MasterList list = customers();
        const int nev = rowOf(list, u"NEV"_s);
        for (int i = 0; i + 2 < accepted.size(); i += 3)
            list.acceptCondition(nev, accepted[i], accepted[i + 1], accepted[i + 2]);
        QCOMPARE(list.rows()[size_t(nev)].connector, u"and"_s);
        const Statement s = list.build();
        QCOMPARE(s.lines.mid(2, 2), (QStringList{u" where "_s, predicate}));
        // Whatever the values, the condition is valid SQL.
        QString error;
        run(u"select NEV from UGYFEL where "_s + s.condition, u"9"_s, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void apostropheFindsItsRow()
    {
        MasterList list = customers();
        list.acceptCondition(rowOf(list, u"NEV"_s), u"="_s, u"O'Neil"_s, {});
        list.toggleMark(rowOf(list, u"NEV"_s));
        QString error;
        QCOMPARE(run(list.build().lines.join(u"\n"_s), u"9"_s, &error), QStringList{u"O'Neil"_s});
    }

    void statementAndResults()
    {
        MasterList list = customers();
        const int nev = rowOf(list, u"NEV"_s), varos = rowOf(list, u"VAROS"_s),
                  kod = rowOf(list, u"KOD"_s);
        QCOMPARE(list.summary(), u"Megadott feltétel:\n * Nincs megadva feltétel *\n"
                                 "Kiválasztott mezők:\n * Nincs kiválasztva mező *"_s);
        QCOMPARE(list.build().lines, (QStringList{u" SELECT *"_s, u"From UGYFEL"_s}));
        list.toggleMark(varos);
        list.toggleMark(nev);
        list.toggleSort(nev);
        list.toggleSort(kod);
        list.acceptCondition(varos, u"="_s, u"Budapest"_s, {});
        list.acceptCondition(nev, u"t%"_s, u"L"_s, {});
        list.cycleConnector(varos); // "and" -> "or"
        const Statement s = list.build();
        QCOMPARE(s.fields, u"UGYFEL.VAROS,UGYFEL.NEV"_s);
        QCOMPARE(s.order, u"UGYFEL.NEV , UGYFEL.KOD"_s);
        const int first = std::min(nev, varos);
        const QString nevPredicate = u"UGYFEL.NEV like 'L%'"_s;
        const QString varosPredicate = u"UGYFEL.VAROS = 'Budapest'"_s;
        const QString p1 = first == nev ? nevPredicate : varosPredicate;
        const QString p2 = first == nev ? u"or "_s + varosPredicate : u"and "_s + nevPredicate;
        QCOMPARE(s.lines,
                 (QStringList{u" SELECT UGYFEL.VAROS,UGYFEL.NEV"_s, u"From UGYFEL"_s, u" where "_s,
                              p1, p2, u" order by "_s, u"UGYFEL.NEV , "_s, u"UGYFEL.KOD"_s}));
        const QString joined = p1 + u" "_s + p2 + u" "_s;
        QCOMPARE(s.condition, joined.contains(u" or "_s) ? u"("_s + joined + u")"_s : joined);
        QCOMPARE(list.summary(), u"Megadott feltétel:\n"_s + s.condition +
                                     u"\nKiválasztott mezők:\nUGYFEL.VAROS,UGYFEL.NEV"_s);
    }

    void controlRowsWithoutColumnLeftOut()
    {
        for (const QString& sql :
             {u"CREATE TABLE PROBA (A INTEGER, B INTEGER, C INTEGER)"_s,
              u"INSERT INTO VEZERLO (MODUL, SORREND, MEZO, MEGNEVEZES) VALUES "
              "('PROBA', '1', 'A', 'Első')"_s,
              u"INSERT INTO VEZERLO (MODUL, SORREND, MEZO, MEGNEVEZES) VALUES "
              "('PROBA', '2', NULL, 'Elválasztó')"_s,
              u"INSERT INTO VEZERLO (MODUL, SORREND, MEZO, MEGNEVEZES, BUTTON) "
              "VALUES ('PROBA', '3', 'B', 'Megjegyzés', 'MEMO')"_s,
              u"INSERT INTO VEZERLO (MODUL, SORREND, MEZO, MEGNEVEZES, BUTTON) "
              "VALUES ('PROBA', '4', 'C', 'Harmadik', 'SZOT')"_s})
            QVERIFY2(m_db->exec(sql), qPrintable(sql));
        MasterList list;
        QString error;
        QVERIFY2(list.load(Tdm::connectionName, u"PROBA"_s, &error), qPrintable(error));
        QCOMPARE(int(list.rows().size()), 2);
        QCOMPARE(list.rows()[0].caption, u"Első"_s);
        QCOMPARE(list.rows()[1].column, u"C"_s);
        list.setCondition(1, u"= 1"_s);
        QCOMPARE(list.build().condition, u"PROBA.C = 1 "_s);
    }

    void changedChoicesRebuildTheStatement()
    {
        MasterList list = customers();
        const int varos = rowOf(list, u"VAROS"_s);
        list.acceptCondition(varos, u"="_s, u"Budapest"_s, {});
        bool built = false;
        const QString first = list.statementToRun({}, &built);
        QVERIFY(built);
        list.clearCondition(varos);
        list.acceptCondition(varos, u"="_s, u"Győr"_s, {});
        const QString second = list.statementToRun(first, &built);
        QVERIFY(built);
        QVERIFY(second.contains(u"'Győr'"_s));
        // A typed statement stays as typed.
        QCOMPARE(list.statementToRun(u"select KOD from UGYFEL"_s, &built),
                 u"select KOD from UGYFEL"_s);
        QVERIFY(!built);
        // Unchanged choices keep the window's statement.
        QCOMPARE(list.statementToRun(second, &built), second);
        QVERIFY(!built);
    }

    void rights_data()
    {
        QTest::addColumn<QString>("jogok");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("ordinary select") << u"A"_s << u"select NEV from UGYFEL"_s << true;
        QTest::newRow("ordinary delete") << u"A"_s << u"DELETE FROM UGYFEL"_s << false;
        QTest::newRow("ordinary users") << u"A"_s << u"select * from SZ_JUZER"_s << false;
        QTest::newRow("two statements")
            << u"A"_s << u"select NEV from UGYFEL; delete from UGYFEL"_s << false;
        QTest::newRow("X user delete") << u"X"_s << u"DELETE FROM UGYFEL"_s << true;
        QTest::newRow("9 user users") << u"9"_s << u"select * from SZ_JUZER"_s << true;
    }
    void rights()
    {
        QFETCH(QString, jogok);
        QFETCH(QString, sql);
        QFETCH(bool, allowed);
        QString error;
        const QStringList rows = run(sql, jogok, &error);
        QCOMPARE(error.isEmpty(), allowed);
        if (!allowed)
            QCOMPARE(error, u"Erre Önnek nincs jogosultsaga"_s);
        db::Query count(Tdm::connectionName);
        count.setSql(u"select count(*) N from UGYFEL"_s);
        QVERIFY(count.exec() && count.first());
        QCOMPARE(count.integer(u"N"_s), allowed && sql.startsWith(u"DELETE"_s) ? 0 : 3);
    }

    void distinctNames()
    {
        QStringList values;
        QString error;
        QVERIFY2(distinctValues(Tdm::connectionName, u"UGYFEL"_s, u"VAROS"_s, &values, &error),
                 qPrintable(error));
        QCOMPARE(values, (QStringList{u"Budapest"_s, u"Győr"_s}));
    }

    // The screen as callers reach it: true with the results only after "&Befejez".
    void openScreen()
    {
        ScriptedMessagesGuard messages;
        Td::instance().userRights = u"A"_s;
        Ttorzskvarcelfm screen;
        QAbstractItemModelTester tester(&screen.result());
        QString condition = u"régi"_s, fields = u"régi"_s, order = u"régi"_s;

        onScreen([](Ttorzskvarcelfm* s) {
            auto* grid = s->findChild<QTableWidget*>(u"g_mezok"_s);
            int nev = -1;
            for (int i = 0; i < grid->rowCount(); ++i)
                if (grid->item(i, 6)->text() == u"NEV"_s)
                    nev = i;
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->model()->index(nev, 2)).center());
            QCOMPARE(grid->item(nev, 2)->text(), u"1"_s);
            grid->setCurrentCell(nev, 5);
            s->findChild<QPushButton*>(u"b_feltetel"_s)->click();
            s->findChild<QLineEdit*>(u"e_ertek"_s)->setText(u"O'Neil"_s);
            s->findChild<QPushButton*>(u"b_elfogad"_s)->click();
            s->findChild<QPushButton*>(u"b_indul"_s)->click();
            QCOMPARE(s->result().rowCount(), 1);
            QCOMPARE(s->result().value(0, 0).toString(), u"O'Neil"_s);
            s->findChild<QPushButton*>(u"b_befejez"_s)->click();
        });
        QVERIFY(OpenTorzskvarcel(nullptr, u"UGYFEL"_s, &condition, &fields, &order));
        QCOMPARE(condition, u"UGYFEL.NEV = 'O''Neil' "_s);
        QCOMPARE(fields, u"UGYFEL.NEV"_s);
        QCOMPARE(order, QString());
        QCOMPARE(screen.windowTitle(), u"Feltételek szerinti szűrés :UGYFEL"_s);

        // Leaving with "&Vissza" after a "&Befejez": false, out values untouched, choices kept.
        onScreen([](Ttorzskvarcelfm* s) {
            QCOMPARE(s->list().rows().empty(), false);
            s->findChild<QPushButton*>(u"b_vissza"_s)->click();
        });
        QString c2 = u"x"_s, f2 = u"y"_s, o2 = u"z"_s;
        QVERIFY(!OpenTorzskvarcel(nullptr, u"UGYFEL"_s, &c2, &f2, &o2));
        QCOMPARE(c2 + f2 + o2, u"xyz"_s);
        QCOMPARE(screen.list().build().fields, u"UGYFEL.NEV"_s);

        // Another table forgets the choices.
        onScreen([](Ttorzskvarcelfm* s) { s->close(); });
        QVERIFY(!OpenTorzskvarcel(nullptr, u"SZERELO"_s, &c2, &f2, &o2));
        QCOMPARE(screen.list().build().fields, QString());
        QCOMPARE(c2 + f2 + o2, u"xyz"_s);
    }

    // "Indul" on a changed condition shows the new rows; a refused statement runs nothing.
    void runOnScreen()
    {
        ScriptedMessagesGuard messages;
        Td::instance().userRights = u"A"_s;
        Ttorzskvarcelfm screen;
        onScreen([](Ttorzskvarcelfm* s) {
            MasterList& list = s->list();
            const int varos = rowOf(list, u"VAROS"_s);
            list.acceptCondition(varos, u"="_s, u"Budapest"_s, {});
            QVERIFY(s->runQuery());
            QCOMPARE(s->result().rowCount(), 2);
            list.clearCondition(varos);
            list.acceptCondition(varos, u"="_s, u"Győr"_s, {});
            QVERIFY(s->runQuery());
            QCOMPARE(s->result().rowCount(), 1);
            s->findChild<QPlainTextEdit*>(u"m_sql"_s)->setPlainText(u"DELETE FROM UGYFEL"_s);
            QVERIFY(!s->runQuery());
            s->findChild<QPushButton*>(u"b_vissza"_s)->click();
        });
        QVERIFY(!OpenTorzskvarcel(nullptr, u"UGYFEL"_s, nullptr, nullptr, nullptr));
        QCOMPARE(messages->texts.value(0), u"Erre Önnek nincs jogosultsaga"_s);
        db::Query count(Tdm::connectionName);
        count.setSql(u"select count(*) N from UGYFEL"_s);
        QVERIFY(count.exec() && count.first());
        QCOMPARE(count.integer(u"N"_s), 3);
    }

    void emptyResultMessages()
    {
        ScriptedMessagesGuard messages;
        Td::instance().userRights = u"9"_s;
        Ttorzskvarcelfm screen;
        onScreen([](Ttorzskvarcelfm* s) {
            s->list().acceptCondition(rowOf(s->list(), u"NEV"_s), u"="_s, u"Senki"_s, {});
            s->findChild<QPushButton*>(u"b_nyomtat"_s)->click();
            QCOMPARE(s->listToFile(u"/tmp/nincs.csv"_s), QString());
            s->findChild<QPushButton*>(u"b_vissza"_s)->click();
        });
        OpenTorzskvarcel(nullptr, u"UGYFEL"_s, nullptr, nullptr, nullptr);
        QCOMPARE(messages->texts, (QStringList{u"Nincs mit nyomtatni."_s, u"Nincs mit tárolni"_s}));
    }

    void previewPdf()
    {
        Td::instance().userRights = u"9"_s;
        Ttorzskvarcelfm screen;
        QTemporaryDir dir;
        onScreen([&dir](Ttorzskvarcelfm* s) {
            s->list().toggleMark(rowOf(s->list(), u"NEV"_s));
            s->list().title = u"Ügyfelek névsora"_s;
            QString error;
            QVERIFY2(s->listToPdf(dir.filePath(u"lista.pdf"_s), &error), qPrintable(error));
            s->findChild<QPushButton*>(u"b_vissza"_s)->click();
        });
        OpenTorzskvarcel(nullptr, u"UGYFEL"_s, nullptr, nullptr, nullptr);
        QProcess p;
        p.start(u"pdftotext"_s, {u"-layout"_s, dir.filePath(u"lista.pdf"_s), u"-"_s});
        QVERIFY(p.waitForFinished());
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(text.contains(u"Ügyfelek névsora"_s) && text.contains(u"Kis and Co"_s),
                 qPrintable(text));
    }
};

QTEST_MAIN(TestTorzskvarcel)
#include "tst_torzskvarcel.moc"
