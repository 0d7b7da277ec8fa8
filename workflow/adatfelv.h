#pragma once

#include "joblist.h"
#include "schedulingform.h"

class QTableView;

namespace mivo::workflow
{

/// The scheduling form of the job lists (modes "M", "Z", "F"): request fields above the
/// planning grid, the list of jobs waiting (`grid_park`) at the bottom. "&Módosítás" or a
/// double click loads the current job; a cell clicked while nothing is edited makes its job
/// current in the list.
class Tadatfelvfm : public SchedulingForm
{
    Q_OBJECT
public:
    explicit Tadatfelvfm(QWidget* parent = nullptr);
    void initialise() override;

    QTableView* jobList() const { return m_view; }
    JobList& jobs() { return m_jobs; }

protected:
    void rereadList() override;
    void cellClickedIdle(int column, int row) override;

private:
    void loadCurrent();
    void reorder(int ordering);
    void showCurrent();
    void rememberCurrent();

    JobList m_jobs;
    QTableView* m_view;
};

} // namespace mivo::workflow
