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

/// The records the generic editor shows, read in chunks. reopen() counts the rows of the
/// statement (totalCount()) and reads its first chunk; further chunks come through Qt's
/// fetchMore() as the view scrolls, or when a row beyond them is wanted (fetchUpTo(),
/// locate(), search()): only the rows around that row are read then, the ones between
/// when they are drawn. A located or searched record's position is the count of records
/// ordering before it; the rows from it on are read from its value on the order column's
/// index, since skipping to a deep position walks every row before it. Each read is its own
/// short statement ("ROWS a TO b" over the same ORDER BY), so no transaction stays open
/// between user actions; in exchange rows that another workstation commits between two
/// reads may shift them by a row until the next reopen.
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

    /// Rows per chunk (at least 1); takes effect at the next reopen.
    void setChunkSize(int rows) { m_chunk = std::max(1, rows); }
    int chunkSize() const { return m_chunk; }

    void setGridColumns(const QList<TorzsGridColumn>& columns);
    const QList<TorzsGridColumn>& gridColumns() const { return m_grid; }

    /// Counts the rows again and reads the first chunk; false with the database's text in
    /// *error (the model is then empty).
    bool reopen(QString* error);
    /// The database's text of the last failed read, empty after a good one.
    QString lastError() const { return m_error; }

    /// Rows fetched so far (Qt's fetchMore protocol); totalCount() is the number of records.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    /// Records of the statement at the last reopen ("N tétel").
    int totalCount() const { return m_total; }
    /// Fetches so far that the row is among rowCount(); false when it is past the records.
    bool fetchUpTo(int row);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    /// The record of a row, values included; an empty record outside the fetched rows.
    QSqlRecord record(int row) const;
    QVariant value(int row, const QString& field) const;
    /// Field names and types of the result.
    const QSqlRecord& structure() const { return m_structure; }

    /// The first row whose fields hold exactly the values, fetched up to it; -1 when none.
    int locate(const QStringList& fields, const QVariantList& values);
    /// The first row whose field begins with the longest possible beginning of the text
    /// (case-insensitive), fetched up to it; -1 when no row shares even its first character.
    int search(const QString& field, const QString& text);

    // The statements the model runs, for measuring them bare. Parameters: ":mivo_from",
    // ":mivo_to" (1-based rows), ":mivo_p" (the upper-case beginning), ":mivo_k0"... (values
    // of the fields), ":mivo_v" (the first order column's value).
    /// SELECT COUNT(*) over the statement's FROM and WHERE.
    QString countStatement() const;
    /// The rows :mivo_from to :mivo_to of the statement in its order.
    QString chunkStatement() const;
    /// The first record in the order whose field begins with :mivo_p (case-insensitive);
    /// empty when the field's type has no such form in SQL.
    QString searchStatement(const QString& field) const;
    /// The first record in the order whose fields equal :mivo_k0... (a null value: IS NULL).
    QString locateStatement(const QStringList& fields, const QVariantList& values) const;
    /// The first :mivo_to records from those whose first order column is at least :mivo_v;
    /// empty when the order does not begin with an ascending plain column.
    QString fromValueStatement() const;
    /// The first order column's value of the :mivo_to-th record before the value :mivo_v
    /// (on a descending index); empty unless the order begins with an ascending column.
    QString valueBeforeStatement() const;
    /// How many records have a first order column from :mivo_w up to before :mivo_v.
    QString betweenStatement() const;
    /// How many records order before one whose first order column holds :mivo_v (null:
    /// empty text); empty when the order is not by plain columns.
    QString positionStatement(bool nullValue) const;

private:
    using Row = std::vector<QVariant>;
    struct OrderColumn {
        QString name;
        bool descending = false;
    };

    void clear();
    /// The statement with a further condition and a last line.
    QString withCondition(const QString& predicate, const QString& tail) const;
    std::optional<OrderColumn> firstOrderColumn() const;
    bool loaded(int index) const { return !m_rows[size_t(index)].empty(); }
    /// Stores the rows of an executed statement from the row on; how many it gave.
    int fill(db::Query& q, int first) const;
    /// Reads the rows of the chunks holding rows first..last that are not read yet.
    bool load(int first, int last) const;
    /// Reads the rows from `start` on, known to begin with the first order column's value.
    bool loadFrom(int start, const QVariant& value) const;
    /// Reads about a chunk of rows before `start`, where the value begins.
    bool loadBefore(int start, const QVariant& value) const;
    const Row* row(int index) const;
    /// The first row from `from` on (read as needed) that the test accepts; -1 when none.
    int scanFrom(int from, const std::function<bool(const Row&)>& accepts);
    /// The row of the record the statement finds first, given the test that recognises it.
    int positionOf(db::Query& found, const std::function<bool(const Row&)>& accepts);
    int scanSearch(int column, const QString& wanted);

    std::unique_ptr<db::Query> m_query;
    QString m_connection;
    int m_chunk = defaultChunkSize;
    int m_total = 0;
    int m_fetched = 0;
    bool m_signalling = false;       // inside a reset or an insertion
    mutable QSqlRecord m_structure;  // taken from the first chunk read
    mutable std::vector<Row> m_rows; // every record; an empty one is not read yet
    mutable QString m_error;
    QList<TorzsGridColumn> m_grid;
    std::vector<int> m_gridIndex;     // result column of each grid column
    std::vector<QString> m_typeNames; // per result column
};

/// Whether two values of a column are the same: nulls match only nulls, numbers by value,
/// everything else by its exact text.
bool sameValue(const QVariant& a, const QVariant& b);

} // namespace mivo
