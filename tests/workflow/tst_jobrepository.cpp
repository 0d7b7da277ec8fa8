// Job states and the job repository's guarded writes, against a real embedded database.
// A second connection stands for another workstation: it commits before this one writes, so
// no lock waits.

#include "scheduledata.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "platform/dbquery.h"
#include "workflow/gridjob.h"
#include "workflow/jobrepository.h"
#include "workflow/napirend.h"

#include <QTest>

#include <functional>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

const QString day = u"2024.03.04"_s;
const QString other = u"d_masik"_s;

QString field(const QString& sql)
{
    return db::scalar(u"d_mivo"_s, sql).toString().trimmed();
}

// Answers from the script like ScriptedMessages, but lets another workstation act while the
// first question is open.
class ActingMessages : public ScriptedMessages
{
public:
    std::function<void()> whileAsking;
    int ask(const QString& text, MessageKind kind, const QStringList& captions) override
    {
        if (whileAsking)
            std::exchange(whileAsking, {})();
        return ScriptedMessages::ask(text, kind, captions);
    }
};

// The other workstation stores its state for the job and commits.
void otherStores(int kod, const QString& state)
{
    QString error;
    QVERIFY2(db::execute(other, u"UPDATE MUNKA SET ALLAPOT = :a, JUZER = 'masik' WHERE KOD = :k"_s,
                         {{u"a"_s, state}, {u"k"_s, kod}}, &error),
             qPrintable(error));
}

} // namespace

class TestJobRepository : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2024, 3, 4), QTime(9, 30, 15)));
        Td::instance().userCode = u"kata"_s;
    }
    void cleanup() { clock::set({}); }

    void states_data();
    void states();
    void guardedWriteKeepsTheOtherChange_data();
    void guardedWriteKeepsTheOtherChange();
    void cellActionExplainsTheConflict_data();
    void cellActionExplainsTheConflict();
};

void TestJobRepository::states_data()
{
    // A code per state; "" stands for a job being created.
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("allowed");
    const auto row = [](const char* from, const char* to, bool allowed) {
        QTest::addRow("%s -> %s", *from ? from : "new", to) << from << to << allowed;
    };
    row("", "BE", true); // request stored without a slot
    row("", "KI", true); // with a slot; a new visit from the "Z" or "F" list
    row("", "OK", true); // imports
    row("BE", "KI", true);
    row("KI", "KI", true); // moved or modified
    row("KI", "BE", true); // unassigned, absence
    row("KI", "TOR", true);
    row("KI", "OK", true);
    row("KI", "ZA", true);
    row("OK", "OK", true); // completion corrected
    row("OK", "ZA", true);
    row("ZA", "TAR", true);
    row("FO", "TAR", true);
    row("", "TOR", false);
    row("", "FO", false);
    row("BE", "TOR", false);
    row("BE", "BE", false);
    row("OK", "BE", false);
    row("ZA", "KI", false);
    row("FO", "OK", false);
    row("KI", "TAR", false);
    row("TAR", "KI", false);
    row("TOR", "KI", false);
    row("TOR", "BE", false);
}

void TestJobRepository::states()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, allowed);
    std::optional<JobState> fromState;
    if (!from.isEmpty()) {
        fromState = stateFromCode(from);
        QVERIFY(fromState);
        QCOMPARE(stateCode(*fromState), from);
    }
    const std::optional<JobState> toState = stateFromCode(u' ' + to + u' ');
    QVERIFY(toState);
    QCOMPARE(stateCode(*toState), to);
    QCOMPARE(transitionAllowed(fromState, *toState), allowed);
    // Codes outside the program's states have no meaning here.
    QVERIFY(!stateFromCode(to.toLower()));
    QVERIFY(!stateFromCode(QString()));
}

void TestJobRepository::guardedWriteKeepsTheOtherChange_data()
{
    QTest::addColumn<int>("kind"); // Removal
    QTest::addColumn<QString>("otherState");
    QTest::newRow("unassign after documented") << int(Removal::Unassign) << "OK";
    QTest::newRow("unassign after deleted") << int(Removal::Unassign) << "TOR";
    QTest::newRow("delete after documented") << int(Removal::Delete) << "OK";
    QTest::newRow("delete after unassigned") << int(Removal::Delete) << "BE";
}

void TestJobRepository::guardedWriteKeepsTheOtherChange()
{
    QFETCH(int, kind);
    QFETCH(QString, otherState);
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    QVERIFY2(db.openConnection(other), qPrintable(db.error()));
    const int c = scheduledata::addCustomer(db, u"Ügyfél"_s, u"2600"_s, u"Vác"_s, u"Fő u. 2"_s);
    const int kod = scheduledata::addJob(scheduledata::planned(c, u"SZ01"_s, day, u"10"_s));
    const int untouched = scheduledata::addJob(scheduledata::planned(c, u"SZ01"_s, day, u"11"_s));

    const JobRepository jobs;
    QString error;
    const std::optional<GridJob> seen = jobs.load(kod, &error);
    QVERIFY2(seen, qPrintable(error));
    QCOMPARE(seen->state(), JobState::Assigned);
    QCOMPARE(seen->customer.varos, u"Vác"_s);
    otherStores(kod, otherState);

    const auto write = [&](const Job& job) {
        return Removal(kind) == Removal::Unassign ? jobs.unassign(job) : jobs.markDeleted(job);
    };
    const WriteResult result = write(*seen);
    QCOMPARE(result.status, WriteResult::Conflict);
    QVERIFY(!result.message.isEmpty());
    const QString where = u" FROM MUNKA WHERE KOD = %1"_s.arg(kod);
    QCOMPARE(field(u"SELECT ALLAPOT || '/' || SZERELOT || '/' || JUZER"_s + where),
             otherState + u"/SZ01/masik"_s);

    // The job untouched by the other is written; one gone altogether is a conflict too.
    const std::optional<GridJob> fresh = jobs.load(untouched, &error);
    QVERIFY2(fresh, qPrintable(error));
    const WriteResult stored = write(*fresh);
    QVERIFY2(stored.ok(), qPrintable(stored.message));
    QCOMPARE(
        field(u"SELECT ALLAPOT || '/' || COALESCE(SZERELOT, '') || '/' || JUZER "
              "FROM MUNKA WHERE KOD = %1"_s.arg(untouched)),
        stateCode(Removal(kind) == Removal::Unassign ? JobState::Recorded : JobState::Deleted) +
            u"//kata"_s);
    QVERIFY(db::execute(other, u"DELETE FROM MUNKA WHERE KOD = %1"_s.arg(untouched)));
    QCOMPARE(write(*fresh).status, WriteResult::Conflict);
}

void TestJobRepository::cellActionExplainsTheConflict_data()
{
    QTest::addColumn<int>("kind"); // Removal
    QTest::addColumn<QString>("otherState");
    QTest::addColumn<bool>("stillShown"); // finished jobs stay on the grid, deleted ones go
    QTest::newRow("unassign, documented meanwhile") << int(Removal::Unassign) << "OK" << true;
    QTest::newRow("unassign, deleted meanwhile") << int(Removal::Unassign) << "TOR" << false;
    QTest::newRow("delete, documented meanwhile") << int(Removal::Delete) << "OK" << true;
}

void TestJobRepository::cellActionExplainsTheConflict()
{
    QFETCH(int, kind);
    QFETCH(QString, otherState);
    QFETCH(bool, stillShown);
    TestDb db;
    QVERIFY2(db.ok(), qPrintable(db.error()));
    QVERIFY2(db.openConnection(other), qPrintable(db.error()));
    scheduledata::addTechnician(db, u"SZ01"_s, u"Arany Béla"_s);
    const int c = scheduledata::addCustomer(db, u"Ügyfél"_s, u"2600"_s, u"Vác"_s, u"Fő u. 2"_s);
    const int kod = scheduledata::addJob(scheduledata::planned(c, u"SZ01"_s, day, u"10"_s));
    NapirendModel model;
    QString error;
    QVERIFY2(model.build(u"VELKOR"_s, day, &error), qPrintable(error));
    QCOMPARE(model.jobCode(1, 4), kod);

    // The guard restores the program's message service; this sink stands in for its script.
    ScriptedMessagesGuard restore;
    auto sink = std::make_unique<ActingMessages>();
    ActingMessages* messages = sink.get();
    messages::install(std::move(sink));
    messages->whileAsking = [&] { otherStores(kod, otherState); };
    messages->queueAnswers({0});

    CellActions actions(model, ScheduleForm::Jobs);
    QVERIFY(!actions.remove(1, 4, Removal(kind)));
    QCOMPARE(messages->texts.size(), 2);
    QCOMPARE(messages->texts[1],
             u"A munkát közben egy másik munkahelyen módosították vagy törölték. "
             "A tábla frissül."_s);
    QCOMPARE(field(u"SELECT ALLAPOT || '/' || JUZER FROM MUNKA WHERE KOD = %1"_s.arg(kod)),
             otherState + u"/masik"_s);
    // The column was read afresh: it shows what the other workstation left.
    QCOMPARE(model.jobCode(1, 4), stillShown ? kod : 0);
    QCOMPARE(model.cellText(1, 4).isEmpty(), !stillShown);
}

QTEST_GUILESS_MAIN(TestJobRepository)
#include "tst_jobrepository.moc"
