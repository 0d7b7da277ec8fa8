#include "dbtransfer.h"

#include "core/dat.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/startup.h"
#include "framework/alapdat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/replacingfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

const QString mainConnection = u"d_mivo"_s;
const QString checkConnection = u"d_ftpcheck"_s;
const QString remoteName = u"MIVO.GDB"_s;
const QString remoteTemporary = u"MIVO.GDB.tmp"_s;

QString fileNamePart(const QString& path, bool withPeriod)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype period = name.indexOf(QLatin1Char('.'));
    if (period < 0)
        return withPeriod ? name + QLatin1Char('.') : name;
    return name.left(withPeriod ? period + 1 : period);
}

// The safety copy, made beside the upload: both only read the closed file. The copy lands
// under its name only whole; a failure is told and the upload goes on.
class SafetyCopy
{
public:
    explicit SafetyCopy(const QString& path) : m_target(safetyCopyName(path))
    {
        QString error;
        if (!m_target.prepare(&error)) {
            m_code = errno ? errno : -1;
            return;
        }
        const std::string from = QFile::encodeName(path).toStdString();
        const std::string to = QFile::encodeName(m_target.tempPath()).toStdString();
        m_copying = std::thread([this, from, to] {
            std::error_code error;
            std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing,
                                       error);
            m_code = error.value();
        });
    }
    ~SafetyCopy() { finish(); }

    /// Waits for the copy and puts it in place; a failure is told as the file-copy routine
    /// tells it.
    void finish()
    {
        if (m_copying.joinable())
            m_copying.join();
        if (m_done)
            return;
        m_done = true;
        QString error;
        if (m_code == 0 && !m_target.commit(&error))
            m_code = errno ? errno : -1;
        if (m_code != 0)
            messages::show(u"A fájl átmásolása nem sikerült. Hibakód="_s + QString::number(m_code),
                           MessageKind::Error);
    }

private:
    data::ReplacingFile m_target;
    std::thread m_copying;
    int m_code = 0;
    bool m_done = false;
};

bool opensAsDatabase(const QString& path)
{
    db::Connection& check = db::Connection::named(checkConnection);
    check.clear();
    check.setDriverName(db::InterBaseDriver);
    check.setParams({u"SERVER NAME="_s + path, u"USER NAME="_s + Td::databaseUser(),
                     u"PASSWORD="_s + Td::databasePassword()});
    bool ok = check.open();
    if (ok)
        ok = !db::scalar(checkConnection, u"SELECT COUNT(*) FROM RDB$RELATIONS"_s).isNull();
    check.clear();
    return ok;
}

// The previous database under the keep name: a second name of the same file where the file
// system allows it, else a whole copy.
bool keepPrevious(const QString& path)
{
    const QString keep = keepName(path);
    if (keep == path)
        return true;
    QFile::remove(keep);
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(keep).constData()) == 0)
        return true;
    data::ReplacingFile copy(keep);
    QString error;
    return copy.prepare(&error) && QFile::remove(copy.tempPath()) &&
           QFile::copy(path, copy.tempPath()) && copy.commit(&error);
}

// The downloaded file gets the permissions and, where allowed, the owner of the one it
// replaces, so that a database server reading the old one reads the new one too.
void takeAttributes(QFile& file, const QString& previous)
{
    struct stat old;
    if (::stat(QFile::encodeName(previous).constData(), &old) != 0) {
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                            QFile::ReadOther);
        return;
    }
    ::chmod(QFile::encodeName(file.fileName()).constData(), old.st_mode & 07777);
    if (::chown(QFile::encodeName(file.fileName()).constData(), old.st_uid, old.st_gid) != 0) {
        // Not ours to give away: the permissions must do.
    }
}

struct OpenConnections {
    bool main = false;
    bool metadata = false;
};

void reopen(const OpenConnections& was)
{
    if (!was.main)
        return;
    if (!db::Connection::named(mainConnection).open()) {
        messages::show(u"Nem tudok kapcsolódni az adatbázishoz."_s, MessageKind::Error);
        return;
    }
    if (was.metadata && !Tdm::instance().connect(mainConnection))
        messages::showError(Tdm::instance().lastError());
    // Another site's database may have other optional tables.
    Td& td = Td::instance();
    td.lettersAvailable = Startup::tableExists(u"LEVELKE"_s);
    td.partsStockAvailable = Startup::tableExists(u"ALK_KESZLET"_s);
    td.jobHistoryAvailable = Startup::tableExists(u"MUNKA_LOG"_s);
}

} // namespace

bool localDatabaseFile(const QString& dbServer, QString* path)
{
    const QString location = dbServer.trimmed();
    if (location.isEmpty())
        return false;
    if (db::isLocalLocation(location)) {
        *path = paths::localPath(location);
        return true;
    }
    const qsizetype colon = location.indexOf(QLatin1Char(':'));
    const QString host = location.left(colon).section(QLatin1Char('/'), 0, 0);
    if (host.compare(u"localhost"_s, Qt::CaseInsensitive) != 0 && host != u"127.0.0.1"_s)
        return false;
    *path = paths::localPath(location.mid(colon + 1));
    return true;
}

QString safetyCopyName(const QString& path)
{
    return QFileInfo(path).dir().filePath(fileNamePart(path, false) + u"_MENTES.GDB"_s);
}

QString keepName(const QString& path)
{
    return QFileInfo(path).dir().filePath(fileNamePart(path, true) + u"GDO"_s);
}

QStringList folderParts(const QString& folder, const QString& server)
{
    QString rest = folder.trimmed();
    for (const QString& prefix : {server.trimmed(), server.trimmed().section(u':', 0, 0)}) {
        if (!prefix.isEmpty() && rest.startsWith(prefix, Qt::CaseInsensitive)) {
            rest = rest.mid(prefix.size() + 1);
            break;
        }
    }
    return rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

int otherAttachments(const QString& connectionName, QString* error)
{
    db::Query q(connectionName);
    q.setLines({u"SELECT COUNT(*) FROM MON$ATTACHMENTS"_s,
                u"WHERE MON$SYSTEM_FLAG = 0 AND MON$ATTACHMENT_ID <> CURRENT_CONNECTION"_s});
    if (!q.exec() || !q.first()) {
        if (error)
            *error = q.lastError();
        return -1;
    }
    return q.value(0).toInt();
}

void DatabaseTransfer::setLimits(int connectSeconds, int stallSeconds)
{
    m_connectSeconds = connectSeconds;
    m_stallSeconds = stallSeconds;
}

void DatabaseTransfer::status(const QString& text)
{
    if (onStatus)
        onStatus(text);
}

DatabaseTransfer::Outcome DatabaseTransfer::run(TransferMode mode, const TransferSettings& s)
{
    QString path;
    if (!localDatabaseFile(s.database, &path)) {
        messages::show(u"Az adatbázis nem ezen a gépen van: "_s + s.database);
        return Outcome::Refused;
    }
    m_server = s.server;
    const bool send = mode == TransferMode::Send;
    const QString failure =
        send ? u"A feltöltés nem sikerült a "_s + s.server + u" FTP szerverre."_s
             : u"A letöltés nem sikerült a "_s + s.server + u" FTP szerverről."_s;
    status(u"Kapcsolódás..."_s);
    net::Ftp ftp;
    ftp.setLimits(m_connectSeconds, m_stallSeconds);
    if (!ftp.connect(s.server, s.user, s.password)) {
        messages::show(u"Nincs kapcsolat a "_s + s.server + u" FTP szerverrel."_s);
        ftp.disconnect();
        return Outcome::NoConnection;
    }
    status(u"Kapcsolódva."_s);
    for (const QString& part : folderParts(s.folder, s.server)) {
        if (!ftp.changeDir(part)) {
            messages::show(failure);
            return Outcome::Failed;
        }
    }
    ftp.setBinary();

    // The file is transferred only while nobody uses it: a file in use is never replaced, and
    // a copy of a file being written is no database.
    OpenConnections was;
    if (mode != TransferMode::StartupDownload) {
        was.main = db::Connection::named(mainConnection).isOpen();
        was.metadata = db::Connection::named(Tdm::connectionName).isOpen();
    }
    db::Connection::named(Tdm::connectionName).close();
    if (was.main) {
        QString error;
        const int others = otherAttachments(mainConnection, &error);
        if (others != 0) {
            messages::show(others < 0 ? error
                                      : u"Az adatbázist még "_s + QString::number(others) +
                                            u" másik kapcsolat használja. Zárja be a programot a "
                                            u"többi gépen, és próbálja újra."_s);
            if (was.metadata && !Tdm::instance().connect(mainConnection))
                messages::showError(Tdm::instance().lastError());
            return Outcome::Refused;
        }
    }
    db::Connection::named(mainConnection).close();

    const Outcome outcome = send ? upload(ftp, path, failure) : download(ftp, path, failure);
    ftp.disconnect();
    reopen(was);
    return outcome;
}

DatabaseTransfer::Outcome DatabaseTransfer::upload(net::Ftp& ftp, const QString& path,
                                                   const QString& failure)
{
    status(u"Bizotnsági másolat készítése..."_s);
    SafetyCopy copy(path);
    status(u"Kapcsolódva. Feltöltés folyamatban..."_s);
    ftp.setProgress([this](qint64 done, qint64 total) {
        if (onProgress)
            onProgress(done, total);
        return true;
    });
    // The storage's copy is replaced only by a whole file: a broken upload leaves a partial
    // temporary file beside it.
    const qint64 size = QFileInfo(path).size();
    bool ok = QFileInfo(path).isFile() && ftp.upload(path, remoteTemporary) &&
              ftp.size(remoteTemporary) == size;
    if (ok && !ftp.rename(remoteTemporary, remoteName))
        ok = ftp.remove(remoteName) && ftp.rename(remoteTemporary, remoteName);
    ftp.setProgress({});
    copy.finish();
    if (!ok) {
        if (ftp.isConnected())
            ftp.remove(remoteTemporary);
        messages::show(failure);
        return Outcome::Failed;
    }
    status(u"Kapcsolódva. Feltöltés kész"_s);
    messages::show(u"A teljes adatbázis felkerült a "_s + m_server + u" FTP szerverre."_s);
    return Outcome::Done;
}

DatabaseTransfer::Outcome DatabaseTransfer::download(net::Ftp& ftp, const QString& path,
                                                     const QString& failure)
{
    status(u"Kapcsolódva. Letöltés folyamatban..."_s);
    const QFileInfo target(path);
    const qint64 size = ftp.size(remoteName);
    QTemporaryFile temp(
        target.dir().filePath(u".~"_s + fileNamePart(path, false) + u"-XXXXXX.tmp"_s));
    bool ok = size >= 0 && target.dir().exists() && temp.open();
    if (ok) {
        ftp.setProgress([this, size](qint64 done, qint64) {
            if (onProgress)
                onProgress(done, size);
            return true;
        });
        ok = ftp.download(remoteName, &temp) && temp.flush() && temp.size() == size;
        ftp.setProgress({});
        temp.close();
    }
    // The path always holds a whole database: the old one stays until the new one is checked,
    // and the rename replaces it in one step.
    ok = ok && opensAsDatabase(temp.fileName());
    if (ok && target.exists())
        ok = keepPrevious(path);
    if (ok) {
        takeAttributes(temp, path);
        ok = std::rename(QFile::encodeName(temp.fileName()).constData(),
                         QFile::encodeName(path).constData()) == 0;
    }
    if (!ok) {
        messages::show(failure);
        return Outcome::Failed;
    }
    temp.setAutoRemove(false);
    status(u"Kapcsolódva. Letöltés kész"_s);
    messages::show(u"A teljes adatbázis letöltöttük a "_s + m_server + u" FTP szerverről."_s);
    return Outcome::Done;
}

} // namespace mivo::exchange
