#include "dat.h"

#include "ini.h"
#include "messages.h"
#include "paths.h"
#include "platform/dbconnection.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mivo
{

const QString Td::builtinUser = QStringLiteral("SYSDBA");
const QString Td::builtinPassword = QStringLiteral("masterkey");

QString Td::databaseUser()
{
    const Ini& ini = Ini::instance();
    return ini.contains(u"DBUSER"_s) ? ini.value(u"DBUSER"_s) : builtinUser;
}

QString Td::databasePassword()
{
    const Ini& ini = Ini::instance();
    return ini.contains(u"DBPASSWORD"_s) ? ini.value(u"DBPASSWORD"_s) : builtinPassword;
}

Td& Td::instance()
{
    static Td module;
    return module;
}

namespace
{

QStringList serverParams(const QString& key, const QString& location)
{
    QStringList params;
    if (!location.isEmpty()) {
        const QString where = db::isLocalLocation(location) ? paths::localPath(location) : location;
        params << key + QLatin1Char('=') + where;
    }
    params << QStringLiteral("USER NAME=") + Td::databaseUser()
           << QStringLiteral("PASSWORD=") + Td::databasePassword();
    return params;
}

} // namespace

bool Td::connect(int number, const QString& location, const QString& aliasOrFolder)
{
    struct Entry {
        int number;
        const char* name;
        const char* failure;
    };
    static const Entry entries[] = {
        {Main, "d_mivo", "Nem tudok kapcsolódni az adatbázishoz."},
        {Sd, "d_sd", "Nem tudok kapcsolódni a SD szervíz adatbázishoz."},
        {Merka, "d_merka", "Nem tudok kapcsolódni a MERKA adatbázishoz."},
        {Kuld, "d_kuld", "Nem tudok kapcsolódni a küldés adatbázishoz."},
    };
    const auto entry = std::find_if(std::begin(entries), std::end(entries),
                                    [number](const Entry& e) { return e.number == number; });
    if (entry == std::end(entries))
        return true;
    const QString connectionName = QString::fromLatin1(entry->name);
    const QString failure = QString::fromUtf8(entry->failure);
    db::Connection& c = db::Connection::named(connectionName);
    c.clear();
    switch (number) {
    case Main:
        c.setDriverName(db::InterBaseDriver);
        c.setParams(serverParams(QStringLiteral("SERVER NAME"), location));
        break;
    case Sd:
        c.setDriverName(db::InterBaseDriver);
        if (location.isEmpty()) {
            // A database alias of the server names the database instead of a location.
            c.setAliasName(aliasOrFolder);
            c.setParams(serverParams(QStringLiteral("SERVER NAME"), aliasOrFolder));
        } else {
            c.setParams(serverParams(QStringLiteral("SERVER NAME"), location));
        }
        break;
    case Merka:
        c.setDriverName(db::InterBaseDriver);
        c.setParams(serverParams(QStringLiteral("DATABASE NAME"), location));
        break;
    case Kuld:
        c.setDriverName(db::ParadoxDriver);
        c.setParams({QStringLiteral("PATH=") +
                     (aliasOrFolder.isEmpty() ? workPath : paths::localPath(aliasOrFolder))});
        break;
    }
    if (c.open())
        return true;
    messages::show(failure, MessageKind::Error);
    return false;
}

void Td::clearRunValues()
{
    userName.clear();
    userRights.clear();
    userCode.clear();
    ownCompany = velkorCompany;
    workPath.clear();
    ftpServer.clear();
    ftpUser.clear();
    dbAlias.clear();
    lettersAvailable = partsStockAvailable = jobHistoryAvailable = false;
    instructionLines.clear();
    mailAttachments.clear();
}

} // namespace mivo
