#pragma once

#include <QAbstractTableModel>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace mivo
{

namespace db
{
class Query;
}

/// A column of the editor's grid: the bound field, its title and the number format its
/// FLOAT values are shown with.
struct TorzsGridColumn {
    QString field;
    QString title;
    QString numberFormat;
};

/// The records the generic editor shows, read in chunks as a contiguous slice of the ordered
/// result. reopen() reads the first chunk; the records are counted (totalCount(), "N tétel")
/// when first asked for after it.
/// While the slice begins at the first record (atStart(): after every reopen, and always on
/// a table that fits in what was read), row i is the record i of the order. A record wanted
/// beyond the rows read (locate(), search(), last()) is not counted to: the slice is read
/// anew around it instead, starting at a value of the first order column a few records
/// before it (found on the index of that column, read backwards), so its row is its place
/// in the slice. fetchMore() extends the slice at the end, fetchBefore() at the top, first()
/// returns to the first record. Each read is its own short statement over the same ORDER BY,
/// so no transaction stays open between user actions; in exchange rows that another
/// workstation commits between two reads may shift them by a row until the next reopen.
class TorzsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int defaultChunkSize = 100;

    explicit TorzsModel(const QString& connectionName, QObject* parent = nullptr);
    ~TorzsModel() override;

    /// The records statement (q_torzs): its lines with the condition and the ORDER BY line.
    /// The model never executes it whole; the full lists do.
    db::Query& query() { return *m_query; }
    const db::Query& query() const { return *m_query; }
    /// Told every statement the model runs, with its bound values, just before it runs it
    /// (benchmarks run the same statements bare).
    using StatementObserver =
        std::function<void(const QString& sql, const std::map<QString, QVariant>& values)>;
    void setStatementObserver(StatementObserver observer) { m_observer = std::move(observer); }
    const StatementObserver& statementObserver() const { return m_observer; }

    /// A named parameter of the statement (":name"), bound on every read the model makes.
    void setParameter(const QString& name, const QVariant& value) { m_parameters[name] = value; }
    const std::map<QString, QVariant>& parameters() const { return m_parameters; }

    /// Rows per chunk (at least 1); takes effect at the next reopen.
    void setChunkSize(int rows) { m_chunk = std::max(1, rows); }
    int chunkSize() const { return m_chunk; }

    void setGridColumns(const QList<TorzsGridColumn>& columns);
    const QList<TorzsGridColumn>& gridColumns() const { return m_grid; }

    /// Reads the first chunk of the records anew; false with the database's text in
    /// *error (the model is then empty).
    bool reopen(QString* error);
    /// The database's text of the last failed read, empty after a good one.
    QString lastError() const { return m_error; }

    /// Rows of the slice read so far (Qt's fetchMore protocol).
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    /// Records of the statement ("N tétel"): counted at the first call after a reopen
    /// (COUNT(*), which visits every record), unless the first chunk held them all; 0 with
    /// lastError() set when the count fails.
    int totalCount() const;
    /// Whether totalCount() is known without asking the database.
    bool countKnown() const { return m_total >= 0; }
    /// Whether row 0 is the first record of the order (rows are then absolute positions).
    bool atStart() const { return !m_from.has_value(); }
    /// Whether the last row is the last record of the order.
    bool atEnd() const { return m_atEnd; }
    /// Extends the slice at the end so that the row is among rowCount(); false when the
    /// records end before it.
    bool fetchUpTo(int row);
    /// Extends the slice at the top by about a chunk; the rows added (0 at the first record
    /// or on a failed read, see lastError()). Existing rows move down by that many.
    int fetchBefore();
    /// The slice at the first record; its row (0), -1 when there are no records.
    int first();
    /// The slice ending at the last record; its row, -1 when there are no records.
    int last();

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Vertical: the record's number while the slice begins at the first record, else none.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    /// The record of a row, values included; an empty record outside the slice.
    QSqlRecord record(int row) const;
    QVariant value(int row, const QString& field) const;
    /// Field names and types of the result.
    const QSqlRecord& structure() const { return m_structure; }

    /// The row of the first record whose fields hold exactly the values; -1 when none.
    int locate(const QStringList& fields, const QVariantList& values);
    /// The same for a record the caller has read itself (`found` holds its order columns
    /// under the result's names, as a row of the statement would): its place is read around
    /// those values without the locate statement, for statements whose plan suits reading
    /// in order better than finding one record by its key.
    int locateAt(const QSqlRecord& found, const QStringList& fields, const QVariantList& values);
    /// The row of the first record whose field begins with the longest possible beginning of
    /// the text (case-insensitive); -1 when no record shares even its first character.
    int search(const QString& field, const QString& text);

    // The statements the model runs, for measuring them bare. Parameters: ":mivo_from",
    // ":mivo_to" (1-based rows), ":mivo_p" (the upper-case beginning), ":mivo_k0"... (values
    // of the fields), ":mivo_v" and ":mivo_w" (values of the first order column).
    /// SELECT COUNT(*) over the statement's FROM and WHERE.
    QString countStatement() const;
    /// The rows :mivo_from to :mivo_to of the statement in its order.
    QString chunkStatement() const;
    /// The first record in the order whose field begins with :mivo_p (case-insensitive);
    /// empty when the field's type has no such form in SQL. The bare prefix query.
    QString prefixStatement(const QString& field) const;
    /// What search() runs for it: the prefix query, bounded below by the smallest case form
    /// of :mivo_p when the field is a table's text column and the first ascending order
    /// column, so that its index is walked from there and not from the first record.
    QString searchStatement(const QString& field) const;
    /// The first record in the order whose fields equal :mivo_k0... (a null value: IS NULL).
    QString locateStatement(const QStringList& fields, const QVariantList& values) const;
    /// Rows :mivo_from to :mivo_to of the records from the first order column's value :mivo_v
    /// on (a null value: the nulls of a descending order); empty without a plain first
    /// order column.
    QString sliceStatement(bool nullValue) const;
    /// The :mivo_to-th record backwards from the one before the records with the first
    /// order column's value :mivo_v (kind Before, BeforeNull), or from the last record
    /// (FromEnd); empty when no record can be before it.
    enum class Backwards { Before, BeforeNull, FromEnd };
    QString valueBeforeStatement(Backwards kind) const;
    /// The first :mivo_to records whose first order column holds :mivo_v (or null).
    QString tiesStatement(bool nullValue) const;
    /// SELECT COUNT(*) of the records whose first order column holds :mivo_w.
    QString tiesCountStatement() const;
    /// SELECT COUNT(*) of the records with the first order column's value :mivo_v (or null)
    /// that come before the second order column's value :mivo_k (or null); empty without a
    /// plain second order column or when none can be before.
    QString tiesBeforeCountStatement(bool nullValue, bool nullSecond) const;
    /// The records from the value :mivo_w on up to before the value :mivo_v (or the nulls).
    QString betweenStatement(bool nullValue) const;

private:
    using Row = std::vector<QVariant>;
    struct OrderColumn {
        QString name;
        bool descending = false;
    };

    void clear();
    /// The statement with a further condition and a last line.
    QString withCondition(const QString& predicate, const QString& tail) const;
    /// The statement with a condition, another ORDER BY line and a last line.
    QString withOrder(const QString& predicate, const QString& order, const QString& tail) const;
    /// The plain columns the ORDER BY begins with.
    std::vector<OrderColumn> orderColumns() const;
    /// The result column of an order column (a qualified name: the table's column, or the
    /// alias the select list gives it); -1 when none.
    int resultColumnOf(const QString& name) const;
    /// Runs a read, telling the observer first.
    bool exec(db::Query& q) const;
    /// Binds the statement's own parameters (setParameter) on a read.
    void bindParameters(db::Query& q) const;
    /// Runs the statement and appends its rows; false with m_error set.
    bool read(db::Query& q, std::vector<Row>* rows) const;
    /// Rows `from` (1-based) to `to` of the slice's records.
    bool readSlice(int from, int to, std::vector<Row>* rows) const;
    /// The first order column's value `count` records backwards (see valueBeforeStatement);
    /// *found empty when there are not that many. False on a failed read.
    /// With sameValueRows: the last of the first `count` records backwards, how many of
    /// them hold its value, and in *moreAbove whether records further up hold it too.
    bool valueBefore(Backwards kind, const QVariant& value, int count,
                     std::optional<QVariant>* found, int* sameValueRows = nullptr,
                     bool* moreAbove = nullptr) const;
    /// Reads the slice anew from the first record of the value on (none: from the first
    /// record), `rows` rows.
    /// `skip` records of that value are left out at the top.
    bool resetSlice(const std::optional<QVariant>& from, int rows, int skip = 0);
    /// Appends up to `rows` rows at the end of the slice.
    bool fetchAfter(int rows);
    /// The first row from the first one whose order value is `value` (any row without an
    /// order column) that the test accepts, reading further as needed; -1 when none.
    int scanFrom(const std::optional<QVariant>& value,
                 const std::function<bool(const Row&)>& accepts);
    /// locate() and locateAt() (known: the record read by the caller).
    int locateRecord(const QStringList& fields, const QVariantList& values,
                     const QSqlRecord* known);
    /// The row of the record found (a row of the statement), given the test that recognises
    /// it: in the slice when it is there, else in one read anew around it.
    /// firstOfValue: the record is known to be the first of its order value.
    int positionOf(const QSqlRecord& found, const std::function<bool(const Row&)>& accepts,
                   bool firstOfValue);
    int scanSearch(int column, const QString& wanted);

    std::unique_ptr<db::Query> m_query;
    QString m_connection;
    int m_chunk = defaultChunkSize;
    mutable int m_total = 0;             // -1: not counted yet
    bool m_signalling = false;           // inside a reset or an insertion
    std::optional<OrderColumn> m_order;  // the plain first order column of the result
    int m_orderIndex = -1;               // its result column
    std::optional<OrderColumn> m_second; // the second one, when plain too
    int m_secondIndex = -1;
    std::map<QString, QVariant> m_parameters;
    StatementObserver m_observer;
    std::optional<QVariant> m_from; // first order value of the slice; none: first record
    int m_skip = 0;                 // records of that value before the slice
    bool m_atEnd = true;
    mutable QSqlRecord m_structure; // taken from the first chunk read
    std::vector<Row> m_rows;        // the slice
    mutable QString m_error;
    QList<TorzsGridColumn> m_grid;
    std::vector<int> m_gridIndex;     // result column of each grid column
    std::vector<QString> m_typeNames; // per result column
};

/// Whether two values of a column are the same: nulls match only nulls, numbers by value,
/// everything else by its exact text.
bool sameValue(const QVariant& a, const QVariant& b);

} // namespace mivo
