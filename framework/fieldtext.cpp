#include "fieldtext.h"

#include "numberformat.h"

#include "platform/fieldtypes.h"

namespace mivo
{

QString panelText(const QVariant& value, const QString& typeName, const QString& numberFormat)
{
    data::FieldKind kind = data::kindOfTypeName(typeName);
    if (kind == data::FieldKind::Float && !numberFormat.isEmpty() && !value.isNull())
        return NumberFormat(numberFormat).format(value.toDouble());
    // Dates and times carry no editor type name: their values say what they are.
    if (kind == data::FieldKind::Unknown) {
        switch (value.typeId()) {
        case QMetaType::QDate:
            kind = data::FieldKind::Date;
            break;
        case QMetaType::QDateTime:
            kind = data::FieldKind::DateTime;
            break;
        case QMetaType::QTime:
            kind = data::FieldKind::Time;
            break;
        default:
            break;
        }
    }
    return data::displayText(value, kind, QLatin1Char(','));
}

} // namespace mivo
