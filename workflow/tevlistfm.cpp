#include "tevlistfm.h"

#include "core/altproc.h"
#include "core/dat.h"
#include "core/getdatum.h"
#include "core/messages.h"
#include "framework/torzsmodel.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"
#include "platform/rowsource.h"
#include "platform/sqltext.h"
#include "reports/qexport.h"
#include "reports/qrtevlista.h"
#include "reports/reportprint.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;
using Kind = reports::ActivityConditions::Kind;
using Order = reports::ActivityConditions::Order;

namespace
{

// The grid's columns; the two pairs after "Tevékenység" and "Készülék" are shown by list type.
enum GridColumn { ColMunkad = 5, ColSzerelom = 6, ColSzerelot = 10, ColTervd = 11 };

QList<TorzsGridColumn> gridColumns()
{
    return {{u"UGYFELNEV"_s, u"Ügyfél"_s, {}},    {u"TELEFON"_s, u"Telefon"_s, {}},
            {u"IRSZAM"_s, u"Irszám"_s, {}},       {u"VAROS"_s, u"Város"_s, {}},
            {u"UTCA"_s, u"Utca"_s, {}},           {u"MUNKAD"_s, u"Dátum"_s, {}},
            {u"SZERELOM"_s, u"Szerelőkód"_s, {}}, {u"SZERELONEV"_s, u"Szerelő neve"_s, {}},
            {u"TEVNEV"_s, u"Tevékenység"_s, {}},  {u"KESZULEKNEV"_s, u"Készülék"_s, {}},
            {u"SZERELOT"_s, u"Szerelőkód"_s, {}}, {u"TERVD"_s, u"Dátum"_s, {}}};
}

QLineEdit* field(QWidget* parent, const QString& name, int characters, bool readOnly)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(readOnly);
    if (characters > 0) {
        e->setMaxLength(characters);
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(u'W') * characters + 16);
    } else {
        e->setMinimumWidth(320);
    }
    return e;
}

QPushButton* small(QWidget* parent, const QString& name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(text) + 24);
    return b;
}

QButtonGroup* radios(QWidget* parent, QGroupBox* box, const QStringList& items)
{
    auto* group = new QButtonGroup(parent);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], box);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    return group;
}

} // namespace

Ttevlistfm::Ttevlistfm(QWidget* parent)
    : Screen(parent), m_szerelo(field(this, u"e_szerelo"_s, 6, false)),
      m_szerelonev(field(this, u"e_szerelonev"_s, 0, true)),
      m_tol(field(this, u"e_sznaptol"_s, 10, false)), m_ig(field(this, u"e_sznapig"_s, 10, false)),
      m_keszulek(field(this, u"e_szkeszulek"_s, 0, true)),
      m_keszuleknev(field(this, u"e_szkeszuleknev"_s, 0, true)),
      m_tevekenyseg(field(this, u"e_tevekenyseg"_s, 0, true)),
      m_tevekenysegnev(field(this, u"e_tevekenysegnev"_s, 0, true)),
      m_ugyfel(field(this, u"e_ugyfel"_s, 0, true)),
      m_ugyfelnev(field(this, u"e_ugyfelnev"_s, 0, true)), m_view(new QTableView(this)),
      m_model(std::make_unique<TorzsModel>(u"d_mivo"_s))
{
    setObjectName(u"Ttevlistfm"_s);
    auto hint = [](QPushButton* b, const QString& text) { b->setToolTip(text); };
    hint(addCommandButton(u"tablazat"_s, u"Képernyőre táblázat"_s, [this] { showGrid(); }),
         u"A lista táblázatként a képernyőre"_s);
    hint(addCommandButton(u"kepernyore"_s, u"Lista képernyőre"_s, [this] { previewReport(); }),
         u"A lista nyomtatási képe"_s);
    hint(addCommandButton(u"nyomtatas"_s, u"Nyomtatás"_s, [this] { printReport(); }),
         u"A lista nyomtatása a nyomtatóra"_s);
    hint(addCommandButton(u"tarolas"_s, u"Tárolás táblába"_s, [this] { exportRows(); }),
         u"A lista mentése fájlba"_s);
    addCommandButton(u"torles"_s, u"&Feltételek törlése"_s, [this] { clearConditions(); });
    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    finishButtonBar();
    m_keszulek->setVisible(false);
    m_tevekenyseg->setVisible(false);
    m_ugyfel->setVisible(false);

    auto* grid = new QGridLayout;
    int row = 0;
    auto line = [&](const QString& label, const QList<QWidget*>& widgets) {
        grid->addWidget(new QLabel(label, this), row, 0);
        auto* h = new QHBoxLayout;
        for (QWidget* w : widgets)
            h->addWidget(w);
        h->addStretch();
        grid->addLayout(h, row++, 1);
    };
    auto clearButton = [this](const QString& name, const QList<QLineEdit*>& edits) {
        QPushButton* b = small(this, name, u"X"_s);
        connect(b, &QPushButton::clicked, this, [edits] {
            for (QLineEdit* e : edits)
                e->clear();
        });
        return b;
    };
    QPushButton* pickSzerelo = small(this, u"b_szerelo"_s, u"? "_s);
    QPushButton* napTol = small(this, u"b_naptol"_s, u"Nap"_s);
    QPushButton* napIg = small(this, u"b_napig"_s, u"Nap"_s);
    QPushButton* pickKeszulek = small(this, u"b_keszulek"_s, u"?"_s);
    QPushButton* pickTev = small(this, u"b_tevekenyseg"_s, u"? "_s);
    QPushButton* pickUgyfel = small(this, u"b_ugyfel"_s, u"?"_s);
    line(u" Szerelőkód :"_s, {m_szerelo, pickSzerelo, m_szerelonev,
                              clearButton(u"x_szerelo"_s, {m_szerelo, m_szerelonev})});
    line(u" Munkavégzés napja:"_s,
         {m_tol, napTol, new QLabel(u"-tól"_s, this), m_ig, napIg, new QLabel(u"-ig"_s, this),
          clearButton(u"x_datum"_s, {m_tol, m_ig})});
    // The hidden codes leave a gap as wide as the technician's code: the names line up.
    auto gap = [this] {
        auto* w = new QWidget(this);
        w->setFixedWidth(m_szerelo->width());
        return w;
    };
    line(u" Készülékfajta:"_s, {gap(), m_keszulek, pickKeszulek, m_keszuleknev,
                                clearButton(u"x_keszulek"_s, {m_keszulek, m_keszuleknev})});
    line(u" Tevékenység fajta:"_s,
         {gap(), m_tevekenyseg, pickTev, m_tevekenysegnev,
          clearButton(u"x_tevekenyseg"_s, {m_tevekenyseg, m_tevekenysegnev})});
    line(u" Ügyfél:"_s, {gap(), m_ugyfel, pickUgyfel, m_ugyfelnev,
                         clearButton(u"x_ugyfel"_s, {m_ugyfel, m_ugyfelnev})});

    auto* fajta = new QGroupBox(u" Lista típus "_s, this);
    fajta->setObjectName(u"rg_fajta"_s);
    m_fajta = radios(this, fajta, {u"Kiosztott"_s, u"Elvégzett"_s});
    const QStringList orders{u"Dátum"_s, u"Tevékenység"_s, u"Szerelőkód"_s};
    auto* sorrend1 = new QGroupBox(u" Elsődleges sorrend "_s, this);
    sorrend1->setObjectName(u"rg_sorrend1"_s);
    m_sorrend1 = radios(this, sorrend1, orders);
    auto* sorrend2 = new QGroupBox(u" Másodlagos sorrend "_s, this);
    sorrend2->setObjectName(u"rg_sorrend2"_s);
    m_sorrend2 = radios(this, sorrend2, orders);
    auto* options = new QHBoxLayout;
    options->addLayout(grid);
    options->addWidget(fajta, 0, Qt::AlignTop);
    options->addWidget(sorrend1, 0, Qt::AlignTop);
    options->addWidget(sorrend2, 0, Qt::AlignTop);
    options->addStretch();

    m_view->setObjectName(u"DBGrid1"_s);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_model->setGridColumns(gridColumns());
    m_view->setModel(m_model.get());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBar());
    layout->addLayout(options);
    layout->addWidget(m_view, 1);
    resize(1400, 800);

    auto pick = [this](const QString& table, const QString& condition, QLineEdit* code,
                       QLineEdit* name, const QString& codeField) {
        TorzsCall call;
        call.tableSpec = table;
        call.condition = condition;
        call.searchText = code->text();
        call.selectionMode = true;
        if (!OpenTorzs(call))
            return;
        code->setText(alt::pickedValue(codeField, call.names, call.values).trimmed());
        name->setText(alt::pickedValue(u"NEV"_s, call.names, call.values).trimmed());
    };
    connect(pickSzerelo, &QPushButton::clicked, this, [this, pick] {
        pick(u"SZERELO"_s, u"WHERE CEGKOD="_s + db::literal(Td::instance().ownCompany), m_szerelo,
             m_szerelonev, u"KOD"_s);
    });
    connect(pickKeszulek, &QPushButton::clicked, this, [this, pick] {
        pick(u"ARU"_s, u"WHERE JELLEG='K'"_s, m_keszulek, m_keszuleknev, u"BELSOKOD"_s);
    });
    connect(pickTev, &QPushButton::clicked, this,
            [this, pick] { pick(u"TEVEKENYS"_s, {}, m_tevekenyseg, m_tevekenysegnev, u"KOD"_s); });
    connect(pickUgyfel, &QPushButton::clicked, this,
            [this, pick] { pick(u"UGYFEL"_s, {}, m_ugyfel, m_ugyfelnev, u"KOD"_s); });
    connect(napTol, &QPushButton::clicked, this,
            [this] { m_tol->setText(pickDate(m_tol->text())); });
    connect(napIg, &QPushButton::clicked, this, [this] { m_ig->setText(pickDate(m_ig->text())); });
    m_tol->installEventFilter(this);
    m_ig->installEventFilter(this);
    m_fajta->button(1)->setChecked(true);
    m_sorrend1->button(1)->setChecked(true);
    m_sorrend2->button(0)->setChecked(true);
}

Ttevlistfm::~Ttevlistfm() = default;

void Ttevlistfm::initialise()
{
    if (m_tol->text().trimmed().isEmpty()) {
        m_tol->setText(alt::today().left(7) + u".01"_s);
        m_ig->setText(alt::today());
    }
}

bool Ttevlistfm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && (watched == m_tol || watched == m_ig)) {
        auto* edit = static_cast<QLineEdit*>(watched);
        if (!edit->text().trimmed().isEmpty() && !alt::validateDate(edit->text(), true))
            edit->setFocus();
    }
    return Screen::eventFilter(watched, event);
}

reports::ActivityConditions Ttevlistfm::conditions() const
{
    reports::ActivityConditions c;
    c.technician = m_szerelo->text().trimmed();
    c.from = m_tol->text();
    c.to = m_ig->text();
    c.applianceType = m_keszulek->text().toInt();
    c.activity = m_tevekenyseg->text().trimmed();
    c.customer = m_ugyfel->text().toInt();
    c.kind = m_fajta->checkedId() == 0 ? Kind::Assigned : Kind::Completed;
    c.primary = Order(std::max(0, m_sorrend1->checkedId()));
    c.secondary = Order(std::max(0, m_sorrend2->checkedId()));
    return c;
}

std::optional<reports::ActivityQuery> Ttevlistfm::query()
{
    QString message;
    int failing = -1;
    std::optional<reports::ActivityQuery> q =
        reports::buildActivityQuery(conditions(), &message, &failing);
    if (!q) {
        messages::show(message);
        (failing == 0 ? m_tol : m_ig)->setFocus();
    }
    return q;
}

void Ttevlistfm::clearConditions()
{
    for (QLineEdit* e :
         {m_szerelo, m_szerelonev, m_keszulek, m_keszuleknev, m_tevekenyseg, m_tevekenysegnev})
        e->clear();
    m_tol->setText(alt::today().left(7) + u".01"_s);
    m_ig->setText(alt::today());
}

void Ttevlistfm::showGrid()
{
    const std::optional<reports::ActivityQuery> q = query();
    if (!q)
        return;
    m_model->query().setSql(q->sql);
    for (const auto& [name, value] : q->params)
        m_model->setParameter(name, value);
    QString error;
    if (!m_model->reopen(&error)) {
        messages::showError(error);
        return;
    }
    const bool assigned = m_fajta->checkedId() == 0;
    m_view->setColumnHidden(ColMunkad, assigned);
    m_view->setColumnHidden(ColSzerelom, assigned);
    m_view->setColumnHidden(ColSzerelot, !assigned);
    m_view->setColumnHidden(ColTervd, !assigned);
    m_view->resizeColumnsToContents();
}

void Ttevlistfm::previewReport()
{
    if (!query())
        return;
    const reports::ActivityConditions c = conditions();
    const QString title = windowTitle();
    report::preview([&](QString* error) { return reports::buildTevlista(c, title, error); }, this);
}

void Ttevlistfm::printReport()
{
    if (!query())
        return;
    const reports::ActivityConditions c = conditions();
    const QString title = windowTitle();
    report::printDirect([&](QString* error) { return reports::buildTevlista(c, title, error); });
}

void Ttevlistfm::exportRows()
{
    const std::optional<reports::ActivityQuery> q = query();
    if (!q)
        return;
    db::Query rows;
    rows.setSql(q->sql);
    for (const auto& [name, value] : q->params)
        rows.bind(name, value);
    data::QueryRows source(rows, u"MUNKA"_s);
    reports::TQexportfm::instance().exportRows(source);
}

} // namespace mivo::workflow
