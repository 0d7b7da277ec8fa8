#pragma once

#include <QString>
#include <QStringList>

class QSqlField;

namespace mivo
{

namespace db
{
class Query;
}

/// A column as the catalogue declares it.
struct ColumnInfo {
    bool found = false;
    int length = 0; ///< characters for text columns
    QString typeName =
        QStringLiteral("nil"); ///< "VARCHAR", "INTEGER", "SMALLINT", "DOUBLE PRECISION", ...
    bool notNull = false;      ///< declared NOT NULL on the column or its domain
};

/// The primary key columns of a table, in key order.
struct PrimaryKey {
    QStringList fields;
    QString joined() const { return fields.join(QLatin1Char(',')); }
    int count() const { return int(fields.size()); }
};

/// Identity column of a SQL Server table; seed and increment -1 when not one.
struct IdentityInfo {
    bool identity = false;
    int seed = -1;
    int increment = -1;
};

/// The metadata data module: owner of the metadata connection d_alap and of the schema
/// services that the framework asks about tables, keys and columns. Works on Firebird's
/// catalogue ("INTRBASE") and keeps the SQL Server statements ("SQL SERVER").
/// A failing catalogue statement leaves its text in lastError(); the results are then empty.
class Tdm
{
public:
    static const QString connectionName; ///< "d_alap"
    static const QString interBase;      ///< "INTRBASE"
    static const QString sqlServer;      ///< "SQL SERVER"

    static Tdm& instance();

    /// Gives d_alap the settings of the business connection and opens it. False with the
    /// database's text in lastError().
    bool connect(const QString& businessConnection = QStringLiteral("d_mivo"));
    /// Computes the server kind and the optional-table flags; runs after every connection
    /// of d_alap (connect() calls it).
    void onConnected();

    /// Upper-cased driver name: "INTRBASE", "SQL SERVER", anything else is unknown.
    QString serverKind() const { return m_serverKind; }
    /// The server kind for a connection's driver and the configured alias (DBALIAS): an empty
    /// alias or a path (with "\") means the connection's own driver; a named alias means the
    /// driver of the connection registered under that alias, when there is one.
    static QString serverKindFor(const QString& connectionDriver, const QString& configuredAlias);

    /// Whether the table exists; names are compared in the case the catalogue stores them
    /// (upper case for unquoted names).
    bool tableExists(const QString& name);
    /// Key columns of the table on the connection (empty = d_alap).
    PrimaryKey primaryKeyFields(const QString& table, const QString& connection = {});
    ColumnInfo fieldInfo(const QString& table, const QString& column);
    /// "VARCHAR", "SMALLINT", "INTEGER", "BOOLEAN", "FLOAT", "MEMO" or "Unknown".
    static QString fieldTypeName(const QSqlField& field);
    /// Maximum input length of a result column of the table: text columns their character
    /// length (the driver's byte length when the catalogue does not know the column),
    /// integers 10, floats 15, memos -1 (no limit), others 8.
    int fieldEditLength(const QString& table, const QSqlField& field);
    IdentityInfo isIdentityField(const QString& table, const QString& column);

    bool dokuExists() const { return m_dokuExists; }
    bool difolcExists() const { return m_difolcExists; }

    QString lastError() const { return m_error; }

    /// Rights string of the framework's user; empty (every check passes) until a login
    /// feeds it through SetFrameworkUser.
    QString FrameworkRights;
    /// User name written into the change log (DOKU.JUZER); empty until a login.
    QString FrameworkUser;

private:
    Tdm() = default;
    QString connectionOrDefault(const QString& connection) const;
    /// Runs a catalogue statement about one column (":tname", ":fname") and stands on its
    /// row; false when it failed (the error kept) or found nothing.
    bool findColumn(db::Query& q, const QStringList& statement, const QString& table,
                    const QString& column);

    QString m_serverKind;
    bool m_dokuExists = false;
    bool m_difolcExists = false;
    QString m_error;
};

} // namespace mivo
