#include "zipentry.h"

#include <QFile>
#include <QSaveFile>

#include <zlib.h>

namespace mivo::data
{

namespace
{

constexpr quint32 localSignature = 0x04034b50;
constexpr quint32 centralSignature = 0x02014b50;
constexpr quint32 endSignature = 0x06054b50;

quint32 get(const QByteArray& b, qsizetype at, int size)
{
    quint32 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | quint8(b[at + i]);
    return v;
}

void put(QByteArray& b, qsizetype at, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        b[at + i] = char((value >> (8 * i)) & 0xFF);
}

bool inflateRaw(const QByteArray& compressed, quint32 size, QByteArray* out)
{
    out->resize(size);
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    z.avail_in = uInt(compressed.size());
    z.next_out = reinterpret_cast<Bytef*>(out->data());
    z.avail_out = uInt(size);
    const int result = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return result == Z_STREAM_END && z.total_out == size;
}

struct Failure {
    QString* error;
    bool operator()(const QString& text) const
    {
        if (error)
            *error = text;
        return false;
    }
};

} // namespace

bool editZipEntry(const QString& path, const QByteArray& entryName,
                  const std::function<QByteArray(const QByteArray&)>& edit, QString* error)
{
    const Failure fail{error};
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return fail(in.errorString());
    const QByteArray zip = in.readAll();
    in.close();
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > zip.size() || get(zip, end, 4) != endSignature)
        return fail(QStringLiteral("Hibás zip fájl: ") + path);
    const int entries = int(get(zip, end + 10, 2));
    const qsizetype centralStart = get(zip, end + 16, 4);

    QByteArray body;
    QByteArray central;
    bool found = false;
    qsizetype at = centralStart;
    for (int i = 0; i < entries; ++i) {
        if (at + 46 > zip.size() || get(zip, at, 4) != centralSignature)
            return fail(QStringLiteral("Hibás zip fájl: ") + path);
        const int nameLength = int(get(zip, at + 28, 2));
        const qsizetype recordLength =
            46 + nameLength + get(zip, at + 30, 2) + get(zip, at + 32, 2);
        QByteArray record = zip.mid(at, recordLength);
        const QByteArray name = zip.mid(at + 46, nameLength);
        const qsizetype local = get(zip, at + 42, 4);
        // An entry runs from its local header to the next one (or the central directory).
        qsizetype next = centralStart;
        for (qsizetype o = at + recordLength, k = i + 1; k < entries; ++k) {
            next = std::min<qsizetype>(next, get(zip, o + 42, 4));
            o += 46 + get(zip, o + 28, 2) + get(zip, o + 30, 2) + get(zip, o + 32, 2);
        }
        if (local + 30 > zip.size() || get(zip, local, 4) != localSignature)
            return fail(QStringLiteral("Hibás zip fájl: ") + path);
        put(record, 42, quint32(body.size()), 4);
        if (name == entryName) {
            const quint32 method = get(zip, at + 10, 2);
            const quint32 packed = get(zip, at + 20, 4);
            const quint32 size = get(zip, at + 24, 4);
            const qsizetype data = local + 30 + get(zip, local + 26, 2) + get(zip, local + 28, 2);
            QByteArray text;
            if (method == 0)
                text = zip.mid(data, size);
            else if (method != Z_DEFLATED || !inflateRaw(zip.mid(data, packed), size, &text))
                return fail(QStringLiteral("Hibás zip fájl: ") + path);
            const QByteArray edited = edit(text);
            const quint32 crc = quint32(
                crc32(0, reinterpret_cast<const Bytef*>(edited.constData()), uInt(edited.size())));
            QByteArray header = zip.mid(local, 30) + name;
            put(header, 6, 0, 2); // no data descriptor follows
            put(header, 8, 0, 2); // stored
            put(header, 14, crc, 4);
            put(header, 18, quint32(edited.size()), 4);
            put(header, 22, quint32(edited.size()), 4);
            put(header, 28, 0, 2); // no extra field
            body += header + edited;
            put(record, 8, 0, 2);
            put(record, 10, 0, 2);
            put(record, 16, crc, 4);
            put(record, 20, quint32(edited.size()), 4);
            put(record, 24, quint32(edited.size()), 4);
            found = true;
        } else
            body += zip.mid(local, next - local);
        central += record;
        at += recordLength;
    }
    if (!found)
        return fail(QStringLiteral("A zip fájlban nincs ilyen elem: ") +
                    QString::fromUtf8(entryName));
    QByteArray tail = zip.mid(end, 22);
    put(tail, 12, quint32(central.size()), 4);
    put(tail, 16, quint32(body.size()), 4);
    put(tail, 20, 0, 2);

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    out.write(body);
    out.write(central);
    out.write(tail);
    if (!out.commit())
        return fail(out.errorString());
    return true;
}

} // namespace mivo::data
