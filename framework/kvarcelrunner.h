#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace mivo
{
class StatementRights;
namespace db
{
class Query;
}
} // namespace mivo

namespace mivo::kvarcel
{

class History;
class PeriodKeywords;

/// The script variables QV1 … QV9 that LET lines set; they keep their values between runs.
using ScriptVariables = std::array<QString, 9>;

/// One statement of a script: its lines as read (comments out, parameters replaced).
struct ScriptStatement {
    QStringList lines;
};

/// Reads a script of the list builder into statements: comments between "/*" and "*/" are
/// removed (also across lines, never inside string literals), leading blanks dropped,
/// "LET QVn = value" lines set the variables, ":qv1" … ":qv9" and the ":qp…" period
/// parameters are replaced case-insensitively, and a statement ends with a line whose
/// trimmed text ends in ";" (or with the last line).
class ScriptReader
{
public:
    ScriptReader(ScriptVariables& variables, const PeriodKeywords& keywords)
        : m_variables(variables), m_keywords(keywords)
    {
    }
    std::vector<ScriptStatement> read(const QStringList& lines);
    /// A line with the parameters replaced.
    QString replaceParameters(const QString& line) const;

private:
    ScriptVariables& m_variables;
    const PeriodKeywords& m_keywords;
};

/// The temporary objects of a run: the result table and the restricted sources, dropped
/// after the run (droptmp), and the tables whose drop waits for the screen's end
/// (DropDeferredTables). Failures to drop are not reported.
class TemporaryObjects
{
public:
    explicit TemporaryObjects(const QString& connection) : m_connection(connection) {}

    /// The objects of the next run; dialect "P" drops its sources as tables.
    void set(const QString& resultTable, const QStringList& restrictedSources, bool paradox);
    QString resultTable() const { return m_result; }
    /// Whether the result table is kept until the end ("N" of kvarci_kelldrop).
    void setKeepTables(bool keep) { m_keep = keep; }
    void defer(const QStringList& tables);
    const QStringList& deferred() const { return m_deferred; }

    /// droptmp: drops the result table (or defers it when kept or when the drop fails) and
    /// every restricted source, and forgets both.
    void drop();
    /// DropDeferredTables: drops every deferred table.
    void dropDeferred();

private:
    QString m_connection;
    QString m_result;
    QStringList m_sources;
    bool m_paradox = false;
    bool m_keep = false;
    QStringList m_deferred;
};

/// What a run of a script gave.
struct RunOutcome {
    enum class Status { Done, Denied, Failed, Empty };
    Status status = Status::Empty;
    /// The notice to show: "Erre Önnek nincs jogosultsaga", "Hibás sql utasítás." and the
    /// database's text on a second line.
    QString message;
    QStringList log;    ///< one result text per executed statement, unpadded
    QString resultText; ///< the padded result text of the last statement
    int executed = 0;
    /// The last SELECT, read whole (its statement released), or null.
    std::unique_ptr<db::Query> result;
};

/// Runs the statements of a script on a connection one after the other (sb_gosqlClick's
/// execution): checked statement by statement first when rights are given, each executed on
/// its own query and released at once, the last SELECT kept as the result; the history gets
/// a line per statement. The temporary objects are dropped after the run, also after a
/// failure.
class ScriptRunner
{
public:
    explicit ScriptRunner(const QString& connection) : m_connection(connection) {}

    /// Checks the statements before any runs (null: no checks).
    void setRights(StatementRights* rights) { m_rights = rights; }
    void setHistory(History* history) { m_history = history; }
    void setTemporaryObjects(TemporaryObjects* objects) { m_objects = objects; }
    /// Called with each statement before it runs (the power user's display).
    void setStatementShown(std::function<void(const QString&)> shown)
    {
        m_shown = std::move(shown);
    }
    /// Called after each statement with the count done and in all.
    void setProgress(std::function<void(int, int)> progress) { m_progress = std::move(progress); }

    RunOutcome run(const std::vector<ScriptStatement>& statements);

    /// The result text of a statement: counter right-aligned in five, ".:", the row count
    /// left-aligned in eight, a blank and the kind.
    static QString resultText(int counter, int rows, const QString& kind);
    /// The kind of a statement: its first word, for DROP and CREATE its first two, upper-cased.
    static QString kindOf(const QString& statement);
    /// The statement text to execute: the terminating ";" dropped, lines trimmed, empty
    /// lines left out.
    static QString executable(const ScriptStatement& statement);

private:
    QString m_connection;
    StatementRights* m_rights = nullptr;
    History* m_history = nullptr;
    TemporaryObjects* m_objects = nullptr;
    std::function<void(const QString&)> m_shown;
    std::function<void(int, int)> m_progress;
};

} // namespace mivo::kvarcel
