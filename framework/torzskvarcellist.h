#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace mivo::db
{
class Query;
}

namespace mivo::torzskvarcel
{

/// One field of the master list's grid.
struct FieldRow {
    QString caption;   ///< "Mező név"
    QString column;    ///< the table's column
    QString mark;      ///< "Kell?": one of the 35 list marks, or empty
    int sort = 0;      ///< "Sor.": 1, 2, ... or 0 when not sorted
    QString connector; ///< "és/vagy": "and", "or" or empty
    QString condition; ///< "Feltétel": the field's condition text
};

/// The operators of the condition panel: the list's entries and their codes.
struct OperatorEntry {
    QString entry; ///< as listed
    QString code;  ///< the entry's first four characters, trimmed ("=", "%t%", "[]", "null", ...)
};
const std::vector<OperatorEntry>& operators();

/// The condition piece of an operator on the values (trimmed, quoted with db::literal).
QString conditionPiece(const QString& code, const QString& value, const QString& value2);

/// The predicate of a field's condition: TABLE.COLUMN before the condition and after each of
/// its "or"/"and" connectors, in parentheses when it has connectors. The "and" of a between
/// and words inside quoted values are left alone.
QString predicate(const QString& table, const QString& column, const QString& condition);

/// The statement and the three results of the current choices.
struct Statement {
    QStringList lines; ///< the statement's lines
    QString condition; ///< the WHERE condition without the word, empty when none
    QString fields;    ///< listed fields "TABLE.COLUMN" joined by ","
    QString order;     ///< sorted fields joined by " , "
};

/// The master list with conditions without its widgets: the grid of one table, the marks,
/// sort numbers, connectors and conditions, and the statement they make.
class MasterList
{
public:
    /// Rows of the table: its VEZERLO rows with a MEZO (not MEMO buttons), else its own
    /// columns. A use on the table of the last use keeps the choices; another table starts
    /// anew (title forgotten). False with the database's text when neither can be read.
    bool load(const QString& connection, const QString& table, QString* error);

    const QString& table() const { return m_table; }
    const std::vector<FieldRow>& rows() const { return m_rows; }

    /// "Kell?" on the row: an empty cell gets the mark after the highest in use ("1" first,
    /// "Z" stays "Z"); a filled one loses it and the higher marks move one step back.
    void toggleMark(int row);
    /// "Sor." on the row, likewise with numbers.
    void toggleSort(int row);
    /// "és/vagy": empty and "or" become "and", "and" becomes "or".
    void cycleConnector(int row);
    /// Accepts a condition of the panel on the row: the piece becomes the condition or is
    /// appended after " and " ("<>") or " or " (others); the connector becomes "and".
    void acceptCondition(int row, const QString& code, const QString& value, const QString& value2);
    /// Sets the condition as typed.
    void setCondition(int row, const QString& text);
    void clearCondition(int row);
    void clearConditions();
    /// "Új lekérdezés": every mark, sort number and condition and the title cleared.
    void clearChoices();

    /// The statement of the current choices.
    Statement build() const;
    /// The text of "?": the condition and the field list, or their "none" texts.
    QString summary() const;

    /// The statement "Indul" runs for the statement window's text: a new one when the window
    /// is empty, or when it holds the last statement built here and the choices changed
    /// since; otherwise the window's text. *built tells whether it was built.
    QString statementToRun(const QString& windowText, bool* built = nullptr);
    /// Remembers a statement built into the window.
    QString buildIntoWindow();

    QString title; ///< "A lista címsora:"

private:
    void changed() { ++m_generation; }

    QString m_table;
    std::vector<FieldRow> m_rows;
    quint64 m_generation = 0;
    quint64 m_builtGeneration = 0;
    QString m_lastBuilt;
};

/// Runs a statement of the master list on the connection. A user whose rights lack "9" (when
/// the connection has TABLAK) runs it only when StatementRights allows it; otherwise
/// "Erre Önnek nincs jogosultsaga" and nothing runs. A SELECT's rows come back in *result,
/// read whole. False with the reason in *error.
bool runStatement(const QString& connection, const QString& statement, const QString& jogok,
                  std::unique_ptr<db::Query>* result, QString* error);

/// The distinct values of a column, sorted ("?" of the condition panel). False with the
/// database's text.
bool distinctValues(const QString& connection, const QString& table, const QString& column,
                    QStringList* values, QString* error);

} // namespace mivo::torzskvarcel
