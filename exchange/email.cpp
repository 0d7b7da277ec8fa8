#include "email.h"

#include "core/ini.h"
#include "core/messages.h"
#include "platform/smtp.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace mivo::exchange
{

using namespace Qt::StringLiterals;

namespace
{

PasswordPrompt& prompt()
{
    static PasswordPrompt p;
    return p;
}

// A password the user typed, kept for the run so that a series of e-mails asks once.
struct TypedPassword {
    QString account;
    QString password;
};
TypedPassword& typed()
{
    static TypedPassword t;
    return t;
}

int checkRecipient(const QString& address)
{
    if (address.trimmed().isEmpty())
        return EmailUnknownRecipient;
    if (!address.contains(u'@'))
        return EmailBadAddress;
    return EmailSent;
}

// Every attachment is there and readable; their contents when wanted.
int readAttachments(const QStringList& paths, QList<net::MailAttachment>* attachments)
{
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.exists())
            return EmailAttachmentMissing;
        QFile file(path);
        if (!info.isFile() || !file.open(QIODevice::ReadOnly))
            return EmailAttachmentUnreadable;
        if (attachments)
            attachments->append({info.fileName(), file.readAll()});
    }
    return EmailSent;
}

} // namespace

EmailSettings EmailSettings::fromIni()
{
    const Ini& ini = Ini::instance();
    EmailSettings s;
    s.server = ini.value(u"SMTP_SERVER"_s);
    bool ok = false;
    const int port = ini.value(u"SMTP_PORT"_s).toInt(&ok);
    if (ok && port > 0)
        s.port = port;
    s.user = ini.value(u"SMTP_USER"_s);
    s.password = ini.value(u"SMTP_PASSWORD"_s);
    QString from = ini.value(u"SMTP_FROM"_s);
    if (from.isEmpty() && s.user.contains(u'@'))
        from = s.user;
    const qsizetype open = from.indexOf(u'<');
    if (open >= 0 && from.endsWith(u'>')) {
        s.fromName = from.left(open).trimmed();
        s.fromAddress = from.mid(open + 1, from.size() - open - 2).trimmed();
    } else {
        s.fromAddress = from.trimmed();
    }
    const QString tls = ini.value(u"SMTP_TLS"_s).toUpper();
    s.security = tls == u"SSL"_s ? Security::Ssl
                 : tls == u"N"_s ? Security::None
                                 : Security::StartTls;
    return s;
}

int sendDirect(const EmailSettings& settings, const Email& mail, QString* detail)
{
    if (const int r = checkRecipient(mail.recipientAddress))
        return r;
    net::MailMessage message;
    if (const int r = readAttachments(mail.attachments, &message.attachments))
        return r;
    const auto failed = [detail](const QString& text) {
        if (detail)
            *detail = text;
        return EmailFailed;
    };
    if (settings.server.trimmed().isEmpty())
        return failed(u"Nincs megadva levelező szerver (SMTP_SERVER)."_s);
    if (!settings.fromAddress.contains(u'@'))
        return failed(u"Nincs megadva a feladó címe (SMTP_FROM)."_s);

    net::SmtpAccount account;
    account.host = settings.server;
    account.port = settings.port;
    account.user = settings.user;
    account.password = settings.password;
    account.security = settings.security == EmailSettings::Security::Ssl ? net::SmtpSecurity::Tls
                       : settings.security == EmailSettings::Security::None
                           ? net::SmtpSecurity::None
                           : net::SmtpSecurity::StartTls;
    message.from = {settings.fromName, settings.fromAddress};
    message.to = {mail.recipientName, mail.recipientAddress};
    message.subject = mail.subject;
    message.body = mail.body;
    const net::SmtpResult sent = net::sendMail(account, message);
    if (sent.ok())
        return EmailSent;
    if (sent.loginRefused)
        return EmailLoginFailed;
    if (sent.command == u"RCPT"_s && (sent.replyCode == 550 || sent.replyCode == 553))
        return EmailUnknownRecipient;
    return failed(sent.error);
}

int composeInMailClient(const Email& mail, QString* detail)
{
    if (const int r = readAttachments(mail.attachments, nullptr))
        return r;
    // Qt hands the arguments over in UTF-8 whatever the locale says.
    QStringList args{u"--utf8"_s};
    if (!mail.subject.isEmpty())
        args << u"--subject"_s << mail.subject;
    if (!mail.body.isEmpty())
        args << u"--body"_s << mail.body;
    for (const QString& path : mail.attachments)
        args << u"--attach"_s << QFileInfo(path).absoluteFilePath();
    // A mailto: address is the bare address; the user sees the name in the mail program.
    if (mail.recipientAddress.contains(u'@'))
        args << mail.recipientAddress.trimmed();
    QProcess process;
    process.start(u"xdg-email"_s, args);
    if (!process.waitForStarted(10000)) {
        if (detail)
            *detail = u"Az xdg-email nem indítható (xdg-utils): "_s + process.errorString();
        return EmailFailed;
    }
    if (!process.waitForFinished(60000)) {
        if (detail)
            *detail = u"A levelezőprogram nem válaszolt."_s;
        return EmailFailed;
    }
    if (process.exitStatus() == QProcess::NormalExit) {
        switch (process.exitCode()) {
        case 0:
            return EmailSent;
        case 2:
            return EmailAttachmentMissing;
        case 5:
            return EmailAttachmentUnreadable;
        default:
            break;
        }
    }
    if (detail)
        *detail = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return EmailFailed;
}

QString emailReason(int result)
{
    switch (result) {
    case 1:
        return u" félbeszakítva"_s;
    case 2:
        return u" egyéb hiba"_s;
    case 3:
        return u" bejelentkezési hiba"_s;
    case 5:
        return u" nincs elég memória"_s;
    case 9:
        return u" túl sok fájl"_s;
    case 10:
        return u" túl sok címzett"_s;
    case 11:
        return u" hiányzó melléklet"_s;
    case 12:
        return u" melléklet megnyitási hiba"_s;
    case 14:
        return u" ismeretlen címzett"_s;
    case 15:
        return u" rossz címtípus"_s;
    case 18:
        return u" túl hosszú szöveg"_s;
    case 21:
        return u" nem egyértelmű címzett"_s;
    default:
        return {};
    }
}

void setPasswordPrompt(PasswordPrompt p)
{
    prompt() = std::move(p);
}

int sendEmail(const Email& mail, bool sendDirectly)
{
    QString detail;
    int result;
    if (!sendDirectly) {
        result = composeInMailClient(mail, &detail);
        if (result == EmailSent)
            messages::show(u"Az e-mail átadva a levelezőprogramnak."_s, MessageKind::Dialog);
    } else {
        EmailSettings settings = EmailSettings::fromIni();
        const QString account =
            settings.user + u'@' + settings.server + u':' + QString::number(settings.port);
        bool asked = false;
        // Checked before the password is asked for: a hopeless e-mail asks nothing.
        result = checkRecipient(mail.recipientAddress);
        if (result == EmailSent)
            result = readAttachments(mail.attachments, nullptr);
        if (result == EmailSent && !settings.user.isEmpty() && settings.password.isEmpty()) {
            if (typed().account == account && !typed().password.isEmpty()) {
                settings.password = typed().password;
            } else if (prompt() && prompt()(settings.user, settings.server, &settings.password)) {
                asked = true;
            } else {
                result = EmailAborted;
            }
        }
        if (result == EmailSent)
            result = sendDirect(settings, mail, &detail);
        if (result == EmailSent && asked)
            typed() = {account, settings.password};
        else if (result == EmailLoginFailed)
            typed() = {};
    }
    if (result != EmailSent) {
        QString text = u"Hiba e-mail küldés közben: "_s + emailReason(result);
        if (result == EmailFailed && !detail.isEmpty())
            text += u'\n' + detail;
        messages::show(text, MessageKind::Error);
    }
    return result;
}

} // namespace mivo::exchange
