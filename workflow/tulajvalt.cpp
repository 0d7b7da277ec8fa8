#include "tulajvalt.h"

#include "customerpick.h"
#include "ownerchange.h"
#include "postalcode.h"

#include "core/altproc.h"
#include "core/fieldedit.h"
#include "core/getdatum.h"
#include "core/messages.h"
#include "core/rowlist.h"
#include "framework/torzsmodel.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"
#include "platform/fieldtypes.h"
#include "reports/dailyprint.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlField>
#include <QSqlRecord>
#include <QTableView>
#include <QVBoxLayout>

#include <optional>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

QPushButton* smallButton(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(text) + 24);
    return b;
}

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

} // namespace

Ttulajvaltfm::Ttulajvaltfm(QWidget* parent)
    : Screen(parent), m_rows(new TorzsModel(u"d_mivo"_s, this)), m_view(new QTableView(this)),
      m_sort(new QComboBox(this)), m_search(new QLineEdit(this)), m_edit(new QWidget(this)),
      m_ugyfelnev(fieldEdit(u"e_ugyfelnev"_s, 60, m_edit, 50)),
      m_irszam(fieldEdit(u"e_irszam"_s, 4, m_edit)), m_varos(fieldEdit(u"e_varos"_s, 40, m_edit)),
      m_utca(fieldEdit(u"e_utca"_s, 40, m_edit)), m_tel(fieldEdit(u"e_tel"_s, 40, m_edit)),
      m_fax(fieldEdit(u"e_fax"_s, 20, m_edit)), m_mail(fieldEdit(u"e_mail"_s, 30, m_edit)),
      m_komment(fieldEdit(u"e_komment"_s, 100, m_edit, 50)),
      m_komment2(fieldEdit(u"e_komment2"_s, 100, m_edit, 50)),
      m_ktip(fieldEdit(u"e_ktip"_s, 30, m_edit)),
      m_ktipnev(fieldEdit(u"e_ktipnev"_s, 60, m_edit, 50)),
      m_gyariszam(fieldEdit(u"e_gyariszam"_s, 30, m_edit)),
      m_beuzemeles(fieldEdit(u"e_beuzemeles"_s, 10, m_edit)), m_kod(new QLabel(m_edit))
{
    setObjectName(u"Ttulajvaltfm"_s);
    m_printer = [this](const HistoryPrint& p) {
        reports::printHistory(p.ugyfel, p.keszulek, this);
    };
    m_rows->query().setLines(applianceListLines());
    m_rows->setGridColumns(applianceColumns());
    // The type comes from a pick only: its code and name are shown, not typed.
    m_ktip->setReadOnly(true);
    m_ktipnev->setReadOnly(true);
    m_kod->setObjectName(u"l_kod"_s);

    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    addCommandButton(u"modosit"_s, u"&Módosít"_s, [this] { modify(); });
    addCommandButton(u"plusz"_s, u"+"_s, [this] { add(); });
    addCommandButton(u"ok"_s, u"&OK"_s, [this] { store(); });
    addCommandButton(u"megsem"_s, u"Még&sem"_s, [this] { cancel(); });
    addCommandButton(u"frissit"_s, u"&Frissít"_s, [this] { refresh(); });
    addCommandButton(u"torles"_s, u"&Törlés"_s, [this] { remove(); });
    addCommandButton(u"lista"_s, u"&Lista"_s, [this] { printHistory(); });
    finishButtonBar();

    // Order and search.
    m_sort->setObjectName(u"rg_sorrend"_s);
    for (const ApplianceOrder& o : applianceOrders())
        m_sort->addItem(o.caption);
    m_sort->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_search->setObjectName(u"e_keres"_s);
    m_search->setMinimumWidth(m_search->fontMetrics().horizontalAdvance(u'0') * 40);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(u"Sorrend:"_s, this));
    searchRow->addWidget(m_sort);
    searchRow->addSpacing(16);
    searchRow->addWidget(new QLabel(u"Keresni:"_s, this));
    searchRow->addWidget(m_search);
    searchRow->addStretch();
    connect(m_sort, &QComboBox::activated, this, &Ttulajvaltfm::sortBy);
    connect(m_search, &QLineEdit::textChanged, this, &Ttulajvaltfm::search);

    // The list.
    setUpRowList(m_view, u"DBGrid1"_s, m_rows);
    m_view->horizontalHeader()->setStretchLastSection(true);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Ttulajvaltfm::rowChanged);

    // The edit area.
    m_edit->setObjectName(u"p_szerkeszt"_s);
    auto* ownerPick = smallButton(u"b_ugyfel"_s, u"?"_s, m_edit);
    auto* postalPick = smallButton(u"b_irszam"_s, u"?"_s, m_edit);
    auto* typePick = smallButton(u"b_ktip"_s, u"?"_s, m_edit);
    auto* calendar = smallButton(u"b_naptar"_s, u"Naptár"_s, m_edit);
    auto* grid = new QGridLayout(m_edit);
    const auto row = [&](int r, const QString& label, std::initializer_list<QWidget*> widgets) {
        grid->addWidget(caption(label, m_edit), r, 0);
        auto* line = new QHBoxLayout;
        for (QWidget* w : widgets)
            line->addWidget(w);
        line->addStretch();
        grid->addLayout(line, r, 1);
    };
    row(0, u" Ügyfél neve:"_s, {m_ugyfelnev, ownerPick});
    row(1, u" Ügyfél címe:"_s, {m_irszam, postalPick, m_varos, m_utca});
    {
        grid->addWidget(caption(u" Telefon:"_s, m_edit), 2, 0);
        auto* line = new QHBoxLayout;
        line->addWidget(m_tel);
        line->addSpacing(12);
        line->addWidget(caption(u" Fax:"_s, m_edit));
        line->addWidget(m_fax);
        line->addSpacing(12);
        line->addWidget(caption(u" E-mail:"_s, m_edit));
        line->addWidget(m_mail);
        line->addStretch();
        grid->addLayout(line, 2, 1);
    }
    row(3, u" Megjegyzés:"_s, {m_komment});
    row(4, u" Megjegyzés 2:"_s, {m_komment2});
    row(5, u" Készülék típus:"_s, {m_ktip, m_ktipnev, typePick});
    row(6, u" Gyári szám:"_s, {m_gyariszam});
    row(7, u" Beüzemelés kelte::"_s, {m_beuzemeles, calendar, m_kod});
    grid->setColumnStretch(1, 1);
    connect(ownerPick, &QPushButton::clicked, this, &Ttulajvaltfm::pickOwner);
    connect(postalPick, &QPushButton::clicked, this, &Ttulajvaltfm::pickPostalCode);
    connect(typePick, &QPushButton::clicked, this, &Ttulajvaltfm::pickType);
    connect(calendar, &QPushButton::clicked, this, &Ttulajvaltfm::pickCommissioningDate);
    connect(m_irszam, &QLineEdit::editingFinished, this, &Ttulajvaltfm::postalCodeLeft);
    connect(m_beuzemeles, &QLineEdit::editingFinished, this, &Ttulajvaltfm::commissioningDateLeft);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBar());
    layout->addLayout(searchRow);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_edit);
    // Room for the eight columns at their display widths and a screenful of appliances.
    resize(1840, 960);
}

Ttulajvaltfm::~Ttulajvaltfm() = default;

void Ttulajvaltfm::initialise()
{
    setBrowsing(true);
    m_filling = true;
    m_search->clear();
    m_filling = false;
    // The first order; a re-opening stays on the appliance it showed.
    sortBy(0);
    // Widths come from the display widths, never from measuring a full list.
    const QFontMetrics fm(m_view->font());
    const QList<TorzsGridColumn>& columns = m_rows->gridColumns();
    const QSqlRecord& s = m_rows->structure();
    for (int i = 0; i < columns.size(); ++i) {
        const int width = s.indexOf(columns[i].field) < 0
                              ? 10
                              : data::columnOf(s.field(columns[i].field)).displayWidth;
        m_view->horizontalHeader()->resizeSection(
            i, fm.averageCharWidth() *
                       std::clamp(std::max<int>(width, int(columns[i].title.size())), 6, 40) +
                   12);
    }
}

void Ttulajvaltfm::closeEvent(QCloseEvent* event)
{
    // The list lives while the screen is used.
    m_rows->query().close();
    Screen::closeEvent(event);
}

int Ttulajvaltfm::currentAppliance() const
{
    const int row = m_view->currentIndex().row();
    return row >= 0 && row < m_rows->rowCount() ? m_rows->value(row, u"KOD"_s).toInt() : 0;
}

QString Ttulajvaltfm::rowText(const QString& field) const
{
    const int row = m_view->currentIndex().row();
    return row >= 0 ? alt::variantText(m_rows->value(row, field)).trimmed() : QString();
}

void Ttulajvaltfm::setCurrentRow(int row)
{
    if (row >= 0 && row < m_rows->rowCount())
        m_view->setCurrentIndex(m_rows->index(row, 0));
}

void Ttulajvaltfm::reopenAt(int kod)
{
    QString error;
    if (!m_rows->reopen(&error))
        messages::showError(error);
    const int before = m_view->currentIndex().row();
    const int row = kod > 0 && m_rows->rowCount() > 0 ? m_rows->locate({u"KOD"_s}, {kod}) : -1;
    setCurrentRow(row >= 0 ? row : m_rows->first());
    // Without a move (an empty list) the fields still follow the list.
    if (m_view->currentIndex().row() == before)
        rowChanged();
}

void Ttulajvaltfm::refresh()
{
    if (m_mode != Mode::Browse)
        return;
    reopenAt(currentAppliance());
}

void Ttulajvaltfm::sortBy(int index)
{
    const auto& orders = applianceOrders();
    if (index < 0 || index >= int(orders.size()))
        return;
    const QString field = orders[size_t(index)].field;
    m_sort->setCurrentIndex(index);
    m_rows->query().setLines(applianceListLines(index));
    reopenAt(currentAppliance());
    const QSqlRecord& s = m_rows->structure();
    if (const int column = s.indexOf(field); column >= 0) {
        const int width = data::columnOf(s.field(column)).displayWidth;
        if (width > 0) {
            m_filling = true;
            m_search->setMaxLength(width);
            m_search->setText(m_search->text().left(width));
            m_filling = false;
        }
    }
    m_search->setFocus();
}

void Ttulajvaltfm::search(const QString& typed)
{
    if (m_filling || m_mode != Mode::Browse)
        return;
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        setCurrentRow(m_rows->first());
        return;
    }
    // The model finds the first row beginning with the longest matching beginning.
    const int row =
        m_rows->search(applianceOrders()[size_t(std::max(0, m_sort->currentIndex()))].field, text);
    if (row >= 0)
        setCurrentRow(row);
    else if (!m_rows->lastError().isEmpty())
        messages::showError(m_rows->lastError());
}

void Ttulajvaltfm::rowChanged()
{
    if (m_mode != Mode::Browse)
        return;
    Customer c;
    c.nev = rowText(u"UGYFELNEV"_s);
    c.irszam = rowText(u"UGYFELIRSZAM"_s);
    c.varos = rowText(u"UGYFELVAROS"_s);
    c.utca = rowText(u"UGYFELUTCA"_s);
    m_owner = rowText(u"UGYFELKOD"_s).toInt();
    if (m_owner > 0) {
        QString error;
        const std::optional<Customer> read = OwnerChange().customer(m_owner, &error);
        if (!read) {
            messages::showError(error);
        } else {
            c.telefon = read->telefon;
            c.fax = read->fax;
            c.email = read->email;
            c.komment = read->komment;
            c.komment2 = read->komment2;
        }
    }
    showCustomer(c);
    m_ktip->setText(rowText(u"ARUKOD"_s));
    m_ktipnev->setText(rowText(u"ARUNEV"_s));
    m_gyariszam->setText(rowText(u"GYARISZAM"_s));
    m_beuzemeles->setText(rowText(u"BEUZEMELES"_s));
    m_kod->setText(rowText(u"KOD"_s));
    m_typeRead = m_typeChosen = rowText(u"TIPUS"_s).toInt();
}

void Ttulajvaltfm::showCustomer(const Customer& c)
{
    m_filling = true;
    m_ugyfelnev->setText(c.nev);
    m_irszam->setText(c.irszam);
    m_varos->setText(c.varos);
    m_utca->setText(c.utca);
    m_tel->setText(c.telefon);
    m_fax->setText(c.fax);
    m_mail->setText(c.email);
    m_komment->setText(c.komment);
    m_komment2->setText(c.komment2);
    m_filling = false;
}

Customer Ttulajvaltfm::shownCustomer() const
{
    Customer c;
    c.kod = m_owner;
    c.nev = m_ugyfelnev->text();
    c.irszam = m_irszam->text();
    c.varos = m_varos->text();
    c.utca = m_utca->text();
    c.telefon = m_tel->text();
    c.fax = m_fax->text();
    c.email = m_mail->text();
    c.komment = m_komment->text();
    c.komment2 = m_komment2->text();
    return c;
}

void Ttulajvaltfm::setBrowsing(bool browsing)
{
    m_edit->setEnabled(!browsing);
    m_view->setEnabled(browsing);
    m_sort->setEnabled(browsing);
    m_search->setEnabled(browsing);
    for (const char16_t* name : {u"ok", u"megsem"})
        commands().command(QString::fromUtf16(name))->setEnabled(!browsing);
    for (const char16_t* name : {u"frissit", u"plusz", u"modosit", u"torles", u"lista"})
        commands().command(QString::fromUtf16(name))->setEnabled(browsing);
    if (browsing)
        m_mode = Mode::Browse;
    setEditing(!browsing);
}

void Ttulajvaltfm::startEditing(Mode mode)
{
    if (m_mode != Mode::Browse || (mode == Mode::Edit && currentAppliance() == 0))
        return;
    setBrowsing(false);
    m_mode = mode;
    m_remembered = shownCustomer();
    m_ugyfelnev->setFocus();
}

void Ttulajvaltfm::modify()
{
    startEditing(Mode::Edit);
}

void Ttulajvaltfm::add()
{
    startEditing(Mode::Insert);
    if (m_mode != Mode::Insert)
        return;
    // The type chosen stays the row's until a pick: an insert without one stores it.
    m_ktip->clear();
    m_ktipnev->clear();
    m_gyariszam->clear();
    m_beuzemeles->clear();
    m_kod->clear();
}

void Ttulajvaltfm::cancel()
{
    const Mode was = m_mode;
    setBrowsing(true);
    // What was typed gives way to the row again.
    if (was != Mode::Browse)
        rowChanged();
}

void Ttulajvaltfm::store()
{
    if (m_mode == Mode::Browse)
        return;
    // A click can reach "&OK" without the check on leaving the date.
    const std::optional<QString> date = storedCommissioningDate(m_beuzemeles->text());
    if (!date) {
        messages::show(u"Hibás dátum.\n"_s + m_beuzemeles->text());
        m_beuzemeles->setFocus();
        return;
    }
    const int kod = currentAppliance();
    const ApplianceValues typed{m_owner, m_typeChosen, m_gyariszam->text(), *date};
    const OwnerChange owner;
    bool stored = false;
    if (m_mode == Mode::Insert) {
        const WriteResult r = owner.insert(typed, nullptr);
        if (!r.ok()) {
            messages::showError(r.message);
            return;
        }
        stored = true;
    } else {
        const ApplianceValues read{rowText(u"UGYFELKOD"_s).toInt(), m_typeRead,
                                   rowText(u"GYARISZAM"_s), rowText(u"BEUZEMELES"_s)};
        if (typed != read && messages::confirm(u"A készülék adatainak változása tárolható?"_s)) {
            const WriteResult r = owner.update(kod, typed);
            if (!r.ok()) {
                messages::showError(r.message);
                return;
            }
            stored = true;
        }
    }
    Customer onScreen = shownCustomer();
    Customer remembered = m_remembered;
    remembered.kod = onScreen.kod;
    if (onScreen != remembered && m_owner > 0 &&
        messages::confirm(u"Tároljuk az ügyfél adatainak változását?"_s)) {
        const WriteResult r = owner.saveCustomer(onScreen, remembered);
        if (!r.ok()) {
            messages::showError(r.message);
            // Typing stays for another try unless the appliance is stored already (a
            // second "&OK" would add it twice).
            if (!stored)
                return;
        }
    }
    setBrowsing(true);
    reopenAt(kod);
}

void Ttulajvaltfm::remove()
{
    const int kod = currentAppliance();
    if (m_mode != Mode::Browse || kod == 0)
        return;
    if (!messages::confirm(u"Törli a készüléket a nyilvántartásból?"_s))
        return;
    const WriteResult r = OwnerChange().markDeleted(kod);
    if (!r.ok())
        messages::showError(r.message);
    cancel();
    reopenAt(kod);
}

void Ttulajvaltfm::printHistory()
{
    const int kod = currentAppliance();
    if (m_mode != Mode::Browse || kod == 0)
        return;
    m_printer({false, rowText(u"UGYFELKOD"_s).toInt(), kod});
}

void Ttulajvaltfm::pickOwner()
{
    const std::optional<Customer> picked = chooseCustomer(m_ugyfelnev->text());
    if (!picked)
        return;
    m_owner = picked->kod;
    m_remembered = *picked;
    showCustomer(*picked);
}

void Ttulajvaltfm::pickPostalCode()
{
    const std::optional<TorzsCall> call = pickRow(u"IRSZAM"_s, {}, m_varos->text());
    if (!call)
        return;
    m_irszam->setText(pickedField(*call, u"IRSZAM"_s));
    m_varos->setText(pickedField(*call, u"HELYSEG"_s));
}

void Ttulajvaltfm::postalCodeLeft()
{
    const QString code = m_irszam->text().trimmed();
    if (m_filling || code.isEmpty() || m_mode == Mode::Browse)
        return;
    QString error;
    const std::optional<QString> town = townOfPostalCode(code, &error);
    if (!error.isEmpty())
        messages::showError(error);
    if (town)
        m_varos->setText(*town);
}

void Ttulajvaltfm::pickType()
{
    const std::optional<TorzsCall> call =
        pickRow(u"ARU"_s, u"Where JELLEG='K'"_s, m_ktipnev->text());
    if (!call)
        return;
    m_typeChosen = pickedField(*call, u"BELSOKOD"_s).toInt();
    m_ktip->setText(pickedField(*call, u"KOD"_s));
    m_ktipnev->setText(pickedField(*call, u"NEV"_s));
}

void Ttulajvaltfm::pickCommissioningDate()
{
    const QString date = pickDate(m_beuzemeles->text());
    if (!date.isEmpty())
        m_beuzemeles->setText(date);
}

void Ttulajvaltfm::commissioningDateLeft()
{
    if (m_mode == Mode::Browse || storedCommissioningDate(m_beuzemeles->text()))
        return;
    messages::show(u"Hibás dátum.\n"_s + m_beuzemeles->text());
    m_beuzemeles->setFocus();
}

} // namespace mivo::workflow
