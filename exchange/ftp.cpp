#include "ftp.h"

#include "changescript.h"

#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "framework/alapdat.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

const QByteArray lineEnd = "\r\n";

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whole or not at all: a statement that waits must not be lost to a half written file.
bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

FtpChangeRecorder::FtpChangeRecorder(const QString& connectionName) : m_connection(connectionName)
{
    m_ftp.setCwdMode(net::Ftp::CwdMode::Single);
}

QString FtpChangeRecorder::sendFileName()
{
    return QDir(paths::programDir()).filePath(u"ftpsend.sql"_s);
}

QString FtpChangeRecorder::backlogFileName()
{
    return QDir(paths::programDir()).filePath(u"ftpsend_backlog.sql"_s);
}

bool FtpChangeRecorder::connectIfNeeded()
{
    if (m_ftp.isConnected())
        return true;
    const Ini& ini = Ini::instance();
    const QString server = ini.value(u"FTP_SERVER"_s);
    const QString user = ini.value(u"FTP_USER"_s);
    if (server.isEmpty() || user.isEmpty())
        return false;
    if (!m_ftp.connect(server, user, ini.value(u"FTP_PASSWORD"_s)))
        return false;
    m_ftp.setBinary();
    const QString folder = ini.value(u"FTP_DIR"_s);
    // A statement appended to another folder's script would be lost for the other site.
    if (!folder.isEmpty() && !m_ftp.changeDir(folder)) {
        m_ftp.disconnect();
        return false;
    }
    return true;
}

void FtpChangeRecorder::record(const QString& table, const QString& statement,
                               const std::map<QString, QVariant>& parameters)
{
    const QString site = Ini::instance().value(u"FTP_ID"_s);
    const std::optional<QStringList> keys = markedKeys(table);
    // The number and the row's mark are committed together: one commit per stored row. No
    // row of another workstation is locked while the line travels.
    db::Transaction transaction(m_connection);
    // From the generator itself: MAX(ID) gave two workstations the same number.
    db::Query sequence(m_connection);
    sequence.setSql(u"INSERT INTO FTP_SEND (ID) VALUES (GEN_ID(GEN_FTP,1)) RETURNING ID"_s);
    const QVariant number = sequence.insertReturning();
    if (number.isNull()) {
        const QString error = sequence.lastError();
        transaction.rollback();
        messages::showError(error);
        return;
    }
    const QByteArray line =
        changeStatement(site, number.toLongLong(), table, statement, parameters).toUtf8() + lineEnd;
    // Only for whoever looks at it: the statement is sent from memory all the same.
    QFile last(sendFileName());
    if (last.open(QIODevice::WriteOnly | QIODevice::Truncate))
        last.write(line);
    last.close();

    const QString backlogName = backlogFileName();
    const QByteArray backlog = readAll(backlogName);
    const QByteArray payload = backlog + line;
    const auto commit = [&transaction](QString error) {
        if (!error.isEmpty())
            transaction.rollback();
        else if (transaction.isActive() && !transaction.commit())
            error = transaction.lastError();
        return error;
    };
    if (!connectIfNeeded()) {
        writeWhole(backlogName, (backlog.isEmpty() ? lineEnd : backlog) + line);
        const QString error = commit({});
        if (!error.isEmpty())
            messages::showError(error);
        return;
    }
    const qint64 before = m_ftp.bytesTransferred();
    const bool sent = m_ftp.append(payload, u"doit.sql"_s);
    const qint64 after = m_ftp.bytesTransferred();
    if (sent) {
        if (!backlog.isEmpty())
            QFile::remove(backlogName);
    } else {
        // Part of it may have arrived: the next append starts on a new line.
        writeWhole(backlogName, (backlog.isEmpty() ? lineEnd : backlog) + line);
    }
    const QString error = commit(keys ? markRow(*keys, table, parameters, sent) : QString());
    messages::show(QString::number(before) + u" bytes sent before, and "_s +
                   QString::number(after) + u" bytes sent after"_s);
    if (!error.isEmpty())
        messages::showError(error);
}

const std::optional<QStringList>& FtpChangeRecorder::markedKeys(const QString& table)
{
    const QString name = table.toUpper();
    auto it = m_keys.find(name);
    if (it == m_keys.end()) {
        Tdm& tdm = Tdm::instance();
        std::optional<QStringList> keys;
        const QStringList fields = tdm.primaryKeyFields(name).fields;
        if (!fields.isEmpty() && tdm.fieldInfo(name, u"NETATAD"_s).found)
            keys = fields;
        it = m_keys.emplace(name, keys).first;
    }
    return it->second;
}

QString FtpChangeRecorder::markRow(const QStringList& keys, const QString& table,
                                   const std::map<QString, QVariant>& parameters, bool sent)
{
    // Only the stored row: without a condition every row of the table was rewritten.
    QStringList lines{u"UPDATE"_s, table, u"SET NETATAD = :netatad"_s};
    db::Query q(m_connection);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString& field = keys[i];
        const auto value = parameters.find(field.toLower());
        if (value == parameters.end() || value->second.isNull())
            return {};
        lines << (i == 0 ? u"WHERE "_s : u"AND "_s) + field + u" = :k"_s + QString::number(i);
        q.bind(u"k"_s + QString::number(i), value->second);
    }
    q.setLines(lines);
    q.bind(u"netatad"_s, sent ? u"!"_s : u" "_s);
    return q.exec() ? QString() : q.lastError();
}

void installChangeRecorder()
{
    static FtpChangeRecorder recorder;
    setChangeScriptRecorder(&recorder);
}

} // namespace mivo::exchange
