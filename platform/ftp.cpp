#include "ftp.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>

#include <curl/curl.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace mivo::net
{

namespace
{

void initialiseOnce()
{
    static const bool done = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(done)
}

CURL* handleOf(void* curl)
{
    return static_cast<CURL*>(curl);
}

struct IoContext {
    QIODevice* device = nullptr;
    const Ftp::Progress* progress = nullptr;
};

size_t writeData(char* data, size_t size, size_t count, void* user)
{
    auto* io = static_cast<IoContext*>(user);
    const qint64 length = qint64(size * count);
    // Without a device (SIZE, folders) libcurl's informational lines are dropped.
    if (!io->device)
        return size_t(length);
    return io->device->write(data, length) == length ? size_t(length) : 0;
}

size_t readData(char* buffer, size_t size, size_t count, void* user)
{
    auto* io = static_cast<IoContext*>(user);
    const qint64 read = io->device ? io->device->read(buffer, qint64(size * count)) : 0;
    return read < 0 ? CURL_READFUNC_ABORT : size_t(read);
}

int reportProgress(void* user, curl_off_t downTotal, curl_off_t downNow, curl_off_t upTotal,
                   curl_off_t upNow)
{
    auto* io = static_cast<IoContext*>(user);
    if (!io->progress || !*io->progress)
        return 0;
    const bool up = upTotal > 0 || upNow > 0;
    return (*io->progress)(up ? upNow : downNow, up ? upTotal : downTotal) ? 0 : 1;
}

// Failures after which the control connection cannot be trusted any more.
bool connectionLost(CURLcode code)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_LOGIN_DENIED:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_WEIRD_SERVER_REPLY:
        return true;
    default:
        return false;
    }
}

struct CommandList {
    curl_slist* list = nullptr;
    ~CommandList() { curl_slist_free_all(list); }
};

} // namespace

Ftp::Ftp()
{
    initialiseOnce();
}

Ftp::~Ftp()
{
    disconnect();
}

void Ftp::setLimits(int connectSeconds, int stallSeconds)
{
    m_connectSeconds = connectSeconds;
    m_stallSeconds = stallSeconds;
}

bool Ftp::connect(const QString& host, const QString& user, const QString& password)
{
    disconnect();
    m_host = host.trimmed();
    m_user = user;
    m_password = password;
    m_bytes = 0;
    CURL* curl = curl_easy_init();
    if (!curl) {
        m_code = CURLE_FAILED_INIT;
        m_error = u"A libcurl nem indult el."_s;
        return false;
    }
    m_curl = curl;
    const QByteArray userBytes = m_user.toUtf8();
    const QByteArray passwordBytes = m_password.toUtf8();
    curl_easy_setopt(curl, CURLOPT_USERNAME, userBytes.constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, passwordBytes.constData());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(m_connectSeconds));
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(m_stallSeconds));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(m_stallSeconds));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeData);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readData);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, reportProgress);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    m_connected = true;
    if (perform(Action::Login, {}, {}, nullptr))
        return true;
    const int code = m_code;
    const QString error = m_error;
    disconnect();
    m_code = code;
    m_error = error;
    return false;
}

void Ftp::disconnect()
{
    if (m_curl)
        curl_easy_cleanup(handleOf(m_curl)); // says QUIT on a live connection
    m_curl = nullptr;
    m_connected = false;
    m_dir.clear();
}

QByteArray Ftp::url(const QStringList& folder, const QString& remote) const
{
    CURL* curl = handleOf(m_curl);
    const auto escaped = [curl](const QString& part) {
        const QByteArray bytes = part.toUtf8();
        char* text = curl_easy_escape(curl, bytes.constData(), int(bytes.size()));
        const QByteArray result(text);
        curl_free(text);
        return result;
    };
    QByteArray result = "ftp://" + m_host.toUtf8() + '/';
    for (const QString& part : folder)
        result += escaped(part) + '/';
    if (!remote.isEmpty())
        result += escaped(remote);
    return result;
}

bool Ftp::perform(Action action, const QStringList& folder, const QString& remote,
                  QIODevice* device, const QStringList& commands, qint64* size)
{
    m_code = 0;
    m_error.clear();
    if (!m_curl) {
        m_code = CURLE_FAILED_INIT;
        m_error = u"Nincs FTP kapcsolat."_s;
        return false;
    }
    CURL* curl = handleOf(m_curl);
    const bool upload = action == Action::Upload || action == Action::Append;
    const bool body = upload || action == Action::Download;
    IoContext io{device, body ? &m_progress : nullptr};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    CommandList list;
    std::vector<QByteArray> commandBytes;
    for (const QString& command : commands) {
        commandBytes.push_back(command.toUtf8());
        list.list = curl_slist_append(list.list, commandBytes.back().constData());
    }

    const QByteArray address = url(folder, remote);
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(
        curl, CURLOPT_FTP_FILEMETHOD,
        long(m_cwdMode == CwdMode::Single ? CURLFTPMETHOD_SINGLECWD : CURLFTPMETHOD_MULTICWD));
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, m_binary ? 0L : 1L);
    curl_easy_setopt(curl, CURLOPT_NOBODY, body ? 0L : 1L);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, upload ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_APPEND, action == Action::Append ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE,
                     curl_off_t(upload && device && !device->isSequential()
                                    ? device->size() - device->pos()
                                    : -1));
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &io);
    curl_easy_setopt(curl, CURLOPT_READDATA, &io);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &io);
    // After the folder is entered, so that relative names mean the current folder.
    curl_easy_setopt(curl, CURLOPT_POSTQUOTE, list.list);

    const CURLcode result = curl_easy_perform(curl);

    curl_easy_setopt(curl, CURLOPT_POSTQUOTE, nullptr);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    if (body) {
        curl_off_t up = 0, down = 0;
        curl_easy_getinfo(curl, CURLINFO_SIZE_UPLOAD_T, &up);
        curl_easy_getinfo(curl, CURLINFO_SIZE_DOWNLOAD_T, &down);
        m_bytes += qint64(up + down);
    }
    if (result == CURLE_OK) {
        if (size) {
            curl_off_t length = -1;
            curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
            *size = qint64(length);
        }
        return true;
    }
    long reply = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
    m_code = reply >= 400 ? int(reply) : int(result);
    m_error = QString::fromUtf8(curl_easy_strerror(result));
    if (errorBuffer[0])
        m_error += u": "_s + QString::fromUtf8(errorBuffer).trimmed();
    if (connectionLost(result))
        m_connected = false;
    return false;
}

bool Ftp::changeDir(const QString& folder)
{
    const QStringList parts = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (m_cwdMode == CwdMode::Single) {
        if (!perform(Action::Folder, m_dir + parts, {}, nullptr))
            return false;
        m_dir += parts;
        return true;
    }
    QStringList dir = m_dir;
    for (const QString& part : parts) {
        dir << part;
        if (!perform(Action::Folder, dir, {}, nullptr))
            return false;
    }
    m_dir = dir;
    return true;
}

bool Ftp::download(const QString& remote, QIODevice* target)
{
    return perform(Action::Download, m_dir, remote, target);
}

bool Ftp::download(const QString& remote, const QString& localPath)
{
    QFile file(localPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_code = CURLE_WRITE_ERROR;
        m_error = file.errorString();
        return false;
    }
    const bool ok = download(remote, &file);
    if (!file.flush() && ok) {
        m_code = CURLE_WRITE_ERROR;
        m_error = file.errorString();
        return false;
    }
    return ok;
}

bool Ftp::upload(QIODevice* source, const QString& remote)
{
    return perform(Action::Upload, m_dir, remote, source);
}

bool Ftp::upload(const QString& localPath, const QString& remote)
{
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_code = CURLE_READ_ERROR;
        m_error = file.errorString();
        return false;
    }
    return upload(&file, remote);
}

bool Ftp::append(const QByteArray& data, const QString& remote)
{
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return perform(Action::Append, m_dir, remote, &buffer);
}

qint64 Ftp::size(const QString& remote)
{
    qint64 length = -1;
    if (!perform(Action::Size, m_dir, remote, nullptr, {}, &length))
        return -1;
    return length;
}

bool Ftp::rename(const QString& from, const QString& to)
{
    return perform(Action::Commands, m_dir, {}, nullptr, {u"RNFR "_s + from, u"RNTO "_s + to});
}

bool Ftp::remove(const QString& remote)
{
    return perform(Action::Commands, m_dir, {}, nullptr, {u"DELE "_s + remote});
}

} // namespace mivo::net
