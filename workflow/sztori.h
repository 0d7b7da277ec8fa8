#pragma once

#include <QDialog>

class QTableView;

namespace mivo::data
{
class QueryModel;
}

namespace mivo::workflow
{

/// The job history window (Tsztorifm): every stored version of one job, the current row
/// last, read-only, with "&Vissza". The rows are read when it opens and released when it
/// closes.
class Tsztorifm : public QDialog
{
    Q_OBJECT
public:
    explicit Tsztorifm(QWidget* parent = nullptr);

    /// Reads the versions of the job and titles the window after it. False with the
    /// database's text in *error.
    bool showJob(int kod, QString* error);
    /// Opens the window modally on the job; a history that cannot be read is told instead.
    static void open(int kod, QWidget* parent);

    QTableView* view() const { return m_view; }
    const data::QueryModel& rows() const { return *m_rows; }

protected:
    void done(int result) override;

private:
    data::QueryModel* m_rows;
    QTableView* m_view;
};

} // namespace mivo::workflow
