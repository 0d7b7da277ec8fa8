// The planning grid's daily-list items: each for the clicked column's own technician and day.

#include "scheduledata.h"
#include "support/modal.h"
#include "support/smtpserver.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "platform/dbquery.h"
#include "workflow/adatfelv2.h"
#include "workflow/daynavigator.h"
#include "workflow/napirend.h"
#include "workflow/napirendgrid.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace scheduledata;
using namespace Qt::StringLiterals;

namespace
{

const QString today = u"2024.03.04"_s;
const QString tomorrow = u"2024.03.05"_s;

// Two technicians, the second with a code shorter than six characters; jobs on both days.
struct Office {
    Office()
    {
        for (const auto& [kod, nev, email] :
             {std::tuple{u"ARANY1"_s, u"Arany Béla"_s, u"arany@szerviz.test"_s},
              std::tuple{u"B2"_s, u"Bodó Ede"_s, u"bodo@szerviz.test"_s}}) {
            QString error;
            QVERIFY2(db::execute(db.connectionName(),
                                 u"INSERT INTO SZERELO (KOD, NEV, EMAIL, CEGKOD, AKTIV) VALUES "
                                 u"(:k, :n, :e, 'VELKOR', 'I')"_s,
                                 {{u"k"_s, kod}, {u"n"_s, nev}, {u"e"_s, email}}, &error),
                     qPrintable(error));
        }
        const int customer = addCustomer(db, u"Nagy Éva"_s, u"2600"_s, u"Vác"_s, u"Fő u. 2"_s);
        addJob(planned(customer, u"ARANY1"_s, today, u"08"_s));
        addJob(planned(customer, u"B2"_s, today, u"09"_s));
        addJob(planned(customer, u"B2"_s, tomorrow, u"10"_s));
    }
    TestDb db;
};

} // namespace

class TestNapilistaMenu : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
        Td::instance().ownCompany = u"VELKOR"_s;
        Td::instance().userName = u"Teszt Elek"_s;
    }
    void cleanup()
    {
        clock::set({});
        Ini::instance().clear();
        Td::instance().workPath.clear();
    }

    void attachmentAndEmail()
    {
        Office office;
        QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
        QTemporaryDir dir;
        Td::instance().workPath = dir.path();
        QDir(dir.path()).mkpath(u"posta"_s);
        SmtpServer server;
        QString error;
        QVERIFY2(server.start(dir.filePath(u"posta"_s), &error), qPrintable(error));
        server.configureProgram(u"iroda@szerviz.test"_s);

        Tadatfelv2fm form;
        form.open(u"Szervíz igény rögzítése"_s, u"U"_s);
        NapirendGrid* grid = form.grid();
        QCOMPARE(grid->model().technician(2).kod, u"B2"_s);
        // The second column moves to tomorrow; the first stays on today.
        QTest::mouseClick(grid->columnNavigator(2)->nextButton(), Qt::LeftButton);
        QCOMPARE(grid->model().columnDate(2), tomorrow);
        QTableView* view = grid->view();
        ScriptedMessagesGuard messages;

        // A header cell belongs to its column as well.
        view->setCurrentIndex(view->model()->index(0, 2));
        form.findChild<QAction*>(u"mi_napilistamelleklet"_s)->trigger();
        const QString file = QDir(dir.path()).filePath(u"NMU_B2_2024_03_05.TXT"_s);
        QCOMPARE(messages->texts, QStringList{u"A melléklet elkészült: "_s + file});
        QFile text(file);
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QString content = QString::fromUtf8(text.readAll());
        QVERIFY(content.contains(u"Napi munka utasítás Bodó Ede részére"_s));
        QVERIFY(content.contains(u"2024.03.05 kedd"_s));
        QVERIFY(!content.contains(u"2024.03.04"_s));

        view->setCurrentIndex(view->model()->index(5, 1));
        form.findChild<QAction*>(u"mi_napilistaemail"_s)->trigger();
        QCOMPARE(messages->texts.size(), 1);
        QCOMPARE(server.messageCount(), 1);
        const QJsonObject mail = server.message(1);
        QCOMPARE(mail[u"rcpt_tos"_s].toArray().first().toString(), u"arany@szerviz.test"_s);
        QCOMPARE(mail[u"subject"_s].toString(), u"Napi munka utasítás 2024.03.04"_s);
        QCOMPARE(mail[u"attachments"_s].toArray().first()[u"filename"_s].toString(),
                 u"NMU_ARANY1_2024_03_04.TXT"_s);
        // The hour column is no technician's.
        view->setCurrentIndex(view->model()->index(5, 0));
        form.findChild<QAction*>(u"mi_napilistaemail"_s)->trigger();
        QCOMPARE(server.messageCount(), 1);
        QCOMPARE(messages->texts.size(), 1);
    }

    void printPreview()
    {
        Office office;
        QVERIFY2(office.db.ok(), qPrintable(office.db.error()));
        Tadatfelv2fm form;
        form.open(u"Szervíz igény rögzítése"_s, u"U"_s);
        QTableView* view = form.grid()->view();
        view->setCurrentIndex(view->model()->index(3, 2));
        bool shown = false;
        whenModal<QPrintPreviewDialog>([&shown](QPrintPreviewDialog* d) {
            shown = true;
            d->reject();
        });
        ScriptedMessagesGuard messages;
        form.findChild<QAction*>(u"mi_napilista"_s)->trigger();
        QVERIFY(shown);
        QVERIFY(messages->texts.isEmpty());
    }
};

QTEST_MAIN(TestNapilistaMenu)
#include "tst_napilistamenu.moc"
