#pragma once

#include "platform/ftp.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace mivo::exchange
{

/// Which way the whole database goes.
enum class TransferMode {
    Send,           ///< "Adatok küldése (FTP-re)": the local file is uploaded as "MIVO.GDB"
    Receive,        ///< "Adatok fogadása (FTP-ről)": "MIVO.GDB" replaces the local file
    StartupDownload ///< the same at start-up, before any connection; none is opened afterwards
};

/// What the transfer screen's fields hold.
struct TransferSettings {
    QString server;   ///< FTP_SERVER, may carry ":port"
    QString user;     ///< FTP_USER
    QString password; ///< FTP_PASSWORD or typed
    QString folder;   ///< FTP_DIR; a leading server name and the character after it are dropped
    QString database; ///< DBSERVER
};

/// Where the database named by DBSERVER lies on this machine: a local path, or the path part
/// of a server location on "localhost" or "127.0.0.1". False for another host.
bool localDatabaseFile(const QString& dbServer, QString* path);
/// The safety copy made before an upload: the file name up to its first period (or whole) +
/// "_MENTES.GDB", in the same folder ("/a/mivo.fdb" → "/a/mivo_MENTES.GDB").
QString safetyCopyName(const QString& path);
/// The previous file kept by a download: the file name up to and including its first period
/// (one is added when there is none) + "GDO" ("/a/mivo.fdb" → "/a/mivo.GDO").
QString keepName(const QString& path);
/// The folder parts entered one CWD each: a leading server name (with or without its port)
/// and the character after it dropped.
QStringList folderParts(const QString& folder, const QString& server);
/// Attachments to the connection's database other than its own and the server's system
/// attachments; -1 with the database's text in *error when it cannot be asked.
int otherAttachments(const QString& connectionName, QString* error);

/// The whole-database transfer of the FTP screen, widget-free. The local file is never
/// transferred while another attachment uses it, and it always holds a whole database: an
/// upload goes under "MIVO.GDB.tmp", is checked by its size and renamed, so the storage keeps
/// the previous copy until the new one is complete; a download goes to a temporary file
/// beside the database, is checked by size and by opening it as a database, and only then
/// takes the database's path (the previous file keeps the keep name). Messages go through
/// the message service; the business and metadata connections are closed for the transfer
/// and opened again afterwards (not in start-up mode), with the feature switches read anew.
class DatabaseTransfer
{
public:
    enum class Outcome {
        Done,         ///< transferred
        NoConnection, ///< the FTP server could not be reached: the screen closes
        Refused,      ///< nothing transferred: the file is elsewhere or in use
        Failed ///< the transfer failed; the local file and the storage's copy are as they were
    };

    /// Status line texts ("Kapcsolódás...", "Kapcsolódva. Feltöltés folyamatban...").
    std::function<void(const QString&)> onStatus;
    /// Bytes done and in all while the file travels.
    std::function<void(qint64 done, qint64 total)> onProgress;

    /// FTP limits in seconds (see net::Ftp::setLimits).
    void setLimits(int connectSeconds, int stallSeconds);

    Outcome run(TransferMode mode, const TransferSettings& settings);

private:
    Outcome upload(net::Ftp& ftp, const QString& path, const QString& failure);
    Outcome download(net::Ftp& ftp, const QString& path, const QString& failure);
    void status(const QString& text);

    QString m_server;
    int m_connectSeconds = 15;
    int m_stallSeconds = 30;
};

} // namespace mivo::exchange
