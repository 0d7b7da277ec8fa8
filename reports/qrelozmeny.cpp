#include "qrelozmeny.h"

#include "napilistadata.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbquery.h"

#include <QHash>

namespace mivo::reports
{

using namespace Qt::StringLiterals;
using report::Band;
using report::Element;
using report::TextStyle;

namespace
{

const QString connection = u"d_mivo"_s;
constexpr double width = 1047; // A4 landscape less the margins

// The appliance's type is its own (KESZULEK.TIPUS), not what the job recorded.
const QString jobsSql = uR"(SELECT ARU.NEV ARUNEV, MUNKA.ALLAPOT, MUNKA.FELVETELD, MUNKA.TERVD,
MUNKA.TERVTEV, MUNKA.DEDU, MUNKA.SZERELOT, MUNKA.MUNKAD, MUNKA.SZERELOM, MUNKA.MUNKATEV,
MUNKA.MUNKASZAM, MUNKA.SZAMLASZAM, MUNKA.LEIRAST, MUNKA.LEIRASM, MUNKA.KOD, MUNKA.KESZULEK,
KESZULEK.GYARISZAM
FROM MUNKA, ARU, KESZULEK
WHERE MUNKA.UGYFEL = :ugyfel)"_s;
const QString jobsJoinSql = uR"(AND KESZULEK.KOD = MUNKA.KESZULEK AND ARU.BELSOKOD = KESZULEK.TIPUS
ORDER BY MUNKA.KESZULEK, MUNKA.FELVETELD, MUNKA.KOD)"_s;

// Parts and commissioning sheets of all the customer's jobs, each in one statement. Both
// start from his jobs (a derived table that the optimiser keeps first), so that they read
// the parts and sheets of those jobs by their indexes instead of every part and sheet.
const QString partsSql = uR"(SELECT MUNKA_ALK.KOD, MUNKA_ALK.MENNYISEG, ARU.KOD ARUKOD, ARU.NEV
FROM (SELECT DISTINCT KOD FROM MUNKA WHERE UGYFEL = :ugyfel) J
JOIN MUNKA_ALK ON MUNKA_ALK.KOD = J.KOD
JOIN ARU ON ARU.BELSOKOD = MUNKA_ALK.ALKATRESZ)"_s;
const QString sheetsSql = uR"(SELECT B.KESZULEK, B.GYARISZAM, B.BEUZEMELES, B.KERKARB
FROM (SELECT DISTINCT KESZULEK FROM MUNKA WHERE UGYFEL = :ugyfel) J
JOIN BEUZLAP B ON B.KESZULEK = J.KESZULEK
ORDER BY B.KESZULEK, B.SORSZAM)"_s;

struct Sheet {
    QString beuzemeles;
    bool kerkarb = false;
};

struct State {
    db::Query rows{connection};
    QHash<QString, QString> activities;
    QHash<QString, QString> technicians;
    QHash<int, std::vector<DailyPart>> parts;
    QHash<int, Sheet> sheets; ///< by appliance: its latest commissioning sheet
    int at = -1;
    int part = -1;

    QString text(const QString& field) const { return rows.text(field); }
    QString name(const QHash<QString, QString>& names, const QString& field) const
    {
        const QString code = text(field);
        return names.value(code, code);
    }
    const std::vector<DailyPart>& jobParts() const
    {
        static const std::vector<DailyPart> none;
        const auto found = parts.constFind(rows.value(u"KOD"_s).toInt());
        return found == parts.constEnd() ? none : *found;
    }
};

TextStyle style(double size, bool bold = false, bool wrap = false)
{
    return report::topText(size, bold, wrap);
}

bool fail(const db::Query& q, QString* error)
{
    if (error)
        *error = q.lastError();
    return false;
}

bool readDetails(State& st, int ugyfel, QString* error)
{
    db::Query parts(connection);
    parts.setSql(partsSql);
    parts.bind(u"ugyfel"_s, ugyfel);
    if (!parts.exec())
        return fail(parts, error);
    while (parts.next())
        st.parts[parts.integer(u"KOD"_s)].push_back({parts.value(u"MENNYISEG"_s).toDouble(),
                                                     parts.text(u"ARUKOD"_s),
                                                     parts.text(u"NEV"_s)});
    db::Query sheets(connection);
    sheets.setSql(sheetsSql);
    sheets.bind(u"ugyfel"_s, ugyfel);
    if (!sheets.exec())
        return fail(sheets, error);
    while (sheets.next())
        st.sheets[sheets.integer(u"KESZULEK"_s)] = {sheets.text(u"BEUZEMELES"_s),
                                                    sheets.text(u"KERKARB"_s) == u"I"_s};
    return true;
}

// The customer's lines of the page header; false when the customer cannot be read.
bool customerLines(int ugyfel, QStringList* lines, QString* error)
{
    db::Query q(connection);
    q.setSql(u"Select NEV, IRSZAM, VAROS, UTCA, TELEFON From UGYFEL Where KOD = :kod"_s);
    q.bind(u"kod"_s, ugyfel);
    if (!q.exec())
        return fail(q, error);
    q.first();
    *lines = {q.text(u"NEV"_s),
              q.text(u"IRSZAM"_s) + u" "_s + q.text(u"VAROS"_s) + u", "_s + q.text(u"UTCA"_s),
              q.text(u"TELEFON"_s)};
    return true;
}

Band pageHeader(const QStringList& customer)
{
    Band b;
    b.height = 84;
    b.elements.push_back(Element::label({0, 0, 600, 24}, u"Előzmény lista"_s, style(14, true)));
    TextStyle right = style(9);
    right.alignment = Qt::AlignRight | Qt::AlignTop;
    b.elements.push_back(
        Element::system({700, 0, width - 700, 16}, report::SystemField::DateTime, {}, right));
    b.elements.push_back(Element::label({700, 16, width - 700, 16},
                                        u"Nyomtatta: "_s + Td::instance().userName, right));
    b.elements.push_back(Element::label({0, 30, 700, 17}, customer.value(0), style(11, true)));
    b.elements.push_back(Element::label({0, 48, 700, 15}, customer.value(1), style(9)));
    b.elements.push_back(Element::label({0, 64, 700, 15}, customer.value(2), style(9)));
    b.elements.push_back(Element::frame({0, 82, width, 0}));
    return b;
}

// Columns of the job rows: left edge and width.
struct Column {
    double x;
    double w;
};
constexpr Column cState{0, 34};
constexpr Column cTaken{36, 70};
constexpr Column cPlanner{108, 120};
constexpr Column cPlanned{230, 200};
constexpr Column cDone{432, 70};
constexpr Column cDoer{504, 120};
constexpr Column cActivity{626, 130};
constexpr Column cText{758, width - 758};

QRectF at(Column c, double y, double h = 15)
{
    return {c.x, y, c.w, h};
}

Band applianceHeader(const std::shared_ptr<State>& state)
{
    Band b;
    b.height = 50;
    const TextStyle bold = style(9, true);
    b.elements.push_back(Element::label({0, 8, 70, 15}, u"Készülék:"_s, bold));
    b.elements.push_back(Element::label({72, 8, 300, 15}, {}, bold));
    b.elements.push_back(Element::label({380, 8, 64, 15}, u"Gyári sz:"_s));
    b.elements.push_back(Element::label({446, 8, 170, 15}, {}, style(9)));
    b.elements.push_back(Element::label({620, 8, 96, 15}, u"Beüzemelve:"_s));
    b.elements.push_back(Element::label({718, 8, 80, 15}, {}, style(9)));
    b.elements.push_back(Element::label({802, 8, width - 802, 15}, {}, style(9)));
    const std::pair<Column, QString> captions[] = {
        {cState, u"Áll."_s},
        {cTaken, u"Bejelentve"_s},
        {cPlanner, u"Szerelő"_s},
        {cPlanned, u"Tervezett dátum, tevékenység"_s},
        {cDone, u"Elvégezve"_s},
        {cDoer, u"Szerelő"_s},
        {cActivity, u"Tevékenység"_s},
        {cText, u"Munkaszám, munka leírása, és felhasznált alkatrészek"_s},
    };
    for (const auto& [column, caption] : captions)
        b.elements.push_back(Element::label(at(column, 30), caption, style(8, true, true)));
    b.elements.push_back(Element::frame({0, 28, width, 0}));
    b.elements.push_back(Element::frame({0, 47, width, 0}));
    b.beforePrint = [state](Band& band) {
        const Sheet sheet = state->sheets.value(state->rows.integer(u"KESZULEK"_s));
        band.elements[1].text = state->text(u"ARUNEV"_s);
        band.elements[3].text = state->text(u"GYARISZAM"_s);
        band.elements[5].text = sheet.beuzemeles;
        band.elements[6].text = sheet.kerkarb ? u"Éves karbantartást megrendelte."_s
                                              : u"Éves karbantartást nem kért."_s;
    };
    return b;
}

Band jobBand(const std::shared_ptr<State>& state)
{
    Band b;
    b.height = 36;
    const TextStyle plain = style(9);
    const TextStyle wrap = style(9, false, true);
    b.elements.push_back(Element::label(at(cState, 2), {}, plain));
    b.elements.push_back(Element::label(at(cTaken, 2), {}, plain));
    b.elements.push_back(Element::label(at(cPlanner, 2), {}, wrap));
    b.elements.push_back(Element::label(at(cPlanned, 2), {}, wrap));
    b.elements.push_back(Element::label(at(cDone, 2), {}, plain));
    b.elements.push_back(Element::label(at(cDoer, 2), {}, wrap));
    b.elements.push_back(Element::label(at(cActivity, 2), {}, wrap));
    b.elements.push_back(Element::label({cTaken.x, 19, cPlanned.x - cTaken.x - 2, 15}, {}, plain));
    b.elements.push_back(Element::label({cPlanned.x, 19, width - cPlanned.x, 15}, {}, wrap));
    b.beforePrint = [state](Band& band) {
        const State& st = *state;
        QString planned = st.text(u"TERVD"_s);
        for (const QString& part : {st.text(u"DEDU"_s), st.name(st.activities, u"TERVTEV"_s)}) {
            if (!part.isEmpty())
                planned += (planned.isEmpty() ? QString() : u" "_s) + part;
        }
        const QString texts[] = {
            st.text(u"ALLAPOT"_s),
            st.text(u"FELVETELD"_s),
            st.name(st.technicians, u"SZERELOT"_s),
            planned,
            st.text(u"MUNKAD"_s),
            st.name(st.technicians, u"SZERELOM"_s),
            st.name(st.activities, u"MUNKATEV"_s),
            u"SZLA: "_s + st.text(u"SZAMLASZAM"_s),
            st.text(u"LEIRAST"_s),
        };
        for (size_t i = 0; i < std::size(texts); ++i)
            band.elements[i].text = texts[i];
    };
    // The job number and repair text, only when there is one of them.
    Band work;
    work.elements.push_back(
        Element::label({cTaken.x, 0, cPlanned.x - cTaken.x - 2, 15}, {}, plain));
    work.elements.push_back(Element::label({cPlanned.x, 0, width - cPlanned.x, 15}, {}, wrap));
    work.beforePrint = [state](Band& band) {
        const QString number = state->text(u"MUNKASZAM"_s);
        const QString repair = state->text(u"LEIRASM"_s);
        band.height = number.isEmpty() && repair.isEmpty() ? 0 : 17;
        band.elements[0].text = u"MSZ: "_s + number;
        band.elements[1].text = repair;
    };
    b.children.push_back(work);
    return b;
}

Band partBand(const std::shared_ptr<State>& state)
{
    Band b;
    b.height = 16;
    TextStyle right = style(9);
    right.alignment = Qt::AlignRight | Qt::AlignTop;
    b.elements.push_back(Element::label({cText.x, 0, 60, 15}, {}, right));
    b.elements.push_back(Element::label({cText.x + 66, 0, 90, 15}, {}, style(9, false, true)));
    b.elements.push_back(
        Element::label({cText.x + 160, 0, cText.w - 160, 15}, {}, style(9, false, true)));
    b.beforePrint = [state](Band& band) {
        const DailyPart& p = state->jobParts()[size_t(state->part)];
        band.elements[0].text = alt::formatDecimal(p.quantity) + u" db"_s;
        band.elements[1].text = p.code;
        band.elements[2].text = p.name;
    };
    return b;
}

} // namespace

QStringList elozmenyStatements()
{
    return {jobsSql + u"\n"_s + jobsJoinSql, partsSql, sheetsSql};
}

std::unique_ptr<report::Report> buildElozmeny(int ugyfel, int keszulek, QString* error)
{
    auto state = std::make_shared<State>();
    QStringList customer;
    if (!readCodeNames(u"SELECT * FROM TEVEKENYS ORDER BY KOD"_s, &state->activities, error) ||
        !readCodeNames(u"Select KOD, NEV From SZERELO Order By KOD"_s, &state->technicians,
                       error) ||
        !customerLines(ugyfel, &customer, error) || !readDetails(*state, ugyfel, error))
        return nullptr;
    db::Query& q = state->rows;
    q.setSql(jobsSql + (keszulek != 0 ? u"\nAND MUNKA.KESZULEK = :keszulek\n"_s : u"\n"_s) +
             jobsJoinSql);
    q.bind(u"ugyfel"_s, ugyfel);
    if (keszulek != 0)
        q.bind(u"keszulek"_s, keszulek);
    if (!q.exec()) {
        fail(q, error);
        return nullptr;
    }

    auto r = std::make_unique<report::Report>();
    r->page.orientation = QPageLayout::Landscape;
    r->printedAt = clock::now();
    r->pageHeader = pageHeader(customer);
    report::Group appliance;
    appliance.key = [state] { return state->text(u"KESZULEK"_s); };
    appliance.header = applianceHeader(state);
    r->groups.push_back(appliance);
    r->detail = jobBand(state);
    report::SubDetail parts;
    parts.start = [state] { state->part = -1; };
    parts.next = [state] { return ++state->part < int(state->jobParts().size()); };
    parts.band = partBand(state);
    r->subDetails.push_back(parts);
    r->next = [state] { return state->rows.seek(++state->at); };
    r->rewind = [state] { state->at = -1; };
    return r;
}

} // namespace mivo::reports
