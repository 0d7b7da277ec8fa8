#include "schemabuilder.h"

#include "platform/catalogue.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/sqltext.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

static void initSchemaResources()
{
    Q_INIT_RESOURCE(schema);
}

namespace mivo::schema
{

namespace
{

const QStringList coreScripts = {
    QStringLiteral("01_tables"),         QStringLiteral("02_generators"),
    QStringLiteral("03_views"),          QStringLiteral("04_indexes"),
    QStringLiteral("05_dictionaries"),   QStringLiteral("06_control_rows"),
    QStringLiteral("07_editor_indexes"), QStringLiteral("08_bookings"),
    QStringLiteral("09_list_catalogue"),
};

QString scriptText(const QString& name)
{
    initSchemaResources();
    QFile file(QStringLiteral(":/schema/sql/") + name + QStringLiteral(".sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

QStringList optionalTables()
{
    return {QStringLiteral("LEVELKE"), QStringLiteral("ALK_KESZLET"), QStringLiteral("MUNKA_LOG"),
            QStringLiteral("TABLAK"),  QStringLiteral("DIFOLC"),      QStringLiteral("DOKU"),
            QStringLiteral("SYSFILE")};
}

QString scriptsDigest()
{
    initSchemaResources();
    QStringList names;
    for (QDirIterator it(QStringLiteral(":/schema/sql")); it.hasNext();)
        names << it.next();
    names.sort();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& name : names) {
        QFile file(name);
        if (file.open(QIODevice::ReadOnly))
            hash.addData(file.readAll());
    }
    return QString::fromLatin1(hash.result().toHex().left(10));
}

bool runScript(const QString& connectionName, const QString& script, QString* error)
{
    // DDL and the rows that depend on it land together or not at all.
    db::Transaction transaction(connectionName);
    for (const QString& statement : db::splitScript(script)) {
        db::Query q(connectionName);
        q.setParamCheck(false);
        q.setSql(statement);
        if (!q.exec()) {
            if (error)
                *error = q.lastError() + QStringLiteral("\n") + statement;
            return false;
        }
    }
    if (transaction.isActive() && !transaction.commit()) {
        if (error)
            *error = transaction.lastError();
        return false;
    }
    return true;
}

bool build(const QString& connectionName, QString* error)
{
    return build(connectionName, optionalTables(), error);
}

bool build(const QString& connectionName, const QStringList& withOptional, QString* error)
{
    QStringList scripts = coreScripts;
    initSchemaResources();
    for (const QString& table : withOptional) {
        const QString script = QStringLiteral("opt_") + table.toLower();
        scripts << script;
        // Rows go in a later transaction than the table they fill.
        if (QFile::exists(QStringLiteral(":/schema/sql/") + script + QStringLiteral("_rows.sql")))
            scripts << script + QStringLiteral("_rows");
    }
    for (const QString& name : scripts) {
        const QString text = scriptText(name);
        if (text.isEmpty()) {
            if (error)
                *error = QStringLiteral("Hiányzó séma fájl: ") + name;
            return false;
        }
        if (!runScript(connectionName, text, error))
            return false;
    }
    return true;
}

bool upgrade(const QString& connectionName, QString* error)
{
    if (!db::tableExists(connectionName, QStringLiteral("NAPZAR"), error)) {
        if (error && !error->isEmpty())
            return false;
        if (!runScript(connectionName, scriptText(QStringLiteral("08_bookings")), error))
            return false;
    }
    // Indexes only make lists faster: one that cannot be made now (another workstation
    // holds its table) is tried again at the next start.
    static const QRegularExpression indexName(
        QStringLiteral("^\\s*CREATE\\s+(?:(?:ASC|DESC)\\w*\\s+)?INDEX\\s+(\\w+)"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QString& script :
         {QStringLiteral("04_indexes"), QStringLiteral("07_editor_indexes")}) {
        for (const QString& statement : db::splitScript(scriptText(script))) {
            const QRegularExpressionMatch m = indexName.match(statement);
            if (!m.hasMatch())
                continue;
            const QVariant present =
                db::scalar(connectionName,
                           QStringLiteral("SELECT 1 FROM RDB$INDICES WHERE RDB$INDEX_NAME = :name"),
                           {{QStringLiteral("name"), m.captured(1).toUpper()}});
            if (present.isNull())
                runScript(connectionName, statement, nullptr);
        }
    }
    return true;
}

} // namespace mivo::schema
