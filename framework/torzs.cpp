#include "torzs.h"

#include "alapdat.h"
#include "core/altproc.h"
#include "core/ini.h"
#include "core/messages.h"
#include "editorhooks.h"
#include "fieldtext.h"
#include "listedrows.h"
#include "panelinput.h"
#include "panelnames.h"
#include "parabutton.h"
#include "platform/dbquery.h"
#include "platform/fieldtypes.h"
#include "platform/rowsource.h"
#include "reports/qexport.h"
#include "reports/qrszotar.h"
#include "reports/reportprint.h"
#include "schema/generatedkeys.h"
#include "torzskvarcel.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QSqlField>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo
{

namespace
{

constexpr int panelWidth = 780;
constexpr int panelLineHeight = 22;
// Grid rows shown below the panel when the screen has room for them.
constexpr int usefulGridRows = 12;
constexpr int minimumGridHeight = 120;
// Title bar and borders that the window manager adds around the window.
constexpr int windowFrameAllowance = 40;

// Password columns never leave the screen: not in a list, not in an export.
QStringList unlisted(const FormPanel* panel)
{
    return panel ? panel->passwordFields() : QStringList();
}

} // namespace

TTorzsfm::TTorzsfm(const torzs::Spec& tableSpec, QWidget* parent)
    : QDialog(parent), m_data(tableSpec)
{
    setObjectName(torzs::editorName(tableSpec));
    buildScreen();
}

TTorzsfm::~TTorzsfm() = default;

void TTorzsfm::buildScreen()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    // One action per command: the menu item ("m_" + name) and the button ("b_" + name) share it.
    struct Command {
        const char* name;
        const char* menuText;
        const char* hint; ///< the button's; nullptr: a menu item only
        QStyle::StandardPixmap icon;
        std::function<void()> run;
    };
    const Command commandTable[] = {
        {"elso", "Első tétel", "Első tétel", QStyle::SP_MediaSkipBackward, [this] { first(); }},
        {"elozo", "Előző tétel", "Előző tétel", QStyle::SP_MediaSeekBackward, [this] { prior(); }},
        {"kovetkezo", "Következő tétel", "Következő tétel", QStyle::SP_MediaSeekForward,
         [this] { next(); }},
        {"utolso", "Utolsó tétel", "Utolsó tétel", QStyle::SP_MediaSkipForward, [this] { last(); }},
        {"frissit", "Frissít", nullptr, QStyle::SP_BrowserReload, [this] { refresh(); }},
        {"uj", "Uj tétel", "Új tétel", QStyle::SP_FileIcon, [this] { newRecord(); }},
        {"torles", "Törlés", "Törlés", QStyle::SP_TrashIcon, [this] { deleteRecord(); }},
        {"modosit", "Módosítás", "Módosítás", QStyle::SP_FileDialogDetailedView,
         [this] { modify(); }},
        {"masol", "Aktuálisból újat", "Aktuálisból újat", QStyle::SP_FileDialogNewFolder,
         [this] { copyRecord(); }},
        {"ok", "OK, tárolás", "OK", QStyle::SP_DialogApplyButton, [this] { store(); }},
        {"megsem", "Nem tároljuk mégsem", "Mégsem", QStyle::SP_DialogCancelButton,
         [this] { cancel(); }},
        {"szovegresz", "Szövegrészletre keresés", nullptr, QStyle::SP_CustomBase, {}},
        {"kepernyore", "Teljes lista &képernyőre", nullptr, QStyle::SP_CustomBase,
         [this] { listToScreen(); }},
        {"nyomtatora", "Teljes lista &nyomtatóra", nullptr, QStyle::SP_CustomBase,
         [this] { listToPrinter(); }},
        {"tablazatba", "Teljes lista &táblázatba", nullptr, QStyle::SP_CustomBase,
         [this] { listToFile(); }},
        // The master list with conditions on this table; its results are the letters' business.
        {"sajatlista", "Saját öszeállítású lista", nullptr, QStyle::SP_CustomBase,
         [this] { OpenTorzskvarcel(this, m_data.table(), nullptr, nullptr, nullptr); }},
        {"kivalaszt", "Kiválaszt", "Kiválaszt", QStyle::SP_DialogOkButton, [this] { choose(); }},
        {"vissza", "Vissza", nullptr, QStyle::SP_CustomBase, [this] { back(); }},
    };
    for (const Command& c : commandTable) {
        QAction* a =
            m_commands.add(u"m_"_s + QLatin1String(c.name), QString::fromUtf8(c.menuText), c.run);
        if (c.hint) {
            a->setToolTip(QString::fromUtf8(c.hint));
            a->setIcon(style()->standardIcon(c.icon));
            a->setIconVisibleInMenu(false);
        }
    }
    const auto command = [this](const char* name) {
        return m_commands.command(u"m_"_s + QLatin1String(name));
    };

    auto* menuBar = new QMenuBar(this);
    layout->setMenuBar(menuBar);
    const auto menu = [&](const QString& title, std::initializer_list<const char*> names) {
        QMenu* m = menuBar->addMenu(title);
        for (const char* name : names)
            m->addAction(command(name));
        return m;
    };
    menu(u"Navigáció"_s, {"elso", "elozo", "kovetkezo", "utolso", "frissit"});
    m_itemMenu =
        menu(u"Tétel"_s, {"uj", "masol", "modosit", "torles", "ok", "megsem", "szovegresz"});
    m_itemMenu->setObjectName(u"m_tetel"_s);
    menu(u"Lista"_s, {"kepernyore", "nyomtatora", "tablazatba", "sajatlista"});
    QMenu* settings = menuBar->addMenu(u"Beállítások"_s);
    m_hideGrid = settings->addAction(u"Adatbevitel esetén nem látszik a táblázat"_s);
    m_hideGrid->setObjectName(u"m_nemlatszik"_s);
    m_hideGrid->setCheckable(true);
    menuBar->addAction(command("kivalaszt"));
    menuBar->addAction(command("vissza"));

    auto* bar = new QToolBar(u"Navigációs és törzs kezelő gombsor"_s, this);
    bar->setObjectName(u"p_gombsor"_s);
    bar->setToolTip(u"Navigációs és törzs kezelő gombsor"_s);
    const auto buttons = [&](std::initializer_list<const char*> names) {
        for (const char* name : names)
            m_commands.toolButton(u"b_"_s + QLatin1String(name), u"m_"_s + QLatin1String(name),
                                  bar);
    };
    buttons({"elso", "elozo", "kovetkezo", "utolso"});
    bar->addSeparator();
    buttons({"uj", "torles", "modosit", "masol", "ok", "megsem", "kivalaszt"});
    m_stateLabel = new QLabel(this);
    m_stateLabel->setObjectName(QStringLiteral("l_allapot"));
    bar->addSeparator();
    bar->addWidget(m_stateLabel);
    layout->addWidget(bar);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(QStringLiteral("Sorrend:"), this));
    m_sort = new QComboBox(this);
    m_sort->setObjectName(QStringLiteral("cb_sorrend"));
    m_sort->setToolTip(QStringLiteral("Sorrend beállitása"));
    m_sort->setMinimumWidth(160);
    connect(m_sort, &QComboBox::activated, this, &TTorzsfm::sortBy);
    searchRow->addWidget(m_sort);
    searchRow->addWidget(new QLabel(QStringLiteral("Keresni:"), this));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("e_keres"));
    m_search->setToolTip(QStringLiteral("Keresés"));
    connect(m_search, &QLineEdit::textEdited, this, &TTorzsfm::search);
    connect(m_search, &QLineEdit::returnPressed, this, [this] { search(m_search->text()); });
    searchRow->addWidget(m_search, 1);
    m_tableName = new QLabel(this);
    m_tableName->setObjectName(QStringLiteral("l_tablanev"));
    QFont bold = m_tableName->font();
    bold.setBold(true);
    m_tableName->setFont(bold);
    searchRow->addWidget(m_tableName);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("l_darab"));
    searchRow->addWidget(m_count);
    m_readOnly = new QLabel(QStringLiteral("Csak olvasható"), this);
    m_readOnly->setObjectName(QStringLiteral("l_csakolvas"));
    m_readOnly->setStyleSheet(QStringLiteral("color: red;"));
    searchRow->addWidget(m_readOnly);
    layout->addLayout(searchRow);

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_scroll = new QScrollArea(m_splitter);
    m_scroll->setObjectName(QStringLiteral("sb_panel"));
    m_panelHost = new QWidget;
    m_panelHost->setObjectName(QStringLiteral("p_panel"));
    m_panelHost->resize(panelWidth, 300);
    m_scroll->setWidget(m_panelHost);
    m_grid = new QTableView(m_splitter);
    m_grid->setObjectName(QStringLiteral("grid_torzs"));
    m_grid->setModel(&m_data.model());
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(20);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    connect(m_grid, &QTableView::doubleClicked, this, [this] {
        if (m_selection)
            choose();
    });
    m_splitter->addWidget(m_scroll);
    m_splitter->addWidget(m_grid);
    layout->addWidget(m_splitter, 1);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now) {
                if (now.isValid() && now.row() != m_row) {
                    m_row = now.row();
                    afterMove();
                }
            });
    // The user scrolled to the top of a slice that begins deeper in the order: the records
    // above it are read, and the view stays where it was. Checked once the scroll is done,
    // and never for the view's own moves (a reset, scrollTo).
    connect(m_grid->verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] {
        QTimer::singleShot(0, this, [this] {
            QScrollBar* bar = m_grid->verticalScrollBar();
            if (bar->value() != bar->minimum() || m_data.model().atStart())
                return;
            const int added = m_data.model().fetchBefore();
            if (added <= 0)
                return;
            if (m_row >= 0)
                m_row += added;
            m_grid->scrollTo(m_data.model().index(added, 0), QAbstractItemView::PositionAtTop);
        });
    });
}

void TTorzsfm::fitPanel()
{
    const int lines = panel() ? panel()->lineCount() : 0;
    const int panelHeight = lines * panelLineHeight + 8;
    m_panelHost->setMinimumSize(panelWidth, panelHeight);
    m_panelHost->resize(panelWidth, panelHeight);
    if (m_sized)
        return;
    m_sized = true;
    // At the first showing the window takes the whole panel and a useful grid, as far as the
    // screen allows; the panel is served first.
    const int frame = 2 * m_scroll->frameWidth();
    const int scrollHeight = panelHeight + frame;
    const int gridHeight = usefulGridRows * m_grid->verticalHeader()->defaultSectionSize() +
                           m_grid->horizontalHeader()->sizeHint().height() +
                           m_grid->horizontalScrollBar()->sizeHint().height() + frame;
    const int chrome = sizeHint().height() - m_splitter->sizeHint().height();
    const QRect screen = this->screen()->availableGeometry();
    const int scrollBar = m_scroll->verticalScrollBar()->sizeHint().width();
    const int gridWidth = m_grid->verticalHeader()->sizeHint().width() +
                          m_grid->horizontalHeader()->length() + frame + scrollBar;
    const int width = std::max(panelWidth + frame + scrollBar, gridWidth) +
                      layout()->contentsMargins().left() + layout()->contentsMargins().right();
    const int height = chrome + scrollHeight + m_splitter->handleWidth() + gridHeight;
    resize(std::min(std::max(this->width(), width), screen.width() - windowFrameAllowance),
           std::min(height, screen.height() - windowFrameAllowance));
    layout()->activate();
    const int room = m_splitter->height() - m_splitter->handleWidth();
    const int top = std::min(scrollHeight, room - minimumGridHeight);
    m_splitter->setSizes({top, room - top});
}

FormPanel* TTorzsfm::panel() const
{
    return FormPanel::of(m_panelHost);
}

// ---- the entry routine's showing

bool TTorzsfm::run(TorzsCall& call, const TableRights& rights, torzs::WindowState windowState)
{
    prepare(call, rights, windowState);
    exec();
    return finish(call);
}

void TTorzsfm::prepare(const TorzsCall& call, const TableRights& rights,
                       torzs::WindowState windowState)
{
    const bool rebuild = !panel() || panel()->inputs().isEmpty();
    m_requery =
        torzs::needsRequery(m_requery, rebuild, call.searchText, call.condition, m_data.condition);
    const QString searchText = call.searchText == torzs::reopenText ? QString() : call.searchText;
    m_selection = call.selectionMode;
    m_title = rights.title.isEmpty() ? m_data.table() : rights.title;
    setWindowTitle((m_selection ? QStringLiteral("Választás szótárból")
                                : QStringLiteral("Törzs karbantartás")) +
                   QStringLiteral(" * Tábla neve: ") + m_title);
    m_commands.command(u"m_kivalaszt"_s)->setVisible(m_selection);
    m_access = call.editingAllowed && rights.access == QLatin1String("FULL");
    m_data.condition = torzs::normaliseCondition(call.condition);
    m_data.rights = rights;
    m_names = call.names;
    m_values = call.values;
    applyWindowState(windowState);
    if (rebuild)
        m_requery = true;
    onShowing(searchText);
}

bool TTorzsfm::finish(TorzsCall& call) const
{
    if (!m_chosen)
        return false;
    call.names = m_names;
    call.values = m_values;
    call.selected = selectedRecord(m_data.model().record(m_row));
    return true;
}

void TTorzsfm::applyWindowState(torzs::WindowState state)
{
    switch (state) {
    case torzs::WindowState::Keep:
        break;
    case torzs::WindowState::Normal:
        setWindowState(Qt::WindowNoState);
        break;
    case torzs::WindowState::Maximized:
        setWindowState(Qt::WindowMaximized);
        break;
    case torzs::WindowState::Minimized:
        setWindowState(Qt::WindowMinimized);
        break;
    }
}

void TTorzsfm::onShowing(const QString& searchText)
{
    m_state = TorzsState::Closed;
    m_chosen = false;
    m_readOnly->setVisible(!m_access);
    m_itemMenu->menuAction()->setVisible(m_access);
    for (const char* name : {"m_uj", "m_torles", "m_modosit", "m_masol", "m_ok", "m_megsem"}) {
        QAction* c = m_commands.command(QLatin1String(name));
        c->setVisible(m_access);
        c->setEnabled(m_access);
    }
    m_tableName->setText(m_data.table());

    if (!m_data.openStructure())
        return;
    const bool rebuild = !panel() || panel()->inputs().isEmpty();
    if (rebuild) {
        QList<GridColumn> grid;
        m_panelHost->resize(panelWidth, m_panelHost->height());
        FormPanel::BuildPanel(m_panelHost, m_data.tableSpec().module,
                              m_data.tableSpec().secondModule, FormPanel::singleColumn,
                              &m_fieldNames, &m_captions, &grid, m_data.structure());
        m_sort->clear();
        m_sort->addItems(m_captions);
        m_sort->setCurrentIndex(0);
        QList<TorzsGridColumn> columns;
        for (const GridColumn& g : grid) {
            const FieldDef* def = panel() ? panel()->definition(g.field) : nullptr;
            columns.append({g.field, g.title, def ? def->numberFormat() : QString()});
        }
        m_data.model().setGridColumns(columns);
        m_requery = true;
    }
    QStringList panelFields;
    if (FormPanel* p = panel())
        for (PanelInput* in : p->inputs())
            panelFields << panelname::fieldOf(in->widget()->objectName());
    if (!m_data.setColumns(panelFields))
        return;
    if (m_requery) {
        const bool ordered = !m_captions.isEmpty() && !m_fieldNames.isEmpty();
        m_data.writeRecordsQuery(ordered ? m_fieldNames.first() : QString());
        if (ordered)
            m_sort->setCurrentIndex(0);
        m_row = -1;
        refresh();
        m_grid->setEnabled(true);
        setPanelMode(true);
        limitSearch(currentSortField());
        // Widths come from the display widths, never from measuring a full list. Codes are
        // digits and capitals, wider than the font's average character.
        const QFontMetrics fm(m_grid->font());
        const int charWidth = std::max(fm.averageCharWidth(), fm.horizontalAdvance(u'0'));
        const QList<TorzsGridColumn>& columns = m_data.model().gridColumns();
        for (int i = 0; i < columns.size(); ++i) {
            const QSqlRecord& s = m_data.model().structure();
            const int width = s.indexOf(columns[i].field) < 0
                                  ? 10
                                  : data::columnOf(s.field(columns[i].field)).displayWidth;
            m_grid->horizontalHeader()->resizeSection(
                i,
                charWidth * std::clamp(std::max<int>(width, columns[i].title.size()), 4, 40) + 12);
        }
    }
    fitPanel();
    setState(TorzsState::Browse);
    if (!searchText.isEmpty()) {
        const int limit = m_search->maxLength();
        m_search->setText(searchText.left(limit));
        search(m_search->text());
    } else {
        m_search->clear();
    }
    m_search->setFocus();
}

// ---- state, panel mode, moves

void TTorzsfm::setState(TorzsState state)
{
    m_state = state;
    m_stateLabel->setText(alt::modeName(stateName(state)));
    if (FormPanel* p = panel())
        p->setInserting(state == TorzsState::Insert);
}

void TTorzsfm::setPanelMode(bool readOnly)
{
    FormPanel* p = panel();
    if (!p)
        return;
    if (!m_access)
        readOnly = true;
    if (m_hideGrid->isChecked())
        m_grid->setVisible(readOnly);
    for (PanelInput* in : p->inputs())
        in->setReadOnly(readOnly);
    p->applyFieldRights();
    const bool hasRecords = m_data.model().rowCount() > 0;
    for (TParaButton* b : p->buttons()) {
        const QString c = b->text();
        if (c == QLatin1String("?") || c == QLatin1String("+") || c == QLatin1String("Text") ||
            c == QLatin1String("Karton"))
            b->setEnabled(true);
        else if (b->param3 == 1)
            b->setEnabled(hasRecords);
        else
            b->setEnabled(!readOnly);
    }
}

void TTorzsfm::setCurrentRow(int row)
{
    m_row = m_data.model().rowCount() == 0 ? -1 : std::max(row, 0);
    // A row past the slice's end is read first.
    if (m_row >= 0 && !m_data.model().fetchUpTo(m_row))
        m_row = m_data.model().rowCount() - 1;
    if (m_row >= 0 && m_data.model().columnCount() > 0) {
        const QModelIndex index = m_data.model().index(m_row, 0);
        m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
        m_grid->scrollTo(index);
    }
    afterMove();
}

void TTorzsfm::afterMove()
{
    FormPanel* p = panel();
    if (!p)
        return;
    const QSqlRecord record = m_data.model().record(m_row);
    if (record.isEmpty())
        p->ClearPanel();
    else
        p->RecordToPanel(record);
    p->RefreshInfoTexts(record);
}

void TTorzsfm::showCount()
{
    const auto show = [this] {
        m_count->setText(QString::number(m_data.model().totalCount()) + QStringLiteral(" tétel"));
    };
    if (m_data.model().countKnown()) {
        show();
        return;
    }
    // Counting a large table visits every record: it follows once the rows are drawn.
    m_count->clear();
    QTimer::singleShot(0, this, show);
}

bool TTorzsfm::leaveEditing()
{
    if (m_state != TorzsState::Insert && m_state != TorzsState::Update)
        return true;
    if (m_data.panelChanged(m_state, panelInputs(), m_row)) {
        messages::show(QStringLiteral("Adatbevitel közben van. Tárolja le, vagy dobja el!"));
        return false;
    }
    setPanelMode(true);
    m_grid->setEnabled(true);
    setState(TorzsState::Browse);
    return true;
}

void TTorzsfm::moveTo(int row)
{
    if (leaveEditing())
        setCurrentRow(row);
}

void TTorzsfm::first()
{
    if (leaveEditing())
        setCurrentRow(m_data.model().first());
}
void TTorzsfm::prior()
{
    if (!leaveEditing())
        return;
    // Before the slice's first row the records above it are read first.
    if (m_row == 0 && !m_data.model().atStart()) {
        const int added = m_data.model().fetchBefore();
        setCurrentRow(added > 0 ? added - 1 : 0);
        return;
    }
    setCurrentRow(m_row - 1);
}
void TTorzsfm::next()
{
    moveTo(m_row + 1);
}
void TTorzsfm::last()
{
    if (leaveEditing())
        setCurrentRow(m_data.model().last());
}

void TTorzsfm::refresh()
{
    const QVariantList key = m_row >= 0 ? m_data.keyValues(m_row) : QVariantList();
    const int previous = m_row;
    m_data.reopen();
    showCount();
    const int found = key.isEmpty() ? -1 : m_data.locate(key);
    setCurrentRow(found >= 0 ? found : std::max(previous, 0));
}

// ---- editing

TorzsInputs TTorzsfm::panelInputs() const
{
    TorzsInputs inputs;
    FormPanel* p = panel();
    if (!p)
        return inputs;
    for (PanelInput* in : p->inputs()) {
        const QString field = panelname::fieldOf(in->widget()->objectName());
        const FieldDef* def = p->definition(field);
        auto* memo = dynamic_cast<PanelMemo*>(in);
        inputs[field.toUpper()] = TorzsInput{
            in->value(),     in->isRequired(),          in->widget()->isEnabled(),
            memo != nullptr, memo && memo->isChanged(), def ? def->numberFormat() : QString()};
    }
    return inputs;
}

void TTorzsfm::startInsert(bool clear)
{
    setPanelMode(false);
    FormPanel* p = panel();
    if (clear && p)
        p->ClearPanel();
    setState(TorzsState::Insert);
    m_grid->setEnabled(false);
    if (!p)
        return;
    hooks::AfterInsertHook(m_data.rights.afterInsert,
                           [p](const QString& field, const QString& value) {
                               PanelInput* in = p->input(field);
                               if (in)
                                   in->setValue(value);
                               return in != nullptr;
                           });
    if (clear) {
        // The defaults a lookup passes for its dictionary's new record.
        for (qsizetype i = 0; i < m_names.size(); ++i)
            if (PanelInput* in = p->input(m_names[i]))
                in->setValue(m_values.value(i));
    } else if (PanelInput* key = p->input(schema::generatedKeyColumn(m_data.table()))) {
        // A copy is a new record: the database draws its key as for any other.
        key->setValue(QString());
    }
    for (PanelInput* in : p->inputs())
        if (in->isEditable()) {
            in->widget()->setFocus();
            break;
        }
}

void TTorzsfm::newRecord()
{
    if (m_state == TorzsState::Browse && m_access)
        startInsert(true);
}

void TTorzsfm::copyRecord()
{
    if (m_state == TorzsState::Browse && m_access && m_data.model().rowCount() > 0)
        startInsert(false);
}

void TTorzsfm::modify()
{
    if (m_state != TorzsState::Browse || !m_access || m_data.model().rowCount() == 0)
        return;
    setPanelMode(false);
    setState(TorzsState::Update);
    m_grid->setEnabled(false);
}

void TTorzsfm::cancel()
{
    if (m_state != TorzsState::Insert && m_state != TorzsState::Update)
        return;
    setPanelMode(true);
    afterMove();
    m_grid->setEnabled(true);
    setState(TorzsState::Browse);
}

bool TTorzsfm::store()
{
    if (m_state != TorzsState::Insert && m_state != TorzsState::Update)
        return false;
    const TorzsStoreResult r = m_data.store(m_state, panelInputs(), m_row);
    switch (r.outcome) {
    case TorzsStoreResult::Refused:
        if (FormPanel* p = panel(); p && !r.focusField.isEmpty())
            if (PanelInput* in = p->input(r.focusField); in && in->widget()->isEnabled())
                in->widget()->setFocus();
        return false;
    case TorzsStoreResult::Failed:
    case TorzsStoreResult::Vetoed:
        return false;
    case TorzsStoreResult::InsertInstead:
        setState(TorzsState::Insert);
        messages::show(QStringLiteral("Nyomja meg újból a tárolás gombot"));
        return false;
    case TorzsStoreResult::Stored:
    case TorzsStoreResult::Discarded:
        break;
    }
    m_data.reopen();
    showCount();
    const int row = m_data.locate(r.positionKey);
    m_grid->setEnabled(true);
    setState(TorzsState::Browse);
    setPanelMode(true);
    setCurrentRow(row >= 0 ? row : 0);
    m_grid->setFocus();
    // The caller gets the stored row, never another one that happens to be current.
    if (m_selection && r.outcome == TorzsStoreResult::Stored && row >= 0)
        chooseCurrent();
    return r.outcome == TorzsStoreResult::Stored;
}

void TTorzsfm::deleteRecord()
{
    if (m_state != TorzsState::Browse || !m_access || m_row < 0)
        return;
    const int row = m_row;
    // Deep in the order the slice is read anew from the first record: the record after the
    // deleted one is found again by its key.
    QVariantList neighbour;
    if (!m_data.model().atStart()) {
        const int next = row + 1 < m_data.model().rowCount() ? row + 1 : row - 1;
        if (next >= 0)
            neighbour = m_data.keyValues(next);
    }
    if (!m_data.remove(row))
        return;
    showCount();
    const int found = neighbour.isEmpty() ? -1 : m_data.locate(neighbour);
    setCurrentRow(found >= 0 ? found : row);
}

// ---- choosing and closing

void TTorzsfm::chooseCurrent()
{
    const QSqlRecord record = m_data.model().record(m_row);
    if (record.isEmpty())
        return;
    FormPanel* p = panel();
    // One value per column, in the order of the names, whether or not the panel shows it.
    m_names.clear();
    m_values.clear();
    for (int i = 0; i < record.count(); ++i) {
        const QString name = record.fieldName(i);
        PanelInput* in = p ? p->input(name) : nullptr;
        m_names << name;
        m_values << (in && !dynamic_cast<PanelMemo*>(in)
                         ? in->value()
                         : panelText(record.value(i), Tdm::fieldTypeName(record.field(i))));
    }
    m_chosen = true;
    done(QDialog::Accepted);
}

void TTorzsfm::choose()
{
    if (!m_selection)
        return;
    if (m_state == TorzsState::Insert || m_state == TorzsState::Update) {
        store(); // chooses the stored row itself
        return;
    }
    if (m_state == TorzsState::Browse)
        chooseCurrent();
}

void TTorzsfm::back()
{
    m_chosen = false;
    reject();
}

void TTorzsfm::reject()
{
    if (m_state == TorzsState::Insert || m_state == TorzsState::Update) {
        const int answer =
            messages::ask(QStringLiteral("Adatbevitel közben van. Biztosan bezárja az ablakot?"),
                          MessageKind::Question,
                          {QStringLiteral("Nem"), QStringLiteral("Igen, mentéssel"),
                           QStringLiteral("Igen, mentés nélkül")});
        if (answer == 0)
            return;
        if (answer == 1) {
            // Only a stored record lets the window close; a failed store keeps what was typed.
            if (!store())
                return;
        } else {
            cancel();
        }
        m_requery = false;
        if (m_chosen)
            return;
    }
    QDialog::reject();
}

// ---- sort and search

QString TTorzsfm::currentSortField() const
{
    const int i = m_sort->currentIndex();
    if (i >= 0 && i < m_fieldNames.size())
        return m_fieldNames[i];
    return m_data.columns().value(0);
}

void TTorzsfm::limitSearch(const QString& field)
{
    const QSqlRecord& s = m_data.model().structure();
    const int width = s.indexOf(field) < 0 ? 0 : data::columnOf(s.field(field)).displayWidth;
    if (width > 0) {
        m_search->setMaxLength(width);
        m_search->setText(m_search->text().left(width));
    }
}

void TTorzsfm::sortBy(int captionIndex)
{
    if (captionIndex < 0 || captionIndex >= m_fieldNames.size())
        return;
    m_sort->setCurrentIndex(captionIndex);
    m_data.setOrder(m_fieldNames[captionIndex]);
    refresh();
    limitSearch(m_fieldNames[captionIndex]);
    m_search->setFocus();
}

void TTorzsfm::search(const QString& text)
{
    if (m_state != TorzsState::Browse)
        return;
    if (text.trimmed().isEmpty()) {
        setCurrentRow(0);
        return;
    }
    const int row = m_data.model().search(currentSortField(), text);
    if (row >= 0)
        setCurrentRow(row);
}

// ---- full lists

void TTorzsfm::listToScreen()
{
    printList(true);
}

void TTorzsfm::listToPrinter()
{
    printList(false);
}

void TTorzsfm::printList(bool preview)
{
    if (m_data.rights.qreport != 0) {
        hooks::QReportHook(m_data.rights.qreport);
        return;
    }
    data::QueryRows query(m_data.model().query(), m_title);
    ListedRows rows(query, unlisted(panel()));
    Tqr_szotar& szotar = Tqr_szotar::instance();
    szotar.setDataSet(&rows);
    szotar.setTitle(m_title);
    const auto build = [&szotar](QString* error) { return szotar.build(error); };
    if (preview)
        report::preview(build, this);
    else
        report::printDirect(build);
    szotar.setDataSet(nullptr);
}

bool TTorzsfm::listToPdf(const QString& path, QString* error)
{
    data::QueryRows query(m_data.model().query(), m_title);
    ListedRows rows(query, unlisted(panel()));
    Tqr_szotar& report = Tqr_szotar::instance();
    report.setDataSet(&rows);
    report.setTitle(m_title);
    const bool ok = report.writePdf(path, error);
    report.setDataSet(nullptr);
    return ok;
}

QString TTorzsfm::listToFile(const QString& fileName)
{
    if (m_data.rights.qreport != 0) {
        hooks::ExportHook(m_data.rights.qreport);
        return {};
    }
    data::QueryRows query(m_data.model().query(), m_data.table());
    ListedRows rows(query, unlisted(panel()));
    return reports::TQexportfm::instance().exportRows(rows, fileName, m_data.table());
}

// ---- the editors of the run

TorzsEditors::TorzsEditors(QWidget* owner) : m_owner(owner) {}

TorzsEditors::~TorzsEditors() = default;

TTorzsfm* TorzsEditors::editor(const QString& tableSpec) const
{
    const auto it = m_editors.find(torzs::editorName(torzs::parseSpec(tableSpec)));
    return it == m_editors.end() || it->second.isEmpty() ? nullptr : it->second.first().data();
}

void TorzsEditors::markForRereading(const QString& editorName)
{
    const auto it = m_editors.find(editorName);
    if (it == m_editors.end())
        return;
    for (const QPointer<TTorzsfm>& editor : it->second) {
        if (editor)
            editor->markForRequery();
    }
}

bool TorzsEditors::OpenTorzs(TorzsCall& call)
{
    const torzs::Spec tableSpec = torzs::parseSpec(call.tableSpec);
    if (!Tdm::instance().tableExists(tableSpec.table)) {
        messages::show(QStringLiteral("Nincs ilyen tábla:") + tableSpec.table);
        return false;
    }
    const TableRights rights = ReadTableRights(tableSpec.rightsName);
    if (rights.access == QLatin1String("NONE"))
        return false;
    const torzs::WindowState state = torzs::windowState(
        rights.windowState, Ini::instance().value(QStringLiteral("WINDOWSTATE")));
    // An editor that is open already (a lookup from its own panel) is not re-entered.
    QList<QPointer<TTorzsfm>>& editors = m_editors[torzs::editorName(tableSpec)];
    TTorzsfm* editor = nullptr;
    for (const QPointer<TTorzsfm>& e : editors)
        if (e && !e->isVisible()) {
            editor = e;
            break;
        }
    if (!editor) {
        editor = new TTorzsfm(tableSpec, m_owner);
        editors.append(editor);
    }
    return editor->run(call, rights, state);
}

} // namespace mivo
