#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace mivo::reports
{

struct DailyJob;

/// The lines of the daily work instruction's text form for a technician's jobs (in the order
/// readDailyJobs gives them): the greeting, each date with its weekday, and each job with its
/// address, telephone, appliance, task, remarks, marks and parts; the job counter restarts with
/// every date.
QStringList dailyInstructionLines(const std::vector<DailyJob>& jobs);

/// The text file's full name: the working folder (WORK_PATH; the program's folder when empty)
/// + "NMU_" + technician + "_" + from-date with "." turned into "_" + ".TXT".
QString dailyInstructionFileName(const QString& technician, const QString& from);

/// What writeDailyInstructionText left behind.
struct DailyInstructionFile {
    bool written = false; ///< false: the technician had no job, nothing was written
    QString path;
    QString technicianName;
    QString technicianEmail;
};

/// Writes the text form of a technician's jobs between the dates ("yyyy.mm.dd", both included)
/// as UTF-8 with a byte order mark and CRLF line ends, replacing an earlier file only when the
/// new one is complete. No jobs: no file. False with the reason (database or file).
bool writeDailyInstructionText(const QString& technician, const QString& from, const QString& to,
                               DailyInstructionFile* file, QString* error);

/// "Write daily work instruction as text": writes the file, then either shows "A melléklet
/// elkészült: " + its full name or e-mails it to the technician without opening an editor
/// (subject "Napi munka utasítás " + from [+ " -> " + to], body "Lásd a szöveges mellékletet!").
/// Without jobs nothing is written and nothing shown. Failures are shown to the user; false
/// after one.
bool dailyInstructionText(const QString& technician, const QString& from, const QString& to,
                          bool sendByEmail);

} // namespace mivo::reports
