#include "adatfelv.h"

#include "customerlists.h"
#include "jobrepository.h"
#include "napirend.h"
#include "napirendgrid.h"
#include "requestfields.h"

#include "core/messages.h"
#include "core/rowlist.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo::workflow
{

Tadatfelvfm::Tadatfelvfm(QWidget* parent)
    : SchedulingForm(ScheduleForm::Jobs, parent), m_view(new QTableView(this))
{
    setObjectName(u"Tadatfelvfm"_s);
    setUpRowList(m_view, u"grid_park"_s, &m_jobs.model(), RowNumbers::Shown);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* orderings = new QMenu(this);
    for (int i = 0; i < int(jobOrderings().size()); ++i) {
        QAction* a = orderings->addAction(jobOrderings()[size_t(i)].caption);
        a->setObjectName(u"mi_rendezes%1"_s.arg(i + 1));
        connect(a, &QAction::triggered, this, [this, i] { reorder(i); });
    }
    connect(m_view, &QWidget::customContextMenuRequested, this,
            [this, orderings](QPoint at) { orderings->exec(m_view->viewport()->mapToGlobal(at)); });
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this] { loadCurrent(); });
    connect(commands().command(u"modosit"_s), &QAction::triggered, this, &Tadatfelvfm::loadCurrent);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(buttonBar());
    auto* top = new QHBoxLayout;
    top->addWidget(requestFields(), 3);
    top->addWidget(customerLists(), 2);
    layout->addLayout(top, 4);
    layout->addWidget(grid(), 5);
    layout->addWidget(m_view, 3);
}

void Tadatfelvfm::initialise()
{
    if (const QScreen* s = screen())
        setGeometry(s->availableGeometry());
    SchedulingForm::initialise();
}

void Tadatfelvfm::rereadList()
{
    const std::optional<JobState> state = listedState(mode());
    if (!state)
        return;
    rememberCurrent();
    QString error;
    const bool read =
        m_jobs.listed() == state ? m_jobs.reopen(&error) : m_jobs.open(*state, &error);
    if (!read)
        messages::showError(error);
    for (int i = 0; i < m_jobs.model().columnCount(); ++i)
        m_view->resizeColumnToContents(i);
    showCurrent();
}

void Tadatfelvfm::rememberCurrent()
{
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid())
        m_jobs.setCurrentJob(m_jobs.jobOfRow(current.row()));
}

void Tadatfelvfm::showCurrent()
{
    const int row = m_jobs.currentRow();
    if (row >= 0)
        m_view->selectRow(row);
    else if (m_jobs.model().rowCount() > 0 && !m_view->currentIndex().isValid())
        m_view->selectRow(0);
}

void Tadatfelvfm::reorder(int ordering)
{
    rememberCurrent();
    QString error;
    if (!m_jobs.reorder(ordering, &error))
        messages::showError(error);
    showCurrent();
}

void Tadatfelvfm::loadCurrent()
{
    if (refuseWhileEditing())
        return;
    const QModelIndex current = m_view->currentIndex();
    const int kod = current.isValid() ? m_jobs.jobOfRow(current.row()) : 0;
    if (kod == 0)
        return;
    m_jobs.setCurrentJob(kod);
    QString error;
    const std::optional<GridJob> job = JobRepository().load(kod, &error);
    if (!job) {
        // Gone meanwhile: the list shows what is left.
        if (!error.isEmpty())
            messages::showError(error);
        rereadList();
        return;
    }
    loadJob(*job, modeOfLetter(mode()).value_or(RequestMode::Unplaced));
}

void Tadatfelvfm::cellClickedIdle(int column, int row)
{
    const int kod = grid()->model().jobCode(column, row);
    if (kod == 0)
        return;
    const int listed = m_jobs.rowOfJob(kod);
    if (listed >= 0) {
        m_jobs.setCurrentJob(kod);
        m_view->selectRow(listed);
    }
}

} // namespace mivo::workflow
