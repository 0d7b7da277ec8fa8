#include "kvarcel5.h"

#include "kvarcel5blob.h"
#include "kvarcelbuilder.h"
#include "kvarcelcondition.h"
#include "kvarcelitems.h"

#include "core/dat.h"
#include "core/messages.h"
#include "platform/fieldtypes.h"
#include "platform/filedialog.h"
#include "reports/report.h"
#include "reports/reportprint.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

namespace
{

const QString caption = u"Kvarcel 5.0"_s;
const QString parameterFilter = u"Lekérdezés (*.SQL *.sql)"_s;

QPushButton* button(const QString& name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QCheckBox* option(const QString& name, const QString& text, QWidget* parent)
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    return c;
}

// Runs an action for some keys of a widget (Enter in a value box).
class KeyFilter : public QObject
{
public:
    KeyFilter(QObject* parent, std::function<bool(QKeyEvent*)> onKey, std::function<void()> onLeave)
        : QObject(parent), m_onKey(std::move(onKey)), m_onLeave(std::move(onLeave))
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && m_onKey && m_onKey(static_cast<QKeyEvent*>(event)))
            return true;
        if (event->type() == QEvent::FocusOut && m_onLeave)
            m_onLeave();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QKeyEvent*)> m_onKey;
    std::function<void()> m_onLeave;
};

} // namespace

Tkvarcel5fm::Tkvarcel5fm(QWidget* parent) : Screen(parent), m_builder(std::make_unique<Builder>())
{
    setObjectName(u"Tkvarcel5fm"_s);
    setWindowTitle(caption);
    // The builder's own connection takes the main connection's settings once, here.
    QString error;
    if (!m_builder->connect(&error))
        m_connectError = error;

    m_items = new ItemGridModel(m_builder->catalogue(), this);
    connect(m_items, &ItemGridModel::itemChosen, this, &Tkvarcel5fm::itemChosen);

    QPushButton* go = addCommandButton(u"gosql"_s, u"Indul "_s, [this] { indul(); });
    go->setToolTip(u"Az eredménytábla előállítása"_s);
    QPushButton* fresh = addCommandButton(u"uj"_s, u"Új lekérdezés"_s, [this] { ujLekerdezes(); });
    fresh->setToolTip(u"Az eddig megadott paraméterek törlődnek!"_s);
    addCommandButton(u"mentes"_s, u"Mentés"_s, [this] { mentes(); });
    addCommandButton(u"megnyitas"_s, u"Megnyitás"_s, [this] { megnyitas(); });
    addCommandButton(u"lista"_s, u"Lista"_s, [this] { lista(); });
    QPushButton* table =
        addCommandButton(u"adattabla"_s, u"adattáblába"_s, [this] { adattablaba(); });
    table->setToolTip(u"pl. dBaseIII, TXT, paradox"_s);
    addCommandButton(u"excel"_s, u"excelbe"_s, [this] { excelbe(); });
    addCommandButton(u"kesz"_s, u"Parancsba ad"_s, [this] { parancsbaAd(); });
    addCommandButton(u"halado"_s, u"haladóknak"_s, [this] { haladoValtas(); });
    finishButtonBar();

    auto* top = new QWidget(this);
    buildItemArea(top);

    auto* bottom = new QWidget(this);
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    m_advanced = new QWidget(bottom);
    m_advanced->setObjectName(u"p_halado"_s);
    buildAdvancedArea(m_advanced);
    bottomLayout->addWidget(m_advanced);
    m_display = new QPlainTextEdit(bottom);
    m_display->setObjectName(u"m_kiiras"_s);
    m_display->setReadOnly(true);
    m_display->setMaximumHeight(90);
    m_display->hide();
    bottomLayout->addWidget(m_display);
    m_resultLabel = new QLabel(bottom);
    m_resultLabel->setObjectName(u"l_eredmeny"_s);
    bottomLayout->addWidget(m_resultLabel);
    m_resultGrid = new QTableView(bottom);
    m_resultGrid->setObjectName(u"grid_eredmeny"_s);
    m_resultGrid->setToolTip(u"A lekérdezés eredménytáblája"_s);
    m_resultGrid->setModel(&m_builder->result());
    m_resultGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_resultGrid->verticalHeader()->setDefaultSectionSize(20);
    connect(m_resultGrid, &QTableView::doubleClicked, this, &Tkvarcel5fm::showCellViewer);
    connect(m_resultGrid, &QTableView::clicked, this, [this](const QModelIndex& index) {
        const auto& columns = m_builder->result().columns();
        if (index.isValid() && index.column() < int(columns.size())) {
            const data::FieldKind kind = columns[size_t(index.column())].kind;
            if (kind == data::FieldKind::Memo || kind == data::FieldKind::Blob)
                showCellViewer(index);
        }
    });
    bottomLayout->addWidget(m_resultGrid, 1);
    m_progress = new QProgressBar(bottom);
    m_progress->setObjectName(u"ProgressBar1"_s);
    m_progress->setValue(0);
    bottomLayout->addWidget(m_progress);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(top);
    splitter->addWidget(bottom);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(buttonBar());
    layout->addWidget(splitter, 1);
    resize(1100, 760);
}

Tkvarcel5fm::~Tkvarcel5fm() = default;

void Tkvarcel5fm::buildItemArea(QWidget* area)
{
    auto* layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* left = new QVBoxLayout;
    m_tabs = new QTabBar(area);
    m_tabs->setObjectName(u"tabs"_s);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) {
        if (tab >= 0)
            m_items->setTab(tab);
    });
    left->addWidget(m_tabs);
    m_itemGrid = new QTableView(area);
    m_itemGrid->setObjectName(u"grid_tetelek"_s);
    m_itemGrid->setModel(m_items);
    m_itemGrid->setColumnHidden(ItemGridModel::Alias, true);
    m_itemGrid->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    m_itemGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_itemGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_itemGrid->verticalHeader()->setDefaultSectionSize(20);
    m_itemGrid->setColumnWidth(ItemGridModel::Megnevezes, 230);
    m_itemGrid->setColumnWidth(ItemGridModel::Kell, 40);
    m_itemGrid->setColumnWidth(ItemGridModel::Sorrend, 60);
    m_itemGrid->setColumnWidth(ItemGridModel::Feltetel, 260);
    m_itemGrid->setColumnWidth(ItemGridModel::Csoport, 60);
    connect(m_itemGrid, &QTableView::clicked, this,
            [this](const QModelIndex& index) { m_items->click(index); });
    left->addWidget(m_itemGrid, 1);
    layout->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    auto* titleLabel = new QLabel(u"A lista címsora:"_s, area);
    titleLabel->setObjectName(u"l_cim"_s);
    right->addWidget(titleLabel);
    m_title = new QLineEdit(area);
    m_title->setObjectName(u"e_cim"_s);
    connect(m_title, &QLineEdit::textEdited, this,
            [this](const QString& t) { m_builder->title = t; });
    right->addWidget(m_title);

    QPushButton* define = button(u"b_feltetel"_s, u"Feltétel megadása"_s, area);
    connect(define, &QPushButton::clicked, this, &Tkvarcel5fm::feltetelMegadasa);
    right->addWidget(define);
    QPushButton* clear = button(u"b_feltetel_torles"_s, u"Feltétel törlése"_s, area);
    connect(clear, &QPushButton::clicked, this, [this] {
        const int item = currentItem();
        if (item >= 0) {
            m_builder->catalogue().items()[size_t(item)].feltetel.clear();
            m_items->refresh();
        }
    });
    right->addWidget(clear);
    QPushButton* clearAll =
        button(u"b_minden_feltetel_torles"_s, u"Minden feltétel törlése"_s, area);
    connect(clearAll, &QPushButton::clicked, this, [this] {
        for (ListItem& i : m_builder->catalogue().items())
            i.feltetel.clear();
        m_items->refresh();
    });
    right->addWidget(clearAll);
    QPushButton* negate = button(u"b_ellentet"_s, u"Feltétel ellentéte"_s, area);
    connect(negate, &QPushButton::clicked, this, [this] {
        const int item = currentItem();
        if (item >= 0) {
            QString& c = m_builder->catalogue().items()[size_t(item)].feltetel;
            c = toggleNegation(c);
            m_items->refresh();
        }
    });
    right->addWidget(negate);

    m_nullas = option(u"cb_nullas"_s, u"Kellenek a csupa nullás sorok"_s, area);
    m_kilepettek = option(u"cb_kilepettek"_s, u"Kellenek a kilépettek is"_s, area);
    m_csakOsszesen = option(u"cb_csak_osszesen"_s, u"Csak az összesítő sorok kellenek"_s, area);
    m_berido = option(u"cb_BERIDO"_s, u"A teljes béridőszak egyben"_s, area);
    m_outer = option(u"cb_OUTER"_s, u"Csak ha minden táblában van sora"_s, area);
    m_lapdob = option(u"cb_LAPDOB"_s, u"Lapdobás csoportonként"_s, area);
    for (QCheckBox* c : {m_nullas, m_kilepettek, m_csakOsszesen, m_berido, m_outer, m_lapdob}) {
        connect(c, &QCheckBox::toggled, this, &Tkvarcel5fm::storeOptions);
        right->addWidget(c);
    }
    buildConditionPanel(area);
    right->addWidget(m_condition);
    right->addStretch();
    layout->addLayout(right, 2);
}

void Tkvarcel5fm::buildConditionPanel(QWidget* area)
{
    m_condition = new QFrame(area);
    m_condition->setObjectName(u"p_feltetel"_s);
    m_condition->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(m_condition);
    m_operators = new QListWidget(m_condition);
    m_operators->setObjectName(u"lb_muvelet"_s);
    for (const ConditionOperator& op : conditionOperators())
        m_operators->addItem(op.entry);
    m_operators->setMaximumHeight(200);
    connect(m_operators, &QListWidget::currentRowChanged, this, &Tkvarcel5fm::operatorChosen);
    m_operators->installEventFilter(new KeyFilter(this, {}, [this] { fixOperator(); }));
    grid->addWidget(m_operators, 0, 0, 1, 3);

    grid->addWidget(new QLabel(u"Érték:"_s, m_condition), 1, 0);
    m_value1 = new QLineEdit(m_condition);
    m_value1->setObjectName(u"e_ertek1"_s);
    grid->addWidget(m_value1, 1, 1);
    QPushButton* list1 = button(u"b_ertekek1"_s, u"..."_s, m_condition);
    connect(list1, &QPushButton::clicked, this, [this] { showValueList(1); });
    grid->addWidget(list1, 1, 2);
    m_value2Label = new QLabel(u"Érték 2 ( ig )"_s, m_condition);
    m_value2Label->setObjectName(u"l_ertek2"_s);
    grid->addWidget(m_value2Label, 2, 0);
    m_value2 = new QLineEdit(m_condition);
    m_value2->setObjectName(u"e_ertek2"_s);
    grid->addWidget(m_value2, 2, 1);
    m_values2Button = button(u"b_ertekek2"_s, u"..."_s, m_condition);
    connect(m_values2Button, &QPushButton::clicked, this, [this] { showValueList(2); });
    grid->addWidget(m_values2Button, 2, 2);
    m_value1->installEventFilter(new KeyFilter(this,
                                               [this](QKeyEvent* e) {
                                                   if (e->key() != Qt::Key_Return &&
                                                       e->key() != Qt::Key_Enter)
                                                       return false;
                                                   if (m_value2->isVisible())
                                                       m_value2->setFocus();
                                                   else
                                                       feltetelOk();
                                                   return true;
                                               },
                                               {}));
    m_value2->installEventFilter(new KeyFilter(this,
                                               [this](QKeyEvent* e) {
                                                   if (e->key() != Qt::Key_Return &&
                                                       e->key() != Qt::Key_Enter)
                                                       return false;
                                                   feltetelOk();
                                                   return true;
                                               },
                                               {}));

    m_valueList = new QListWidget(m_condition);
    m_valueList->setObjectName(u"lb_ertekek"_s);
    m_valueList->setMaximumHeight(160);
    m_valueList->hide();
    connect(m_valueList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        (m_valueBox == 2 ? m_value2 : m_value1)->setText(item->text());
        m_valueList->hide();
        m_operators->show();
    });
    grid->addWidget(m_valueList, 3, 0, 1, 3);

    auto* buttons = new QHBoxLayout;
    QPushButton* ok = button(u"b_ok"_s, u"&OK"_s, m_condition);
    connect(ok, &QPushButton::clicked, this, &Tkvarcel5fm::feltetelOk);
    QPushButton* cancel = button(u"b_megsem"_s, u"Mé&gsem"_s, m_condition);
    connect(cancel, &QPushButton::clicked, this, &Tkvarcel5fm::closeConditionPanel);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 4, 0, 1, 3);
    m_condition->hide();
}

void Tkvarcel5fm::buildAdvancedArea(QWidget* area)
{
    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    m_sql = new QPlainTextEdit(area);
    m_sql->setObjectName(u"m_sql"_s);
    m_sql->setToolTip(u"SQL utasitás - csak halandók irjanak bele!"_s);
    m_sql->setMinimumHeight(120);
    connect(m_sql, &QPlainTextEdit::textChanged, this,
            [this] { m_builder->statementText = m_sql->toPlainText(); });
    layout->addWidget(m_sql, 0, 0, 4, 1);
    m_log = new QListWidget(area);
    m_log->setObjectName(u"lb_eredmeny"_s);
    m_log->setMaximumWidth(220);
    layout->addWidget(m_log, 0, 1, 4, 1);

    auto* side = new QGridLayout;
    m_runLabel = new QLabel(area);
    m_runLabel->setObjectName(u"l_futas"_s);
    m_maxRunLabel = new QLabel(area);
    m_maxRunLabel->setObjectName(u"l_maxfutas"_s);
    side->addWidget(m_runLabel, 0, 0);
    side->addWidget(m_maxRunLabel, 0, 1);
    QPushButton* earlier = button(u"sb_elozo"_s, u"↑"_s, area);
    connect(earlier, &QPushButton::clicked, this, [this] { historyStep(-1); });
    QPushButton* later = button(u"sb_kovetkezo"_s, u"↓"_s, area);
    connect(later, &QPushButton::clicked, this, [this] { historyStep(1); });
    side->addWidget(earlier, 0, 2);
    side->addWidget(later, 0, 3);
    QPushButton* clearHistory = button(u"b_torol"_s, u"Töröl"_s, area);
    connect(clearHistory, &QPushButton::clicked, this, [this] {
        m_builder->clearHistory();
        refreshAdvanced();
    });
    side->addWidget(clearHistory, 0, 4);

    side->addWidget(new QLabel(u"Tábla :"_s, area), 1, 0);
    m_tables = new QComboBox(area);
    m_tables->setObjectName(u"cb_tabla"_s);
    side->addWidget(m_tables, 1, 1, 1, 2);
    m_newStatement = option(u"cb_ujutasitas"_s, u"Uj utasitas"_s, area);
    side->addWidget(m_newStatement, 1, 3, 1, 2);
    int column = 0;
    for (const QString& kind : {u"Select"_s, u"Insert"_s, u"Delete"_s, u"Update"_s}) {
        QPushButton* b = button(u"b_"_s + kind.toLower(), kind, area);
        connect(b, &QPushButton::clicked, this, [this, kind] {
            m_builder->addTemplate(kind, m_tables->currentText(), m_newStatement->isChecked());
            syncStatement();
        });
        side->addWidget(b, 2, column++);
    }
    QPushButton* reread = button(u"b_ujraolvas"_s, u"újraolvas"_s, area);
    connect(reread, &QPushButton::clicked, this, [this] {
        m_builder->reread();
        refreshAll();
    });
    side->addWidget(reread, 2, 4);

    m_sqlFile = new QLineEdit(area);
    m_sqlFile->setObjectName(u"e_sqlfile"_s);
    side->addWidget(m_sqlFile, 3, 0, 1, 3);
    QPushButton* inserts = button(u"b_sqlbe"_s, u"S&qllbe"_s, area);
    connect(inserts, &QPushButton::clicked, this,
            [this] { m_builder->writeInserts(m_sqlFile->text()); });
    side->addWidget(inserts, 3, 3);

    m_databases = new QComboBox(area);
    m_databases->setObjectName(u"cb_adatbazis"_s);
    side->addWidget(m_databases, 4, 0, 1, 3);
    m_storedPassword = new QLabel(area);
    m_storedPassword->setObjectName(u"l_jelszo"_s);
    side->addWidget(m_storedPassword, 4, 3, 1, 2);
    side->addWidget(new QLabel(u"SERVER NAME :"_s, area), 5, 0);
    m_server = new QLineEdit(area);
    m_server->setObjectName(u"e_server"_s);
    side->addWidget(m_server, 5, 1, 1, 4);
    side->addWidget(new QLabel(u"USER NAME :"_s, area), 6, 0);
    m_user = new QLineEdit(area);
    m_user->setObjectName(u"e_user"_s);
    side->addWidget(m_user, 6, 1, 1, 2);
    side->addWidget(new QLabel(u"PASSWORD :"_s, area), 6, 3);
    m_password = new QLineEdit(area);
    m_password->setObjectName(u"e_password"_s);
    m_password->setEchoMode(QLineEdit::Password);
    side->addWidget(m_password, 6, 4);
    QPushButton* switchDb = button(u"b_adatbazis_valtas"_s, u"Adatbázis váltás"_s, area);
    connect(switchDb, &QPushButton::clicked, this, [this] {
        m_builder->switchDatabase(m_server->text(), m_user->text(), m_password->text());
        refreshAll();
    });
    side->addWidget(switchDb, 7, 0, 1, 2);
    connect(m_databases, &QComboBox::activated, this, [this](int index) {
        const QStringList parts = m_databases->itemData(index).toStringList();
        if (parts.size() == 3) {
            m_server->setText(parts[0]);
            m_user->setText(parts[1]);
            m_password->setText(parts[2]);
            m_storedPassword->setText(u"("_s + parts[2] + u")"_s);
        } else {
            m_server->setText(m_databases->itemText(index));
            m_storedPassword->clear();
        }
    });
    layout->addLayout(side, 0, 2, 4, 1);
    layout->setColumnStretch(0, 1);
}

void Tkvarcel5fm::initialise()
{
    // The menu item's text is not this window's caption.
    setWindowTitle(caption);
    if (!m_connectError.isEmpty()) {
        QString error;
        if (!m_builder->connect(&error)) {
            messages::showError(error);
            return;
        }
        m_connectError.clear();
    }
    closeConditionPanel();
    m_builder->start(Td::instance().userName, Td::instance().userRights);
    const BuilderConfig& c = m_builder->config();
    m_server->setText(c.dbserver);
    m_user->setText(c.dbusername);
    m_password->setText(c.dbpassword);
    refreshAll();
}

void Tkvarcel5fm::refreshAll()
{
    refreshTabs();
    m_items->setTab(0);
    m_title->setText(m_builder->title);
    refreshOptions();
    refreshAdvanced();
    m_resultLabel->setText(m_builder->resultLabel());
}

void Tkvarcel5fm::refreshTabs()
{
    const QSignalBlocker block(m_tabs);
    while (m_tabs->count() > 0)
        m_tabs->removeTab(0);
    for (const Tab& tab : m_builder->catalogue().visibleTabs()) {
        const int i = m_tabs->addTab(tab.megnevezes);
        m_tabs->setTabData(i, u"ts_"_s + tab.kod);
    }
    m_tabs->setCurrentIndex(0);
}

void Tkvarcel5fm::refreshOptions()
{
    const ListOptions& o = m_builder->options();
    const QSignalBlocker b1(m_nullas), b2(m_kilepettek), b3(m_csakOsszesen), b4(m_berido),
        b5(m_outer), b6(m_lapdob);
    m_nullas->setChecked(o.nullas);
    m_kilepettek->setChecked(o.kilepettek);
    m_csakOsszesen->setChecked(o.csakOsszesen);
    m_berido->setChecked(o.berido);
    m_outer->setChecked(o.inner);
    m_lapdob->setChecked(o.lapdob);
    m_kilepettek->setVisible(o.kilepettekShown);
    m_berido->setVisible(o.beridoShown);
}

void Tkvarcel5fm::storeOptions()
{
    ListOptions& o = m_builder->options();
    o.nullas = m_nullas->isChecked();
    o.kilepettek = m_kilepettek->isChecked();
    o.csakOsszesen = m_csakOsszesen->isChecked();
    o.berido = m_berido->isChecked();
    o.inner = m_outer->isChecked();
    o.lapdob = m_lapdob->isChecked();
}

void Tkvarcel5fm::refreshAdvanced()
{
    const bool allowed = m_builder->advancedAllowed();
    commands().command(u"kesz"_s)->setVisible(allowed);
    commands().command(u"halado"_s)->setVisible(allowed);
    commands()
        .command(u"halado"_s)
        ->setText(m_builder->advancedShown ? u"normal"_s : u"haladóknak"_s);
    m_advanced->setVisible(allowed && m_builder->advancedShown);
    syncStatement();
    m_log->clear();
    m_log->addItems(m_builder->log());
    const int run = m_builder->history().runNumber();
    if (m_browsedRun == 0 || m_browsedRun > run)
        m_browsedRun = run;
    m_runLabel->setText(History::number(m_browsedRun));
    m_maxRunLabel->setText(History::number(run));
    if (m_tables->count() != m_builder->catalogue().tables().size()) {
        m_tables->clear();
        m_tables->addItems(m_builder->catalogue().tables());
    }
    m_databases->clear();
    if (!Td::instance().dbAlias.isEmpty())
        m_databases->addItem(Td::instance().dbAlias);
    m_databases->addItem(u"SZERVIZ"_s);
    for (const DatabaseEntry& d : m_builder->catalogue().databases())
        m_databases->addItem(d.server + u","_s + d.user + u","_s + d.password,
                             QStringList{d.server, d.user, d.password});
}

void Tkvarcel5fm::syncStatement()
{
    if (m_sql->toPlainText() != m_builder->statementText) {
        const QSignalBlocker block(m_sql);
        m_sql->setPlainText(m_builder->statementText);
    }
}

int Tkvarcel5fm::currentItem() const
{
    return m_items->itemIndex(m_itemGrid->currentIndex().row());
}

void Tkvarcel5fm::itemChosen(int itemIndex)
{
    if (itemIndex < 0)
        return;
    const ListItem& item = m_builder->catalogue().items()[size_t(itemIndex)];
    if (fillReferenceDate(m_builder->catalogue(), item, m_builder->options().kilepettekShown)) {
        m_items->refresh();
        messages::show(referenceDateMessage());
    }
}

void Tkvarcel5fm::indul()
{
    if (m_tabs->count() > 0)
        m_tabs->setCurrentIndex(0);
    closeConditionPanel();
    storeOptions();
    m_builder->title = m_title->text();
    m_progress->setValue(0);
    const bool showStatements = m_builder->powerUser();
    if (showStatements)
        m_display->show();
    m_builder->run(
        [this](int done, int total) {
            m_progress->setRange(0, total);
            m_progress->setValue(done);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        },
        [this](const QString& statement) {
            m_display->setPlainText(statement);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    m_display->hide();
    m_items->refresh();
    m_resultLabel->setText(m_builder->resultLabel());
    refreshAdvanced();
    // Widths from the columns' display widths, never from the rows.
    const auto& columns = m_builder->result().columns();
    const QFontMetrics metrics(m_resultGrid->font());
    for (size_t c = 0; c < columns.size(); ++c)
        m_resultGrid->setColumnWidth(int(c),
                                     metrics.horizontalAdvance(QLatin1Char('0')) *
                                             std::max<int>(std::min(columns[c].displayWidth, 60),
                                                           int(columns[c].label.size())) +
                                         12);
}

void Tkvarcel5fm::ujLekerdezes()
{
    closeConditionPanel();
    m_builder->newQuery();
    m_items->setTab(0);
    m_tabs->setCurrentIndex(0);
    m_title->clear();
    m_resultLabel->clear();
    refreshAdvanced();
}

QString Tkvarcel5fm::chooseParameterFile(bool save)
{
    files::FileRequest request;
    request.objectName = u"d_parameterfajl"_s;
    request.title = save ? u"Lekérdezés paramétereinek mentése .SQL file-ba"_s
                         : u"Lekérdezés paramétereinek betöltése"_s;
    request.folder = m_builder->startFolder();
    request.filters = {parameterFilter};
    request.save = save;
    const auto chosen = files::chooseFile(this, request);
    if (!chosen)
        return {};
    QString name = chosen->path;
    if (save && QFileInfo(name).suffix().isEmpty())
        name += u".SQL"_s;
    return name;
}

void Tkvarcel5fm::mentes()
{
    storeOptions();
    m_builder->title = m_title->text();
    // The script comes first: with nothing listed there is nothing to save.
    if (m_builder->statementText.trimmed().isEmpty() &&
        m_builder->generate(false) == Generation::NothingListed) {
        syncStatement();
        return;
    }
    syncStatement();
    const QString name = chooseParameterFile(true);
    if (!name.isEmpty())
        m_builder->save(name);
}

void Tkvarcel5fm::megnyitas()
{
    const QString name = chooseParameterFile(false);
    if (name.isEmpty() || !m_builder->load(name))
        return;
    closeConditionPanel();
    m_title->setText(m_builder->title);
    refreshOptions();
    m_tabs->setCurrentIndex(0);
    m_items->setTab(0);
    refreshAdvanced();
}

void Tkvarcel5fm::lista()
{
    storeOptions();
    m_builder->title = m_title->text();
    const std::unique_ptr<report::Report> r = m_builder->listReport();
    if (r)
        report::preview(*r, this);
}

void Tkvarcel5fm::adattablaba()
{
    if (!m_builder->result().hasResult()) {
        messages::show(u"Nincs mit..."_s);
        return;
    }
    files::FileRequest request;
    request.objectName = u"d_adattabla"_s;
    request.title = u"Eredménytábla mentése más táblába"_s;
    request.folder = m_builder->startFolder();
    request.filters = {u"dBase file (*.dbf *.DBF)"_s, u"Szöveges állomány (*.txt *.TXT)"_s,
                       u"Paradox tábla (*.db *.DB)"_s};
    request.save = true;
    const auto chosen = files::chooseFile(this, request);
    if (!chosen)
        return;
    QString name = chosen->path;
    if (QFileInfo(name).suffix().isEmpty()) {
        static const QStringList extensions = {u".DBF"_s, u".TXT"_s, u".DB"_s};
        name += extensions.value(chosen->filter, u".DBF"_s);
    }
    m_builder->writeTable(name);
}

void Tkvarcel5fm::excelbe()
{
    m_builder->title = m_title->text();
    const QString path = m_builder->writeWorkbook();
    if (!path.isEmpty() && !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        messages::show(u"Excel may not be installed"_s, MessageKind::Error);
}

void Tkvarcel5fm::parancsbaAd()
{
    storeOptions();
    if (m_tabs->count() > 0)
        m_tabs->setCurrentIndex(0);
    m_builder->generate(true);
    refreshAdvanced();
}

void Tkvarcel5fm::haladoValtas()
{
    if (!m_builder->advancedAllowed())
        return;
    m_builder->advancedShown = !m_builder->advancedShown;
    refreshAdvanced();
}

void Tkvarcel5fm::feltetelMegadasa()
{
    const int item = currentItem();
    if (item < 0)
        return;
    m_conditionItem = item;
    const ListItem& i = m_builder->catalogue().items()[size_t(item)];
    m_operators->setCurrentRow(firstAllowedOperator(i.jomuvelet));
    m_value1->clear();
    m_value2->clear();
    m_valueList->hide();
    m_operators->show();
    m_condition->show();
    operatorChosen();
    m_value1->setFocus();
}

void Tkvarcel5fm::closeConditionPanel()
{
    m_condition->hide();
    m_valueList->hide();
    m_conditionItem = -1;
}

void Tkvarcel5fm::operatorChosen()
{
    const QString op = operatorOfEntry(
        m_operators->currentItem() ? m_operators->currentItem()->text() : QString());
    const bool none = op == u"null"_s;
    const bool range = op == u"[]"_s;
    m_value1->setVisible(!none);
    m_value2->setVisible(range);
    m_value2Label->setVisible(range);
    m_values2Button->setVisible(range);
}

void Tkvarcel5fm::fixOperator()
{
    if (m_conditionItem < 0 || !m_operators->currentItem())
        return;
    const ListItem& i = m_builder->catalogue().items()[size_t(m_conditionItem)];
    if (!operatorAllowed(i.jomuvelet, operatorOfEntry(m_operators->currentItem()->text())))
        m_operators->setCurrentRow(firstAllowedOperator(i.jomuvelet));
}

void Tkvarcel5fm::feltetelOk()
{
    if (m_conditionItem < 0 || !m_operators->currentItem())
        return;
    const ListItem& item = m_builder->catalogue().items()[size_t(m_conditionItem)];
    const bool numeric = isNumericType(m_builder->itemType(item));
    const ConditionOutcome out =
        applyCondition(m_builder->catalogue(), m_conditionItem,
                       operatorOfEntry(m_operators->currentItem()->text()), m_value1->text(),
                       m_value2->text(), numeric, m_builder->options().kilepettekShown);
    if (out.closePanel)
        closeConditionPanel();
    m_items->refresh();
    if (!out.message.isEmpty())
        messages::show(out.message);
}

void Tkvarcel5fm::showValueList(int box)
{
    if (m_conditionItem < 0)
        return;
    m_valueBox = box;
    const ListItem& item = m_builder->catalogue().items()[size_t(m_conditionItem)];
    QStringList values;
    const QString typed = (box == 2 ? m_value2 : m_value1)->text();
    m_valueList->clear();
    if (!m_builder->valueList(item, typed, &values)) {
        // A list that cannot be read closes without a word.
        m_valueList->hide();
        m_operators->show();
        return;
    }
    m_valueList->addItems(values);
    m_operators->hide();
    m_valueList->show();
}

void Tkvarcel5fm::showCellViewer(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    Tkvarcel5BlobFm viewer(this);
    viewer.showCell(&m_builder->result(), index);
    viewer.exec();
}

void Tkvarcel5fm::historyStep(int step)
{
    const QList<int> runs = m_builder->history().runs();
    if (runs.isEmpty())
        return;
    qsizetype at = runs.indexOf(m_browsedRun);
    if (at < 0)
        at = runs.size() - 1;
    at = std::clamp<qsizetype>(at + step, 0, runs.size() - 1);
    m_browsedRun = runs[at];
    m_builder->statementText = m_builder->history().runLines(m_browsedRun).join(QLatin1Char('\n'));
    refreshAdvanced();
}

} // namespace mivo::kvarcel
