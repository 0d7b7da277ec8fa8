#include "codepage.h"

#include <QList>

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace mivo
{

namespace
{

// Converts through iconv; an unconvertible input character is replaced and skipped.
QByteArray convert(const QByteArray& input, const char* from, const char* to,
                   const QByteArray& replacement, int inputCharBytes)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return {};
    QByteArray out;
    out.resize(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = size_t(input.size());
    char* dst = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != size_t(-1))
            break;
        if (errno == EILSEQ || errno == EINVAL) {
            const size_t skip = std::min<size_t>(size_t(inputCharBytes), inLeft);
            in += skip;
            inLeft -= skip;
            if (outLeft >= size_t(replacement.size())) {
                memcpy(dst, replacement.constData(), size_t(replacement.size()));
                dst += replacement.size();
                outLeft -= size_t(replacement.size());
            }
        } else {
            break;
        }
    }
    iconv_close(cd);
    out.resize(int(dst - out.data()));
    return out;
}

} // namespace

QByteArray encodeText(const QString& text, const char* codePage)
{
    // UCS-4 input makes "one character" a fixed four bytes for the replacement step.
    const QList<uint> ucs4 = text.toUcs4();
    QByteArray input(reinterpret_cast<const char*>(ucs4.constData()), ucs4.size() * 4);
    return convert(input, "UCS-4LE", codePage, "?", 4);
}

QString decodeText(const QByteArray& bytes, const char* codePage)
{
    return QString::fromUtf8(convert(bytes, codePage, "UTF-8", "\xEF\xBF\xBD", 1));
}

QByteArray toWindows1250(const QString& text)
{
    return encodeText(text, "WINDOWS-1250");
}

QString fromWindows1250(const QByteArray& bytes)
{
    return decodeText(bytes, "WINDOWS-1250");
}

} // namespace mivo
