#include "specstock.h"

#include "platform/dbquery.h"

using namespace Qt::StringLiterals;

namespace mivo::specialstock
{

QStringList stockStatement(bool withCode)
{
    QStringList lines = {
        u"SELECT K.HOL SZERELO, K.MI KOD, A.NEV, K.MENNYI, K.FOGLALT, A.NETTOAR AR, K.MENNYI*A.NETTOAR ERTEK"_s,
        u"  FROM ALK_KESZLET K, ARU A"_s,
        u" WHERE A.KOD = K.MI"_s,
        QString(),
        u" UNION"_s,
        u"SELECT CAST( '¦'AS VARCHAR(6)) SZERELO,"_s,
        u"       CAST( '' as varchar(15)) KOD,"_s,
        u"       CAST('ÖSSZESEN' AS VARCHAR(50)) NEV,"_s,
        u"       SUM(K.MENNYI), SUM(K.FOGLALT), CAST (0 AS FLOAT),"_s,
        u"       SUM(K.MENNYI*A.NETTOAR) ERTEK"_s,
        u"  FROM ALK_KESZLET K, ARU A"_s,
        u" WHERE A.KOD = K.MI"_s,
        QString(),
        u" ORDER BY 1,3"_s,
        u" "_s,
    };
    if (withCode)
        lines[3] = lines[12] = u" AND K.HOL = :hol"_s;
    return lines;
}

std::unique_ptr<db::Query> openStock(const QString& code, QString* error)
{
    auto q = std::make_unique<db::Query>(u"d_mivo"_s);
    const QString hol = code.trimmed();
    q->setLines(stockStatement(!hol.isEmpty()));
    if (!hol.isEmpty())
        q->bind(u"hol"_s, hol);
    if (!q->exec()) {
        if (error)
            *error = q->lastError();
        return nullptr;
    }
    return q;
}

} // namespace mivo::specialstock
