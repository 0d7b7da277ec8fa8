#include "jobhistory.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

QString jobHistorySql()
{
    // GROUP BY over every shown field merges identical versions as a UNION would; MAX keeps
    // the mark of the current row when a logged version equals it, and ordering by the mark
    // first puts the current row after versions of the same second (a move writes twice).
    return uR"(SELECT JUZER, MIKORI, TERVTEV, ALLAPOT, TERVD, DEDU, SZERELOT, LEIRAST, LEMONDTA,
KESZ, MAX(AKTUALIS) AKTUALIS
FROM (SELECT MUNKA_LOG.JUZER, MUNKA_LOG.MIKORI, MUNKA_LOG.TERVTEV, MUNKA_LOG.ALLAPOT,
MUNKA_LOG.TERVD, MUNKA_LOG.DEDU, MUNKA_LOG.SZERELOT, MUNKA_LOG.LEIRAST, MUNKA_LOG.LEMONDTA,
MUNKA_LOG.KESZ, 0 AKTUALIS FROM MUNKA_LOG WHERE MUNKA_LOG.KOD = :kod
UNION ALL
SELECT MUNKA.JUZER, MUNKA.MIKORI, MUNKA.TERVTEV, MUNKA.ALLAPOT, MUNKA.TERVD, MUNKA.DEDU,
MUNKA.SZERELOT, MUNKA.LEIRAST, MUNKA.LEMONDTA, MUNKA.KESZ, 1 FROM MUNKA WHERE MUNKA.KOD = :kod)
GROUP BY JUZER, MIKORI, TERVTEV, ALLAPOT, TERVD, DEDU, SZERELOT, LEIRAST, LEMONDTA, KESZ
ORDER BY 11, 2)"_s;
}

std::vector<data::ShownColumn> jobHistoryColumns()
{
    return {{u"JUZER"_s, u"Felhasználó"_s},   {u"MIKORI"_s, u"Tárolva"_s},
            {u"TERVTEV"_s, u"Tevékenység"_s}, {u"ALLAPOT"_s, u"Állapot"_s},
            {u"TERVD"_s, u"Tervezett nap"_s}, {u"DEDU"_s, u"Napszak"_s},
            {u"SZERELOT"_s, u"Szerelő"_s},    {u"LEIRAST"_s, u"Leírás"_s},
            {u"LEMONDTA"_s, u"Lemondta"_s},   {u"KESZ"_s, u"Kész"_s}};
}

HistoryPrint historyPrint(int ugyfel, int currentAppliance, bool allAppliances, bool jobSheetDetail)
{
    return {jobSheetDetail, ugyfel, allAppliances ? 0 : currentAppliance};
}

QString historyApplianceSql()
{
    return u"SELECT KESZULEK.GYARISZAM, KESZULEK.KOD, KESZULEK.TIPUS, ARU.NEV, ARU.KOD ARUKOD "
           u"FROM KESZULEK,ARU WHERE KESZULEK.UGYFEL = :ugyfel AND ARU.BELSOKOD = "
           u"KESZULEK.TIPUS"_s;
}

QString historyJobSql()
{
    return uR"(SELECT ARU.NEV ARUNEV, MUNKA.ALLAPOT, MUNKA.FELVETELD, MUNKA.TERVD, MUNKA.TERVTEV,
MUNKA.DEDU, MUNKA.SZERELOT, MUNKA.MUNKAD, MUNKA.SZERELOM, MUNKA.MUNKATEV, MUNKA.MUNKASZAM,
MUNKA.SZAMLASZAM, MUNKA.LEIRAST, MUNKA.LEIRASM, MUNKA.KOD, MUNKA.KESZULEK, UGYFEL.NEV UGYFELNEV,
UGYFEL.IRSZAM, UGYFEL.VAROS, UGYFEL.UTCA, UGYFEL.TELEFON, KESZULEK.GYARISZAM
FROM MUNKA, ARU, UGYFEL, KESZULEK
WHERE MUNKA.UGYFEL = :ugyfel AND MUNKA.KESZULEK = :keszulek AND ARU.BELSOKOD = MUNKA.TIPUS
AND UGYFEL.KOD = MUNKA.UGYFEL AND KESZULEK.KOD = MUNKA.KESZULEK
ORDER BY MUNKA.KESZULEK, MUNKA.FELVETELD)"_s;
}

QString jobHistoryTitle(int kod)
{
    return u"A "_s + QString::number(kod) + u" sz. munka történeti áttekintése"_s;
}

} // namespace mivo::workflow
