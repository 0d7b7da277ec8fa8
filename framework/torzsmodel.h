#pragma once

#include <QAbstractTableModel>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include <memory>
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

/// The records the generic editor shows. The whole result is held (the driver reports no
/// size, and the editor needs positions, counts and locating); every reopen executes the
/// statement again, so no old snapshot stays pinned between showings.
class TorzsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TorzsModel(const QString& connectionName, QObject* parent = nullptr);
    ~TorzsModel() override;

    /// The statement behind the records (q_torzs).
    db::Query& query() { return *m_query; }
    const db::Query& query() const { return *m_query; }

    void setGridColumns(const QList<TorzsGridColumn>& columns);
    const QList<TorzsGridColumn>& gridColumns() const { return m_grid; }

    /// Executes the statement again; false with the database's text in *error (the model is
    /// then empty).
    bool reopen(QString* error);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    /// The record of a row, values included; an empty record outside the rows.
    QSqlRecord record(int row) const;
    QVariant value(int row, const QString& field) const;
    /// Field names and types of the result.
    const QSqlRecord& structure() const;

    /// The first row whose fields hold exactly the values; -1 when none.
    int locate(const QStringList& fields, const QVariantList& values) const;
    /// The first row whose field begins with the longest possible beginning of the text
    /// (case-insensitive); -1 when no row shares even its first character.
    int search(const QString& field, const QString& text) const;

private:
    std::unique_ptr<db::Query> m_query;
    QList<TorzsGridColumn> m_grid;
    std::vector<int> m_gridIndex;     // result column of each grid column
    std::vector<QString> m_typeNames; // per result column
};

/// Whether two values of a column are the same: nulls match only nulls, numbers by value,
/// everything else by its exact text.
bool sameValue(const QVariant& a, const QVariant& b);

} // namespace mivo
