#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace mivo
{
namespace db
{
class Query;
}

namespace exchange
{

/// Whether an offered version is newer than a given one: compared component by component as
/// numbers (missing ones count 0), it is not lower, and its text differs ("2.6.7.0" is newer
/// than "2.6.7", "2.6.10" than "2.6.9").
bool newerVersion(const QString& offered, const QString& given);

/// One "KEY=value" line of an update information file: key trimmed and upper-cased, value
/// trimmed.
struct UpdateInfoLine {
    QString key;
    QString value;
};

/// The lines of an update information file (".INF") up to its first empty line; "*" lines
/// are comments, lines without "=" are skipped. UTF-8, or Windows-1250 when it is not.
QList<UpdateInfoLine> readUpdateInfo(const QByteArray& bytes);

/// Appends a line to the configuration file (Ini::fileName(), else "MIVO.INI" in the program
/// folder) as the update's "ADDTOINI" asks: the empty lines go, comments and includes stay,
/// Windows-1250 with CRLF, replaced whole through a temporary file. False with the reason.
bool appendConfigurationLine(const QString& line, QString* error);

/// The SQL statements waiting in "UPDATES.SQL" of the program folder (any case), up to the
/// first empty line, as the start-up will run them.
QStringList pendingStatements();
/// Writes the statements to that file (where it was found, else "UPDATES.SQL"), UTF-8, CRLF.
bool savePendingStatements(const QStringList& statements, QString* error);

/// The new program waiting beside the running one: folder + upper-cased base name + ".NEW".
QString stagedProgramName(const QString& programPath);

/// The program update of the menu item "Program frissítése az internetről": asks the update
/// server (UPD_FTP_SERVER, UPD_FTP_USER, UPD_FTP_PASSWORD, UPD_FTP_DIR, default folder
/// "public_html/exefiles", unless the identity row names them) for base name + ".INF", takes
/// its configuration lines and SQL updates when the offer is newer, and stages the new
/// program as base name + ".NEW" beside the running one; the program file itself changes only
/// when the program has ended (finishStagedUpdate). Every step tells its outcome through the
/// message service.
class ProgramUpdate
{
public:
    /// The running program; QCoreApplication::applicationFilePath() unless set.
    QString programPath;

    /// FTP limits in seconds (see net::Ftp::setLimits).
    void setLimits(int connectSeconds, int stallSeconds);

    /// Runs the update for the program's version with the identity row set (first row's KOD
    /// and NEV; optional columns FTPHOST or FTP_SERVER, FTPUSERID or FTP_USER, FTPPWDID or
    /// FTP_PASSWORD, FTP_DFOLDER, VERSION). Returns the version found offered ("0" when none).
    QString run(const QString& currentVersion, db::Query& identity);

private:
    int m_connectSeconds = 15;
    int m_stallSeconds = 30;
};

/// Puts a staged new program in place once the program has ended: the keep file (folder +
/// base name + version) is deleted, the program takes the keep name, the staged file takes
/// the program's name and mode. A failed step is told with its code and leaves the old program
/// where it was. True when there was nothing to do or the swap succeeded.
bool finishStagedUpdate(const QString& programPath, const QString& version);

} // namespace exchange
} // namespace mivo
