// The daily work instruction in its three layouts, its text file and its e-mail.

#include "reportdata.h"
#include "support/pdftext.h"
#include "support/smtpserver.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "reports/napilistadata.h"
#include "reports/napilistatext.h"
#include "reports/qrnapilista.h"
#include "reports/reportpages.h"
#include "reports/reportpainter.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace mivo;
using namespace mivo::reports;
using namespace Qt::StringLiterals;

namespace
{

const QString monday = u"2024.03.04"_s;
const QString tuesday = u"2024.03.05"_s;

QStringList counters(const report::PageModel& pages, int page)
{
    static const QRegularExpression counter(u"^\\d+\\.$"_s);
    QStringList result;
    for (const QString& t : pages.texts(page))
        if (counter.match(t).hasMatch())
            result << t;
    return result;
}

int boxes(const report::PageModel& pages, int page)
{
    int n = 0;
    for (const QRectF& f : pages.frames(page))
        n += f.height() > 0 ? 1 : 0;
    return n;
}

QString spaced(QString text)
{
    return text.replace(QRegularExpression(u"\\s+"_s), u" "_s);
}

} // namespace

class TestNapilista : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
        Td::instance().userName = u"Teszt Elek"_s;
        Td::instance().ownCompany = u"VELKOR"_s;
        Td::instance().workPath.clear();
    }
    void cleanup()
    {
        clock::set({});
        Ini::instance().clear();
        Td::instance().workPath.clear();
    }

    void readsTheDaysJobs()
    {
        ReportOffice o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        std::vector<DailyJob> jobs;
        QString error;
        QVERIFY2(readDailyJobs(u"ARANY"_s, monday, tuesday, &jobs, &error), qPrintable(error));
        QCOMPARE(jobs.size(), size_t(3)); // the deleted job stays out
        QCOMPARE(jobs[0].kod, o.morning);
        QCOMPARE(jobs[1].kod, o.afternoon);
        QCOMPARE(jobs[2].kod, o.tuesday);
        // Neither activity nor appliance type has a row: the job is listed all the same.
        QCOMPARE(jobs[1].tevnev, QString());
        QCOMPARE(jobs[1].keszuleknev, QString());
        QCOMPARE(jobs[0].tevnev, u"Karbantartás"_s);
        QCOMPARE(jobs[0].ugyfeltelefon, u"06-27-555-111"_s);
        QCOMPARE(jobs[0].szereloemail, u"arany@szerviz.test"_s);
        QCOMPARE(jobs[0].parts.size(), size_t(2));
        QCOMPARE(jobs[0].parts[0].code, u"SZ100"_s);
        QCOMPARE(jobs[0].parts[1].code, u"GUMI"_s);
        QVERIFY(jobs[1].parts.empty());
        QVERIFY(readDailyJobs(allTechnicians, monday, monday, &jobs, &error));
        QCOMPARE(jobs.size(), size_t(3));
        QCOMPARE(jobs[2].szerelonev, u"Bodó Ede"_s);
    }

    void partsLine_data()
    {
        QTest::addColumn<std::vector<DailyPart>>("parts");
        QTest::addColumn<QString>("line");
        QTest::newRow("none") << std::vector<DailyPart>{} << QString();
        QTest::newRow("name differs") << std::vector<DailyPart>{{2, u"SZ100"_s, u"Szelep"_s}}
                                      << u"Alkatrészek: 2 db SZ100 Szelep; "_s;
        QTest::newRow("name is the code")
            << std::vector<DailyPart>{{1, u"GUMI"_s, u"GUMI"_s}} << u"Alkatrészek: 1 db GUMI; "_s;
        QTest::newRow("two, rounded")
            << std::vector<DailyPart>{{1.5, u"A"_s, u"Alfa"_s}, {3, u"B"_s, u"B"_s}}
            << u"Alkatrészek: 2 db A Alfa;  3 db B; "_s;
    }
    void partsLine()
    {
        QFETCH(std::vector<DailyPart>, parts);
        QFETCH(QString, line);
        QCOMPARE(reports::partsLine(parts, u"Alkatrészek:"_s), line);
    }

    void layouts_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("cancelled");
        QTest::addColumn<bool>("ready");
        QTest::addColumn<bool>("checkBoxes");
        QTest::addColumn<bool>("remark");
        QTest::newRow("other company")
            << u"SAJAT"_s << u"Tqr_napilista"_s
            << QStringList{u"Idő"_s, u"Ügyfél"_s, u"Cím"_s, u"Készülék"_s} << u"LEMONDTA"_s << false
            << true << true;
        QTest::newRow("RUDVEK") << u"RUDVEK"_s << u"Tqr_napilista2"_s
                                << QStringList{u"Idő"_s, u"Ügyfél neve, címe, telefonszáma"_s,
                                               u"Készülék"_s, u"Anyagfelhasználás"_s, u"Munkadíj"_s}
                                << u"LEMONDTA."_s << true << false << false;
        QTest::newRow("VELKOR") << u"VELKOR"_s << u"Tqr_napilista3"_s
                                << QStringList{u"Idő"_s, u"Ügyfél"_s, u"Cím"_s, u"Készülék"_s}
                                << u"LEMONDTA"_s << true << false << false;
    }
    void layouts()
    {
        QFETCH(QString, company);
        QFETCH(QString, name);
        QFETCH(QStringList, captions);
        QFETCH(QString, cancelled);
        QFETCH(bool, ready);
        QFETCH(bool, checkBoxes);
        QFETCH(bool, remark);
        ReportOffice o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const NapilistaLayout& layout = napilistaLayout(company);
        QCOMPARE(layout.name, name);
        QString error;
        auto r =
            buildNapilista(layout, u"ARANY"_s, monday, monday, u"Napi munka utasítás"_s, &error);
        QVERIFY2(r, qPrintable(error));

        report::PageModel pages;
        QCOMPARE(report::run(*r, pages), 1);
        checkReadable(pages);
        const QStringList texts = pages.texts(1);
        QCOMPARE(texts.first(), u"Napi munka utasítás"_s);
        QVERIFY(texts.contains(u"Arany Béla 2024.03.04, hétfő"_s));
        for (const QString& c : captions)
            QVERIFY2(texts.contains(c), qPrintable(c));
        QCOMPARE(counters(pages, 1), (QStringList{u"1."_s, u"2."_s}));
        QVERIFY(texts.contains(u"Nagy Éva"_s));
        QVERIFY(texts.contains(u"Kiss Péter"_s)); // no activity, no appliance type
        QVERIFY(texts.contains(u"Éves karbantartás"_s));
        QVERIFY(texts.contains(u"Alkatrészek: 2 db SZ100 Szelep;  1 db GUMI;"_s));
        QCOMPARE(texts.count(cancelled), 1);
        QCOMPARE(texts.count(u"KÉSZ"_s), ready ? 1 : 0);
        QCOMPARE(texts.contains(u"Kiadva"_s), checkBoxes);
        QCOMPARE(texts.contains(u"Ellenőrizve"_s), checkBoxes);
        QCOMPARE(texts.contains(u"Megoldva"_s), checkBoxes);
        QCOMPARE(boxes(pages, 1), checkBoxes ? 6 : 0); // three per job, printed empty
        QCOMPARE(texts.contains(u"Kutya van Csengő nem jó"_s), remark);
        QVERIFY(!texts.contains(u"Törölt munka"_s));
        QVERIFY(texts.contains(u"Nyomtatta: Teszt Elek"_s));

        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"napilista.pdf"_s);
        QVERIFY2(report::writePdf(*r, pdf, &error), qPrintable(error));
        const QString text = pdfText(pdf);
        const QString flat = spaced(text);
        for (const QString& c : captions)
            QVERIFY2(text.contains(c), qPrintable(c));
        QVERIFY(text.contains(u"Arany Béla 2024.03.04, hétfő"_s));
        QVERIFY(text.contains(u"2024.03.04 10:00:00"_s));
        QVERIFY(flat.contains(u"Alkatrészek: 2 db SZ100 Szelep; 1 db GUMI;"_s));
        QVERIFY(text.contains(u"06-27-555-111"_s));
        QVERIFY(text.contains(u"Fő u. 2"_s));
        QVERIFY(text.contains(u"Ariston Genus 24"_s));
        QVERIFY(text.contains(u"Karbantartás"_s));
        QCOMPARE(text.contains(u"LEMONDTA."_s), cancelled == u"LEMONDTA."_s);
        QVERIFY(text.contains(u"LEMONDTA"_s));
        QCOMPARE(text.contains(u"KÉSZ"_s), ready);
        QCOMPARE(text.contains(u"Ellenőrizve"_s), checkBoxes);
        QCOMPARE(flat.contains(u"Kutya van Csengő nem jó"_s), remark);
        QVERIFY(text.contains(u"Készítette: ....."_s));
        QVERIFY(text.contains(u"Kiadta: ....."_s));
        QVERIFY(text.contains(u"Ellenőrizte: ....."_s));
        QVERIFY(text.contains(u"Nyomtatta: Teszt Elek"_s));
        // The planned hours (19 and 21; 22 is the deleted job's) are printed nowhere.
        QVERIFY2(!text.contains(QRegularExpression(u"\\b(19|21|22)\\b"_s)), qPrintable(text));
    }

    // "MIND": a page per technician-day, technicians by name, then by date; each day counted
    // from 1.
    void everyTechnicianOverTwoDays()
    {
        ReportOffice o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        QString error;
        auto r = buildNapilista(napilistaLayout(u"VELKOR"_s), allTechnicians, monday, tuesday,
                                u"Napi munka utasítás"_s, &error);
        QVERIFY2(r, qPrintable(error));
        report::PageModel pages;
        QCOMPARE(report::run(*r, pages), 3);
        checkReadable(pages);
        QVERIFY(pages.texts(1).contains(u"Arany Béla 2024.03.04, hétfő"_s));
        QVERIFY(pages.texts(2).contains(u"Arany Béla 2024.03.05, kedd"_s));
        QVERIFY(pages.texts(3).contains(u"Bodó Ede 2024.03.04, hétfő"_s));
        QCOMPARE(counters(pages, 1), (QStringList{u"1."_s, u"2."_s}));
        QCOMPARE(counters(pages, 2), QStringList{u"1."_s});
        QCOMPARE(counters(pages, 3), QStringList{u"1."_s});
        QVERIFY(pages.texts(2).contains(u"Kedd"_s));
        QVERIFY(pages.texts(3).contains(u"Bodó munkája"_s));

        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"mind.pdf"_s);
        QVERIFY2(report::writePdf(*r, pdf, &error), qPrintable(error));
        QVERIFY(pdfText(pdf, 2).contains(u"Arany Béla 2024.03.05, kedd"_s));
        QVERIFY(pdfText(pdf, 3).contains(u"Bodó Ede 2024.03.04, hétfő"_s));
    }

    // A day longer than a page: the counter runs on over the page break, and the next page's
    // heading is the same technician-day.
    void counterRunsOnOverAPageBreak()
    {
        ReportOffice o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        for (int i = 0; i < 30; ++i)
            o.job(u"B2"_s, u"2024.03.06"_s,
                  {{u"TERVT"_s, u"%1"_s.arg(8 + i % 10, 2, 10, QChar(u'0'))},
                   {u"LEIRAST"_s, u"Munka %1"_s.arg(i + 1)}});
        o.job(u"B2"_s, u"2024.03.07"_s);
        QString error;
        auto r = buildNapilista(napilistaLayout(u"SAJAT"_s), u"B2"_s, u"2024.03.06"_s,
                                u"2024.03.07"_s, {}, &error);
        QVERIFY2(r, qPrintable(error));
        report::PageModel pages;
        const int count = report::run(*r, pages);
        QVERIFY(count >= 3);
        checkReadable(pages);
        QStringList wednesday;
        for (int p = 1; p < count; ++p) {
            QVERIFY(pages.texts(p).contains(u"Bodó Ede 2024.03.06, szerda"_s));
            QCOMPARE(pages.texts(p).first(), u"Szerelő napi lista"_s); // the default title
            wednesday << counters(pages, p);
        }
        QCOMPARE(wednesday.size(), 30);
        for (int i = 0; i < 30; ++i)
            QCOMPARE(wednesday[i], u"%1."_s.arg(i + 1));
        QVERIFY(pages.texts(count).contains(u"Bodó Ede 2024.03.07, csütörtök"_s));
        QCOMPARE(counters(pages, count), QStringList{u"1."_s});
    }

    void emptyPeriod_data()
    {
        QTest::addColumn<QString>("technician");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("heading");
        QTest::newRow("no work") << u"ARANY"_s << u"2024.03.10"_s << u"2024.03.10"_s
                                 << u"Arany Béla 2024.03.10 NINCS MUNKÁJA"_s;
        QTest::newRow("absent") << u"ARANY"_s << u"2024.03.11"_s << u"2024.03.11"_s
                                << u"Arany Béla 2024.03.11 Szabadság"_s;
        QTest::newRow("period") << u"ARANY"_s << u"2024.03.10"_s << u"2024.03.12"_s
                                << u"Arany Béla 2024.03.10 -> 2024.03.12 NINCS MUNKÁJA"_s;
        QTest::newRow("unknown code")
            << u"QWE"_s << monday << monday << u"QWE 2024.03.04 NINCS MUNKÁJA"_s;
    }
    void emptyPeriod()
    {
        QFETCH(QString, technician);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, heading);
        ReportOffice o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        o.insert(u"NAPIREND"_s, {{u"SZERELOKOD"_s, u"ARANY"_s},
                                 {u"DATUM"_s, u"2024.03.11"_s},
                                 {u"MUNKAKEPES"_s, u"SZ"_s}});
        for (const QString& company : {u"SAJAT"_s, u"RUDVEK"_s, u"VELKOR"_s}) {
            QString error;
            auto r = buildNapilista(napilistaLayout(company), technician, from, to,
                                    u"Napi munka utasítás"_s, &error);
            QVERIFY2(r, qPrintable(error));
            QTemporaryDir dir;
            const QString pdf = dir.filePath(u"ures.pdf"_s);
            QVERIFY2(report::writePdf(*r, pdf, &error), qPrintable(error));
            QVERIFY(pdfText(pdf, 2).isEmpty());
            const QString text = pdfText(pdf, 1);
            QVERIFY2(text.contains(heading), qPrintable(text));
            QVERIFY(text.contains(u"Napi munka utasítás"_s));
            QVERIFY(text.contains(u"Idő"_s));
            QVERIFY(text.contains(u"Nyomtatta: Teszt Elek"_s));
        }
    }

    // Long texts grow their band instead of running into their neighbours.
    void longTextsWrap()
    {
        ReportOffice o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        const QString task = u"A kazán hangosan zörög és időnként leáll, a melegvíz langyos; a "
                             u"tágulási tartályt és a szivattyút is meg kell nézni, a kéményt "
                             u"ellenőrizni, a szűrőt kitisztítani, a tulajdonos délután van "
                             u"otthon."_s;
        const int customer = o.insert(
            u"UGYFEL"_s,
            {{u"NEV"_s, u"Dr. Hosszúnevű-Kovácsné Szentgyörgyvölgyi Erzsébet Anna"_s},
             {u"IRSZAM"_s, u"9999"_s},
             {u"VAROS"_s, u"Balatonszentgyörgy-Hegyestető"_s},
             {u"UTCA"_s, u"Szent István király útja 128/B. III/12."_s},
             {u"TELEFON"_s, u"06-30-123-4567, 06-1-765-4321 (este)"_s},
             {u"KOMMENT"_s, u"Kapukód: 1234#, a második lépcsőház, a lift nem működik"_s},
             {u"KOMMENT2"_s, u"Hívja előtte a fiát, ő engedi be a szerelőt, mert a hölgy rosszul "
                             u"hall"_s}},
            u"KOD"_s);
        o.job(u"B2"_s, u"2024.03.08"_s,
              {{u"UGYFEL"_s, customer},
               {u"LEIRAST"_s, task},
               {u"TELEFON"_s, u"I"_s},
               {u"LEMONDTA"_s, u"I"_s},
               {u"KESZ"_s, u"I"_s}});
        o.job(u"B2"_s, u"2024.03.08"_s, {{u"LEIRAST"_s, u"Utána"_s}});
        for (const QString& company : {u"SAJAT"_s, u"RUDVEK"_s, u"VELKOR"_s}) {
            QString error;
            auto r = buildNapilista(napilistaLayout(company), u"B2"_s, u"2024.03.08"_s,
                                    u"2024.03.08"_s, {}, &error);
            QVERIFY2(r, qPrintable(error));
            report::PageModel pages;
            QCOMPARE(report::run(*r, pages), 1);
            checkReadable(pages);
            const QStringList texts = pages.texts(1);
            QStringList taskLines;
            for (const QString& t : texts)
                if (task.contains(t) && !t.isEmpty() && t.size() > 10)
                    taskLines << t;
            QVERIFY(taskLines.size() >= 2);
            QCOMPARE(taskLines.join(u' '), task);
        }
    }

    void textFile()
    {
        ReportOffice o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(u"napi"_s);
        Td::instance().workPath = dir.filePath(u"napi"_s) + u'/';
        const QString path = dir.filePath(u"napi/NMU_ARANY_2024_03_04.TXT"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("régi tartalom, sokkal hosszabb mint az új fájl lesz? nem, de felülíródik\n");
        old.close();

        ScriptedMessagesGuard messages;
        QVERIFY(dailyInstructionText(u"ARANY"_s, monday, tuesday, false));
        QCOMPARE(messages->texts, QStringList{u"A melléklet elkészült: "_s + path});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray expected = "\xEF\xBB\xBF"
                                    "Napi munka utasítás Arany Béla részére\r\n"
                                    "\r\n"
                                    "2024.03.04 hétfő\r\n"
                                    "\r\n"
                                    "1. cím: De Nagy Éva 2600 Vác Fő u. 2\r\n"
                                    "   telefon: 06-27-555-111\r\n"
                                    "   készülék: Ariston Genus 24\r\n"
                                    "   teendő: Karbantartás\r\n"
                                    "   Éves karbantartás\r\n"
                                    "   Kutya van\r\n"
                                    "   Csengő nem jó\r\n"
                                    "   alkatrészek: 2 db SZ100 Szelep;  1 db GUMI; \r\n"
                                    "\r\n"
                                    "2. cím: Du Kiss Péter 1051 Budapest Nádor u. 5\r\n"
                                    "   telefon: 06-1-333-444\r\n"
                                    "   készülék: \r\n"
                                    "   teendő: \r\n"
                                    "   Nem indul a kazán\r\n"
                                    "   Előtte telefont kér!\r\n"
                                    "   LEMONDTA!!!\r\n"
                                    "\r\n"
                                    "2024.03.05 kedd\r\n"
                                    "\r\n"
                                    "1. cím: De Kiss Péter 1051 Budapest Nádor u. 5\r\n"
                                    "   telefon: 06-1-333-444\r\n"
                                    "   készülék: Ariston Genus 24\r\n"
                                    "   teendő: Karbantartás\r\n"
                                    "   Kedd\r\n"
                                    "\r\n";
        QCOMPARE(file.readAll(), expected);
        // Nothing but the file is left in the folder.
        QCOMPARE(QDir(dir.filePath(u"napi"_s)).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"NMU_ARANY_2024_03_04.TXT"_s});
    }

    void textFileEdgeCases()
    {
        ReportOffice o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        QTemporaryDir dir;
        // An empty WORK_PATH is the program's folder.
        const QString before = paths::programDir();
        paths::setProgramDir(dir.path());
        ScriptedMessagesGuard messages;
        QVERIFY(dailyInstructionText(u"B2"_s, monday, monday, false));
        paths::setProgramDir(before);
        QVERIFY(QFile::exists(dir.filePath(u"NMU_B2_2024_03_04.TXT"_s)));
        QCOMPARE(messages->texts.size(), 1);
        // No job: no file, no message.
        Td::instance().workPath = dir.path();
        QVERIFY(dailyInstructionText(u"B2"_s, u"2024.03.20"_s, u"2024.03.20"_s, false));
        QVERIFY(dailyInstructionText(u"B2"_s, u"2024.03.20"_s, u"2024.03.20"_s, true));
        QVERIFY(!QFile::exists(dir.filePath(u"NMU_B2_2024_03_20.TXT"_s)));
        QCOMPARE(messages->texts.size(), 1);
        // A folder that is not there: the reason, and false.
        Td::instance().workPath = dir.filePath(u"nincs"_s);
        QVERIFY(!dailyInstructionText(u"B2"_s, monday, monday, false));
        QCOMPARE(messages->texts.size(), 2);
        QVERIFY(messages->texts.last().startsWith(u"A mappa nem létezik: "_s));
    }

    void mailedToTheTechnician()
    {
        ReportOffice o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(u"posta"_s);
        SmtpServer server;
        QString error;
        QVERIFY2(server.start(dir.filePath(u"posta"_s), &error), qPrintable(error));
        server.configureProgram(u"Mivo Iroda <iroda@szerviz.test>"_s);
        Td::instance().workPath = dir.path();

        ScriptedMessagesGuard messages;
        const bool sent = dailyInstructionText(u"ARANY"_s, monday, tuesday, true);
        QVERIFY2(sent, qPrintable(messages->texts.join(u'\n')));
        QCOMPARE(server.messageCount(), 1);
        const QJsonObject m = server.message(1);
        QCOMPARE(m[u"mail_from"_s].toString(), u"iroda@szerviz.test"_s);
        QCOMPARE(m[u"rcpt_tos"_s].toArray().first().toString(), u"arany@szerviz.test"_s);
        QCOMPARE(m[u"to"_s].toString(), u"Arany Béla <arany@szerviz.test>"_s);
        QCOMPARE(m[u"subject"_s].toString(), u"Napi munka utasítás 2024.03.04 -> 2024.03.05"_s);
        QCOMPARE(m[u"body"_s].toString().trimmed(), u"Lásd a szöveges mellékletet!"_s);
        const QJsonArray attachments = m[u"attachments"_s].toArray();
        QCOMPARE(attachments.size(), 1);
        QCOMPARE(attachments[0][u"filename"_s].toString(), u"NMU_ARANY_2024_03_04.TXT"_s);
        QFile file(dir.filePath(u"NMU_ARANY_2024_03_04.TXT"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QByteArray::fromBase64(attachments[0][u"data"_s].toString().toLatin1()),
                 file.readAll());

        // One day: the subject without the arrow.
        QVERIFY(dailyInstructionText(u"ARANY"_s, tuesday, tuesday, true));
        QCOMPARE(server.message(2)[u"subject"_s].toString(), u"Napi munka utasítás 2024.03.05"_s);
        // A technician without an address: refused, never a success.
        QVERIFY(!dailyInstructionText(u"B2"_s, monday, monday, true));
        QCOMPARE(messages->texts, QStringList{u"Hiba e-mail küldés közben:  ismeretlen címzett"_s});
        QCOMPARE(server.messageCount(), 2);
    }
};

QTEST_MAIN(TestNapilista)
#include "tst_napilista.moc"
