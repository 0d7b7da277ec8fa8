#include "tablefile.h"

#include "replacingfile.h"
#include "rowsource.h"
#include "tablefields.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <algorithm>
#include <cstring>

extern "C" {
#include <paradox.h>
}

namespace mivo::data
{

namespace
{

constexpr int nameLength = 25;
constexpr int maxAlphaLength = 255;
constexpr long sdnOfFirstDay = 1721425; // serial day number of 0001.01.00
constexpr double msPerDay = 86400000.0;

struct PxField {
    char type;
    int length;
};

PxField pxField(const Column& c)
{
    switch (c.kind) {
    case FieldKind::Text:
        return {pxfAlpha, std::clamp(c.length, 1, maxAlphaLength)};
    case FieldKind::Boolean:
        return {pxfLogical, 1};
    case FieldKind::SmallInt:
        return {pxfShort, 2};
    case FieldKind::Integer:
        return {pxfLong, 4};
    case FieldKind::LargeInt:
    case FieldKind::Float:
    case FieldKind::Decimal:
        return {pxfNumber, 8};
    case FieldKind::Date:
        return {pxfDate, 4};
    case FieldKind::Time:
        return {pxfTime, 4};
    case FieldKind::DateTime:
        return {pxfTimestamp, 8};
    default:
        return {pxfAlpha, maxAlphaLength};
    }
}

long paradoxDay(const QDate& d)
{
    return PX_GregorianToSdn(d.year(), d.month(), d.day()) - sdnOfFirstDay;
}

struct Collected {
    QString text;
};

void collectError(pxdoc_t*, int, const char* message, void* data)
{
    auto* collected = static_cast<Collected*>(data);
    if (collected->text.isEmpty())
        collected->text = QString::fromLocal8Bit(message);
}

void putValue(pxdoc_t* doc, char* data, const PxField& f, const Column& c, const QVariant& value)
{
    switch (f.type) {
    case pxfAlpha: {
        // Converted and cut here: the library's own conversion overruns a short field.
        QByteArray text = tableText(value, c.kind, f.length);
        PX_put_data_alpha(doc, data, f.length, text.data());
        break;
    }
    case pxfLogical:
        PX_put_data_byte(doc, data, 1, value.toBool() ? 1 : 0);
        break;
    case pxfShort:
        PX_put_data_short(doc, data, 2, short(value.toInt()));
        break;
    case pxfLong:
        PX_put_data_long(doc, data, 4, value.toInt());
        break;
    case pxfNumber:
        PX_put_data_double(doc, data, 8, value.toDouble());
        break;
    // Dates and times: an empty one stays empty (zero bytes).
    case pxfDate:
        if (!value.isNull())
            PX_put_data_long(doc, data, 4, int(paradoxDay(value.toDate())));
        break;
    case pxfTime:
        if (!value.isNull())
            PX_put_data_long(doc, data, 4, value.toTime().msecsSinceStartOfDay());
        break;
    case pxfTimestamp:
        if (!value.isNull()) {
            const QDateTime dt = value.toDateTime();
            PX_put_data_double(doc, data, 8,
                               paradoxDay(dt.date()) * msPerDay + dt.time().msecsSinceStartOfDay());
        }
        break;
    default:
        break;
    }
}

} // namespace

bool writeParadoxTable(RowSource& rows, const QString& path, QString* error)
{
    if (!rows.open(error))
        return false;
    ReplacingFile file(path);
    if (!file.prepare(error))
        return false;
    const std::vector<Column>& columns = rows.columns();
    if (columns.empty()) {
        if (error)
            *error = QStringLiteral("A tábla nem hozható létre oszlopok nélkül.");
        return false;
    }
    Collected collected;
    pxdoc_t* doc = PX_new3(collectError, nullptr, nullptr, nullptr, &collected);
    if (!doc) {
        if (error)
            *error = QStringLiteral("A Paradox tábla nem hozható létre.");
        return false;
    }
    const QList<QByteArray> names = tableFieldNames(columns, nameLength);
    // The library owns the field list from here on and frees it with the document.
    auto* pxf =
        static_cast<pxfield_t*>(doc->malloc(doc, sizeof(pxfield_t) * columns.size(), "fields"));
    std::vector<PxField> fields;
    int recordLength = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        fields.push_back(pxField(columns[i]));
        const QByteArray& name = names[qsizetype(i)];
        pxf[i].px_fname = static_cast<char*>(doc->malloc(doc, size_t(name.size()) + 1, "name"));
        std::memcpy(pxf[i].px_fname, name.constData(), size_t(name.size()) + 1);
        pxf[i].px_ftype = fields.back().type;
        pxf[i].px_flen = fields.back().length;
        pxf[i].px_fdc = 0;
        recordLength += fields.back().length;
    }
    bool ok =
        PX_create_file(doc, pxf, int(columns.size()),
                       QFile::encodeName(file.tempPath()).constData(), pxfFileTypNonIndexDB) >= 0;
    if (ok) {
        const QByteArray table = QFileInfo(path).completeBaseName().toLatin1();
        PX_set_parameter(doc, "tablename", table.constData());
        doc->px_head->px_doscodepage = 1250;
        QByteArray record(recordLength, '\0');
        while (ok && rows.next()) {
            record.fill('\0');
            char* data = record.data();
            for (size_t i = 0; i < columns.size(); ++i) {
                putValue(doc, data, fields[i], columns[i], rows.value(int(i)));
                data += fields[i].length;
            }
            ok = PX_put_record(doc, record.data()) >= 0;
        }
        PX_close(doc);
    }
    PX_delete(doc);
    if (!ok) {
        if (error)
            *error = collected.text.isEmpty()
                         ? QStringLiteral("A Paradox tábla írása nem sikerült.")
                         : collected.text;
        return false;
    }
    return file.commit(error);
}

} // namespace mivo::data
