#pragma once

#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

namespace mivo
{

namespace db
{
class Query;
}

/// One column of a chosen record: name, type name (Tdm::fieldTypeName) and value.
struct TSelectedRecord {
    QString FieldName;
    QString FieldType;
    QVariant Value;
};

/// A chosen record, one element per column in column order.
using ASelectedRecord = QList<TSelectedRecord>;

/// The record's elements with their type names.
ASelectedRecord selectedRecord(const QSqlRecord& record);
/// Index of the column (case-insensitive) or -1.
qsizetype columnOf(const ASelectedRecord& record, const QString& field);
/// The current row of a select as a record with values (an empty record past the end).
QSqlRecord currentRecord(const db::Query& query);

} // namespace mivo
