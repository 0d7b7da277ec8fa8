#include "letters.h"

#include "email.h"
#include "letterlist.h"

#include "core/ini.h"
#include "framework/textfile.h"
#include "platform/dbquery.h"
#include "platform/unitofwork.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

QString dateText(const QDate& date)
{
    return date.toString(u"yyyy.MM.dd"_s);
}

} // namespace

LetterConditions LetterConditions::presets(const QDate& today)
{
    LetterConditions c;
    // QDate::addMonths gives the month's last day for a day the month lacks.
    c.maintenanceFrom = dateText(today.addMonths(-12));
    c.jobFrom = dateText(today.addMonths(-12));
    c.jobTo = dateText(today.addMonths(-9));
    return c;
}

QStringList LetterConditions::groupCodes() const
{
    QStringList codes;
    for (const QString& part : groups.split(u','))
        if (!part.trimmed().isEmpty())
            codes << part.trimmed();
    return codes;
}

QString LetterConditions::refusal() const
{
    if (commissioned &&
        (commissionedFrom.trimmed().isEmpty() || commissionedTo.trimmed().isEmpty()))
        return u"Ha beüzemelésre akar szúrni, adja meg a dátumokat!"_s;
    if (groupsOnly && groupCodes().isEmpty())
        return u"Ha készülék csoportra akar szűrni, adjon meg legalább egyet!"_s;
    return {};
}

QStringList extraCustomerFields(const QString& listedFields)
{
    static const QStringList shown{u"NEV"_s, u"IRSZAM"_s, u"VAROS"_s, u"UTCA"_s, u"EMAIL"_s};
    QStringList fields;
    for (const QString& entry : listedFields.split(u',')) {
        const QString field = entry.trimmed().toUpper();
        const qsizetype dot = field.indexOf(u'.');
        const QString table = dot < 0 ? u"UGYFEL"_s : field.left(dot);
        const QString column = field.mid(dot + 1);
        if (table == u"UGYFEL"_s && !column.isEmpty() && !shown.contains(column) &&
            !fields.contains(column))
            fields << column;
    }
    return fields;
}

bool storeLetters(const LetterList& list, const QString& date, const QString& time, QString* error,
                  const QString& connectionName)
{
    const db::UnitResult result = db::runUnitOfWork(connectionName, [&](const QString& c) {
        db::Query insert(c);
        insert.setLines({u"UPDATE OR INSERT INTO LEVELKE"_s,
                         u"(UGYFEL, MIKOR, NEV, IRSZAM, VAROS, UTCA, EMAIL, IDO, KESZULEK, "
                         u"CSOPORT1, BEUZEMELES)"_s,
                         u"VALUES"_s,
                         u"(:ugyfel, :mikor, :nev, :irszam, :varos, :utca, :email, :ido, "
                         u":keszulek, :csoport1, :beuzemeles)"_s});
        for (const LetterLine& line : list.lines()) {
            if (!line.ticked)
                continue;
            insert.bind(u"ugyfel"_s, line.ugyfel);
            insert.bind(u"mikor"_s, date);
            insert.bind(u"nev"_s, line.nev);
            insert.bind(u"irszam"_s, line.irszam);
            insert.bind(u"varos"_s, line.varos);
            insert.bind(u"utca"_s, line.utca);
            insert.bind(u"email"_s, line.email);
            insert.bind(u"ido"_s, time);
            insert.bind(u"keszulek"_s, line.keszulek);
            insert.bind(u"csoport1"_s, line.csoport1);
            insert.bind(u"beuzemeles"_s, line.beuzemeles);
            if (!insert.exec())
                return db::Outcome::failure(insert);
        }
        return db::Outcome();
    });
    if (!result.ok() && error)
        *error = result.message;
    return result.ok();
}

std::vector<LetterSheet> letterSheets(const QString& date, const QString& time,
                                      const QStringList& extraFields, bool emailSeparate,
                                      const QString& connectionName)
{
    QStringList lines{u"Select L.NEV, L.VAROS, L.UTCA, L.IRSZAM, L.EMAIL, L.BEUZEMELES"_s,
                      u",L.KESZULEK, L.CSOPORT1"_s};
    for (const QString& field : extraFields)
        lines << u",U."_s + field;
    lines << u"From LEVELKE L"_s;
    if (!extraFields.isEmpty())
        lines << u",UGYFEL U"_s;
    lines << u"Where L.MIKOR = :mikor and L.IDO = :ido"_s;
    if (!extraFields.isEmpty())
        lines << u"AND U.KOD=L.UGYFEL"_s;
    const auto sheet = [&](const QString& name, const QString& emailLine) {
        LetterSheet s{name, std::make_unique<db::Query>(connectionName)};
        QStringList sql = lines;
        if (!emailLine.isEmpty())
            sql << emailLine;
        sql << u"Order by L.NEV"_s;
        s.rows->setLines(sql);
        s.rows->bind(u"mikor"_s, date);
        s.rows->bind(u"ido"_s, time);
        return s;
    };
    std::vector<LetterSheet> sheets;
    if (emailSeparate) {
        // A missing address is no address: such a customer belongs on the postal sheet.
        sheets.push_back(sheet(u"Címek"_s, u"AND not (COALESCE(L.EMAIL, '') like '%@%')"_s));
        sheets.push_back(sheet(u"e-maiek"_s, u"AND (L.EMAIL like '%@%')"_s));
    } else {
        sheets.push_back(sheet(u"Címek"_s, {}));
    }
    return sheets;
}

QString latestStoring(const QString& date, QString* error, const QString& connectionName)
{
    QString failure;
    const QVariant time =
        db::scalar(connectionName, u"Select Max(IDO) From LEVELKE Where MIKOR = :mikor"_s,
                   {{u"mikor"_s, date}}, &failure);
    if (!failure.isEmpty() && error)
        *error = failure;
    return time.toString();
}

LetterMailSettings LetterMailSettings::fromIni()
{
    const Ini& ini = Ini::instance();
    LetterMailSettings s;
    s.sendDirectly = ini.value(u"SENDEMAIL"_s, u"I"_s).toUpper() == u"I"_s;
    const QString textPath = ini.value(u"EMAILTEXT"_s);
    TextFile text;
    QString unread;
    if (!textPath.isEmpty() && QFileInfo(textPath).isFile() && text.read(textPath, &unread)) {
        QStringList lines = text.text.split(u'\n');
        if (text.text.endsWith(u'\n'))
            lines.removeLast();
        for (const QString& line : lines)
            s.bodyText += line + u'\n';
    }
    const QString attachment = ini.value(u"EMAILATTACH"_s);
    if (!attachment.isEmpty() && QFileInfo(attachment).isFile())
        s.attachments << attachment;
    return s;
}

int mailLetters(const QString& date, const QString& time, const LetterMailSettings& settings,
                QString* error, const QString& connectionName)
{
    db::Query q(connectionName);
    q.setLines({u"Select NEV, VAROS, UTCA, IRSZAM, EMAIL"_s, u"From LEVELKE"_s,
                u"Where MIKOR = :mikor and IDO = :ido"_s, u"AND EMAIL like '%@%'"_s,
                u"Order by NEV"_s});
    q.bind(u"mikor"_s, date);
    q.bind(u"ido"_s, time);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return -1;
    }
    int sent = 0;
    while (q.next()) {
        Email mail;
        mail.recipientName = q.text(u"NEV"_s);
        mail.recipientAddress = q.text(u"EMAIL"_s);
        mail.subject = u"Gázkészülék karbantartása"_s;
        // The address line ends before the letter's text begins.
        mail.body = u"Tisztelt "_s + mail.recipientName + u"!\n\n"_s + q.text(u"IRSZAM"_s) + u' ' +
                    q.text(u"VAROS"_s) + u' ' + q.text(u"UTCA"_s) + u'\n' + settings.bodyText;
        mail.attachments = settings.attachments;
        if (sendEmail(mail, settings.sendDirectly) == EmailSent)
            ++sent;
    }
    return sent;
}

} // namespace mivo::exchange
