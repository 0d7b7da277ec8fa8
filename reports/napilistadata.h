#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

#include <map>
#include <vector>

namespace mivo::reports
{

/// The technician code that asks for every technician's jobs.
inline const QString allTechnicians = QStringLiteral("MIND");

/// A part expected for a job.
struct DailyPart {
    double quantity = 0;
    QString code; ///< ARU.KOD
    QString name; ///< ARU.NEV
};

/// One job of a daily work instruction, as every layout and the text form read it.
struct DailyJob {
    int kod = 0;
    int ugyfel = 0;
    int keszulek = 0;
    QString tervd;
    QString tervt; ///< read, never printed
    QString leirast;
    QString tevnev; ///< the planned activity's name; empty when its row is gone
    QString szerelot;
    QString telefon; ///< the job's phone-ahead flag
    QString dedu;
    QString lemondta;
    QString kesz;
    QString keszuleknev; ///< the appliance type's name; empty when its row is gone
    QString keszulekkod;
    QString ugyfelnev;
    QString irszam;
    QString varos;
    QString utca;
    QString ugyfeltelefon;
    QString fax;
    QString email;
    QString komment;
    QString komment2;
    QString szerelonev;
    QString cegkod; ///< the technician's company
    QString szereloemail;
    std::vector<DailyPart> parts;
};

/// The two statements behind readDailyJobs, with their parameters: the jobs, and the parts of
/// all those jobs (KOD first, in the order the parts were recorded).
struct DailyStatements {
    QString jobs;
    QString parts;
    std::map<QString, QVariant> params;
};
DailyStatements dailyStatements(const QString& technician, const QString& from, const QString& to);

/// Code → name of a dictionary statement selecting KOD and NEV; false with the database's text.
bool readCodeNames(const QString& sql, QHash<QString, QString>* names, QString* error);

/// The jobs planned for a technician (or allTechnicians) from one date to another ("yyyy.mm.dd",
/// both included) that are not deleted ("TOR"), each with its parts, in the order of the
/// instruction: technician name, technician, date, part of the day, hour. A job whose activity
/// or appliance type has no dictionary row is listed all the same. False with the database's
/// text.
bool readDailyJobs(const QString& technician, const QString& from, const QString& to,
                   std::vector<DailyJob>* jobs, QString* error);

/// The parts line of a job: empty without parts, else the lead followed by
/// " " + quantity + " db " + code [+ " " + name when it differs] + "; " for each part.
QString partsLine(const std::vector<DailyPart>& parts, const QString& lead);

/// The heading of a period without jobs: the technician's name (the code when unknown) + " "
/// + from [+ " -> " + to], then " " + the absence reason's name when the technician is absent
/// on the from-date, else " NINCS MUNKÁJA". False with the database's text.
bool emptyPeriodHeading(const QString& technician, const QString& from, const QString& to,
                        QString* heading, QString* error);

/// "yyyy.mm.dd" + ", " + the Hungarian weekday name (the date alone when it is none).
QString dateWithWeekday(const QString& date, const QString& separator = QStringLiteral(", "));

} // namespace mivo::reports
