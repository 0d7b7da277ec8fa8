#include "qrkieso.h"

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

struct Absence {
    QString technician, name, date, reason;
};

struct State {
    std::vector<Absence> rows;
    int row = -1;
    int groupRows = 0;
    const Absence& current() const { return rows[size_t(row)]; }
};

} // namespace

QString kiesoStatement(bool allTechnicians)
{
    return u"SELECT NAPIREND.SZERELOKOD, NAPIREND.DATUM, TAVOLLET.NEV TAVOLLETNEV, "
           "SZERELO.NEV SZERELONEV FROM NAPIREND, TAVOLLET, SZERELO "
           "WHERE NAPIREND.MUNKAKEPES = TAVOLLET.KOD AND NAPIREND.DATUM >= :datumtol "
           "AND NAPIREND.DATUM <= :datumig"_s +
           (allTechnicians ? QString() : u" AND NAPIREND.SZERELOKOD = :szerelo"_s) +
           u" AND TAVOLLET.KIESO = 'I' AND SZERELO.KOD = NAPIREND.SZERELOKOD "
           "ORDER BY SZERELO.NEV, NAPIREND.SZERELOKOD, NAPIREND.DATUM"_s;
}

std::unique_ptr<report::Report> buildKieso(const QString& technician, const QString& from,
                                           const QString& to, const QString& title, QString* error)
{
    const bool all = technician == u"MIND"_s;
    db::Query q;
    q.setSql(kiesoStatement(all));
    q.bind(u"datumtol"_s, from);
    q.bind(u"datumig"_s, to);
    if (!all)
        q.bind(u"szerelo"_s, technician);
    if (!q.execForward()) {
        *error = q.lastError();
        return nullptr;
    }
    auto state = std::make_shared<State>();
    while (q.next())
        state->rows.push_back({q.text(u"SZERELOKOD"_s), q.text(u"SZERELONEV"_s), q.text(u"DATUM"_s),
                               q.text(u"TAVOLLETNEV"_s)});

    auto r = std::make_unique<report::Report>();
    r->printedAt = clock::now();
    const double width = r->page.sizeInUnits().width() - 2 * r->page.margin;
    report::TextStyle titleStyle;
    titleStyle.pointSize = 14;
    titleStyle.bold = true;
    report::TextStyle right;
    right.alignment = Qt::AlignRight | Qt::AlignVCenter;
    report::TextStyle bold;
    bold.bold = true;

    report::Band header;
    header.height = 70;
    header.elements.push_back(report::Element::label({0, 0, width - 240, 26}, title, titleStyle));
    header.elements.push_back(report::Element::system(
        {width - 240, 0, 240, 18}, report::SystemField::DateTime, u"Nyomtatva: "_s, right));
    header.elements.push_back(
        report::Element::label({0, 30, width - 240, 18}, u"Időszak: "_s + from + u" -> "_s + to));
    header.elements.push_back(report::Element::label(
        {width - 240, 30, 240, 18}, u"Nyomtatta: "_s + Td::instance().userName, right));
    header.elements.push_back(report::Element::system(
        {width - 240, 50, 240, 18}, report::SystemField::PageNumber, u"Oldal: "_s, right));
    r->pageHeader = header;

    report::Band columns;
    columns.height = 24;
    columns.elements.push_back(report::Element::label({0, 2, 250, 18}, u"Szerelő"_s, bold));
    columns.elements.push_back(report::Element::label({250, 2, 200, 18}, u"Dátum"_s, bold));
    columns.elements.push_back(report::Element::label({450, 2, 260, 18}, u"Távollét oka"_s, bold));
    columns.elements.push_back(report::Element::frame({0, 22, width, 0}));
    r->columnHeader = columns;

    report::Group group;
    group.key = [state] { return state->current().technician; };
    group.header.height = 22;
    group.header.elements.push_back(report::Element::label({0, 2, 440, 18}, {}, bold));
    group.header.beforePrint = [state](report::Band& band) {
        band.elements[0].text = state->current().name;
        state->groupRows = 0;
    };
    group.footer.height = 26;
    group.footer.elements.push_back(report::Element::label({250, 2, 400, 18}, {}, bold));
    group.footer.beforePrint = [state](report::Band& band) {
        band.elements[0].text = u"Összes kieső nap: "_s + QString::number(state->groupRows);
    };
    r->groups.push_back(group);

    report::Band detail;
    detail.height = 20;
    detail.elements.push_back(report::Element::label({250, 1, 200, 18}, {}));
    detail.elements.push_back(report::Element::label({450, 1, width - 450, 18}, {}));
    detail.beforePrint = [state](report::Band& band) {
        const Absence& a = state->current();
        band.elements[0].text = a.date + u" "_s + alt::weekdayName(alt::parseDate(a.date));
        band.elements[1].text = a.reason;
        ++state->groupRows;
    };
    r->detail = detail;

    report::Band summary;
    summary.height = 30;
    summary.elements.push_back(report::Element::frame({0, 2, width, 0}));
    summary.elements.push_back(report::Element::label({0, 6, 500, 18}, {}, bold));
    summary.beforePrint = [state](report::Band& band) {
        band.elements[1].text =
            u"Mind összesen kieső nap: "_s + QString::number(state->rows.size());
    };
    r->summary = summary;

    r->next = [state] { return ++state->row < int(state->rows.size()); };
    r->rewind = [state] {
        state->row = -1;
        state->groupRows = 0;
    };
    return r;
}

} // namespace mivo::reports
