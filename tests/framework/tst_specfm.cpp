// The special functions screen: the parts stock with and without a technician code, a code
// that needs quoting, the export read back, the "?" pick and the hook that shows the screen.
#include "framework/editorhooks.h"
#include "framework/specfm.h"
#include "framework/specstock.h"
#include "framework/torzsopener.h"

#include "core/altproc.h"
#include "core/dat.h"
#include "core/messages.h"
#include "frameworkdb.h"
#include "platform/dbquery.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

// The generic editor's entry as the screen reaches it: answers a chosen technician.
struct PickingOpener : TorzsOpener {
    TorzsCall seen;
    bool OpenTorzs(TorzsCall& call) override
    {
        seen = call;
        call.names = {u"KOD"_s, u"NEV"_s};
        call.values = {u"SZ2"_s, u"Nagy Éva"_s};
        return true;
    }
    void markForRereading(const QString&) override {}
};

QString pdfText(const QString& path)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestSpec : public QObject
{
    Q_OBJECT

    std::unique_ptr<FrameworkDb> m_db;
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<FrameworkDb>();
        QVERIFY(m_db->ok());
        for (const QString& sql :
             {u"INSERT INTO SZERELO (KOD, NEV, CEGKOD) VALUES ('SZ1', 'Kovács Béla', 'VELKOR')"_s,
              u"INSERT INTO SZERELO (KOD, NEV, CEGKOD) VALUES ('SZ2', 'Nagy Éva', 'VELKOR')"_s,
              u"INSERT INTO ARU (BELSOKOD, KOD, NEV, NETTOAR) VALUES (1, 'A1', 'Fűtőszál', 100)"_s,
              u"INSERT INTO ARU (BELSOKOD, KOD, NEV, NETTOAR) VALUES (2, 'A2', 'Tömítés', 10)"_s,
              u"INSERT INTO ALK_KESZLET (HOL, MI, MENNYI, FOGLALT) VALUES ('SZ1', 'A1', 2, 1)"_s,
              u"INSERT INTO ALK_KESZLET (HOL, MI, MENNYI, FOGLALT) VALUES ('SZ2', 'A2', 5, 0)"_s})
            QVERIFY2(m_db->exec(sql), qPrintable(sql));
    }
    void cleanupTestCase() { m_db.reset(); }

    void statementLines()
    {
        const QStringList without = specialstock::stockStatement(false),
                          with = specialstock::stockStatement(true);
        QCOMPARE(without.size(), 15);
        QCOMPARE(without[3], QString());
        QCOMPARE(with[3], u" AND K.HOL = :hol"_s);
        QCOMPARE(with[12], with[3]);
        QCOMPARE(with.mid(4, 8), without.mid(4, 8));
    }

    void stock_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("rows"); // NEV of each row, in order
        QTest::newRow("every holder")
            << QString() << QStringList{u"Fűtőszál"_s, u"Tömítés"_s, u"ÖSSZESEN"_s};
        QTest::newRow("one technician") << u"SZ1"_s << QStringList{u"Fűtőszál"_s, u"ÖSSZESEN"_s};
        QTest::newRow("apostrophe") << u"O'X"_s << QStringList{u"ÖSSZESEN"_s};
    }
    void stock()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, rows);
        ScriptedMessagesGuard messages;
        Tspecfm screen;
        screen.nameLabel()->setText(u"valaki"_s);
        screen.codeBox()->setText(code);
        const QString pdf = m_dir.filePath(u"keszlet.pdf"_s);
        QString error;
        QVERIFY2(screen.writePdf(pdf, &error), qPrintable(error));
        const QString text = pdfText(pdf);
        QVERIFY(text.contains(u"Alkatrész készlet"_s));
        for (const QString& name : rows)
            QVERIFY2(text.contains(name), qPrintable(text));
        if (rows.size() == 2)
            QVERIFY(!text.contains(u"Tömítés"_s));
        QCOMPARE(screen.nameLabel()->text(), code.isEmpty() ? QString() : u"valaki"_s);
        // The total row: sums after the technicians.
        std::unique_ptr<db::Query> q = specialstock::openStock(code, &error);
        QVERIFY2(q, qPrintable(error));
        QVERIFY(q->seek(q->recordCount() - 1));
        QCOMPARE(q->text(u"NEV"_s), u"ÖSSZESEN"_s);
        QCOMPARE(q->recordCount(), rows.size());
        QVERIFY(messages->texts.isEmpty());
    }

    void exportReadBack()
    {
        ScriptedMessagesGuard messages;
        Tspecfm screen;
        screen.codeBox()->setText(u"SZ2"_s);
        const QString path = m_dir.filePath(u"keszlet.sql"_s);
        QCOMPARE(screen.toFile(path), path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString script = QString::fromUtf8(f.readAll());
        QVERIFY2(script.contains(u"'Tömítés'"_s) && script.contains(u"'ÖSSZESEN'"_s),
                 qPrintable(script));
        QVERIFY(!script.contains(u"Fűtőszál"_s));
    }

    void pickTechnician()
    {
        PickingOpener opener;
        setTorzsOpener(&opener);
        Td::instance().ownCompany = u"VEL'KOR"_s;
        Tspecfm screen;
        screen.codeBox()->setText(u"SZ"_s);
        screen.chooseTechnician();
        setTorzsOpener(nullptr);
        QCOMPARE(opener.seen.tableSpec, u"SZERELO"_s);
        QCOMPARE(opener.seen.condition, u"WHERE SZERELO.CEGKOD='VEL''KOR'"_s);
        QCOMPARE(opener.seen.searchText, u"SZ"_s);
        QVERIFY(!opener.seen.editingAllowed);
        QVERIFY(opener.seen.selectionMode);
        QCOMPARE(screen.codeBox()->text(), u"SZ2"_s);
        QCOMPARE(screen.nameLabel()->text(), u"Nagy Éva"_s);
    }

    void hookShowsTheScreen()
    {
        Tspecfm screen;
        QVERIFY(hooks::QReportHook(1));
        QVERIFY(screen.isVisible());
        QVERIFY(!screen.isModal());
        screen.close();
        QVERIFY(hooks::ExportHook(1));
        QVERIFY(screen.isVisible());
        QVERIFY(!hooks::QReportHook(2));
        screen.close();

        // From a modal editor the screen must take the input, not stay blocked behind it.
        QDialog editor;
        bool onTop = false;
        QTimer::singleShot(0, &editor, [&] {
            QVERIFY(hooks::QReportHook(1));
            onTop = QApplication::activeModalWidget() == &screen;
            screen.close();
            editor.reject();
        });
        editor.exec();
        QVERIFY(onTop);
    }
};

QTEST_MAIN(TestSpec)
#include "tst_specfm.moc"
