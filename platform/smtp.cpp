#include "smtp.h"

#include <QDateTime>
#include <QUuid>

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

bool plainAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

// "Name <address>": the name quoted when it is plain ASCII, encoded otherwise.
QByteArray addressHeader(const MailAddress& a)
{
    const QByteArray address = '<' + a.address.trimmed().toUtf8() + '>';
    const QString name = a.name.trimmed();
    if (name.isEmpty())
        return address;
    if (plainAscii(name)) {
        QString quoted = name;
        quoted.replace(u"\\"_s, u"\\\\"_s).replace(u"\""_s, u"\\\""_s);
        return '"' + quoted.toUtf8() + "\" " + address;
    }
    return encodedWords(name) + ' ' + address;
}

// A plain quoted name, or RFC 2231's filename*=UTF-8''percent-encoded for any other.
QByteArray dispositionHeader(const QString& fileName)
{
    if (plainAscii(fileName) && !fileName.contains(u'"') && !fileName.contains(u'\\'))
        return "Content-Disposition: attachment; filename=\"" + fileName.toLatin1() + '"';
    return "Content-Disposition: attachment; filename*=UTF-8''" +
           fileName.toUtf8().toPercentEncoding();
}

QByteArray contentType(const QString& fileName)
{
    const QString suffix = fileName.section(u'.', -1).toLower();
    if (suffix == u"txt"_s)
        return "text/plain; charset=UTF-8";
    if (suffix == u"pdf"_s)
        return "application/pdf";
    return "application/octet-stream";
}

// The first refusal of the conversation: curl may say QUIT after it, which must not hide it.
struct Trace {
    QString command;  ///< the last command sent
    QString refused;  ///< the command the server refused first
    int code = 0;     ///< its reply code
    QByteArray reply; ///< its reply line
};

int traceLine(CURL*, curl_infotype type, char* data, size_t size, void* user)
{
    auto* trace = static_cast<Trace*>(user);
    const QByteArray line = QByteArray(data, qsizetype(size)).trimmed();
    if (line.isEmpty())
        return 0;
    if (type == CURLINFO_HEADER_OUT) {
        trace->command = QString::fromLatin1(line.left(line.indexOf(' '))).toUpper();
    } else if (type == CURLINFO_HEADER_IN && trace->code == 0) {
        const int code = line.left(3).toInt();
        if (code >= 400) {
            trace->refused = trace->command;
            trace->code = code;
            trace->reply = line;
        }
    }
    return 0;
}

struct SList {
    curl_slist* list = nullptr;
    SList() = default;
    SList(const SList&) = delete;
    SList& operator=(const SList&) = delete;
    ~SList() { curl_slist_free_all(list); }
    void append(const QByteArray& line) { list = curl_slist_append(list, line.constData()); }
};

} // namespace

QByteArray encodedWords(const QString& text)
{
    if (plainAscii(text))
        return text.toUtf8();
    // Words of at most 45 bytes of UTF-8, cut between characters: 75 characters encoded.
    QByteArray result;
    QByteArray chunk;
    const auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!result.isEmpty())
            result += ' ';
        result += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, length).toUtf8();
        if (chunk.size() + bytes.size() > 45)
            flush();
        chunk += bytes;
        i += length - 1;
    }
    flush();
    return result;
}

SmtpResult sendMail(const SmtpAccount& account, const MailMessage& message)
{
    initialiseOnce();
    SmtpResult result;
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.curlCode = CURLE_FAILED_INIT;
        result.error = u"A libcurl nem indult el."_s;
        return result;
    }
    const QByteArray url = (account.security == SmtpSecurity::Tls ? "smtps://" : "smtp://") +
                           account.host.trimmed().toUtf8() + ':' + QByteArray::number(account.port);
    const QByteArray user = account.user.toUtf8();
    const QByteArray password = account.password.toUtf8();
    const QByteArray from = '<' + message.from.address.trimmed().toUtf8() + '>';
    char errorBuffer[CURL_ERROR_SIZE] = {};
    Trace trace;

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(account.connectSeconds));
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(account.stallSeconds));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(account.stallSeconds));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(
        curl, CURLOPT_USE_SSL,
        long(account.security == SmtpSecurity::StartTls ? CURLUSESSL_ALL : CURLUSESSL_NONE));
    if (!account.user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    SList recipients;
    recipients.append('<' + message.to.address.trimmed().toUtf8() + '>');
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients.list);
    // The commands and replies tell which step a failure belongs to.
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, traceLine);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &trace);

    SList headers;
    const QString domain = message.from.address.section(u'@', 1);
    headers.append("Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toUtf8());
    headers.append("From: " + addressHeader(message.from));
    headers.append("To: " + addressHeader(message.to));
    headers.append("Subject: " + encodedWords(message.subject));
    headers.append("Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toUtf8() +
                   '@' + (domain.isEmpty() ? u"mivo"_s : domain).toUtf8() + '>');
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.list);

    curl_mime* mime = curl_mime_init(curl);
    QString body = message.body;
    body.replace(u"\r\n"_s, u"\n"_s).replace(u'\n', u"\r\n"_s);
    const QByteArray bodyBytes = body.toUtf8();
    curl_mimepart* text = curl_mime_addpart(mime);
    curl_mime_data(text, bodyBytes.constData(), size_t(bodyBytes.size()));
    curl_mime_type(text, "text/plain; charset=UTF-8");
    curl_mime_encoder(text, "quoted-printable");
    std::vector<SList> partHeaders(size_t(message.attachments.size()));
    for (qsizetype i = 0; i < message.attachments.size(); ++i) {
        const MailAttachment& a = message.attachments[i];
        curl_mimepart* part = curl_mime_addpart(mime);
        curl_mime_data(part, a.data.constData(), size_t(a.data.size()));
        curl_mime_type(part, contentType(a.fileName).constData());
        curl_mime_encoder(part, "base64");
        partHeaders[size_t(i)].append(dispositionHeader(a.fileName));
        curl_mime_headers(part, partHeaders[size_t(i)].list, 0);
    }
    curl_easy_setopt(curl, CURLOPT_MIMEPOST, mime);

    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        result.curlCode = int(code);
        result.loginRefused = code == CURLE_LOGIN_DENIED;
        result.replyCode = trace.code;
        result.command = trace.code ? trace.refused : trace.command;
        result.error = QString::fromUtf8(curl_easy_strerror(code));
        if (errorBuffer[0])
            result.error += u": "_s + QString::fromUtf8(errorBuffer).trimmed();
        if (!trace.reply.isEmpty())
            result.error += u" ("_s + QString::fromUtf8(trace.reply) + u')';
    }
    curl_mime_free(mime);
    curl_easy_cleanup(curl);
    return result;
}

} // namespace mivo::net
