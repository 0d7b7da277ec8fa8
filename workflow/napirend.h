#pragma once

#include "sqlstatement.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace mivo::workflow
{

/// An own technician as the planning grid lists him.
struct Technician {
    QString kod; ///< exact SZERELO.KOD (may be shorter than 6 characters)
    QString nev;
    QString email;
};

/// The cell a request chose and has not stored yet: its technician (exact code), day and hour
/// row, and the text it shows there.
struct PendingCell {
    QString technician;
    QString date;
    int row = 0;
    QString text;
};

/// The planning grid: every active own technician's day by hours. Row 0 holds each column's
/// header, row 1 its date and weekday, rows 2..R-1 the hours "08".. (the row of hour h is
/// h - 6); column 0 holds the hour labels, columns 1..n the technicians in name order. Each
/// column has its own date. Beside the texts the model keeps, per hour cell, the code of the
/// job shown there (0 for none): actions on a cell find their job through it, never through
/// the text. Every refresh reads the database afresh, so other workstations' commits show.
class NapirendModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    /// Data role giving the job code of an hour cell (0 for none).
    static constexpr int JobCodeRole = Qt::UserRole;
    static constexpr int firstHourRow = 2;
    /// The own company whose technicians work until 23:00 (others until 18:00).
    static const QString longDayCompany;

    explicit NapirendModel(QObject* parent = nullptr);

    /// Reads the own company's active technicians, lays out the rows for the company and
    /// fills every column for the date. False with the database's text in *error.
    bool build(const QString& ownCompany, const QString& date, QString* error);

    int technicianCount() const { return int(m_columns.size()); }
    /// R: the two header rows plus the hour rows.
    int gridRows() const { return m_rows; }
    /// Technician of column 1..n.
    const Technician& technician(int column) const { return at(column).technician; }
    /// The header text of column 1..n: code, a space, name.
    QString header(int column) const;
    /// The date ("yyyy.mm.dd") column 1..n shows.
    QString columnDate(int column) const { return at(column).date; }
    /// Text of an hour cell (column 1..n, row 2..R-1).
    QString cellText(int column, int row) const;
    /// Job code of an hour cell; 0 when the cell holds no stored job.
    int jobCode(int column, int row) const;
    /// Whether column 1..n shows its technician absent on its date.
    bool isAbsent(int column) const { return at(column).absent; }
    /// Label of hour row 2.. : the row plus 6, two digits ("08").
    static QString hourLabel(int row);

    /// Shows the column (1..n) for the date, read afresh. On failure the column keeps what
    /// it showed and *error holds the database's text.
    bool refreshColumn(int column, const QString& date, QString* error);
    /// Every column to the date, read afresh.
    bool setAllDates(const QString& date, QString* error);
    /// Every column read afresh for the date it shows.
    bool refreshAll(QString* error);
    /// Empties an hour cell and forgets its job.
    void clearCell(int column, int row);

    /// Shows the request's chosen cell while that cell holds nothing else, also after
    /// refreshes; nullopt shows none.
    void setPending(const std::optional<PendingCell>& cell);
    const std::optional<PendingCell>& pending() const { return m_pending; }
    /// Leaves a job out of every refresh while it is being moved (0: none), so that its
    /// former cell reads as free.
    void setHiddenJob(int kod) { m_hiddenJob = kod; }
    /// The column (1..n) of a technician code, 0 when none shows him.
    int columnOf(const QString& technician) const;

    /// The statement that reads the absence marks of the technicians (SZERELO.KOD) on the
    /// date ("yyyy.mm.dd"); a refresh runs it once per date shown.
    static SqlStatement absenceStatement(const QString& date, const QStringList& technicians);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Column {
        Technician technician;
        QString date;
        bool absent = false;
        QStringList cells;      ///< hour rows 2..R-1
        std::vector<int> codes; ///< job code per hour row
    };
    struct Request {
        int column;
        QString date;
    };

    const Column& at(int column) const { return m_columns.at(size_t(column - 1)); }
    Column emptyColumn(const Technician& technician, const QString& date) const;
    /// Reads the given columns for their new dates and puts them in place only when every
    /// query succeeded.
    bool refresh(const std::vector<Request>& requests, QString* error);
    bool readDay(const QString& date, std::vector<Column*>& columns, QString* error) const;

    /// Whether the pending cell is column's cell of the row.
    bool isPending(int column, int row) const;
    void emitColumnChanged(int column);

    std::vector<Column> m_columns;
    int m_rows = 13;
    std::optional<PendingCell> m_pending;
    int m_hiddenJob = 0;
};

} // namespace mivo::workflow
