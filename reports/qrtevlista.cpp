#include "qrtevlista.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/dat.h"
#include "platform/dbquery.h"

#include <vector>

namespace mivo::reports
{

using namespace Qt::StringLiterals;

namespace
{

struct Line {
    QString technician, date, activity, customer, place, street, appliance, description;
};

struct State {
    std::vector<Line> rows;
    int row = -1;
};

} // namespace

std::unique_ptr<report::Report> buildTevlista(const ActivityConditions& conditions,
                                              const QString& title, QString* error)
{
    const std::optional<ActivityQuery> query = buildActivityQuery(conditions, error);
    if (!query)
        return nullptr;
    db::Query q;
    q.setSql(query->sql);
    for (const auto& [name, value] : query->params)
        q.bind(name, value);
    if (!q.execForward()) {
        *error = q.lastError();
        return nullptr;
    }
    const bool assigned = conditions.kind == ActivityConditions::Kind::Assigned;
    auto state = std::make_shared<State>();
    while (q.next()) {
        state->rows.push_back({q.text(u"SZERELONEV"_s), q.text(assigned ? u"TERVD"_s : u"MUNKAD"_s),
                               q.text(u"TEVNEV"_s), q.text(u"UGYFELNEV"_s),
                               (q.text(u"IRSZAM"_s) + u" "_s + q.text(u"VAROS"_s)).trimmed(),
                               q.text(u"UTCA"_s), q.text(u"KESZULEKNEV"_s),
                               q.text(assigned ? u"LEIRAST"_s : u"LEIRASM"_s)});
    }
    const QString from = alt::formatDate(alt::parseDate(conditions.from));
    const QString to = alt::formatDate(alt::parseDate(conditions.to));

    auto r = std::make_unique<report::Report>();
    r->page.orientation = QPageLayout::Landscape;
    r->printedAt = clock::now();
    const double width = r->page.sizeInUnits().width() - 2 * r->page.margin;
    report::TextStyle titleStyle;
    titleStyle.pointSize = 14;
    titleStyle.bold = true;
    report::TextStyle right;
    right.alignment = Qt::AlignRight | Qt::AlignVCenter;
    report::TextStyle bold;
    bold.bold = true;
    report::TextStyle small;
    small.pointSize = 9;
    report::TextStyle growing = small;
    growing.wordWrap = true;
    growing.alignment = Qt::AlignLeft | Qt::AlignTop;

    report::Band header;
    header.height = 70;
    header.elements.push_back(report::Element::label({0, 0, width - 260, 26}, title, titleStyle));
    header.elements.push_back(report::Element::system(
        {width - 260, 0, 260, 18}, report::SystemField::DateTime, u"Nyomtatva: "_s, right));
    header.elements.push_back(
        report::Element::label({0, 30, width - 260, 18}, u"Időszak: "_s + from + u" -> "_s + to));
    header.elements.push_back(report::Element::label(
        {width - 260, 30, 260, 18}, u"Nyomtatta: "_s + Td::instance().userName, right));
    header.elements.push_back(report::Element::system(
        {width - 260, 50, 260, 18}, report::SystemField::PageNumber, u"Oldal: "_s, right));
    r->pageHeader = header;

    // Columns: technician, date, activity, customer + address, appliance.
    const double x[] = {0, 170, 255, 440, 800};
    report::Band columns;
    columns.height = 24;
    const QString captions[] = {u"Szerelő"_s, u"Dátum"_s, u"Tevékenység"_s, u"Ügyfél"_s,
                                u"Készülék"_s};
    for (int i = 0; i < 5; ++i) {
        const double w = (i < 4 ? x[i + 1] : width) - x[i] - 6;
        columns.elements.push_back(report::Element::label({x[i], 2, w, 18}, captions[i], bold));
    }
    columns.elements.push_back(report::Element::frame({0, 22, width, 0}));
    r->columnHeader = columns;

    report::Band detail;
    detail.height = 40;
    detail.elements.push_back(report::Element::label({x[0], 1, x[1] - x[0] - 6, 18}, {}, small));
    detail.elements.push_back(report::Element::label({x[1], 1, x[2] - x[1] - 6, 18}, {}, small));
    detail.elements.push_back(report::Element::label({x[2], 1, x[3] - x[2] - 6, 18}, {}, small));
    detail.elements.push_back(report::Element::label({x[3], 1, 170, 18}, {}, small));
    detail.elements.push_back(report::Element::label({x[3] + 175, 1, 185, 18}, {}, small));
    detail.elements.push_back(report::Element::label({x[3] + 175, 19, 185, 18}, {}, small));
    detail.elements.push_back(report::Element::label({x[4], 1, width - x[4], 18}, {}, small));
    detail.elements.push_back(
        report::Element::label({x[1], 21, x[3] + 170 - x[1], 18}, {}, growing));
    detail.beforePrint = [state](report::Band& band) {
        const Line& l = state->rows[size_t(state->row)];
        const QString texts[] = {l.technician, l.date,   l.activity,  l.customer,
                                 l.place,      l.street, l.appliance, l.description};
        for (int i = 0; i < 8; ++i)
            band.elements[size_t(i)].text = texts[i];
    };
    report::Band gap;
    gap.height = 4;
    gap.elements.push_back(report::Element::frame({0, 2, width, 0}));
    detail.children.push_back(gap);
    r->detail = detail;

    report::Band summary;
    summary.height = 30;
    summary.elements.push_back(report::Element::label({0, 6, 500, 18}, {}, bold));
    summary.beforePrint = [state](report::Band& band) {
        band.elements[0].text = u"Összes tétel: "_s + QString::number(state->rows.size());
    };
    r->summary = summary;

    r->next = [state] { return ++state->row < int(state->rows.size()); };
    r->rewind = [state] { state->row = -1; };
    return r;
}

} // namespace mivo::reports
