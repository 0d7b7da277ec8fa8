#pragma once

#include "framework/editorhooks.h"
#include "platform/ftp.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>

namespace mivo::exchange
{

/// The change-script builder: after the generic editor stored a row of a table marked with
/// AFTERPOST = 1, it draws a sequence number (FTP_SEND, generator GEN_FTP), writes the change
/// statement as the only line of "ftpsend.sql" in the program folder, appends it to
/// "doit.sql" in FTP_DIR on FTP_SERVER (FTP_USER, FTP_PASSWORD; one connection for the run,
/// the folder entered in one step), shows the connection's byte count before and after, and
/// marks the stored row's NETATAD "!" (sent) or " " (not sent).
///
/// Without a connection nothing is shown and NETATAD is left alone. A statement that did
/// not reach the server waits in "ftpsend_backlog.sql" and goes first, silently, with the
/// next one that is sent; the backlog begins with a line break, so that nothing is glued to
/// a line that a broken append left half written (a statement replayed twice does no harm).
class FtpChangeRecorder : public ChangeScriptRecorder
{
public:
    /// Sequence numbers and marks go through the connection (the business connection).
    explicit FtpChangeRecorder(const QString& connectionName = QStringLiteral("d_mivo"));

    void record(const QString& table, const QString& statement,
                const std::map<QString, QVariant>& parameters) override;

    /// The FTP connection, for its limits.
    net::Ftp& ftp() { return m_ftp; }

    /// "ftpsend.sql" and "ftpsend_backlog.sql" of the program folder.
    static QString sendFileName();
    static QString backlogFileName();

private:
    bool connectIfNeeded();
    /// The key columns of a table that has NETATAD; none when it has no such column (or no key).
    const std::optional<QStringList>& markedKeys(const QString& table);
    /// Marks the stored row (by its key values) sent or not; the database's text on failure.
    QString markRow(const QStringList& keys, const QString& table,
                    const std::map<QString, QVariant>& parameters, bool sent);

    QString m_connection;
    net::Ftp m_ftp;
    std::map<QString, std::optional<QStringList>> m_keys;
};

/// Registers the program's change-script builder with the generic editor.
void installChangeRecorder();

} // namespace mivo::exchange
