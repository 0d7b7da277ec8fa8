#include "levelgen.h"

#include "letterlist.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/getdatum.h"
#include "core/messages.h"
#include "framework/torzskvarcel.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"
#include "platform/rowsource.h"
#include "reports/workbooksave.h"
#include "workflow/elozmeny.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

const QString helpText =
    u"   Haladjon sorban.\n   Először adja meg a kihagyásra vonatkozó és az egyéb szűrő "
    u"feltételeket\n   Határozza meg, kinek küld levelet!\n1. Ügyfelek kiválogatása\n   A "
    u"törölt ügyelek nem szerepelnek majd a leválogatásban\n   Utána még módosíthatja a "
    u"feltételeket, de ekkor ne feledje el megnyomni a gombot\n2. Feltételek elfogadása\n   A "
    u"kijelöléseket módosíthatja a képernyő alsó felén levő táblázatban.\n   Végül tárolja le az "
    u"adatokat.\n3. Cím adatok tárolása\n   A letárolt adatokat felhasználhatja körlevél "
    u"készítéséhez."_s;

QCheckBox* checkBox(const QString& name, const QString& text, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QLineEdit* dateEdit(const QString& name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(10);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(u"0000.00.000"_s) + 16);
    return edit;
}

QPushButton* button(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

Tlevelgenfm::Tlevelgenfm(QWidget* parent)
    : Screen(parent), m_list(new LetterList(this)),
      m_karb(checkBox(u"cb_karb"_s, u"volt karbantartása a dátumot követően"_s, this)),
      m_karbDate(dateEdit(u"e_karb"_s, this)),
      m_beuz(checkBox(u"cb_beuz"_s, u" beüzemelés nincs ebben az időszakban"_s, this)),
      m_beuzFrom(dateEdit(u"e_beuztol"_s, this)), m_beuzTo(dateEdit(u"e_beuzig"_s, this)),
      m_threeYears(
          checkBox(u"cb_3ev"_s, u"utolsó 3 év azonos időszakát is figyelembe véve"_s, this)),
      m_beuzdat(checkBox(u"cb_beuzdat"_s, u" beüzemelve ebben az időszakban volt"_s, this)),
      m_beuzdatFrom(dateEdit(u"e_beuzdattol"_s, this)),
      m_beuzdatTo(dateEdit(u"e_beuzdatig"_s, this)),
      m_noAnswer(checkBox(u"cb_nolevel"_s, u"nem válaszolt a múltkori levélre"_s, this)),
      m_groupsOnly(checkBox(u"cb_keszulekcsop"_s, u"Csak ezek a készülék csoportok"_s, this)),
      m_groups(new QLineEdit(this)),
      m_typeName(checkBox(u"cb_keszuleknev"_s, u" Készülék megnevezést is kérek"_s, this)),
      m_emailSeparate(checkBox(u"cb_emailkulon"_s, u"Az e-maileseket külön tároljuk"_s, this)),
      m_view(new QListView(this)), m_lineCount(new QLabel(this)), m_tickedCount(new QLabel(this))
{
    setObjectName(u"Tlevelgenfm"_s);
    buttonBar()->hide();
    m_groups->setObjectName(u"e_arucsop"_s);
    m_view->setObjectName(u"cb_kell"_s);
    m_view->setModel(m_list);
    m_view->setUniformItemSizes(true);
    m_lineCount->setObjectName(u"l_ugyfel"_s);
    m_tickedCount->setObjectName(u"l_felt"_s);

    auto* layout = new QVBoxLayout(this);
    auto* menu = new QMenuBar(this);
    layout->setMenuBar(menu);
    QMenu* data = menu->addMenu(u"Levél alapadatok"_s);
    data->setObjectName(u"m_alapadatok"_s);
    data->addAction(u"Minden ügyfél kell"_s, this, &Tlevelgenfm::selectAll)
        ->setObjectName(u"mi_minden"_s);
    data->addAction(u"Ügyfelek kiválogatása"_s, this, [this] { selectCustomers(); })
        ->setObjectName(u"mi_kivalogat"_s);
    data->addAction(u"Tárolás"_s, this, &Tlevelgenfm::store)->setObjectName(u"mi_tarolas"_s);
    menu->addAction(u"Segítség!"_s, this, [] { messages::show(helpText, MessageKind::Dialog); })
        ->setObjectName(u"mi_segitseg"_s);
    menu->addAction(u"Vissza"_s, this, &QWidget::close)->setObjectName(u"mi_vissza"_s);

    // The conditions at the left, the steps beside them.
    auto* top = new QHBoxLayout;
    auto* conditionBox = new QGroupBox(this);
    auto* grid = new QGridLayout(conditionBox);
    const auto dayButton = [this](const QString& name, QLineEdit* edit) {
        QPushButton* b = button(name, u"Nap"_s, this);
        connect(b, &QPushButton::clicked, this, [edit] { edit->setText(pickDate(edit->text())); });
        return b;
    };
    int row = 0;
    grid->addWidget(m_karb, row, 0);
    grid->addWidget(m_karbDate, row, 1);
    grid->addWidget(dayButton(u"b_karbnap"_s, m_karbDate), row, 2);
    ++row;
    grid->addWidget(m_beuz, row, 0);
    grid->addWidget(m_beuzFrom, row, 1);
    grid->addWidget(dayButton(u"b_beuztolnap"_s, m_beuzFrom), row, 2);
    grid->addWidget(m_beuzTo, row, 3);
    grid->addWidget(dayButton(u"b_beuzignap"_s, m_beuzTo), row, 4);
    ++row;
    grid->addWidget(m_threeYears, row, 0, 1, 5);
    ++row;
    grid->addWidget(m_beuzdat, row, 0);
    grid->addWidget(m_beuzdatFrom, row, 1);
    grid->addWidget(dayButton(u"b_beuzdattolnap"_s, m_beuzdatFrom), row, 2);
    grid->addWidget(m_beuzdatTo, row, 3);
    grid->addWidget(dayButton(u"b_beuzdatignap"_s, m_beuzdatTo), row, 4);
    ++row;
    grid->addWidget(m_noAnswer, row, 0, 1, 5);
    ++row;
    grid->addWidget(m_groupsOnly, row, 0);
    grid->addWidget(m_groups, row, 1, 1, 3);
    QPushButton* groupButton = button(u"b_arucsop"_s, u"?"_s, this);
    connect(groupButton, &QPushButton::clicked, this, &Tlevelgenfm::pickGroup);
    grid->addWidget(groupButton, row, 4);
    ++row;
    grid->addWidget(m_typeName, row, 0, 1, 5);
    ++row;
    grid->addWidget(m_emailSeparate, row, 0, 1, 5);
    grid->setColumnStretch(5, 1);
    top->addWidget(conditionBox, 1);

    auto* steps = new QVBoxLayout;
    const auto step = [this, steps](const QString& name, const QString& text, auto run) {
        QPushButton* b = button(name, text, this);
        connect(b, &QPushButton::clicked, this, run);
        steps->addWidget(b);
    };
    step(u"b_kivalogat"_s, u"1. Ügyfelek kiválogatása  "_s, [this] { selectCustomers(); });
    step(u"b_elfogad"_s, u"2. &Feltételek elfogadása    "_s, [this] { acceptConditions(); });
    step(u"b_tarol"_s, u"3. Cím adatok tárolása       "_s, [this] { store(); });
    step(u"b_email"_s, u"4. E-mail küldése a címekre"_s, [this] { sendEmails(); });
    steps->addStretch();
    top->addLayout(steps);
    layout->addLayout(top);

    // The list with its buttons and counters.
    auto* listButtons = new QHBoxLayout;
    QPushButton* all = button(u"b_mind"_s, u"&Mind kell"_s, this);
    connect(all, &QPushButton::clicked, this, [this] { m_list->setAllTicked(true); });
    QPushButton* none = button(u"b_egyiksem"_s, u"&Egyik sem kell"_s, this);
    connect(none, &QPushButton::clicked, this, [this] { m_list->setAllTicked(false); });
    QPushButton* history = button(u"b_tortenet"_s, u"&Történeti áttekintés"_s, this);
    connect(history, &QPushButton::clicked, this, &Tlevelgenfm::showHistory);
    listButtons->addWidget(all);
    listButtons->addWidget(none);
    listButtons->addWidget(history);
    listButtons->addStretch();
    listButtons->addWidget(new QLabel(u"Összes készülék:"_s, this));
    listButtons->addWidget(m_lineCount);
    listButtons->addSpacing(24);
    listButtons->addWidget(new QLabel(u"Feltételek után"_s, this));
    listButtons->addWidget(m_tickedCount);
    for (QLabel* count : {m_lineCount, m_tickedCount})
        count->setMinimumWidth(count->fontMetrics().horizontalAdvance(u"0000000"_s));
    layout->addLayout(listButtons);
    layout->addWidget(m_view, 1);

    connect(m_list, &LetterList::tickedCountChanged, this, &Tlevelgenfm::showCounts);
    resize(1400, 900);
}

void Tlevelgenfm::initialise()
{
    setWindowTitle(u"Levél alapadatok generálása"_s);
    const LetterConditions c = LetterConditions::presets(clock::today());
    m_karb->setChecked(c.maintenance);
    m_karbDate->setText(c.maintenanceFrom);
    m_beuz->setChecked(c.commissioningJob);
    m_beuzFrom->setText(c.jobFrom);
    m_beuzTo->setText(c.jobTo);
    m_threeYears->setChecked(c.threeYears);
    m_beuzdat->setChecked(c.commissioned);
    m_beuzdatFrom->setText(c.commissionedFrom);
    m_beuzdatTo->setText(c.commissionedTo);
    m_noAnswer->setChecked(c.unanswered);
    m_groupsOnly->setChecked(c.groupsOnly);
    m_groups->setText(c.groups);
    m_typeName->setChecked(c.typeName);
    m_emailSeparate->setChecked(c.emailSeparate);
    m_condition.clear();
    m_fields.clear();
    m_storedDate.clear();
    m_storedTime.clear();
    m_list->clear();
    showCounts();
}

LetterConditions Tlevelgenfm::conditions() const
{
    LetterConditions c;
    c.maintenance = m_karb->isChecked();
    c.maintenanceFrom = m_karbDate->text().trimmed();
    c.commissioningJob = m_beuz->isChecked();
    c.jobFrom = m_beuzFrom->text().trimmed();
    c.jobTo = m_beuzTo->text().trimmed();
    c.threeYears = m_threeYears->isChecked();
    c.commissioned = m_beuzdat->isChecked();
    c.commissionedFrom = m_beuzdatFrom->text().trimmed();
    c.commissionedTo = m_beuzdatTo->text().trimmed();
    c.unanswered = m_noAnswer->isChecked();
    c.groupsOnly = m_groupsOnly->isChecked();
    c.groups = m_groups->text();
    c.typeName = m_typeName->isChecked();
    c.emailSeparate = m_emailSeparate->isChecked();
    return c;
}

void Tlevelgenfm::selectCustomers()
{
    QString condition;
    QString fields = m_fields;
    const bool given = OpenTorzskvarcel(this, u"UGYFEL"_s, &condition, &fields, nullptr);
    if (given)
        m_fields = fields;
    if (given && !condition.trimmed().isEmpty()) {
        m_condition = condition;
    } else if (messages::confirm(u"Nem adott meg feltételt. Minden ügyfél kell?"_s)) {
        m_condition.clear();
    } else {
        return;
    }
    buildList();
}

void Tlevelgenfm::selectAll()
{
    m_condition.clear();
    buildList();
}

void Tlevelgenfm::buildList()
{
    QString error;
    if (!m_list->select(m_condition, extraCustomerFields(m_fields), conditions(), &error))
        messages::showError(error);
}

void Tlevelgenfm::acceptConditions()
{
    const LetterConditions c = conditions();
    if (const QString refusal = c.refusal(); !refusal.isEmpty()) {
        messages::show(refusal);
        return;
    }
    m_list->setStored(false);
    if (m_list->rowCount() == 0) {
        // A No leaves the list as it is: empty.
        selectCustomers();
        if (m_list->rowCount() == 0) {
            messages::show(u"Nincs leválogatva ügyfél."_s);
            return;
        }
    }
    QString error;
    if (!m_list->applyConditions(c, &error))
        messages::showError(error);
    showCounts();
}

void Tlevelgenfm::store()
{
    if (m_list->rowCount() == 0) {
        messages::show(u"Először futtassa az 1. vagy 2. pontot!"_s);
        return;
    }
    const QString today = clock::today().toString(u"yyyy.MM.dd"_s);
    if (!m_list->stored()) {
        const QString time = clock::now().toString(u"HH:mm:ss"_s);
        QString error;
        if (!storeLetters(*m_list, today, time, &error)) {
            messages::showError(error);
            return;
        }
        m_storedDate = today;
        m_storedTime = time;
        m_list->setStored(true);
    }
    std::vector<LetterSheet> sheets = letterSheets(
        m_storedDate, m_storedTime, extraCustomerFields(m_fields), m_emailSeparate->isChecked());
    std::vector<std::unique_ptr<data::QueryRows>> rows;
    std::vector<data::SheetRows> workbook;
    for (LetterSheet& sheet : sheets) {
        rows.push_back(std::make_unique<data::QueryRows>(*sheet.rows, sheet.name));
        workbook.push_back({rows.back().get(), sheet.name});
    }
    reports::saveWorkbook(workbook, {}, true, {}, true);
}

void Tlevelgenfm::sendEmails()
{
    const QString today = clock::today().toString(u"yyyy.MM.dd"_s);
    QString error;
    // The addressees of this screen's storing; without one today, the day's latest.
    const QString time = m_storedDate == today ? m_storedTime : latestStoring(today, &error);
    int sent = 0;
    if (!time.isEmpty())
        sent = mailLetters(today, time, LetterMailSettings::fromIni(), &error);
    if (!error.isEmpty()) {
        messages::showError(error);
        return;
    }
    if (sent > 0)
        messages::show(QString::number(sent) + u" db e-mailt elküldtünk."_s, MessageKind::Dialog);
    else
        messages::show(u"Nincs kinek küldeni"_s);
}

void Tlevelgenfm::showHistory()
{
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return;
    const int ugyfel = m_list->lines()[size_t(current.row())].ugyfel;
    if (!m_history)
        m_history = new workflow::Telozmenyfm(this);
    m_history->setWindowTitle(u"Előzmény lista"_s);
    m_history->prepare({});
    if (!m_history->setCustomer(ugyfel))
        return;
    m_history->setWindowModality(Qt::ApplicationModal);
    m_history->show();
    m_history->raise();
    m_history->activateWindow();
}

void Tlevelgenfm::pickGroup()
{
    TorzsCall call;
    call.tableSpec = u"CSOPORT1"_s;
    call.selectionMode = true;
    if (!OpenTorzs(call))
        return;
    const QString code = alt::pickedValue(u"KOD"_s, call.names, call.values).trimmed();
    if (code.isEmpty())
        return;
    LetterConditions c;
    c.groups = m_groups->text();
    // Whole codes count: "GK" is not in "GKX,".
    if (c.groupCodes().contains(code))
        return;
    QString text = m_groups->text().trimmed();
    if (!text.isEmpty() && !text.endsWith(u','))
        text += u',';
    m_groups->setText(text + code + u',');
}

void Tlevelgenfm::showCounts()
{
    m_lineCount->setNum(m_list->rowCount());
    m_tickedCount->setNum(m_list->tickedCount());
}

} // namespace mivo::exchange
