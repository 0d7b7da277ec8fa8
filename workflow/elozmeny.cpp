#include "elozmeny.h"

#include "customerpick.h"

#include "core/columnwidths.h"
#include "core/messages.h"
#include "core/rowlist.h"
#include "platform/dbquery.h"
#include "platform/querymodel.h"
#include "reports/dailyprint.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

// Every column of the statement, titled with its field name.
std::vector<data::ShownColumn> fieldColumns(const QStringList& fields)
{
    std::vector<data::ShownColumn> columns;
    for (const QString& f : fields)
        columns.push_back({f, f});
    return columns;
}

QTableView* listView(const QString& name, data::QueryModel* model, QWidget* parent)
{
    auto* view = new QTableView(parent);
    setUpRowList(view, name, model);
    return view;
}

QLineEdit* readOnly(const QString& name, int length, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setMaxLength(length);
    return e;
}

} // namespace

Telozmenyfm::Telozmenyfm(QWidget* parent)
    : Screen(parent), m_nev(readOnly(u"e_nev"_s, 60, this)),
      m_irszam(readOnly(u"e_irszam"_s, 4, this)), m_varos(readOnly(u"e_varos"_s, 40, this)),
      m_utca(readOnly(u"e_utca"_s, 40, this)), m_telefon(readOnly(u"e_telefon"_s, 40, this)),
      m_appliances(new data::QueryModel(
          u"d_mivo"_s, fieldColumns({u"GYARISZAM"_s, u"KOD"_s, u"TIPUS"_s, u"NEV"_s, u"ARUKOD"_s}),
          this)),
      m_jobs(new data::QueryModel(
          u"d_mivo"_s, fieldColumns({u"ARUNEV"_s,    u"ALLAPOT"_s,  u"FELVETELD"_s, u"TERVD"_s,
                                     u"TERVTEV"_s,   u"DEDU"_s,     u"SZERELOT"_s,  u"MUNKAD"_s,
                                     u"SZERELOM"_s,  u"MUNKATEV"_s, u"MUNKASZAM"_s, u"SZAMLASZAM"_s,
                                     u"LEIRAST"_s,   u"LEIRASM"_s,  u"KOD"_s,       u"KESZULEK"_s,
                                     u"UGYFELNEV"_s, u"IRSZAM"_s,   u"VAROS"_s,     u"UTCA"_s,
                                     u"TELEFON"_s,   u"GYARISZAM"_s}),
          this)),
      m_applianceView(listView(u"DBGrid1"_s, m_appliances, this)),
      m_jobView(listView(u"DBGrid2"_s, m_jobs, this)),
      m_all(new QCheckBox(u" Minden  készüléket listázunk"_s, this)),
      m_detail(new QCheckBox(u" Munkautalvány részletességgel"_s, this))
{
    setObjectName(u"Telozmenyfm"_s);
    m_all->setObjectName(u"cb_minden"_s);
    m_detail->setObjectName(u"cb_munkalap"_s);
    m_printer = [this](const HistoryPrint& p) {
        if (p.jobSheets)
            reports::printJobSheets(p.ugyfel, p.keszulek, this);
        else
            reports::printHistory(p.ugyfel, p.keszulek, this);
    };
    addCommandButton(u"indul"_s, u"&Indul"_s, [this] { start(); });
    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    finishButtonBar();

    auto* pick = new QPushButton(u"?"_s, this);
    pick->setObjectName(u"b_ugyfel"_s);
    pick->setFixedWidth(pick->fontMetrics().horizontalAdvance(u"?"_s) + 24);
    connect(pick, &QPushButton::clicked, this, &Telozmenyfm::pickCustomer);

    // Field widths follow their lengths in characters.
    const int ch = fontMetrics().horizontalAdvance(u"0"_s);
    m_nev->setMinimumWidth(ch * 50);
    m_irszam->setFixedWidth(ch * 6);
    m_varos->setMinimumWidth(ch * 24);
    m_utca->setMinimumWidth(ch * 30);
    m_telefon->setMinimumWidth(ch * 24);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(u" Ügyfél neve:"_s, this), 0, 0);
    fields->addWidget(m_nev, 0, 1, 1, 3);
    fields->addWidget(pick, 0, 4);
    fields->addWidget(new QLabel(u" Ügyfél címe:"_s, this), 1, 0);
    fields->addWidget(m_irszam, 1, 1);
    fields->addWidget(m_varos, 1, 2);
    fields->addWidget(m_utca, 1, 3);
    fields->addWidget(new QLabel(u" Telefon:"_s, this), 2, 0);
    fields->addWidget(m_telefon, 2, 1, 1, 3);
    fields->setColumnStretch(5, 1);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_all);
    boxes->addWidget(m_detail);
    boxes->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBar());
    layout->addLayout(fields);
    layout->addLayout(boxes);
    layout->addWidget(m_applianceView, 1);
    layout->addWidget(m_jobView, 2);

    connect(m_applianceView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { applianceChanged(); });
    // The job list's 22 columns fit side by side at 1920x1080.
    resize(1840, 900);
}

void Telozmenyfm::initialise()
{
    m_ugyfel = 0;
    m_shown = {-1, -1};
    for (QLineEdit* e : {m_nev, m_irszam, m_varos, m_utca, m_telefon})
        e->clear();
    m_appliances->clear();
    m_jobs->clear();
    commands().command(u"indul"_s)->setEnabled(false);
}

bool Telozmenyfm::setCustomer(int ugyfel)
{
    if (ugyfel <= 0)
        return false;
    db::Query q;
    q.setSql(u"Select NEV, IRSZAM, VAROS, UTCA, TELEFON From UGYFEL Where KOD = :kod"_s);
    q.bind(u"kod"_s, ugyfel);
    if (!q.exec()) {
        messages::showError(q.lastError());
        return false;
    }
    q.first();
    m_ugyfel = ugyfel;
    m_nev->setText(q.text(u"NEV"_s));
    m_irszam->setText(q.text(u"IRSZAM"_s));
    m_varos->setText(q.text(u"VAROS"_s));
    m_utca->setText(q.text(u"UTCA"_s));
    m_telefon->setText(q.text(u"TELEFON"_s));
    commands().command(u"indul"_s)->setEnabled(true);
    showAppliances();
    return true;
}

void Telozmenyfm::pickCustomer()
{
    const std::optional<Customer> picked = chooseCustomer(m_nev->text());
    if (!picked || picked->kod <= 0)
        return;
    m_ugyfel = picked->kod;
    m_nev->setText(picked->nev);
    m_irszam->setText(picked->irszam);
    m_varos->setText(picked->varos);
    m_utca->setText(picked->utca);
    m_telefon->setText(picked->telefon);
    commands().command(u"indul"_s)->setEnabled(true);
    showAppliances();
}

void Telozmenyfm::showAppliances()
{
    QString error;
    if (!m_appliances->read(historyApplianceSql(), {{u"ugyfel"_s, m_ugyfel}}, &error))
        messages::showError(error);
    fitColumnsToText(m_applianceView);
    if (m_appliances->rowCount() > 0)
        m_applianceView->setCurrentIndex(m_appliances->index(0, 0));
    applianceChanged();
}

int Telozmenyfm::currentAppliance() const
{
    const int row = m_applianceView->currentIndex().row();
    return row >= 0 && row < m_appliances->rowCount() ? m_appliances->value(row, u"KOD"_s).toInt()
                                                      : 0;
}

void Telozmenyfm::applianceChanged()
{
    const std::pair<int, int> wanted{m_ugyfel, currentAppliance()};
    if (wanted == m_shown)
        return;
    m_shown = wanted;
    QString error;
    if (!m_jobs->read(historyJobSql(),
                      {{u"ugyfel"_s, wanted.first}, {u"keszulek"_s, wanted.second}}, &error))
        messages::showError(error);
    fitColumnsToText(m_jobView);
}

void Telozmenyfm::start()
{
    if (m_ugyfel <= 0)
        return;
    m_printer(
        historyPrint(m_ugyfel, currentAppliance(), m_all->isChecked(), m_detail->isChecked()));
}

void Telozmenyfm::closeEvent(QCloseEvent* event)
{
    m_appliances->clear();
    m_jobs->clear();
    m_shown = {-1, -1};
    Screen::closeEvent(event);
}

} // namespace mivo::workflow
