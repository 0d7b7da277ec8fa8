#include "frameworkdb.h"

#include "core/clock.h"
#include "core/messages.h"
#include "framework/changelog.h"
#include "framework/controlrows.h"
#include "framework/fieldcheck.h"
#include "framework/fieldtext.h"
#include "framework/infoexpr.h"
#include "framework/numberformat.h"
#include "framework/rights.h"
#include "platform/dbquery.h"

#include <QTest>

using namespace mivo;

namespace
{

// A panel holding the named fields with their texts.
PanelFieldText panelWith(const std::map<QString, QString>& fields)
{
    return [fields](const QString& name) -> std::optional<QString> {
        const auto it = fields.find(name);
        if (it == fields.end())
            return std::nullopt;
        return it->second;
    };
}

QStringList dokuRows()
{
    db::Query q(Tdm::connectionName);
    q.setSql(QStringLiteral(
        "Select AKCIO, MEZO, MIROL, MIRE, KULCSERTEK, TABLA, MIKOR From DOKU Order By MEZO"));
    QStringList rows;
    if (!q.exec())
        return {q.lastError()};
    while (q.next())
        rows << QStringList{q.text(QStringLiteral("AKCIO")),      q.text(QStringLiteral("MEZO")),
                            q.text(QStringLiteral("MIROL")),      q.text(QStringLiteral("MIRE")),
                            q.text(QStringLiteral("KULCSERTEK")), q.text(QStringLiteral("TABLA")),
                            q.text(QStringLiteral("MIKOR"))}
                    .join(QLatin1Char('|'));
    return rows;
}

} // namespace

class TestControlRows : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Tdm::instance().FrameworkRights.clear(); }

    void checkRights_data()
    {
        QTest::addColumn<QString>("requirement");
        QTest::addColumn<QString>("rights");
        QTest::addColumn<bool>("met");
        QTest::newRow("X denies") << "X"
                                  << "" << false;
        QTest::newRow("lower-case x denies") << "x"
                                             << "W" << false;
        QTest::newRow("X denies even W") << "X"
                                         << "W" << false;
        QTest::newRow("empty requirement") << ""
                                           << "C" << true;
        QTest::newRow("blank requirement") << "   "
                                           << "C" << true;
        QTest::newRow("empty rights") << "AB"
                                      << "" << true;
        QTest::newRow("W meets all") << "AB"
                                     << "W" << true;
        QTest::newRow("shared letter") << "AB"
                                       << "BC" << true;
        QTest::newRow("no shared letter") << "AB"
                                          << "CD" << false;
        QTest::newRow("blanks around") << " A "
                                       << " A" << true;
    }
    void checkRights()
    {
        QFETCH(QString, requirement);
        QFETCH(QString, rights);
        QFETCH(bool, met);
        Tdm::instance().FrameworkRights = rights;
        QCOMPARE(CheckRights(requirement), met);
    }

    void frameworkUserStartsEmpty()
    {
        QVERIFY(Tdm::instance().FrameworkRights.isEmpty());
        QVERIFY(Tdm::instance().FrameworkUser.isEmpty());
    }

    void readTableRights_data()
    {
        QTest::addColumn<QString>("rights");
        QTest::addColumn<QString>("tableSpec");
        QTest::addColumn<QString>("access");
        QTest::addColumn<bool>("refused");
        QTest::newRow("no row") << ""
                                << "NINCSSOR"
                                << "FULL" << false;
        QTest::newRow("may write") << "B"
                                   << "PROBA"
                                   << "FULL" << false;
        QTest::newRow("view only") << "A"
                                   << "PROBA"
                                   << "VIEW" << false;
        QTest::newRow("nothing") << "C"
                                 << "PROBA"
                                 << "NONE" << true;
        QTest::newRow("whole tableSpec with comma") << "C"
                                                    << "ARU,PROBA"
                                                    << "FULL" << false;
    }
    void readTableRights()
    {
        QFETCH(QString, rights);
        QFETCH(QString, tableSpec);
        QFETCH(QString, access);
        QFETCH(bool, refused);
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        QVERIFY(fdb.exec(QStringLiteral(
            "INSERT INTO TABLAK (TABLANEV, MEGNEVEZES, NEZHETI_JOG, IRHATJA_JOG, AFTERINSERT, "
            "BEFOREPOST, AFTERPOST, QREPORT) VALUES ('PROBA', 'Próba tábla', 'AB', 'B', 2, 1, 1, "
            "7)")));
        QVERIFY(fdb.exec(QStringLiteral(
            "INSERT INTO TABLAK (TABLANEV, MEGNEVEZES) VALUES ('ARU,PROBA', 'Vesszős')")));
        Tdm::instance().FrameworkRights = rights;
        ScriptedMessagesGuard messages;
        const TableRights r = ReadTableRights(tableSpec);
        QCOMPARE(r.access, access);
        QCOMPARE(messages->texts,
                 refused ? QStringList{QStringLiteral(
                               "Önnek nincs joga az alábbi táblát megtekinteni:\rPróba tábla")}
                         : QStringList());
        if (tableSpec == QLatin1String("PROBA")) {
            QCOMPARE(r.afterInsert, 2);
            QCOMPARE(r.beforePost, 1);
            QCOMPARE(r.afterPost, 1);
            QCOMPARE(r.qreport, 7);
        }
    }

    void readTableRightsWithoutOptionalParts()
    {
        {
            FrameworkDb fdb(QStringList{});
            QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
            Tdm::instance().FrameworkRights = QStringLiteral("C");
            const TableRights r = ReadTableRights(QStringLiteral("UGYFEL"));
            QCOMPARE(r.access, QStringLiteral("FULL"));
            QCOMPARE(r.beforePost, 0);
            QVERIFY(!r.found);
        }
        // A dictionary of an older shape: no hook columns, no window state.
        FrameworkDb fdb(QStringList{});
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        QVERIFY(fdb.exec(QStringLiteral(
            "CREATE TABLE TABLAK (TABLANEV VARCHAR(60) NOT NULL PRIMARY KEY, "
            "MEGNEVEZES VARCHAR(60), NEZHETI_JOG VARCHAR(20), IRHATJA_JOG VARCHAR(20))")));
        QVERIFY(fdb.exec(
            QStringLiteral("INSERT INTO TABLAK VALUES ('UGYFEL', 'Ügyfelek', NULL, 'Z')")));
        Tdm::instance().FrameworkRights = QStringLiteral("C");
        const TableRights r = ReadTableRights(QStringLiteral("UGYFEL"));
        QCOMPARE(r.access, QStringLiteral("VIEW"));
        QCOMPARE(r.title, QStringLiteral("Ügyfelek"));
        QVERIFY(!r.hasWindowState);
        QCOMPARE(r.afterInsert + r.beforePost + r.afterPost + r.qreport, 0);
    }

    void lookupDefaults_data()
    {
        QTest::addColumn<QString>("ertek");
        QTest::addColumn<QString>("withAru");
        QTest::addColumn<QString>("withoutAru");
        QTest::newRow("literal") << "$K"
                                 << "K"
                                 << "K";
        QTest::newRow("literal keeps blanks and OR") << "$a OR b"
                                                     << "a OR b"
                                                     << "a OR b";
        QTest::newRow("field") << "#ARU"
                               << "123"
                               << "";
        QTest::newRow("field or literal") << "#ARU OR $0"
                                          << "123"
                                          << "0";
        QTest::newRow("field or literal, any case") << "#ARU or $0"
                                                    << "123"
                                                    << "0";
        QTest::newRow("field or other field") << "#ARU OR #NEV"
                                              << "123"
                                              << "Kis Pál";
        QTest::newRow("field or missing field") << "#ARU OR #NINCS"
                                                << "123"
                                                << "";
        QTest::newRow("other form") << "K"
                                    << ""
                                    << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }
    void lookupDefaults()
    {
        QFETCH(QString, ertek);
        QFETCH(QString, withAru);
        QFETCH(QString, withoutAru);
        const LookupDefault d{QStringLiteral("MEZO"), ertek};
        QCOMPARE(d.evaluate(panelWith({{"ARU", "123"}, {"NEV", "Kis Pál"}})), withAru);
        QCOMPARE(d.evaluate(panelWith({{"NEV", "Kis Pál"}})), withoutAru);
    }

    void lookupDefaultsAreRead()
    {
        {
            FrameworkDb fdb;
            QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
            QString error;
            const QList<LookupDefault> rows =
                readLookupDefaults(QStringLiteral("aru,alkatresz"), &error);
            QVERIFY(error.isEmpty());
            QCOMPARE(rows.size(), 2);
            QCOMPARE(rows[0].mezo, QStringLiteral("JELLEG"));
            QCOMPARE(rows[0].evaluate(panelWith({})), QStringLiteral("A"));
        }
        FrameworkDb without(QStringList{});
        QString error;
        QVERIFY(readLookupDefaults(QStringLiteral("IRSZAM"), &error).isEmpty());
        QVERIFY(error.isEmpty());
    }

    void dictionaryCondition_data()
    {
        QTest::addColumn<QString>("szotWhere");
        QTest::addColumn<QString>("condition");
        QTest::newRow("plain") << "ARU.JELLEG='A'"
                               << "ARU.JELLEG='A'";
        QTest::newRow("field value quoted") << "KESZULEK.UGYFEL=#UGYFEL"
                                            << "KESZULEK.UGYFEL='123'";
        QTest::newRow("apostrophe doubled") << "UGYFEL.NEV=#NEV"
                                            << "UGYFEL.NEV='O''Brien $1'";
        QTest::newRow("missing field empties") << "KESZULEK.UGYFEL=#NINCS"
                                               << "";
        QTest::newRow("dollar removed once") << "$WHERE A='$'"
                                             << "WHERE A='$'";
        QTest::newRow("dollar of condition, not of value") << "$UGYFEL.NEV=#NEV"
                                                           << "UGYFEL.NEV='O''Brien $1'";
    }
    void dictionaryCondition()
    {
        QFETCH(QString, szotWhere);
        QFETCH(QString, condition);
        QCOMPARE(mivo::dictionaryCondition(szotWhere,
                                           panelWith({{"UGYFEL", "123"}, {"NEV", "O'Brien $1"}})),
                 condition);
    }

    void infoExpression_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("result");
        QTest::newRow("simple") << "ARU.NEV,BELSOKOD=TIPUS" << true
                                << "Select NEV| from ARU|Where BELSOKOD = :k0"
                                << "NEV";
        QTest::newRow("named expression")
            << "UGYFEL.NEV||' '||VAROS@CIM,KOD=UGYFEL" << true
            << "Select NEV||' '||VAROS CIM| from UGYFEL|Where KOD = :k0"
            << "CIM";
        QTest::newRow("composite key")
            << "NAPIREND.MUNKAKEPES,SZERELOKOD+DATUM=SZERELOT+TERVD" << true
            << "Select MUNKAKEPES| from NAPIREND|Where SZERELOKOD = :k0 and DATUM = :k1"
            << "MUNKAKEPES";
        QTest::newRow("no dot") << "NEV,KOD=X" << false << ""
                                << "";
        QTest::newRow("no comma") << "ARU.NEV" << false << ""
                                  << "";
        QTest::newRow("no equals") << "ARU.NEV,KOD" << false << ""
                                   << "";
    }
    void infoExpression()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, statement);
        QFETCH(QString, result);
        const InfoExpression e = InfoExpression::parse(text);
        QCOMPARE(e.valid, valid);
        if (!valid)
            return;
        QCOMPARE(e.statement().join(QLatin1Char('|')), statement);
        QCOMPARE(e.resultColumn, result);
    }

    void joinDistinct_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("text");
        QTest::newRow("exact values, not substrings") << QStringList{"BA", "A", "BA"} << "BA, A";
        QTest::newRow("empty values leave no separators")
            << QStringList{"", "X", "", "Y", ""} << "X, Y";
        QTest::newRow("nothing") << QStringList{"", ""} << "";
    }
    void joinDistinct()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, text);
        QCOMPARE(mivo::joinDistinct(values), text);
    }

    void infoTextBindsRecordValues()
    {
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        QVERIFY(
            fdb.exec(QStringLiteral("INSERT INTO NAPIREND VALUES ('SZ1', '2024.05.02', 'SZ')")));
        QVERIFY(
            fdb.exec(QStringLiteral("INSERT INTO NAPIREND VALUES ('O''B', '2024.05.02', 'BET')")));
        const InfoExpression e = InfoExpression::parse(
            QStringLiteral("NAPIREND.MUNKAKEPES,SZERELOKOD+DATUM=SZERELOT+TERVD"));
        std::map<QString, QVariant> record{{"SZERELOT", "O'B"}, {"TERVD", "2024.05.02"}};
        QString text;
        QString error;
        QVERIFY2(infoText(
                     e, [&](const QString& c) { return record[c]; }, &text, &error),
                 qPrintable(error));
        QCOMPARE(text, QStringLiteral("BET"));
        // A misspelt expression fails with the database's text.
        QVERIFY(!infoText(
            InfoExpression::parse(QStringLiteral("NAPIREND.NINCS,DATUM=TERVD")),
            [&](const QString& c) { return record[c]; }, &text, &error));
        QVERIFY(error.contains(QStringLiteral("NINCS")));
    }

    void changeLogWritesOnlyChangedStores()
    {
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        clock::set(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
        const QList<FieldChange> fields{{"NEV", "O'Brien", "O'Brien Kft"},
                                        {"VAROS", "Pécs", "Pécs"},
                                        {"UTCA", "", QString(300, QLatin1Char('u'))}};
        QString error;
        // A vetoed or failed store changed no row: nothing is logged.
        QVERIFY(changelog::write(QStringLiteral("UGYFEL"), {"12"}, QStringLiteral("U"), fields, 0,
                                 &error));
        QVERIFY(dokuRows().isEmpty());
        QVERIFY2(changelog::write(QStringLiteral("UGYFEL"), {"12", "A"}, QStringLiteral("U"),
                                  fields, 1, &error),
                 qPrintable(error));
        clock::set({});
        const QStringList rows = dokuRows();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0],
                 QStringLiteral("U|NEV|O'Brien|O'Brien Kft|12;A|UGYFEL|2024.03.05 14:07:09"));
        QVERIFY(rows[1].startsWith(QStringLiteral("U|UTCA||") + QString(250, QLatin1Char('u')) +
                                   QLatin1Char('|')));
    }

    void changeLogInsertAndDelete()
    {
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        QString error;
        QVERIFY(changelog::write(QStringLiteral("TEVEKENYS"), {"X"}, QStringLiteral("I"),
                                 {{"KOD", "old", "X"}, {"NEV", "", ""}}, 1, &error));
        QVERIFY(changelog::write(QStringLiteral("TEVEKENYS"), {"X"}, QStringLiteral("D"), {}, 1,
                                 &error));
        QStringList rows = dokuRows();
        QCOMPARE(rows.size(), 2);
        for (QString& row : rows)
            row = row.section(QLatin1Char('|'), 0, 5);
        QCOMPARE(rows, (QStringList{QStringLiteral("D||||X|TEVEKENYS"),
                                    QStringLiteral("I|KOD||X|X|TEVEKENYS")}));
        FrameworkDb without(QStringList{});
        QVERIFY(changelog::write(QStringLiteral("TEVEKENYS"), {"X"}, QStringLiteral("D"), {}, 1,
                                 &error));
    }

    void numberFormat_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("grouping, two decimals") << "#,##0.00" << 1234567.891 << "1 234 567,89";
        QTest::newRow("small") << "#,##0.00" << 0.5 << "0,50";
        QTest::newRow("negative") << "#,##0.00" << -1234.5 << "-1 234,50";
        QTest::newRow("optional decimals") << "#,##0.##" << 12.0 << "12";
        QTest::newRow("optional decimals kept") << "#,##0.##" << 12.25 << "12,25";
        QTest::newRow("whole number") << "0" << 2.5 << "3";
        QTest::newRow("leading zeros") << "000" << 7.0 << "007";
        QTest::newRow("literal suffix") << "#,##0 \"Ft\"" << 1500.0 << "1 500 Ft";
        QTest::newRow("negative section") << "0.0;(0.0)" << -2.25 << "(2,3)";
        QTest::newRow("zero section") << "0.0;-0.0;nulla" << 0.0 << "nulla";
    }
    void numberFormat()
    {
        QFETCH(QString, pattern);
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(NumberFormat(pattern).format(value), text);
        bool ok = false;
        const double back = NumberFormat::parse(text, &ok);
        if (!text.contains(QLatin1Char('(')) && text != QLatin1String("nulla") &&
            !text.contains(QLatin1String("Ft"))) {
            QVERIFY(ok);
            QCOMPARE(NumberFormat(pattern).format(back), text);
        }
    }

    void panelText_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("null") << QVariant() << "VARCHAR"
                              << ""
                              << "";
        QTest::newRow("integer") << QVariant(42) << "INTEGER"
                                 << ""
                                 << "42";
        QTest::newRow("float without format") << QVariant(12.5) << "FLOAT"
                                              << ""
                                              << "12,5";
        QTest::newRow("float with format") << QVariant(1234.5) << "FLOAT"
                                           << "#,##0.00"
                                           << "1 234,50";
        QTest::newRow("boolean") << QVariant(true) << "BOOLEAN"
                                 << ""
                                 << "T";
        QTest::newRow("memo bytes") << QVariant(QByteArray("árvíz")) << "MEMO"
                                    << ""
                                    << "árvíz";
    }
    void panelText()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, type);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QCOMPARE(mivo::panelText(value, type, format), text);
    }

    void numberCheck_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "12" << true << 12.0;
        QTest::newRow("decimal comma") << "-1,5" << true << -1.5;
        QTest::newRow("decimal point") << "2.25" << true << 2.25;
        QTest::newRow("lone minus") << "-" << false << 0.0;
        QTest::newRow("several separators") << "1,2,3" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("letters") << "12a" << false << 0.0;
    }
    void numberCheck()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QFETCH(double, value);
        double parsed = 0;
        QCOMPARE(fieldcheck::number(text, &parsed), number);
        if (number)
            QCOMPARE(parsed, value);
    }

    void taxNumberAndBirthDate()
    {
        // 1980.06.15 is day 41 438 after 1867.01.01.
        QCOMPARE(fieldcheck::taxPrefixFor(QDate(1980, 6, 15)), QStringLiteral("841438"));
        QCOMPARE(fieldcheck::birthDateOfTax(QStringLiteral("8414380000")),
                 QStringLiteral("1980.06.15"));
        QVERIFY(!fieldcheck::taxContradicts(QStringLiteral("8414381234"), QDate(1980, 6, 15)));
        QVERIFY(fieldcheck::taxContradicts(QStringLiteral("8414391234"), QDate(1980, 6, 15)));
        QCOMPARE(fieldcheck::taxQuestion(QStringLiteral("8414391234"), QStringLiteral("1980.06.15"),
                                         false),
                 QStringLiteral("FIGYELEM!!! Az adószám és a születési dátum egymásnak ellentmondó "
                                "adatot tartalmaz! "
                                "Jó az adószám?\r1980.06.15 -> 841438nnnn 8414391234\r8414391234 "
                                "-> 1980.06.16 1980.06.15"));
    }
};

QTEST_GUILESS_MAIN(TestControlRows)
#include "tst_controlrows.moc"
