#include "reports/fixedtext.h"
#include "reports/progress.h"
#include "reports/qexport.h"
#include "reports/sqlscript.h"
#include "reports/workbooksave.h"

#include "core/messages.h"
#include "platform/dbquery.h"
#include "platform/rowsource.h"
#include "platform/sqltext.h"
#include "support/modal.h"
#include "support/testdb.h"

#include <QApplication>
#include <QFileDialog>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace mivo;
using reports::TQexportfm;

namespace
{

const QString createTable = QStringLiteral(
    "CREATE TABLE ARUK (KOD INTEGER, NEV VARCHAR(30), NAGY BIGINT, AR DOUBLE PRECISION, "
    "MEGJ BLOB SUB_TYPE TEXT, DATUM DATE)");

void fillAruk(TestDb& db)
{
    db.exec(createTable);
    db.exec(
        QStringLiteral("INSERT INTO ARUK VALUES (1, 'O''Brien /*x*/ kft', 1000000000000000, 0.1, "
                       "'sor1\nsor2', '2024-02-29')"));
    db.exec(QStringLiteral(
        "INSERT INTO ARUK VALUES (2, 'Ágoston', -9007199254740993, 1.0E300, NULL, NULL)"));
    db.exec(QStringLiteral("INSERT INTO ARUK VALUES (NULL, NULL, NULL, NULL, NULL, NULL)"));
}

QString readText(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

// Answers the next save dialog: picks the type and types the name.
void answerDialog(int typeIndex, const QString& name)
{
    whenModal<QFileDialog>([=](QFileDialog* dialog) {
        dialog->selectNameFilter(dialog->nameFilters().at(typeIndex - 1));
        typeIntoFileDialog(dialog, name);
    });
}

} // namespace

class TestQexport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void extension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::newRow("upper") << "/a/b/lista.XLSX"
                               << ".XLSX";
        QTest::newRow("lower") << "lista.sql"
                               << ".SQL";
        QTest::newRow("cut at five") << "lista.xlsxbak"
                                     << ".XLSX";
        QTest::newRow("dotted folder") << "/tmp/mentes.sql/lista"
                                       << "";
        QTest::newRow("two dots") << "lista.txt.db"
                                  << ".DB";
    }
    void extension()
    {
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QCOMPARE(reports::exportExtension(name), extension);
    }

    void dialogRules_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("result");
        QTest::newRow("appended") << "/t/lista" << 6 << "/t/lista.SQL";
        QTest::newRow("lower case kept") << "/t/lista.sql" << 6 << "/t/lista.sql";
        QTest::newRow("other extension") << "/t/lista.txt" << 6 << "/t/lista.txt.SQL";
        QTest::newRow("xlsm") << "/t/l" << 7 << "/t/l.XLSM";
    }
    void dialogRules()
    {
        QFETCH(QString, chosen);
        QFETCH(int, type);
        QFETCH(QString, result);
        reports::ExportDialogState state;
        QCOMPARE(state.start({}).typeIndex, 1);
        QCOMPARE(state.confirm(chosen, type), result);
        // The next dialog offers the name without its extension, with the same type.
        const auto next = state.start({});
        QCOMPARE(next.typeIndex, type);
        QCOMPARE(next.fileName, result.left(result.lastIndexOf(QLatin1Char('.'))));
        // A proposal selects its own type.
        QCOMPARE(state.start(QStringLiteral("x.DBF")).typeIndex, 3);
        QCOMPARE(state.start(QStringLiteral("x.pdf")).typeIndex, 1);
    }

    void sqlScriptRunsIntoAFreshDatabase()
    {
        TestDb source{QStringList()};
        QVERIFY2(source.ok(), qPrintable(source.error()));
        fillAruk(source);
        db::Query q;
        q.setSql(
            QStringLiteral("SELECT KOD, NEV, NAGY, AR, MEGJ, DATUM\n  FROM\nARUK ORDER BY KOD"));
        data::QueryRows rows(q, QStringLiteral("q_aruk"));
        const QString path = m_dir.filePath(QStringLiteral("aruk.sql"));
        ScriptedMessagesGuard messages;
        QCOMPARE(TQexportfm::instance().exportRows(rows, path), path);
        const QString script = readText(path);
        QVERIFY(
            script.contains(QStringLiteral("Insert Into ARUK (KOD,NEV,NAGY,AR,MEGJ,DATUM) Values "
                                           "(NULL,NULL,NULL,NULL,NULL,NULL);\r\n")));
        QVERIFY(script.contains(QStringLiteral("'O''Brien x kft'")));
        QVERIFY(script.contains(QStringLiteral("1000000000000000,")));
        QVERIFY(!script.contains(QStringLiteral("E15"), Qt::CaseInsensitive));

        TestDb target(QStringList(), QStringLiteral("d_cel"));
        QVERIFY2(target.ok(), qPrintable(target.error()));
        target.exec(createTable);
        for (const QString& statement : db::splitScript(script)) {
            QString error;
            QVERIFY2(db::execute(QStringLiteral("d_cel"), statement, {}, &error),
                     qPrintable(error + statement));
        }
        const QString select =
            QStringLiteral("SELECT KOD, NEV, NAGY, AR, MEGJ, DATUM FROM ARUK ORDER BY KOD");
        db::Query a(QStringLiteral("d_mivo")), b(QStringLiteral("d_cel"));
        a.setSql(select);
        b.setSql(select);
        QVERIFY(a.exec() && b.exec());
        QCOMPARE(b.recordCount(), 3);
        // The same rows, comment marks taken out of the texts.
        while (a.next() && b.next())
            for (int c = 0; c < a.fieldCount(); ++c) {
                QVariant expected = a.value(c);
                if (expected.typeId() == QMetaType::QString)
                    expected = expected.toString()
                                   .remove(QStringLiteral("/*"))
                                   .remove(QStringLiteral("*/"));
                QCOMPARE(b.value(c), expected);
            }
    }

    void sqlScriptTableAndLongLines()
    {
        QCOMPARE(reports::scriptTableName(QStringLiteral("select * from munka m, ugyfel"),
                                          QStringLiteral("q")),
                 QStringLiteral("munka"));
        QCOMPARE(reports::scriptTableName(QStringLiteral("SELECT 1\nFROM\n  SZERELO;"),
                                          QStringLiteral("q")),
                 QStringLiteral("SZERELO"));
        QCOMPARE(
            reports::scriptTableName(QStringLiteral("EXECUTE PROCEDURE X"), QStringLiteral("q_x")),
            QStringLiteral("q_x"));
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QStringList columns;
        for (int i = 0; i < 60; ++i)
            columns << QStringLiteral("'%1' AS OSZLOP_NEVE_%2")
                           .arg(QString(20, QLatin1Char('x')))
                           .arg(i);
        db::Query q;
        q.setSql(QStringLiteral("SELECT ") + columns.join(QLatin1Char(',')) +
                 QStringLiteral(" FROM RDB$DATABASE"));
        data::QueryRows rows(q, QStringLiteral("q_hosszu"));
        const QString path = m_dir.filePath(QStringLiteral("hosszu.sql"));
        QString error;
        QVERIFY(reports::writeSqlScript(rows, path, QStringLiteral("CEL"), &error));
        const QStringList lines = readText(path).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QVERIFY(lines.size() > 2);
        for (const QString& line : lines)
            QVERIFY(line.size() < 1023);
        QVERIFY(lines.first().startsWith(QStringLiteral("Insert Into CEL (OSZLOP_NEVE_0,")));
        QVERIFY(lines.last().endsWith(QStringLiteral(");")));
    }

    void fixedWidthText()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db.exec(
            QStringLiteral("CREATE TABLE T (KOD SMALLINT, NEV VARCHAR(3), AR DOUBLE PRECISION)"));
        db.exec(QStringLiteral("INSERT INTO T VALUES (7, 'Ász', 2.5)"));
        db::Query q;
        q.setSql(QStringLiteral("SELECT KOD, NEV, AR FROM T"));
        data::QueryRows rows(q, QStringLiteral("q"));
        rows.setLabel(QStringLiteral("NEV"), QStringLiteral("Megnevezés"));
        const QString path = m_dir.filePath(QStringLiteral("t.TXT"));
        QString error;
        QVERIFY(reports::writeFixedText(rows, path, &error));
        // KOD: width 6 right-aligned + 2; NEV: label 10 wide + 2; AR: width 15 + 2.
        QCOMPARE(readText(path), QStringLiteral("     7  Ász         ") +
                                     QString(12, QLatin1Char(' ')) + QStringLiteral("2.5  \r\n"));
    }

    void noRowsNothingWritten()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db::Query q;
        q.setSql(QStringLiteral("SELECT 1 AS X FROM RDB$DATABASE WHERE 1=2"));
        data::QueryRows rows(q, QStringLiteral("q"));
        ScriptedMessagesGuard messages;
        const QString path = m_dir.filePath(QStringLiteral("ures.sql"));
        QCOMPARE(TQexportfm::instance().exportRows(rows, path), QString());
        QCOMPARE(messages->texts, QStringList{QStringLiteral("Nincs adat, amit tárolni lehetne.")});
        QVERIFY(!QFile::exists(path));
    }

    void dbaseNullsThroughTheExport()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db.exec(QStringLiteral("CREATE TABLE T (MENNYI INTEGER, NEV VARCHAR(5))"));
        db.exec(QStringLiteral("INSERT INTO T VALUES (NULL, NULL)"));
        db::Query q;
        q.setSql(QStringLiteral("SELECT MENNYI, NEV FROM T"));
        data::QueryRows rows(q, QStringLiteral("q"));
        const QString path = m_dir.filePath(QStringLiteral("nullok.DBF"));
        ScriptedMessagesGuard messages;
        QCOMPARE(TQexportfm::instance().exportRows(rows, path), path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const int header = 32 + 2 * 32 + 1;
        QCOMPARE(bytes.mid(header, 1 + 11 + 5),
                 QByteArray(" ") + QByteArray("0").rightJustified(11) + QByteArray(5, ' '));
    }

    void dialogAppendsTheTypeAndAsksAboutAnExistingFile()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db::Query q;
        q.setSql(QStringLiteral("SELECT 1 AS X FROM RDB$DATABASE"));
        data::QueryRows rows(q, QStringLiteral("q"));
        ScriptedMessagesGuard messages;
        const QString typed = m_dir.filePath(QStringLiteral("valasztott"));
        answerDialog(6, typed);
        QCOMPARE(TQexportfm::instance().exportRows(rows), typed + QStringLiteral(".SQL"));
        QVERIFY(QFile::exists(typed + QStringLiteral(".SQL")));
        QVERIFY(messages->texts.isEmpty());

        // The same name again: the appended extension names an existing file, which is asked
        // about; No writes nothing and the old file stays.
        QFile old(typed + QStringLiteral(".SQL"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("régi");
        old.close();
        messages->queueAnswers({1});
        answerDialog(6, typed);
        QCOMPARE(TQexportfm::instance().exportRows(rows), QString());
        QCOMPARE(messages->texts, QStringList{QStringLiteral("A fájl: ") + typed +
                                              QStringLiteral(".SQL létezik. Felülírjuk?")});
        QCOMPARE(readText(typed + QStringLiteral(".SQL")), QStringLiteral("régi"));
        // The dialog remembers the name without extension and the type.
        const auto next = TQexportfm::instance().dialogState().start({});
        QCOMPARE(next.fileName, typed);
        QCOMPARE(next.typeIndex, 6);
    }

    void workbookMessagesAndProgress()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db.exec(QStringLiteral("CREATE TABLE N (I INTEGER)"));
        for (int i = 0; i < 250; ++i)
            db.exec(QStringLiteral("INSERT INTO N VALUES (%1)").arg(i));
        db::Query q;
        q.setSql(QStringLiteral("SELECT I FROM N"));
        data::QueryRows rows(q, QStringLiteral("q_n"));
        ScriptedMessagesGuard messages;
        messages->queueAnswers({1}); // do not open it
        QProgressBar bar;
        const QString path = m_dir.filePath(QStringLiteral("lista.XLS"));
        QCOMPARE(TQexportfm::instance().exportRows(rows, path, {}, reports::progressOn(&bar)),
                 path);
        QCOMPARE(messages->texts, QStringList{QStringLiteral("A fájl: ") + path +
                                              QStringLiteral("elkészült: \nKívánja megnyitni?")});
        QCOMPARE(bar.minimum(), 1);
        QCOMPARE(bar.maximum(), 250);
        QCOMPARE(bar.value(), 250);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.read(2), QByteArray("PK")); // xlsx content under the ".XLS" name

        // Refusing to overwrite: nothing written, the old file stays.
        messages->texts.clear();
        messages->queueAnswers({1});
        QCOMPARE(reports::saveWorkbook({{&rows, QStringLiteral("q_n")}}, path, false, {}, false),
                 QString());
        QCOMPARE(messages->texts,
                 (QStringList{QStringLiteral("A fájl: ") + path +
                                  QStringLiteral(" létezik. Felülírjuk?"),
                              QStringLiteral("Adjon meg egy érvényes fájlnevet")}));

        // A failed write is reported and gives no name.
        messages->texts.clear();
        const QString blocked = m_dir.filePath(QStringLiteral("mappa.xlsx"));
        QDir().mkpath(blocked);
        QCOMPARE(TQexportfm::instance().exportRows(rows, blocked), QString());
        QCOMPARE(messages->texts.size(), 1);
        QVERIFY(messages->texts.first().startsWith(QStringLiteral("A fájl nem készült el: ") +
                                                   blocked));
    }
};

QTEST_MAIN(TestQexport)
#include "tst_qexport.moc"
