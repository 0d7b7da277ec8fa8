#include "frameworkdb.h"

#include "app/mivomain.h"
#include "core/altproc.h"
#include "core/dat.h"
#include "core/messages.h"
#include "core/msg.h"
#include "core/msgdialog.h"
#include "core/password.h"
#include "core/paths.h"
#include "framework/panelinput.h"
#include "framework/parabutton.h"
#include "framework/rights.h"
#include "framework/torzs.h"

#include "platform/dbquery.h"
#include "support/modal.h"
#include "support/pdftext.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

/// Acts on the first modal editor that the predicate accepts, once it is up.
void whenModal(const std::function<bool(QWidget*)>& accept,
               const std::function<void(TTorzsfm*)>& act)
{
    whenModal<TTorzsfm>(act, [accept](TTorzsfm* editor) { return accept(editor); });
}

void whenModal(const std::function<void(TTorzsfm*)>& act)
{
    whenModal([](QWidget*) { return true; }, act);
}

void click(TTorzsfm& editor, const char* button)
{
    editor.findChild<QToolButton*>(QLatin1String(button))->click();
}

PanelInput* input(TTorzsfm& editor, const char* field)
{
    return editor.panel()->input(QLatin1String(field));
}

/// An editor shown without the modal loop, as the entry routine prepares it.
struct OpenEditor {
    OpenEditor(const QString& tableSpec, bool selection = false, bool editing = true,
               const QString& search = {})
        : editor(torzs::parseSpec(tableSpec))
    {
        call.tableSpec = tableSpec;
        call.selectionMode = selection;
        call.editingAllowed = editing;
        call.searchText = search;
        editor.prepare(call, ReadTableRights(torzs::parseSpec(tableSpec).rightsName),
                       torzs::WindowState::Keep);
        editor.show();
    }
    TTorzsfm editor;
    TorzsCall call;
};

QString currentText(TTorzsfm& e, const char* field)
{
    return e.data().model().value(e.currentRow(), QLatin1String(field)).toString();
}

/// The program's own message boxes, which take the focus as they do for a user, answered
/// at once: a question of three buttons with its third, any other box with its first.
struct AnsweredDialogMessages : DialogMessages {
    AnsweredDialogMessages()
    {
        QObject::connect(&answerer, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<Tmsgfm*>(QApplication::activeModalWidget()))
                box->buttons().at(box->buttons().size() == 3 ? 2 : 0)->click();
        });
        answerer.start(10);
    }
    void show(const QString& text, MessageKind kind) override
    {
        texts << text;
        DialogMessages::show(text, kind);
    }
    int ask(const QString& text, MessageKind kind, const QStringList& captions) override
    {
        texts << text;
        return DialogMessages::ask(text, kind, captions);
    }
    QStringList texts;
    QTimer answerer;
};

/// Logs in through the main menu's "Kijelentkezés " with the login dialog.
void logInThroughTheMenu(Tmivomainfm& main, const QString& name, const QString& password)
{
    ::whenModal<TPasswordfm>([name, password](TPasswordfm* d) {
        d->findChild<QLineEdit*>(QStringLiteral("e_nev"))->setText(name);
        d->findChild<QLineEdit*>(QStringLiteral("e_jelszo"))->setText(password);
        d->findChild<QPushButton*>(QStringLiteral("b_ok"))->click();
    });
    main.action(QStringLiteral("Kijelentkezes"))->trigger();
}

QStringList gridTitles(TTorzsfm& e)
{
    QStringList titles;
    const QAbstractItemModel* m = e.grid()->model();
    for (int c = 0; c < m->columnCount(); ++c)
        titles << m->headerData(c, Qt::Horizontal).toString();
    return titles;
}

} // namespace

class TestTorzs : public QObject
{
    Q_OBJECT
private slots:
    // A login feeds the framework's user; no test leaves one behind.
    void cleanup() { SetFrameworkUser({}, {}); }

    void menuItemsOpenTheirTables_data()
    {
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("title");
        QTest::newRow("keszulekek") << "keszulekek"
                                    << "ARU_KESZULEK_Torzsfm"
                                    << "Where ARU.JELLEG='K'"
                                    << "Készülék fajták";
        QTest::newRow("Alkatreszek") << "Alkatreszek"
                                     << "ARU_ALKATRESZ_Torzsfm"
                                     << "Where ARU.JELLEG='A'"
                                     << "Alkatrészek";
        QTest::newRow("Szolgaltatasok") << "Szolgaltatasok"
                                        << "ARU_ARU_Torzsfm"
                                        << "Where ARU.JELLEG='S'"
                                        << "Szolgáltatások";
        QTest::newRow("Szerelok") << "Szerelok"
                                  << "SZERELO_SZERELO_Torzsfm"
                                  << "WHERE SZERELO.CEGKOD='O''K'"
                                  << "Szerelők";
        QTest::newRow("Kulsosszerelok") << "Kulsosszerelok"
                                        << "SZERELO_SZERELO_Torzsfm"
                                        << "WHERE SZERELO.CEGKOD<>'O''K'"
                                        << "Szerelők";
        QTest::newRow("kulsocegek") << "kulsocegek"
                                    << "KULSOCEG_KULSOCEG_Torzsfm"
                                    << ""
                                    << "Külső szerelő cégek";
        QTest::newRow("ugyfelek") << "ugyfelek"
                                  << "UGYFEL_UGYFEL_Torzsfm"
                                  << ""
                                  << "Ügyfelek";
        QTest::newRow("keszlet") << "keszlet"
                                 << "ALK_KESZLET_ALK_KESZLET_Torzsfm"
                                 << ""
                                 << "Alkatrész készlet";
        QTest::newRow("tevekenysegek") << "tevekenysegek"
                                       << "TEVEKENYS_TEVEKENYS_Torzsfm"
                                       << ""
                                       << "Tevékenységek";
        QTest::newRow("allapotok") << "allapotok"
                                   << "ALLAPOT_ALLAPOT_Torzsfm"
                                   << ""
                                   << "Állapotok";
        QTest::newRow("tavolletek") << "tavolletek"
                                    << "TAVOLLET_TAVOLLET_Torzsfm"
                                    << ""
                                    << "Távolléti jogcímek";
        QTest::newRow("vezerlo") << "vezerlo"
                                 << "VEZERLO_VEZERLO_Torzsfm"
                                 << ""
                                 << "Beviteli mezők, jogosultságok";
        QTest::newRow("sz_juzer") << "sz_juzer"
                                  << "SZ_JUZER_SZ_JUZER_Torzsfm"
                                  << ""
                                  << "Felhasználók, jelszavak";
        QTest::newRow("menuk") << "menuk"
                               << "MENUK_MENUK_Torzsfm"
                               << ""
                               << "Menüpont jogosultságok";
        QTest::newRow("tablak") << "tablak"
                                << "TABLAK_TABLAK_Torzsfm"
                                << ""
                                << "Táblák nevei, jogosultságok";
        QTest::newRow("pvezerlo") << "Kivlasztsutnirtkadsok1"
                                  << "PVEZERLO_PVEZERLO_Torzsfm"
                                  << ""
                                  << "Kiválasztás utáni értékadások";
    }
    void menuItemsOpenTheirTables()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        Td::instance().ownCompany = QStringLiteral("O'K");
        Tmivomainfm main;
        QFETCH(QString, component);
        QFETCH(QString, title);
        QString name, condition, caption;
        bool readOnly = true;
        whenModal([&](TTorzsfm* e) {
            name = e->objectName();
            condition = e->data().condition;
            caption = e->windowTitle();
            readOnly = e->findChild<QLabel*>(QStringLiteral("l_csakolvas"))->isVisibleTo(e);
            e->back();
        });
        QAction* item = main.action(component);
        QVERIFY(item->isEnabled());
        item->trigger();
        QTEST(name, "name");
        QTEST(condition, "condition");
        QCOMPARE(caption, QStringLiteral("Törzs karbantartás * Tábla neve: ") + title);
        QVERIFY(!readOnly);
        QVERIFY(messages->texts.isEmpty());
    }

    void insertCopyModifyThroughTheButtons()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("DELETE FROM TAVOLLET"));
        QVERIFY(db.exec("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('BE', 'Betegség')"));
        OpenEditor o(QStringLiteral("TAVOLLET"));
        TTorzsfm& e = o.editor;
        QCOMPARE(e.windowTitle(),
                 QStringLiteral("Törzs karbantartás * Tábla neve: Távolléti jogcímek"));
        QCOMPARE(e.findChild<QLabel*>(QStringLiteral("l_darab"))->text(),
                 QStringLiteral("1 tétel"));
        QCOMPARE(e.state(), TorzsState::Browse);
        QCOMPARE(input(e, "NEV")->value(), QStringLiteral("Betegség"));

        click(e, "b_uj");
        QCOMPARE(e.state(), TorzsState::Insert);
        QVERIFY(!e.grid()->isEnabled());
        QVERIFY(input(e, "KOD")->value().isEmpty());
        input(e, "KOD")->setValue(QStringLiteral("SZ"));
        input(e, "NEV")->setValue(QStringLiteral("Szabadság"));
        // Moving while typing is refused.
        click(e, "b_elso");
        QCOMPARE(messages->texts.value(0),
                 QStringLiteral("Adatbevitel közben van. Tárolja le, vagy dobja el!"));
        click(e, "b_ok");
        QCOMPARE(e.state(), TorzsState::Browse);
        QCOMPARE(currentText(e, "KOD"), QStringLiteral("SZ"));
        QCOMPARE(e.findChild<QLabel*>(QStringLiteral("l_darab"))->text(),
                 QStringLiteral("2 tétel"));

        click(e, "b_masol");
        QCOMPARE(input(e, "NEV")->value(), QStringLiteral("Szabadság"));
        input(e, "KOD")->setValue(QStringLiteral("SZ2"));
        click(e, "b_ok");
        QCOMPARE(currentText(e, "KOD"), QStringLiteral("SZ2"));

        click(e, "b_modosit");
        QCOMPARE(e.state(), TorzsState::Update);
        input(e, "NEV")->setValue(QStringLiteral("Fizetés nélküli"));
        click(e, "b_ok");
        QCOMPARE(mivo::db::scalar(QStringLiteral("d_mivo"),
                                  QStringLiteral("SELECT NEV FROM TAVOLLET WHERE KOD='SZ2'"))
                     .toString(),
                 QStringLiteral("Fizetés nélküli"));
        QCOMPARE(
            mivo::db::scalar(QStringLiteral("d_mivo"), QStringLiteral("SELECT count(*) FROM DOKU"))
                .toInt(),
            2 + 2 + 1);

        // An unchanged modification may be left by moving; a duplicate key stays on screen.
        click(e, "b_modosit");
        click(e, "b_elso");
        QCOMPARE(e.state(), TorzsState::Browse);
        click(e, "b_uj");
        input(e, "KOD")->setValue(QStringLiteral("BE"));
        input(e, "NEV")->setValue(QStringLiteral("Másik"));
        const int before = messages->texts.size();
        click(e, "b_ok");
        QCOMPARE(messages->texts.size(), before + 1);
        QCOMPARE(e.state(), TorzsState::Insert);
        QCOMPARE(input(e, "NEV")->value(), QStringLiteral("Másik"));
        click(e, "b_megsem");
        QCOMPARE(e.state(), TorzsState::Browse);
    }

    void copyOfACustomerGetsANewKey()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("INSERT INTO UGYFEL (NEV, IRSZAM, VAROS) VALUES ('Minta Mária', '9021', "
                        "'Győr')"));
        const int source = mivo::db::scalar(QStringLiteral("d_mivo"),
                                            QStringLiteral("SELECT MAX(KOD) FROM UGYFEL"))
                               .toInt();
        OpenEditor o(QStringLiteral("UGYFEL"));
        TTorzsfm& e = o.editor;
        click(e, "b_utolso");
        QCOMPARE(input(e, "KOD")->value(), QString::number(source));
        click(e, "b_masol");
        QVERIFY(input(e, "KOD")->value().isEmpty());
        QCOMPARE(input(e, "NEV")->value(), QStringLiteral("Minta Mária"));
        click(e, "b_ok");
        QVERIFY2(messages->texts.isEmpty(), qPrintable(messages->texts.join(u'\n')));
        QCOMPARE(e.state(), TorzsState::Browse);
        QCOMPARE(mivo::db::scalar(QStringLiteral("d_mivo"),
                                  QStringLiteral("SELECT COUNT(*) FROM UGYFEL WHERE NEV = 'Minta "
                                                 "Mária' AND KOD > %1")
                                      .arg(source))
                     .toInt(),
                 1);
        QVERIFY(currentText(e, "KOD").toInt() > source);
    }

    void viewOnly()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("DELETE FROM TAVOLLET"));
        QVERIFY(db.exec("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('BE', 'Betegség')"));
        QVERIFY(db.exec("UPDATE TABLAK SET IRHATJA_JOG='Q' WHERE TABLANEV='TAVOLLET'"));
        Tdm::instance().FrameworkRights = QStringLiteral("A");
        OpenEditor o(QStringLiteral("TAVOLLET"));
        Tdm::instance().FrameworkRights.clear();
        TTorzsfm& e = o.editor;
        QVERIFY(!e.hasAccess());
        QVERIFY(e.findChild<QLabel*>(QStringLiteral("l_csakolvas"))->isVisible());
        QVERIFY(!e.findChild<QToolButton*>(QStringLiteral("b_uj"))->isVisible());
        e.newRecord();
        e.modify();
        e.deleteRecord();
        QCOMPARE(e.state(), TorzsState::Browse);
        QVERIFY(input(e, "NEV")->isReadOnly());
        QCOMPARE(mivo::db::scalar(QStringLiteral("d_mivo"),
                                  QStringLiteral("SELECT count(*) FROM TAVOLLET"))
                     .toInt(),
                 1);
        QVERIFY(messages->texts.isEmpty());
    }

    void selectionReturnsAlignedLists()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        // A module that shows the name only: the key comes after it, off the panel.
        QVERIFY(db.exec("INSERT INTO VEZERLO (MODUL, SORREND, MEZO, MEGNEVEZES, OSZLOPNEV) VALUES "
                        "('TEVNEV', '010', 'NEV', 'Név', 'Név')"));
        QVERIFY(db.exec("DELETE FROM TEVEKENYS"));
        QVERIFY(db.exec("INSERT INTO TEVEKENYS (KOD, NEV, SORREND) VALUES ('JAV', 'Javítás', 2)"));
        QVERIFY(
            db.exec("INSERT INTO TEVEKENYS (KOD, NEV, SORREND) VALUES ('KAR', 'Karbantartás', 1)"));
        QVERIFY(
            db.exec("INSERT INTO TEVEKENYS (KOD, NEV, SORREND) VALUES ('KAZ', 'Kazáncsere', 3)"));
        OpenEditor o(QStringLiteral("TEVEKENYS,TEVNEV"), true, true, QStringLiteral("kaz"));
        TTorzsfm& e = o.editor;
        QCOMPARE(e.windowTitle(), QStringLiteral("Választás szótárból * Tábla neve: TEVEKENYS"));
        QVERIFY(e.findChild<QToolButton*>(QStringLiteral("b_kivalaszt"))->isVisible());
        QCOMPARE(currentText(e, "KOD"), QStringLiteral("KAZ"));
        QTest::keyClicks(e.searchBox(), QStringLiteral("x"));
        QCOMPARE(currentText(e, "KOD"), QStringLiteral("KAZ"));
        e.searchBox()->clear();
        QTest::keyClicks(e.searchBox(), QStringLiteral("ka"));
        QCOMPARE(currentText(e, "KOD"), QStringLiteral("KAR"));
        e.choose();
        QVERIFY(!e.isVisible());
        TorzsCall& call = o.call;
        QVERIFY(e.finish(call));
        QCOMPARE(call.names, (QStringList{"NEV", "KOD"}));
        QCOMPARE(alt::pickedValue(QStringLiteral("KOD"), call.names, call.values),
                 QStringLiteral("KAR"));
        QCOMPARE(alt::pickedValue(QStringLiteral("NEV"), call.names, call.values),
                 QStringLiteral("Karbantartás"));
        QCOMPARE(call.selected.size(), 2);
        QCOMPARE(call.selected[1].FieldName, QStringLiteral("KOD"));
        QCOMPARE(call.selected[1].FieldType, QStringLiteral("VARCHAR"));
        QCOMPARE(call.selected[1].Value.toString(), QStringLiteral("KAR"));
    }

    void selectionAfterInsert()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("INSERT INTO UGYFEL (KOD, NEV) VALUES (120, 'Zala')"));
        QVERIFY(db.exec("SET GENERATOR GEN_UGYFEL TO 11"));
        OpenEditor o(QStringLiteral("UGYFEL"), true);
        TTorzsfm& e = o.editor;
        click(e, "b_uj");
        // A failed store neither chooses nor closes, and keeps what was typed.
        input(e, "VAROS")->setValue(QStringLiteral("Pécs"));
        e.choose();
        QCOMPARE(messages->texts.value(0), QStringLiteral("Kitöltendő mezőt üresen hagyott : NEV"));
        QVERIFY(e.isVisible());
        QVERIFY(!e.chosen());
        QCOMPARE(input(e, "VAROS")->value(), QStringLiteral("Pécs"));
        input(e, "NEV")->setValue(QStringLiteral("Új Ügyfél"));
        e.choose();
        QVERIFY(e.chosen());
        QVERIFY(!e.isVisible());
        QVERIFY(e.finish(o.call));
        QCOMPARE(alt::pickedValue(QStringLiteral("KOD"), o.call.names, o.call.values),
                 QStringLiteral("12"));
        QCOMPARE(alt::pickedValue(QStringLiteral("VAROS"), o.call.names, o.call.values),
                 QStringLiteral("Pécs"));
    }

    void closingWhileEditing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("nev");
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("rows");
        QTest::newRow("Nem") << 0 << "Új" << true << 1;
        QTest::newRow("Igen, mentéssel") << 1 << "Új" << false << 2;
        QTest::newRow("Igen, mentéssel, failing") << 1 << "" << true << 1;
        QTest::newRow("Igen, mentés nélkül") << 2 << "Új" << false << 1;
    }
    void closingWhileEditing()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("INSERT INTO UGYFEL (KOD, NEV) VALUES (100, 'Első')"));
        OpenEditor o(QStringLiteral("UGYFEL"));
        TTorzsfm& e = o.editor;
        click(e, "b_uj");
        QFETCH(QString, nev);
        input(e, "NEV")->setValue(nev);
        QFETCH(int, answer);
        messages->queueAnswers({answer});
        e.close();
        QCOMPARE(messages->texts.value(0),
                 QStringLiteral("Adatbevitel közben van. Biztosan bezárja az ablakot?"));
        QFETCH(bool, open);
        QVERIFY2(e.isVisible() == open, qPrintable(messages->texts.join('|')));
        QTEST(mivo::db::scalar(QStringLiteral("d_mivo"),
                               QStringLiteral("SELECT count(*) FROM UGYFEL"))
                  .toInt(),
              "rows");
        if (e.isVisible())
            QCOMPARE(input(e, "NEV")->value(), nev);
        else
            QVERIFY(!e.requeryPending());
    }

    void noExitCheckBehindTheCloseQuestion()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard restore;
        QVERIFY(db.exec("INSERT INTO UGYFEL (KOD, NEV, IRSZAM) VALUES (100, 'Első', '9021')"));
        OpenEditor o(QStringLiteral("UGYFEL"));
        TTorzsfm& e = o.editor;
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        auto* boxes = new AnsweredDialogMessages;
        messages::install(std::unique_ptr<MessageSink>(boxes));
        click(e, "b_modosit");
        // A required postal code emptied and left: the check says so and keeps the focus.
        QWidget* irszam = input(e, "IRSZAM")->widget();
        irszam->setFocus();
        input(e, "IRSZAM")->setValue(QString());
        input(e, "UTCA")->widget()->setFocus();
        // The window becomes active again when the box goes, as a window manager makes it.
        e.activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), irszam);
        QCOMPARE(boxes->texts, QStringList{QStringLiteral("Kötelező kitölteni.")});
        // Closing asks its question alone; leaving without saving keeps the stored row.
        boxes->texts.clear();
        e.findChild<QAction*>(QStringLiteral("m_vissza"))->trigger();
        QCOMPARE(boxes->texts, QStringList{QStringLiteral(
                                   "Adatbevitel közben van. Biztosan bezárja az ablakot?")});
        QVERIFY(!e.isVisible());
        QCOMPARE(mivo::db::scalar(QStringLiteral("d_mivo"),
                                  QStringLiteral("SELECT IRSZAM FROM UGYFEL WHERE KOD = 100"))
                     .toString(),
                 QStringLiteral("9021"));
    }

    void lookupButtonPicksFromTheDictionary()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("DELETE FROM IRSZAM"));
        QVERIFY(db.exec("INSERT INTO IRSZAM (IRSZAM, HELYSEG) VALUES ('1011', 'Budapest')"));
        QVERIFY(db.exec("INSERT INTO IRSZAM (IRSZAM, HELYSEG) VALUES ('7621', 'Pécs')"));
        QWidget owner;
        TorzsEditors editors(&owner);
        setTorzsOpener(&editors);
        OpenEditor o(QStringLiteral("UGYFEL"));
        TTorzsfm& e = o.editor;
        click(e, "b_uj");
        input(e, "IRSZAM")->setValue(QStringLiteral("76"));
        QString search, caption;
        whenModal([&](TTorzsfm* dictionary) {
            search = dictionary->searchBox()->text();
            caption = dictionary->windowTitle();
            dictionary->choose();
        });
        e.panel()->button(QStringLiteral("IRSZAM"))->click();
        setTorzsOpener(nullptr);
        QCOMPARE(search, QStringLiteral("76"));
        QCOMPARE(caption, QStringLiteral("Választás szótárból * Tábla neve: Irányítószámok"));
        QCOMPARE(input(e, "IRSZAM")->value(), QStringLiteral("7621"));
        QCOMPARE(input(e, "VAROS")->value(), QStringLiteral("Pécs"));
        QVERIFY(editors.editor(QStringLiteral("IRSZAM")));
    }

    void anOpenEditorIsNotReentered()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("DELETE FROM TAVOLLET"));
        QVERIFY(db.exec("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('BE', 'Betegség')"));
        QVERIFY(db.exec("UPDATE TABLAK SET WINDOWSTATE='maximized' WHERE TABLANEV='TAVOLLET'"));
        QWidget owner;
        TorzsEditors editors(&owner);
        TTorzsfm* outer = nullptr;
        TTorzsfm* inner = nullptr;
        bool outerChosen = true;
        whenModal([&](TTorzsfm* first) {
            outer = first;
            whenModal([first](QWidget* w) { return w != first; },
                      [&](TTorzsfm* second) {
                          inner = second;
                          second->choose();
                      });
            TorzsCall nested;
            nested.tableSpec = QStringLiteral("TAVOLLET");
            nested.selectionMode = true;
            outerChosen = editors.OpenTorzs(nested);
            QCOMPARE(nested.values.value(0), QStringLiteral("BE"));
            first->back();
        });
        TorzsCall call;
        call.tableSpec = QStringLiteral("tavollet");
        QVERIFY(!editors.OpenTorzs(call));
        QVERIFY(outerChosen);
        QVERIFY(outer && inner && outer != inner);
        QCOMPARE(editors.editor(QStringLiteral("TAVOLLET")), outer);
        QVERIFY(outer->windowState() & Qt::WindowMaximized);
        // Reused at the next call.
        whenModal([&](TTorzsfm* again) {
            QCOMPARE(again, outer);
            again->back();
        });
        QVERIFY(!editors.OpenTorzs(call));
    }

    void missingTable()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QWidget owner;
        TorzsEditors editors(&owner);
        TorzsCall call;
        call.tableSpec = QStringLiteral("NINCSILYEN");
        QVERIFY(!editors.OpenTorzs(call));
        QCOMPARE(messages->texts, QStringList{QStringLiteral("Nincs ilyen tábla:NINCSILYEN")});
    }

    void sortAndFullLists()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("DELETE FROM TAVOLLET"));
        QVERIFY(db.exec("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('A1', 'Zárt nap')"));
        QVERIFY(db.exec("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('B2', 'Eső')"));
        OpenEditor o(QStringLiteral("TAVOLLET"));
        TTorzsfm& e = o.editor;
        QAbstractItemModelTester tester(e.grid()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(currentText(e, "KOD"), QStringLiteral("A1"));
        const int nameIndex = e.sortBox()->findText(QStringLiteral("Megnevezés"));
        QVERIFY2(nameIndex >= 0, qPrintable(QStringList([&] {
                                                QStringList l;
                                                for (int i = 0; i < e.sortBox()->count(); ++i)
                                                    l << e.sortBox()->itemText(i);
                                                return l;
                                            }())
                                                .join(",")));
        e.sortBy(nameIndex);
        QCOMPARE(e.data().model().value(0, QStringLiteral("KOD")).toString(), QStringLiteral("B2"));
        QCOMPARE(currentText(e, "KOD"), QStringLiteral("A1"));

        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("lista.pdf"));
        QString error;
        QVERIFY2(e.listToPdf(pdf, &error), qPrintable(error));
        const QString pages = pdfText(pdf);
        QVERIFY2(pages.contains(QStringLiteral("Távolléti jogcímek")), qPrintable(pages));
        QVERIFY(pages.contains(QStringLiteral("Eső")));
        QVERIFY(pages.indexOf(QStringLiteral("Eső")) < pages.indexOf(QStringLiteral("Zárt nap")));

        const QString sql = e.listToFile(dir.filePath(QStringLiteral("lista.sql")));
        QVERIFY(!sql.isEmpty());
        QFile file(sql);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString script = QString::fromUtf8(file.readAll());
        QVERIFY2(script.contains(QStringLiteral("Zárt nap")) &&
                     script.contains(QStringLiteral("TAVOLLET")),
                 qPrintable(script));
    }
    // The rights of whoever logged in decide what the menu's editors allow, and the change log
    // names that user.
    void twoUsersThroughTheMenu()
    {
        FrameworkDb fdb;
        QVERIFY(fdb.ok());
        ScriptedMessagesGuard messages;
        QTemporaryDir dir;
        paths::setProgramDir(dir.path()); // the last-user file
        QVERIFY(fdb.exec("DELETE FROM SZ_JUZER"));
        QVERIFY(fdb.exec("INSERT INTO SZ_JUZER (KOD, NEV, NEV2, JELSZO, JOGOK, AKTIV) VALUES "
                         "('KE', 'KOVACSE', 'Kovács Erzsébet', 'ALMA', 'W', 'I')"));
        QVERIFY(fdb.exec("INSERT INTO SZ_JUZER (KOD, NEV, NEV2, JELSZO, JOGOK, AKTIV) VALUES "
                         "('NP', 'NAGYP', 'Nagy Péter', 'KORTE', 'AB', 'I')"));
        QVERIFY(fdb.exec("DELETE FROM TAVOLLET"));
        QVERIFY(fdb.exec("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('BE', 'Betegség')"));
        QVERIFY(fdb.exec("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('SZ', 'Szabadság')"));
        QVERIFY(fdb.exec("DELETE FROM DOKU"));
        Tmivomainfm main;

        // An ordinary user: no control table opens, the dictionaries change, the stock is read
        // only.
        logInThroughTheMenu(main, QStringLiteral("NAGYP"), QStringLiteral("KORTE"));
        QCOMPARE(Tdm::instance().FrameworkRights, QStringLiteral("AB"));
        QCOMPARE(Tdm::instance().FrameworkUser, QStringLiteral("NAGYP"));
        const struct {
            const char* component;
            const char* title;
        } control[] = {{"sz_juzer", "Felhasználók, jelszavak"},
                       {"vezerlo", "Beviteli mezők, jogosultságok"},
                       {"menuk", "Menüpont jogosultságok"},
                       {"tablak", "Táblák nevei, jogosultságok"},
                       {"Kivlasztsutnirtkadsok1", "Kiválasztás utáni értékadások"}};
        for (const auto& c : control) {
            messages->texts.clear();
            main.action(QLatin1String(c.component))->trigger();
            QCOMPARE(messages->texts,
                     QStringList{u"Önnek nincs joga az alábbi táblát megtekinteni:\r"_s +
                                 QString::fromUtf8(c.title)});
        }
        bool access = false;
        whenModal([&](TTorzsfm* e) {
            access = e->hasAccess();
            e->search(u"SZ"_s);
            e->modify();
            e->panel()->input(u"NEV"_s)->setValue(u"Fizetett szabadság"_s);
            e->store();
            e->search(u"BE"_s);
            e->deleteRecord();
            e->back();
        });
        main.action(u"tavolletek"_s)->trigger();
        QVERIFY(access);
        QCOMPARE(
            db::scalar(u"d_mivo"_s, u"SELECT list(KOD || '=' || NEV) FROM TAVOLLET"_s).toString(),
            u"SZ=Fizetett szabadság"_s);
        access = true;
        whenModal([&](TTorzsfm* e) {
            access = e->hasAccess();
            e->back();
        });
        main.action(u"keszlet"_s)->trigger();
        QVERIFY(!access);

        // The administrator opens the users; their passwords stay off the grid, lists and exports.
        logInThroughTheMenu(main, QStringLiteral("KOVACSE"), QStringLiteral("ALMA"));
        QCOMPARE(Tdm::instance().FrameworkRights, QStringLiteral("W"));
        QCOMPARE(Tdm::instance().FrameworkUser, QStringLiteral("KOVACSE"));
        QStringList titles;
        QString pdf, exported;
        whenModal([&](TTorzsfm* e) {
            access = e->hasAccess();
            titles = gridTitles(*e);
            QString error;
            if (e->listToPdf(dir.filePath(u"juzer.pdf"_s), &error))
                pdf = pdfText(dir.filePath(u"juzer.pdf"_s));
            QFile file(e->listToFile(dir.filePath(u"juzer.sql"_s)));
            if (file.open(QIODevice::ReadOnly))
                exported = QString::fromUtf8(file.readAll());
            e->search(u"NP"_s);
            e->modify();
            e->panel()->input(u"JOGOK"_s)->setValue(u"ABC"_s);
            e->store();
            e->back();
        });
        main.action(u"sz_juzer"_s)->trigger();
        QVERIFY(access);
        QVERIFY2(titles.contains(u"Név"_s) && !titles.contains(u"Jelszó"_s),
                 qPrintable(titles.join(u',')));
        QVERIFY2(pdf.contains(u"NAGYP"_s) && !pdf.contains(u"KORTE"_s), qPrintable(pdf));
        QVERIFY2(exported.contains(u"NAGYP"_s) && !exported.contains(u"KORTE"_s) &&
                     !exported.contains(u"JELSZO"_s),
                 qPrintable(exported));
        QCOMPARE(db::scalar(u"d_mivo"_s, u"SELECT JOGOK FROM SZ_JUZER WHERE KOD='NP'"_s).toString(),
                 u"ABC"_s);

        // Every change log row names its user.
        db::Query q(u"d_mivo"_s);
        q.setSql(u"SELECT JUZER, TABLA, AKCIO, MEZO, MIRE FROM DOKU "
                 "ORDER BY JUZER, TABLA, AKCIO"_s);
        QVERIFY2(q.exec(), qPrintable(q.lastError()));
        QStringList rows;
        while (q.next())
            rows << QStringList{q.text(u"JUZER"_s), q.text(u"TABLA"_s), q.text(u"AKCIO"_s),
                                q.text(u"MEZO"_s), q.text(u"MIRE"_s)}
                        .join(u'|');
        QCOMPARE(rows, (QStringList{u"KOVACSE|SZ_JUZER|U|JOGOK|ABC"_s, u"NAGYP|TAVOLLET|D||"_s,
                                    u"NAGYP|TAVOLLET|U|NEV|Fizetett szabadság"_s}));
    }
    // An editor kept from an earlier login follows the field rights of the user logged in now.
    void fieldRightsFollowANewLogin()
    {
        FrameworkDb fdb;
        QVERIFY(fdb.ok());
        ScriptedMessagesGuard messages;
        QTemporaryDir dir;
        paths::setProgramDir(dir.path());
        QVERIFY(fdb.exec("DELETE FROM SZ_JUZER"));
        QVERIFY(fdb.exec("INSERT INTO SZ_JUZER (KOD, NEV, JELSZO, JOGOK, AKTIV) VALUES "
                         "('KE', 'KOVACSE', 'ALMA', 'W', 'I')"));
        QVERIFY(fdb.exec("INSERT INTO SZ_JUZER (KOD, NEV, JELSZO, JOGOK, AKTIV) VALUES "
                         "('NP', 'NAGYP', 'KORTE', 'AB', 'I')"));
        QVERIFY(fdb.exec("DELETE FROM TAVOLLET"));
        QVERIFY(fdb.exec("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('BE', 'Betegség')"));
        QVERIFY(fdb.exec(
            "UPDATE VEZERLO SET IRHATJA_JOG = 'W' WHERE MODUL = 'TAVOLLET' AND MEZO = 'NEV'"));
        Tmivomainfm main;
        QList<TTorzsfm*> editors;
        QList<bool> nameEditable;
        const auto openAbsences = [&] {
            whenModal([&](TTorzsfm* e) {
                editors << e;
                e->modify();
                nameEditable << input(*e, "NEV")->isEditable();
                e->cancel();
                e->back();
            });
            main.action(u"tavolletek"_s)->trigger();
        };
        logInThroughTheMenu(main, u"KOVACSE"_s, u"ALMA"_s);
        openAbsences();
        logInThroughTheMenu(main, u"NAGYP"_s, u"KORTE"_s);
        openAbsences();
        QCOMPARE(editors.size(), 2);
        QCOMPARE(editors[0], editors[1]);
        QCOMPARE(nameEditable, (QList<bool>{true, false}));
        QVERIFY2(messages->texts.isEmpty(), qPrintable(messages->texts.join(u'\n')));
    }
};

QTEST_MAIN(TestTorzs)
#include "tst_torzs.moc"
