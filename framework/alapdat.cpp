#include "alapdat.h"

#include "core/ini.h"
#include "platform/catalogue.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/fieldtypes.h"

#include <QRegularExpression>
#include <QSqlField>

namespace mivo
{

const QString Tdm::connectionName = QStringLiteral("d_alap");
const QString Tdm::interBase = QStringLiteral("INTRBASE");
const QString Tdm::sqlServer = QStringLiteral("SQL SERVER");

namespace
{

const QStringList ibTableKeys = {
    QStringLiteral("Select RDB$RELATION_CONSTRAINTS.RDB$RELATION_NAME,"),
    QStringLiteral("RDB$RELATION_CONSTRAINTS.RDB$CONSTRAINT_NAME,"),
    QStringLiteral("RDB$RELATION_CONSTRAINTS.RDB$INDEX_NAME,"),
    QStringLiteral("RDB$INDEX_SEGMENTS.RDB$FIELD_NAME,"),
    QStringLiteral("RDB$INDEX_SEGMENTS.RDB$FIELD_POSITION"),
    QStringLiteral("From RDB$RELATION_CONSTRAINTS, RDB$INDEX_SEGMENTS"),
    QStringLiteral("Where RDB$RELATION_CONSTRAINTS.RDB$CONSTRAINT_TYPE = :pkeytype"),
    QStringLiteral("And RDB$RELATION_CONSTRAINTS.RDB$RELATION_NAME = :ptable"),
    QStringLiteral(
        "And RDB$RELATION_CONSTRAINTS.RDB$INDEX_NAME = RDB$INDEX_SEGMENTS.RDB$INDEX_NAME"),
    QStringLiteral("Order By RDB$RELATION_CONSTRAINTS.RDB$RELATION_NAME, "
                   "RDB$RELATION_CONSTRAINTS.RDB$CONSTRAINT_NAME, "
                   "RDB$INDEX_SEGMENTS.RDB$FIELD_POSITION"),
};

// Catalogue lengths: FIELD_STORE is bytes, FIELD_LENGTH characters (null for non-text types).
const QStringList ibField = {
    QStringLiteral("Select RDB$RELATION_FIELDS.RDB$FIELD_NAME FIELD_NAME,"),
    QStringLiteral("RDB$RELATION_FIELDS.RDB$FIELD_POSITION FIELD_POS,"),
    QStringLiteral("RDB$RELATION_FIELDS.RDB$FIELD_SOURCE FIELD_SOURCE,"),
    QStringLiteral("RDB$RELATION_FIELDS.RDB$NULL_FLAG NULL_FLAG,"),
    QStringLiteral("RDB$TYPES.RDB$TYPE_NAME FIELD_TYPE,"),
    QStringLiteral("RDB$FIELDS.RDB$FIELD_LENGTH FIELD_STORE,"),
    QStringLiteral("RDB$FIELDS.RDB$CHARACTER_LENGTH FIELD_LENGTH,"),
    QStringLiteral("RDB$RELATION_FIELDS.RDB$DEFAULT_SOURCE FIELD_DEFAULT_SOURCE,"),
    QStringLiteral("RDB$FIELDS.RDB$COLLATION_ID COLLATION,"),
    QStringLiteral("RDB$FIELDS.RDB$CHARACTER_SET_ID CHARACTER_SET"),
    QStringLiteral("From RDB$RELATION_FIELDS"),
    QStringLiteral(
        "Join RDB$FIELDS On RDB$FIELDS.RDB$FIELD_NAME = RDB$RELATION_FIELDS.RDB$FIELD_SOURCE"),
    QStringLiteral("Join RDB$TYPES On RDB$TYPES.RDB$TYPE = RDB$FIELDS.RDB$FIELD_TYPE"),
    QStringLiteral("And RDB$TYPES.RDB$FIELD_NAME= 'RDB$FIELD_TYPE'"),
    QStringLiteral("Where RDB$RELATION_FIELDS.RDB$RELATION_NAME = :tname"),
    QStringLiteral("And RDB$RELATION_FIELDS.RDB$FIELD_NAME = :fname"),
};

const QStringList ibDomain = {
    QStringLiteral("Select RDB$FIELDS.RDB$FIELD_NAME FIELD_NAME,"),
    QStringLiteral("RDB$FIELDS.RDB$DEFAULT_SOURCE DEFAULT_SOURCE,"),
    QStringLiteral("RDB$FIELDS.RDB$FIELD_LENGTH FIELD_STORE,"),
    QStringLiteral("RDB$FIELDS.RDB$CHARACTER_LENGTH FIELD_LENGTH,"),
    QStringLiteral("RDB$FIELDS.RDB$NULL_FLAG NULL_FLAG,"),
    QStringLiteral("RDB$FIELDS.RDB$FIELD_TYPE FIELD_TYPE"),
    QStringLiteral("From RDB$FIELDS"),
    QStringLiteral("where RDB$FIELDS.RDB$FIELD_NAME = :domainname"),
};

const QStringList msSysIndex = {
    QStringLiteral("select SYSINDEXKEYS.*, CAST(SYSCOLUMNS.NAME AS VARCHAR(20)) NAME"),
    QStringLiteral("from SYSINDEXKEYS, SYSCOLUMNS"),
    QStringLiteral("where SYSINDEXKEYS.ID = OBJECT_ID(:PTABLE)"),
    QStringLiteral(
        "and SYSINDEXKEYS.INDID = (select INDID from SYSINDEXES where NAME= :pindexname)"),
    QStringLiteral("AND SYSCOLUMNS.id = SYSINDEXKEYS.ID"),
    QStringLiteral("AND SYSCOLUMNS.COLORDER= SYSINDEXKEYS.colid"),
    QStringLiteral("order By SYSINDEXKEYS.KEYNO;"),
};

const QStringList msTableField = {
    QStringLiteral("Select XTYPE, LENGTH, ISNULLABLE, CDEFAULT"),
    QStringLiteral("From SYSCOLUMNS"),
    QStringLiteral("Where ID = OBJECT_ID(:tname)"),
    QStringLiteral("And SYSCOLUMNS.NAME = :fname"),
};

const QStringList msType = {
    QStringLiteral("Select CAST( NAME AS VARCHAR(20)) NAME,"),
    QStringLiteral("XUSERTYPE"),
    QStringLiteral("From SYSTYPES"),
    QStringLiteral("WHERE XUSERTYPE = :pxusertype"),
};

const QStringList msIdentity = {
    QStringLiteral("SELECT COLUMNPROPERTY (OBJECT_ID(:ptable) ,:pfield, 'IsIdentity') IDENT,"),
    QStringLiteral("IDENT_INCR ( :ptable ) INKREMENT,"),
    QStringLiteral("IDENT_SEED ( :ptable ) SEED"),
};

QString normalisedIbType(const QString& catalogueType)
{
    if (catalogueType == QLatin1String("VARYING"))
        return QStringLiteral("VARCHAR");
    if (catalogueType == QLatin1String("LONG"))
        return QStringLiteral("INTEGER");
    if (catalogueType == QLatin1String("SHORT"))
        return QStringLiteral("SMALLINT");
    if (catalogueType == QLatin1String("DOUBLE"))
        return QStringLiteral("DOUBLE PRECISION");
    return catalogueType;
}

bool isIdentifier(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]*$"));
    return plain.match(name).hasMatch();
}

} // namespace

Tdm& Tdm::instance()
{
    static Tdm module;
    return module;
}

bool Tdm::connect(const QString& businessConnection)
{
    m_error.clear();
    db::Connection& alap = db::Connection::named(connectionName);
    alap.clear();
    alap.copySettingsFrom(db::Connection::named(businessConnection));
    if (!alap.open()) {
        m_error = alap.lastError();
        return false;
    }
    onConnected();
    return true;
}

QString Tdm::serverKindFor(const QString& connectionDriver, const QString& configuredAlias)
{
    QString driver = connectionDriver;
    if (!configuredAlias.isEmpty() && !configuredAlias.contains(QLatin1Char('\\'))) {
        for (const QString& name : {connectionName, QStringLiteral("d_mivo")}) {
            const db::Connection& c = db::Connection::named(name);
            if (c.aliasName().compare(configuredAlias, Qt::CaseInsensitive) == 0 &&
                !c.driverName().isEmpty())
                driver = c.driverName();
        }
    }
    return driver.toUpper();
}

void Tdm::onConnected()
{
    m_serverKind = serverKindFor(db::Connection::named(connectionName).driverName(),
                                 Ini::instance().value(QStringLiteral("DBALIAS")));
    m_dokuExists = tableExists(QStringLiteral("DOKU"));
    m_difolcExists = tableExists(QStringLiteral("DIFOLC"));
}

QString Tdm::connectionOrDefault(const QString& connection) const
{
    return connection.isEmpty() ? connectionName : connection;
}

bool Tdm::tableExists(const QString& name)
{
    m_error.clear();
    if (m_serverKind == interBase)
        return db::tableExists(connectionName, name, &m_error);
    db::Query q(connectionName);
    if (m_serverKind == sqlServer) {
        q.setLines({QStringLiteral("SELECT count(*) DARAB"), QStringLiteral("FROM sys.objects"),
                    QStringLiteral("WHERE name = :name")});
    } else {
        // A trial open; only a plain name may become part of the statement.
        if (!isIdentifier(name))
            return false;
        q.setSql(QStringLiteral("Select * from ") + name + QStringLiteral(" where 1=2"));
        return q.exec();
    }
    q.bind(QStringLiteral("name"), name);
    if (!q.exec() || !q.first()) {
        m_error = q.lastError();
        return false;
    }
    return q.integer(QStringLiteral("DARAB")) > 0;
}

PrimaryKey Tdm::primaryKeyFields(const QString& table, const QString& connection)
{
    m_error.clear();
    PrimaryKey key;
    db::Query q(connectionOrDefault(connection));
    QString column;
    if (m_serverKind == sqlServer) {
        q.setLines(msSysIndex);
        q.bind(QStringLiteral("PTABLE"), table);
        q.bind(QStringLiteral("pindexname"), QStringLiteral("PK_") + table);
        column = QStringLiteral("NAME");
    } else if (m_serverKind == interBase) {
        q.setLines(ibTableKeys);
        q.bind(QStringLiteral("pkeytype"), QStringLiteral("PRIMARY KEY"));
        q.bind(QStringLiteral("ptable"), table);
        column = QStringLiteral("RDB$FIELD_NAME");
    } else {
        return key;
    }
    if (!q.exec()) {
        m_error = q.lastError();
        return key;
    }
    while (q.next())
        key.fields << q.text(column);
    return key;
}

bool Tdm::findColumn(db::Query& q, const QStringList& statement, const QString& table,
                     const QString& column)
{
    q.setLines(statement);
    q.bind(QStringLiteral("tname"), table);
    q.bind(QStringLiteral("fname"), column);
    if (!q.exec()) {
        m_error = q.lastError();
        return false;
    }
    return q.first();
}

ColumnInfo Tdm::fieldInfo(const QString& table, const QString& column)
{
    m_error.clear();
    ColumnInfo info;
    db::Query q(connectionName);
    if (m_serverKind == interBase) {
        if (!findColumn(q, ibField, table, column))
            return info;
        info.found = true;
        const QVariant characters = q.value(QStringLiteral("FIELD_LENGTH"));
        info.length =
            characters.isNull() ? q.integer(QStringLiteral("FIELD_STORE")) : characters.toInt();
        info.typeName = normalisedIbType(q.text(QStringLiteral("FIELD_TYPE")));
        // NOT NULL may sit on the column, on its domain, or on both.
        info.notNull = q.integer(QStringLiteral("NULL_FLAG")) == 1;
        const QString source = q.text(QStringLiteral("FIELD_SOURCE"));
        if (!info.notNull && !source.startsWith(QLatin1String("RDB$"))) {
            db::Query domain(connectionName);
            domain.setLines(ibDomain);
            domain.bind(QStringLiteral("domainname"), source);
            if (!domain.exec()) {
                m_error = domain.lastError();
                return info;
            }
            info.notNull = domain.first() && domain.integer(QStringLiteral("NULL_FLAG")) == 1;
        }
        return info;
    }
    if (m_serverKind == sqlServer) {
        if (!findColumn(q, msTableField, table, column))
            return info;
        info.found = true;
        info.length = q.integer(QStringLiteral("LENGTH"));
        info.notNull = q.integer(QStringLiteral("ISNULLABLE")) == 0;
        db::Query type(connectionName);
        type.setLines(msType);
        type.bind(QStringLiteral("pxusertype"), q.value(QStringLiteral("XTYPE")));
        info.typeName = type.exec() && type.first() ? type.text(QStringLiteral("NAME")).toUpper()
                                                    : QStringLiteral("Unknown");
        return info;
    }
    return info;
}

QString Tdm::fieldTypeName(const QSqlField& field)
{
    return data::typeName(data::columnOf(field).kind);
}

int Tdm::fieldEditLength(const QString& table, const QSqlField& field)
{
    const data::FieldKind kind = data::columnOf(field).kind;
    if (kind != data::FieldKind::Text)
        return data::editLength(kind, 0);
    const ColumnInfo info = fieldInfo(table, field.name());
    // The driver's length is bytes: never shorter than the characters it may hold.
    return info.found && info.length > 0 ? info.length : int(field.length());
}

IdentityInfo Tdm::isIdentityField(const QString& table, const QString& column)
{
    m_error.clear();
    IdentityInfo identity;
    if (m_serverKind != sqlServer)
        return identity;
    db::Query q(connectionName);
    q.setLines(msIdentity);
    q.bind(QStringLiteral("ptable"), table);
    q.bind(QStringLiteral("pfield"), column);
    if (!q.exec()) {
        m_error = q.lastError();
        return identity;
    }
    if (q.first() && q.integer(QStringLiteral("IDENT")) == 1) {
        identity.identity = true;
        identity.seed = q.integer(QStringLiteral("SEED"));
        identity.increment = q.integer(QStringLiteral("INKREMENT"));
    }
    return identity;
}

} // namespace mivo
