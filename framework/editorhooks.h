#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <map>

class QSqlRecord;

namespace mivo
{

/// Where a stored change of a table marked for synchronisation goes: the recorder writes it
/// as a statement of the change script that other sites replay. The recorder is registered
/// at start-up; without one the changes are not recorded.
class ChangeScriptRecorder
{
public:
    virtual ~ChangeScriptRecorder() = default;
    /// A statement that ran on the table with its parameter values (lower-case names).
    virtual void record(const QString& table, const QString& statement,
                        const std::map<QString, QVariant>& parameters) = 0;
};

/// Registers the recorder (nullptr removes it); the caller keeps ownership.
void setChangeScriptRecorder(ChangeScriptRecorder* recorder);

/// Sets a field's input on the editor's panel; false when the panel has no such input.
using PanelSetter = std::function<bool(const QString& field, const QString& value)>;

/// The points at which the generic editor calls the application's own behaviour. Codes come
/// from the table dictionary (AFTERINSERT, BEFOREPOST, AFTERPOST, QREPORT); 0 is none.
namespace hooks
{

/// Whether the current record of the table may be deleted: a customer who still has
/// appliances may not; everything else may. A failing check refuses and says why.
bool DeleteAllowedHook(const QString& table, const QStringList& keyFields,
                       const QSqlRecord& current);

/// A new record was started: code 2 fills the own company code and the active mark, code 3
/// starts KOD at "0".
void AfterInsertHook(int code, const PanelSetter& panel);

/// Before a store runs; false vetoes it. Every code allows.
bool BeforePostHook(int code, const QStringList& statement);

/// After a successful store: code 1 hands the statement and its values to the change-script
/// recorder.
void AfterPostHook(const QString& table, int code, const QString& statement,
                   const std::map<QString, QVariant>& parameters);

/// The special functions screen as the hooks reach it; registered by the screen.
void setSpecialFunctions(std::function<void()> show);

/// Full list on screen or printer with a QREPORT code: code 1 shows the special functions
/// screen. True when the code was handled.
bool QReportHook(int code);
/// Full list to a file with a QREPORT code: as QReportHook.
bool ExportHook(int code);

} // namespace hooks

} // namespace mivo
