#include "frameworkdb.h"

#include "core/messages.h"
#include "framework/formpanel.h"
#include "framework/infoexpr.h"
#include "framework/panelinput.h"
#include "framework/rights.h"
#include "platform/dbquery.h"
#include "schema/demodata.h"

#include <QLabel>
#include <QTest>

using namespace mivo;
using namespace Qt::StringLiterals;

// The control rows the schema ships give every master table of the main menu a working
// panel on the demo database.
class TestShippedRows : public QObject
{
    Q_OBJECT
private slots:
    void everyMenuTableGetsItsPanel()
    {
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        schema::DemoScale scale;
        scale.customers = 20;
        QString error;
        QVERIFY2(schema::fillDemoData(QStringLiteral("d_mivo"), scale, QDate(2024, 5, 6), &error),
                 qPrintable(error));
        struct Menu {
            const char* tableSpec;
            const char* title;
            int minimumInputs;
        };
        const Menu menus[] = {
            {"ARU,KESZULEK", "Készülék fajták", 8},
            {"ARU,ALKATRESZ", "Alkatrészek", 11},
            {"ARU", "Szolgáltatások", 7},
            {"SZERELO", "Szerelők", 10},
            {"KULSOCEG", "Külső szerelő cégek", 5},
            {"UGYFEL", "Ügyfelek", 11},
            {"ALK_KESZLET", "Alkatrész készlet", 4},
            {"TEVEKENYS", "Tevékenységek", 3},
            {"ALLAPOT", "Állapotok", 2},
            {"TAVOLLET", "Távolléti jogcímek", 3},
            {"VEZERLO", "Beviteli mezők, jogosultságok", 26},
            {"SZ_JUZER", "Felhasználók, jelszavak", 6},
            {"MENUK", "Menüpont jogosultságok", 6},
            {"TABLAK", "Táblák nevei, jogosultságok", 10},
            {"PVEZERLO", "Kiválasztás utáni értékadások", 5},
        };
        QWidget container;
        container.resize(900, 900);
        for (const Menu& m : menus) {
            const QString tableSpec = QString::fromUtf8(m.tableSpec);
            const QString table = tableSpec.section(QLatin1Char(','), 0, 0);
            const QString module = tableSpec.contains(QLatin1Char(','))
                                       ? tableSpec.section(QLatin1Char(','), 1)
                                       : tableSpec;
            ScriptedMessagesGuard messages;
            const TableRights rights = ReadTableRights(tableSpec);
            QVERIFY2(rights.found, m.tableSpec);
            QCOMPARE(rights.title, QString::fromUtf8(m.title));
            QCOMPARE(rights.access, QStringLiteral("FULL"));
            db::Query structure(Tdm::connectionName);
            structure.setSql(QStringLiteral("Select * From ") + table +
                             QStringLiteral(" where 1=2"));
            QVERIFY(structure.exec());
            QStringList captions;
            FormPanel::BuildPanel(&container, module, {}, FormPanel::singleColumn, nullptr,
                                  &captions, nullptr, structure);
            FormPanel* panel = FormPanel::of(&container);
            QVERIFY2(messages->texts.isEmpty(), qPrintable(tableSpec + QLatin1Char(' ') +
                                                           messages->texts.join(QLatin1Char('|'))));
            QVERIFY2(panel->inputs().size() >= m.minimumInputs, m.tableSpec);
            // Hungarian captions, not column names.
            QVERIFY2(!captions.contains(QStringLiteral("NEV")), m.tableSpec);

            // The records show and their information texts run.
            db::Query records(Tdm::connectionName);
            records.setSql(QStringLiteral("Select * From ") + table);
            QVERIFY(records.exec());
            if (records.first()) {
                const QSqlRecord record = currentRecord(records);
                panel->RecordToPanel(record);
                QVERIFY2(panel->RefreshInfoTexts(record), m.tableSpec);
                QVERIFY2(messages->texts.isEmpty(),
                         qPrintable(messages->texts.join(QLatin1Char('|'))));
            }
        }
    }

    void lookupsNameRealDictionaries()
    {
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        db::Query q(Tdm::connectionName);
        q.setSql(QStringLiteral(
            "Select MODUL, MEZO, SZOT_, SZOTMEZO, PLUSFIELD1 From VEZERLO Where BUTTON = 'SZOT'"));
        QVERIFY(q.exec());
        QVERIFY(q.recordCount() >= 8);
        Tdm& dm = Tdm::instance();
        while (q.next()) {
            const QString dictionary =
                q.text(QStringLiteral("SZOT_")).section(QLatin1Char(','), 0, 0);
            QVERIFY2(dm.tableExists(dictionary), qPrintable(dictionary));
            QVERIFY2(dm.fieldInfo(dictionary, q.text(QStringLiteral("SZOTMEZO"))).found,
                     qPrintable(q.text("MODUL")));
            const InfoExpression info = InfoExpression::parse(q.text(QStringLiteral("PLUSFIELD1")));
            if (info.valid)
                QVERIFY2(dm.fieldInfo(info.table, info.pairs.first().first).found,
                         qPrintable(q.text("PLUSFIELD1")));
        }
    }

    // The demo's users against the shipped table rights: the everyday letters open the
    // master tables for changes and the job tables for reading; the control tables need "W".
    void demoUsersAgainstTheShippedRights()
    {
        FrameworkDb fdb;
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        schema::DemoScale scale;
        scale.customers = 5;
        QString error;
        QVERIFY2(schema::fillDemoData(u"d_mivo"_s, scale, QDate(2024, 5, 6), &error),
                 qPrintable(error));
        const auto rightsOf = [](const char* name) {
            return db::scalar(u"d_mivo"_s, u"SELECT JOGOK FROM SZ_JUZER WHERE NEV = '"_s +
                                               QLatin1String(name) + u"'"_s)
                .toString();
        };
        const struct {
            const char* table;
            const char* ordinary; // access of NAGYP and SZABOI
            const char* admin;    // access of KOVACSE
        } cases[] = {
            {"UGYFEL", "FULL", "FULL"},       {"KESZULEK", "FULL", "FULL"},
            {"ARU,KESZULEK", "FULL", "FULL"}, {"ARU,ALKATRESZ", "FULL", "FULL"},
            {"ARU", "FULL", "FULL"},          {"SZERELO", "FULL", "FULL"},
            {"KULSOCEG", "FULL", "FULL"},     {"IRSZAM", "FULL", "FULL"},
            {"TEVEKENYS", "FULL", "FULL"},    {"ALLAPOT", "FULL", "FULL"},
            {"TAVOLLET", "FULL", "FULL"},     {"ALK_KESZLET", "VIEW", "FULL"},
            {"MUNKA", "VIEW", "FULL"},        {"MUNKA_ALK", "VIEW", "FULL"},
            {"BEUZLAP", "VIEW", "FULL"},      {"MUNKA_LOG", "VIEW", "FULL"},
            {"NAPIREND", "VIEW", "FULL"},     {"SZ_JUZER", "NONE", "FULL"},
            {"VEZERLO", "NONE", "FULL"},      {"PVEZERLO", "NONE", "FULL"},
            {"MENUK", "NONE", "FULL"},        {"TABLAK", "NONE", "FULL"},
            {"DIFOLC", "NONE", "FULL"},       {"DOKU", "NONE", "FULL"},
        };
        ScriptedMessagesGuard messages;
        for (const auto& c : cases) {
            const QString table = QLatin1String(c.table);
            for (const char* user : {"NAGYP", "SZABOI", "KOVACSE"}) {
                SetFrameworkUser(rightsOf(user), QLatin1String(user));
                const bool admin = qstrcmp(user, "KOVACSE") == 0;
                QVERIFY2(ReadTableRights(table).access ==
                             QLatin1String(admin ? c.admin : c.ordinary),
                         qPrintable(table + u' ' + QLatin1String(user)));
            }
        }
        SetFrameworkUser({}, {});
    }

    void databaseWithoutOptionalTablesBuilds()
    {
        FrameworkDb fdb(QStringList{});
        QVERIFY2(fdb.ok(), qPrintable(fdb.db.error()));
        QVERIFY(!Tdm::instance().tableExists(QStringLiteral("TABLAK")));
        QVERIFY(db::scalar(QStringLiteral("d_mivo"), QStringLiteral("Select Count(*) From VEZERLO"))
                    .toInt() > 100);
        QCOMPARE(ReadTableRights(QStringLiteral("UGYFEL")).access, QStringLiteral("FULL"));
    }
};

QTEST_MAIN(TestShippedRows)
#include "tst_shippedrows.moc"
