#include "qrnapilista.h"

#include "napilistadata.h"

#include "core/clock.h"
#include "core/dat.h"

namespace mivo::reports
{

using namespace Qt::StringLiterals;
using report::Band;
using report::Element;
using report::TextStyle;

namespace
{

constexpr double width = 718; // A4 portrait less the margins

NapilistaLayout layout1()
{
    NapilistaLayout l;
    l.name = u"Tqr_napilista"_s;
    l.captions = {{u"Idő"_s, 0}, {u"Ügyfél"_s, 40}, {u"Cím"_s, 240}, {u"Készülék"_s, 440}};
    l.bandHeight = 82;
    l.counter = {0, 0, 36, 15};
    l.dedu = {0, 15, 36, 15};
    l.customerName = {40, 0, 196, 15};
    l.customerPhone = {40, 15, 196, 15};
    l.address1 = {240, 0, 196, 15};
    l.address2 = {240, 15, 196, 15};
    l.appliance = {440, 0, 184, 15};
    l.activity = {440, 15, 184, 15};
    l.cancelled = {628, 0, 90, 15};
    l.phoneAhead = {628, 15, 90, 15};
    l.cancelledText = u"LEMONDTA"_s;
    l.task = {40, 32, 584, 15};
    l.remark = {40, 48, 584, 15};
    l.checkBoxes = true;
    l.checkBoxArea = {628, 32, 90, 48};
    return l;
}

NapilistaLayout layout2()
{
    NapilistaLayout l;
    l.name = u"Tqr_napilista2"_s;
    // The last two columns are left for the technician to fill in.
    l.captions = {{u"Idő"_s, 0},
                  {u"Ügyfél neve, címe, telefonszáma"_s, 40},
                  {u"Készülék"_s, 344},
                  {u"Anyagfelhasználás"_s, 508},
                  {u"Munkadíj"_s, 648}};
    l.bandHeight = 64;
    l.counter = {0, 0, 36, 15};
    l.dedu = {0, 15, 36, 15};
    l.customerName = {40, 0, 190, 15};
    l.customerPhone = {234, 0, 106, 15};
    l.address1 = {40, 15, 300, 15};
    l.appliance = {344, 0, 160, 15};
    l.activity = {344, 15, 160, 15};
    l.phoneAhead = {40, 30, 150, 15};
    l.cancelled = {194, 30, 90, 15};
    l.ready = {288, 30, 52, 15};
    l.cancelledText = u"LEMONDTA."_s;
    l.readyMark = true;
    l.task = {40, 46, 464, 15};
    return l;
}

NapilistaLayout layout3()
{
    NapilistaLayout l = layout1();
    l.name = u"Tqr_napilista3"_s;
    l.bandHeight = 52;
    l.remark = {};
    l.checkBoxes = false;
    l.checkBoxArea = {};
    l.ready = {628, 32, 90, 15};
    l.readyMark = true;
    return l;
}

TextStyle style(double size, bool bold = false, bool wrap = true)
{
    return report::topText(size, bold, wrap);
}

// The rows the report walks through, shared by its bands.
struct State {
    std::vector<DailyJob> jobs;
    int row = -1;
    int counter = 0;
    QString emptyHeading;

    bool hasRow() const { return row >= 0 && row < int(jobs.size()); }
    const DailyJob& job() const { return jobs[size_t(row)]; }
};

// A text element placed only when the layout gives it a place; its index, or -1.
int addText(Band& band, const QRectF& rect, const TextStyle& s)
{
    if (rect.isEmpty())
        return -1;
    band.elements.push_back(Element::label(rect, {}, s));
    return int(band.elements.size()) - 1;
}

void setText(Band& band, int index, const QString& text)
{
    if (index >= 0)
        band.elements[size_t(index)].text = text;
}

bool flag(const QString& value)
{
    return value == u"I"_s;
}

Band pageHeader(const std::shared_ptr<State>& state, const QString& title)
{
    Band b;
    b.height = 52;
    b.elements.push_back(Element::label({0, 0, 440, 22}, title, style(12, true, false)));
    TextStyle right = style(8, false, false);
    right.alignment = Qt::AlignRight | Qt::AlignTop;
    b.elements.push_back(
        Element::system({440, 0, width - 440, 18}, report::SystemField::DateTime, {}, right));
    b.elements.push_back(Element::label({0, 24, width, 20}, {}, style(11, true)));
    b.elements.push_back(Element::frame({0, 48, width, 0}));
    b.beforePrint = [state](Band& band) {
        if (!state->hasRow()) {
            band.elements[2].text = state->emptyHeading;
            return;
        }
        const DailyJob& j = state->job();
        band.elements[2].text = j.szerelonev + u' ' + dateWithWeekday(j.tervd);
    };
    return b;
}

Band detailBand(const std::shared_ptr<State>& state, const NapilistaLayout& l)
{
    Band b;
    b.height = l.bandHeight;
    const TextStyle normal = style(9);
    const TextStyle bold = style(9, true);
    const int counter = addText(b, l.counter, bold);
    const int dedu = addText(b, l.dedu, normal);
    const int name = addText(b, l.customerName, bold);
    const int phone = addText(b, l.customerPhone, normal);
    const int address1 = addText(b, l.address1, normal);
    const int address2 = addText(b, l.address2, normal);
    const int appliance = addText(b, l.appliance, normal);
    const int activity = addText(b, l.activity, normal);
    const int cancelled = addText(b, l.cancelled, bold);
    const int phoneAhead = addText(b, l.phoneAhead, normal);
    const int ready = l.readyMark ? addText(b, l.ready, bold) : -1;
    const int task = addText(b, l.task, normal);
    const int remark = addText(b, l.remark, style(8));
    if (l.checkBoxes) {
        // The boxes print empty: the office ticks them by hand.
        const QRectF& area = l.checkBoxArea;
        const QStringList labels{u"Kiadva"_s, u"Ellenőrizve"_s, u"Megoldva"_s};
        for (int i = 0; i < 3; ++i) {
            const double y = area.top() + 16 * i;
            b.elements.push_back(
                Element::label({area.left(), y, area.width() - 16, 15}, labels[i], style(8)));
            b.elements.push_back(Element::frame({area.right() - 13, y + 1, 12, 12}));
        }
    }
    const bool joinedAddress = l.address2.isEmpty();
    const QString cancelledText = l.cancelledText;
    b.beforePrint = [=](Band& band) {
        const DailyJob& j = state->job();
        ++state->counter;
        setText(band, counter, QString::number(state->counter) + u'.');
        setText(band, dedu, j.dedu);
        setText(band, name, j.ugyfelnev);
        setText(band, phone, j.ugyfeltelefon);
        QString place = j.irszam + u' ' + j.varos;
        if (joinedAddress)
            place += u", "_s + j.utca;
        setText(band, address1, place);
        setText(band, address2, j.utca);
        setText(band, appliance, j.keszuleknev);
        setText(band, activity, j.tevnev);
        setText(band, cancelled, flag(j.lemondta) ? cancelledText : QString());
        setText(band, phoneAhead, flag(j.telefon) ? u"Előtte telefont kér!"_s : QString());
        setText(band, ready, flag(j.kesz) ? u"KÉSZ"_s : QString());
        const QString parts = partsLine(j.parts, u"Alkatrészek:"_s);
        setText(band, task, parts.isEmpty() ? j.leirast : j.leirast + u'\n' + parts);
        const QString separator =
            !j.komment.isEmpty() && !j.komment2.isEmpty() ? u" "_s : QString();
        setText(band, remark, j.komment + separator + j.komment2);
    };
    return b;
}

Band pageFooter()
{
    Band b;
    b.height = 36;
    const TextStyle s = style(8, false, false);
    b.elements.push_back(
        Element::label({0, 4, 236, 15}, u"Készítette: ..............................."_s, s));
    b.elements.push_back(
        Element::label({240, 4, 236, 15}, u"Kiadta: ...................................."_s, s));
    b.elements.push_back(
        Element::label({480, 4, 238, 15}, u"Ellenőrizte: .............................."_s, s));
    // QRL_wuser
    b.elements.push_back(
        Element::label({0, 20, 400, 15}, u"Nyomtatta: "_s + Td::instance().userName, s));
    return b;
}

} // namespace

const NapilistaLayout& napilistaLayout(const QString& ownCompany)
{
    static const NapilistaLayout first = layout1();
    static const NapilistaLayout second = layout2();
    static const NapilistaLayout third = layout3();
    if (ownCompany == u"RUDVEK"_s)
        return second;
    if (ownCompany == u"VELKOR"_s)
        return third;
    return first;
}

std::unique_ptr<report::Report> buildNapilista(const NapilistaLayout& layout,
                                               const QString& technician, const QString& from,
                                               const QString& to, const QString& title,
                                               QString* error)
{
    auto state = std::make_shared<State>();
    if (!readDailyJobs(technician, from, to, &state->jobs, error))
        return nullptr;
    if (state->jobs.empty() &&
        !emptyPeriodHeading(technician, from, to, &state->emptyHeading, error))
        return nullptr;

    auto r = std::make_unique<report::Report>();
    r->printedAt = clock::now();
    r->pageHeader = pageHeader(state, title.isEmpty() ? u"Szerelő napi lista"_s : title);

    Band captions;
    captions.height = 22;
    for (size_t i = 0; i < layout.captions.size(); ++i) {
        const NapilistaLayout::Caption& c = layout.captions[i];
        const double end = i + 1 < layout.captions.size() ? layout.captions[i + 1].x - 4 : width;
        captions.elements.push_back(
            Element::label({c.x, 0, end - c.x, 16}, c.text, style(9, true, false)));
    }
    captions.elements.push_back(Element::frame({0, 18, width, 0}));
    r->columnHeader = captions;

    // Each technician-day on its own page, counted from 1.
    report::Group day;
    day.key = [state] { return state->job().szerelot + u'|' + state->job().tervd; };
    day.newPage = true;
    day.header.beforePrint = [state](Band&) { state->counter = 0; };
    r->groups.push_back(day);
    // The parts of the day end with a rule.
    report::Group partOfDay;
    partOfDay.key = [state] { return state->job().dedu; };
    partOfDay.footer.height = 6;
    partOfDay.footer.elements.push_back(Element::frame({0, 3, width, 0}));
    r->groups.push_back(partOfDay);

    r->detail = detailBand(state, layout);
    r->pageFooter = pageFooter();
    r->next = [state] { return ++state->row < int(state->jobs.size()); };
    r->rewind = [state] {
        state->row = -1;
        state->counter = 0;
    };
    return r;
}

} // namespace mivo::reports
