#include "ini.h"

#include "clock.h"
#include "messages.h"
#include "paths.h"
#include "platform/codepage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace mivo
{

Ini& Ini::instance()
{
    static Ini table;
    return table;
}

bool Ini::readFile(const QString& fileName, bool quiet, const QString& folder)
{
    QStringList reading;
    const bool isTop = m_topFile.isEmpty();
    const QString path =
        folder.isEmpty() || QFileInfo(fileName).isAbsolute() ? fileName : folder + u'/' + fileName;
    const bool ok = readInto(path, fileName, quiet, reading);
    if (ok && isTop)
        m_topFile = QFileInfo(path).absoluteFilePath();
    return ok;
}

bool Ini::readInto(const QString& path, const QString& shownName, bool quiet, QStringList& reading)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!quiet)
            messages::show(u"Ini file: "_s + shownName + u" not found."_s);
        return false;
    }
    const QFileInfo info(file);
    reading << info.canonicalFilePath();
    const QString text = fromWindows1250(file.readAll());
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        readLine(line, info.absolutePath(), reading);
    }
    reading.removeLast();
    return true;
}

void Ini::readLine(QString line, const QString& folder, QStringList& reading)
{
    QString comment;
    const qsizetype slashes = line.indexOf(QLatin1String("//"));
    const bool hadEquals = line.contains(QLatin1Char('='));
    if (slashes >= 0) {
        comment = line.mid(slashes + 2);
        line.truncate(slashes);
    }
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('*')))
        return;
    // Include lines are read whether or not they hold a "=".
    if (trimmed.startsWith(QLatin1Char('@'))) {
        const QString written = trimmed.mid(1).trimmed();
        QString name = written;
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString path = QFileInfo(name).isRelative() ? folder + QLatin1Char('/') + name : name;
        const QString canonical = QFileInfo(path).canonicalFilePath();
        // A file that is already being read would include itself for ever.
        if (!canonical.isEmpty() && reading.contains(canonical))
            return;
        readInto(path, written, false, reading);
        return;
    }
    if (!hadEquals)
        return;
    line = replaceYearPlaceholders(line);
    // A line whose only "=" stood in its comment is a key with an empty value.
    qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        eq = line.size();
    const QString key = line.left(eq).trimmed().toUpper();
    if (key == QLatin1String("COMMAND")) {
        m_commands << line.mid(eq + 1);
        return;
    }
    set(key, line.mid(eq + 1).trimmed(), comment);
}

QString replaceYearPlaceholders(const QString& line)
{
    const QDate today = clock::today();
    const int lastYear = today.addDays(-365).year();
    const std::pair<const char*, QString> placeholders[] = {
        {"%EEEE%", QString::number(today.year())},
        {"%EE%", QString::number(today.year() % 100).rightJustified(2, QLatin1Char('0'))},
        {"%EEEM%", QString::number(lastYear)},
        {"%EM%", QString::number(lastYear % 100).rightJustified(2, QLatin1Char('0'))},
    };
    QString result = line;
    for (const auto& [placeholder, year] : placeholders) {
        const QLatin1String mark(placeholder);
        const qsizetype at = result.indexOf(mark);
        if (at >= 0)
            result = result.left(at) + year + result.mid(at + mark.size()).trimmed();
    }
    return result;
}

int Ini::indexOf(const QString& key) const
{
    const QString wanted = key.trimmed().toUpper();
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].key == wanted)
            return i;
    return -1;
}

QString Ini::value(const QString& key, const QString& fallback) const
{
    const int i = indexOf(key);
    return i < 0 ? fallback : m_entries[i].value;
}

int Ini::set(const QString& key, const QString& value, const QString& comment)
{
    const QString k = key.trimmed().toUpper();
    const int i = indexOf(k);
    if (i >= 0) {
        m_entries[i].value = value;
        m_entries[i].comment = comment;
        return 1;
    }
    if (m_entries.size() >= maxEntries) {
        messages::show(QStringLiteral("Túl sok beállítási paraméter. ") + k + QLatin1Char('=') +
                       value);
        return -1;
    }
    m_entries.append({k, value, comment});
    return 0;
}

bool Ini::write(QString* error) const
{
    if (m_topFile.isEmpty()) {
        if (error)
            *error = QStringLiteral("Nincs beolvasott beállítási fájl.");
        return false;
    }
    QString text;
    for (const IniValue& entry : m_entries) {
        text += entry.key + QLatin1Char('=') + entry.value;
        if (!entry.comment.isEmpty())
            text += QStringLiteral("  //") + entry.comment;
        text += QStringLiteral("\r\n");
    }
    const QString backup = m_topFile + QStringLiteral(".bak");
    if (QFile::exists(m_topFile)) {
        QFile::remove(backup);
        if (!QFile::copy(m_topFile, backup)) {
            if (error)
                *error = QStringLiteral("A biztonsági másolat nem készült el: ") + backup;
            return false;
        }
    }
    QSaveFile file(m_topFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(toWindows1250(text)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void Ini::clear()
{
    m_entries.clear();
    m_commands.clear();
    m_topFile.clear();
}

} // namespace mivo
