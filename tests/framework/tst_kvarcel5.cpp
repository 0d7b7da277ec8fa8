// The "Kvarcel 5.0" screen headless: tabs and marks, the condition panel and its messages,
// a run into the grid, saving and opening through the dialogs, the outputs and the advanced
// mode.
#include "framework/frameworkscreens.h"
#include "framework/kvarcel5.h"
#include "framework/kvarcel5blob.h"
#include "framework/kvarcelbuilder.h"
#include "framework/kvarcelitems.h"

#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "core/screenregistry.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "schema/demodata.h"
#include "support/modal.h"
#include "support/testdb.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace mivo;
using namespace mivo::kvarcel;
using namespace Qt::StringLiterals;

// Receives the files the screen hands to the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestKvarcel5 : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDb> m_db;
    QTemporaryDir m_dir;
    std::unique_ptr<Tkvarcel5fm> m_screen;
    UrlCatcher m_urls;

    Tkvarcel5fm& screen() { return *m_screen; }
    template <typename W> W* child(const QString& name)
    {
        W* w = m_screen->findChild<W*>(name);
        if (!w)
            qWarning() << "missing" << name;
        return w;
    }
    QTableView* grid() { return child<QTableView>(u"grid_tetelek"_s); }
    ItemGridModel& items() { return screen().items(); }
    ListItem& item(const QString& alias) { return *screen().builder().catalogue().item(alias); }
    int rowOf(const QString& alias)
    {
        return items().rowOf(screen().builder().catalogue().kvarcidefsor(alias));
    }
    void clickCell(const QString& alias, int column)
    {
        const QModelIndex index = items().index(rowOf(alias), column);
        grid()->scrollTo(index);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualRect(index).center());
    }
    void click(const QString& button)
    {
        QPushButton* b = child<QPushButton>(button);
        QVERIFY(b);
        b->click();
    }
    void open(const QString& jogok)
    {
        Td::instance().userRights = jogok;
        screen().prepare(QString());
        screen().show();
        QVERIFY(QTest::qWaitForWindowExposed(&screen()));
    }
    // Opens the condition panel on the item and chooses the operator entry.
    void panel(const QString& alias, int operatorRow)
    {
        grid()->setCurrentIndex(items().index(rowOf(alias), ItemGridModel::Megnevezes));
        click(u"b_feltetel"_s);
        child<QListWidget>(u"lb_muvelet"_s)->setCurrentRow(operatorRow);
    }

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(u"file"_s, &m_urls, "open");
        m_db = std::make_unique<TestDb>();
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        QString error;
        schema::DemoScale scale;
        scale.customers = 80;
        QVERIFY2(schema::fillDemoData(u"d_mivo"_s, scale, QDate(2024, 5, 6), &error),
                 qPrintable(error));
        QVERIFY(
            m_db->exec(u"INSERT INTO KVARCELUJ (SORREND, MEGNEVEZES, TABLA, MEZO, ALIAS, TIPUS, "
                       "FEJLEC, TAG, FULSORSZAM) VALUES ('999', 'Rejtett', 'MUNK', 'KOD', "
                       "'REJTETT', 'NI', 'Rejtett', 'X', 1)"_s));
        QVERIFY(m_db->exec(u"INSERT INTO DBASES (DBSERVER, DBUSER, DBPW) VALUES ('masik.fdb', "
                           "'SYSDBA', 'titok')"_s));
        Ini& ini = Ini::instance();
        ini.clear();
        ini.set(u"SQLTYPE"_s, u"I"_s);
        ini.set(u"KVARCITRC"_s, m_dir.path());
        ini.set(u"KVARCI_PATH"_s, m_dir.path());
        Td::instance().userName = u"Kovács Béla"_s;
    }
    void init()
    {
        m_screen = std::make_unique<Tkvarcel5fm>();
        m_urls.urls.clear();
    }
    void cleanup()
    {
        m_screen.reset();
        db::Connection::named(u"D_KVARCEL"_s).clear();
        Ini::instance().set(u"KVARCIJOGOK"_s, u" "_s);
    }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(u"file"_s);
        m_db.reset();
    }

    // The menu item opens the screen under its own caption.
    void fromTheMenu()
    {
        m_screen.reset();
        db::Connection::named(u"D_KVARCEL"_s).clear();
        QWidget owner;
        ScreenRegistry registry;
        registerFrameworkScreens(registry);
        Td::instance().userRights = u"A"_s;
        QVERIFY(registry.open(u"Sajtsszelltslista1"_s, u"Saját összeállítású lista"_s, &owner));
        MenuScreen* opened = registry.created(u"Tkvarcel5fm"_s);
        QVERIFY(opened);
        QCOMPARE(opened->widget()->windowTitle(), u"Kvarcel 5.0"_s);
        QVERIFY(opened->widget()->isVisible());
        QVERIFY(!opened->widget()->isModal());
        delete opened->widget();
        db::Connection::named(u"D_KVARCEL"_s).clear();
    }

    // Tabs of the subjects; a tab shows its items, the first all; "X" items never show, a
    // letter-restricted one only for its letter.
    void tabsAndVisibility()
    {
        open(u"A"_s);
        QAbstractItemModelTester tester(&items());
        QTabBar* tabs = child<QTabBar>(u"tabs"_s);
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        QCOMPARE(captions, (QStringList{u"Összes tétel"_s, u"Munkák"_s, u"Ügyfelek"_s,
                                        u"Szerelők"_s, u"Alkatrész készlet"_s}));
        QCOMPARE(tabs->tabData(3).toString(), u"ts_3"_s);
        QVERIFY(items().rowCount() >= 60);
        QCOMPARE(rowOf(u"REJTETT"_s), -1);
        QVERIFY(rowOf(u"JUZER"_s) >= 0);
        tabs->setCurrentIndex(3);
        QCOMPARE(items().rowCount(), 9);
        QCOMPARE(items().data(items().index(0, 0)).toString(), u"Szerelő kódja"_s);
        QCOMPARE(grid()->isColumnHidden(ItemGridModel::Alias), true);

        Ini::instance().set(u"KVARCIJOGOK"_s, u"A;C"_s);
        screen().prepare(QString());
        QCOMPARE(rowOf(u"JUZER"_s), -1);
        Ini::instance().set(u"KVARCIJOGOK"_s, u"B"_s);
        screen().prepare(QString());
        QVERIFY(rowOf(u"JUZER"_s) >= 0);
        QCOMPARE(items().rowCount(), 1);
        Ini::instance().set(u"KVARCIJOGOK"_s, u"W"_s);
        screen().prepare(QString());
        QCOMPARE(rowOf(u"REJTETT"_s), -1);
        QVERIFY(items().rowCount() >= 60);
    }

    // Letters and digits by clicks stay gapless; typing sets them too.
    void marks()
    {
        open(u"A"_s);
        for (const QString& a : {u"SZERELONEV"_s, u"TERVTEVNEV"_s, u"MUNKALLAPOT"_s})
            clickCell(a, ItemGridModel::Kell);
        QCOMPARE(item(u"MUNKALLAPOT"_s).kell, u"C"_s);
        clickCell(u"TERVTEVNEV"_s, ItemGridModel::Kell);
        QCOMPARE(item(u"TERVTEVNEV"_s).kell, QString());
        QCOMPARE(item(u"SZERELONEV"_s).kell, u"A"_s);
        QCOMPARE(item(u"MUNKALLAPOT"_s).kell, u"B"_s);

        const QStringList many = {u"TERVD"_s,     u"TERVT"_s,     u"DEDU"_s,    u"TERVTEV"_s,
                                  u"SZERELOT"_s,  u"MUNKAD"_s,    u"LEIRAST"_s, u"LEIRASM"_s,
                                  u"MUNKASZAM"_s, u"SZAMLASZAM"_s};
        for (const QString& a : many)
            clickCell(a, ItemGridModel::Sorrend);
        QCOMPARE(item(u"LEIRASM"_s).rendez, u"8"_s);
        QCOMPARE(item(u"MUNKASZAM"_s).rendez, u"9"_s);
        QCOMPARE(item(u"SZAMLASZAM"_s).rendez, u"9"_s);

        const QModelIndex csoport = items().index(rowOf(u"MUGYNEV"_s), ItemGridModel::Csoport);
        QVERIFY(items().setData(csoport, u"3"_s));
        QVERIFY(!items().setData(csoport, u"x"_s));
        QCOMPARE(item(u"MUGYNEV"_s).csoport, u"3"_s);
        QVERIFY(items().setData(items().index(rowOf(u"MUGYNEV"_s), ItemGridModel::Kell), u"d"_s));
        QCOMPARE(item(u"MUGYNEV"_s).kell, u"D"_s);
    }

    // The condition panel: operators, the second box, messages, the value list.
    void conditionPanel()
    {
        open(u"A"_s);
        QFrame* p = child<QFrame>(u"p_feltetel"_s);
        QLineEdit* v1 = child<QLineEdit>(u"e_ertek1"_s);
        QLineEdit* v2 = child<QLineEdit>(u"e_ertek2"_s);
        QListWidget* ops = child<QListWidget>(u"lb_muvelet"_s);
        QCOMPARE(ops->count(), 11);
        QCOMPARE(ops->item(9)->text(), u"[]    (tól - ig)"_s);

        panel(u"MUGYNEV"_s, 8);
        QVERIFY(p->isVisible());
        v1->setText(u"AB"_s);
        click(u"b_ok"_s);
        QCOMPARE(item(u"MUGYNEV"_s).feltetel, u" like 'AB%'"_s);
        QVERIFY(!p->isVisible());

        panel(u"MUGYNEV"_s, 0);
        v1->setText(u" O'Brien "_s);
        QTest::keyClick(v1, Qt::Key_Return);
        QCOMPARE(item(u"MUGYNEV"_s).feltetel, u" like 'AB%' vagy  = 'O''Brien'"_s);

        panel(u"TERVD"_s, 9);
        QVERIFY(v2->isVisible() && child<QLabel>(u"l_ertek2"_s)->isVisible());
        v1->setText(u"2024.05.01"_s);
        QTest::keyClick(v1, Qt::Key_Return);
        QVERIFY(v2->hasFocus());
        v2->setText(u"2024.05.31"_s);
        QTest::keyClick(v2, Qt::Key_Return);
        QCOMPARE(item(u"TERVD"_s).feltetel, u" between '2024.05.01' and '2024.05.31'"_s);

        panel(u"LEIRASM"_s, 10);
        QVERIFY(!v1->isVisible());
        click(u"b_ok"_s);
        QCOMPARE(item(u"LEIRASM"_s).feltetel, u" üres"_s);

        ScriptedMessagesGuard messages;
        panel(u"MUNKADB"_s, 6);
        v1->setText(u"1"_s);
        click(u"b_ok"_s);
        QCOMPARE(messages->texts.takeLast(), u"Szám típusú adathoz ez a feltétel nem kérhetö."_s);
        QVERIFY(p->isVisible());
        ops->setCurrentRow(0);
        v1->setText(u"1,5x"_s);
        click(u"b_ok"_s);
        QCOMPARE(messages->texts.takeLast(), u"Nem jó szám."_s);
        v1->setText(u"2,5"_s);
        click(u"b_ok"_s);
        QCOMPARE(item(u"MUNKADB"_s).feltetel, u" = 2.5"_s);

        // JOMUVELET "=": another operator is refused and the panel closes; leaving the list
        // with one selects the allowed one.
        panel(u"DEDU"_s, 5);
        click(u"b_ok"_s);
        QCOMPARE(messages->texts.takeLast(), u"Ehhez a mezöhöz csak = feltétel kérhetö."_s);
        QVERIFY(!p->isVisible());
        panel(u"DEDU"_s, 5);
        QFocusEvent leave(QEvent::FocusOut);
        QApplication::sendEvent(ops, &leave);
        QCOMPARE(ops->currentRow(), 0);
        v1->setText(u"De"_s);
        click(u"b_ok"_s);
        v1->setText(u"Du"_s);
        panel(u"DEDU"_s, 0);
        v1->setText(u"Du"_s);
        click(u"b_ok"_s);
        QCOMPARE(item(u"DEDU"_s).feltetel, u" = 'Du'"_s);

        // "..." lists the column's values; a double click takes one.
        panel(u"MUNKALLAPOT"_s, 0);
        v1->setText(u"O"_s);
        click(u"b_ertekek1"_s);
        QListWidget* values = child<QListWidget>(u"lb_ertekek"_s);
        QVERIFY(values->isVisible());
        QCOMPARE(values->count(), 1);
        QCOMPARE(values->item(0)->text(), u"OK"_s);
        emit values->itemDoubleClicked(values->item(0));
        QCOMPARE(v1->text(), u"OK"_s);
        QVERIFY(!values->isVisible());
        click(u"b_megsem"_s);
        QVERIFY(!p->isVisible());
        QCOMPARE(item(u"MUNKALLAPOT"_s).feltetel, QString());

        grid()->setCurrentIndex(items().index(rowOf(u"DEDU"_s), 0));
        click(u"b_ellentet"_s);
        QCOMPARE(item(u"DEDU"_s).feltetel, u"NEM  = 'Du'"_s);
        click(u"b_ellentet"_s);
        QCOMPARE(item(u"DEDU"_s).feltetel, u" = 'Du'"_s);
        click(u"b_feltetel_torles"_s);
        QCOMPARE(item(u"DEDU"_s).feltetel, QString());
        click(u"b_minden_feltetel_torles"_s);
        QCOMPARE(item(u"TERVD"_s).feltetel, QString());
        QVERIFY(messages->texts.isEmpty());
    }

    // "Indul " fills the grid with the headings; a cell opens the viewer, whose arrows move.
    void runAndViewer()
    {
        open(u"A"_s);
        item(u"ALLAPOTNEV"_s).kell = u"A"_s;
        item(u"ALLAPOTNEV"_s).csoport = u"1"_s;
        item(u"MUNKADB"_s).kell = u"B"_s;
        ScriptedMessagesGuard messages;
        screen().indul();
        QVERIFY2(messages->texts.isEmpty(), qPrintable(messages->texts.join(u'\n')));
        QTableView* result = child<QTableView>(u"grid_eredmeny"_s);
        QCOMPARE(result->model()->headerData(0, Qt::Horizontal).toString(), u"Áll. neve"_s);
        QVERIFY(result->model()->rowCount() > 7);
        QVERIFY(child<QLabel>(u"l_eredmeny"_s)->text().endsWith(u" SELECT"_s));
        QCOMPARE(child<QPushButton>(u"b_kesz"_s)->isVisible(), false);

        QString heading, first, second;
        whenModal<Tkvarcel5BlobFm>([&](Tkvarcel5BlobFm* viewer) {
            heading = viewer->findChild<QLabel*>(u"l_fejlec"_s)->text();
            first = viewer->findChild<QPlainTextEdit*>(u"m_ertek"_s)->toPlainText();
            QTest::keyClick(viewer, Qt::Key_Down);
            QTest::keyClick(viewer, Qt::Key_Right);
            second = viewer->findChild<QPlainTextEdit*>(u"m_ertek"_s)->toPlainText();
            QTest::keyClick(viewer, Qt::Key_Right);
            viewer->findChild<QPushButton*>(u"b_bezar"_s)->click();
        });
        const QModelIndex cell = result->model()->index(1, 0);
        emit result->doubleClicked(cell);
        QCOMPARE(heading, u"Áll. neve"_s);
        QCOMPARE(first, result->model()->data(cell).toString());
        QCOMPARE(second, result->model()->data(result->model()->index(2, 1)).toString());
    }

    // Saved through the dialog and opened again into a fresh screen: the same grid, options
    // and title.
    void saveAndOpen()
    {
        open(u"A"_s);
        clickCell(u"SZERELONEV"_s, ItemGridModel::Kell);
        clickCell(u"SZERELONEV"_s, ItemGridModel::Csoport);
        clickCell(u"MUNKADB"_s, ItemGridModel::Kell);
        item(u"MUNKALLAPOT"_s).feltetel = u" = 'OK'"_s;
        child<QLineEdit>(u"e_cim"_s)->setText(u"Szerelők elvégzett munkái"_s);
        child<QCheckBox>(u"cb_csak_osszesen"_s)->setChecked(true);
        const QString path = m_dir.filePath(u"szerelok"_s);
        QString title, folder;
        whenModal<QFileDialog>([&](QFileDialog* d) {
            title = d->windowTitle();
            folder = d->directory().absolutePath();
            typeIntoFileDialog(d, path);
        });
        screen().builder().title = child<QLineEdit>(u"e_cim"_s)->text();
        screen().mentes();
        QCOMPARE(title, u"Lekérdezés paramétereinek mentése .SQL file-ba"_s);
        QCOMPARE(folder, QDir(m_dir.path()).absolutePath());
        QVERIFY(QFile::exists(path + u".SQL"_s));

        click(u"b_uj"_s);
        QCOMPARE(item(u"SZERELONEV"_s).kell, QString());
        QCOMPARE(child<QLineEdit>(u"e_cim"_s)->text(), QString());

        m_screen = std::make_unique<Tkvarcel5fm>();
        open(u"A"_s);
        whenModal<QFileDialog>([&](QFileDialog* d) {
            // The dialog's file list fills later; the typed name counts at once.
            typeIntoFileDialog(d, path + u".SQL"_s);
        });
        screen().megnyitas();
        QCOMPARE(child<QLineEdit>(u"e_cim"_s)->text(), u"Szerelők elvégzett munkái"_s);
        QVERIFY(child<QCheckBox>(u"cb_csak_osszesen"_s)->isChecked());
        QCOMPARE(items().data(items().index(rowOf(u"SZERELONEV"_s), ItemGridModel::Kell)),
                 QVariant(u"A"_s));
        QCOMPARE(items().data(items().index(rowOf(u"SZERELONEV"_s), ItemGridModel::Csoport)),
                 QVariant(u"1"_s));
        QCOMPARE(items().data(items().index(rowOf(u"MUNKALLAPOT"_s), ItemGridModel::Feltetel)),
                 QVariant(u" = 'OK'"_s));
        screen().indul();
        // Totals only: every row is a total.
        auto& result = screen().builder().result();
        for (int r = 0; r < result.rowCount(); ++r)
            QVERIFY(result.isTotalRow(r));
    }

    // The outputs from their buttons.
    void outputs()
    {
        open(u"A"_s);
        ScriptedMessagesGuard messages;
        click(u"b_lista"_s);
        click(u"b_adattabla"_s);
        click(u"b_excel"_s);
        QCOMPARE(messages->texts,
                 (QStringList{u"Nincs még adat."_s, u"Nincs mit..."_s, u"Nincs mit..."_s}));
        messages->texts.clear();
        item(u"ALLAPOTNEV"_s).kell = u"A"_s;
        item(u"MUNKADB"_s).kell = u"B"_s;
        click(u"b_gosql"_s);

        bool previewed = false;
        whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog* d) {
            previewed = true;
            d->reject();
        });
        click(u"b_lista"_s);
        QVERIFY(previewed);

        const QString table = m_dir.filePath(u"allapotok"_s);
        QString title;
        whenModal<QFileDialog>([&](QFileDialog* d) {
            title = d->windowTitle();
            d->selectNameFilter(d->nameFilters().at(1));
            typeIntoFileDialog(d, table);
        });
        click(u"b_adattabla"_s);
        QCOMPARE(title, u"Eredménytábla mentése más táblába"_s);
        QVERIFY(QFile::exists(table + u".TXT"_s));

        click(u"b_excel"_s);
        QCOMPARE(m_urls.urls.size(), 1);
        QVERIFY(m_urls.urls.front().toLocalFile().endsWith(u".xlsx"_s));
        QVERIFY(QFile::exists(m_urls.urls.front().toLocalFile()));
        QVERIFY2(messages->texts.isEmpty(), qPrintable(messages->texts.join(u'\n')));
    }

    // Power users: "haladóknak" shows the statement window, "Parancsba ad" fills it, the
    // templates write statements, the database switch falls back when it fails.
    void advancedMode()
    {
        open(u"W9"_s);
        QPushButton* halado = child<QPushButton>(u"b_halado"_s);
        QVERIFY(halado->isVisible());
        QVERIFY(!child<QWidget>(u"p_halado"_s)->isVisible());
        halado->click();
        QVERIFY(child<QWidget>(u"p_halado"_s)->isVisible());
        QCOMPARE(halado->text(), u"normal"_s);
        QPlainTextEdit* sql = child<QPlainTextEdit>(u"m_sql"_s);
        QCOMPARE(sql->toolTip(), u"SQL utasitás - csak halandók irjanak bele!"_s);

        ScriptedMessagesGuard messages;
        item(u"ALLAPOTNEV"_s).kell = u"A"_s;
        click(u"b_kesz"_s);
        QCOMPARE(messages->texts.takeLast(), u"SQL-script elkészült."_s);
        QVERIFY(sql->toPlainText().startsWith(u"Create Table TMPKovacs_Be"_s));

        QComboBox* tables = child<QComboBox>(u"cb_tabla"_s);
        tables->setCurrentText(u"ALLAPOT"_s);
        child<QCheckBox>(u"cb_ujutasitas"_s)->setChecked(true);
        click(u"b_select"_s);
        QCOMPARE(sql->toPlainText(), u"Select *\nFrom ALLAPOT\nWhere \nOrder By 1\n;"_s);
        child<QCheckBox>(u"cb_ujutasitas"_s)->setChecked(false);
        click(u"b_delete"_s);
        QVERIFY(sql->toPlainText().endsWith(u";\nDelete From ALLAPOT\nWhere \n;"_s));

        sql->setPlainText(u"select KOD from ALLAPOT;\nselect KOD, NEV from TAVOLLET;"_s);
        click(u"b_gosql"_s);
        QCOMPARE(child<QListWidget>(u"lb_eredmeny"_s)->count(), 2);
        QCOMPARE(screen().builder().result().columnCount(), 2);
        // A power user's history goes on from the earlier tests' runs.
        const int run = screen().builder().history().runNumber();
        QVERIFY(run >= 1);
        QCOMPARE(child<QLabel>(u"l_maxfutas"_s)->text(), History::number(run));
        // The history arrows: an earlier run, then back to the last one.
        click(u"sb_elozo"_s);
        click(u"sb_kovetkezo"_s);
        QCOMPARE(child<QLabel>(u"l_futas"_s)->text(), History::number(run));
        QCOMPARE(sql->toPlainText(), u"select KOD from ALLAPOT;\nselect KOD, NEV from TAVOLLET;"_s);

        // A DBASES row fills the boxes and shows its password.
        QComboBox* databases = child<QComboBox>(u"cb_adatbazis"_s);
        const int row = databases->findText(u"masik.fdb,SYSDBA,titok"_s);
        QVERIFY(row >= 0);
        databases->setCurrentIndex(row);
        emit databases->activated(row);
        QCOMPARE(child<QLineEdit>(u"e_server"_s)->text(), u"masik.fdb"_s);
        QCOMPARE(child<QLabel>(u"l_jelszo"_s)->text(), u"(titok)"_s);
        child<QLineEdit>(u"e_server"_s)->setText(u"SZERVIZ"_s);
        click(u"b_adatbazis_valtas"_s);
        QCOMPARE(messages->texts.takeLast(),
                 u"Az adatbázis nem érhetö el. Visszaállok az eredeti adatbazisra."_s);
        child<QLineEdit>(u"e_server"_s)->setText(m_dir.filePath(u"nincs.fdb"_s));
        click(u"b_adatbazis_valtas"_s);
        QCOMPARE(messages->texts.takeLast(),
                 u"Az adatbázis nem érhetö el. Visszaállok az eredeti adatbazisra."_s);
        click(u"b_gosql"_s);
        QCOMPARE(screen().builder().result().columnCount(), 2);

        click(u"b_torol"_s);
        QCOMPARE(messages->texts.takeLast(), u"Valóban törölni akarod a régi utasításokat-t ?"_s);
        click(u"b_torol"_s);
        QCOMPARE(messages->texts.takeLast(), u"Nincs törlendö utasitas."_s);
    }
};

QTEST_MAIN(TestKvarcel5)
#include "tst_kvarcel5.moc"
