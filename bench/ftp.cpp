// The FTP exchange at benchmark scale through a loopback pyftpdlib server: the whole database
// sent and received by the FTP screen's transfer (its checks, safety copy and renames
// included) next to a bare libcurl STOR and RETR of the same file, and 1 000 change
// statements recorded (sequence number, file, append on the kept connection, the row's
// NETATAD) next to bare libcurl appending the same lines over one connection plus the same
// sequence inserts.
#include "benchdata.h"

#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "exchange/dbtransfer.h"
#include "exchange/ftp.h"
#include "framework/alapdat.h"
#include "platform/dbconnection.h"
#include "support/ftpserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <curl/curl.h>

#include <cstdio>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

size_t readFromFile(char* buffer, size_t size, size_t count, void* file)
{
    return std::fread(buffer, size, count, static_cast<FILE*>(file));
}

size_t writeToFile(char* data, size_t size, size_t count, void* file)
{
    return std::fwrite(data, size, count, static_cast<FILE*>(file));
}

struct Bytes {
    const QByteArray* data;
    qsizetype at = 0;
};

size_t readFromBytes(char* buffer, size_t size, size_t count, void* source)
{
    auto* bytes = static_cast<Bytes*>(source);
    const qsizetype n = qMin(qsizetype(size * count), bytes->data->size() - bytes->at);
    memcpy(buffer, bytes->data->constData() + bytes->at, size_t(n));
    bytes->at += n;
    return size_t(n);
}

// One libcurl handle, the way a program that only moves the file would use it.
class BareFtp
{
public:
    explicit BareFtp(const QString& host) : m_base("ftp://" + host.toUtf8() + "/")
    {
        m_curl = curl_easy_init();
        curl_easy_setopt(m_curl, CURLOPT_USERNAME, FtpServer::user().toUtf8().constData());
        curl_easy_setopt(m_curl, CURLOPT_PASSWORD, FtpServer::password().toUtf8().constData());
    }
    ~BareFtp() { curl_easy_cleanup(m_curl); }

    bool store(const QString& path, const QByteArray& remote)
    {
        FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
        curl_easy_setopt(m_curl, CURLOPT_URL, (m_base + remote).constData());
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(m_curl, CURLOPT_APPEND, 0L);
        curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, readFromFile);
        curl_easy_setopt(m_curl, CURLOPT_READDATA, file);
        curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(QFileInfo(path).size()));
        const bool ok = curl_easy_perform(m_curl) == CURLE_OK;
        std::fclose(file);
        return ok;
    }
    bool retrieve(const QByteArray& remote, const QString& path)
    {
        FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
        curl_easy_setopt(m_curl, CURLOPT_URL, (m_base + remote).constData());
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 0L);
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, writeToFile);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, file);
        const bool ok = curl_easy_perform(m_curl) == CURLE_OK;
        std::fclose(file);
        return ok;
    }
    bool append(const QByteArray& line, const QByteArray& remote)
    {
        Bytes bytes{&line};
        curl_easy_setopt(m_curl, CURLOPT_URL, (m_base + remote).constData());
        curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(m_curl, CURLOPT_APPEND, 1L);
        curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, readFromBytes);
        curl_easy_setopt(m_curl, CURLOPT_READDATA, &bytes);
        curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(line.size()));
        return curl_easy_perform(m_curl) == CURLE_OK;
    }

private:
    QByteArray m_base;
    CURL* m_curl;
};

QString customerUpdate()
{
    return u"UPDATE UGYFEL SET \nKOD= :KOD , \nNEV= :NEV , \nVAROS= :VAROS \nWHERE\nKOD= :OLD_KOD"_s;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    messages::install(std::make_unique<ScriptedMessages>());
    const QString scale = bench::scaleDatabase();
    const QString dataDir = qEnvironmentVariable("MIVO_BENCH_DATA", QDir::currentPath());
    QTemporaryDir work(dataDir + u"/ftp-XXXXXX"_s);
    QTemporaryDir storage(dataDir + u"/ftp-storage-XXXXXX"_s);
    const QString local = work.filePath(u"mivo.fdb"_s);
    FtpServer server;
    QString error;
    if (scale.isEmpty() || !QFile::copy(scale, local) || !server.start(storage.path(), &error)) {
        err << "no benchmark database or FTP server " << error << Qt::endl;
        return 1;
    }
    paths::setProgramDir(work.path());
    QDir(storage.path()).mkpath(u"mivo"_s);
    const double megabytes = QFileInfo(local).size() / 1e6;

    // The whole database, nobody attached (as after the check the screen makes).
    exchange::DatabaseTransfer transfer;
    const exchange::TransferSettings settings{server.host(), FtpServer::user(),
                                              FtpServer::password(), u"mivo"_s, local};
    bool ok = true;
    const double send = bench::fastestMs(3, [&] {
        ok = ok && transfer.run(exchange::TransferMode::Send, settings) ==
                       exchange::DatabaseTransfer::Outcome::Done;
    });
    const double bareStore = bench::fastestMs(3, [&] {
        BareFtp bare(server.host());
        ok = ok && bare.store(local, "mivo/BARE.GDB");
    });
    const double receive = bench::fastestMs(3, [&] {
        ok = ok && transfer.run(exchange::TransferMode::Receive, settings) ==
                       exchange::DatabaseTransfer::Outcome::Done;
    });
    const double bareRetrieve = bench::fastestMs(3, [&] {
        BareFtp bare(server.host());
        ok = ok && bare.retrieve("mivo/BARE.GDB", work.filePath(u"bare.fdb"_s));
    });
    if (!ok) {
        err << "a transfer failed" << Qt::endl;
        return 1;
    }
    err << QString::number(megabytes, 'f', 0) << " MB database" << Qt::endl;
    bench::report(u"ftp_send_database"_s, send, bareStore);
    bench::report(u"ftp_receive_database"_s, receive, bareRetrieve);

    // 1 000 stored customers recorded.
    if (!bench::openMain(local) || !Tdm::instance().connect()) {
        err << "no connection" << Qt::endl;
        return 1;
    }
    Ini& ini = Ini::instance();
    ini.set(u"FTP_SERVER"_s, server.host());
    ini.set(u"FTP_USER"_s, FtpServer::user());
    ini.set(u"FTP_PASSWORD"_s, FtpServer::password());
    ini.set(u"FTP_DIR"_s, u"mivo"_s);
    ini.set(u"FTP_ID"_s, u"B1"_s);
    const int count = 1000;
    exchange::FtpChangeRecorder recorder;
    const double recorded = bench::fastestMs(1, [&] {
        for (int kod = 1; kod <= count; ++kod)
            recorder.record(u"UGYFEL"_s, customerUpdate(),
                            {{u"kod"_s, kod},
                             {u"nev"_s, u"Ügyfél %1"_s.arg(kod)},
                             {u"varos"_s, u"Győr"_s},
                             {u"old_kod"_s, kod}});
    });
    QStringList lines;
    for (int kod = 1; kod <= count; ++kod)
        lines << u"/*B1_%1*/ UPDATE OR INSERT INTO UGYFEL (KOD,NEV,VAROS) Values (%2,'Ügyfél "
                 u"%2','Győr');\r\n"_s.arg(kod + 5000000)
                     .arg(kod);
    const double bareRecorded = bench::fastestMs(1, [&] {
        BareFtp bare(server.host());
        QSqlQuery sequence(QSqlDatabase::database(u"d_mivo"_s));
        for (const QString& line : lines) {
            sequence.exec(u"INSERT INTO FTP_SEND (ID) VALUES (GEN_ID(GEN_FTP,1)) RETURNING ID"_s);
            sequence.next();
            ok = ok && bare.append(line.toUtf8(), "mivo/bare.sql");
        }
    });
    const QByteArray script = [&] {
        QFile f(storage.filePath(u"mivo/doit.sql"_s));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    if (!ok || script.count('\n') != count) {
        err << "recording failed: " << script.count('\n') << " lines" << Qt::endl;
        return 1;
    }
    bench::report(u"ftp_record_1000"_s, recorded, bareRecorded);
    db::Connection::closeAll();
    return 0;
}
