#include "napirendgrid.h"

#include "daynavigator.h"
#include "napirend.h"

#include "core/altproc.h"
#include "core/messages.h"
#include "reports/dailyprint.h"
#include "reports/napilistatext.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

constexpr int hourColumnWidth = 24;
constexpr int minimumColumnWidth = 48;
constexpr int navigatorHeight = 22;

// Header rows and the hour column look like the fixed cells of a text grid.
class FixedCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.row() < NapirendModel::firstHourRow || index.column() == 0)
            option->backgroundBrush = option->palette.button();
        if (index.row() == 0)
            option->font.setBold(true);
    }
};

} // namespace

int technicianColumnWidth(ScheduleForm form, int technicians, int panelWidth, bool longDay)
{
    if (technicians <= 0)
        return 140;
    const int n = technicians;
    const int width = form == ScheduleForm::Jobs
                          ? int(alt::roundHalfAway(992.0 / n)) - 2
                          : int(alt::roundHalfAway(double(panelWidth - 30) / n)) - 2 * n;
    return std::max(minimumColumnWidth, width - (longDay ? 3 : 0));
}

NapirendGrid::NapirendGrid(ScheduleForm form, QWidget* parent)
    : QWidget(parent), m_form(form), m_model(new NapirendModel(this)), m_actions(*m_model, form)
{
    setObjectName(QStringLiteral("p_napirend"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    auto* top = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Aktuális nap:"), this);
    m_currentDay = new DayNavigator(this);
    m_currentDay->setObjectName(QStringLiteral("p_aktualisnap"));
    m_currentDay->setFixedWidth(220);
    top->addWidget(label);
    top->addWidget(m_currentDay);
    top->addStretch();
    layout->addLayout(top);
    connect(m_currentDay, &DayNavigator::dateChosen, this, &NapirendGrid::setAllDates);

    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(false);
    auto* content = new QWidget;
    m_navigatorRow = new QWidget(content);
    m_view = new QTableView(content);
    m_view->setObjectName(QStringLiteral("sg1"));
    m_view->setModel(m_model);
    m_view->setItemDelegate(new FixedCellDelegate(m_view));
    m_view->horizontalHeader()->hide();
    m_view->verticalHeader()->hide();
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, &NapirendGrid::showMenu);
    connect(m_view, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() > 0 && index.row() >= NapirendModel::firstHourRow)
            emit cellChosen(index.column(), index.row());
    });
    m_scroll->setWidget(content);
    m_scroll->viewport()->installEventFilter(this);
    layout->addWidget(m_scroll, 1);

    m_menu = new QMenu(this);
    connect(addMenuItem(QStringLiteral("mi_info"), QStringLiteral("Info")), &QAction::triggered,
            this, [this] {
                const auto [column, row] = clickedCell();
                if (column > 0)
                    m_actions.showInformation(column, row);
            });
    m_history = addMenuItem(QStringLiteral("mi_tortenet"), QStringLiteral("Történeti áttekintés"));
    m_history->setVisible(false);
    connect(
        addMenuItem(u"mi_athelyez"_s, u"Munka áthelyezése"_s), &QAction::triggered, this, [this] {
            const auto [column, row] = clickedCell();
            if (column == 0)
                return;
            const std::optional<GridJob> job = m_actions.check(column, row);
            if (job &&
                messages::confirm(u"Elveszi a munkát ettől a szerelőtől és másnak osztja ki?"_s))
                emit moveRequested(column, row, *job);
        });
    const auto remover = [this](Removal kind) {
        return [this, kind] {
            const auto [column, row] = clickedCell();
            if (column > 0)
                m_actions.remove(column, row, kind);
        };
    };
    connect(
        addMenuItem(QStringLiteral("mi_kiosztastorol"), QStringLiteral("Munka kiosztás törlése")),
        &QAction::triggered, this, remover(Removal::Unassign));
    connect(addMenuItem(u"mi_modosit"_s, u"Módosítás"_s), &QAction::triggered, this, [this] {
        const auto [column, row] = clickedCell();
        if (column == 0)
            return;
        if (const std::optional<GridJob> job = m_actions.check(column, row))
            emit modifyRequested(column, row, *job);
    });
    connect(addMenuItem(QStringLiteral("mi_torol"), QStringLiteral("Munka törlése")),
            &QAction::triggered, this, remover(Removal::Delete));
    m_menu->addSeparator();
    // The daily work instruction of the clicked column's technician (his exact code) and day.
    const auto forColumn = [this](auto work) {
        return [this, work] {
            const QModelIndex index = m_view->currentIndex();
            const int c = index.isValid() ? index.column() : 0;
            if (c >= 1 && c <= m_model->technicianCount())
                work(m_model->technician(c).kod, m_model->columnDate(c));
        };
    };
    connect(addMenuItem(u"mi_napilista"_s, u"Szerelő napi lista"_s), &QAction::triggered, this,
            forColumn([this](const QString& kod, const QString& day) {
                reports::printDailyInstruction(kod, day, day, u"Napi munka utasítás"_s, this);
            }));
    connect(addMenuItem(u"mi_napilistaemail"_s, u"Szerelő napi lista e-mailben"_s),
            &QAction::triggered, this, forColumn([](const QString& kod, const QString& day) {
                reports::dailyInstructionText(kod, day, day, true);
            }));
    connect(addMenuItem(u"mi_napilistamelleklet"_s, u"Szerelő napi lista e-mail melléklet"_s),
            &QAction::triggered, this, forColumn([](const QString& kod, const QString& day) {
                reports::dailyInstructionText(kod, day, day, false);
            }));
    // The job history is not part of the program yet: visible but cannot be chosen.
    m_history->setEnabled(false);
}

NapirendGrid::~NapirendGrid() = default;

QAction* NapirendGrid::addMenuItem(const QString& name, const QString& caption)
{
    QAction* a = m_menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

bool NapirendGrid::build(const QString& ownCompany, const QString& date)
{
    QString error;
    const bool built = m_model->build(ownCompany, date, &error);
    if (!built)
        messages::showError(error);
    rebuildNavigators();
    m_currentDay->setDate(date);
    if (built && m_model->technicianCount() == 0 && m_form == ScheduleForm::Entry)
        messages::show(QStringLiteral("Nincs aktív szerelő."));
    layoutColumns();
    return built;
}

void NapirendGrid::rebuildNavigators()
{
    for (DayNavigator* n : m_navigators)
        delete n;
    m_navigators.clear();
    for (int c = 1; c <= m_model->technicianCount(); ++c) {
        auto* n = new DayNavigator(m_navigatorRow);
        n->setObjectName(QStringLiteral("p_nap%1").arg(c));
        n->setDate(m_model->columnDate(c));
        connect(n, &DayNavigator::dateChosen, this,
                [this, c](const QString& date) { refreshColumn(c, date); });
        n->show();
        m_navigators.push_back(n);
    }
}

void NapirendGrid::layoutColumns()
{
    const int n = m_model->technicianCount();
    const bool longDay = m_model->gridRows() > 13;
    const int width =
        std::max(technicianColumnWidth(m_form, n, m_scroll->viewport()->width(), longDay),
                 readableColumnWidth());
    // Without technicians the request-entry grid has no hour column either.
    const bool hourColumn = n > 0 || m_form == ScheduleForm::Jobs;
    m_view->setColumnHidden(0, !hourColumn);
    m_view->setColumnWidth(0, hourColumnWidth);
    int x = hourColumn ? hourColumnWidth : 0;
    for (int c = 1; c <= n; ++c) {
        m_view->setColumnWidth(c, width);
        m_navigators[size_t(c - 1)]->setGeometry(x, 0, width, navigatorHeight);
        x += width;
    }
    // The rows share the height the panel gives the grid, never below a line of text.
    const int frame = 2 * m_view->frameWidth();
    const int rows = std::max(1, m_model->rowCount());
    const int available = m_scroll->viewport()->height() - navigatorHeight - frame;
    const int lineHeight = m_view->fontMetrics().height() + 6;
    m_view->verticalHeader()->setDefaultSectionSize(std::max(lineHeight, available / rows));
    int height = frame;
    for (int r = 0; r < m_model->rowCount(); ++r)
        height += m_view->rowHeight(r);
    m_navigatorRow->setGeometry(0, 0, x + frame, navigatorHeight);
    m_view->setGeometry(0, navigatorHeight, x + frame, height);
    m_view->parentWidget()->resize(x + frame, navigatorHeight + height);
}

int NapirendGrid::readableColumnWidth() const
{
    const QFontMetrics metrics = m_view->fontMetrics();
    int codeWidth = 0;
    for (int c = 1; c <= m_model->technicianCount(); ++c)
        codeWidth =
            std::max(codeWidth, metrics.horizontalAdvance(m_model->technician(c).kod + u' '));
    const int text = codeWidth + 10 * metrics.averageCharWidth() + 8;
    const int strip = m_currentDay->minimumSizeHint().width();
    return std::max(text, strip);
}

bool NapirendGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        layoutColumns();
    return QWidget::eventFilter(watched, event);
}

void NapirendGrid::refreshColumn(int column, const QString& date)
{
    QString error;
    if (!m_model->refreshColumn(column, date, &error))
        messages::showError(error);
    syncNavigators();
}

void NapirendGrid::refreshAll()
{
    QString error;
    if (!m_model->refreshAll(&error))
        messages::showError(error);
    syncNavigators();
}

void NapirendGrid::setAllDates(const QString& date)
{
    QString error;
    if (!m_model->setAllDates(date, &error))
        messages::showError(error);
    syncNavigators();
}

void NapirendGrid::syncNavigators()
{
    for (int c = 1; c <= m_model->technicianCount(); ++c)
        columnNavigator(c)->setDate(m_model->columnDate(c));
}

void NapirendGrid::setJobHistoryAvailable(bool available)
{
    m_history->setVisible(available);
}

void NapirendGrid::showMenu(const QPoint& position)
{
    const QModelIndex index = m_view->indexAt(position);
    if (!index.isValid())
        return;
    m_view->setCurrentIndex(index);
    m_menu->exec(m_view->viewport()->mapToGlobal(position));
}

std::pair<int, int> NapirendGrid::clickedCell() const
{
    const QModelIndex index = m_view->currentIndex();
    if (!index.isValid() || index.column() < 1 || index.row() < NapirendModel::firstHourRow)
        return {0, 0};
    return {index.column(), index.row()};
}

} // namespace mivo::workflow
