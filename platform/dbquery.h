#pragma once

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>
#include <vector>

namespace mivo::db
{

/// An SQL statement on a named connection. The text is a list of lines so that callers can
/// replace whole lines of a stored statement; parameters are named (":name", the same name
/// twice binds the same value in both places). A select is read whole into memory and its
/// snapshot released at once, so that each execution sees other workstations' commits and
/// the record count is known (the driver reports none). Text values come back trimmed of
/// the blanks that CHAR columns carry.
///
/// The statement stays prepared for the next execution of the same text: in autocommit
/// for data changes, and inside a Transaction for every statement until that transaction
/// ends (bulk work prepares once per transaction). A statement is prepared anew after the
/// transaction it was prepared in has ended.
class Query
{
public:
    explicit Query(const QString& connectionName = QStringLiteral("d_mivo"));

    QString connectionName() const { return m_connection; }

    QStringList& lines() { return m_lines; }
    const QStringList& lines() const { return m_lines; }
    void setSql(const QString& sql);
    void setLines(const QStringList& lines) { m_lines = lines; }
    QString sql() const { return m_lines.join(QLatin1Char('\n')); }

    /// With parameter checking off the text goes to the server untouched (PSQL bodies,
    /// scripts whose colons are not parameters).
    void setParamCheck(bool on) { m_paramCheck = on; }

    void bind(const QString& name, const QVariant& value);
    /// The values bound so far, by lower-case name without the colon.
    const std::map<QString, QVariant>& boundValues() const { return m_values; }
    void clearBindings() { m_values.clear(); }

    /// Runs the statement. False on failure, with the database's text in lastError().
    bool exec();
    /// Runs a select without reading it whole: rows come one by one through next() and
    /// recordCount() is unknown (-1). For exports of any size.
    bool execForward();
    /// Runs "INSERT ... RETURNING col" and gives the returned value; null on failure.
    QVariant insertReturning();

    QString lastError() const { return m_error; }
    /// The database's code of the last failure: Firebird's SQLCODE (-913 update conflict or
    /// deadlock, -803 key violation; see db::errorCode()), 0 when the database gave none.
    int lastErrorCode() const { return m_errorCode; }
    bool isActive() const { return m_active; }
    /// Rows changed by the last non-select statement.
    int rowsAffected() const { return m_rowsAffected; }

    // Result of a select
    int recordCount() const;
    int fieldCount() const { return m_record.count(); }
    QString fieldName(int column) const { return m_record.fieldName(column); }
    int fieldIndex(const QString& name) const { return m_record.indexOf(name); }
    /// Field names and types of the result.
    const QSqlRecord& record() const { return m_record; }

    /// Moves to the first row; false when the result is empty.
    bool first();
    /// Moves to the next row (before the first row at the start); false past the end.
    bool next();
    bool seek(int row);
    int at() const { return m_row; }
    bool eof() const;

    QVariant value(int column) const;
    QVariant value(const QString& field) const;
    /// The field as trimmed text; null and unknown fields give "".
    QString text(const QString& field) const;
    int integer(const QString& field) const { return value(field).toInt(); }

    /// Releases the result (the prepared statement stays for the next execution).
    void close();

    /// How many times this object has prepared a statement (diagnostics and tests).
    int prepareCount() const { return m_prepareCount; }

private:
    bool run(bool forward);
    QVariant rowValue(int column) const;
    void releaseResult();
    void fail(const QString& text, int code = 0);

    QString m_connection;
    QStringList m_lines;
    bool m_paramCheck = true;
    std::map<QString, QVariant> m_values;

    QSqlQuery m_query;
    QString m_preparedText;
    quint64 m_preparedGeneration = 0;
    int m_prepareCount = 0;
    QSqlRecord m_record;
    std::vector<std::vector<QVariant>> m_rows;
    bool m_forward = false;
    bool m_active = false;
    int m_row = -1;
    int m_rowsAffected = -1;
    QString m_error;
    int m_errorCode = 0;
};

/// Runs one statement with parameters; the error text goes to *error when given.
bool execute(const QString& connectionName, const QString& sql,
             const std::map<QString, QVariant>& params = {}, QString* error = nullptr);

/// First column of the first row of a select; null when empty or failed.
QVariant scalar(const QString& connectionName, const QString& sql,
                const std::map<QString, QVariant>& params = {}, QString* error = nullptr);

} // namespace mivo::db
