#include "demodata.h"

#include "platform/catalogue.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"

#include <QVariant>

#include <array>
#include <random>

namespace mivo::schema
{

namespace
{

const std::array surnames = {
    "Nagy",   "Kovács", "Tóth",   "Szabó",  "Horváth",  "Varga",  "Kiss",    "Molnár",
    "Németh", "Farkas", "Balogh", "Papp",   "Takács",   "Juhász", "Lakatos", "Mészáros",
    "Oláh",   "Simon",  "Rácz",   "Fekete", "Szilágyi", "Török",  "Fehér",   "Balázs",
    "Gál",    "Kis",    "Szűcs",  "Kocsis", "Orsós",    "Pintér", "Fodor",   "Szalai",
    "Sipos",  "Magyar", "Lukács", "Gulyás", "Bíró",     "Király", "Katona",  "Lengyel"};
const std::array firstNames = {
    "László",    "István", "József",    "János",  "Zoltán", "Sándor",   "Gábor",   "Ferenc",
    "Attila",    "Péter",  "Tamás",     "Zsolt",  "Mária",  "Erzsébet", "Katalin", "Éva",
    "Ilona",     "Anna",   "Zsuzsanna", "Margit", "Judit",  "Ágnes",    "Andrea",  "Erika",
    "Krisztina", "Tibor",  "Csaba",     "Imre",   "György", "Balázs",   "Ildikó",  "Júlia"};
const std::array streets = {"Petőfi Sándor utca", "Kossuth Lajos utca",
                            "Rákóczi út",         "Béke utca",
                            "Ady Endre utca",     "Dózsa György út",
                            "Jókai Mór utca",     "Arany János utca",
                            "Bartók Béla út",     "Váci út",
                            "Szabadság tér",      "Fő utca",
                            "Kölcsey utca",       "Széchenyi István utca",
                            "Damjanich utca",     "Hunyadi János út",
                            "Rózsa utca",         "Tavasz utca",
                            "Nyárfa sor",         "Május 1. utca",
                            "Erkel Ferenc utca",  "Toldi Miklós utca"};

struct Town {
    const char* irszam;
    const char* varos;
};
const std::array budapest = {
    Town{"1027", "Budapest"}, Town{"1036", "Budapest"}, Town{"1042", "Budapest"},
    Town{"1065", "Budapest"}, Town{"1082", "Budapest"}, Town{"1095", "Budapest"},
    Town{"1106", "Budapest"}, Town{"1117", "Budapest"}, Town{"1134", "Budapest"},
    Town{"1145", "Budapest"}, Town{"1158", "Budapest"}, Town{"1173", "Budapest"},
    Town{"1183", "Budapest"}, Town{"1191", "Budapest"}, Town{"1203", "Budapest"},
    Town{"1221", "Budapest"}};
const std::array towns = {Town{"2000", "Szentendre"}, Town{"2040", "Budaörs"},
                          Town{"2100", "Gödöllő"},    Town{"2120", "Dunakeszi"},
                          Town{"2030", "Érd"},        Town{"2310", "Szigetszentmiklós"},
                          Town{"2600", "Vác"},        Town{"2700", "Cegléd"},
                          Town{"6000", "Kecskemét"},  Town{"8000", "Székesfehérvár"},
                          Town{"9021", "Győr"}};

struct Article {
    const char* kod;
    const char* nev;
    const char* jelleg;
    const char* csoport;
    double ar;
};
const std::array appliances = {
    Article{"TF-K24", "Termofix Kombi 24 kW", "K", "KOMBI", 289000},
    Article{"TF-K28", "Termofix Kombi 28 kW", "K", "KOMBI", 319000},
    Article{"TF-C25", "Termofix Kondenz 25 kW", "K", "KOND", 412000},
    Article{"TF-C35", "Termofix Kondenz 35 kW", "K", "KOND", 498000},
    Article{"AQ-F24", "Aquaterm Fali 24 kW", "K", "FALI", 265000},
    Article{"AQ-V11", "Aquaterm Vízmelegítő 11 l", "K", "VIZM", 118000},
    Article{"AQ-V14", "Aquaterm Vízmelegítő 14 l", "K", "VIZM", 139000},
    Article{"HM-C30", "Hőmester Kondenz Plus 30 kW", "K", "KOND", 455000}};
const std::array parts = {Article{"A1001", "Gyújtóelektróda", "A", "ALK", 4500},
                          Article{"A1002", "Ionizációs elektróda", "A", "ALK", 5200},
                          Article{"A1003", "Gázszelep", "A", "ALK", 38900},
                          Article{"A1004", "Keringető szivattyú", "A", "ALK", 52000},
                          Article{"A1005", "Háromjáratú szelep", "A", "ALK", 27500},
                          Article{"A1006", "Lemezes hőcserélő", "A", "ALK", 31000},
                          Article{"A1007", "Primer hőcserélő", "A", "ALK", 89000},
                          Article{"A1008", "Tágulási tartály 8 l", "A", "ALK", 16500},
                          Article{"A1009", "NTC érzékelő", "A", "ALK", 3900},
                          Article{"A1010", "Vezérlő panel", "A", "ALK", 74000},
                          Article{"A1011", "Ventilátor", "A", "ALK", 42000},
                          Article{"A1012", "Nyomáskapcsoló", "A", "ALK", 8800},
                          Article{"A1013", "Biztonsági szelep 3 bar", "A", "ALK", 4200},
                          Article{"A1014", "Tömítéskészlet", "A", "ALK", 2500},
                          Article{"A1015", "Égőfej", "A", "ALK", 36000},
                          Article{"A1016", "Kijelző panel", "A", "ALK", 29000}};
const std::array services = {Article{"S01", "Kiszállási díj", "S", "", 9000},
                             Article{"S02", "Munkadíj óránként", "S", "", 12000},
                             Article{"S03", "Éves karbantartás", "S", "", 24000},
                             Article{"S04", "Üzembe helyezés", "S", "", 18000}};
const std::array faults = {"Nem indul a kazán, hibakódot ír ki",
                           "Nincs meleg víz",
                           "Csöpög a biztonsági szelep",
                           "Éves karbantartás esedékes",
                           "Üzembe helyezés, új készülék",
                           "Zajos a keringető szivattyú",
                           "Leesik a nyomás a rendszerben",
                           "Begyújt, majd lekapcsol",
                           "Garanciális hiba, E28 kód",
                           "Gázszag a készülék körül",
                           "Nem fűt a radiátor",
                           "Kijelző nem működik"};

class Filler
{
public:
    Filler(const QString& connection, const QDate& today, unsigned seed)
        : m_connection(connection), m_today(today), m_rng(seed)
    {
    }

    int pick(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(m_rng)); }
    bool chance(int percent) { return pick(100) < percent; }
    template <typename A> auto& any(const A& array)
    {
        return array[size_t(pick(int(array.size())))];
    }

    using Values = std::vector<std::pair<const char*, QVariant>>;

    bool run(const QString& sql, const Values& values)
    {
        db::Query& q = bound(sql, values);
        if (!q.exec()) {
            m_error = q.lastError() + QStringLiteral("\n") + sql;
            return false;
        }
        return true;
    }
    QVariant key(const QString& sql, const Values& values)
    {
        db::Query& q = bound(sql, values);
        QVariant v = q.insertReturning();
        if (v.isNull())
            m_error = q.lastError() + QStringLiteral("\n") + sql;
        return v;
    }
    QString date(int offset) const
    {
        return m_today.addDays(offset).toString(QStringLiteral("yyyy.MM.dd"));
    }
    QString error() const { return m_error; }

private:
    db::Query& bound(const QString& sql, const Values& values)
    {
        db::Query& q = statement(sql);
        for (const auto& [name, value] : values)
            q.bind(QString::fromLatin1(name), value);
        return q;
    }
    db::Query& statement(const QString& sql)
    {
        auto it = m_statements.find(sql);
        if (it == m_statements.end()) {
            it = m_statements.emplace(sql, std::make_unique<db::Query>(m_connection)).first;
            it->second->setSql(sql);
        }
        return *it->second;
    }

    QString m_connection;
    QDate m_today;
    std::mt19937 m_rng;
    std::map<QString, std::unique_ptr<db::Query>> m_statements;
    QString m_error;
};

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

bool fillDemoData(const QString& connectionName, const DemoScale& scale, const QDate& today,
                  QString* error, const std::function<void(int, int)>& progress)
{
    Filler f(connectionName, today, 20261210u + unsigned(scale.customers));
    // Commissioning sheets and job parts draw from a sequence of their own, so that the
    // customers, appliances and jobs stay what they were before these existed.
    Filler extra(connectionName, today, 19910101u + unsigned(scale.customers));
    db::Transaction transaction(connectionName);
    const auto failWith = [&](const Filler& filler) {
        if (error)
            *error = filler.error();
        return false;
    };
    const auto fail = [&] { return failWith(f); };
    const QString own = QStringLiteral("VELKOR");

    // Companies and technicians
    const struct {
        const char* kod;
        const char* nev;
        const char* irszam;
        const char* varos;
        const char* utca;
    } companies[] = {{"VELKOR", "Velkor Kazánszerviz Kft.", "1117", "Budapest", "Fehérvári út 84."},
                     {"KTHERM", "Kalor-Therm Bt.", "2040", "Budaörs", "Szabadság út 12."},
                     {"GAZPNT", "Gázpont Szerelő Kft.", "2100", "Gödöllő", "Dózsa György út 5."}};
    for (const auto& c : companies)
        if (!f.run(QStringLiteral("INSERT INTO KULSOCEG (KOD, NEV, IRSZAM, VAROS, UTCA) VALUES "
                                  "(:kod, :nev, :irszam, :varos, :utca)"),
                   {{"kod", s(c.kod)},
                    {"nev", s(c.nev)},
                    {"irszam", s(c.irszam)},
                    {"varos", s(c.varos)},
                    {"utca", s(c.utca)}}))
            return fail();

    QStringList ownActive;
    const QString insertTech = QStringLiteral(
        "INSERT INTO SZERELO (KOD, NEV, IRSZAM, VAROS, UTCA, TELEFON1, TELEFON2, EMAIL, AKTIV, "
        "CEGKOD) "
        "VALUES (:kod, :nev, :irszam, :varos, :utca, :tel1, :tel2, :email, :aktiv, :cegkod)");
    const int ownTotal = scale.ownTechnicians + 2;
    for (int i = 0; i < ownTotal; ++i) {
        const bool active = i < scale.ownTechnicians;
        const QString name = s(f.any(surnames)) + QLatin1Char(' ') + s(f.any(firstNames));
        // Codes of three to six characters, as the users chose them over the years.
        const QString code = i % 4 == 3
                                 ? QStringLiteral("SZ%1").arg(i + 1)
                                 : QStringLiteral("SZ%1").arg(i + 1, 4, 10, QLatin1Char('0'));
        const Town& t = f.any(budapest);
        if (!f.run(insertTech,
                   {{"kod", code},
                    {"nev", name},
                    {"irszam", s(t.irszam)},
                    {"varos", s(t.varos)},
                    {"utca", s(f.any(streets)) + QStringLiteral(" %1.").arg(f.pick(80) + 1)},
                    {"tel1", QStringLiteral("06-1-%1").arg(2000000 + f.pick(7000000))},
                    {"tel2", QStringLiteral("06-30-%1").arg(1000000 + f.pick(8999999))},
                    {"email", QStringLiteral("szerelo%1@velkor.hu").arg(i + 1)},
                    {"aktiv", active ? QStringLiteral("I") : QStringLiteral("N")},
                    {"cegkod", own}}))
            return fail();
        if (active)
            ownActive << code;
    }
    QStringList external;
    for (int i = 0; i < 5; ++i) {
        const QString company = i < 3 ? QStringLiteral("KTHERM") : QStringLiteral("GAZPNT");
        const QString code = (i < 3 ? QStringLiteral("KT%1") : QStringLiteral("GP%1")).arg(i + 1);
        const Town& t = f.any(towns);
        if (!f.run(insertTech,
                   {{"kod", code},
                    {"nev", s(f.any(surnames)) + QLatin1Char(' ') + s(f.any(firstNames))},
                    {"irszam", s(t.irszam)},
                    {"varos", s(t.varos)},
                    {"utca", s(f.any(streets))},
                    {"tel1", QString()},
                    {"tel2", QStringLiteral("06-20-%1").arg(1000000 + f.pick(8999999))},
                    {"email", QString()},
                    {"aktiv", QStringLiteral("I")},
                    {"cegkod", company}}))
            return fail();
        external << code;
    }

    // Articles
    const QString insertAru = QStringLiteral(
        "INSERT INTO ARU (KOD, NEV, NEV2, JELLEG, AKTIV, M_EGYSEG, CS_EGYSEG, CSOPORT1, NETTOAR) "
        "VALUES (:kod, :nev, :nev2, :jelleg, 'I', 'DB', 1, :csoport, :ar) RETURNING BELSOKOD");
    QList<int> types, partKeys;
    QStringList partCodes;
    const auto addArticle = [&](const Article& a, const QString& maker) {
        return f.key(insertAru, {{"kod", s(a.kod)},
                                 {"nev", s(a.nev)},
                                 {"nev2", maker},
                                 {"jelleg", s(a.jelleg)},
                                 {"csoport", s(a.csoport)},
                                 {"ar", a.ar}});
    };
    for (const Article& a : appliances) {
        const QVariant k = addArticle(a, QStringLiteral("Termofix Zrt."));
        if (k.isNull())
            return fail();
        types << k.toInt();
    }
    for (const Article& a : parts) {
        const QVariant k = addArticle(a, QStringLiteral("Termofix Zrt."));
        if (k.isNull())
            return fail();
        partKeys << k.toInt();
        partCodes << s(a.kod);
    }
    for (const Article& a : services)
        if (addArticle(a, QString()).isNull())
            return fail();
    for (int t : types)
        for (int p = 0; p < partKeys.size(); ++p)
            if (f.pick(3) != 0 &&
                !f.run(QStringLiteral("INSERT INTO KESZ_ALK (TIPUS, ALKATRESZ) VALUES (:t, :p)"),
                       {{"t", t}, {"p", partKeys[p]}}))
                return fail();

    // Users
    const struct {
        const char* kod;
        const char* nev;
        const char* nev2;
        const char* jelszo;
        const char* jogok;
    } users[] = {{"QVX", "TARNOC", "", "MIVOX", "W"},
                 {"KE", "KOVACSE", "Kovács Erzsébet", "ALMA", "W9"},
                 {"NP", "NAGYP", "Nagy Péter", "KORTE", "AB"},
                 {"SZI", "SZABOI", "Szabó Ildikó", "SZILVA", "A"}};
    for (const auto& u : users)
        if (!f.run(QStringLiteral("INSERT INTO SZ_JUZER (KOD, NEV, NEV2, JELSZO, JOGOK, AKTIV) "
                                  "VALUES (:kod, :nev, :nev2, :jelszo, :jogok, 'I')"),
                   {{"kod", s(u.kod)},
                    {"nev", s(u.nev)},
                    {"nev2", s(u.nev2)},
                    {"jelszo", s(u.jelszo)},
                    {"jogok", s(u.jogok)}}))
            return fail();

    // Customers and their appliances
    const int jobTotal = scale.jobs > 0 ? scale.jobs : ownActive.size() * 15 * 4;
    const int total = scale.customers + jobTotal;
    QList<std::array<int, 3>> appliancesOf; // customer, appliance, type
    const QString insertCustomer = QStringLiteral(
        "INSERT INTO UGYFEL (NEV, IRSZAM, VAROS, UTCA, TELEFON, EMAIL, KOMMENT, TOROLT) "
        "VALUES (:nev, :irszam, :varos, :utca, :telefon, :email, :komment, 'N') RETURNING KOD");
    const QString insertAppliance =
        QStringLiteral("INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM, BEUZEMELES) VALUES "
                       "(:ugyfel, :tipus, :gyariszam, :beuzemeles) RETURNING KOD");
    const QString insertSheet = QStringLiteral(
        "INSERT INTO BEUZLAP (SORSZAM, KESZULEK, UGYFEL, TIPUS, GYARISZAM, VASARLAS, BEUZEMELES, "
        "GAZATVETEL, TELJESITMENY, GAZNYOMAS, VIZNYOMAS, GAZFAJTA, FELSZCEG, UZEMBECEG) VALUES "
        "(:sorszam, :keszulek, :ugyfel, :tipus, :gyariszam, :vasarlas, :beuzemeles, :gazatvetel, "
        ":teljesitmeny, 25, 1.5, 'G20', :ceg, :ceg)");
    int sheets = 0;
    for (int i = 0; i < scale.customers; ++i) {
        const Town& t = f.chance(55) ? f.any(budapest) : f.any(towns);
        const QString surname = s(f.any(surnames));
        const QVariant customer = f.key(
            insertCustomer,
            {{"nev", surname + QLatin1Char(' ') + s(f.any(firstNames))},
             {"irszam", s(t.irszam)},
             {"varos", s(t.varos)},
             {"utca", s(f.any(streets)) + QStringLiteral(" %1.").arg(f.pick(120) + 1)},
             {"telefon", QStringLiteral("06-%1-%2")
                             .arg(f.chance(50) ? 30 : 70)
                             .arg(1000000 + f.pick(8999999))},
             {"email",
              f.chance(40)
                  ? QStringLiteral("%1.%2@freemail.hu").arg(QStringLiteral("ugyfel")).arg(i + 1)
                  : QString()},
             {"komment", f.chance(10) ? QStringLiteral("Kutya van a kertben, előtte telefonálni!")
                                      : QString()}});
        if (customer.isNull())
            return fail();
        const int count = f.chance(15) ? 2 : 1;
        for (int a = 0; a < count; ++a) {
            const int type = types[f.pick(int(types.size()))];
            const QString serial =
                QStringLiteral("%1%2").arg(21 + f.pick(5)).arg(100000 + f.pick(899999));
            const int commissioned = -30 - f.pick(2500);
            const QVariant appliance =
                f.key(insertAppliance, {{"ugyfel", customer},
                                        {"tipus", type},
                                        {"gyariszam", serial},
                                        {"beuzemeles", f.date(commissioned)}});
            if (appliance.isNull())
                return fail();
            if (extra.chance(70) &&
                !extra.run(insertSheet,
                           {{"sorszam", QString::number(++sheets).rightJustified(6, u'0')},
                            {"keszulek", appliance},
                            {"ugyfel", customer},
                            {"tipus", type},
                            {"gyariszam", serial},
                            {"vasarlas", f.date(commissioned - 3 - extra.pick(60))},
                            {"beuzemeles", f.date(commissioned)},
                            {"gazatvetel", f.date(commissioned - 1)},
                            {"teljesitmeny", 18 + 6 * extra.pick(3)},
                            {"ceg", s(companies[0].nev)}}))
                return failWith(extra);
            appliancesOf.append({customer.toInt(), appliance.toInt(), type});
        }
        if (progress && i % 1000 == 0)
            progress(i, total);
    }

    // Jobs: two weeks around the day for the demo, a longer history at benchmark scale.
    const QStringList activities = {
        QStringLiteral("KAR"), QStringLiteral("J"), QStringLiteral("GJ"), QStringLiteral("ÜZ"),
        QStringLiteral("KAR"), QStringLiteral("J"), QStringLiteral("FJ"), QStringLiteral("ÜE")};
    const QString insertJob =
        QStringLiteral("INSERT INTO MUNKA (ALLAPOT, UGYFEL, KESZULEK, TIPUS, FELVETELD, FELVETELT, "
                       "JUZER, MIKORI, LEIRAST, TERVD, TERVT, "
                       "TERVTEV, SZERELOT, DEDU, TELEFON, LEMONDTA, KESZ, MUNKAD, SZERELOM, "
                       "MUNKATEV, MUNKASZAM, LEIRASM, MROGZDAT, KULD) "
                       "VALUES (:allapot, :ugyfel, :keszulek, :tipus, :felveteld, :felvetelt, "
                       "'QVX', :mikori, :leirast, :tervd, :tervt, "
                       ":tervtev, :szerelot, :dedu, :telefon, :lemondta, 'N', :munkad, :szerelom, "
                       ":munkatev, :munkaszam, :leirasm, :mrogzdat, 0) RETURNING KOD");
    const QString insertJobPart =
        QStringLiteral("INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, KESZULEK, TIPUS, MENNYISEG) "
                       "VALUES (:kod, :alkatresz, :keszulek, :tipus, :mennyiseg)");
    const int span =
        scale.jobs > 0 ? std::max(14, jobTotal / std::max(1, int(ownActive.size()) * 5)) : 14;
    QSet<QString> usedSlots;
    for (int j = 0; j < jobTotal; ++j) {
        const auto& [customer, appliance, type] = appliancesOf[f.pick(int(appliancesOf.size()))];
        const int offset = scale.jobs > 0 ? 7 - f.pick(span) : f.pick(15) - 7;
        QString tech = ownActive[f.pick(int(ownActive.size()))];
        QString hour = QStringLiteral("%1").arg(8 + f.pick(10), 2, 10, QLatin1Char('0'));
        const QString tervd = f.date(offset);
        QString state;
        if (offset < 0)
            state = f.chance(80)   ? QStringLiteral("OK")
                    : f.chance(50) ? QStringLiteral("ZA")
                    : f.chance(50) ? QStringLiteral("FO")
                                   : QStringLiteral("TAR");
        else
            state = QStringLiteral("KI");
        if (f.chance(6))
            state = QStringLiteral("TOR");
        // Some jobs go to contractors' technicians, planned for morning, afternoon or evening.
        const bool contractor = state == QStringLiteral("KI") && f.chance(5);
        const auto pickHour = [&] {
            return contractor ? QStringList{QStringLiteral("08"), QStringLiteral("13"),
                                            QStringLiteral("18")}[f.pick(3)]
                              : QStringLiteral("%1").arg(8 + f.pick(10), 2, 10, QLatin1Char('0'));
        };
        if (contractor) {
            tech = external[f.pick(int(external.size()))];
            hour = pickHour();
        }
        // One job per slot on the planning grid: look for a free hour of the day, else the
        // request stays unassigned.
        bool placed = state == QStringLiteral("TOR");
        for (int attempt = 0; !placed && attempt < 10; ++attempt) {
            if (!usedSlots.contains(tech + tervd + hour)) {
                placed = true;
                usedSlots.insert(tech + tervd + hour);
            } else {
                hour = pickHour();
            }
        }
        const bool unassigned = (state == QStringLiteral("KI") && f.chance(8)) || !placed;
        if (unassigned) {
            if (placed)
                usedSlots.remove(tech + tervd + hour);
            state = QStringLiteral("BE");
            tech.clear();
            hour.clear();
        }
        const bool done = state == QStringLiteral("OK") || state == QStringLiteral("ZA");
        const QString activity = activities[f.pick(int(activities.size()))];
        const QString felveteld = f.date(offset - 1 - f.pick(10));
        const QVariant job = f.key(
            insertJob,
            {{"allapot", state},
             {"ugyfel", customer},
             {"keszulek", appliance},
             {"tipus", type},
             {"felveteld", felveteld},
             {"felvetelt", QStringLiteral("%1:%2:00")
                               .arg(8 + f.pick(9), 2, 10, QLatin1Char('0'))
                               .arg(f.pick(60), 2, 10, QLatin1Char('0'))},
             {"mikori", felveteld + QStringLiteral(" 10:15:00")},
             {"leirast", s(f.any(faults))},
             {"tervd", unassigned && f.chance(50) ? QString() : tervd},
             {"tervt", hour},
             {"tervtev", activity},
             {"szerelot", tech},
             {"dedu", hour.isEmpty()      ? QStringLiteral("De")
                      : hour.toInt() < 12 ? QStringLiteral("De")
                      : hour.toInt() < 18 ? QStringLiteral("Du")
                                          : QStringLiteral("Es")},
             {"telefon", f.chance(30) ? QStringLiteral("I") : QStringLiteral("N")},
             {"lemondta", f.chance(3) ? QStringLiteral("I") : QStringLiteral("N")},
             {"munkad", done ? tervd : QString()},
             {"szerelom", done ? tech : QString()},
             {"munkatev",
              done ? (state == QStringLiteral("ZA") ? QStringLiteral("ZA") : activity) : QString()},
             {"munkaszam", done ? QStringLiteral("%1").arg(100000 + j % 899999) : QString()},
             {"leirasm", done ? QStringLiteral("Elvégezve, a készülék üzemel.") : QString()},
             {"mrogzdat", done ? tervd : QString()}});
        if (job.isNull())
            return fail();
        // A third of the jobs need parts (contractors bring their own).
        if (!contractor && extra.chance(33)) {
            const int first = extra.pick(int(partKeys.size()));
            const int rows = extra.chance(30) ? 2 : 1;
            for (int r = 0; r < rows; ++r)
                if (!extra.run(insertJobPart,
                               {{"kod", job},
                                {"alkatresz", partKeys[(first + r) % partKeys.size()]},
                                {"keszulek", appliance},
                                {"tipus", type},
                                {"mennyiseg", 1 + extra.pick(2)}}))
                    return failWith(extra);
        }
        if (progress && j % 5000 == 0)
            progress(scale.customers + j, total);
    }

    // Parts stock of each own technician and of the company store, where the feature exists.
    const bool stock = db::tableExists(connectionName, QStringLiteral("ALK_KESZLET"));
    if (stock) {
        const QStringList holders = QStringList(ownActive) << QStringLiteral("CEG");
        for (const QString& holder : holders)
            for (const QString& part : partCodes)
                if (f.chance(60) &&
                    !f.run(QStringLiteral("INSERT INTO ALK_KESZLET (HOL, MI, MENNYI, FOGLALT) "
                                          "VALUES (:hol, :mi, :mennyi, 0)"),
                           {{"hol", holder},
                            {"mi", part},
                            {"mennyi", 1 + f.pick(holder == QStringLiteral("CEG") ? 40 : 6)}}))
                    return fail();
        // Each technician holds what his given-out jobs need, a part he has none of included.
        if (!f.run(QStringLiteral(
                       "MERGE INTO ALK_KESZLET K USING (SELECT M.SZERELOT HOL, A.KOD MI, "
                       "SUM(MA.MENNYISEG) FOGLALT FROM MUNKA_ALK MA JOIN MUNKA M ON M.KOD = MA.KOD "
                       "JOIN ARU A ON A.BELSOKOD = MA.ALKATRESZ AND A.JELLEG = 'A' "
                       "WHERE M.ALLAPOT = 'KI' GROUP BY M.SZERELOT, A.KOD) R "
                       "ON K.HOL = R.HOL AND K.MI = R.MI "
                       "WHEN MATCHED THEN UPDATE SET FOGLALT = R.FOGLALT "
                       "WHEN NOT MATCHED THEN INSERT (HOL, MI, MENNYI, FOGLALT) "
                       "VALUES (R.HOL, R.MI, 0, R.FOGLALT)"),
                   {}))
            return fail();
    }

    // The list builder's company name and current period month.
    if (db::tableExists(connectionName, QStringLiteral("SYSFILE")) &&
        !f.run(QStringLiteral("INSERT INTO SYSFILE (CEGNEV, AKTHO) VALUES (:cegnev, :aktho)"),
               {{"cegnev", s(companies[0].nev)},
                {"aktho", today.toString(QStringLiteral("yyyy.MM"))}}))
        return fail();

    // Absences: a week's holiday for one technician, a sick day for another.
    if (ownActive.size() >= 2) {
        for (int d = 1; d <= 4; ++d)
            if (!f.run(QStringLiteral("INSERT INTO NAPIREND (SZERELOKOD, DATUM, MUNKAKEPES) VALUES "
                                      "(:k, :d, 'SZ')"),
                       {{"k", ownActive[1]}, {"d", f.date(d)}}))
                return fail();
        if (!f.run(
                QStringLiteral(
                    "INSERT INTO NAPIREND (SZERELOKOD, DATUM, MUNKAKEPES) VALUES (:k, :d, 'BET')"),
                {{"k", ownActive[0]}, {"d", f.date(-2)}}))
            return fail();
    }
    if (!transaction.commit()) {
        if (error)
            *error = transaction.lastError();
        return false;
    }
    if (progress)
        progress(total, total);
    return true;
}

} // namespace mivo::schema
