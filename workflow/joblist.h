#pragma once

#include "jobstate.h"

#include "framework/torzsmodel.h"

#include <QSqlRecord>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace mivo::workflow
{

/// One ordering of a job list: its context-menu caption and the ORDER BY clause it stands
/// for.
struct JobOrdering {
    QString caption;
    QString orderBy;
};

/// The orderings of the job lists' context menu in menu order; the first is the one a list
/// opens in.
const std::vector<JobOrdering>& jobOrderings();

/// The state a scheduling form's mode lists: "M" JobState::Recorded, "Z"
/// JobState::ClosedDoor, "F" JobState::InProgress; nullopt for any other mode.
std::optional<JobState> listedState(QStringView mode);

/// The list statement in an ordering (an index of jobOrderings()), with its parameter
/// ":allapot" (the listed state's code), as JobList hands it to its model. The dictionary
/// names (activity, appliance type) come from subqueries, so that a job whose dictionary row
/// is gone is listed with an empty name.
QString jobListStatement(int ordering);

/// The job list's record of one job, from its code (":kod") and the listed state's code
/// (":allapot"): the columns of jobListStatement(), found by the job's key.
QString jobRecordStatement();

/// The grid columns of a job list (field, title).
QList<TorzsGridColumn> jobListColumns();

/// A job list of the scheduling forms (grid_park): the jobs in one state, in one of the
/// orderings, read in chunks by a TorzsModel. Rows are the model's rows. A current job
/// (by its code) stays current when the list is read again or reordered. Every statement the
/// list runs, its own included, goes past the model's statement observer.
class JobList
{
public:
    /// On the business connection d_mivo.
    JobList();
    explicit JobList(const QString& connectionName);
    ~JobList();
    JobList(const JobList&) = delete;
    JobList& operator=(const JobList&) = delete;

    /// The model a view shows.
    TorzsModel& model() { return *m_model; }
    const TorzsModel& model() const { return *m_model; }

    /// Opens the list of the jobs in the state, in the ordering it has (the first one at
    /// first), with no current job. False with the database's text in *error (the list is
    /// then empty).
    bool open(JobState listed, QString* error);
    /// Reads the list again; the current job stays current while it is listed. False before
    /// open() or with the database's text.
    bool reopen(QString* error);
    /// Reads the list in another ordering (an index of jobOrderings()); the current job stays
    /// current. False for an unknown ordering (nothing read) or with the database's text.
    bool reorder(int ordering, QString* error);

    std::optional<JobState> listed() const { return m_listed; }
    int ordering() const { return m_ordering; }

    /// The job the form has current (its KOD), 0 for none.
    void setCurrentJob(int kod) { m_currentJob = kod; }
    int currentJob() const { return m_currentJob; }
    /// The row of the current job, -1 when there is none or it is not listed.
    int currentRow() { return m_currentJob > 0 ? rowOfJob(m_currentJob) : -1; }

    /// The row of the job in the list, -1 when the list does not hold it or a read failed
    /// (lastError()). A job among the rows read is found without the database; another one
    /// by its key, the rows then being read around it.
    int rowOfJob(int kod);
    /// The database's text of the last failed rowOfJob(), empty after a good one.
    QString lastError() const { return m_error; }
    /// The code of the job in the row, 0 outside the rows read.
    int jobOfRow(int row) const;
    /// The record of the row (the statement's columns), empty outside the rows read.
    QSqlRecord record(int row) const { return m_model->record(row); }

private:
    bool read(QString* error);
    void forgetRows() { m_indexed = false; }

    std::unique_ptr<TorzsModel> m_model;
    QString m_connection;
    std::optional<JobState> m_listed;
    int m_ordering = 0;
    int m_currentJob = 0;
    // Code → row of the rows read, built when first asked after the rows changed.
    std::unordered_map<int, int> m_rowOfCode;
    bool m_indexed = false;
    QString m_error;
};

} // namespace mivo::workflow
