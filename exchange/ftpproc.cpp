#include "ftpproc.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "platform/codepage.h"
#include "platform/dbquery.h"
#include "platform/ftp.h"
#include "platform/replacingfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstdio>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? fromWindows1250(bytes) : text;
}

QStringList linesOf(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

bool writeReplacing(const QString& path, const QByteArray& bytes, QString* error)
{
    data::ReplacingFile target(path);
    if (!target.prepare(error))
        return false;
    QFile file(target.tempPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.close();
    return target.commit(error);
}

QString upperBaseName(const QString& programPath)
{
    return QFileInfo(programPath).completeBaseName().toUpper();
}

// A program file begins as the system's executables do; anything else (an error page, an
// empty or cut file) must never take the program's place.
bool looksLikeProgram(const QByteArray& head)
{
#ifdef Q_OS_WIN
    return head.startsWith("MZ");
#else
    return head.startsWith("\x7f"
                           "ELF");
#endif
}

// The value of an identity column when the row has it and it is not empty.
QString identityValue(db::Query& identity, const QString& column, const QString& otherColumn = {})
{
    for (const QString& name : {column, otherColumn}) {
        if (!name.isEmpty() && identity.fieldIndex(name) >= 0 && !identity.text(name).isEmpty())
            return identity.text(name);
    }
    return {};
}

// Downloads the program file to the staging name; the staged file is complete and checked
// or absent. Returns the failure's code, 0 on success.
int stageProgram(net::Ftp& ftp, const QString& remote, const QString& programPath)
{
    const qint64 size = ftp.size(remote);
    data::ReplacingFile staged(stagedProgramName(programPath));
    QString error;
    if (!staged.prepare(&error))
        return errno ? errno : -1;
    QFile file(staged.tempPath());
    if (!file.open(QIODevice::ReadWrite | QIODevice::Truncate))
        return -1;
    if (!ftp.download(remote, &file))
        return ftp.lastCode();
    file.flush();
    file.seek(0);
    const bool whole =
        file.size() > 0 && (size < 0 || file.size() == size) && looksLikeProgram(file.read(4));
    file.close();
    if (!whole)
        return -1;
    if (!staged.commit(&error))
        return -1;
    // The new program runs as the old one did.
    QFile::setPermissions(staged.target(), QFile::permissions(programPath));
    return 0;
}

} // namespace

bool newerVersion(const QString& offered, const QString& given)
{
    return alt::higherVersion(offered, given) == offered && offered != given;
}

QList<UpdateInfoLine> readUpdateInfo(const QByteArray& bytes)
{
    QList<UpdateInfoLine> result;
    for (const QString& line : linesOf(decodeText(bytes))) {
        if (line.trimmed().isEmpty())
            break;
        if (line.startsWith(QLatin1Char('*')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        result << UpdateInfoLine{line.left(equals).trimmed().toUpper(),
                                 line.mid(equals + 1).trimmed()};
    }
    return result;
}

bool appendConfigurationLine(const QString& line, QString* error)
{
    QString path = Ini::instance().fileName();
    if (path.isEmpty())
        path = QDir(paths::programDir()).filePath(u"MIVO.INI"_s);
    QStringList lines;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QString& l : linesOf(fromWindows1250(file.readAll())))
            if (!l.trimmed().isEmpty())
                lines << l;
        file.close();
    }
    lines << line;
    return writeReplacing(path, toWindows1250(lines.join(u"\r\n"_s) + u"\r\n"_s), error);
}

QStringList pendingStatements()
{
    const QString path = paths::findFileNoCase(paths::programDir(), u"UPDATES.SQL"_s);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    QStringList statements;
    for (const QString& line : linesOf(decodeText(file.readAll()))) {
        if (line.isEmpty())
            break;
        statements << line;
    }
    return statements;
}

bool savePendingStatements(const QStringList& statements, QString* error)
{
    QString path = paths::findFileNoCase(paths::programDir(), u"UPDATES.SQL"_s);
    if (path.isEmpty())
        path = QDir(paths::programDir()).filePath(u"UPDATES.SQL"_s);
    return writeReplacing(path, (statements.join(u"\r\n"_s) + u"\r\n"_s).toUtf8(), error);
}

QString stagedProgramName(const QString& programPath)
{
    return QFileInfo(programPath).dir().filePath(upperBaseName(programPath) + u".NEW"_s);
}

void ProgramUpdate::setLimits(int connectSeconds, int stallSeconds)
{
    m_connectSeconds = connectSeconds;
    m_stallSeconds = stallSeconds;
}

QString ProgramUpdate::run(const QString& currentVersion, db::Query& identity)
{
    const QString program =
        programPath.isEmpty() ? QCoreApplication::applicationFilePath() : programPath;
    const Ini& ini = Ini::instance();
    const bool hasRow = identity.first();
    const auto fromRow = [&](const QString& column, const QString& other = {}) {
        return hasRow ? identityValue(identity, column, other) : QString();
    };
    // 1-2
    QString host = fromRow(u"FTPHOST"_s, u"FTP_SERVER"_s);
    QString user = fromRow(u"FTPUSERID"_s, u"FTP_USER"_s);
    QString password = fromRow(u"FTPPWDID"_s, u"FTP_PASSWORD"_s);
    if (host.isEmpty())
        host = ini.value(u"UPD_FTP_SERVER"_s);
    if (user.isEmpty())
        user = ini.value(u"UPD_FTP_USER"_s);
    if (password.isEmpty())
        password = ini.value(u"UPD_FTP_PASSWORD"_s);
    QString folder = fromRow(u"FTP_DFOLDER"_s);
    if (folder.isEmpty())
        folder = ini.value(u"UPD_FTP_DIR"_s, u"public_html/exefiles"_s);
    const QString code = hasRow ? identity.text(u"KOD"_s) : QString();
    const QString name = hasRow ? identity.text(u"NEV"_s) : QString();
    QString floor = fromRow(u"VERSION"_s);
    if (floor.isEmpty())
        floor = u"0"_s;
    // 3
    const QString base = upperBaseName(program);
    const QString remoteProgram = QFileInfo(program).fileName().toUpper();
    const QString infName = base + u".INF"_s;

    // 4-6
    net::Ftp ftp;
    ftp.setLimits(m_connectSeconds, m_stallSeconds);
    if (!ftp.connect(host, user, password)) {
        messages::show(u"Nem tudok kapcsolódni a tárhelyhez: "_s + host + u"\nHibakód="_s +
                           QString::number(ftp.lastCode()),
                       MessageKind::Error);
        return u"0"_s;
    }
    if (!ftp.changeDir(folder)) {
        messages::show(u"Nem találom a mappát: "_s + folder + u"\nHibakód="_s +
                           QString::number(ftp.lastCode()),
                       MessageKind::Error);
        return u"0"_s;
    }
    ftp.setBinary();
    QByteArray infBytes;
    {
        QBuffer buffer(&infBytes);
        buffer.open(QIODevice::WriteOnly);
        if (!ftp.download(infName, &buffer)) {
            messages::show(u"Nem tudom letölteni a frissítési információkat: "_s + folder + u"/"_s +
                               infName + u".\nHibakód="_s + QString::number(ftp.lastCode()),
                           MessageKind::Error);
            return u"0"_s;
        }
    }

    // 7-8
    QStringList pending = pendingStatements();
    QString offered = u"0"_s;
    bool newerThanProgram = false;
    bool newerThanFloor = false;
    for (const UpdateInfoLine& line : readUpdateInfo(infBytes)) {
        if (line.key == QLatin1String("VERSION")) {
            offered = line.value;
            newerThanProgram = newerVersion(offered, currentVersion);
            newerThanFloor = newerVersion(offered, floor);
        } else if (line.key == QLatin1String("ADDTOINI") && newerThanProgram) {
            QString error;
            if (!appendConfigurationLine(line.value, &error))
                messages::showError(error);
        } else if (line.key == QLatin1String("UPDATES") && newerThanProgram && newerThanFloor &&
                   line.value.compare(u"NONE"_s, Qt::CaseInsensitive) != 0) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (!ftp.download(line.value, &buffer)) {
                messages::show(u"Hiba a feldolgozás közben: "_s + line.value + u"\nHibakód="_s +
                                   QString::number(ftp.lastCode()),
                               MessageKind::Error);
                return offered;
            }
            for (const QString& statement : linesOf(decodeText(bytes)))
                if (!statement.trimmed().isEmpty())
                    pending << statement;
        }
    }
    // 9: saved before the program is fetched, so that a broken download keeps them.
    if (!pending.isEmpty()) {
        QString error;
        if (!savePendingStatements(pending, &error))
            messages::showError(error);
    }

    // 10
    if (!newerThanProgram) {
        messages::show(u"Nincs újabb frissítés."_s);
        return offered;
    }
    const int failure = stageProgram(ftp, remoteProgram, program);
    if (failure != 0) {
        messages::show(u"nem tudom letölteni a frissítést.\rhibakód="_s + QString::number(failure),
                       MessageKind::Error);
        return offered;
    }
    const QString reportName = u"download_"_s + base + u"_"_s + code + offered + u".txt"_s;
    const QString reportPath = QDir(paths::programDir()).filePath(reportName);
    const QString report = remoteProgram + u" downloaded by "_s + code + u", "_s + name +
                           u" from "_s + currentVersion + u" to "_s + offered + u" at "_s +
                           clock::now().toString(u"yyyy.MM.dd HH:mm:ss"_s) + u"\r\n"_s;
    QFile file(reportPath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(report.toUtf8());
        file.close();
        // The maker's record only: the update stands whether it arrives or not.
        ftp.upload(reportPath, reportName);
        QFile::remove(reportPath);
    }
    messages::show(u"Letöltöttük a friss programot.\rverzió="_s + offered +
                   u"\nKérem indítsa újra a programot!"_s);
    // 11
    return offered;
}

bool finishStagedUpdate(const QString& programPath, const QString& version)
{
    const QString staged = stagedProgramName(programPath);
    if (!QFileInfo::exists(staged))
        return true;
    const QFileInfo program(programPath);
    const QString keep = program.dir().filePath(upperBaseName(programPath) + version);
    const QByteArray programName = QFile::encodeName(programPath);
    const QByteArray keepFile = QFile::encodeName(keep);
    const auto failed = [](const QString& text, int code) {
        messages::show(text + QString::number(code), MessageKind::Error);
        return false;
    };
    if (keep == program.absoluteFilePath())
        return true;
    const QFile::Permissions mode = QFile::permissions(programPath);
    if (QFileInfo::exists(keep) && ::unlink(keepFile.constData()) != 0)
        return failed(u"Nem sikerült törölni a program előző verziójú példányát. Hibakód:"_s,
                      errno);
    if (std::rename(programName.constData(), keepFile.constData()) != 0)
        return failed(u"Nem sikerült átnevezni a jelenlegi programot. Hibakód:"_s, errno);
    QFile::setPermissions(staged, mode);
    if (std::rename(QFile::encodeName(staged).constData(), programName.constData()) != 0) {
        const int code = errno;
        std::rename(keepFile.constData(), programName.constData());
        return failed(u"Nem sikerült átmásolni a letöltött programot a helyére. Hibakód:"_s, code);
    }
    return true;
}

} // namespace mivo::exchange
