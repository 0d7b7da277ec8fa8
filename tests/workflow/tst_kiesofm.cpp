// The absence screen headless: picks, the day rules per mode, recording with its question
// and reminder, and the lists that follow every change.

#include "scheduledata.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "framework/torzsmodel.h"
#include "framework/torzsopener.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "workflow/kiesofm.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

class ScriptedPicker : public TorzsOpener
{
public:
    ScriptedPicker() { setTorzsOpener(this); }
    ~ScriptedPicker() override { setTorzsOpener(nullptr); }
    bool OpenTorzs(TorzsCall& call) override
    {
        calls << call;
        if (rows.isEmpty())
            return false;
        db::Query q;
        q.setSql(rows.takeFirst());
        if (!q.exec() || !q.first())
            return false;
        for (int i = 0; i < q.fieldCount(); ++i) {
            call.names << q.fieldName(i);
            call.values << q.value(i).toString();
        }
        return true;
    }
    void markForRereading(const QString&) override {}
    QList<TorzsCall> calls;
    QStringList rows;
};

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

        picker.rows << u"SELECT KOD, NEV FROM SZERELO WHERE KOD = 'SZ1'"_s
                    << u"SELECT KOD, NEV FROM TAVOLLET WHERE KOD = 'BET'"_s;
        screen.findChild<QPushButton*>(u"b_szerelo"_s)->click();
        QCOMPARE(picker.calls.last().condition, u"WHERE CEGKOD='VELKOR' AND AKTIV='I'"_s);
        screen.findChild<QPushButton*>(u"b_tavollet"_s)->click();
        QCOMPARE(screen.findChild<QLineEdit*>(u"e_tavolletnev"_s)->text(), u"Betegség"_s);

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
        picker.rows << u"SELECT KOD, NEV FROM SZERELO WHERE KOD = 'SZ1'"_s;
        screen.findChild<QPushButton*>(u"b_szerelo"_s)->click();
        QCOMPARE(picker.calls.last().condition, u"WHERE AKTIV='I'"_s);
    }
};

QTEST_MAIN(TestKiesofm)
#include "tst_kiesofm.moc"
