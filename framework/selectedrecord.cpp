#include "selectedrecord.h"

#include "alapdat.h"
#include "platform/dbquery.h"

#include <QSqlField>

namespace mivo
{

ASelectedRecord selectedRecord(const QSqlRecord& record)
{
    ASelectedRecord out;
    for (int i = 0; i < record.count(); ++i)
        out.append({record.fieldName(i), Tdm::fieldTypeName(record.field(i)), record.value(i)});
    return out;
}

qsizetype columnOf(const ASelectedRecord& record, const QString& field)
{
    for (qsizetype i = 0; i < record.size(); ++i)
        if (record[i].FieldName.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QSqlRecord currentRecord(const db::Query& query)
{
    if (query.at() < 0 || query.eof())
        return {};
    QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        record.setValue(i, query.value(i));
    return record;
}

} // namespace mivo
