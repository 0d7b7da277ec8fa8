// The full activity list screen headless: "Tallóz" with the export's save dialog at type 1,
// storing with progress and the closing count, and the refusals.

#include "support/modal.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/messages.h"
#include "platform/dbconnection.h"
#include "workflow/totallistfm.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace Qt::StringLiterals;

class TestTotallistfm : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDb> m_db;
    QTemporaryDir m_dir;

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2030, 5, 20), QTime(9, 0)));
        m_db = std::make_unique<TestDb>();
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        for (const QString& sql :
             {u"INSERT INTO ARU (BELSOKOD, NEV, JELLEG) VALUES (100, 'Kazán 100', 'K')"_s,
              u"INSERT INTO UGYFEL (KOD, NEV) VALUES (1, 'Kiss Éva')"_s,
              u"INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS) VALUES (10, 1, 100)"_s,
              u"INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS) VALUES (11, 1, 100)"_s,
              u"INSERT INTO MUNKA (ALLAPOT, KESZULEK, MUNKATEV, MUNKAD) VALUES ('OK', 10, "
              "'KAR', '2024.03.04')"_s})
            QVERIFY2(m_db->exec(sql), qPrintable(m_db->error()));
    }
    void cleanup()
    {
        clock::set({});
        db::Connection::closeAll();
        m_db.reset();
    }

    void browseAndStore()
    {
        ScriptedMessagesGuard messages;
        Ttotallistfm screen;
        screen.prepare({});
        screen.show();
        auto* name = screen.findChild<QLineEdit*>(u"e_filename"_s);
        auto* progress = screen.findChild<QProgressBar*>();

        // The dialog starts at type 1; its extension is added to the typed name.
        QString filter;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            filter = dialog->selectedNameFilter();
            typeIntoFileDialog(dialog, m_dir.filePath(u"teljes"_s));
        });
        screen.findChild<QPushButton*>(u"b_talloz"_s)->click();
        QVERIFY(filter.startsWith(u"Excel tábla (XLS)"_s));
        QCOMPARE(name->text(), m_dir.filePath(u"teljes.XLS"_s));

        screen.findChild<QPushButton*>(u"b_tarolas"_s)->click();
        QCOMPARE(messages->texts.last(), u"2 db tétel lementve."_s);
        QVERIFY(QFileInfo::exists(name->text()));
        QCOMPARE(progress->maximum(), 2);
        QCOMPARE(progress->value(), 2);
        QVERIFY(screen.findChild<QPushButton*>(u"b_tarolas"_s)->isEnabled());
        QVERIFY(name->isEnabled());

        // An existing file is replaced without asking: the dialog asked already.
        const int shown = messages->texts.size();
        screen.findChild<QPushButton*>(u"b_tarolas"_s)->click();
        QCOMPARE(messages->texts.size(), shown + 1);
        QCOMPARE(messages->texts.last(), u"2 db tétel lementve."_s);
    }

    void refusals()
    {
        ScriptedMessagesGuard messages;
        Ttotallistfm screen;
        screen.prepare({});
        auto* name = screen.findChild<QLineEdit*>(u"e_filename"_s);
        screen.findChild<QPushButton*>(u"b_tarolas"_s)->click();
        QCOMPARE(messages->texts.last(), u"Adjon meg egy érvényes fájlnevet"_s);

        const QString missing = m_dir.filePath(u"nincs/teljes.xlsx"_s);
        name->setText(missing);
        screen.findChild<QPushButton*>(u"b_tarolas"_s)->click();
        QVERIFY(messages->texts.last().startsWith(u"A fájl nem készült el: "_s +
                                                  QDir::toNativeSeparators(missing)));
        QVERIFY(!QFileInfo::exists(missing));
    }
};

QTEST_MAIN(TestTotallistfm)
#include "tst_totallistfm.moc"
