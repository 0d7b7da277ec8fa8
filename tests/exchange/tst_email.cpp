// The e-mail routine: SMTP against a loopback aiosmtpd, its result codes and boxes, the
// password question, and handing over to the mail program through the real xdg-email.

#include "support/modal.h"
#include "support/smtpserver.h"

#include "core/ini.h"
#include "core/messages.h"
#include "exchange/email.h"
#include "exchange/emailpassword.h"
#include "platform/smtp.h"

#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QJsonArray>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using namespace mivo;
using namespace mivo::exchange;
using namespace Qt::StringLiterals;

namespace
{

// A mail server with its folder, and the settings that reach it.
struct Mailbox {
    explicit Mailbox(const QString& user = {}, const QString& password = {})
    {
        QDir(dir.path()).mkpath(u"posta"_s);
        QString error;
        started = server.start(dir.filePath(u"posta"_s), &error, user, password);
        if (!started)
            qWarning("%s", qPrintable(error));
        Ini::instance().clear();
        server.configureProgram(u"Mivo Iroda <iroda@szerviz.test>"_s);
        if (!user.isEmpty())
            Ini::instance().set(u"SMTP_USER"_s, user);
    }
    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }
    QTemporaryDir dir;
    SmtpServer server;
    bool started = false;
};

Email letter(const QString& address = u"arany@szerviz.test"_s)
{
    Email m;
    m.recipientName = u"Arany Béla"_s;
    m.recipientAddress = address;
    m.subject = u"Napi munka utasítás 2024.03.04"_s;
    m.body = u"Lásd a szöveges mellékletet!"_s;
    return m;
}

// A port nothing listens on.
int closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const int port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

class TestEmail : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        Ini::instance().clear();
        setPasswordPrompt({});
    }

    // Everything a reader decodes: names, subject and attachment name in any characters, a
    // body of several lines, binary attachment bytes.
    void messageReadBack()
    {
        Mailbox box;
        QVERIFY(box.started);
        QByteArray binary;
        for (int i = 0; i < 3000; ++i)
            binary += char(i * 7 % 256);
        net::SmtpAccount account;
        account.host = u"127.0.0.1"_s;
        account.port = box.server.port();
        account.security = net::SmtpSecurity::None;
        net::MailMessage message;
        message.from = {u"Mivo Iroda, Vác"_s, u"iroda@szerviz.test"_s};
        message.to = {u"Őrült Ügyfél"_s, u"ugyfel@példa.test"_s.replace(u"é"_s, u"e"_s)};
        message.subject = u"Árvíztűrő tükörfúrógép – nagyon hosszú tárgy, amely több kódolt szóba "
                          u"kerül át, hogy egyik se legyen túl hosszú"_s;
        message.body = u"Tisztelt Ügyfél!\n\nŐszi karbantartás: 2024.10.01.\r\nÜdvözlettel"_s;
        message.attachments = {{u"Árlista 2024.pdf"_s, binary}, {u"üres.txt"_s, {}}};
        const net::SmtpResult result = net::sendMail(account, message);
        QVERIFY2(result.ok(), qPrintable(result.error));
        const QJsonObject m = box.server.message(1);
        QCOMPARE(m[u"mail_from"_s].toString(), u"iroda@szerviz.test"_s);
        QCOMPARE(m[u"rcpt_tos"_s].toArray().size(), 1);
        QCOMPARE(m[u"rcpt_tos"_s].toArray().first().toString(), u"ugyfel@pelda.test"_s);
        QCOMPARE(m[u"from"_s].toString(), u"\"Mivo Iroda, Vác\" <iroda@szerviz.test>"_s);
        QCOMPARE(m[u"to"_s].toString(), u"Őrült Ügyfél <ugyfel@pelda.test>"_s);
        QCOMPARE(m[u"subject"_s].toString(), message.subject);
        QVERIFY(m[u"date"_s].toString() != u"None"_s);
        QCOMPARE(m[u"body"_s].toString().replace(u"\r\n"_s, u"\n"_s),
                 u"Tisztelt Ügyfél!\n\nŐszi karbantartás: 2024.10.01.\nÜdvözlettel"_s);
        const QJsonArray attachments = m[u"attachments"_s].toArray();
        QCOMPARE(attachments.size(), 2);
        QCOMPARE(attachments[0][u"filename"_s].toString(), u"Árlista 2024.pdf"_s);
        QCOMPARE(attachments[0][u"content_type"_s].toString(), u"application/pdf"_s);
        QCOMPARE(QByteArray::fromBase64(attachments[0][u"data"_s].toString().toLatin1()), binary);
        QCOMPARE(attachments[1][u"filename"_s].toString(), u"üres.txt"_s);
        QVERIFY(attachments[1][u"data"_s].toString().isEmpty());
        // Every header line of the raw message is plain ASCII.
        QFile raw(box.dir.filePath(u"posta/1.eml"_s));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray head = raw.readAll().split('\n').mid(0, 8).join('\n');
        for (char c : head)
            QVERIFY2(uchar(c) < 128, head.constData());
    }

    void results_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("attachment"); // "" none, "nincs" missing, "mappa" a folder
        QTest::addColumn<QString>("server");     // "ok", "closed", "none"
        QTest::addColumn<QString>("tls");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("box");
        QTest::newRow("sent") << u"arany@szerviz.test"_s << u"file"_s << u"ok"_s << u"N"_s << 0
                              << QString();
        QTest::newRow("550") << u"nincs@szerviz.test"_s << QString() << u"ok"_s << u"N"_s << 14
                             << u"Hiba e-mail küldés közben:  ismeretlen címzett"_s;
        QTest::newRow("no address") << QString() << QString() << u"ok"_s << u"N"_s << 14
                                    << u"Hiba e-mail küldés közben:  ismeretlen címzett"_s;
        QTest::newRow("no @") << u"arany.szerviz.test"_s << QString() << u"ok"_s << u"N"_s << 15
                              << u"Hiba e-mail küldés közben:  rossz címtípus"_s;
        QTest::newRow("attachment missing")
            << u"arany@szerviz.test"_s << u"nincs"_s << u"ok"_s << u"N"_s << 11
            << u"Hiba e-mail küldés közben:  hiányzó melléklet"_s;
        QTest::newRow("attachment unreadable")
            << u"arany@szerviz.test"_s << u"mappa"_s << u"ok"_s << u"N"_s << 12
            << u"Hiba e-mail küldés közben:  melléklet megnyitási hiba"_s;
        QTest::newRow("closed port")
            << u"arany@szerviz.test"_s << QString() << u"closed"_s << u"N"_s << 2
            << u"Hiba e-mail küldés közben:  egyéb hiba\nCouldn't connect"_s;
        QTest::newRow("no server")
            << u"arany@szerviz.test"_s << QString() << u"none"_s << u"N"_s << 2
            << u"Hiba e-mail küldés közben:  egyéb hiba\nNincs megadva "
               u"levelező szerver (SMTP_SERVER)."_s;
        // STARTTLS is the default and a server that does not offer it gets nothing.
        QTest::newRow("STARTTLS missing")
            << u"arany@szerviz.test"_s << QString() << u"ok"_s << QString() << 2
            << u"Hiba e-mail küldés közben:  egyéb hiba\n"_s;
    }
    void results()
    {
        QFETCH(QString, address);
        QFETCH(QString, attachment);
        QFETCH(QString, server);
        QFETCH(QString, tls);
        QFETCH(int, result);
        QFETCH(QString, box);
        Mailbox mailbox;
        QVERIFY(mailbox.started);
        Ini& ini = Ini::instance();
        if (server == u"closed"_s)
            ini.set(u"SMTP_PORT"_s, QString::number(closedPort()));
        if (server == u"none"_s)
            ini.set(u"SMTP_SERVER"_s, QString());
        if (!tls.isEmpty())
            ini.set(u"SMTP_TLS"_s, tls);
        else
            ini.set(u"SMTP_TLS"_s, QString());
        Email mail = letter(address);
        if (attachment == u"file"_s)
            mail.attachments << mailbox.file(u"NMU_ARANY_2024_03_04.TXT"_s, "\xEF\xBB\xBFsor\r\n");
        else if (attachment == u"nincs"_s)
            mail.attachments << mailbox.dir.filePath(u"nincs.txt"_s);
        else if (attachment == u"mappa"_s)
            mail.attachments << mailbox.dir.filePath(u"posta"_s);

        ScriptedMessagesGuard messages;
        const int got = sendEmail(mail, true);
        QVERIFY2(got == result, qPrintable(messages->texts.join(u'|')));
        QCOMPARE(mailbox.server.messageCount(), result == 0 ? 1 : 0);
        if (box.isEmpty()) {
            QCOMPARE(messages->texts, QStringList{});
            return;
        }
        QCOMPARE(messages->texts.size(), 1);
        QVERIFY2(messages->texts[0].startsWith(box), qPrintable(messages->texts[0]));
        // The transport's own words on the second line.
        if (result == 2)
            QVERIFY(messages->texts[0].split(u'\n').value(1).size() > 10);
    }

    // A missing SMTP_PASSWORD is asked once per run; cancelling stops with 1; a refused login
    // gives 3 and the next e-mail asks again.
    void passwordAsked()
    {
        Mailbox box(u"iroda"_s, u"titok"_s);
        QVERIFY(box.started);
        QStringList answers{u"rossz"_s, u"titok"_s};
        int asked = 0;
        bool cancel = true;
        setPasswordPrompt([&](const QString& user, const QString& server, QString* password) {
            ++asked;
            if (user != u"iroda"_s || server != u"127.0.0.1"_s || cancel)
                return false;
            *password = answers.takeFirst();
            return true;
        });
        ScriptedMessagesGuard messages;
        QCOMPARE(sendEmail(letter(), true), 1);
        QCOMPARE(messages->texts, QStringList{u"Hiba e-mail küldés közben:  félbeszakítva"_s});
        cancel = false;
        const int got = sendEmail(letter(), true);
        QVERIFY2(got == 3, qPrintable(messages->texts.join(u'|')));
        QCOMPARE(messages->texts.last(), u"Hiba e-mail küldés közben:  bejelentkezési hiba"_s);
        QCOMPARE(sendEmail(letter(), true), 0);
        QCOMPARE(sendEmail(letter(), true), 0);
        QCOMPARE(asked, 3);
        QCOMPARE(box.server.messageCount(), 2);
        // A configured password is used as it is.
        Ini::instance().set(u"SMTP_PASSWORD"_s, u"rossz"_s);
        QCOMPARE(sendEmail(letter(), true), 3);
        QCOMPARE(asked, 3);
    }

    void passwordDialog()
    {
        QString password;
        whenModal<QInputDialog>([](QInputDialog* d) {
            QCOMPARE(d->textEchoMode(), QLineEdit::Password);
            QVERIFY(d->labelText().contains(u"iroda"_s));
            d->setTextValue(u"Tit0k-ő"_s);
            d->accept();
        });
        QVERIFY(askEmailPassword(u"iroda"_s, u"smtp.szerviz.test"_s, &password));
        QCOMPARE(password, u"Tit0k-ő"_s);
        whenModal<QInputDialog>([](QInputDialog* d) { d->reject(); });
        QVERIFY(!askEmailPassword(u"iroda"_s, u"smtp.szerviz.test"_s, &password));
    }

    // Send directly off: the real xdg-email hands a mailto: with subject, body and attachment
    // to the program MAILER names.
    void composeThroughXdgEmail()
    {
        QTemporaryDir dir;
        const QString record = dir.filePath(u"mailto.txt"_s);
        const QString mailer = dir.filePath(u"levelezo.sh"_s);
        QFile script(mailer);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s' \"$1\" > '" + record.toUtf8() +
                     "'\nexit \"${MAILER_EXIT:-0}\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("MAILER", mailer.toUtf8());
        const QString attachment = dir.filePath(u"NMU_ARANY_2024_03_04.TXT"_s);
        QFile file(attachment);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("sor\r\n");
        file.close();

        Email mail = letter();
        mail.body = u"Lásd a szöveges mellékletet!\nÜdvözlettel"_s;
        mail.attachments = {attachment};
        ScriptedMessagesGuard messages;
        QCOMPARE(sendEmail(mail, false), 0);
        QCOMPARE(messages->texts, QStringList{u"Az e-mail átadva a levelezőprogramnak."_s});
        QFile recorded(record);
        QVERIFY(recorded.open(QIODevice::ReadOnly));
        const QString mailto = QString::fromUtf8(recorded.readAll());
        QVERIFY2(mailto.startsWith(u"mailto:arany@szerviz.test?"_s), qPrintable(mailto));
        QMap<QString, QString> fields;
        for (const QString& pair : mailto.section(u'?', 1).split(u'&'))
            fields[pair.section(u'=', 0, 0)] =
                QUrl::fromPercentEncoding(pair.section(u'=', 1).toUtf8());
        QCOMPARE(fields[u"subject"_s], u"Napi munka utasítás 2024.03.04"_s);
        QCOMPARE(fields[u"body"_s], u"Lásd a szöveges mellékletet!\r\nÜdvözlettel"_s);
        QCOMPARE(fields[u"attach"_s], attachment);

        // The mail program fails: 2 with xdg-email's words; a missing attachment: 11.
        qputenv("MAILER_EXIT", "1");
        QCOMPARE(sendEmail(mail, false), 2);
        QVERIFY(messages->texts.last().startsWith(u"Hiba e-mail küldés közben:  egyéb hiba"_s));
        qunsetenv("MAILER_EXIT");
        QFile::remove(attachment);
        QCOMPARE(sendEmail(mail, false), 11);
        QCOMPARE(messages->texts.last(), u"Hiba e-mail küldés közben:  hiányzó melléklet"_s);
        qunsetenv("MAILER");
    }
};

QTEST_MAIN(TestEmail)
#include "tst_email.moc"
