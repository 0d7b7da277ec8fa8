#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

namespace mivo::net
{

/// A plain FTP client over libcurl: one control connection kept from connect() to
/// disconnect(), a current folder, binary transfers. Every call returns false (or -1) on
/// failure with the reason in lastCode() and lastError(). A connection the server dropped is
/// made again by the next call.
class Ftp
{
public:
    /// How a folder is entered: one CWD per "/"-separated part, or one CWD with the whole path.
    enum class CwdMode { PerPart, Single };

    /// Transfer progress in bytes (total 0 while unknown); returning false aborts the transfer.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    Ftp();
    ~Ftp();
    Ftp(const Ftp&) = delete;
    Ftp& operator=(const Ftp&) = delete;

    /// Seconds allowed for setting up a connection, and for a transfer or a reply that makes no
    /// progress (15 and 30 unless set): a dead server never holds the caller longer.
    void setLimits(int connectSeconds, int stallSeconds);
    void setCwdMode(CwdMode mode) { m_cwdMode = mode; }
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    /// Connects and logs in, in the login folder. The host may carry ":port" (21 otherwise).
    bool connect(const QString& host, const QString& user, const QString& password);
    bool isConnected() const { return m_curl != nullptr && m_connected; }
    /// Sends QUIT and closes the connection; the current folder is forgotten.
    void disconnect();

    /// Enters a folder below the current one ("a" or "a/b"); the folder stays unchanged when
    /// the server refuses any part.
    bool changeDir(const QString& folder);
    /// The current folder below the login folder, "/"-separated ("" = the login folder).
    QString currentDir() const { return m_dir.join(QLatin1Char('/')); }
    /// Binary transfers ("TYPE I"), which is what "TYPE L 8" asks for on the servers in use.
    void setBinary() { m_binary = true; }

    /// Downloads a file of the current folder ("RETR") into the device, which stays open.
    bool download(const QString& remote, QIODevice* target);
    /// Downloads into a local file, created or emptied first.
    bool download(const QString& remote, const QString& localPath);
    /// Uploads the device's remaining bytes as a file of the current folder ("STOR").
    bool upload(QIODevice* source, const QString& remote);
    bool upload(const QString& localPath, const QString& remote);
    /// Appends the bytes to a file of the current folder ("APPE"), creating it when missing.
    bool append(const QByteArray& data, const QString& remote);
    /// The size in bytes the server reports ("SIZE"); -1 when the file is missing or unknown.
    qint64 size(const QString& remote);
    /// Renames a file of the current folder ("RNFR"/"RNTO").
    bool rename(const QString& from, const QString& to);
    /// Deletes a file of the current folder ("DELE").
    bool remove(const QString& remote);

    /// Bytes uploaded and downloaded since connect(), partial transfers included.
    qint64 bytesTransferred() const { return m_bytes; }
    /// The failure's code: the server's reply code when it refused (400 and above), else
    /// libcurl's error number; 0 after success.
    int lastCode() const { return m_code; }
    /// The failure in words (libcurl's text and the server's last reply); empty after success.
    QString lastError() const { return m_error; }

private:
    enum class Action { Login, Folder, Download, Upload, Append, Size, Commands };
    bool perform(Action action, const QStringList& folder, const QString& remote, QIODevice* device,
                 const QStringList& commands = {}, qint64* size = nullptr);
    QByteArray url(const QStringList& folder, const QString& remote) const;

    void* m_curl = nullptr;
    bool m_connected = false;
    QString m_host;
    QString m_user;
    QString m_password;
    QStringList m_dir;
    CwdMode m_cwdMode = CwdMode::PerPart;
    bool m_binary = true;
    int m_connectSeconds = 15;
    int m_stallSeconds = 30;
    Progress m_progress;
    qint64 m_bytes = 0;
    int m_code = 0;
    QString m_error;
};

} // namespace mivo::net
