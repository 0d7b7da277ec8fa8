#include "qrmunkalap.h"

#include "napilistadata.h"

#include "core/altproc.h"
#include "core/clock.h"
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
constexpr double width = 718;
constexpr double row = 16;

// Explicit columns: MUNKA, UGYFEL and BEUZLAP share names (TELEFON is the job's phone-ahead
// flag beside the customer's telephone; UGYFEL, KESZULEK, TIPUS, MIKORI, KOMMENT). One
// commissioning sheet per appliance, the latest, so that no job prints twice.
const QString sheetSql = uR"(SELECT ARU.NEV ARUNEV, MUNKA.KOD, MUNKA.KESZULEK, MUNKA.MUNKASZAM,
MUNKA.FELVETELD, MUNKA.JUZER, MUNKA.SZERELOM, MUNKA.TERVTEV, MUNKA.MUNKATEV, MUNKA.LEIRAST,
MUNKA.LEIRASM, MUNKA.MUNKAD, UGYFEL.NEV UGYFELNEV, UGYFEL.IRSZAM, UGYFEL.VAROS, UGYFEL.UTCA,
UGYFEL.TELEFON UGYFELTELEFON, BEUZLAP.GYARISZAM, BEUZLAP.FUTESIREND, BEUZLAP.GAZFAJTA,
BEUZLAP.GAZNYOMAS, BEUZLAP.EGONYOMASMIN, BEUZLAP.EGONYOMASMAX, BEUZLAP.EGONYOMASHMV,
BEUZLAP.TELJMIN, BEUZLAP.TELJMAX, BEUZLAP.TELJHMV, BEUZLAP.FELSZ, BEUZLAP.EGESTERMEK,
BEUZLAP.THKABEL, BEUZLAP.ELEKTR, BEUZLAP.ATMOSAS, BEUZLAP.HMV, BEUZLAP.TOMORSEG,
BEUZLAP.GAZMEO, BEUZLAP.SZERELHETO, BEUZLAP.SZAKVELEMENY, BEUZLAP.LEGELLATAS, BEUZLAP.EPH,
BEUZLAP.OXIDIFF, BEUZLAP.VIZNYOMAS
FROM MUNKA
JOIN ARU ON ARU.BELSOKOD = MUNKA.TIPUS
JOIN UGYFEL ON UGYFEL.KOD = MUNKA.UGYFEL
JOIN BEUZLAP ON BEUZLAP.KESZULEK = MUNKA.KESZULEK
WHERE MUNKA.UGYFEL = :ugyfel
AND COALESCE(MUNKA.ALLAPOT, '') <> 'TOR'
AND BEUZLAP.SORSZAM = (SELECT MAX(B.SORSZAM) FROM BEUZLAP B WHERE B.KESZULEK = MUNKA.KESZULEK))"_s;

struct State {
    db::Query rows{connection};
    QHash<QString, QString> activities;
    QHash<QString, QString> technicians;
    QHash<int, std::vector<DailyPart>> parts;
    int at = -1;   ///< the current row
    int part = -1; ///< the sub-detail's current part of the current job

    QString text(const QString& field) const { return rows.text(field); }
    QString number(const QString& field) const
    {
        const QVariant v = rows.value(field);
        return v.isNull() ? QString() : alt::formatDecimal(v.toDouble());
    }
    QString activity(const QString& field) const
    {
        const QString code = text(field);
        return activities.value(code, code);
    }
    QString technician(const QString& field) const
    {
        const QString code = text(field);
        return technicians.value(code, code);
    }
    QString yesNo(const QString& field) const
    {
        return text(field) == u"I"_s ? u"IGEN"_s : u"NEM"_s;
    }
    QString present(const QString& field) const
    {
        return text(field) == u"I"_s ? u"VAN"_s : u"NINCS"_s;
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

// A band whose values are filled from the current row: each value element knows how.
class SheetBand
{
public:
    using Value = std::function<QString(const State&)>;

    void label(const QRectF& rect, const QString& text, const TextStyle& s = style(9))
    {
        m_band.elements.push_back(Element::label(rect, text, s));
    }
    void value(const QRectF& rect, Value value, const TextStyle& s = style(9, false, true))
    {
        m_values.push_back({m_band.elements.size(), std::move(value)});
        m_band.elements.push_back(Element::label(rect, {}, s));
    }
    void field(const QRectF& rect, const QString& field)
    {
        value(rect, [field](const State& st) { return st.text(field); });
    }
    void rule(double y) { m_band.elements.push_back(Element::frame({0, y, width, 0})); }

    Band take(const std::shared_ptr<State>& state, double height)
    {
        m_band.height = height;
        m_band.beforePrint = [state, values = m_values](Band& band) {
            for (const auto& [index, value] : values)
                band.elements[index].text = value(*state);
        };
        return m_band;
    }

private:
    Band m_band;
    std::vector<std::pair<size_t, Value>> m_values;
};

// Label and value in one of the two columns of the settings.
void setting(SheetBand& b, int column, int line, const QString& caption, SheetBand::Value value)
{
    const double x = column == 0 ? 0 : 370;
    const double y = 250 + row * line;
    b.label({x, y, 190, 15}, caption);
    if (value)
        b.value({x + 190, y, 158, 15}, std::move(value));
}

// "MIN" a "MAX" b "HMV" c after the caption.
void triple(SheetBand& b, int line, const QString& caption, const QStringList& fields)
{
    const double y = 250 + row * line;
    b.label({0, y, 150, 15}, caption);
    const QStringList marks{u"MIN"_s, u"MAX"_s, u"HMV"_s};
    for (int i = 0; i < 3; ++i) {
        const double x = 150 + 72 * i;
        b.label({x, y, 28, 15}, marks[i], style(8));
        b.value({x + 28, y, 42, 15},
                [field = fields[i]](const State& st) { return st.number(field); });
    }
}

Band sheetBand(const std::shared_ptr<State>& state)
{
    SheetBand b;
    const TextStyle heading = style(9, true);
    TextStyle title = style(16, true);
    title.alignment = Qt::AlignHCenter | Qt::AlignTop;
    b.label({0, 0, width, 28}, u"MUNKAUTALVÁNY"_s, title);
    b.label({480, 30, 80, 15}, u"Munkaszám:"_s);
    b.field({560, 30, 158, 15}, u"MUNKASZAM"_s);
    b.label({0, 34, 70, 15}, u"Név:"_s);
    b.field({70, 34, 400, 15}, u"UGYFELNEV"_s);
    b.label({0, 50, 70, 15}, u"Cím:"_s);
    b.field({70, 50, 40, 15}, u"IRSZAM"_s);
    b.value({112, 50, 360, 15},
            [](const State& st) { return st.text(u"VAROS"_s) + u", "_s + st.text(u"UTCA"_s); });
    b.label({0, 66, 70, 15}, u"Telefon:"_s);
    b.field({70, 66, 400, 15}, u"UGYFELTELEFON"_s);
    b.rule(88);

    b.label({0, 94, 90, 15}, u"Dátum:"_s);
    b.field({90, 94, 120, 15}, u"FELVETELD"_s);
    b.label({240, 94, 90, 15}, u"Hibafelvevő"_s);
    b.field({330, 94, 140, 15}, u"JUZER"_s);
    b.label({480, 94, 60, 15}, u"Szerelő"_s);
    b.value({540, 94, 178, 15}, [](const State& st) { return st.technician(u"SZERELOM"_s); });
    b.label({0, 112, 120, 15}, u"Bejelentett hiba:"_s);
    b.value({120, 112, 598, 15}, [](const State& st) { return st.activity(u"TERVTEV"_s); });
    b.label({0, 130, 120, 15}, u"Készülék típusa:"_s);
    b.field({120, 130, 340, 15}, u"ARUNEV"_s);
    b.label({470, 130, 80, 15}, u"Gyári szám:"_s);
    b.field({550, 130, 168, 15}, u"GYARISZAM"_s);
    b.label({0, 148, 120, 15}, u"Fűtési rendszer:"_s);
    b.field({120, 148, 240, 15}, u"FUTESIREND"_s);
    b.rule(168);

    b.label({0, 174, 300, 16}, u"Munka meghatározás"_s, heading);
    b.value({0, 192, width, 15}, [](const State& st) { return st.activity(u"MUNKATEV"_s); });
    b.field({0, 208, width, 15}, u"LEIRAST"_s);
    b.rule(228);

    b.label({0, 232, 300, 16}, u"Beállítási adatok:"_s, heading);
    const auto text = [](const QString& f) { return [f](const State& st) { return st.text(f); }; };
    const auto number = [](const QString& f) {
        return [f](const State& st) { return st.number(f); };
    };
    const auto yesNo = [](const QString& f) {
        return [f](const State& st) { return st.yesNo(f); };
    };
    const auto present = [](const QString& f) {
        return [f](const State& st) { return st.present(f); };
    };
    setting(b, 0, 0, u"Gázfajta"_s, text(u"GAZFAJTA"_s));
    setting(b, 0, 1, u"Gáznyomás mbar"_s, number(u"GAZNYOMAS"_s));
    triple(b, 2, u"Égőnyomás mbar"_s, {u"EGONYOMASMIN"_s, u"EGONYOMASMAX"_s, u"EGONYOMASHMV"_s});
    triple(b, 3, u"Beállított teljesítmény"_s, {u"TELJMIN"_s, u"TELJMAX"_s, u"TELJHMV"_s});
    setting(b, 0, 4, u"Készülék felszerelés"_s, text(u"FELSZ"_s));
    setting(b, 0, 5, u"Égéstermékelvezetés"_s, text(u"EGESTERMEK"_s));
    setting(b, 0, 6, u"TH kábel folyamatos"_s, yesNo(u"THKABEL"_s));
    setting(b, 0, 7, u"Elektromos hálózat"_s, text(u"ELEKTR"_s));
    setting(b, 0, 8, u"Fűtési rendszer átmosás"_s, present(u"ATMOSAS"_s));
    setting(b, 1, 0, u"MHV tartály"_s, present(u"HMV"_s));
    setting(b, 1, 1, u"Egyéb észrevétel"_s, nullptr);
    setting(b, 1, 2, u"Tömörség"_s, text(u"TOMORSEG"_s));
    setting(b, 1, 3, u"GÁZ MEO"_s, present(u"GAZMEO"_s));
    setting(b, 1, 4, u"Szerelhetőség:"_s, text(u"SZERELHETO"_s));
    setting(b, 1, 5, u"Szakvélemény:"_s, present(u"SZAKVELEMENY"_s));
    setting(b, 1, 6, u"Légellátás:"_s, text(u"LEGELLATAS"_s));
    setting(b, 1, 7, u"EPH"_s, present(u"EPH"_s));
    setting(b, 1, 8, u"Oxigén diffúzió"_s, present(u"OXIDIFF"_s));
    setting(b, 1, 9, u"Bemenő víznyomás bar"_s, number(u"VIZNYOMAS"_s));
    b.rule(414);

    b.label({0, 420, 300, 16}, u"Javítás rövid leírása"_s, heading);
    b.field({0, 438, width, 15}, u"LEIRASM"_s);
    b.label({0, 460, 60, 15}, u"Szerelő"_s);
    b.value({60, 460, 320, 15}, [](const State& st) { return st.technician(u"SZERELOM"_s); });
    b.label({400, 460, 60, 15}, u"Dátum:"_s);
    b.field({460, 460, 120, 15}, u"MUNKAD"_s);
    b.rule(482);

    b.label({0, 488, 300, 16}, u"Felhasznált alkatrészek"_s, heading);
    b.label({140, 506, 300, 15}, u"Megnevezés"_s, style(9, true));
    TextStyle right = style(9, true);
    right.alignment = Qt::AlignRight | Qt::AlignTop;
    b.label({620, 506, 98, 15}, u"Darab"_s, right);
    b.rule(523);
    return b.take(state, 528);
}

Band partBand(const std::shared_ptr<State>& state)
{
    Band b;
    b.height = 16;
    TextStyle right = style(9);
    right.alignment = Qt::AlignRight | Qt::AlignTop;
    b.elements.push_back(Element::label({0, 0, 136, 15}, {}, style(9, false, true)));
    b.elements.push_back(Element::label({140, 0, 470, 15}, {}, style(9, false, true)));
    b.elements.push_back(Element::label({620, 0, 98, 15}, {}, right));
    b.beforePrint = [state](Band& band) {
        const DailyPart& p = state->jobParts()[size_t(state->part)];
        band.elements[0].text = p.code;
        band.elements[1].text = p.name;
        band.elements[2].text = alt::formatDecimal(p.quantity);
    };
    return b;
}

} // namespace

std::unique_ptr<report::Report> buildMunkalap(int ugyfel, int keszulek, QString* error)
{
    auto state = std::make_shared<State>();
    if (!readCodeNames(u"SELECT * FROM TEVEKENYS ORDER BY KOD"_s, &state->activities, error) ||
        !readCodeNames(u"Select KOD, NEV From SZERELO Order By KOD"_s, &state->technicians, error))
        return nullptr;
    db::Query& q = state->rows;
    q.setSql(sheetSql + (keszulek != 0 ? u"\nAND MUNKA.KESZULEK = :keszulek"_s : QString()) +
             u"\nORDER BY MUNKA.KESZULEK, MUNKA.FELVETELD, MUNKA.KOD"_s);
    q.bind(u"ugyfel"_s, ugyfel);
    if (keszulek != 0)
        q.bind(u"keszulek"_s, keszulek);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return nullptr;
    }
    for (bool more = q.first(); more; more = q.next()) {
        const int kod = q.value(u"KOD"_s).toInt();
        db::Query parts(connection);
        parts.setSql(uR"(Select MUNKA_ALK.MENNYISEG,ARU.KOD,ARU.NEV From MUNKA_ALK,ARU
Where MUNKA_ALK.KOD = :kod And ARU.BELSOKOD = MUNKA_ALK.ALKATRESZ)"_s);
        parts.bind(u"kod"_s, kod);
        if (!parts.exec()) {
            if (error)
                *error = parts.lastError();
            return nullptr;
        }
        std::vector<DailyPart>& list = state->parts[kod];
        while (parts.next())
            list.push_back({parts.value(0).toDouble(), parts.value(1).toString().trimmed(),
                            parts.value(2).toString().trimmed()});
    }

    auto r = std::make_unique<report::Report>();
    r->printedAt = clock::now();
    // Each appliance, and within it each job, on a page of its own.
    report::Group appliance;
    appliance.key = [state] { return state->text(u"KESZULEK"_s); };
    appliance.newPage = true;
    r->groups.push_back(appliance);
    report::Group job;
    job.key = [state] { return state->text(u"KOD"_s); };
    job.newPage = true;
    r->groups.push_back(job);
    r->detail = sheetBand(state);
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
