#include "rights.h"

#include "alapdat.h"
#include "core/altproc.h"
#include "core/messages.h"
#include "platform/dbquery.h"

namespace mivo
{

bool CheckRights(const QString& requirement)
{
    return alt::rightsMet(requirement, Tdm::instance().FrameworkRights);
}

void SetFrameworkUser(const QString& rights, const QString& user)
{
    Tdm& dm = Tdm::instance();
    dm.FrameworkRights = rights.trimmed();
    dm.FrameworkUser = user.trimmed();
}

TableRights ReadTableRights(const QString& tableOrSpec)
{
    TableRights rights;
    Tdm& dm = Tdm::instance();
    if (!dm.tableExists(QStringLiteral("TABLAK")))
        return rights;
    db::Query q(Tdm::connectionName);
    q.setSql(QStringLiteral("Select * From TABLAK Where TABLANEV = :ptablanev"));
    q.bind(QStringLiteral("ptablanev"), tableOrSpec);
    if (!q.exec()) {
        messages::show(q.lastError(), MessageKind::Error);
        return rights;
    }
    rights.hasWindowState = q.fieldIndex(QStringLiteral("WINDOWSTATE")) >= 0;
    if (!q.first())
        return rights;
    rights.found = true;
    // Hook columns are optional: a missing one reads as 0.
    rights.afterInsert = q.integer(QStringLiteral("AFTERINSERT"));
    rights.beforePost = q.integer(QStringLiteral("BEFOREPOST"));
    rights.afterPost = q.integer(QStringLiteral("AFTERPOST"));
    rights.qreport = q.integer(QStringLiteral("QREPORT"));
    rights.windowState = q.text(QStringLiteral("WINDOWSTATE"));
    rights.title = q.text(QStringLiteral("MEGNEVEZES"));
    if (!CheckRights(q.text(QStringLiteral("NEZHETI_JOG")))) {
        messages::show(QStringLiteral("Önnek nincs joga az alábbi táblát megtekinteni:\r") +
                       rights.title);
        rights.access = QStringLiteral("NONE");
    } else if (!CheckRights(q.text(QStringLiteral("IRHATJA_JOG")))) {
        rights.access = QStringLiteral("VIEW");
    }
    return rights;
}

} // namespace mivo
