#include "tablefile.h"

#include "rowsource.h"
#include "tablefields.h"

#include <QDate>
#include <QSaveFile>

#include <algorithm>

namespace mivo::data
{

namespace
{

constexpr int nameLength = 10;
constexpr int maxCharLength = 254;
constexpr char windows1250Driver = char(0xC8); // language driver byte of Windows-1250

struct DbfField {
    char type; // C, N, D or L
    int length;
    int decimals;
};

DbfField dbfField(const Column& c)
{
    switch (c.kind) {
    case FieldKind::Text:
        return {'C', std::clamp(c.length, 1, maxCharLength), 0};
    case FieldKind::Boolean:
        return {'L', 1, 0};
    case FieldKind::SmallInt:
        return {'N', 6, 0};
    case FieldKind::Integer:
        return {'N', 11, 0};
    case FieldKind::LargeInt:
        return {'N', 20, 0};
    case FieldKind::Float:
        return {'N', 20, 5};
    case FieldKind::Decimal:
        return {'N', std::clamp(c.length + 2, 3, 20), std::min(c.scale, 15)};
    case FieldKind::Date:
        return {'D', 8, 0};
    case FieldKind::Time:
        return {'C', 8, 0};
    case FieldKind::DateTime:
        return {'C', 19, 0};
    default:
        return {'C', maxCharLength, 0};
    }
}

void putLittleEndian(QByteArray& bytes, int offset, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
}

// A number right-aligned in its field, with "."; too long for the field in exponent form.
QByteArray numberText(const QVariant& value, FieldKind kind, const DbfField& f)
{
    QString text;
    if (isInteger(kind))
        text = QString::number(value.toLongLong());
    else {
        const double v = value.toDouble();
        text = QString::number(v, 'f', f.decimals);
        if (text.size() > f.length)
            text = QString::number(v, 'e', std::max(0, f.length - 8));
    }
    if (text.size() > f.length)
        text = QString(f.length, QLatin1Char('*'));
    return text.rightJustified(f.length).toLatin1();
}

QByteArray fieldBytes(const QVariant& value, const Column& c, const DbfField& f)
{
    QByteArray bytes;
    switch (f.type) {
    case 'N':
        // Empty numbers are stored as 0.
        bytes = numberText(value.isNull() ? QVariant(0) : value, c.kind, f);
        break;
    case 'D':
        if (!value.isNull())
            bytes = value.toDate().toString(QStringLiteral("yyyyMMdd")).toLatin1();
        break;
    case 'L':
        bytes = value.isNull()   ? QByteArray(" ")
                : value.toBool() ? QByteArray("T")
                                 : QByteArray("F");
        break;
    default:
        bytes = tableText(value, c.kind, f.length);
        break;
    }
    return bytes.leftJustified(f.length, ' ', true);
}

} // namespace

bool writeDbaseTable(RowSource& rows, const QString& path, QString* error)
{
    if (!rows.open(error))
        return false;
    const std::vector<Column>& columns = rows.columns();
    std::vector<DbfField> fields;
    int recordLength = 1;
    for (const Column& c : columns) {
        fields.push_back(dbfField(c));
        recordLength += fields.back().length;
    }
    const QList<QByteArray> names = tableFieldNames(columns, nameLength);
    const int headerLength = 32 + 32 * int(columns.size()) + 1;

    QByteArray header(32, '\0');
    header[0] = 0x03;
    const QDate today = QDate::currentDate();
    header[1] = char(today.year() - 1900);
    header[2] = char(today.month());
    header[3] = char(today.day());
    putLittleEndian(header, 8, quint32(headerLength), 2);
    putLittleEndian(header, 10, quint32(recordLength), 2);
    header[29] = windows1250Driver;
    for (size_t i = 0; i < columns.size(); ++i) {
        QByteArray descriptor(32, '\0');
        descriptor.replace(0, names[qsizetype(i)].size(), names[qsizetype(i)]);
        descriptor[11] = fields[i].type;
        descriptor[16] = char(fields[i].length);
        descriptor[17] = char(fields[i].decimals);
        header += descriptor;
    }
    header += char(0x0D);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(header);
    quint32 count = 0;
    QByteArray record;
    while (rows.next()) {
        record = " ";
        for (size_t i = 0; i < columns.size(); ++i)
            record += fieldBytes(rows.value(int(i)), columns[i], fields[i]);
        file.write(record);
        ++count;
    }
    file.write("\x1A", 1);
    QByteArray countBytes(4, '\0');
    putLittleEndian(countBytes, 0, count, 4);
    file.seek(4);
    file.write(countBytes);
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace mivo::data
