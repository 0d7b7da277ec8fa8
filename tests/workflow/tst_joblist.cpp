// The job lists of the scheduling forms against a real embedded database: which jobs each
// mode lists, the orderings keeping the current job, and finding a job deep in a list read
// in chunks.

#include "support/testdb.h"

#include "platform/dbquery.h"
#include "workflow/joblist.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <set>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

namespace
{

constexpr int chunk = 8;

struct Customer {
    int kod = 0;
    QString nev, varos, utca;
};

int insertReturning(const QString& sql, const std::map<QString, QVariant>& params)
{
    db::Query q(u"d_mivo"_s);
    q.setSql(sql);
    for (const auto& [name, value] : params)
        q.bind(name, value);
    const QVariant kod = q.insertReturning();
    if (kod.isNull())
        QTest::qFail(qPrintable(q.lastError()), __FILE__, __LINE__);
    return kod.toInt();
}

int addCustomer(const QString& nev, const QString& varos, const QString& utca)
{
    return insertReturning(u"INSERT INTO UGYFEL (NEV, IRSZAM, VAROS, UTCA) VALUES (:n, '1111', "
                           ":v, :u) RETURNING KOD"_s,
                           {{u"n"_s, nev}, {u"v"_s, varos}, {u"u"_s, utca}});
}

// A job; the appliance type is the first one of ARU unless told.
int addJob(int ugyfel, const QString& allapot, const QString& felveteld, const QVariant& tervd,
           const QString& tervtev = u"KAR"_s, const QVariant& tipus = {})
{
    return insertReturning(
        u"INSERT INTO MUNKA (ALLAPOT, UGYFEL, KESZULEK, TIPUS, FELVETELD, TERVD, TERVTEV, LEIRAST) "
        "VALUES (:a, :u, 0, COALESCE(:t, (SELECT MIN(BELSOKOD) FROM ARU)), :f, :d, :tev, "
        "'Nem indul') RETURNING KOD"_s,
        {{u"a"_s, allapot},
         {u"u"_s, ugyfel},
         {u"t"_s, tipus},
         {u"f"_s, felveteld},
         {u"d"_s, tervd},
         {u"tev"_s, tervtev}});
}

// The codes of the list read whole, in its order.
std::vector<int> wholeList(int ordering, JobState listed)
{
    db::Query q(u"d_mivo"_s);
    q.setSql(jobListStatement(ordering));
    q.bind(u"allapot"_s, stateCode(listed));
    std::vector<int> codes;
    if (!q.exec())
        qWarning() << q.lastError();
    while (q.next())
        codes.push_back(q.integer(u"KOD"_s));
    return codes;
}

// Whether every row the list has read is the whole list's row at the same distance from the
// job's row.
bool rowsMatch(JobList& list, const std::vector<int>& whole, int kod)
{
    const int row = list.rowOfJob(kod);
    const auto at = std::find(whole.begin(), whole.end(), kod);
    if (row < 0 || at == whole.end())
        return false;
    const int offset = int(at - whole.begin()) - row;
    for (int r = 0; r < list.model().rowCount(); ++r) {
        const int w = r + offset;
        if (w < 0 || w >= int(whole.size()) || whole[size_t(w)] != list.jobOfRow(r)) {
            qWarning() << "row" << r << list.jobOfRow(r) << "not"
                       << (w >= 0 && w < int(whole.size()) ? whole[size_t(w)] : -1);
            return false;
        }
    }
    return true;
}

} // namespace

class TestJobList : public QObject
{
    Q_OBJECT
private slots:
    void listsTheJobsOfItsState_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("code");
        QTest::newRow("M: recorded") << u"M"_s << u"BE"_s;
        QTest::newRow("Z: closed door") << u"Z"_s << u"ZA"_s;
        QTest::newRow("F: in progress") << u"F"_s << u"FO"_s;
    }
    void listsTheJobsOfItsState()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QFETCH(QString, mode);
        QFETCH(QString, code);
        QVERIFY(db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (1, 'TF-K24', "
                        "'Termofix Kombi 24 kW', 'K')"_s));
        const int customer = addCustomer(u"Kiss Anna"_s, u"Budapest"_s, u"Fő utca 1."_s);
        std::set<int> expected;
        for (const QString& state : {u"BE"_s, u"KI"_s, u"OK"_s, u"ZA"_s, u"FO"_s, u"TAR"_s,
                                     u"TOR"_s, u"BE"_s, u"ZA"_s, u"FO"_s}) {
            const int kod =
                addJob(customer, state, u"2024.03.0%1"_s.arg(expected.size() + 1), u"2024.03.10"_s);
            if (state == code)
                expected.insert(kod);
        }
        // Its activity and its appliance type are gone from their dictionaries.
        const int orphan = addJob(customer, code, u"2024.02.01"_s, {}, u"XX"_s, 999999);
        expected.insert(orphan);

        const std::optional<JobState> listed = listedState(mode);
        QVERIFY(listed);
        QCOMPARE(stateCode(*listed), code);
        JobList list;
        QAbstractItemModelTester tester(&list.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QString error;
        QVERIFY2(list.open(*listed, &error), qPrintable(error));
        std::set<int> shown;
        for (int row = 0; row < list.model().rowCount(); ++row)
            shown.insert(list.jobOfRow(row));
        QCOMPARE(shown, expected);
        // Oldest request first; the orphan shows empty names.
        QCOMPARE(list.jobOfRow(0), orphan);
        QCOMPARE(list.record(0).value(u"TEVNEV"_s).toString(), QString());
        QCOMPARE(list.record(0).value(u"KESZULEKNEV"_s).toString(), QString());
        QCOMPARE(list.record(1).value(u"TEVNEV"_s).toString(), u"Karbantartás"_s);
        QCOMPARE(list.record(1).value(u"KESZULEKNEV"_s).toString(), u"Termofix Kombi 24 kW"_s);
        QCOMPARE(list.model().headerData(0, Qt::Horizontal).toString(), u"Bejelentve"_s);
        QCOMPARE(list.model().headerData(9, Qt::Horizontal).toString(), u"#"_s);
        QCOMPARE(list.model().data(list.model().index(0, 1)).toString(), u"Kiss Anna"_s);
        QCOMPARE(list.rowOfJob(orphan), 0);
    }

    void reorderingKeepsTheCurrentJob_data()
    {
        QTest::addColumn<int>("ordering");
        for (int i = 0; i < int(jobOrderings().size()); ++i)
            QTest::newRow(qPrintable(jobOrderings()[size_t(i)].caption)) << i;
    }
    void reorderingKeepsTheCurrentJob()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QFETCH(int, ordering);
        // Names, towns, streets and dates that tie across chunk borders; some customers
        // have several listed jobs, some none; some jobs have no planned date.
        std::vector<int> customers;
        for (int i = 0; i < 24; ++i)
            customers.push_back(addCustomer(u"Név %1"_s.arg(i % 5), u"Város %1"_s.arg(i % 3),
                                            u"Utca %1"_s.arg(i % 4)));
        std::vector<int> listedJobs;
        for (int i = 0; i < 90; ++i) {
            const QVariant tervd =
                i % 7 == 0 ? QVariant() : QVariant(u"2024.04.%1"_s.arg(10 + i % 6));
            const int kod = addJob(customers[size_t((i * 7) % 23)], i % 9 == 0 ? u"FO"_s : u"ZA"_s,
                                   u"2024.03.%1"_s.arg(10 + i % 4), tervd);
            if (i % 9 != 0)
                listedJobs.push_back(kod);
        }
        JobList list;
        QAbstractItemModelTester tester(&list.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        list.model().setChunkSize(chunk);
        QString error;
        QVERIFY2(list.open(JobState::ClosedDoor, &error), qPrintable(error));
        QCOMPARE(list.ordering(), 0);
        // A job deep in the first order, beyond the first chunk.
        const std::vector<int> first = wholeList(0, JobState::ClosedDoor);
        QCOMPARE(first.size(), listedJobs.size());
        const int current = first[first.size() * 2 / 3];
        list.setCurrentJob(current);
        QVERIFY(list.currentRow() >= 0);

        QVERIFY2(list.reorder(ordering, &error), qPrintable(error));
        QCOMPARE(list.ordering(), ordering);
        const int row = list.currentRow();
        QVERIFY(row >= 0 && row < list.model().rowCount());
        QCOMPARE(list.jobOfRow(row), current);
        // The rows around it are the reordered list's, ties in its order, and the list goes
        // on past them to its end.
        const std::vector<int> whole = wholeList(ordering, JobState::ClosedDoor);
        QVERIFY(rowsMatch(list, whole, current));
        while (list.model().canFetchMore({}))
            list.model().fetchMore({});
        QVERIFY(list.model().fetchBefore() >= 0);
        QVERIFY(rowsMatch(list, whole, current));

        // Read again after another job joined the list, still on the same job.
        const int added = addJob(customers[3], u"ZA"_s, u"2024.03.11"_s, u"2024.04.12"_s);
        QVERIFY2(list.reopen(&error), qPrintable(error));
        QCOMPARE(list.jobOfRow(list.currentRow()), current);
        QCOMPARE(list.jobOfRow(list.rowOfJob(added)), added);
        QVERIFY(rowsMatch(list, wholeList(ordering, JobState::ClosedDoor), current));
    }

    void findsEveryJobOfALongList()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        std::vector<int> customers;
        for (int i = 0; i < 40; ++i)
            customers.push_back(
                addCustomer(u"Ügyfél %1"_s.arg(i % 9), u"Város %1"_s.arg(i % 4), u"Utca"_s));
        for (int i = 0; i < 120; ++i)
            addJob(customers[size_t(i % 40)], u"ZA"_s, u"2024.03.%1"_s.arg(10 + i % 5),
                   u"2024.04.01"_s);
        const int otherState = addJob(customers[0], u"KI"_s, u"2024.03.12"_s, u"2024.04.01"_s);
        JobList list;
        QAbstractItemModelTester tester(&list.model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        list.model().setChunkSize(chunk);
        QString error;
        for (int ordering = 0; ordering < int(jobOrderings().size()); ++ordering) {
            QVERIFY2(list.open(JobState::ClosedDoor, &error), qPrintable(error));
            QVERIFY2(list.reorder(ordering, &error), qPrintable(error));
            const std::vector<int> whole = wholeList(ordering, JobState::ClosedDoor);
            QCOMPARE(int(whole.size()), 120);
            for (size_t i = 0; i < whole.size(); i += 13) {
                const int row = list.rowOfJob(whole[i]);
                QVERIFY2(row >= 0, qPrintable(list.lastError()));
                QCOMPARE(list.jobOfRow(row), whole[i]);
                QVERIFY(rowsMatch(list, whole, whole[i]));
            }
            QCOMPARE(list.rowOfJob(otherState), -1);
            QCOMPARE(list.rowOfJob(999999), -1);
            QVERIFY(list.lastError().isEmpty());
        }
        QVERIFY(!listedState(u"U"));
        QVERIFY(!list.reorder(int(jobOrderings().size()), &error));
    }
};

QTEST_GUILESS_MAIN(TestJobList)
#include "tst_joblist.moc"
