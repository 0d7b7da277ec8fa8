#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>

/// The mail server of the tests (tests/support/smtpserver.py on aiosmtpd) on 127.0.0.1 and a
/// free port, without TLS. Each accepted message is kept decoded in the folder; recipients
/// whose address starts with "nincs" are refused with 550. Stopped when the object goes.
class SmtpServer
{
public:
    SmtpServer() = default;
    ~SmtpServer();
    SmtpServer(const SmtpServer&) = delete;
    SmtpServer& operator=(const SmtpServer&) = delete;

    /// Starts the server keeping messages in the folder; with a user it asks for that login.
    /// False with the reason when it does not come up.
    bool start(const QString& dir, QString* error, const QString& user = {},
               const QString& password = {});
    void stop();
    int port() const { return m_port; }

    /// Points the program's mail settings (SMTP_SERVER, SMTP_PORT, SMTP_TLS, SMTP_FROM) at
    /// this server, sending as `from`.
    void configureProgram(const QString& from) const;

    /// The n-th accepted message (1 = first), decoded: mail_from, rcpt_tos, from, to, subject,
    /// body, attachments (filename, content_type, data in base64); empty when there is none.
    QJsonObject message(int n) const;
    /// How many messages were accepted.
    int messageCount() const;

private:
    QProcess m_process;
    QString m_dir;
    int m_port = 0;
};
