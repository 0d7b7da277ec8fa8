// Storing customers from the entry screens, against a real embedded database. A second
// connection stands for another workstation; it commits before this one writes.

#include "support/testdb.h"

#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "workflow/customerrepository.h"

#include <QTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

class TestCustomerRepository : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { db::Connection::closeAll(); }

    void customerUpsertStoresOnlyChangesAndKnowsItsOwnKey()
    {
        TestDb db(QStringList{});
        QVERIFY(db.openConnection("d_other"));
        const CustomerRepository customers;

        Customer typed{0,  "Kiss Anna", "1117", "Budapest", "Fő utca 1.", "06-30-1234567",
                       "", "",          "",     ""};
        WriteResult result = customers.save(typed, Customer{});
        QVERIFY2(result.ok(), qPrintable(result.message));
        QCOMPARE(typed.kod, 1);

        // Another workstation stores the very same customer meanwhile: each keeps its own key.
        QVERIFY(db::execute("d_other", "INSERT INTO UGYFEL (NEV, IRSZAM, VAROS, UTCA) VALUES "
                                       "('Kiss Anna', '1117', 'Budapest', 'Fő utca 1.')"));
        Customer twin = typed;
        twin.kod = 0;
        QVERIFY(customers.save(twin, Customer{}).ok());
        QCOMPARE(twin.kod, 3);

        const Customer loaded = typed;
        Customer unchanged = loaded;
        QVERIFY(db::execute("d_other", "UPDATE UGYFEL SET TELEFON = 'mások' WHERE KOD = 1"));
        QVERIFY(customers.save(unchanged, loaded).ok());
        QCOMPARE(db::scalar("d_mivo", "SELECT TELEFON FROM UGYFEL WHERE KOD = 1").toString(),
                 QString("mások"));

        Customer changed = loaded;
        changed.utca = "Fő utca 2.";
        QVERIFY(customers.save(changed, loaded).ok());
        QCOMPARE(changed.kod, 1);
        db::Query q;
        q.setSql("SELECT UTCA, TELEFON, FAX FROM UGYFEL WHERE KOD = 1");
        QVERIFY(q.exec() && q.first());
        QCOMPARE(q.text("UTCA"), QString("Fő utca 2."));
        QCOMPARE(q.text("TELEFON"), QString("06-30-1234567"));
        QVERIFY(!q.value("FAX").isNull());
        QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM UGYFEL").toInt(), 3);
    }

    void customerUpsertReportsTheDatabaseError()
    {
        TestDb db(QStringList{});
        Customer tooLong{0, QString(61, 'x'), "", "", "", "", "", "", "", ""};
        const WriteResult result = CustomerRepository().save(tooLong, Customer{});
        QCOMPARE(result.status, WriteResult::Failed);
        QVERIFY2(result.message.contains("truncation", Qt::CaseInsensitive) ||
                     result.message.contains("overflow", Qt::CaseInsensitive),
                 qPrintable(result.message));
        QCOMPARE(tooLong.kod, 0);
    }

    void customerDeletedMeanwhileIsNotStored()
    {
        TestDb db(QStringList{});
        QVERIFY(db.openConnection("d_other"));
        const CustomerRepository customers;
        Customer loaded{0, "Kiss Anna", "1117", "Budapest", "Fő utca 1.", "", "", "", "", ""};
        QVERIFY(customers.save(loaded, Customer{}).ok());
        QVERIFY(db::execute("d_other", u"DELETE FROM UGYFEL WHERE KOD = %1"_s.arg(loaded.kod)));

        Customer changed = loaded;
        changed.telefon = "06-1-555";
        const WriteResult result = customers.save(changed, loaded);
        QCOMPARE(result.status, WriteResult::Conflict);
        QCOMPARE(result.message,
                 u"Az ügyfelet közben egy másik munkahelyen törölték; az adatai nem tárolódtak."_s);
        QCOMPARE(changed.kod, loaded.kod);
        QCOMPARE(db::scalar("d_mivo", "SELECT COUNT(*) FROM UGYFEL").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCustomerRepository)
#include "tst_customerrepository.moc"
