#include "fieldtext.h"

#include "core/altproc.h"
#include "numberformat.h"

#include <QDateTime>

namespace mivo
{

QString panelText(const QVariant& value, const QString& typeName, const QString& numberFormat)
{
    if (value.isNull())
        return {};
    if (typeName == QLatin1String("FLOAT"))
        return numberFormat.isEmpty() ? alt::formatDecimal(value.toDouble())
                                      : NumberFormat(numberFormat).format(value.toDouble());
    if (typeName == QLatin1String("BOOLEAN"))
        return value.toBool() ? QStringLiteral("T") : QStringLiteral("F");
    switch (value.metaType().id()) {
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy.MM.dd"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"));
    default:
        return value.toString();
    }
}

} // namespace mivo
