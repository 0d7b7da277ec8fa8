// Lists of the shipped catalogue run on the demo database by the builder, compared with the
// same numbers asked directly; runs with their rights, history, failures and temporary tables.
#include "kvarcelfixture.h"

#include "framework/kvarcelparams.h"
#include "platform/dbquery.h"

#include "core/clock.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <map>

using namespace mivo;
using namespace mivo::kvarcel;
using namespace Qt::StringLiterals;

namespace
{

using Counts = std::map<QString, int>;

// Counts of a two-column grouping asked directly: "a|b" → count.
Counts direct(const QString& sql)
{
    Counts counts;
    db::Query q(u"d_mivo"_s);
    q.setSql(sql);
    if (!q.exec())
        qWarning() << q.lastError();
    while (q.next())
        counts[q.value(0).toString().trimmed() + u"|"_s + q.value(1).toString().trimmed()] =
            q.value(2).toInt();
    return counts;
}

int count(const QString& sql)
{
    return db::scalar(u"d_mivo"_s, sql).toInt();
}

} // namespace

class TestKvarcelRun : public QObject
{
    Q_OBJECT

private slots:
    void init() { clock::set({}); }

    // Planned technician (group 1), activity (group 2), state and job count: every job once,
    // a total per technician and activity and per technician, the grand total.
    void technicianActivityStateCount()
    {
        KvarcelFixture f;
        f.choose(u"SZERELONEV"_s, u"A"_s, {}, u"1"_s);
        f.choose(u"TERVTEVNEV"_s, u"B"_s, {}, u"2"_s);
        f.choose(u"MUNKALLAPOT"_s, u"C"_s);
        f.choose(u"MUNKADB"_s, u"D"_s);
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        QVERIFY2(f.messages->texts.isEmpty(), qPrintable(f.messages->texts.join(u'\n')));
        QAbstractItemModelTester tester(&f.builder->result());
        ResultModel& m = f.builder->result();
        QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), u"Szerelő"_s);
        QCOMPARE(m.headerData(3, Qt::Horizontal).toString(), u"Db"_s);
        QCOMPARE(m.headerData(4, Qt::Horizontal).toString(), u"OSSZESEN"_s);

        const int jobs = count(u"select count(*) from MUNKA"_s);
        const Counts pairs = direct(
            u"select s.NEV, t.NEV, count(*) from MUNKA m left join SZERELO s on s.KOD=m.SZERELOT "
            "left join TEVEKENYS t on t.KOD=m.TERVTEV group by 1, 2"_s);
        const Counts technicians = direct(
            u"select s.NEV, '', count(*) from MUNKA m left join SZERELO s on s.KOD=m.SZERELOT "
            "group by 1"_s);
        Counts gridPairs, gridTechnicians;
        int details = 0;
        QList<int> blankTotals;
        for (const QStringList& r : f.rows()) {
            if (r[4].isEmpty()) {
                ++details;
                QCOMPARE(r[3], u"1"_s);
                continue;
            }
            QCOMPARE(r[3], r[4]); // jobs counted = rows summed up
            if (!r[1].isEmpty())
                gridPairs[r[0] + u"|"_s + r[1]] = r[4].toInt();
            else if (!r[0].isEmpty())
                gridTechnicians[r[0] + u"|"_s] = r[4].toInt();
            else
                blankTotals << r[4].toInt();
        }
        QCOMPARE(details, jobs);
        QCOMPARE(gridPairs, pairs);
        std::sort(blankTotals.begin(), blankTotals.end());
        // The unassigned jobs' total and the grand total are both blank in every text column.
        QCOMPARE(blankTotals, (QList<int>{technicians.at(u"|"_s), jobs}));
        Counts named = technicians;
        named.erase(u"|"_s);
        QCOMPARE(gridTechnicians, named);
        QCOMPARE(f.temporaryObjects(), 0);
        QCOMPARE(f.builder->log().size(), f.builder->statementText.count(u";\n"_s) + 1);
    }

    // Parts used: quantities summed per part; jobs without parts are all-zero rows, left out
    // unless asked for; a condition on the part makes its join inner.
    void partsUsed()
    {
        KvarcelFixture f;
        // Forty rows on two parts of its own in place of the demo's.
        QVERIFY(f.db.exec(u"DELETE FROM MUNKA_ALK"_s));
        QVERIFY(f.db.exec(u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, MENNYISEG) select first 40 "
                          "m.KOD, a.BELSOKOD, 1 + mod(m.KOD, 3) from MUNKA m, ARU a where "
                          "a.JELLEG='A' and a.KOD in ('A1001', 'A1004') order by m.KOD"_s));
        f.choose(u"MALANEV"_s, u"A"_s, {}, u"1"_s);
        f.choose(u"ALKMENNY"_s, u"B"_s);
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        const Counts sums =
            direct(u"select a.NEV, '', sum(k.MENNYISEG) from MUNKA_ALK k join ARU a "
                   "on a.BELSOKOD=k.ALKATRESZ group by 1"_s);
        Counts grid;
        int rows = 0;
        for (const QStringList& r : f.rows()) {
            ++rows;
            if (!r[2].isEmpty() && !r[0].isEmpty())
                grid[r[0] + u"|"_s] = r[1].toInt();
        }
        QCOMPARE(grid, sums);
        QCOMPARE(rows, 40 + 2 + 1);

        // With the job's code the jobs join in, each job without parts an all-zero row.
        f.choose(u"MUNKAKOD"_s, u"C"_s);
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        QCOMPARE(f.builder->result().rowCount(), 40 + 2 + 1);
        f.builder->options().nullas = true;
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        const int jobs = count(u"select count(*) from MUNKA"_s);
        // Every job without parts once more, and a blank part's total.
        QCOMPARE(f.builder->result().rowCount(), jobs - 20 + 40 + 3 + 1);

        f.item(u"MALANEV"_s).feltetel = u" like 'Gyújtó%'"_s;
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        QCOMPARE(f.builder->result().rowCount(), 20 + 1 + 1);
        QCOMPARE(f.temporaryObjects(), 0);
    }

    // Customers with appliances: a count per customer, customers without appliances too.
    void customersWithAppliances()
    {
        KvarcelFixture f;
        f.choose(u"UGYNEV"_s, u"A"_s, u"1"_s);
        f.choose(u"UGYFELKOD"_s, u"B"_s);
        f.choose(u"KESZDB"_s, u"C"_s);
        QVERIFY(f.db.exec(u"INSERT INTO UGYFEL (KOD, NEV) VALUES (900001, 'Ádám Éva')"_s));
        f.builder->options().nullas = true;
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        const Counts direct =
            ::direct(u"select u.KOD, u.NEV, count(k.KOD) from UGYFEL u left join KESZULEK k on "
                     "k.UGYFEL=u.KOD group by 1, 2"_s);
        Counts grid;
        for (const QStringList& r : f.rows())
            if (r[3].isEmpty())
                grid[r[1] + u"|"_s + r[0]] += r[2].toInt();
        QCOMPARE(grid, direct);
        QCOMPARE(grid.at(u"900001|Ádám Éva"_s), 0);
    }

    // Absences: the standing filter keeps the days that are not work days.
    void technicianAbsences()
    {
        KvarcelFixture f;
        f.choose(u"SZERNEV"_s, u"A"_s, {}, u"1"_s);
        f.choose(u"TAVJNEV"_s, u"B"_s, {}, u"2"_s);
        f.choose(u"TAVNDB"_s, u"C"_s);
        QVERIFY(f.db.exec(u"UPDATE NAPIREND SET MUNKAKEPES='M' WHERE MUNKAKEPES='BET'"_s));
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        QVERIFY(f.builder->statementText.contains(u"TAVN.MUNKAKEPES<>'M'"_s));
        const Counts direct = ::direct(
            u"select s.NEV, t.NEV, count(*) from NAPIREND n join SZERELO s on s.KOD=n.SZERELOKOD "
            "join TAVOLLET t on t.KOD=n.MUNKAKEPES where n.MUNKAKEPES<>'M' group by 1, 2"_s);
        Counts grid;
        for (const QStringList& r : f.rows())
            if (!r[3].isEmpty() && !r[1].isEmpty())
                grid[r[0] + u"|"_s + r[1]] = r[2].toInt();
        QCOMPARE(grid, direct);
        QCOMPARE(f.temporaryObjects(), 0);
    }

    // Month and date items run on Firebird.
    void monthAndDate()
    {
        KvarcelFixture f;
        f.choose(u"FELVHONAP"_s, u"A"_s, {}, u"1"_s);
        f.choose(u"LISTANAP"_s, u"B"_s);
        f.choose(u"MUNKADB"_s, u"C"_s);
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        const Counts direct = ::direct(u"select 'M' || substring(FELVETELD from 1 for 7), '', "
                                       "count(*) from MUNKA group by 1"_s);
        Counts grid;
        for (const QStringList& r : f.rows()) {
            if (r[3].isEmpty())
                QCOMPARE(r[1], QDate::currentDate().toString(u"yyyy.MM.dd"_s));
            else if (!r[0].isEmpty() && !r[0].startsWith(u'9'))
                grid[r[0] + u"|"_s] = r[2].toInt();
        }
        QCOMPARE(grid, direct);
    }

    // Three SELECTs: the third in the grid, three lines in the log.
    void threeSelects()
    {
        KvarcelFixture f(false, u"9"_s);
        f.builder->advancedShown = true;
        f.builder->statementText = u"select 1 from rdb$database;\nselect KOD from ALLAPOT;\n"
                                   "select KOD, NEV from TAVOLLET\norder by KOD;"_s;
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        QCOMPARE(f.builder->log(),
                 (QStringList{u"1.:1 SELECT"_s, u"2.:7 SELECT"_s, u"3.:5 SELECT"_s}));
        QCOMPARE(f.builder->resultLabel(), u"    3.:5        SELECT"_s);
        QCOMPARE(f.builder->result().columnCount(), 2);
        QCOMPARE(f.rows().front(), (QStringList{u"BET"_s, u"Betegség"_s}));
    }

    // A statement that fails mid-run: the message with the database's text, "HIBA" in the
    // history, the statements before it stay done and no temporary object is left.
    void failingStatement()
    {
        KvarcelFixture f(true, u"9"_s);
        f.choose(u"ALLAPOTNEV"_s, u"A"_s, {}, u"1"_s);
        f.choose(u"MUNKADB"_s, u"B"_s);
        QCOMPARE(f.builder->generate(false), Generation::Script);
        f.builder->advancedShown = true;
        QStringList lines = f.builder->statementText.split(u'\n');
        const qsizetype update = lines.indexOf(u"  ( "_s) - 1;
        lines.insert(update, u"update NINCS_ILYEN set A=1;"_s);
        f.builder->statementText = lines.join(u'\n');
        QCOMPARE(f.builder->run(), RunOutcome::Status::Failed);
        QCOMPARE(f.messages->texts.size(), 1);
        QVERIFY2(f.messages->texts.front().startsWith(u"Hibás sql utasítás.\n"_s) &&
                     f.messages->texts.front().contains(u"NINCS_ILYEN"_s),
                 qPrintable(f.messages->texts.front()));
        QCOMPARE(f.temporaryObjects(), 0);
        QString history;
        QVERIFY(readTextFile(f.builder->history().path(), &history, nullptr));
        const QStringList results = history.split(u'\n').filter(u"/* . "_s);
        QCOMPARE(results.size(), 3);
        QVERIFY2(results.back().startsWith(u"000001 /* . HIBA                             "_s),
                 qPrintable(results.back()));
        QCOMPARE(f.builder->log(), (QStringList{u"1.:0 CREATE TABLE"_s, u"2.:480 INSERT"_s}));
    }

    // The history: a file per user and workstation, the script and a line per statement;
    // power users go on numbering, others start afresh; "-" writes none.
    void history()
    {
        QString path;
        {
            KvarcelFixture f(true, u"9"_s);
            path = QDir(f.dir.path()).filePath(u"KVARCI_Kovács Béla_GEP1.TXT"_s);
            QCOMPARE(f.builder->history().path(), path);
            f.choose(u"ALLAPOTNEV"_s, u"A"_s);
            QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
            QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
            QString text;
            QVERIFY(readTextFile(path, &text, nullptr));
            QStringList lines = text.split(u'\n');
            QVERIFY(lines.front().startsWith(u"Kovács Béla GEP1 "_s));
            QCOMPARE(lines.filter(u"000002 select ALLAPOTNEV,OSSZESEN from TMPKovacs_Be"_s).size(),
                     1);
            const QStringList results = lines.filter(u"000001 /* . "_s);
            QCOMPARE(results.size(), f.builder->log().size());
            QVERIFY(results.front().contains(
                QRegularExpression(u"^000001 /\\* \\.     1\\.:0        CREATE TABLE {5}"
                                   "\\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\*/$"_s)));
            // The file is Windows-1250 with CRLF line ends.
            QFile raw(path);
            QVERIFY(raw.open(QIODevice::ReadOnly));
            const QByteArray bytes = raw.readAll();
            QVERIFY(bytes.contains("Kov\xe1"
                                   "cs B\xe9la GEP1"));
            QVERIFY(bytes.contains("\r\n"));
            // A power user's next start goes on from the highest number.
            f.builder.reset();
            db::Connection::named(u"D_KVARCEL"_s).clear();
            f.builder = std::make_unique<Builder>(f.db.connectionName());
            QString error;
            QVERIFY(f.builder->connect(&error));
            f.builder->start(u"Kovács Béla"_s, u"9"_s);
            QCOMPARE(f.builder->history().runNumber(), 2);
            f.builder.reset();
            db::Connection::named(u"D_KVARCEL"_s).clear();
            f.builder = std::make_unique<Builder>(f.db.connectionName());
            QVERIFY(f.builder->connect(&error));
            f.builder->start(u"Kovács Béla"_s, u"A"_s);
            QCOMPARE(f.builder->history().runNumber(), 0);
            QVERIFY(readTextFile(path, &text, nullptr));
            QCOMPARE(text.split(u'\n', Qt::SkipEmptyParts).size(), 1);
        }
        {
            KvarcelFixture f(false, u"A"_s);
            QVERIFY(QFile::remove(f.builder->history().path()));
            Ini::instance().set(u"KVARCITRC"_s, u"-"_s);
            f.builder.reset();
            db::Connection::named(u"D_KVARCEL"_s).clear();
            f.builder = std::make_unique<Builder>(f.db.connectionName());
            QString error;
            QVERIFY(f.builder->connect(&error));
            f.builder->start(u"Kovács Béla"_s, u"A"_s);
            f.choose(u"ALLAPOTNEV"_s, u"A"_s);
            QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
            QVERIFY(!f.builder->history().active());
            QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{});
        }
    }

    // kvarci_kelldrop "N": the result table lives until the builder ends.
    void keptTables()
    {
        KvarcelFixture f;
        Ini::instance().set(u"kvarci_kelldrop"_s, u"N"_s);
        f.builder->start(u"Kovács Béla"_s, u"A"_s);
        f.choose(u"ALLAPOTNEV"_s, u"A"_s);
        f.item(u"MUNKALLAPOT"_s).feltetel = u" = 'OK'"_s;
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        QCOMPARE(f.temporaryObjects(), 1);
        QCOMPARE(f.builder->temporaryObjects().deferred().size(), 1);
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        QCOMPARE(f.temporaryObjects(), 2);
        f.builder.reset();
        QCOMPARE(f.temporaryObjects(), 0);
    }

    // Ordinary users' statements are checked before anything runs; power users' are not.
    void rights()
    {
        {
            KvarcelFixture f(false, QString());
            f.choose(u"ALLAPOTNEV"_s, u"A"_s);
            QCOMPARE(f.builder->run(), RunOutcome::Status::Denied);
            QCOMPARE(f.builder->rightsMode(), u'I');
            QCOMPARE(f.messages->texts, QStringList{u"Erre Önnek nincs jogosultsaga"_s});
            QCOMPARE(f.temporaryObjects(), 0);
            QVERIFY(f.builder->log().isEmpty());
        }
        {
            KvarcelFixture power(false, u"9"_s);
            power.builder->advancedShown = true;
            power.builder->statementText = u"select * from SZ_JUZER;"_s;
            QCOMPARE(power.builder->run(), RunOutcome::Status::Done);
            QCOMPARE(power.builder->rightsMode(), u'N');
        }
        // One ALTER refuses the whole script, even after allowed statements.
        KvarcelFixture loaded(false, u"A"_s);
        const QString file = loaded.dir.filePath(u"kezi.SQL"_s);
        QVERIFY(writeTextFile(
            file, {u"select * from ALLAPOT;"_s, u"alter table ALLAPOT add X integer;"_s}, nullptr));
        QVERIFY(loaded.builder->load(file));
        QCOMPARE(loaded.builder->run(), RunOutcome::Status::Denied);
        QVERIFY(loaded.builder->log().isEmpty());
        QCOMPARE(db::scalar(u"d_mivo"_s, u"select count(*) from rdb$relation_fields where "
                                         "rdb$relation_name='ALLAPOT' and rdb$field_name='X'"_s)
                     .toInt(),
                 0);
    }

    // The value list names its column, narrows text items to the typed start and keeps an
    // apostrophe; month items get their keywords first.
    void valueList()
    {
        KvarcelFixture f;
        QStringList values;
        QVERIFY(f.builder->valueList(f.item(u"MUNKALLAPOT"_s), u"T"_s, &values));
        QCOMPARE(values, (QStringList{u"TAR"_s, u"TOR"_s}));
        QVERIFY(f.builder->valueList(f.item(u"MUGYNEV"_s), u"O'B"_s, &values));
        QVERIFY(f.builder->valueList(f.item(u"TERVHONAP"_s), u""_s, &values));
        QCOMPARE(values.mid(0, 6), (QStringList{u"%aktho%"_s, u"%zartho%"_s, u"%aktzartho%"_s,
                                                u"%januar%"_s, u"%multjan%"_s, u"%multdec%"_s}));
        QVERIFY(values.size() > 6);
        ListItem broken = f.item(u"MUNKALLAPOT"_s);
        broken.tabla = u"NINCS"_s;
        QVERIFY(!f.builder->valueList(broken, u""_s, &values));
    }
};

QTEST_GUILESS_MAIN(TestKvarcelRun)
#include "tst_kvarcelrun.moc"
