#include "frameworkdb.h"

#include "core/messages.h"
#include "framework/formpanel.h"
#include "framework/numberformat.h"
#include "framework/panelinput.h"
#include "framework/parabutton.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QSqlField>
#include <QTest>
#include <QTimer>

using namespace mivo;

namespace
{

// Rows that use every check, button and button function of the builder.
const char* const panelRows[] = {
    "'010', 'KOD', 'Kód', 'Kód', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL",
    "'020', 'NEV', 'Név', 'Név', NULL, NULL, NULL, NULL, 98, NULL, NULL, NULL, NULL, NULL, NULL",
    "'030', NULL, 'Adatok', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL",
    "'040', 'DATUM', 'Dátum', NULL, NULL, NULL, NULL, NULL, 1, NULL, NULL, NULL, NULL, NULL, NULL",
    "'050', 'DATUM2', 'Dátum 2', NULL, 'DATE', NULL, NULL, NULL, 4, NULL, NULL, NULL, NULL, NULL, "
    "NULL",
    "'060', 'NETTO', 'Nettó', NULL, NULL, NULL, NULL, NULL, 5, NULL, NULL, NULL, NULL, NULL, NULL",
    "'070', 'BRUTTO', 'Bruttó', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
    "NULL",
    "'080', 'MENNY', 'Mennyiség', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
    "NULL, NULL",
    "'090', 'EGYSAR', 'Egységár', NULL, NULL, NULL, NULL, NULL, 6, 'MENNY', NULL, NULL, NULL, "
    "NULL, NULL",
    "'100', 'ERTEK', 'Érték', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
    "NULL",
    "'110', 'NAGY', 'Nagy', NULL, NULL, NULL, NULL, NULL, 7, NULL, NULL, NULL, NULL, NULL, NULL",
    "'120', 'KICSI', 'Kicsi', NULL, NULL, NULL, NULL, NULL, 11, NULL, NULL, NULL, NULL, NULL, NULL",
    "'130', 'NORM', 'Normál', NULL, NULL, NULL, NULL, NULL, 99, NULL, NULL, NULL, NULL, NULL, NULL",
    "'140', 'KOTELEZO', 'Kötelező', NULL, NULL, NULL, NULL, NULL, 2, NULL, NULL, NULL, NULL, NULL, "
    "NULL",
    "'150', 'NULLA', 'Nem nulla', NULL, NULL, NULL, NULL, NULL, 3, NULL, NULL, NULL, NULL, NULL, "
    "NULL",
    "'160', 'ADOSZAM', 'Adószám', NULL, NULL, NULL, NULL, NULL, 101, NULL, NULL, NULL, NULL, NULL, "
    "NULL",
    "'170', 'SZULDAT', 'Született', NULL, NULL, NULL, NULL, NULL, 103, NULL, NULL, NULL, NULL, "
    "NULL, NULL",
    "'180', 'TAJ', 'TAJ', NULL, NULL, NULL, NULL, NULL, 102, NULL, NULL, NULL, NULL, NULL, NULL",
    "'190', 'AR', 'Ár', 'Ár', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, '#,##0.00', "
    "NULL",
    "'200', 'TIPUS', 'Típus', 'Típus', 'SZOT', 'aru,keszulek', '$ARU.JELLEG=''K''', 'BELSOKOD', "
    "NULL, NULL, 1, "
    "'ARU.NEV,BELSOKOD=TIPUS', NULL, NULL, NULL",
    "'210', 'IRSZAM', 'Irányítószám', NULL, 'SZOT', 'IRSZAM', NULL, 'IRSZAM', 2, NULL, NULL, NULL, "
    "NULL, NULL, "
    "'IRSZAM_VAROS'",
    "'220', 'VAROS', 'Város', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
    "NULL",
    "'230', 'CSOPORTOK', 'Csoportok', NULL, 'SZOT', 'CSOPORT1', NULL, 'KOD', NULL, NULL, 999, "
    "NULL, NULL, NULL, NULL",
    "'240', 'AKTIV', 'Aktív', NULL, 'IN', NULL, NULL, NULL, NULL, NULL, 0, NULL, NULL, NULL, NULL",
    "'250', 'FAJL', 'Fájl', NULL, 'TEXT', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
    "NULL",
    "'260', NULL, NULL, NULL, 'PIX', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL",
    "'270', NULL, NULL, NULL, 'FORM', NULL, NULL, NULL, NULL, NULL, 52, NULL, NULL, NULL, NULL",
    "'280', 'UGYFELKOD', 'Ügyfél', NULL, 'VALT', 'UGYFEL', 'UGYFEL.NEV=#NEV', 'KOD', NULL, NULL, "
    "NULL, NULL, NULL, "
    "NULL, NULL",
    "'290', 'REJTETT', 'Rejtett', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
    "'<rejt>', NULL",
    "'300', 'TITOK', 'Titok', 'Titok', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 'X', NULL, "
    "NULL",
    "'310', 'MEGJ', 'Megjegyzés', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
    "NULL, NULL",
    "'320', 'JEL', 'Jel', NULL, 'XY', NULL, NULL, NULL, NULL, NULL, 2, NULL, NULL, NULL, NULL",
    "'330', 'ZAROLT', 'Zárolt', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
    "NULL",
};

/// The generic editor as a lookup reaches it: records each call and answers with a row.
class RecordingOpener : public TorzsOpener
{
public:
    bool OpenTorzs(TorzsCall& call) override
    {
        calls << call;
        if (!choose)
            return false;
        call.selected = chosen;
        return true;
    }
    void markForRereading(const QString&) override {}
    QList<TorzsCall> calls;
    bool choose = false;
    ASelectedRecord chosen;
};

class RecordingTextEditor : public TextFileEditor
{
public:
    void editFile(const QString& fileName) override { files << fileName; }
    QStringList files;
};

} // namespace

class TestFormPanel : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FrameworkDb> m_db;
    std::unique_ptr<QWidget> m_window;
    QWidget* m_container = nullptr;
    FormPanel* m_panel = nullptr;
    RecordingOpener m_opener;
    int m_lines = 0;
    QStringList m_fieldNames;
    QStringList m_captions;
    QList<GridColumn> m_grid;

    PanelEdit* edit(const QString& field) const
    {
        return m_container->findChild<PanelEdit*>(QStringLiteral("E_") + field);
    }
    TParaButton* button(const QString& key) const
    {
        return m_container->findChild<TParaButton*>(QStringLiteral("B_") + key);
    }

    void type(QWidget* w, const QString& text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    // Focuses the field, types the text and moves the focus on to the receiver.
    void leave(const QString& field, const QString& text, QWidget* receiver)
    {
        PanelEdit* e = edit(field);
        e->setFocus();
        QApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), e);
        e->clear();
        type(e, text);
        receiver->setFocus();
        QApplication::processEvents();
        QApplication::processEvents();
    }

    int build(const QString& module, const QString& select)
    {
        db::Query structure(Tdm::connectionName);
        structure.setSql(select);
        if (!structure.exec()) {
            QTest::qFail(qPrintable(structure.lastError()), __FILE__, __LINE__);
            return -1;
        }
        m_lines = FormPanel::BuildPanel(m_container, module, {}, FormPanel::singleColumn,
                                        &m_fieldNames, &m_captions, &m_grid, structure);
        m_panel = FormPanel::of(m_container);
        return m_lines;
    }

private slots:
    void init()
    {
        m_db = std::make_unique<FrameworkDb>();
        QVERIFY2(m_db->ok(), qPrintable(m_db->db.error()));
        QVERIFY(m_db->exec(QStringLiteral(
            "CREATE TABLE PANELTESZT (KOD INTEGER NOT NULL PRIMARY KEY, NEV VARCHAR(40), DATUM "
            "VARCHAR(10), "
            "DATUM2 VARCHAR(10), NETTO VARCHAR(15), BRUTTO VARCHAR(15), MENNY VARCHAR(10), EGYSAR "
            "VARCHAR(10), "
            "ERTEK VARCHAR(15), NAGY VARCHAR(20), KICSI VARCHAR(20), NORM VARCHAR(40), KOTELEZO "
            "VARCHAR(10), "
            "NULLA VARCHAR(10), ADOSZAM VARCHAR(10), SZULDAT VARCHAR(10), TAJ VARCHAR(9), AR "
            "DOUBLE PRECISION, "
            "TIPUS INTEGER, IRSZAM VARCHAR(4), VAROS VARCHAR(40), CSOPORTOK VARCHAR(60), AKTIV "
            "VARCHAR(1), "
            "FAJL VARCHAR(100), UGYFELKOD INTEGER, REJTETT VARCHAR(10), TITOK VARCHAR(10), "
            "MEGJ BLOB SUB_TYPE TEXT, JEL VARCHAR(2), ZAROLT VARCHAR(10))")));
        // One commit for the rows: each commit waits for the disk.
        db::Transaction rows(QStringLiteral("d_mivo"));
        for (const char* row : panelRows)
            QVERIFY(m_db->exec(
                QStringLiteral(
                    "INSERT INTO VEZERLO (SORREND, MEZO, MEGNEVEZES, OSZLOPNEV, BUTTON, SZOT_, "
                    "SZOTWHERE, SZOTMEZO, VALID, VALT_MEZO, FUNKCIO, PLUSFIELD1, NEZHETI_JOG, "
                    "EDITMASK, PVEZERLO, MODUL) VALUES (") +
                QString::fromUtf8(row) + QStringLiteral(", 'PANELTESZT')")));
        QVERIFY(m_db->exec(QStringLiteral(
            "UPDATE VEZERLO SET NOTNULL = 'i' WHERE MODUL = 'PANELTESZT' AND MEZO = 'NEV'")));
        QVERIFY(m_db->exec(QStringLiteral("UPDATE VEZERLO SET IRHATJA_JOG = 'X' WHERE MODUL = "
                                          "'PANELTESZT' AND MEZO = 'ZAROLT'")));
        QVERIFY(m_db->exec(QStringLiteral(
            "UPDATE VEZERLO SET CHARCASE = 'N' WHERE MODUL = 'PANELTESZT' AND MEZO = 'NAGY'")));
        QVERIFY(m_db->exec(QStringLiteral(
            "UPDATE VEZERLO SET PLUSFIELD1H = 30 WHERE MODUL = 'PANELTESZT' AND MEZO = 'TIPUS'")));
        QVERIFY(m_db->exec(QStringLiteral(
            "INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (7, 'K7', 'Kombi 24', 'K')")));
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO UGYFEL (KOD, NEV) VALUES (5, 'O''Brien')")));
        QVERIFY2(rows.commit(), qPrintable(rows.lastError()));

        m_window = std::make_unique<QWidget>();
        m_window->resize(900, 700);
        m_container = new QWidget(m_window.get());
        m_container->setGeometry(0, 0, 900, 1400);
        m_opener = RecordingOpener();
        setTorzsOpener(&m_opener);
        QVERIFY(build(QStringLiteral("PANELTESZT"),
                      QStringLiteral("Select * From PANELTESZT where 1=2")) > 0);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        setTorzsOpener(nullptr);
        m_window.reset();
        m_db.reset();
    }

    void buildsEveryRowKind()
    {
        QVERIFY(m_panel);
        QCOMPARE(m_panel->table(), QStringLiteral("PANELTESZT"));
        // 32 visible rows, the memo two lines more.
        QCOMPARE(m_lines, 34);
        QCOMPARE(m_container->findChild<QLabel*>(QStringLiteral("L_NEV"))->text(),
                 QStringLiteral(" Név"));
        QCOMPARE(m_container->findChild<QLabel*>(QStringLiteral("L_030"))->text(),
                 QStringLiteral(" Adatok"));
        // The removed row leaves no trace.
        QVERIFY(!m_container->findChild<QWidget*>(QStringLiteral("E_TITOK")));
        QVERIFY(!m_container->findChild<QWidget*>(QStringLiteral("L_TITOK")));
        QVERIFY(!m_fieldNames.contains(QStringLiteral("TITOK")));
        QVERIFY(!m_captions.contains(QStringLiteral("Titok")));
        QCOMPARE(m_grid.size(), 4);
        QCOMPARE(m_grid[3].field, QStringLiteral("TIPUS"));
        QCOMPARE(m_captions.first(), QStringLiteral("Kód"));
        QCOMPARE(m_captions[1], QStringLiteral("Név"));
        QCOMPARE(m_captions[2], QStringLiteral("DATUM"));
        // Required: declared NOT NULL, or NOTNULL "I" in any case.
        QVERIFY(edit(QStringLiteral("KOD"))->isRequired());
        QVERIFY(edit(QStringLiteral("NEV"))->isRequired());
        QVERIFY(!edit(QStringLiteral("VAROS"))->isRequired());
        QCOMPARE(edit(QStringLiteral("KOD"))->palette().color(QPalette::Base), QColor(Qt::yellow));
        QCOMPARE(edit(QStringLiteral("NEV"))->maxLength(), 40);
        QCOMPARE(edit(QStringLiteral("KOD"))->maxLength(), 10);
        QCOMPARE(edit(QStringLiteral("AR"))->maxLength(), 15);
        QVERIFY(!edit(QStringLiteral("ZAROLT"))->isEnabled());
        QVERIFY(edit(QStringLiteral("NEV"))->isEnabled());
        QCOMPARE(edit(QStringLiteral("NAGY"))->charCase(), PanelEdit::Case::Upper);
        // A concealed input exists, out of sight and out of the tab order, and takes no room.
        PanelEdit* hidden = edit(QStringLiteral("REJTETT"));
        QVERIFY(hidden && hidden->isHidden());
        QCOMPARE(hidden->pos(), QPoint(0, 0));
        QCOMPARE(hidden->focusPolicy(), Qt::NoFocus);
        QVERIFY(m_container->findChild<QPlainTextEdit*>(QStringLiteral("E_MEGJ")));

        struct Expected {
            const char* key;
            const char* caption;
            const char* hint;
        };
        const Expected buttons[] = {
            {"TIPUS", "?", "Választás szótárból"},
            {"UGYFELKOD", "+", "További információk"},
            {"DATUM2", "Nap", ""},
            {"FAJL", "Text", "Szövegfájl szerkesztése"},
            {"260", "Kép", "Kép megjelenítése"},
            {"270", "Ügyfél", "Ügyfél kiválasztása"},
            {"AKTIV", "IN", "Megadható értékek: IN"},
            {"JEL", "Memo", "Megadható értékek: XY"},
        };
        for (const Expected& b : buttons) {
            TParaButton* pb = button(QString::fromUtf8(b.key));
            QVERIFY2(pb, b.key);
            QCOMPARE(pb->text(), QString::fromUtf8(b.caption));
            QCOMPARE(pb->toolTip(), QString::fromUtf8(b.hint));
        }
        QVERIFY(button(QStringLiteral("JEL"))->isHidden());
        TParaButton* tipus = button(QStringLiteral("TIPUS"));
        QCOMPARE(tipus->param1, QStringLiteral("TIPUS"));
        QCOMPARE(tipus->param2, QStringLiteral("aru,keszulek"));
        QCOMPARE(tipus->param3, 1);
        QCOMPARE(tipus->param5, QStringLiteral("$ARU.JELLEG='K'"));
        QCOMPARE(tipus->param6, QStringLiteral("BELSOKOD"));
        QCOMPARE(tipus->param7, QStringLiteral("ARU.NEV,BELSOKOD=TIPUS"));
        QCOMPARE(button(QStringLiteral("IRSZAM"))->param4, QStringLiteral("IRSZAM_VAROS"));
        QCOMPARE(button(QStringLiteral("260"))->param1, QStringLiteral("PIX_260"));
        QVERIFY(m_container->findChild<QLabel*>(QStringLiteral("PF1_TIPUS")));
        QCOMPARE(m_panel->infoCount(), 1);
    }

    void checksWhenLeaving_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("focusBack");
        QTest::newRow("date ok") << "DATUM"
                                 << "2024.02.29"
                                 << "2024.02.29" << QStringList() << false;
        QTest::newRow("date bad") << "DATUM"
                                  << "2023.02.29"
                                  << "2023.02.29"
                                  << QStringList{QStringLiteral("Hibás dátum.\n2023.02.29")}
                                  << true;
        QTest::newRow("date or empty, empty") << "DATUM2"
                                              << ""
                                              << "" << QStringList() << false;
        QTest::newRow("date or empty, bad")
            << "DATUM2"
            << "2024.13.01"
            << "2024.13.01" << QStringList{QStringLiteral("Hibás dátum.\n2024.13.01")} << true;
        QTest::newRow("required, blank")
            << "KOTELEZO"
            << "  "
            << "  " << QStringList{QStringLiteral("Kötelező kitölteni.")} << true;
        QTest::newRow("required, filled") << "KOTELEZO"
                                          << "x"
                                          << "x" << QStringList() << false;
        QTest::newRow("not zero, zero")
            << "NULLA"
            << "0"
            << "0" << QStringList{QStringLiteral("Nem lehet nulla.")} << true;
        QTest::newRow("not zero, empty")
            << "NULLA"
            << ""
            << "" << QStringList{QStringLiteral("Nem lehet nulla.")} << true;
        QTest::newRow("number, lone minus")
            << "NETTO"
            << "-"
            << "-" << QStringList{QStringLiteral("Nem jó szám.")} << true;
        QTest::newRow("number, several commas")
            << "NETTO"
            << "1,2,3"
            << "1,2,3" << QStringList{QStringLiteral("Nem jó szám.")} << true;
        QTest::newRow("upper") << "NAGY"
                               << "árvíz"
                               << "ÁRVÍZ" << QStringList() << false;
        QTest::newRow("lower") << "KICSI"
                               << "ÁRVÍZ Tűrő"
                               << "árvíz tűrő" << QStringList() << false;
        QTest::newRow("normalise") << "NORM"
                                   << " kis-pál (ifj.)"
                                   << "Kis-Pál (Ifj.)" << QStringList() << false;
        QTest::newRow("normalise required, empty")
            << "NEV"
            << " "
            << " " << QStringList{QStringLiteral("Kötelező kitölteni.")} << true;
        QTest::newRow("normalise required") << "NEV"
                                            << "nagy éva"
                                            << "Nagy Éva" << QStringList() << false;
        QTest::newRow("tax number bad")
            << "ADOSZAM"
            << "8414381007"
            << "8414381007" << QStringList{QStringLiteral("Hibás adóazonosító.")} << true;
        QTest::newRow("tax number ok") << "ADOSZAM"
                                       << "8414381006"
                                       << "8414381006" << QStringList() << false;
        QTest::newRow("social security bad")
            << "TAJ"
            << "123456789"
            << "123456789" << QStringList{QStringLiteral("Hibás TAJszám.")} << true;
        QTest::newRow("social security ok") << "TAJ"
                                            << "123456788"
                                            << "123456788" << QStringList() << false;
        QTest::newRow("social security empty") << "TAJ"
                                               << ""
                                               << "" << QStringList() << false;
    }
    void checksWhenLeaving()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QStringList, messages);
        QFETCH(bool, focusBack);
        ScriptedMessagesGuard guard;
        PanelEdit* elsewhere = edit(QStringLiteral("VAROS"));
        leave(field, typed, elsewhere);
        QCOMPARE(guard->texts, messages);
        QCOMPARE(edit(field)->text(), shown);
        QCOMPARE(QApplication::focusWidget(),
                 focusBack ? static_cast<QWidget*>(edit(field)) : elsewhere);
        QCOMPARE(edit(field)->isInvalid(), focusBack);
        // Left again, the check runs again.
        if (focusBack) {
            elsewhere->setFocus();
            QApplication::processEvents();
            QApplication::processEvents();
            QCOMPARE(guard->texts.size(), messages.size() * 2);
        }
    }

    void computedFieldsGoToTheNextEditableInput()
    {
        ScriptedMessagesGuard guard;
        // Whatever takes the focus, the result lands in the next input of the panel.
        leave(QStringLiteral("NETTO"), QStringLiteral("100"), edit(QStringLiteral("KOD")));
        QCOMPARE(edit(QStringLiteral("BRUTTO"))->text(), QStringLiteral("127"));
        QCOMPARE(edit(QStringLiteral("KOD"))->text(), QString());
        edit(QStringLiteral("MENNY"))->setValue(QStringLiteral("3"));
        leave(QStringLiteral("EGYSAR"), QStringLiteral("2,5"), button(QStringLiteral("AKTIV")));
        QCOMPARE(edit(QStringLiteral("ERTEK"))->text(), QStringLiteral("7,5"));
        QCOMPARE(button(QStringLiteral("AKTIV"))->text(), QStringLiteral("IN"));
        QVERIFY(guard->texts.isEmpty());
    }

    void taxNumberAgainstBirthDate_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("focused");
        QTest::newRow("tax, yes") << "ADOSZAM" << 0 << "SZULDAT";
        QTest::newRow("tax, no") << "ADOSZAM" << 1 << "ADOSZAM";
        QTest::newRow("date, yes") << "SZULDAT" << 0 << "ADOSZAM";
        QTest::newRow("date, no") << "SZULDAT" << 1 << "SZULDAT";
    }
    void taxNumberAgainstBirthDate()
    {
        QFETCH(QString, field);
        QFETCH(int, answer);
        QFETCH(QString, focused);
        ScriptedMessagesGuard guard;
        guard->queueAnswers({answer});
        edit(QStringLiteral("ADOSZAM"))->setValue(QStringLiteral("8414391001"));
        edit(QStringLiteral("SZULDAT"))->setValue(QStringLiteral("1980.06.15"));
        const QString typed = edit(field)->text();
        leave(field, typed, edit(QStringLiteral("VAROS")));
        QCOMPARE(guard->texts.size(), 1);
        QVERIFY(guard->texts[0].startsWith(
            QStringLiteral("FIGYELEM!!! Az adószám és a születési dátum egymásnak "
                           "ellentmondó adatot tartalmaz! ")));
        QVERIFY(guard->texts[0].endsWith(
            QStringLiteral("1980.06.15 -> 841438nnnn 8414391001\r8414391001 -> 1980.06.16 "
                           "1980.06.15")));
        QVERIFY(guard->texts[0].contains(field == QLatin1String("ADOSZAM")
                                             ? QStringLiteral("Jó az adószám?")
                                             : QStringLiteral("Jó a dátum?")));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit(focused)));
    }

    void leavingTowardsOwnButtonChecksNothing()
    {
        ScriptedMessagesGuard guard;
        leave(QStringLiteral("DATUM2"), QStringLiteral("hibás"), button(QStringLiteral("DATUM2")));
        QVERIFY(guard->texts.isEmpty());
        QCOMPARE(QApplication::focusWidget(),
                 static_cast<QWidget*>(button(QStringLiteral("DATUM2"))));
    }

    void lookupOnExitFindsTheTypedValue()
    {
        ScriptedMessagesGuard guard;
        leave(QStringLiteral("TIPUS"), QStringLiteral("7"), edit(QStringLiteral("VAROS")));
        QVERIFY(m_opener.calls.isEmpty());
        QCOMPARE(edit(QStringLiteral("TIPUS"))->text(), QStringLiteral("7"));
        QCOMPARE(m_container->findChild<QLabel*>(QStringLiteral("PF1_TIPUS"))->text(),
                 QStringLiteral("Kombi 24"));
        QVERIFY(guard->texts.isEmpty());
    }

    void lookupOnExitOpensThePickerWithTheTypedText()
    {
        ScriptedMessagesGuard guard;
        m_opener.choose = true;
        QVERIFY(FormPanel::LookupExact(QStringLiteral("7"), QStringLiteral("ARU,KESZULEK"),
                                       QStringLiteral("BELSOKOD"), &m_opener.chosen));
        leave(QStringLiteral("TIPUS"), QStringLiteral("9"), edit(QStringLiteral("VAROS")));
        QCOMPARE(m_opener.calls.size(), 1);
        const TorzsCall& call = m_opener.calls[0];
        QCOMPARE(call.tableSpec, QStringLiteral("ARU,KESZULEK"));
        QCOMPARE(call.condition, QStringLiteral("ARU.JELLEG='K'"));
        QCOMPARE(call.searchText, QStringLiteral("9"));
        QVERIFY(call.selectionMode);
        // The picker's defaults for a new type come from DIFOLC.
        QCOMPARE(call.names, (QStringList{QStringLiteral("JELLEG"), QStringLiteral("AKTIV")}));
        QCOMPARE(call.values, (QStringList{QStringLiteral("K"), QStringLiteral("I")}));
        QCOMPARE(edit(QStringLiteral("TIPUS"))->text(), QStringLiteral("7"));
        QCOMPARE(m_container->findChild<QLabel*>(QStringLiteral("PF1_TIPUS"))->text(),
                 QStringLiteral("Kombi 24"));
        // The focus comes back to the field after the choice.
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit(QStringLiteral("TIPUS"))));
    }

    void emptyOptionalLookupIsNotLookedUp()
    {
        ScriptedMessagesGuard guard;
        leave(QStringLiteral("CSOPORTOK"), QString(), edit(QStringLiteral("VAROS")));
        QVERIFY(m_opener.calls.isEmpty());
    }

    void choiceFillsSeveralFields()
    {
        ScriptedMessagesGuard guard;
        m_opener.choose = true;
        QVERIFY(FormPanel::LookupExact(QStringLiteral("6720"), QStringLiteral("IRSZAM"),
                                       QStringLiteral("IRSZAM"), &m_opener.chosen));
        edit(QStringLiteral("VAROS"))->setValue(QStringLiteral("régi"));
        QTest::mouseClick(button(QStringLiteral("IRSZAM")), Qt::LeftButton);
        QCOMPARE(m_opener.calls.size(), 1);
        QCOMPARE(m_opener.calls[0].names,
                 (QStringList{QStringLiteral("IRSZAM"), QStringLiteral("HELYSEG")}));
        QCOMPARE(m_opener.calls[0].values, (QStringList{QString(), QStringLiteral("régi")}));
        QCOMPARE(edit(QStringLiteral("IRSZAM"))->text(), QStringLiteral("6720"));
        QCOMPARE(edit(QStringLiteral("VAROS"))->text(), QStringLiteral("Szeged"));
        // Typed and left, an existing code fills the town the same way.
        leave(QStringLiteral("IRSZAM"), QStringLiteral("9021"), edit(QStringLiteral("NEV")));
        QCOMPARE(edit(QStringLiteral("VAROS"))->text(), QStringLiteral("Győr"));
        QCOMPARE(m_opener.calls.size(), 1);
    }

    void tabToTheOwnButtonLooksUp()
    {
        ScriptedMessagesGuard guard;
        const auto tabFrom = [&](const QString& text) {
            PanelEdit* e = edit(QStringLiteral("IRSZAM"));
            e->setFocus();
            QApplication::processEvents();
            e->clear();
            type(e, text);
            QTest::keyClick(e, Qt::Key_Tab);
            QApplication::processEvents();
            QApplication::processEvents();
        };
        edit(QStringLiteral("VAROS"))->setValue(QString());
        tabFrom(QStringLiteral("9021"));
        QCOMPARE(QApplication::focusWidget(),
                 static_cast<QWidget*>(button(QStringLiteral("IRSZAM"))));
        QCOMPARE(edit(QStringLiteral("VAROS"))->text(), QStringLiteral("Győr"));
        QVERIFY(m_opener.calls.isEmpty());
        // An unknown code is offered the chooser, once.
        tabFrom(QStringLiteral("1"));
        QCOMPARE(m_opener.calls.size(), 1);
        QCOMPARE(m_opener.calls[0].searchText, QStringLiteral("1"));
    }

    void commaListAddsWholeElementsOnce()
    {
        ScriptedMessagesGuard guard;
        m_opener.choose = true;
        TParaButton* b = button(QStringLiteral("CSOPORTOK"));
        const auto choose = [&](const QString& kod) {
            QVERIFY(FormPanel::LookupExact(kod, QStringLiteral("CSOPORT1"), QStringLiteral("KOD"),
                                           &m_opener.chosen));
            QTest::mouseClick(b, Qt::LeftButton);
        };
        choose(QStringLiteral("KOMBI"));
        choose(QStringLiteral("KOND"));
        choose(QStringLiteral("KOMBI"));
        QCOMPARE(edit(QStringLiteral("CSOPORTOK"))->text(), QStringLiteral("KOMBI,KOND"));
        // "KOND" is in the list, "KON" is not.
        edit(QStringLiteral("CSOPORTOK"))->setValue(QStringLiteral("KONDX"));
        choose(QStringLiteral("KOND"));
        QCOMPARE(edit(QStringLiteral("CSOPORTOK"))->text(), QStringLiteral("KONDX,KOND"));
    }

    void infoButtonViewsAndRefusesWhileInserting()
    {
        ScriptedMessagesGuard guard;
        edit(QStringLiteral("NEV"))->setValue(QStringLiteral("O'Brien"));
        QTest::mouseClick(button(QStringLiteral("UGYFELKOD")), Qt::LeftButton);
        QCOMPARE(m_opener.calls.size(), 1);
        QVERIFY(!m_opener.calls[0].selectionMode);
        QCOMPARE(m_opener.calls[0].condition, QStringLiteral("UGYFEL.NEV='O''Brien'"));
        m_panel->setInserting(true);
        QTest::mouseClick(button(QStringLiteral("UGYFELKOD")), Qt::LeftButton);
        QCOMPARE(m_opener.calls.size(), 1);
        QCOMPARE(guard->texts, QStringList{QStringLiteral("Előbb fejezze be az új felvitelt.")});
    }

    void valueListCycles()
    {
        PanelEdit* e = edit(QStringLiteral("AKTIV"));
        QStringList seen;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(button(QStringLiteral("AKTIV")), Qt::LeftButton);
            seen << e->text();
        }
        QCOMPARE(seen,
                 (QStringList{QStringLiteral("I"), QStringLiteral("N"), QStringLiteral("I")}));
    }

    void dateAndTextButtons()
    {
        RecordingTextEditor texts;
        setTextFileEditor(&texts);
        edit(QStringLiteral("FAJL"))->setValue(QStringLiteral("/tmp/levél.txt"));
        QTest::mouseClick(button(QStringLiteral("FAJL")), Qt::LeftButton);
        setTextFileEditor(nullptr);
        QCOMPARE(texts.files, QStringList{QStringLiteral("/tmp/levél.txt")});

        edit(QStringLiteral("DATUM2"))->setValue(QStringLiteral("20240203"));
        bool shown = false;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                shown = true;
                dialog->accept();
            }
        });
        poll.start();
        QTest::mouseClick(button(QStringLiteral("DATUM2")), Qt::LeftButton);
        poll.stop();
        QVERIFY(shown);
        QCOMPARE(edit(QStringLiteral("DATUM2"))->text(), QStringLiteral("20240203"));
    }

    void keysFollowTheColumn()
    {
        PanelEdit* kod = edit(QStringLiteral("KOD"));
        kod->setFocus();
        QTest::keyClicks(kod, QStringLiteral("1a2-"));
        QCOMPARE(kod->text(), QStringLiteral("12-"));
        PanelEdit* nagy = edit(QStringLiteral("NAGY"));
        nagy->setFocus();
        type(nagy, QStringLiteral("ab"));
        QCOMPARE(nagy->text(), QStringLiteral("AB"));
        // Enter moves to the next input, skipping the disabled and the hidden ones; Up goes back.
        edit(QStringLiteral("JEL"))->setFocus();
        QTest::keyClick(edit(QStringLiteral("JEL")), Qt::Key_Return);
        QVERIFY(QApplication::focusWidget() != edit(QStringLiteral("ZAROLT")));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit(QStringLiteral("JEL"))));
        QTest::keyClick(edit(QStringLiteral("JEL")), Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(),
                 m_container->findChild<QWidget*>(QStringLiteral("E_MEGJ")));
    }

    void wholeNumberRefusesADecimal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("typed comma") << QStringLiteral("2,5");
        QTest::newRow("typed point") << QStringLiteral("2.5");
        QTest::newRow("lone minus") << QStringLiteral("-");
    }
    void wholeNumberRefusesADecimal()
    {
        QFETCH(QString, text);
        ScriptedMessagesGuard guard;
        leave(QStringLiteral("KOD"), text, edit(QStringLiteral("NEV")));
        QCOMPARE(guard->texts, QStringList{QStringLiteral("Nem jó szám.")});
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit(QStringLiteral("KOD"))));
        QCOMPARE(edit(QStringLiteral("KOD"))->text(), text);
        // A whole number passes.
        guard->texts.clear();
        leave(QStringLiteral("KOD"), QStringLiteral("25"), edit(QStringLiteral("NEV")));
        QVERIFY(guard->texts.isEmpty());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit(QStringLiteral("NEV"))));
    }

    void recordRoundTripKeepsEveryCharacter()
    {
        const QString longName = QStringLiteral("Árvíztűrő tükörfúrógép és ŐŰ kft 1234567");
        QCOMPARE(longName.size(), 40);
        db::Query ins(QStringLiteral("d_mivo"));
        ins.setSql(QStringLiteral("INSERT INTO PANELTESZT (KOD, NEV, AR, MEGJ, REJTETT, TIPUS) "
                                  "VALUES (1, :nev, 1234.5, :megj, 'rejtve', 7)"));
        ins.bind(QStringLiteral("nev"), longName);
        ins.bind(QStringLiteral("megj"), QStringLiteral("első sor\nmásodik sor"));
        QVERIFY2(ins.exec(), qPrintable(ins.lastError()));
        db::Query q(Tdm::connectionName);
        q.setSql(QStringLiteral("Select * From PANELTESZT"));
        QVERIFY(q.exec() && q.first());
        const QSqlRecord record = currentRecord(q);
        // A shorter limit than the value must not cut it.
        edit(QStringLiteral("NEV"))->setMaxLength(10);
        m_panel->RecordToPanel(record);
        QCOMPARE(edit(QStringLiteral("NEV"))->text(), longName);
        QCOMPARE(edit(QStringLiteral("AR"))->text(), QStringLiteral("1 234,50"));
        QCOMPARE(edit(QStringLiteral("REJTETT"))->text(), QStringLiteral("rejtve"));
        auto* memo = m_container->findChild<PanelMemo*>(QStringLiteral("E_MEGJ"));
        QCOMPARE(memo->value(), QStringLiteral("első sor\nmásodik sor"));
        QVERIFY(!memo->isChanged());
        QVERIFY(m_panel->RefreshInfoTexts(record));
        QCOMPARE(m_container->findChild<QLabel*>(QStringLiteral("PF1_TIPUS"))->text(),
                 QStringLiteral("Kombi 24"));

        // Back from the panel: every input gives the record's value.
        for (PanelInput* in : m_panel->inputs()) {
            const QString field = in->widget()->objectName().mid(2);
            const QVariant original = record.value(field);
            if (field == QLatin1String("AR")) {
                bool ok = false;
                QCOMPARE(NumberFormat::parse(in->value(), &ok), 1234.5);
                continue;
            }
            const QString expected = original.isNull() ? QString()
                                     : original.metaType().id() == QMetaType::QByteArray
                                         ? QString::fromUtf8(original.toByteArray())
                                         : original.toString();
            QCOMPARE(in->value(), expected);
        }
        memo->setFocus();
        type(memo, QStringLiteral("x"));
        QVERIFY(memo->isChanged());

        m_panel->ClearPanel();
        QVERIFY(edit(QStringLiteral("NEV"))->text().isEmpty());
        QVERIFY(memo->value().isEmpty());
        QVERIFY(m_container->findChild<QLabel*>(QStringLiteral("PF1_TIPUS"))->text().isEmpty());
        // Past the end only clears the texts.
        QVERIFY(m_panel->RefreshInfoTexts(QSqlRecord()));
    }

    void tableWithoutRowsGetsItsColumns()
    {
        QCOMPARE(
            build(QStringLiteral("NINCSILYEN"), QStringLiteral("Select * From KULSOCEG where 1=2")),
            6);
        QCOMPARE(m_fieldNames, (QStringList{"KOD", "NEV", "IRSZAM", "VAROS", "UTCA", "NETATAD"}));
        QCOMPARE(m_captions, m_fieldNames);
        QCOMPARE(m_grid.size(), 6);
        QCOMPARE(m_container->findChild<QLabel*>(QStringLiteral("L_VAROS"))->text(),
                 QStringLiteral(" VAROS"));
        QVERIFY(edit(QStringLiteral("KOD"))->isRequired());
        QCOMPARE(edit(QStringLiteral("NEV"))->maxLength(), 60);
        // The old panel is gone.
        QVERIFY(!edit(QStringLiteral("ADOSZAM")));
        QCOMPARE(build(QStringLiteral("X"), QStringLiteral("Select * From KULSOCEG where 1=2")), 6);
    }

    void missingColumnLeavesAnEmptyPanel()
    {
        ScriptedMessagesGuard guard;
        QVERIFY(m_db->exec(QStringLiteral(
            "INSERT INTO VEZERLO (MODUL, SORREND, MEZO) VALUES ('PANELTESZT', '999', 'NINCS')")));
        QCOMPARE(build(QStringLiteral("PANELTESZT"),
                       QStringLiteral("Select * From PANELTESZT where 1=2")),
                 0);
        QCOMPARE(guard->texts.size(), 1);
        QVERIFY(guard->texts[0].contains(QStringLiteral("NINCS")));
        QVERIFY(m_panel);
        QVERIFY(m_panel->inputs().isEmpty());
        QVERIFY(m_container->findChildren<QWidget*>().isEmpty());
        QVERIFY(m_fieldNames.isEmpty() && m_captions.isEmpty() && m_grid.isEmpty());
    }

    void twoColumnLayout()
    {
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO VEZERLO (MODUL, SORREND, MEZO, MEGNEVEZES) "
                                          "VALUES ('KET', '1', 'KOD', 'Kód')")));
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO VEZERLO (MODUL, SORREND, MEZO, MEGNEVEZES) "
                                          "VALUES ('KET', '2', 'NEV', 'Név')")));
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO VEZERLO (MODUL, SORREND, MEZO, MEGNEVEZES) "
                                          "VALUES ('KET', '3', 'VAROS', 'Város')")));
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO VEZERLO (MODUL, SORREND, MEZO, MEGNEVEZES, "
                                          "UJSOR) VALUES ('KET', '4', 'UTCA', 'Utca', 'I')")));
        db::Query structure(Tdm::connectionName);
        structure.setSql(QStringLiteral("Select * From KULSOCEG where 1=2"));
        QVERIFY(structure.exec());
        QCOMPARE(FormPanel::BuildPanel(m_container, QStringLiteral("KET"), {}, 2, nullptr, nullptr,
                                       nullptr, structure),
                 2);
        const auto top = [this](const char* name) {
            return m_container->findChild<QLabel*>(QString::fromLatin1(name))->geometry().topLeft();
        };
        QCOMPARE(top("L_KOD"), QPoint(2, 4));
        QCOMPARE(top("L_NEV"), QPoint(452, 4));
        QCOMPARE(top("L_VAROS"), QPoint(2, 26));
        // UJSOR starts a new line although the right column is free.
        QCOMPARE(top("L_UTCA"), QPoint(2, 48));
    }
};

QTEST_MAIN(TestFormPanel)
#include "tst_formpanel.moc"
