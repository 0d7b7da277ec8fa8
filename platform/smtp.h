#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace mivo::net
{

/// How the connection to the mail server is protected.
enum class SmtpSecurity {
    StartTls, ///< plain connection upgraded by STARTTLS; a server without it is refused
    Tls,      ///< TLS from the first byte ("smtps", port 465 as a rule)
    None      ///< no protection (a server of the local network, tests)
};

struct SmtpAccount {
    QString host;
    int port = 587;
    QString user; ///< empty: no login
    QString password;
    SmtpSecurity security = SmtpSecurity::StartTls;
    int connectSeconds = 15; ///< for setting up the connection
    int stallSeconds = 30;   ///< for a reply or a transfer that makes no progress
};

struct MailAddress {
    QString name; ///< display name, may be empty or hold any characters
    QString address;
};

struct MailAttachment {
    QString fileName; ///< the name the recipient sees (any characters)
    QByteArray data;
};

struct MailMessage {
    MailAddress from;
    MailAddress to;
    QString subject;
    QString body; ///< plain text; line ends become CRLF
    QList<MailAttachment> attachments;
};

/// The outcome of a send.
struct SmtpResult {
    int curlCode = 0;          ///< libcurl's error number; 0 = sent
    bool loginRefused = false; ///< the server refused the user name or password
    int replyCode = 0;         ///< the server's last reply code (550, 535, ...), 0 when none came
    QString command; ///< the command that was refused or cut ("AUTH", "MAIL", "RCPT", "DATA"...)
    QString error;   ///< libcurl's text and the server's last reply line; empty when sent
    bool ok() const { return curlCode == 0; }
};

/// Sends one message through the account's server, as a UTF-8 MIME message (the body quoted-
/// printable, attachments base64, non-ASCII names and subject encoded per RFC 2047 and
/// RFC 2231). Blocks until the server accepted or refused it or a limit ran out.
SmtpResult sendMail(const SmtpAccount& account, const MailMessage& message);

/// A header text as RFC 2047 encoded words when it holds anything but printable ASCII;
/// unchanged otherwise.
QByteArray encodedWords(const QString& text);

} // namespace mivo::net
