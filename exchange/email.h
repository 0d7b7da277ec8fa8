#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace mivo::exchange
{

/// Results of the e-mail routine (0 = success); each has its reason text (emailReason).
enum EmailResult : int {
    EmailSent = 0,
    EmailAborted = 1,               ///< " félbeszakítva": the password was not given
    EmailFailed = 2,                ///< " egyéb hiba": anything else, the transport's text beside
    EmailLoginFailed = 3,           ///< " bejelentkezési hiba": the server refused the login
    EmailAttachmentMissing = 11,    ///< " hiányzó melléklet"
    EmailAttachmentUnreadable = 12, ///< " melléklet megnyitási hiba"
    EmailUnknownRecipient = 14,     ///< " ismeretlen címzett": no address, or refused (550/553)
    EmailBadAddress = 15,           ///< " rossz címtípus": an address without "@"
};

/// One e-mail to one recipient.
struct Email {
    QString recipientName;
    QString recipientAddress;
    QString subject;
    QString body;
    QStringList attachments; ///< paths; each travels under its file name
};

/// The mail server settings of the configuration: SMTP_SERVER, SMTP_PORT (587), SMTP_USER,
/// SMTP_PASSWORD, SMTP_FROM ("address" or "Name <address>"; SMTP_USER when it is an address),
/// SMTP_TLS ("STARTTLS", the default, which a server must offer; "SSL" for TLS from the
/// start; "N" for none).
struct EmailSettings {
    enum class Security { StartTls, Ssl, None };
    QString server;
    int port = 587;
    QString user;
    QString password;
    QString fromName;
    QString fromAddress;
    Security security = Security::StartTls;

    static EmailSettings fromIni();
};

/// Sends the e-mail through the mail server at once. The result code; for EmailFailed the
/// transport's text goes to *detail. The password must already be in the settings when a user
/// is given.
int sendDirect(const EmailSettings& settings, const Email& mail, QString* detail);

/// Hands the e-mail to the user's mail program ("xdg-email"), which opens it for editing; the
/// program cannot tell whether the user sends it. The result code, the program's text in
/// *detail for EmailFailed.
int composeInMailClient(const Email& mail, QString* detail);

/// The reason text of a result (" ismeretlen címzett", ...); empty for unlisted results.
QString emailReason(int result);

/// Asks the user for the mail server's password; false when the user cancels.
using PasswordPrompt =
    std::function<bool(const QString& user, const QString& server, QString* password)>;
/// Installs the password question (the program installs a dialog at start; none: cancelled).
void setPasswordPrompt(PasswordPrompt prompt);

/// The e-mail routine: sends directly, or through the mail program when sendDirectly is off.
/// A missing SMTP_PASSWORD is asked once per run (again after a refused login). A failure
/// shows "Hiba e-mail küldés közben: " + the reason (and the transport's text on a second
/// line); handing over to the mail program shows "Az e-mail átadva a levelezőprogramnak.".
/// The result code.
int sendEmail(const Email& mail, bool sendDirectly);

} // namespace mivo::exchange
