#pragma once

#include <QByteArray>
#include <QString>

namespace mivo
{

/// Text in the Windows-1250 code page of the configuration file and the files other
/// programs read. Characters the code page lacks become "?".
QByteArray toWindows1250(const QString& text);
QString fromWindows1250(const QByteArray& bytes);

/// The same for any code page that iconv knows ("CP852", "WINDOWS-1250").
QByteArray encodeText(const QString& text, const char* codePage);
QString decodeText(const QByteArray& bytes, const char* codePage);

} // namespace mivo
