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

// Whether rows first..last of the model are the whole result's rows from `offset` on.
bool sliceMatches(TorzsModel& model, const std::vector<QVariantList>& whole, int first, int last,
                  int offset)
{
    for (int k = std::max(0, first); k <= last; ++k) {
        const int at = k + offset;
        if (at < 0 || at >= int(whole.size()) || !model.fetchUpTo(k))
            return false;
        if (model.value(k, u"KOD"_s) != whole[size_t(at)][0]) {
            qWarning() << "row" << k << model.value(k, u"KOD"_s) << "not" << whole[size_t(at)][0];
            return false;
        }
    }
    return true;
}

// Extends the slice at the top until it begins at the first record; false if it never does.
bool readToTheTop(TorzsModel& model)
{
    for (int i = 0; i < customers && !model.atStart(); ++i) {
        const int before = model.rowCount();
        const int added = model.fetchBefore();
        if (model.rowCount() != before + added)
            return false;
    }
    return model.atStart();
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
        QVERIFY(model.atStart());
        QCOMPARE(model.headerData(7, Qt::Vertical).toInt(), 8);

        // The last record without walking to it: a slice ending there, extended at its top.
        QVERIFY2(model.reopen(&error), qPrintable(error));
        const int last = model.last();
        QCOMPARE(model.value(last, u"KOD"_s).toInt(), customers);
        QCOMPARE(last, model.rowCount() - 1);
        QVERIFY(model.atEnd() && !model.atStart() && !model.canFetchMore({}));
        QVERIFY(!model.headerData(0, Qt::Vertical).isValid());
        const int firstKod = model.value(0, u"KOD"_s).toInt();
        QVERIFY(firstKod > 1);
        const int added = model.fetchBefore();
        QVERIFY(added > 0);
        QCOMPARE(model.value(added, u"KOD"_s).toInt(), firstKod);
        QCOMPARE(model.value(added - 1, u"KOD"_s).toInt(), firstKod - 1);
        QVERIFY(readToTheTop(model));
        QCOMPARE(model.rowCount(), customers);
        for (int row = 0; row < customers; ++row)
            QCOMPARE(model.value(row, u"KOD"_s).toInt(), row + 1);
        QCOMPARE(model.fetchBefore(), 0);
        QCOMPARE(model.headerData(customers - 1, Qt::Vertical).toInt(), customers);
        // "Első tétel" returns to the first chunk.
        QCOMPARE(model.last(), customers - 1);
        QVERIFY2(model.reopen(&error), qPrintable(error));
        QVERIFY(model.last() > 0 && !model.atStart());
        QCOMPARE(model.first(), 0);
        QVERIFY(model.atStart());
        QCOMPARE(model.rowCount(), chunk);
        QCOMPARE(model.value(0, u"KOD"_s).toInt(), 1);
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
        int anchored = 0;
        for (int kod : {12, 120, 1, customers, 10, 23, 200, 137}) {
            model.reopen(&error);
            int expected = -1;
            for (int row = 0; row < customers && expected < 0; ++row)
                if (whole[size_t(row)][0].toInt() == kod)
                    expected = row;
            const int row = model.locate({u"KOD"_s}, {kod});
            QVERIFY(row >= 0 && row < model.rowCount());
            QCOMPARE(model.value(row, u"KOD"_s).toInt(), kod);
            // Rows are positions while the slice begins at the first record.
            anchored += model.atStart() ? 0 : 1;
            if (model.atStart())
                QCOMPARE(row, expected);
            // The rows read around it are the whole result's, ties in the same order.
            const int offset = expected - row;
            QVERIFY(sliceMatches(model, whole, 0, std::min(customers - offset, row + 2 * chunk) - 1,
                                 offset));
            // Above the slice's top, and on to the first record.
            const int added = model.fetchBefore();
            QVERIFY(sliceMatches(model, whole, 0, row + added, offset - added));
            QVERIFY(readToTheTop(model));
            QCOMPARE(model.value(expected, u"KOD"_s).toInt(), kod);
            QVERIFY(sliceMatches(model, whole, 0, customers - 1, 0));
        }
        // Records deep in the order were found without reading up to them.
        QVERIFY(anchored > 0);
        // The last record, and the slice above it.
        model.reopen(&error);
        const int last = model.last();
        QCOMPARE(model.value(last, u"KOD"_s), whole.back()[0]);
        QVERIFY(readToTheTop(model));
        QCOMPARE(model.rowCount(), customers);
        QVERIFY(sliceMatches(model, whole, 0, customers - 1, 0));
        QCOMPARE(model.locate({u"KOD"_s}, {customers + 1}), -1);
        QCOMPARE(model.locate({u"KOD"_s, u"NEV"_s}, {12, u"Ábel"_s}), -1);
        // The first of equal names.
        int firstAbel = -1;
        for (int row = 0; row < customers && firstAbel < 0; ++row)
            if (whole[size_t(row)][1].toString() == u"abel"_s)
                firstAbel = row;
        model.reopen(&error);
        const int abel = model.locate({u"NEV"_s}, {u"abel"_s});
        QCOMPARE(model.value(abel, u"KOD"_s), whole[size_t(firstAbel)][0]);
        QVERIFY(sliceMatches(model, whole, 0, abel, firstAbel - abel));

        for (const QString& text : {u"kov"_s, u"KOVÁCS B"_s, u"kovacs"_s, u"Kovx"_s, u"ábel"_s,
                                    u"ABEL"_s, u"álm"_s, u"őz"_s, u"Ö"_s, u"zsoltné"_s, u"nagyo"_s,
                                    u"Nagyobbik"_s, u"q"_s, u"1"_s, QString()}) {
            model.reopen(&error);
            const int expected = scanningSearch(whole, 1, text);
            const int row = model.search(u"NEV"_s, text);
            const QVariant found = model.value(row, u"KOD"_s);
            QVERIFY2(expected < 0 ? row == -1 : found == whole[size_t(expected)][0],
                     qPrintable(u"%1: %2, not %3"_s.arg(
                         text, found.toString(),
                         expected < 0 ? u"none"_s : whole[size_t(expected)][0].toString())));
            QVERIFY(row < model.rowCount());
            if (row >= 0 && model.atStart())
                QCOMPARE(row, expected);
        }
        // A number column is searched by its digits.
        model.reopen(&error);
        const int digits = scanningSearch(whole, 0, u"13"_s);
        QCOMPARE(model.value(model.search(u"KOD"_s, u"13"_s), u"KOD"_s), whole[size_t(digits)][0]);
    }

    // The search walks the order column's index from the smallest case form of what is
    // typed; which form is the smallest depends on the column's collation.
    void searchStartsAtTheSmallestCaseForm_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("unicode collation") << u"NEV"_s;
        QTest::newRow("binary collation") << u"VAROS"_s;
    }
    void searchStartsAtTheSmallestCaseForm()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        QFETCH(QString, field);
        const QStringList values{u"budapest"_s, u"Budapest"_s, u"BUDAPEST"_s, u"Budaörs"_s,
                                 u"budaörs"_s,  u"Buda"_s,     u"bükk"_s,     u"Bük"_s,
                                 u"Érd"_s,      u"érd"_s,      u"Eger"_s,     u"eger"_s,
                                 u"EGER"_s,     u"Zánka"_s};
        {
            db::Transaction transaction(db.connectionName());
            for (int kod = 1; kod <= 120; ++kod) {
                // Records before the matches, so that they lie beyond the first chunk.
                const QString value =
                    kod <= 60 ? u"Aaa"_s + QString::number(kod) : values[kod % values.size()];
                QVERIFY(db::execute(db.connectionName(),
                                    u"INSERT INTO UGYFEL (KOD, NEV, VAROS) VALUES (:k, :v, :v)"_s,
                                    {{u"k"_s, kod}, {u"v"_s, value}}));
            }
            QVERIFY(transaction.commit());
        }
        TorzsModel model(db.connectionName());
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setChunkSize(8);
        model.setGridColumns({{field, field, {}}});
        model.query().setLines(
            torzs::selectLines({u"KOD"_s, field}, u"UGYFEL"_s, {}, torzs::orderLine(field)));
        QString error;
        QVERIFY2(model.reopen(&error), qPrintable(error));
        QVERIFY(model.searchStatement(field) != model.prefixStatement(field));
        std::vector<QVariantList> whole;
        {
            db::Query q(db.connectionName());
            q.setLines(model.query().lines());
            QVERIFY2(q.exec(), qPrintable(q.lastError()));
            while (q.next())
                whole.push_back({q.value(u"KOD"_s), q.value(field)});
        }
        for (const QString& text : {u"bud"_s, u"BUDA"_s, u"budaö"_s, u"bü"_s, u"érd"_s, u"ÉR"_s,
                                    u"e"_s, u"eGe"_s, u"z"_s, u"x"_s, u"aaa5"_s}) {
            model.reopen(&error);
            const int expected = scanningSearch(whole, 1, text);
            const int row = model.search(field, text);
            const QVariant found = model.value(row, u"KOD"_s);
            QVERIFY2(expected < 0 ? row == -1 : found == whole[size_t(expected)][0],
                     qPrintable(u"%1: %2, not %3"_s.arg(
                         text, found.toString(),
                         expected < 0 ? u"none"_s : whole[size_t(expected)][0].toString())));
        }
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
        QVERIFY(!model.countKnown());
        QCOMPARE(model.totalCount(), customers);
        QVERIFY(db::execute(u"d_masik"_s,
                            u"INSERT INTO UGYFEL (KOD, NEV) VALUES (1000, 'Zz utolsó')"_s, {},
                            &error));
        QCOMPARE(model.totalCount(), customers);
        QVERIFY2(model.reopen(&error), qPrintable(error));
        QCOMPARE(model.totalCount(), customers + 1);
        const int row = model.locate({u"KOD"_s}, {1000});
        QCOMPARE(model.value(row, u"NEV"_s).toString(), u"Zz utolsó"_s);
        QVERIFY(!model.fetchUpTo(row + 1));
        QVERIFY2(model.reopen(&error), qPrintable(error));
        QCOMPARE(model.value(model.last(), u"KOD"_s).toInt(), 1000);
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
