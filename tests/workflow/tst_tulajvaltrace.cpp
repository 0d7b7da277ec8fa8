// The owner change's "&OK" through a Firebird server: another workstation holding a change
// of the same appliance, and a failure between the sheet's and the appliance's update.

#include "scheduledata.h"
#include "scriptedpicker.h"
#include "support/fbserver.h"
#include "support/testdb.h"

#include "core/dat.h"
#include "core/messages.h"
#include "framework/torzsmodel.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "workflow/tulajvalt.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTest>
#include <QTextStream>

using namespace mivo;
using namespace mivo::workflow;
using namespace scheduledata;
using namespace Qt::StringLiterals;

namespace
{

const char* workerVariable = "MIVO_TULAJVALT_WORKER";

// "location;appliance": changes the appliance's serial number and owner in a transaction
// held open for a second.
int worker()
{
    const QStringList args = qEnvironmentVariable(workerVariable).split(u';');
    QTextStream out(stdout);
    if (!openWorkerConnection(args.value(0), out))
        return 2;
    return holdChangeForASecond(
        u"UPDATE KESZULEK SET GYARISZAM = 'B-HOLD', UGYFEL = NULL WHERE KOD = :k"_s,
        args.value(1).toInt(), out);
}

QString field(const QString& table, const QString& column, const QString& where)
{
    return db::scalar(u"d_mivo"_s,
                      u"SELECT "_s + column + u" FROM "_s + table + u" WHERE "_s + where)
        .toString()
        .trimmed();
}

// Two customers, the first with an appliance and its sheet, on the server.
struct Office {
    explicit Office(const FirebirdServer* server) : db(TestDb::allOptional(), u"d_mivo"_s, server)
    {
        db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, 'K-100', "
                "'Kazán 100', 'K')"_s);
        nagy = addCustomer(db, u"Nagy Éva"_s, u"2600"_s, u"Vác"_s, u"Fő u. 2"_s);
        kiss = addCustomer(db, u"Kiss Péter"_s, u"1111"_s, u"Budapest"_s, u"Kő u. 1"_s);
        kazan = addAppliance(db, nagy, 100, u"ABC123"_s, u"2020.01.10"_s);
    }
    QString appliance(const QString& column) const
    {
        return field(u"KESZULEK"_s, column, u"KOD = "_s + QString::number(kazan));
    }
    QString sheetOwner() const
    {
        return field(u"BEUZLAP"_s, u"UGYFEL"_s, u"KESZULEK = "_s + QString::number(kazan));
    }
    TestDb db;
    int nagy = 0, kiss = 0, kazan = 0;
};

// The screen on the appliance with another owner picked and a serial number typed.
struct Editing {
    explicit Editing(const Office& o)
    {
        w.prepare({});
        w.show();
        const int row = w.rows().locate({u"KOD"_s}, {o.kazan});
        w.view()->setCurrentIndex(w.rows().index(row, 0));
        w.commands().command(u"modosit"_s)->trigger();
        picker.next(u"SELECT * FROM UGYFEL WHERE KOD = "_s + QString::number(o.kiss));
        QTest::mouseClick(w.findChild<QWidget*>(u"b_ugyfel"_s), Qt::LeftButton);
        edit(u"e_gyariszam"_s)->setText(u"A-WINS"_s);
    }
    QLineEdit* edit(const QString& name) { return w.findChild<QLineEdit*>(name); }
    ScriptedPicker picker;
    Ttulajvaltfm w;
};

} // namespace

class TestTulajvaltRace : public QObject
{
    Q_OBJECT
    FirebirdServer m_server;

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_server.start(&error), qPrintable(error));
    }
    void cleanup() { db::Connection::closeAll(); }

    // B holds its change of the row while A stores: A waits, meets B's commit as a conflict,
    // runs again and its values win, the sheet's owner included.
    void lastWriteWins()
    {
        Office o(&m_server);
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedMessagesGuard messages;
        Editing a(o);
        QProcess b;
        startWorker(b, workerVariable, o.db.location(), QString::number(o.kazan));
        QCOMPARE(readWorkerLine(b), u"locked"_s);
        a.w.commands().command(u"ok"_s)->trigger();
        QVERIFY(b.waitForFinished(30000));
        QVERIFY2(b.exitCode() == 0, b.readAll().constData());
        QCOMPARE(messages->texts, QStringList{u"A készülék adatainak változása tárolható?"_s});
        QCOMPARE(o.appliance(u"GYARISZAM"_s), u"A-WINS"_s);
        QCOMPARE(o.appliance(u"UGYFEL"_s).toInt(), o.kiss);
        QCOMPARE(o.sheetOwner().toInt(), o.kiss);
        QCOMPARE(a.w.mode(), Ttulajvaltfm::Mode::Browse);
    }

    // The appliance's update refused after the sheet's: neither changes, the database's text
    // is shown and the typing stays.
    void failureBetweenTheUpdates()
    {
        Office o(&m_server);
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        for (const QString& sql : {u"CREATE EXCEPTION E_KESZULEK 'A készülék most nem írható.'"_s,
                                   u"CREATE TRIGGER T_KESZULEK FOR KESZULEK BEFORE UPDATE AS BEGIN "
                                   "EXCEPTION E_KESZULEK; END"_s}) {
            db::Query q;
            q.setParamCheck(false);
            q.setSql(sql);
            QVERIFY2(q.exec(), qPrintable(q.lastError()));
        }
        ScriptedMessagesGuard messages;
        Editing a(o);
        a.w.commands().command(u"ok"_s)->trigger();
        QCOMPARE(messages->texts.size(), 2);
        QVERIFY2(messages->texts.last().contains(u"A készülék most nem írható."_s),
                 qPrintable(messages->texts.last()));
        QCOMPARE(o.appliance(u"GYARISZAM"_s), u"ABC123"_s);
        QCOMPARE(o.appliance(u"UGYFEL"_s).toInt(), o.nagy);
        QCOMPARE(o.sheetOwner().toInt(), o.nagy);
        QCOMPARE(a.w.mode(), Ttulajvaltfm::Mode::Edit);
        QCOMPARE(a.edit(u"e_gyariszam"_s)->text(), u"A-WINS"_s);
        QCOMPARE(a.edit(u"e_ugyfelnev"_s)->text(), u"Kiss Péter"_s);
    }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(workerVariable)) {
        QCoreApplication app(argc, argv);
        return worker();
    }
    QApplication app(argc, argv);
    TestTulajvaltRace test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tulajvaltrace.moc"
