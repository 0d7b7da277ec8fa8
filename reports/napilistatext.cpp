#include "napilistatext.h"

#include "napilistadata.h"

#include "core/dat.h"
#include "core/messages.h"
#include "core/paths.h"
#include "exchange/email.h"
#include "platform/replacingfile.h"

#include <QDir>
#include <QFile>

namespace mivo::reports
{

using namespace Qt::StringLiterals;

QStringList dailyInstructionLines(const std::vector<DailyJob>& jobs)
{
    QStringList lines;
    if (jobs.empty())
        return lines;
    lines << u"Napi munka utasítás "_s + jobs.front().szerelonev + u" részére"_s << QString();
    QString date;
    int counter = 0;
    for (size_t i = 0; i < jobs.size(); ++i) {
        const DailyJob& j = jobs[i];
        if (i == 0 || j.tervd != date) {
            date = j.tervd;
            lines << dateWithWeekday(j.tervd, u" "_s) << QString();
            counter = 1;
        }
        const QString indent = u"   "_s;
        lines << QString::number(counter) + u". cím: "_s + j.dedu + u' ' + j.ugyfelnev + u' ' +
                     j.irszam + u' ' + j.varos + u' ' + j.utca;
        lines << indent + u"telefon: "_s + j.ugyfeltelefon;
        lines << indent + u"készülék: "_s + j.keszuleknev;
        lines << indent + u"teendő: "_s + j.tevnev;
        if (!j.leirast.trimmed().isEmpty())
            lines << indent + j.leirast;
        if (!j.komment.isEmpty())
            lines << indent + j.komment;
        if (!j.komment2.isEmpty())
            lines << indent + j.komment2;
        if (j.telefon == u"I"_s)
            lines << indent + u"Előtte telefont kér!"_s;
        if (j.lemondta == u"I"_s)
            lines << indent + u"LEMONDTA!!!"_s;
        const QString parts = partsLine(j.parts, u"   alkatrészek:"_s);
        if (!parts.isEmpty())
            lines << parts;
        lines << QString();
        ++counter;
    }
    return lines;
}

QString dailyInstructionFileName(const QString& technician, const QString& from)
{
    QString folder = Td::instance().workPath.trimmed();
    if (folder.isEmpty())
        folder = paths::programDir();
    QString date = from;
    date.replace(u'.', u'_');
    return QDir(folder).filePath(u"NMU_"_s + technician + u'_' + date + u".TXT"_s);
}

bool writeDailyInstructionText(const QString& technician, const QString& from, const QString& to,
                               DailyInstructionFile* file, QString* error)
{
    std::vector<DailyJob> jobs;
    if (!readDailyJobs(technician, from, to, &jobs, error))
        return false;
    *file = {};
    if (jobs.empty())
        return true;
    file->path = dailyInstructionFileName(technician, from);
    file->technicianName = jobs.front().szerelonev;
    file->technicianEmail = jobs.front().szereloemail;

    QByteArray bytes("\xEF\xBB\xBF");
    for (const QString& line : dailyInstructionLines(jobs))
        bytes += line.toUtf8() + "\r\n";
    data::ReplacingFile target(file->path);
    if (!target.prepare(error))
        return false;
    QFile out(target.tempPath());
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    out.close();
    if (!target.commit(error))
        return false;
    file->written = true;
    return true;
}

bool dailyInstructionText(const QString& technician, const QString& from, const QString& to,
                          bool sendByEmail)
{
    DailyInstructionFile file;
    QString error;
    if (!writeDailyInstructionText(technician, from, to, &file, &error)) {
        messages::showError(error);
        return false;
    }
    if (!file.written)
        return true;
    if (!sendByEmail) {
        messages::show(u"A melléklet elkészült: "_s + QDir::toNativeSeparators(file.path),
                       MessageKind::Dialog);
        return true;
    }
    exchange::Email mail;
    mail.recipientName = file.technicianName;
    mail.recipientAddress = file.technicianEmail;
    mail.subject = u"Napi munka utasítás "_s + from + (to != from ? u" -> "_s + to : QString());
    mail.body = u"Lásd a szöveges mellékletet!"_s;
    mail.attachments = {file.path};
    return exchange::sendEmail(mail, true) == exchange::EmailSent;
}

} // namespace mivo::reports
