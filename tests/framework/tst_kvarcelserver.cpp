// Two workstations run lists at the same moment through a Firebird server: each gets its
// own exact result and no temporary table or view stays behind.
#include "framework/kvarcelbuilder.h"

#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "schema/demodata.h"
#include "support/fbserver.h"
#include "support/testdb.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace mivo;
using namespace mivo::kvarcel;
using namespace Qt::StringLiterals;

namespace
{

const char* workerVariable = "MIVO_KVARCEL_WORKER";
constexpr int runs = 6;

// The totals of a result: "technician|count" per technician total, in order.
QStringList totals(ResultModel& m)
{
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        if (m.isTotalRow(r))
            out << m.data(m.index(r, 0)).toString() + u"|"_s + m.data(m.index(r, 1)).toString();
    return out;
}

// The test binary as a workstation: "location;user" in the variable. Runs the list of jobs
// per technician again and again and prints the totals of each run.
int worker()
{
    const QStringList args = qEnvironmentVariable(workerVariable).split(u';');
    QTextStream out(stdout);
    QTemporaryDir dir;
    Ini& ini = Ini::instance();
    ini.set(u"SQLTYPE"_s, u"I"_s);
    ini.set(u"KVARCITRC"_s, dir.path());
    ini.set(u"GEPNEV"_s, args.value(1));
    if (!openWorkerConnection(args.value(0), out))
        return 2;
    ScriptedMessagesGuard messages;
    {
        Builder builder;
        QString error;
        if (!builder.connect(&error)) {
            out << "connect: " << error << Qt::endl;
            return 2;
        }
        builder.start(args.value(1), u"A"_s);
        builder.catalogue().item(u"SZERELONEV"_s)->kell = u"A"_s;
        builder.catalogue().item(u"SZERELONEV"_s)->csoport = u"1"_s;
        builder.catalogue().item(u"MUNKADB"_s)->kell = u"B"_s;
        builder.catalogue().item(u"MUNKALLAPOT"_s)->feltetel = u" <> 'TOR'"_s;
        for (int i = 0; i < runs; ++i) {
            if (builder.run() != RunOutcome::Status::Done) {
                out << "run " << i << ": " << messages->texts.join(u" / "_s) << Qt::endl;
                return 1;
            }
            out << totals(builder.result()).join(u';') << Qt::endl;
        }
    }
    db::Connection::closeAll();
    return 0;
}

} // namespace

class TestKvarcelServer : public QObject
{
    Q_OBJECT

private slots:
    void twoWorkstations()
    {
        FirebirdServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        TestDb db(TestDb::allOptional(), u"d_mivo"_s, &server);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        schema::DemoScale scale;
        scale.customers = 150;
        QVERIFY2(schema::fillDemoData(u"d_mivo"_s, scale, QDate(2024, 5, 6), &error),
                 qPrintable(error));

        // The same numbers asked directly.
        QStringList expected;
        db::Query q(u"d_mivo"_s);
        q.setSql(u"select coalesce(s.NEV, ''), count(*) from MUNKA m left join SZERELO s on "
                 "s.KOD = m.SZERELOT where m.ALLAPOT <> 'TOR' group by 1"_s);
        QVERIFY(q.exec());
        int all = 0;
        QMap<QString, int> byName;
        while (q.next()) {
            byName[q.value(0).toString()] = q.value(1).toInt();
            all += q.value(1).toInt();
        }

        QProcess workers[2];
        const QStringList users = {u"Nagy Péter"_s, u"Szabó Ildikó"_s};
        for (int i = 0; i < 2; ++i) {
            workers[i].setProcessChannelMode(QProcess::MergedChannels);
            startWorker(workers[i], workerVariable, db.location(), users[i]);
        }
        for (QProcess& w : workers) {
            QVERIFY(w.waitForFinished(300000));
            const QString output = QString::fromUtf8(w.readAll()).trimmed();
            QVERIFY2(w.exitStatus() == QProcess::NormalExit && w.exitCode() == 0,
                     qPrintable(output));
            const QStringList lines = output.split(u'\n');
            QCOMPARE(lines.size(), runs);
            for (const QString& line : lines) {
                QMap<QString, int> got;
                int grand = -1;
                for (const QString& total : line.split(u';')) {
                    const QString name = total.section(u'|', 0, 0);
                    const int n = total.section(u'|', 1).toInt();
                    // The grand total and the unassigned jobs' total are both unnamed.
                    if (name.isEmpty() && n == all && grand < 0)
                        grand = n;
                    else
                        got[name] = n;
                }
                QCOMPARE(grand, all);
                QCOMPARE(got, byName);
            }
        }
        QCOMPARE(db::scalar(u"d_mivo"_s, u"select count(*) from rdb$relations where "
                                         "rdb$relation_name starting with 'TMP'"_s)
                     .toInt(),
                 0);
    }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(workerVariable)) {
        QCoreApplication app(argc, argv);
        return worker();
    }
    QCoreApplication app(argc, argv);
    TestKvarcelServer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kvarcelserver.moc"
