#include "newdatabase.h"

#include "clock.h"
#include "dat.h"
#include "platform/dbconnection.h"
#include "platform/fbdatabase.h"
#include "schema/demodata.h"
#include "schema/schemabuilder.h"

#include <QFileInfo>

namespace mivo
{

bool createApplicationDatabase(const QString& path, int demoCustomers, int demoJobs,
                               int demoTechnicians, QString* error,
                               const std::function<void(int, int)>& progress)
{
    const QString location = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(location)) {
        if (error)
            *error = QStringLiteral("Az adatbázis már létezik: ") + location;
        return false;
    }
    if (!db::createFirebirdDatabase(location, Td::builtinUser, Td::builtinPassword, error))
        return false;
    const QString name = QStringLiteral("d_create");
    db::Connection& c = db::Connection::named(name);
    c.clear();
    c.setParams({QStringLiteral("SERVER NAME=") + location,
                 QStringLiteral("USER NAME=") + Td::builtinUser,
                 QStringLiteral("PASSWORD=") + Td::builtinPassword});
    bool ok = c.open();
    if (!ok && error)
        *error = c.lastError();
    ok = ok && schema::build(name, error);
    if (ok && demoCustomers > 0) {
        schema::DemoScale scale;
        scale.customers = demoCustomers;
        scale.jobs = demoJobs;
        if (demoTechnicians > 0)
            scale.ownTechnicians = demoTechnicians;
        ok = schema::fillDemoData(name, scale, clock::today(), error, progress);
    }
    c.clear();
    return ok;
}

} // namespace mivo
