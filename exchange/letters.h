#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace mivo::db
{
class Query;
}

namespace mivo::exchange
{

class LetterList;

/// The conditions of the letters screen: which customers are skipped or kept, and what the
/// list lines and the address workbook show. Dates are "yyyy.mm.dd" texts.
struct LetterConditions {
    bool maintenance = true; ///< skip customers with a maintenance job on or after the date
    QString maintenanceFrom;
    bool commissioningJob = false; ///< skip customers with a commissioning job in the period
    QString jobFrom;
    QString jobTo;
    bool threeYears = false;  ///< ...unless one lay in the period 12 or 24 months earlier
    bool commissioned = true; ///< keep only appliances commissioned in the period
    QString commissionedFrom;
    QString commissionedTo;
    bool unanswered = false; ///< keep only customers with a letter left unanswered
    bool groupsOnly = false; ///< only the article groups of the comma-separated list
    QString groups;
    bool typeName = true;      ///< the list lines show the appliance type
    bool emailSeparate = true; ///< addressees with e-mail go on a sheet of their own

    /// The screen's presets on the day: maintenance since 12 months back, commissioning jobs
    /// 12 to 9 months back (a day the month lacks gives its last day).
    static LetterConditions presets(const QDate& today);
    /// The article group codes typed, trimmed, without empty ones.
    QStringList groupCodes() const;
    /// Why the conditions cannot be accepted ("Ha beüzemelésre akar szúrni, adja meg a
    /// dátumokat!", "Ha készülék csoportra akar szűrni, adjon meg legalább egyet!"); empty
    /// when they can.
    QString refusal() const;
};

/// The further fields chosen for display in the master list ("UGYFEL.KOMMENT,..."): the
/// customer columns other than those every line shows.
QStringList extraCustomerFields(const QString& listedFields);

/// Writes a LEVELKE row for every customer ticked in the list, dated on the day at the time
/// (one storing), in one transaction. A customer has one row a day: of two ticked appliances
/// the later line's is kept, and a storing later that day takes over his earlier row. False
/// with the database's text when nothing was written.
bool storeLetters(const LetterList& list, const QString& date, const QString& time, QString* error,
                  const QString& connectionName = QStringLiteral("d_mivo"));

/// A sheet of the address workbook: its name and the rows of one storing.
struct LetterSheet {
    QString name;
    std::unique_ptr<db::Query> rows;
};

/// The address workbook's sheets for the storing: "Címek" with every row, or, separated,
/// "Címek" with the addressees without an e-mail address and "e-maiek" with the others.
/// Each further customer field becomes a column after the letter's own.
std::vector<LetterSheet> letterSheets(const QString& date, const QString& time,
                                      const QStringList& extraFields, bool emailSeparate,
                                      const QString& connectionName = QStringLiteral("d_mivo"));

/// The storing time whose letters are e-mailed on the day when the screen stored none:
/// the latest one of the day, empty when there is none (or, with *error, on failure).
QString latestStoring(const QString& date, QString* error,
                      const QString& connectionName = QStringLiteral("d_mivo"));

/// What a letter e-mail carries besides the addressee (configuration SENDEMAIL, EMAILTEXT,
/// EMAILATTACH).
struct LetterMailSettings {
    bool sendDirectly = true;
    QString bodyText;        ///< the text file's lines, each followed by a line feed
    QStringList attachments; ///< the attachment when the file exists

    static LetterMailSettings fromIni();
};

/// Sends the letter e-mail to every addressee of the storing whose address holds "@", one
/// by one through the e-mail routine (which reports each failure); the number sent, -1 with
/// *error when the addressees cannot be read.
int mailLetters(const QString& date, const QString& time, const LetterMailSettings& settings,
                QString* error, const QString& connectionName = QStringLiteral("d_mivo"));

} // namespace mivo::exchange
