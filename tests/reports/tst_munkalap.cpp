// The job sheet ("MUNKAUTALVÁNY").

#include "reportdata.h"
#include "support/pdftext.h"

#include "core/clock.h"
#include "platform/dbquery.h"
#include "reports/qrmunkalap.h"
#include "reports/reportpages.h"
#include "reports/reportpainter.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace mivo;
using namespace mivo::reports;
using namespace Qt::StringLiterals;

namespace
{

const QString repairText = u"Kicseréltük a gázszelepet és a gyújtóelektródát, a tágulási tartály "
                           u"nyomását 1,2 barra állítottuk, a kazán hibátlanul működik, a "
                           u"füstgázt megmértük."_s;

// Nagy Éva's commissioned boiler with three jobs (one deleted), her second appliance without
// a sheet, and a third appliance with a sheet and one job.
struct Sheets {
    Sheets()
    {
        if (!o.db.ok())
            return;
        o.insert(u"BEUZLAP"_s, {{u"SORSZAM"_s, u"B0001"_s},
                                {u"KESZULEK"_s, o.kazan},
                                {u"UGYFEL"_s, o.nagy},
                                {u"GYARISZAM"_s, u"GY-778899"_s},
                                {u"FUTESIREND"_s, u"RAD"_s},
                                {u"GAZFAJTA"_s, u"G20"_s},
                                {u"GAZNYOMAS"_s, 25.0},
                                {u"EGONYOMASMIN"_s, 2.5},
                                {u"EGONYOMASMAX"_s, 11.3},
                                {u"EGONYOMASHMV"_s, 10.0},
                                {u"TELJMIN"_s, 8.0},
                                {u"TELJMAX"_s, 24.0},
                                {u"TELJHMV"_s, 26.0},
                                {u"FELSZ"_s, u"Fali"_s},
                                {u"EGESTERMEK"_s, u"Turbós"_s},
                                {u"THKABEL"_s, u"I"_s},
                                {u"ELEKTR"_s, u"Rendben"_s},
                                {u"ATMOSAS"_s, u"N"_s},
                                {u"HMV"_s, u"I"_s},
                                {u"TOMORSEG"_s, u"Tömör"_s},
                                {u"GAZMEO"_s, u"I"_s},
                                {u"SZERELHETO"_s, u"Jó"_s},
                                {u"LEGELLATAS"_s, u"Zárt"_s},
                                {u"EPH"_s, u"I"_s},
                                {u"OXIDIFF"_s, u"N"_s},
                                {u"VIZNYOMAS"_s, 1.5}});
        QString error;
        QVERIFY2(db::execute(o.db.connectionName(),
                             u"UPDATE MUNKA SET MUNKASZAM = 'M-0042', FELVETELD = '2024.03.01', "
                             u"JUZER = 'kata', SZERELOM = 'ARANY', MUNKATEV = 'J', "
                             u"LEIRASM = :leiras, MUNKAD = '2024.03.04' WHERE KOD = :kod"_s,
                             {{u"leiras"_s, repairText}, {u"kod"_s, o.morning}}, &error),
                 qPrintable(error));
        // Phone-ahead flag set: "Telefon:" must still be the customer's telephone.
        older = o.job(u"B2"_s, u"2023.05.10"_s,
                      {{u"UGYFEL"_s, o.nagy},
                       {u"KESZULEK"_s, o.kazan},
                       {u"FELVETELD"_s, u"2023.05.08"_s},
                       {u"TERVTEV"_s, u"QQ"_s},
                       {u"SZERELOM"_s, u"ZZZ"_s},
                       {u"TELEFON"_s, u"I"_s},
                       {u"MUNKASZAM"_s, u"M-0007"_s},
                       {u"LEIRAST"_s, u"Régi hiba"_s}});
        o.job(u"B2"_s, u"2024.01.10"_s,
              {{u"UGYFEL"_s, o.nagy},
               {u"KESZULEK"_s, o.kazan},
               {u"ALLAPOT"_s, u"TOR"_s},
               {u"MUNKASZAM"_s, u"M-0099"_s}});
        o.job(u"B2"_s, u"2024.01.11"_s,
              {{u"UGYFEL"_s, o.nagy}, {u"KESZULEK"_s, o.masik}, {u"MUNKASZAM"_s, u"M-0500"_s}});
        third = o.insert(u"KESZULEK"_s, {{u"UGYFEL"_s, o.nagy}, {u"TIPUS"_s, o.genus}}, u"KOD"_s);
        o.insert(u"BEUZLAP"_s, {{u"SORSZAM"_s, u"B0002"_s}, {u"KESZULEK"_s, third}});
        o.job(u"B2"_s, u"2022.02.02"_s,
              {{u"UGYFEL"_s, o.nagy},
               {u"KESZULEK"_s, third},
               {u"FELVETELD"_s, u"2022.02.01"_s},
               {u"MUNKASZAM"_s, u"M-0001"_s}});
    }
    ReportOffice o;
    int older = 0;
    int third = 0;
};

} // namespace

class TestMunkalap : public QObject
{
    Q_OBJECT

private slots:
    void init() { clock::set(QDateTime(QDate(2024, 3, 4), QTime(10, 0))); }
    void cleanup() { clock::set({}); }

    void pagePerJob_data()
    {
        QTest::addColumn<bool>("oneAppliance");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("every appliance") << false << QStringList{"M-0007", "M-0042", "M-0001"};
        QTest::newRow("the boiler") << true << QStringList{"M-0007", "M-0042"};
    }
    // Only sheeted appliances, no deleted job; each appliance, and each job, on its own page,
    // by appliance and then by the date taken.
    void pagePerJob()
    {
        QFETCH(bool, oneAppliance);
        QFETCH(QStringList, numbers);
        Sheets s;
        QVERIFY2(s.o.db.ok(), qPrintable(s.o.db.error()));
        QString error;
        auto r = buildMunkalap(s.o.nagy, oneAppliance ? s.o.kazan : 0, &error);
        QVERIFY2(r, qPrintable(error));
        report::PageModel pages;
        QCOMPARE(report::run(*r, pages), int(numbers.size()));
        checkReadable(pages);
        for (int p = 1; p <= pages.pageCount(); ++p) {
            QCOMPARE(pages.texts(p).first(), u"MUNKAUTALVÁNY"_s);
            QVERIFY(pages.texts(p).contains(numbers[p - 1]));
        }
        QCOMPARE(pages.pageOf(u"M-0099"_s), 0);
        QCOMPARE(pages.pageOf(u"M-0500"_s), 0);
        // An appliance without a sheet has none.
        r = buildMunkalap(s.o.nagy, s.o.masik, &error);
        QVERIFY2(r, qPrintable(error));
        report::PageModel none;
        report::run(*r, none);
        QCOMPARE(none.pageOf(u"MUNKAUTALVÁNY"_s), 0);
    }

    void printedValues()
    {
        Sheets s;
        QVERIFY2(s.o.db.ok(), qPrintable(s.o.db.error()));
        QString error;
        auto r = buildMunkalap(s.o.nagy, s.o.kazan, &error);
        QVERIFY2(r, qPrintable(error));
        report::PageModel pages;
        QCOMPARE(report::run(*r, pages), 2);

        // The older job: unknown codes print as they are; the telephone is the customer's.
        const QStringList first = pages.texts(1);
        const qsizetype phone = first.indexOf(u"Telefon:"_s);
        QVERIFY(phone >= 0);
        QCOMPARE(first.at(phone + 1), u"06-27-555-111"_s);
        QVERIFY(!first.contains(u"I"_s));
        QVERIFY(first.contains(u"QQ"_s));
        QVERIFY(first.contains(u"ZZZ"_s));
        QVERIFY(first.contains(u"Régi hiba"_s));

        const QStringList second = pages.texts(2);
        const auto after = [&second](const QString& label) {
            const qsizetype i = second.indexOf(label);
            return i >= 0 && i + 1 < second.size() ? second.at(i + 1) : u"(nincs)"_s;
        };
        QCOMPARE(after(u"Munkaszám:"_s), u"M-0042"_s);
        QCOMPARE(after(u"Név:"_s), u"Nagy Éva"_s);
        QCOMPARE(after(u"Cím:"_s), u"2600"_s);
        QVERIFY(second.contains(u"Vác, Fő u. 2"_s));
        QCOMPARE(after(u"Dátum:"_s), u"2024.03.01"_s);
        QCOMPARE(after(u"Hibafelvevő"_s), u"kata"_s);
        QCOMPARE(after(u"Szerelő"_s), u"Arany Béla"_s);
        QCOMPARE(after(u"Bejelentett hiba:"_s), u"Karbantartás"_s);
        QCOMPARE(after(u"Munka meghatározás"_s), u"Javítás"_s);
        QCOMPARE(after(u"Készülék típusa:"_s), u"Ariston Genus 24"_s);
        QCOMPARE(after(u"Gyári szám:"_s), u"GY-778899"_s);
        QCOMPARE(after(u"Fűtési rendszer:"_s), u"RAD"_s);
        QCOMPARE(after(u"Gázfajta"_s), u"G20"_s);
        QCOMPARE(after(u"Gáznyomás mbar"_s), u"25"_s);
        QCOMPARE(after(u"TH kábel folyamatos"_s), u"IGEN"_s);
        QCOMPARE(after(u"Fűtési rendszer átmosás"_s), u"NINCS"_s);
        QCOMPARE(after(u"MHV tartály"_s), u"VAN"_s);
        QCOMPARE(after(u"GÁZ MEO"_s), u"VAN"_s);
        QCOMPARE(after(u"Szakvélemény:"_s), u"NINCS"_s); // empty
        QCOMPARE(after(u"EPH"_s), u"VAN"_s);
        QCOMPARE(after(u"Oxigén diffúzió"_s), u"NINCS"_s);
        QCOMPARE(after(u"Bemenő víznyomás bar"_s), u"1,5"_s);
        QVERIFY(second.contains(u"2,5"_s));
        QVERIFY(second.contains(u"11,3"_s));
        QVERIFY(second.contains(u"26"_s));
        // The repair text grows its band; what follows it moves down.
        QStringList repair;
        double repairBottom = 0;
        double technicianTop = 0;
        for (const auto& t : pages.placed(2)) {
            if (!t.text.isEmpty() && repairText.contains(t.text) && t.text.size() > 20) {
                repair << t.text;
                repairBottom = std::max(repairBottom, t.rect.bottom());
            }
            if (t.text == u"MUNKAD"_s || t.text == u"2024.03.04"_s)
                technicianTop = t.rect.top();
        }
        QVERIFY(repair.size() >= 2);
        QCOMPARE(repair.join(u' '), repairText);
        QVERIFY(technicianTop >= repairBottom);
        // The parts used, code, name and quantity.
        const qsizetype part = second.indexOf(u"SZ100"_s);
        QVERIFY(part >= 0);
        QCOMPARE(second.mid(part, 6),
                 (QStringList{u"SZ100"_s, u"Szelep"_s, u"2"_s, u"GUMI"_s, u"GUMI"_s, u"1"_s}));
        checkReadable(pages);

        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"munkalap.pdf"_s);
        QVERIFY2(report::writePdf(*r, pdf, &error), qPrintable(error));
        const QString text = pdfText(pdf, 2);
        for (const QString& t :
             {u"MUNKAUTALVÁNY"_s, u"Munkaszám:"_s, u"M-0042"_s, u"Beállítási adatok:"_s,
              u"Égőnyomás mbar"_s, u"Beállított teljesítmény"_s, u"Egyéb észrevétel"_s,
              u"Felhasznált alkatrészek"_s, u"Megnevezés"_s, u"Darab"_s, u"Javítás rövid leírása"_s,
              u"Szelep"_s, u"IGEN"_s})
            QVERIFY2(text.contains(t), qPrintable(t));
    }
};

QTEST_MAIN(TestMunkalap)
#include "tst_munkalap.moc"
