#include "reportdata.h"

#include "platform/dbquery.h"
#include "reports/reportmeasure.h"
#include "reports/reportpages.h"

#include <QFontMetricsF>

#include <QStringList>
#include <QTest>

using namespace Qt::StringLiterals;

int ReportOffice::insert(const QString& table, const std::map<QString, QVariant>& values,
                         const QString& returning)
{
    QStringList columns, params;
    for (const auto& [column, value] : values) {
        columns << column;
        params << u':' + column.toLower();
    }
    mivo::db::Query q(db.connectionName());
    q.setSql(u"INSERT INTO "_s + table + u" ("_s + columns.join(u", "_s) + u") VALUES ("_s +
             params.join(u", "_s) + u')' +
             (returning.isEmpty() ? QString() : u" RETURNING "_s + returning));
    for (const auto& [column, value] : values)
        q.bind(column.toLower(), value);
    if (returning.isEmpty()) {
        if (!q.exec())
            QTest::qFail(qPrintable(q.lastError()), __FILE__, __LINE__);
        return 0;
    }
    const QVariant key = q.insertReturning();
    if (key.isNull())
        QTest::qFail(qPrintable(q.lastError()), __FILE__, __LINE__);
    return key.toInt();
}

int ReportOffice::job(const QString& szerelot, const QString& tervd,
                      const std::map<QString, QVariant>& values)
{
    std::map<QString, QVariant> row{
        {u"ALLAPOT"_s, u"KI"_s},   {u"UGYFEL"_s, kiss},  {u"TIPUS"_s, genus},
        {u"SZERELOT"_s, szerelot}, {u"TERVD"_s, tervd},  {u"TERVT"_s, u"18"_s},
        {u"TERVTEV"_s, u"KAR"_s},  {u"DEDU"_s, u"De"_s}, {u"FELVETELD"_s, tervd}};
    for (const auto& [column, value] : values)
        row[column] = value;
    return insert(u"MUNKA"_s, row, u"KOD"_s);
}

ReportOffice::ReportOffice()
{
    if (!db.ok())
        return;
    insert(u"SZERELO"_s, {{u"KOD"_s, u"ARANY"_s},
                          {u"NEV"_s, u"Arany Béla"_s},
                          {u"EMAIL"_s, u"arany@szerviz.test"_s},
                          {u"CEGKOD"_s, u"VELKOR"_s},
                          {u"AKTIV"_s, u"I"_s}});
    insert(u"SZERELO"_s, {{u"KOD"_s, u"B2"_s},
                          {u"NEV"_s, u"Bodó Ede"_s},
                          {u"CEGKOD"_s, u"VELKOR"_s},
                          {u"AKTIV"_s, u"I"_s}});
    nagy = insert(u"UGYFEL"_s,
                  {{u"NEV"_s, u"Nagy Éva"_s},
                   {u"IRSZAM"_s, u"2600"_s},
                   {u"VAROS"_s, u"Vác"_s},
                   {u"UTCA"_s, u"Fő u. 2"_s},
                   {u"TELEFON"_s, u"06-27-555-111"_s},
                   {u"KOMMENT"_s, u"Kutya van"_s},
                   {u"KOMMENT2"_s, u"Csengő nem jó"_s}},
                  u"KOD"_s);
    kiss = insert(u"UGYFEL"_s,
                  {{u"NEV"_s, u"Kiss Péter"_s},
                   {u"IRSZAM"_s, u"1051"_s},
                   {u"VAROS"_s, u"Budapest"_s},
                   {u"UTCA"_s, u"Nádor u. 5"_s},
                   {u"TELEFON"_s, u"06-1-333-444"_s}},
                  u"KOD"_s);
    genus =
        insert(u"ARU"_s,
               {{u"KOD"_s, u"NTX24"_s}, {u"NEV"_s, u"Ariston Genus 24"_s}, {u"JELLEG"_s, u"K"_s}},
               u"BELSOKOD"_s);
    szelep =
        insert(u"ARU"_s, {{u"KOD"_s, u"SZ100"_s}, {u"NEV"_s, u"Szelep"_s}, {u"JELLEG"_s, u"A"_s}},
               u"BELSOKOD"_s);
    gumi = insert(u"ARU"_s, {{u"KOD"_s, u"GUMI"_s}, {u"NEV"_s, u"GUMI"_s}, {u"JELLEG"_s, u"A"_s}},
                  u"BELSOKOD"_s);
    kazan = insert(u"KESZULEK"_s, {{u"UGYFEL"_s, nagy}, {u"TIPUS"_s, genus}}, u"KOD"_s);
    masik = insert(u"KESZULEK"_s, {{u"UGYFEL"_s, nagy}, {u"TIPUS"_s, genus}}, u"KOD"_s);

    morning = job(u"ARANY"_s, u"2024.03.04"_s,
                  {{u"UGYFEL"_s, nagy},
                   {u"KESZULEK"_s, kazan},
                   {u"TERVT"_s, u"19"_s},
                   {u"LEIRAST"_s, u"Éves karbantartás"_s},
                   {u"TELEFON"_s, u"N"_s}});
    afternoon = job(u"ARANY"_s, u"2024.03.04"_s,
                    {{u"DEDU"_s, u"Du"_s},
                     {u"TERVT"_s, u"21"_s},
                     {u"TERVTEV"_s, u"XX"_s},
                     {u"TIPUS"_s, 9999},
                     {u"LEIRAST"_s, u"Nem indul a kazán"_s},
                     {u"TELEFON"_s, u"I"_s},
                     {u"LEMONDTA"_s, u"I"_s},
                     {u"KESZ"_s, u"I"_s}});
    job(u"ARANY"_s, u"2024.03.04"_s,
        {{u"ALLAPOT"_s, u"TOR"_s}, {u"TERVT"_s, u"22"_s}, {u"LEIRAST"_s, u"Törölt munka"_s}});
    tuesday = job(u"ARANY"_s, u"2024.03.05"_s, {{u"TERVT"_s, u"23"_s}, {u"LEIRAST"_s, u"Kedd"_s}});
    bodo = job(u"B2"_s, u"2024.03.04"_s, {{u"DEDU"_s, u"Es"_s}, {u"LEIRAST"_s, u"Bodó munkája"_s}});
    insert(u"MUNKA_ALK"_s, {{u"KOD"_s, morning}, {u"ALKATRESZ"_s, szelep}, {u"MENNYISEG"_s, 2.0}});
    insert(u"MUNKA_ALK"_s, {{u"KOD"_s, morning}, {u"ALKATRESZ"_s, gumi}, {u"MENNYISEG"_s, 1.0}});
}

// Every text measured as the report measures it when wrapping, at a hundredfold size.
void checkReadable(const mivo::report::PageModel& pages)
{
    for (int p = 1; p <= pages.pageCount(); ++p) {
        const auto& placed = pages.placed(p);
        for (size_t i = 0; i < placed.size(); ++i) {
            const auto& t = placed[i];
            if (t.text.isEmpty())
                continue;
            QVERIFY2(t.rect.left() >= 0 && t.rect.right() <= 794 - 38 + 0.01 &&
                         t.rect.bottom() <= 1123 - 38 + 0.01,
                     qPrintable(t.text));
            QFont font = mivo::report::fontFor(t.style);
            font.setPixelSize(int(std::lround(t.style.pointSize * 96 / 72 * 100)));
            const double textWidth = QFontMetricsF(font).horizontalAdvance(t.text) / 100;
            QVERIFY2(textWidth <= t.rect.width() + 0.5,
                     qPrintable(u"%1 (%2 > %3)"_s.arg(t.text).arg(textWidth).arg(t.rect.width())));
            for (size_t j = i + 1; j < placed.size(); ++j) {
                const auto& u = placed[j];
                if (u.text.isEmpty())
                    continue;
                const QRectF overlap = t.rect.intersected(u.rect);
                QVERIFY2(overlap.width() < 0.5 || overlap.height() < 0.5,
                         qPrintable(t.text + u" / "_s + u.text));
            }
        }
    }
}
