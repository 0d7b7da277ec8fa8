#include "frameworkdb.h"

#include "core/dat.h"
#include "core/messages.h"
#include "framework/editorhooks.h"
#include "framework/rights.h"
#include "framework/torzsdata.h"
#include "framework/torzsentry.h"
#include "framework/torzsstatements.h"
#include "platform/dbquery.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace mivo;

namespace
{

QVariant scalarOf(const QString& sql)
{
    QString error;
    const QVariant v = db::scalar(QStringLiteral("d_mivo"), sql, {}, &error);
    if (!error.isEmpty())
        qWarning() << error;
    return v;
}

int count(const QString& sql)
{
    return scalarOf(sql).toInt();
}

/// An editor core over a table with the columns as the panel would list them.
std::unique_ptr<TorzsData> openData(const QString& specText, const QStringList& panelFields,
                                    const QString& condition = {})
{
    auto d = std::make_unique<TorzsData>(torzs::parseSpec(specText));
    d->rights = ReadTableRights(d->tableSpec().rightsName);
    d->condition = torzs::normaliseCondition(condition);
    if (!d->openStructure() || !d->setColumns(panelFields))
        return nullptr;
    d->writeRecordsQuery(panelFields.value(0));
    d->reopen();
    return d;
}

TorzsInputs inputs(std::initializer_list<std::pair<const char*, const char*>> values)
{
    TorzsInputs in;
    for (const auto& [field, text] : values)
        in[QString::fromLatin1(field)] =
            TorzsInput{QString::fromUtf8(text), false, true, false, false, {}};
    return in;
}

class Recorder : public ChangeScriptRecorder
{
public:
    void record(const QString& table, const QString& statement,
                const std::map<QString, QVariant>& parameters) override
    {
        tables << table;
        statements << statement;
        params = parameters;
    }
    QStringList tables, statements;
    std::map<QString, QVariant> params;
};

const QStringList customerFields{QStringLiteral("KOD"), QStringLiteral("NEV"),
                                 QStringLiteral("VAROS")};

} // namespace

class TestTorzsData : public QObject
{
    Q_OBJECT
private slots:
    void specs_data()
    {
        QTest::addColumn<QString>("tableSpec");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("rights");
        QTest::newRow("plain") << "ugyfel"
                               << "UGYFEL"
                               << "UGYFEL"
                               << ""
                               << "UGYFEL";
        QTest::newRow("module") << "ARU,KESZULEK"
                                << "ARU"
                                << "KESZULEK"
                                << ""
                                << "ARU,KESZULEK";
        QTest::newRow("module as written") << "Aru,Keszulek"
                                           << "ARU"
                                           << "KESZULEK"
                                           << ""
                                           << "Aru,Keszulek";
        QTest::newRow("plus") << "SZERELO+ARU"
                              << "SZERELO"
                              << "SZERELO"
                              << "ARU"
                              << "SZERELO";
        QTest::newRow("comma wins") << "A+B,C"
                                    << "A+B"
                                    << "C"
                                    << ""
                                    << "A+B,C";
    }
    void specs()
    {
        QFETCH(QString, tableSpec);
        const torzs::Spec s = torzs::parseSpec(tableSpec);
        QTEST(s.table, "table");
        QTEST(s.module, "module");
        QTEST(s.secondModule, "second");
        QTEST(s.rightsName, "rights");
    }

    void conditions_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("condition");
        QTest::newRow("empty") << "  "
                               << "";
        QTest::newRow("without WHERE") << "ARU.JELLEG='K'"
                                       << "WHERE ARU.JELLEG='K'";
        QTest::newRow("with Where") << " Where ARU.JELLEG='K' "
                                    << "Where ARU.JELLEG='K'";
    }
    void conditions()
    {
        QFETCH(QString, argument);
        QTEST(torzs::normaliseCondition(argument), "condition");
    }

    void windowStates()
    {
        QCOMPARE(torzs::windowState(QString(), QStringLiteral("maximized")),
                 torzs::WindowState::Maximized);
        QCOMPARE(torzs::windowState(QStringLiteral("Normal"), QStringLiteral("MAXIMIZED")),
                 torzs::WindowState::Normal);
        QCOMPARE(torzs::windowState(QStringLiteral("x"), QString()), torzs::WindowState::Keep);
    }

    void statements()
    {
        // A two-column key, a column whose name holds "AND", a name longer than 20 characters.
        const QList<torzs::Column> cols{
            {QStringLiteral("SZERELOKOD"), QStringLiteral("VARCHAR")},
            {QStringLiteral("DATUM"), QStringLiteral("VARCHAR")},
            {QStringLiteral("ALLANDO"), QStringLiteral("VARCHAR")},
            {QStringLiteral("NAGYON_HOSSZU_OSZLOP_NEVE_X"), QStringLiteral("INTEGER")}};
        const torzs::Statements s(QStringLiteral("NAPIREND"), cols,
                                  {QStringLiteral("SZERELOKOD"), QStringLiteral("ALLANDO")});
        const QStringList update = s.updateLines();
        QCOMPARE(
            update.mid(update.indexOf(QStringLiteral("WHERE"))),
            (QStringList{"WHERE", "SZERELOKOD= :OLD_SZERELOKOD AND", "ALLANDO= :OLD_ALLANDO"}));
        QVERIFY(update.contains(
            QStringLiteral("NAGYON_HOSSZU_OSZLOP_NEVE_X= :NAGYON_HOSSZU_OSZLOP_NEVE_X")));
        // A null old key is matched as null, not dropped from the WHERE.
        const QStringList nullKey = s.updateLines({QStringLiteral("ALLANDO")});
        QCOMPARE(nullKey.mid(nullKey.indexOf(QStringLiteral("WHERE"))),
                 (QStringList{"WHERE", "SZERELOKOD= :OLD_SZERELOKOD AND", "ALLANDO IS NULL"}));
        QCOMPARE(s.deleteLines(),
                 (QStringList{"DELETE FROM NAPIREND WHERE ", "SZERELOKOD= :SZERELOKOD AND",
                              "ALLANDO= :ALLANDO"}));
        QCOMPARE(s.insertLines().last(), QStringLiteral("RETURNING SZERELOKOD,ALLANDO"));
        QCOMPARE(torzs::columnList({QStringLiteral("NEV")}, {QStringLiteral("KOD")}),
                 (QStringList{"NEV", "KOD"}));
    }

    void parameterValues_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("integer") << "INTEGER"
                                 << " 12 " << true << QVariant(12LL);
        QTest::newRow("lone minus") << "INTEGER"
                                    << "-" << false << QVariant();
        QTest::newRow("pasted text") << "SMALLINT"
                                     << "12a" << false << QVariant();
        QTest::newRow("float comma") << "FLOAT"
                                     << "1 234,5" << true << QVariant(1234.5);
        QTest::newRow("float point") << "FLOAT"
                                     << "-0.25" << true << QVariant(-0.25);
        QTest::newRow("float word") << "FLOAT"
                                    << "inf" << false << QVariant();
        QTest::newRow("empty number") << "FLOAT"
                                      << "" << true << QVariant();
        QTest::newRow("text") << "VARCHAR"
                              << " a " << true << QVariant(" a ");
    }
    void parameterValues()
    {
        QFETCH(QString, type);
        QFETCH(QString, text);
        QFETCH(QVariant, value);
        bool ok = false;
        const QVariant v = torzs::parameterValue(type, text, &ok);
        QTEST(ok, "ok");
        if (value.isValid())
            QCOMPARE(v.toString(), value.toString());
        else
            QVERIFY(v.isNull());
    }

    void insertPositionsOnTheNewRowAndLogs()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("INSERT INTO UGYFEL (KOD, NEV) VALUES (120, 'Zala')"));
        QVERIFY(db.exec("SET GENERATOR GEN_UGYFEL TO 11"));
        auto d = openData(QStringLiteral("UGYFEL"), customerFields);
        QVERIFY(d);
        QAbstractItemModelTester tester(&d->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        // KOD stays empty: the generator numbers the customer (BEFOREPOST 1 allows that).
        const TorzsStoreResult r = d->store(
            TorzsState::Insert, inputs({{"KOD", ""}, {"NEV", "Ács Éva"}, {"VAROS", "Pécs"}}), 0);
        QCOMPARE(r.outcome, TorzsStoreResult::Stored);
        QCOMPARE(r.positionKey.value(0).toInt(), 12);
        d->reopen();
        // Exactly 12: not 120, which a partial match would find first.
        const int row = d->locate(r.positionKey);
        QCOMPARE(d->model().value(row, QStringLiteral("KOD")).toInt(), 12);
        QCOMPARE(
            count(
                "SELECT count(*) FROM DOKU WHERE AKCIO='I' AND KULCSERTEK='12' AND TABLA='UGYFEL'"),
            2);
        QCOMPARE(scalarOf("SELECT MIRE FROM DOKU WHERE MEZO='NEV'").toString(),
                 QStringLiteral("Ács Éva"));
        QVERIFY(messages->texts.isEmpty());
    }

    void updateKeepsNullsAndLogsChanges()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("DELETE FROM TEVEKENYS"));
        QVERIFY(
            db.exec("INSERT INTO TEVEKENYS (KOD, NEV, SORREND) VALUES ('JAV', 'Javitas', NULL)"));
        QVERIFY(
            db.exec("INSERT INTO TEVEKENYS (KOD, NEV, SORREND) VALUES ('KAR', 'Karbantartas', 5)"));
        auto d =
            openData(QStringLiteral("TEVEKENYS"),
                     {QStringLiteral("KOD"), QStringLiteral("NEV"), QStringLiteral("SORREND")});
        QVERIFY(d);
        const int row = d->locate({QStringLiteral("JAV")});
        QVERIFY(row >= 0);
        const TorzsInputs typed = inputs({{"KOD", "JAV"}, {"NEV", "Javítás"}, {"SORREND", ""}});
        QVERIFY(d->panelChanged(TorzsState::Update, typed, row));
        QCOMPARE(d->store(TorzsState::Update, typed, row).outcome, TorzsStoreResult::Stored);
        QVERIFY(scalarOf("SELECT SORREND FROM TEVEKENYS WHERE KOD='JAV'").isNull());
        QCOMPARE(scalarOf("SELECT NEV FROM TEVEKENYS WHERE KOD='JAV'").toString(),
                 QStringLiteral("Javítás"));
        QCOMPARE(scalarOf("SELECT NEV FROM TEVEKENYS WHERE KOD='KAR'").toString(),
                 QStringLiteral("Karbantartas"));
        QCOMPARE(count("SELECT count(*) FROM DOKU WHERE AKCIO='U'"), 1);
        QCOMPARE(scalarOf("SELECT MIROL FROM DOKU WHERE AKCIO='U'").toString(),
                 QStringLiteral("Javitas"));
        d->reopen();
        QVERIFY(!d->panelChanged(TorzsState::Update, typed, d->locate({QStringLiteral("JAV")})));
    }

    void refusedInputsKeepTheState_data()
    {
        QTest::addColumn<QString>("nev");
        QTest::addColumn<QString>("sorrend");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("not a number") << "Új"
                                      << "-"
                                      << "Nem jó szám."
                                      << "SORREND";
        QTest::newRow("pasted text") << "Új"
                                     << "12x"
                                     << "Nem jó szám."
                                     << "SORREND";
        QTest::newRow("required key") << "Új"
                                      << "1"
                                      << "Kitöltendő mezőt üresen hagyott : KOD"
                                      << "KOD";
    }
    void refusedInputsKeepTheState()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("DELETE FROM TEVEKENYS"));
        auto d =
            openData(QStringLiteral("TEVEKENYS"),
                     {QStringLiteral("KOD"), QStringLiteral("NEV"), QStringLiteral("SORREND")});
        QVERIFY(d);
        QFETCH(QString, message);
        TorzsInputs typed;
        typed[QStringLiteral("KOD")] =
            TorzsInput{message.startsWith(QLatin1String("Kit")) ? QString() : QStringLiteral("UJ"),
                       true,
                       true,
                       false,
                       false,
                       {}};
        QFETCH(QString, nev);
        QFETCH(QString, sorrend);
        typed[QStringLiteral("NEV")] = TorzsInput{nev, false, true, false, false, {}};
        typed[QStringLiteral("SORREND")] = TorzsInput{sorrend, false, true, false, false, {}};
        const TorzsStoreResult r = d->store(TorzsState::Insert, typed, -1);
        QCOMPARE(r.outcome, TorzsStoreResult::Refused);
        QTEST(r.focusField, "focus");
        QCOMPARE(messages->texts, QStringList{message});
        QCOMPARE(count("SELECT count(*) FROM TEVEKENYS"), 0);
    }

    void tableWithoutKey()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("CREATE TABLE KULCSNELKUL (NEV VARCHAR(10), DB INTEGER)"));
        QVERIFY(db.exec("INSERT INTO KULCSNELKUL VALUES ('a', 1)"));
        QVERIFY(db.exec("INSERT INTO KULCSNELKUL VALUES ('a', 1)"));
        QVERIFY(db.exec("INSERT INTO KULCSNELKUL VALUES ('b', NULL)"));
        auto d =
            openData(QStringLiteral("KULCSNELKUL"), {QStringLiteral("NEV"), QStringLiteral("DB")});
        QVERIFY(d);
        QCOMPARE(d->store(TorzsState::Update, inputs({{"NEV", "c"}, {"DB", "2"}}), 0).outcome,
                 TorzsStoreResult::Stored);
        QCOMPARE(count("SELECT count(*) FROM KULCSNELKUL WHERE NEV='a'"), 1);
        // A null in the row is matched as null: the update finds it and only it.
        d->reopen();
        QCOMPARE(d->store(TorzsState::Update, inputs({{"NEV", "d"}, {"DB", ""}}),
                          d->locate({QStringLiteral("b"), QVariant()}))
                     .outcome,
                 TorzsStoreResult::Stored);
        QCOMPARE(count("SELECT count(*) FROM KULCSNELKUL WHERE NEV='d' AND DB IS NULL"), 1);
        QCOMPARE(count("SELECT count(*) FROM KULCSNELKUL"), 3);
        d->reopen();
        QVERIFY(!d->remove(0));
        QCOMPARE(messages->texts.last(),
                 QStringLiteral("Nem törölhet elsődleges kulcs nélküli táblából"));
        QCOMPARE(count("SELECT count(*) FROM KULCSNELKUL"), 3);
    }

    void rowChangedByAnotherWorkstation_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("outcome");
        QTest::newRow("yes: store as new") << 0 << int(TorzsStoreResult::InsertInstead);
        QTest::newRow("no: discard") << 1 << int(TorzsStoreResult::Discarded);
    }
    void rowChangedByAnotherWorkstation()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("DELETE FROM TAVOLLET"));
        QVERIFY(db.exec("INSERT INTO TAVOLLET (KOD, NEV) VALUES ('SZ', 'Szabadság')"));
        auto d =
            openData(QStringLiteral("TAVOLLET"), {QStringLiteral("KOD"), QStringLiteral("NEV")});
        QVERIFY(d);
        // The other workstation's connection changes the key after the editor read the row.
        QVERIFY(db.exec("UPDATE TAVOLLET SET KOD='SZB' WHERE KOD='SZ'"));
        QFETCH(int, answer);
        messages->queueAnswers({answer});
        const TorzsInputs typed = inputs({{"KOD", "SZ"}, {"NEV", "Szabi"}});
        const TorzsStoreResult r = d->store(TorzsState::Update, typed, 0);
        QFETCH(int, outcome);
        QCOMPARE(int(r.outcome), outcome);
        QCOMPARE(messages->texts.value(0),
                 QStringLiteral("Nem sikerült a módosítás.\rValaki törölte a tételt, vagy átírta "
                                "a kulcsot.\rMindenképpen tárolni akarja a módosításait?"));
        QCOMPARE(count("SELECT count(*) FROM DOKU"), 0);
        if (answer == 0) {
            QCOMPARE(d->store(TorzsState::Insert, typed, 0).outcome, TorzsStoreResult::Stored);
            QCOMPARE(count("SELECT count(*) FROM TAVOLLET"), 2);
        } else {
            QCOMPARE(count("SELECT count(*) FROM TAVOLLET WHERE NEV='Szabi'"), 0);
        }
    }

    void deleteRefusalsAndLog()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("INSERT INTO UGYFEL (KOD, NEV) VALUES (1, 'Van keszuleke')"));
        QVERIFY(db.exec("INSERT INTO UGYFEL (KOD, NEV) VALUES (2, 'Nincs')"));
        QVERIFY(db.exec("INSERT INTO KESZULEK (KOD, UGYFEL) VALUES (1, 1)"));
        auto d = openData(QStringLiteral("UGYFEL"), {QStringLiteral("KOD"), QStringLiteral("NEV")});
        QVERIFY(d);
        QVERIFY(!d->remove(d->locate({1})));
        QCOMPARE(messages->texts,
                 QStringList{QStringLiteral("Nem törölhető szerkezeti integritás miatt")});
        messages->queueAnswers({1});
        QVERIFY(!d->remove(d->locate({2})));
        QCOMPARE(count("SELECT count(*) FROM UGYFEL"), 2);
        messages->queueAnswers({0});
        QVERIFY(d->remove(d->locate({2})));
        QCOMPARE(messages->texts.last(), QStringLiteral("Biztos, hogy törölni akarja ?"));
        QCOMPARE(count("SELECT count(*) FROM UGYFEL"), 1);
        QCOMPARE(count("SELECT count(*) FROM DOKU WHERE AKCIO='D' AND KULCSERTEK='2'"), 1);
        QCOMPARE(d->model().rowCount(), 1);
    }

    void afterPostRecordsTheStatement()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        ScriptedMessagesGuard messages;
        QVERIFY(db.exec("UPDATE TABLAK SET AFTERPOST=1 WHERE TABLANEV='UGYFEL'"));
        Recorder recorder;
        setChangeScriptRecorder(&recorder);
        auto d = openData(QStringLiteral("UGYFEL"), customerFields);
        QVERIFY(d);
        QCOMPARE(
            d->store(TorzsState::Insert, inputs({{"KOD", ""}, {"NEV", "Új"}, {"VAROS", ""}}), -1)
                .outcome,
            TorzsStoreResult::Stored);
        setChangeScriptRecorder(nullptr);
        QCOMPARE(recorder.tables, QStringList{QStringLiteral("UGYFEL")});
        QVERIFY(recorder.statements.value(0).startsWith(QLatin1String("INSERT INTO UGYFEL")));
        QVERIFY(!recorder.statements.value(0).contains(QLatin1String("RETURNING")));
        // Other sites get the key this site's generator gave.
        QCOMPARE(recorder.params[QStringLiteral("kod")].toInt(),
                 scalarOf("SELECT KOD FROM UGYFEL").toInt());
        QCOMPARE(recorder.params[QStringLiteral("nev")].toString(), QStringLiteral("Új"));
    }

    void searchTakesTheLongestBeginning()
    {
        FrameworkDb db;
        QVERIFY(db.ok());
        for (const char* name : {"Kovács", "Kovács Béla", "Kozma", "Nagy"})
            QVERIFY(db.exec(QStringLiteral("INSERT INTO UGYFEL (NEV) VALUES ('%1')")
                                .arg(QString::fromUtf8(name))));
        auto d = openData(QStringLiteral("UGYFEL"), {QStringLiteral("NEV")});
        QVERIFY(d);
        const auto found = [&d](const char* text) {
            return d->model()
                .value(d->model().search(QStringLiteral("NEV"), QString::fromUtf8(text)),
                       QStringLiteral("NEV"))
                .toString();
        };
        QCOMPARE(found("kovács b"), QStringLiteral("Kovács Béla"));
        QCOMPARE(found("KOZ"), QStringLiteral("Kozma"));
        QCOMPARE(found("Kovx"), QStringLiteral("Kovács"));
        QCOMPARE(found("Nagyobb"), QStringLiteral("Nagy"));
        QCOMPARE(d->model().search(QStringLiteral("NEV"), QStringLiteral("Zs")), -1);
        d->setOrder(QStringLiteral("NEV DESC"));
        d->reopen();
        QCOMPARE(d->model().value(0, QStringLiteral("NEV")).toString(), QStringLiteral("Nagy"));
    }

    void hooks()
    {
        Td::instance().ownCompany = QStringLiteral("SAJAT");
        std::map<QString, QString> panel{{QStringLiteral("CEGKOD"), {}},
                                         {QStringLiteral("KOD"), {}}};
        const PanelSetter setter = [&panel](const QString& f, const QString& v) {
            if (!panel.count(f))
                return false;
            panel[f] = v;
            return true;
        };
        hooks::AfterInsertHook(2, setter);
        QCOMPARE(panel[QStringLiteral("CEGKOD")], QStringLiteral("SAJAT"));
        hooks::AfterInsertHook(3, setter);
        QCOMPARE(panel[QStringLiteral("KOD")], QStringLiteral("0"));
        QVERIFY(hooks::BeforePostHook(1, {}));
        int shown = 0;
        hooks::setSpecialFunctions([&shown] { ++shown; });
        QVERIFY(hooks::QReportHook(1));
        QVERIFY(hooks::ExportHook(1));
        QVERIFY(!hooks::QReportHook(2));
        hooks::setSpecialFunctions({});
        QCOMPARE(shown, 2);
    }
};

QTEST_GUILESS_MAIN(TestTorzsData)
#include "tst_torzsdata.moc"
