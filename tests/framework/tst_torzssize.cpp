// The generic editor opens big enough for its whole panel and a useful grid, on the screen of
// an office workstation (1400 × 1000).
#include "frameworkdb.h"

#include "core/messages.h"
#include "framework/rights.h"
#include "framework/torzs.h"
#include "schema/demodata.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace mivo;
using namespace Qt::StringLiterals;

class TestTorzsSize : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FrameworkDb> m_db;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(1400, 1000));
        m_db = std::make_unique<FrameworkDb>();
        QVERIFY(m_db->ok());
        schema::DemoScale scale;
        scale.customers = 40;
        QString error;
        QVERIFY2(schema::fillDemoData(u"d_mivo"_s, scale, QDate(2024, 5, 6), &error),
                 qPrintable(error));
    }

    void wholePanelAndGridShow_data()
    {
        QTest::addColumn<QString>("tableSpec");
        for (const char* tables : {"ARU,KESZULEK", "ARU,ALKATRESZ", "ARU", "SZERELO", "KULSOCEG",
                                   "UGYFEL", "ALK_KESZLET", "TEVEKENYS", "ALLAPOT", "TAVOLLET",
                                   "VEZERLO", "SZ_JUZER", "MENUK", "TABLAK", "PVEZERLO"})
            QTest::newRow(tables) << QString::fromLatin1(tables);
    }
    void wholePanelAndGridShow()
    {
        QFETCH(QString, tableSpec);
        ScriptedMessagesGuard messages;
        TTorzsfm editor(torzs::parseSpec(tableSpec));
        TorzsCall call;
        call.tableSpec = tableSpec;
        editor.prepare(call, ReadTableRights(torzs::parseSpec(tableSpec).rightsName),
                       torzs::WindowState::Keep);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QApplication::processEvents();
        QVERIFY2(messages->texts.isEmpty(), qPrintable(messages->texts.join(u'|')));

        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(editor.width() <= screen.width() && editor.height() <= screen.height());
        auto* panel = editor.findChild<QScrollArea*>(u"sb_panel"_s);
        QCOMPARE(panel->verticalScrollBar()->maximum(), 0); // every field without scrolling
        // At least five records of the grid.
        QVERIFY2(editor.grid()->viewport()->height() >= 5 * 20,
                 qPrintable(QString::number(editor.grid()->viewport()->height())));
    }
};

int main(int argc, char** argv)
{
    // An offscreen screen of an office workstation instead of the plugin's 800 × 600.
    QTemporaryDir dir;
    QFile config(dir.filePath(u"screen.json"_s));
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    config.write(R"({"screens": [{"name": "office", "x": 0, "y": 0, "width": 1400,
                     "height": 1000, "dpi": 96, "dpr": 1}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    QApplication app(argc, argv);
    TestTorzsSize test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_torzssize.moc"
