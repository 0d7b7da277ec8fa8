#pragma once

#include <QString>

class QWidget;

namespace mivo
{

/// The master list with conditions as program routines reach it. The screen registers itself
/// at start-up, so that callers (the letters, the generic editor) need not know it.
class TorzskvarcelOpener
{
public:
    virtual ~TorzskvarcelOpener() = default;
    /// Shows the master list on the table modally; see OpenTorzskvarcel.
    virtual bool openList(QWidget* parent, const QString& table, QString* condition,
                          QString* fields, QString* order) = 0;
};

/// Registers the screen (nullptr removes it); the caller keeps ownership.
void setTorzskvarcelOpener(TorzskvarcelOpener* opener);

/// Lets the user compose a query on the table. True only when the user finished with
/// "&Befejez": then *condition holds the WHERE condition (without the word WHERE, empty
/// when none), *fields the listed fields as "TABLE.COLUMN" joined by ",", and *order the
/// sorted fields joined by " , ". On false (left another way, or no screen registered) the
/// out values are unchanged. Any out pointer may be null.
bool OpenTorzskvarcel(QWidget* parent, const QString& table, QString* condition, QString* fields,
                      QString* order);

} // namespace mivo
