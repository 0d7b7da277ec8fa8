#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace mivo
{

/// One setting of the key table.
struct IniValue {
    QString key;     ///< trimmed, upper case
    QString value;   ///< trimmed, case kept
    QString comment; ///< text after "//" on its line
};

/// The configuration key table read from "MIVO.INI" (Windows-1250, "KEY=value // comment"
/// lines, "*" comment lines, "@file" includes, year placeholders, COMMAND lines). Keys are
/// case-insensitive. The table is the one source of configuration values at run time.
class Ini
{
public:
    static constexpr int maxEntries = 255;

    /// The key table of the run.
    static Ini& instance();

    /// Reads a file into the table; a relative name is taken in the folder (the working
    /// directory when the folder is empty). A missing file returns false and, unless quiet,
    /// shows "Ini file: " + name + " not found." with the name as given. The first file read
    /// becomes the file that the settings editor writes back.
    bool readFile(const QString& fileName, bool quiet = false, const QString& folder = {});

    /// Position of the key (0 = first) or -1 when absent.
    int indexOf(const QString& key) const;
    bool contains(const QString& key) const { return indexOf(key) >= 0; }
    /// The key's value; the fallback when the key is absent (present but empty stays empty).
    QString value(const QString& key, const QString& fallback = {}) const;

    /// 1 when the key existed (value and comment replaced), 0 when appended, -1 when the
    /// table is full (the key is refused with a message).
    int set(const QString& key, const QString& value, const QString& comment = {});

    const QList<IniValue>& entries() const { return m_entries; }
    const QStringList& commands() const { return m_commands; }
    /// The top-level file the table was read from.
    QString fileName() const { return m_topFile; }

    /// Rewrites the top-level file with one line per entry (key=value  //comment, CRLF,
    /// Windows-1250), keeping the previous file as fileName + ".bak". False with the reason.
    bool write(QString* error) const;

    /// Empties the table (tests; the program never does).
    void clear();

private:
    bool readInto(const QString& path, const QString& shownName, bool quiet, QStringList& reading);
    void readLine(QString line, const QString& folder, QStringList& reading);

    QList<IniValue> m_entries;
    QStringList m_commands;
    QString m_topFile;
};

/// The current year placeholders of a configuration line replaced.
QString replaceYearPlaceholders(const QString& line);

} // namespace mivo
