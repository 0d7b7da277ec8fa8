// The list builder's scripts run on the demo database, compared with the same numbers asked
// directly.
#include "kvarcelfixture.h"

#include "platform/dbquery.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace mivo;
using namespace mivo::kvarcel;
using namespace Qt::StringLiterals;

class TestKvarcelRun : public QObject
{
    Q_OBJECT

private slots:
    void technicianActivityStateCount()
    {
        KvarcelFixture f;
        f.choose(u"SZERELONEV"_s, u"A"_s, {}, u"1"_s);
        f.choose(u"TERVTEVNEV"_s, u"B"_s, {}, u"2"_s);
        f.choose(u"MUNKALLAPOT"_s, u"C"_s);
        f.choose(u"MUNKADB"_s, u"D"_s);
        QCOMPARE(f.builder->run(), RunOutcome::Status::Done);
        qDebug().noquote() << f.builder->statementText;
        qDebug() << f.messages->texts;
        QAbstractItemModelTester tester(&f.builder->result());
        const auto rows = f.rows();
        for (int i = 0; i < std::min<qsizetype>(rows.size(), 30); ++i)
            qDebug() << rows[i];
        QCOMPARE(f.temporaryObjects(), 0);
    }
};

QTEST_GUILESS_MAIN(TestKvarcelRun)
#include "tst_kvarcelrun.moc"
