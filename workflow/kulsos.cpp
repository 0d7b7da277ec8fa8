#include "kulsos.h"

#include "jobrepository.h"

#include "core/altproc.h"
#include "core/dat.h"
#include "core/fieldedit.h"
#include "core/getdatum.h"
#include "core/messages.h"
#include "core/rowlist.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"
#include "platform/querymodel.h"
#include "platform/rowsource.h"
#include "reports/qexport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
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

const QStringList listFields{
    u"FELVETELD"_s, u"TERVD"_s,    u"LEIRAST"_s,    u"UGYFEL"_s, u"KESZULEK"_s,    u"ALLAPOT"_s,
    u"KOD"_s,       u"SZERELOT"_s, u"JUZER"_s,      u"TIPUS"_s,  u"MUNKATEV"_s,    u"TERVT"_s,
    u"DEDU"_s,      u"TEVNEV"_s,   u"SZERELONEV"_s, u"CEGKOD"_s, u"KESZULEKNEV"_s, u"KESZULEKKOD"_s,
    u"UGYFELNEV"_s, u"IRSZAM"_s,   u"VAROS"_s,      u"UTCA"_s};

const QStringList hours{u"08"_s, u"09"_s, u"10"_s, u"11"_s, u"12"_s,
                        u"13"_s, u"14"_s, u"15"_s, u"16"_s};
const QStringList partsOfDay{u"De"_s, u"Du"_s};

std::vector<data::ShownColumn> columns()
{
    std::vector<data::ShownColumn> c;
    for (const QString& f : listFields)
        c.push_back({f, f});
    return c;
}

QComboBox* comboBox(const QString& name, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return c;
}

QPushButton* button(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

// Shows a value the box does not offer (an external job's "18" or "Es") as an extra item, so
// that it is stored back unchanged.
void selectText(QComboBox* box, const QStringList& items, const QString& text)
{
    box->clear();
    box->addItems(items);
    if (!text.isEmpty() && !items.contains(text))
        box->addItem(text);
    box->setCurrentIndex(text.isEmpty() ? -1 : box->findText(text));
}

} // namespace

Tkulsosfm::Tkulsosfm(QWidget* parent)
    : Screen(parent), m_from(fieldEdit(u"e_datumtol"_s, 10, this)),
      m_to(fieldEdit(u"e_datumig"_s, 10, this)), m_all(new QCheckBox(u"Minden tétel"_s, this)),
      m_order(comboBox(u"rg_sorrend"_s, this)),
      m_rows(new data::QueryModel(u"d_mivo"_s, columns(), this)), m_view(new QTableView(this)),
      m_count(new QLabel(this)), m_panel(new QWidget(this)),
      m_tervd(fieldEdit(u"e_tervd"_s, 10, m_panel)), m_ora(comboBox(u"cb_ora"_s, m_panel)),
      m_dedu(comboBox(u"cb_dedu"_s, m_panel)), m_szerelo(fieldEdit(u"e_szerelo"_s, 6, m_panel)),
      m_szerelonev(fieldEdit(u"e_szerelonev"_s, 40, m_panel)),
      m_tevekenys(comboBox(u"cb_tevekenys"_s, m_panel)),
      m_problema(fieldEdit(u"e_problema"_s, 240, m_panel)),
      m_allapot(comboBox(u"cb_allapot"_s, m_panel))
{
    setObjectName(u"Tkulsosfm"_s);
    m_all->setObjectName(u"cb_minden"_s);
    m_count->setObjectName(u"l_osszes"_s);
    m_order->addItems(externalJobOrders());
    // The dictionaries' names fit without cutting (TEVEKENYS.NEV, ALLAPOT.NEV).
    m_tevekenys->setMinimumContentsLength(24);
    m_allapot->setMinimumContentsLength(24);
    m_szerelonev->setReadOnly(true);
    m_szerelo->setReadOnly(true);

    addCommandButton(u"modosit"_s, u"Módosít"_s, [this] { modify(); });
    addCommandButton(u"tarol"_s, u"Tárol"_s, [this] { store(); });
    addCommandButton(u"megsem"_s, u"Mégsem"_s, [this] { cancel(); });
    addCommandButton(u"torol"_s, u"Töröl"_s, [this] { remove(); });
    addCommandButton(u"vissza"_s, u"Vissza"_s, [this] { close(); });
    addCommandButton(u"mentes"_s, u"Találatok m&entése táblába"_s, [this] { exportRows(); });
    finishButtonBar();

    // Filter.
    auto* filter = new QHBoxLayout;
    filter->addWidget(new QLabel(u" Munka tervezett napja:"_s, this));
    filter->addWidget(m_from);
    auto* fromDay = button(u"b_datumtol"_s, u"Nap"_s, this);
    filter->addWidget(fromDay);
    filter->addWidget(new QLabel(u"-tól"_s, this));
    filter->addWidget(m_to);
    auto* toDay = button(u"b_datumig"_s, u"Nap"_s, this);
    filter->addWidget(toDay);
    filter->addWidget(new QLabel(u"-ig"_s, this));
    filter->addSpacing(16);
    filter->addWidget(m_all);
    filter->addWidget(new QLabel(u" Sorrend:"_s, this));
    filter->addWidget(m_order);
    auto* accept = button(u"b_feltetel"_s, u"&Feltételek elfogadása"_s, this);
    filter->addWidget(accept);
    filter->addStretch();
    connect(accept, &QPushButton::clicked, this, &Tkulsosfm::acceptFilter);

    // List with its navigator.
    setUpRowList(m_view, u"DBGrid1"_s, m_rows);
    connect(m_view, &QTableView::doubleClicked, this, [this] { modify(); });
    auto* navigator = new QHBoxLayout;
    const std::pair<const char16_t*, const char16_t*> moves[] = {
        {u"b_elso", u"|<"}, {u"b_elozo", u"<"}, {u"b_kovetkezo", u">"}, {u"b_utolso", u">|"}};
    for (const auto& [name, text] : moves) {
        auto* b = button(QString::fromUtf16(name), QString::fromUtf16(text), this);
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(u"MMM"_s) + 12);
        navigator->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, name = QString::fromUtf16(name)] {
            const int count = m_rows->rowCount();
            if (count == 0)
                return;
            int row = currentRow();
            if (name == u"b_elso"_s)
                row = 0;
            else if (name == u"b_elozo"_s)
                row = std::max(0, row - 1);
            else if (name == u"b_kovetkezo"_s)
                row = std::min(count - 1, row + 1);
            else
                row = count - 1;
            m_view->setCurrentIndex(m_rows->index(row, 0));
        });
    }
    navigator->addSpacing(16);
    navigator->addWidget(m_count);
    navigator->addStretch();

    // Edit panel.
    m_ora->addItems(hours);
    m_dedu->addItems(partsOfDay);
    auto* grid = new QGridLayout(m_panel);
    grid->addWidget(new QLabel(u" Munka tervezett időpontja:"_s, m_panel), 0, 0);
    auto* when = new QHBoxLayout;
    when->addWidget(m_tervd);
    auto* day = button(u"b_tervd"_s, u"Nap"_s, m_panel);
    when->addWidget(day);
    when->addWidget(m_ora);
    when->addWidget(m_dedu);
    when->addStretch();
    grid->addLayout(when, 0, 1);
    grid->addWidget(new QLabel(u" Szerelő (kód, név) :"_s, m_panel), 1, 0);
    auto* who = new QHBoxLayout;
    who->addWidget(m_szerelo);
    who->addWidget(m_szerelonev);
    auto* pick = button(u"b_szerelo"_s, u"? "_s, m_panel);
    pick->setFixedWidth(pick->fontMetrics().horizontalAdvance(u"MM"_s) + 16);
    who->addWidget(pick);
    who->addStretch();
    grid->addLayout(who, 1, 1);
    grid->addWidget(new QLabel(u" Munka jellege:"_s, m_panel), 2, 0);
    grid->addWidget(m_tevekenys, 2, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(u" Problémaleírás:"_s, m_panel), 3, 0);
    grid->addWidget(m_problema, 3, 1);
    grid->addWidget(new QLabel(u" Munka állapota:"_s, m_panel), 4, 0);
    grid->addWidget(m_allapot, 4, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    connect(pick, &QPushButton::clicked, this, &Tkulsosfm::pickTechnician);
    connect(m_dedu, &QComboBox::activated, this, &Tkulsosfm::partOfDayChosen);

    // "Nap" fills the field named after it; leaving a date field checks it.
    for (auto [b, e] :
         {std::pair{fromDay, m_from}, std::pair{toDay, m_to}, std::pair{day, m_tervd}}) {
        connect(b, &QPushButton::clicked, this, [e] {
            const QString picked = pickDate(e->text());
            if (!picked.isEmpty())
                e->setText(picked);
        });
        connect(e, &QLineEdit::editingFinished, this, [this, e] { dateLeft(e); });
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBar());
    layout->addLayout(filter);
    layout->addWidget(m_view, 1);
    layout->addLayout(navigator);
    layout->addWidget(m_panel);
    // Room for the query's twenty-two columns and a screenful of jobs.
    resize(1400, 800);
}

void Tkulsosfm::initialise()
{
    const QString today = alt::today();
    m_from->setText(today.left(7) + u".01"_s);
    m_to->setText(today);
    if (m_tevekenys->count() == 0 || m_allapot->count() == 0) {
        db::Query activities;
        activities.setSql(u"SELECT * FROM TEVEKENYS ORDER BY NEV"_s);
        db::Query states;
        states.setSql(u"SELECT * FROM ALLAPOT ORDER BY NEV"_s);
        if (!activities.exec() || !states.exec()) {
            messages::showError(activities.lastError() + states.lastError());
        } else {
            while (activities.next())
                m_activityCodes.insert(activities.text(u"NEV"_s), activities.text(u"KOD"_s));
            while (states.next()) {
                m_stateCodes.insert(states.text(u"NEV"_s), states.text(u"KOD"_s));
                m_stateNames.insert(states.text(u"KOD"_s), states.text(u"NEV"_s));
            }
        }
    }
    acceptFilter();
}

void Tkulsosfm::acceptFilter()
{
    cancel();
    QString error;
    if (!m_rows->read(externalJobListSql(m_all->isChecked(), m_order->currentIndex()),
                      {{u"datumtol"_s, m_from->text()},
                       {u"datumig"_s, m_to->text()},
                       {u"cegkod"_s, Td::instance().ownCompany}},
                      &error))
        messages::showError(error);
    m_view->resizeColumnsToContents();
    if (m_rows->rowCount() > 0)
        m_view->setCurrentIndex(m_rows->index(0, 0));
    showCount();
}

void Tkulsosfm::showCount()
{
    m_count->setText(u"Összes tétel: "_s + QString::number(m_rows->rowCount()));
}

int Tkulsosfm::currentRow() const
{
    const int row = m_view->currentIndex().row();
    return row >= 0 && row < m_rows->rowCount() ? row : -1;
}

void Tkulsosfm::fillPanel(int row)
{
    m_filling = true;
    // The activity and state boxes list the dictionaries by name.
    m_tevekenys->clear();
    QStringList activities = m_activityCodes.keys();
    activities.sort();
    m_tevekenys->addItems(activities);
    m_allapot->clear();
    QStringList states = m_stateCodes.keys();
    states.sort();
    m_allapot->addItems(states);

    m_editedRow = row;
    m_szerelo->setText(m_rows->text(row, u"SZERELOT"_s));
    m_szerelonev->setText(m_rows->text(row, u"SZERELONEV"_s));
    m_problema->setText(m_rows->text(row, u"LEIRAST"_s));
    m_tervd->setText(m_rows->text(row, u"TERVD"_s));
    selectText(m_ora, hours, m_rows->text(row, u"TERVT"_s));
    selectText(m_dedu, partsOfDay, m_rows->text(row, u"DEDU"_s));
    m_tevekenys->setCurrentIndex(m_tevekenys->findText(m_rows->text(row, u"TEVNEV"_s)));
    m_allapot->setCurrentIndex(
        m_allapot->findText(m_stateNames.value(m_rows->text(row, u"ALLAPOT"_s))));
    setOwnTechnician(m_rows->text(row, u"CEGKOD"_s) == Td::instance().ownCompany);
    m_filling = false;
}

void Tkulsosfm::setOwnTechnician(bool own)
{
    m_ora->setEnabled(own);
    m_dedu->setEnabled(!own);
}

int Tkulsosfm::startChange()
{
    const int row = currentRow();
    if (row < 0 || editing())
        return -1;
    fillPanel(row);
    setEditing(true);
    m_panel->setEnabled(true);
    m_view->setEnabled(false);
    return row;
}

void Tkulsosfm::modify()
{
    if (startChange() >= 0)
        m_tervd->setFocus();
}

void Tkulsosfm::cancel()
{
    for (QLineEdit* e : {m_tervd, m_szerelo, m_szerelonev, m_problema})
        e->clear();
    for (QComboBox* c : {m_ora, m_dedu, m_tevekenys, m_allapot})
        c->setCurrentIndex(-1);
    m_editedRow = -1;
    m_panel->setEnabled(false);
    m_view->setEnabled(true);
    setEditing(false);
}

ExternalJobChange Tkulsosfm::rowChange(int row) const
{
    ExternalJobChange c;
    c.kod = m_rows->value(row, u"KOD"_s).toInt();
    c.readState = m_rows->text(row, u"ALLAPOT"_s);
    c.readTechnician = m_rows->text(row, u"SZERELOT"_s);
    return c;
}

void Tkulsosfm::store()
{
    if (m_editedRow < 0)
        return;
    // A click can reach "Tárol" without the date field's check on leaving.
    if (!alt::validateDate(m_tervd->text(), true)) {
        m_tervd->setFocus();
        return;
    }
    ExternalJobChange c = rowChange(m_editedRow);
    c.tervd = m_tervd->text();
    c.tervt = m_ora->currentText();
    c.dedu = m_dedu->currentText();
    c.szerelot = m_szerelo->text();
    // No activity chosen keeps the row's.
    c.tervtev = m_activityCodes.value(
        m_tevekenys->currentText(), m_activityCodes.value(m_rows->text(m_editedRow, u"TEVNEV"_s)));
    c.leirast = m_problema->text();
    c.allapot = m_stateCodes.value(m_allapot->currentText());
    const bool own = m_ora->isEnabled();
    if (own) {
        QString error;
        const std::optional<bool> taken =
            JobRepository(u"d_mivo"_s)
                .slotTakenByOther(c.szerelot, alt::formatDate(alt::parseDate(c.tervd)), c.tervt,
                                  c.kod, &error);
        if (!taken) {
            messages::showError(error);
            return;
        }
        if (*taken) {
            messages::show(ExternalJobStore::slotTakenMessage());
            return;
        }
    }
    if (messages::confirm(u"Biztos, hogy tárolja a módosításokat?"_s)) {
        const ExternalStoreResult r = ExternalJobStore().store(c, own);
        if (!r.ok())
            messages::showError(r.message);
    }
    acceptFilter();
}

void Tkulsosfm::remove()
{
    const int row = startChange();
    if (row < 0)
        return;
    if (messages::confirm(u"Biztos, hogy törli a munkát?"_s)) {
        ExternalJobChange c = rowChange(row);
        c.tervd = m_rows->text(row, u"TERVD"_s);
        c.tervt = m_rows->text(row, u"TERVT"_s);
        c.dedu = m_rows->text(row, u"DEDU"_s);
        c.szerelot = c.readTechnician;
        c.tervtev = m_activityCodes.value(m_rows->text(row, u"TEVNEV"_s));
        c.leirast = m_rows->text(row, u"LEIRAST"_s);
        c.allapot = u"TOR"_s;
        const ExternalStoreResult r = ExternalJobStore().store(c, false);
        if (!r.ok())
            messages::showError(r.message);
    }
    acceptFilter();
}

void Tkulsosfm::pickTechnician()
{
    TorzsCall call;
    call.tableSpec = u"SZERELO"_s;
    call.searchText = m_szerelo->text();
    call.selectionMode = true;
    if (!OpenTorzs(call))
        return;
    const auto picked = [&call](const QString& field) {
        return alt::pickedValue(field, call.names, call.values).trimmed();
    };
    m_szerelo->setText(picked(u"KOD"_s));
    m_szerelonev->setText(picked(u"NEV"_s));
    setOwnTechnician(picked(u"CEGKOD"_s) == Td::instance().ownCompany);
}

void Tkulsosfm::partOfDayChosen(int index)
{
    if (m_filling || index < 0)
        return;
    const QString dedu = m_dedu->itemText(index);
    if (dedu == u"De"_s)
        m_ora->setCurrentIndex(m_ora->findText(u"08"_s));
    else if (dedu == u"Du"_s)
        m_ora->setCurrentIndex(m_ora->findText(u"13"_s));
}

void Tkulsosfm::dateLeft(QLineEdit* edit)
{
    if (!edit->text().isEmpty() && !alt::validateDate(edit->text(), true))
        edit->setFocus();
}

void Tkulsosfm::exportRows()
{
    db::Query q;
    q.setSql(externalJobListSql(m_all->isChecked(), m_order->currentIndex()));
    q.bind(u"datumtol"_s, m_from->text());
    q.bind(u"datumig"_s, m_to->text());
    q.bind(u"cegkod"_s, Td::instance().ownCompany);
    data::QueryRows rows(q, u"MUNKA"_s);
    reports::TQexportfm::instance().exportRows(rows);
}

} // namespace mivo::workflow
