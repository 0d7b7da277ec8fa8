// The absence screen headless: picks, the day rules per mode, recording with its question
// and reminder, and the lists that follow every change.

#include "scheduledata.h"
#include "scriptedpicker.h"
#include "support/smtpserver.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "framework/torzsmodel.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "workflow/kiesofm.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

// Types into a field and leaves it, as a user tabbing on does.
void typeAndLeave(QLineEdit* e, const QString& text)
{
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(e, &out);
}

} // namespace

class TestKiesofm : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDb> m_db;

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2030, 5, 8), QTime(9, 0))); // a Wednesday
        Td::instance().userCode = u"ANNA"_s;
        Td::instance().ownCompany = u"VELKOR"_s;
        m_db = std::make_unique<TestDb>();
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        scheduledata::addTechnician(*m_db, u"SZ1"_s, u"Kovács Béla"_s);
        QVERIFY(m_db->exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, "
                           "'K-100', 'Kazán 100', 'K')"_s));
        const int customer =
            scheduledata::addCustomer(*m_db, u"Kiss Éva"_s, u"1111"_s, u"Budapest"_s, u"Fő u. 1"_s);
        for (const QString& d : {u"2030.05.10"_s, u"2030.05.13"_s, u"2030.05.13"_s})
            scheduledata::addJob(scheduledata::planned(customer, u"SZ1"_s, d, u"08"_s));
    }
    void cleanup()
    {
        clock::set({});
        db::Connection::closeAll();
        m_db.reset();
    }

    void recordAbsence()
    {
        ScriptedMessagesGuard messages;
        ScriptedPicker picker;
        Tkiesofm screen;
        screen.prepare(u"M"_s);
        screen.show();
        QAbstractItemModelTester jobsTester(screen.jobsModel());
        QAbstractItemModelTester marksTester(screen.marksModel());
        auto* nap = screen.findChild<QLineEdit*>(u"e_nap"_s);
        auto* napig = screen.findChild<QLineEdit*>(u"e_napig"_s);
        QCOMPARE(nap->text(), u"2030.05.08"_s);
        QCOMPARE(screen.findChild<QLineEdit*>(u"e_napnev"_s)->text(), u"szerda"_s);
        QVERIFY(!screen.findChild<QPushButton*>(u"b_indul"_s)->isVisibleTo(&screen));

        picker.next(u"SELECT KOD, NEV FROM SZERELO WHERE KOD = 'SZ1'"_s);
        picker.next(u"SELECT KOD, NEV FROM TAVOLLET WHERE KOD = 'BET'"_s);
        screen.findChild<QPushButton*>(u"b_szerelo"_s)->click();
        QCOMPARE(picker.calls.last().tableSpec, u"SZERELO"_s);
        QCOMPARE(picker.calls.last().condition, u"WHERE CEGKOD='VELKOR' AND AKTIV='I'"_s);
        QVERIFY(picker.calls.last().selectionMode);
        QCOMPARE(screen.findChild<QLineEdit*>(u"e_szerelo"_s)->text(), u"SZ1"_s);
        QCOMPARE(screen.findChild<QLineEdit*>(u"e_szerelonev"_s)->text(), u"Kovács Béla"_s);
        QCOMPARE(screen.jobsModel()->rowCount(), 0); // today has no job of his
        screen.findChild<QPushButton*>(u"b_tavollet"_s)->click();
        QCOMPARE(picker.calls.last().tableSpec, u"TAVOLLET"_s);
        QCOMPARE(screen.findChild<QLineEdit*>(u"e_tavollet"_s)->text(), u"BET"_s);
        QCOMPARE(screen.findChild<QLineEdit*>(u"e_tavolletnev"_s)->text(), u"Betegség"_s);
        // A pick left without a choice keeps what was there; the next starts from the code.
        screen.findChild<QPushButton*>(u"b_tavollet"_s)->click();
        QCOMPARE(picker.calls.last().searchText, u"BET"_s);
        QCOMPARE(screen.findChild<QLineEdit*>(u"e_tavollet"_s)->text(), u"BET"_s);

        // Before today is refused and put back; a first day after the last drags it along.
        typeAndLeave(nap, u"2030.05.07"_s);
        QCOMPARE(messages->texts.last(), u"A mai napnál régebbi dátum nem érvényes."_s);
        QCOMPARE(nap->text(), u"2030.05.08"_s);
        typeAndLeave(nap, u"20300510"_s);
        QCOMPARE(nap->text(), u"2030.05.10"_s);
        QCOMPARE(napig->text(), u"2030.05.10"_s);
        QCOMPARE(screen.findChild<QLineEdit*>(u"e_napignev"_s)->text(), u"péntek"_s);
        typeAndLeave(napig, u"2030.05.09"_s);
        QCOMPARE(messages->texts.last(), u"Hibás dátum intervallum"_s);
        QCOMPARE(napig->text(), u"2030.05.10"_s);
        typeAndLeave(napig, u"2030.05.33"_s);
        QCOMPARE(messages->texts.last(), u"Hibás dátum.\n2030.05.33"_s);
        QCOMPARE(napig->text(), u"2030.05.33"_s); // kept for correcting
        typeAndLeave(napig, u"2030.05.13"_s);
        QCOMPARE(screen.jobsModel()->rowCount(), 3);

        messages->queueAnswers({0});
        screen.findChild<QPushButton*>(u"b_tarolas"_s)->click();
        QVERIFY(messages->texts.contains(u"Tárolható?"_s));
        QCOMPARE(messages->texts.last(), u"Ne feledje az aznapi 3 munkát másnak kiosztani!"_s);
        QCOMPARE(
            db::scalar(u"d_mivo"_s, u"SELECT COUNT(*) FROM MUNKA WHERE ALLAPOT = 'BE'"_s).toInt(),
            3);
        // The lists follow the store: no planned job left, two marked days.
        QCOMPARE(screen.jobsModel()->rowCount(), 0);
        QCOMPARE(screen.marksModel()->rowCount(), 2);
        QCOMPARE(screen.marksModel()->index(1, 1).data().toString(), u"Betegség"_s);

        // "No" writes nothing.
        const int before = messages->texts.size();
        messages->queueAnswers({1});
        screen.findChild<QPushButton*>(u"b_tarolas"_s)->click();
        QCOMPARE(messages->texts.size(), before + 1);
    }

    // Periods without the recording mode's rule; the technician check of "&Lista".
    void listModes()
    {
        ScriptedMessagesGuard messages;
        ScriptedPicker picker;
        Tkiesofm screen;
        screen.prepare(u"K"_s);
        screen.show();
        auto* nap = screen.findChild<QLineEdit*>(u"e_nap"_s);
        typeAndLeave(nap, u"2030.05.01"_s);
        QCOMPARE(nap->text(), u"2030.05.01"_s);
        QVERIFY(!screen.findChild<QLineEdit*>(u"e_tavollet"_s)->isVisibleTo(&screen));
        screen.findChild<QPushButton*>(u"b_lista"_s)->click();
        QCOMPARE(messages->texts.last(),
                 u"Ha nem minden szerelő kell, akkor válasszon ki egyet!"_s);

        screen.prepare(u"L"_s);
        QVERIFY(screen.findChild<QPushButton*>(u"b_indul"_s)->isVisibleTo(&screen));
        QCOMPARE(nap->text(), u"2030.05.08"_s);
        picker.next(u"SELECT KOD, NEV FROM SZERELO WHERE KOD = 'SZ1'"_s);
        screen.findChild<QPushButton*>(u"b_szerelo"_s)->click();
        QCOMPARE(picker.calls.last().condition, u"WHERE AKTIV='I'"_s);
    }

    // "E-mail" and "TXT fájl" go through the active technicians (or the chosen one) in code
    // order; a failure stops the loop.
    void instructionsPerTechnician_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("all");
        QTest::addColumn<QString>("firstEmail");
        QTest::addColumn<QStringList>("mailed");
        QTest::addColumn<QStringList>("files");
        const QString aa = u"NMU_AA1_2030_05_08.TXT"_s, sz = u"NMU_SZ1_2030_05_08.TXT"_s;
        QTest::newRow("e-mail to all")
            << u"rb_email"_s << true << u"aa@szerviz.test"_s
            << QStringList{u"aa@szerviz.test"_s, u"sz1@szerviz.test"_s} << QStringList{aa, sz};
        QTest::newRow("e-mail refused stops")
            << u"rb_email"_s << true << u"nincs@szerviz.test"_s << QStringList{} << QStringList{aa};
        QTest::newRow("e-mail to the chosen one")
            << u"rb_email"_s << false << u"aa@szerviz.test"_s << QStringList{u"sz1@szerviz.test"_s}
            << QStringList{sz};
        QTest::newRow("text files for all")
            << u"rb_txt"_s << true << u"aa@szerviz.test"_s << QStringList{} << QStringList{aa, sz};
    }
    void instructionsPerTechnician()
    {
        QFETCH(QString, output);
        QFETCH(bool, all);
        QFETCH(QString, firstEmail);
        QFETCH(QStringList, mailed);
        QFETCH(QStringList, files);
        // A first technician by code, an inactive one with a job, e-mail addresses for all.
        scheduledata::addTechnician(*m_db, u"AA1"_s, u"Arany Ádám"_s);
        scheduledata::addTechnician(*m_db, u"ZZ9"_s, u"Zöld Zoltán"_s, u"VELKOR"_s, u"N"_s);
        QVERIFY(m_db->exec(u"UPDATE SZERELO SET EMAIL = LOWER(KOD) || '@szerviz.test'"_s));
        QVERIFY(
            m_db->exec(u"UPDATE SZERELO SET EMAIL = '"_s + firstEmail + u"' WHERE KOD = 'AA1'"_s));
        const int customer =
            scheduledata::addCustomer(*m_db, u"Nagy Éva"_s, u"2600"_s, u"Vác"_s, u"Fő u. 2"_s);
        for (const QString& t : {u"AA1"_s, u"ZZ9"_s})
            scheduledata::addJob(scheduledata::planned(customer, t, u"2030.05.09"_s, u"10"_s));

        QTemporaryDir dir;
        Td::instance().workPath = dir.path();
        QDir(dir.path()).mkpath(u"posta"_s);
        SmtpServer server;
        QString error;
        QVERIFY2(server.start(dir.filePath(u"posta"_s), &error), qPrintable(error));
        server.configureProgram(u"iroda@szerviz.test"_s);

        ScriptedMessagesGuard messages;
        ScriptedPicker picker;
        Tkiesofm screen;
        screen.prepare(u"L"_s);
        screen.show();
        typeAndLeave(screen.findChild<QLineEdit*>(u"e_napig"_s), u"2030.05.13"_s);
        if (all) {
            screen.findChild<QCheckBox*>(u"cb_mind"_s)->setChecked(true);
        } else {
            picker.next(u"SELECT KOD, NEV FROM SZERELO WHERE KOD = 'SZ1'"_s);
            screen.findChild<QPushButton*>(u"b_szerelo"_s)->click();
        }
        screen.findChild<QRadioButton*>(output)->setChecked(true);
        screen.findChild<QPushButton*>(u"b_indul"_s)->click();

        QCOMPARE(server.messageCount(), int(mailed.size()));
        for (int i = 0; i < mailed.size(); ++i) {
            const QJsonObject mail = server.message(i + 1);
            QCOMPARE(mail[u"rcpt_tos"_s].toArray().first().toString(), mailed[i]);
            QCOMPARE(mail[u"subject"_s].toString(),
                     u"Napi munka utasítás 2030.05.08 -> 2030.05.13"_s);
        }
        QCOMPARE(QDir(dir.path()).entryList({u"*.TXT"_s}, QDir::Files), files);
        if (output == u"rb_txt"_s) {
            QStringList shown;
            for (const QString& f : files)
                shown << u"A melléklet elkészült: "_s + QDir(dir.path()).filePath(f);
            QCOMPARE(messages->texts, shown);
        } else if (mailed.isEmpty()) {
            QCOMPARE(messages->texts.size(), 1); // the refusal, once
        }
        Ini::instance().clear();
        Td::instance().workPath.clear();
    }
};

QTEST_MAIN(TestKiesofm)
#include "tst_kiesofm.moc"
