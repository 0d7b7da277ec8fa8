#include "textfile.h"

#include "platform/codepage.h"
#include "platform/replacingfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace mivo
{

bool TextFile::read(const QString& path, QString* error)
{
    text.clear();
    utf8 = true;
    crlf = false;
    if (!QFileInfo::exists(path))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(bytes);
    utf8 = !decoder.hasError();
    text = utf8 ? decoded : fromWindows1250(bytes);
    crlf = text.contains(u"\r\n"_s);
    text.replace(u"\r\n"_s, u"\n"_s);
    return true;
}

bool TextFile::write(const QString& path, QString* error) const
{
    data::ReplacingFile target(path);
    if (!target.prepare(error))
        return false;
    QString out = text;
    if (crlf)
        out.replace(u"\n"_s, u"\r\n"_s);
    const QByteArray bytes = utf8 ? out.toUtf8() : toWindows1250(out);
    QFile file(target.tempPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.close();
    return target.commit(error);
}

} // namespace mivo
