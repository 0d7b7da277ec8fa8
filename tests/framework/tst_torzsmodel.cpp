#include "framework/torzsmodel.h"
#include "framework/torzsstatements.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "support/testdb.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

constexpr int customers = 250;
constexpr int chunk = 16;

// Names that part on case, accents, shared beginnings and nulls, repeated so that equal
// names tie across chunk borders.
const QStringList names{u"Kovács"_s, u"kovács Béla"_s, u"KOVÁCS Anna"_s, u"Ábel"_s,  u"abel"_s,
                        u"Álmos"_s,  u"Őz"_s,          u"öreg"_s,        u"Zsolt"_s, u"zs"_s,
                        QString(),   u"Nagy"_s,        u"Nagyobb"_s};

bool fill(TestDb& db)
{
    db::Transaction transaction(db.connectionName());
    for (int kod = 1; kod <= customers; ++kod) {
        const QString name = names[kod % names.size()];
        db::Query q(db.connectionName());
        q.setSql(u"INSERT INTO UGYFEL (KOD, NEV, VAROS) VALUES (:kod, :nev, :varos)"_s);
        q.bind(u"kod"_s, kod);
        q.bind(u"nev"_s, name.isNull() ? QVariant() : QVariant(name));
        q.bind(u"varos"_s, u"Város"_s + QString::number(kod % 7));
        if (!q.exec()) {
            qWarning() << q.lastError();
            return false;
        }
    }
    return transaction.commit();
}

void writeStatement(TorzsModel& model, const QString& order)
{
    model.query().setLines(torzs::selectLines({u"KOD"_s, u"NEV"_s, u"VAROS"_s}, u"UGYFEL"_s, {},
                                              torzs::orderLine(order)));
}

// The records read whole, as the editor read them before it fetched in chunks.
std::vector<QVariantList> wholeResult(const TorzsModel& model, const QString& connection)
{
    db::Query q(connection);
    q.setLines(model.query().lines());
    std::vector<QVariantList> rows;
    if (!q.exec())
        qWarning() << q.lastError();
    while (q.next())
        rows.push_back({q.value(u"KOD"_s), q.value(u"NEV"_s)});
    return rows;
}

// The search over the whole result, row by row: the first row with the longest beginning
// shared with the text (case-insensitive).
int scanningSearch(const std::vector<QVariantList>& rows, int column, const QString& text)
{
    if (text.isEmpty())
        return -1;
    const QString wanted = text.toCaseFolded();
    int best = -1;
    qsizetype bestLength = 0;
    for (int row = 0; row < int(rows.size()); ++row) {
        const QString s = rows[size_t(row)][column].toString();
        qsizetype n = 0;
        while (n < std::min(s.size(), wanted.size()) && s[n].toCaseFolded() == wanted[n])
            ++n;
        if (n > bestLength) {
            bestLength = n;
            best = row;
        }
    }
    return best;
}

} // namespace

class TestTorzsModel : public QObject
{
    Q_OBJECT
private slots:
    void fetchesInChunks()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(fill(db));
        TorzsModel model(db.connectionName());
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setChunkSize(chunk);
        model.setGridColumns({{u"KOD"_s, u"Kód"_s, {}}, {u"NEV"_s, u"Név"_s, {}}});
        writeStatement(model, u"KOD"_s);
        QString error;
        QVERIFY2(model.reopen(&error), qPrintable(error));
        QCOMPARE(model.totalCount(), customers);
        QCOMPARE(model.rowCount(), chunk);
        QVERIFY(model.canFetchMore({}));
        model.fetchMore({});
        QCOMPARE(model.rowCount(), 2 * chunk);
        QCOMPARE(model.data(model.index(2 * chunk - 1, 0)).toString(), QString::number(2 * chunk));
        while (model.canFetchMore({}))
            model.fetchMore({});
        QCOMPARE(model.rowCount(), customers);
        QCOMPARE(model.value(customers - 1, u"KOD"_s).toInt(), customers);
        QVERIFY(model.record(customers).isEmpty());

        // The last record straight after opening; the chunks between are read when drawn.
        QVERIFY2(model.reopen(&error), qPrintable(error));
        QVERIFY(model.fetchUpTo(customers - 1));
        QCOMPARE(model.rowCount(), customers);
        QCOMPARE(model.value(customers - 1, u"KOD"_s).toInt(), customers);
        QCOMPARE(model.data(model.index(5 * chunk + 3, 0)).toString(),
                 QString::number(5 * chunk + 4));
        QVERIFY(!model.fetchUpTo(customers));
    }

    void locatesAndSearchesLikeTheWholeResult_data()
    {
        QTest::addColumn<QString>("order");
        QTest::newRow("by name") << u"NEV"_s;
        QTest::newRow("by name descending") << u"NEV DESC"_s;
        QTest::newRow("by key") << u"KOD"_s;
        QTest::newRow("by town then key") << u"VAROS,KOD"_s;
    }
    void locatesAndSearchesLikeTheWholeResult()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(fill(db));
        QFETCH(QString, order);
        TorzsModel model(db.connectionName());
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setChunkSize(chunk);
        model.setGridColumns({{u"NEV"_s, u"Név"_s, {}}});
        writeStatement(model, order);
        QString error;
        QVERIFY2(model.reopen(&error), qPrintable(error));
        const std::vector<QVariantList> whole = wholeResult(model, db.connectionName());
        QCOMPARE(int(whole.size()), customers);

        // Keys deep in unfetched chunks, at chunk borders, with a null name; "12" is not 120.
        for (int kod : {12, 120, 1, customers, 10, 23, 200, 137}) {
            model.reopen(&error);
            int expected = -1;
            for (int row = 0; row < customers && expected < 0; ++row)
                if (whole[size_t(row)][0].toInt() == kod)
                    expected = row;
            const int row = model.locate({u"KOD"_s}, {kod});
            QCOMPARE(row, expected);
            QVERIFY(row < model.rowCount());
            QCOMPARE(model.value(row, u"KOD"_s).toInt(), kod);
            // The rows read around it are the whole result's, ties in the same order.
            for (int k = std::max(0, row - chunk); k < std::min(customers, row + 2 * chunk); ++k) {
                QVERIFY(model.fetchUpTo(k));
                QCOMPARE(model.value(k, u"KOD"_s), whole[size_t(k)][0]);
            }
        }
        QCOMPARE(model.locate({u"KOD"_s}, {customers + 1}), -1);
        QCOMPARE(model.locate({u"KOD"_s, u"NEV"_s}, {12, u"Ábel"_s}), -1);
        // The first of equal names.
        int firstAbel = -1;
        for (int row = 0; row < customers && firstAbel < 0; ++row)
            if (whole[size_t(row)][1].toString() == u"abel"_s)
                firstAbel = row;
        model.reopen(&error);
        QCOMPARE(model.locate({u"NEV"_s}, {u"abel"_s}), firstAbel);

        for (const QString& text : {u"kov"_s, u"KOVÁCS B"_s, u"kovacs"_s, u"Kovx"_s, u"ábel"_s,
                                    u"ABEL"_s, u"álm"_s, u"őz"_s, u"Ö"_s, u"zsoltné"_s, u"nagyo"_s,
                                    u"Nagyobbik"_s, u"q"_s, u"1"_s, QString()}) {
            model.reopen(&error);
            const int expected = scanningSearch(whole, 1, text);
            const int row = model.search(u"NEV"_s, text);
            QVERIFY2(row == expected,
                     qPrintable(u"%1: %2, not %3"_s.arg(text).arg(row).arg(expected)));
            QVERIFY(row < model.rowCount());
        }
        // A number column is searched by its digits.
        model.reopen(&error);
        QCOMPARE(model.search(u"KOD"_s, u"13"_s), scanningSearch(whole, 0, u"13"_s));
    }

    void reopenSeesAnotherConnectionsCommit()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QVERIFY(fill(db));
        QVERIFY(db.openConnection(u"d_masik"_s));
        TorzsModel model(db.connectionName());
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setChunkSize(chunk);
        writeStatement(model, u"NEV"_s);
        QString error;
        QVERIFY2(model.reopen(&error), qPrintable(error));
        QVERIFY(db::execute(u"d_masik"_s,
                            u"INSERT INTO UGYFEL (KOD, NEV) VALUES (1000, 'Zz utolsó')"_s, {},
                            &error));
        QCOMPARE(model.totalCount(), customers);
        QVERIFY2(model.reopen(&error), qPrintable(error));
        QCOMPARE(model.totalCount(), customers + 1);
        QCOMPARE(model.locate({u"KOD"_s}, {1000}), customers);
        QCOMPARE(model.value(customers, u"NEV"_s).toString(), u"Zz utolsó"_s);
    }

    void failureReachesTheCaller()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        TorzsModel model(db.connectionName());
        model.query().setLines({u"Select NINCS From UGYFEL"_s});
        QString error;
        QVERIFY(!model.reopen(&error));
        QVERIFY(error.contains(u"NINCS"_s));
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.totalCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestTorzsModel)
#include "tst_torzsmodel.moc"
