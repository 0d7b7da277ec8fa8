#pragma once

#include "schedulingform.h"

class QTableView;

namespace mivo::workflow
{

/// The scheduling form of the job lists (modes "M", "Z", "F"): request fields above the
/// planning grid, the list of jobs waiting at the bottom.
class Tadatfelvfm : public SchedulingForm
{
    Q_OBJECT
public:
    explicit Tadatfelvfm(QWidget* parent = nullptr);

    QTableView* jobList() const { return m_jobList; }

private:
    QTableView* m_jobList;
};

} // namespace mivo::workflow
