#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>

#include <map>
#include <vector>

namespace mivo::data
{

/// A column a QueryModel shows: the result field and its title.
struct ShownColumn {
    QString field;
    QString title;
};

/// The rows of a small select, read whole, shown read-only in the columns given. For the
/// short lists beside the entry screens (a customer's appliances, letters, a job history);
/// the editor's long lists read in chunks instead.
class QueryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    QueryModel(const QString& connectionName, const std::vector<ShownColumn>& columns,
               QObject* parent = nullptr);

    /// Reads the statement's rows anew. False with the database's text in *error (the model
    /// is then empty).
    bool read(const QString& sql, const std::map<QString, QVariant>& params, QString* error);
    /// Shows no rows.
    void clear();

    /// A field of a row (any field of the result, shown or not); null outside the rows.
    QVariant value(int row, const QString& field) const;
    /// The same as trimmed text.
    QString text(int row, const QString& field) const
    {
        return value(row, field).toString().trimmed();
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString m_connection;
    std::vector<ShownColumn> m_columns;
    std::vector<QString> m_fields; ///< every field of the result, upper case
    std::vector<std::vector<QVariant>> m_rows;
};

} // namespace mivo::data
