#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace mivo
{

/// One field of a stored record as the change log sees it: the old value as the panel
/// showed it (empty for an insert) and the new value as typed.
struct FieldChange {
    QString field;
    QString oldValue;
    QString newValue;
};

/// The generic editor's change log (table DOKU, written only when it exists).
namespace changelog
{

/// The fields that get a row: for "I" those with a new value, for "U" those whose value
/// changed; "D" logs the record, not its fields.
QList<FieldChange> loggedFields(const QString& action, const QList<FieldChange>& fields);

/// Writes the rows of a store (the logged fields of all the record's fields) that changed
/// rowsChanged rows (nothing when it changed none: vetoed and failed stores leave no trace). Values
/// are stored exactly, each cut to its column's length. The key is the record's key values joined
/// by ";". False with the database's text in *error; the store itself stands either way.
bool write(const QString& table, const QStringList& keyValues, const QString& action,
           const QList<FieldChange>& fields, int rowsChanged, QString* error);

} // namespace changelog

} // namespace mivo
