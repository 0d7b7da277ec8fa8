#pragma once

#include "platform/workbookreader.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

namespace mivo::exchange
{

/// Which sheet layout an appliance register workbook has.
enum class SheetLayout {
    Register,           ///< one customer, appliance and repair job per row (columns A-G)
    RegisterWithSerial, ///< the same with serial number (H) and job-sheet number (I)
    History,            ///< customer code, commissioning, maintenance and repair dates per row
};

/// The layout that the own company code (CEGKOD) uses: "DORVANA" the register, "RVN" the
/// register with serial numbers, any other the history layout.
SheetLayout layoutForCompany(const QString& companyCode);

/// The article code of an appliance type name: upper case, blanks removed, the maker and
/// model words shortened ("RENOVASTAR" → "RS", ...), at most 15 characters.
QString typeCode(const QString& typeName);

/// The valid dates of a comma-separated date cell as "yyyy.mm.dd" texts: "yy.mm." is the
/// first of the month, "yy.mm.dd." a day, "yyyy.mm.dd" as it is (repair lists also cut
/// an 11-character entry to 10). A two-digit year that would lie after today is 19xx.
/// Entries failing the date check are dropped.
QStringList dateList(const QString& cell, bool repairList, const QDate& today);

/// A repair cell: its activity ("GJ" when it mentions a warranty "gar" in any case, else
/// "J") and its dates, the markers "gar."/"gar"/"fiz."/"fiz" removed in any case.
struct RepairList {
    QString activity;
    QStringList dates;
};
RepairList repairList(const QString& cell, const QDate& today);

/// The existing file of the path, its name matched in any letter case (workbooks named
/// on Windows); empty when there is none.
QString findFileAnyCase(const QString& path);

/// Reads customers, appliances and their jobs from a workbook into UGYFEL, ARU, KESZULEK and
/// MUNKA. The workbook is opened (and read once through) before anything changes, the rows
/// go in transactions of a few thousand rows, and a failure keeps the rows before it.
class ExcelImport
{
public:
    static constexpr int rowsPerCommit = 2000;
    /// The technician of the history layout's jobs.
    static inline const QString historyTechnician = QStringLiteral("201402");

    explicit ExcelImport(const QString& connectionName = QStringLiteral("d_mivo"));

    /// The number of jobs in MUNKA; -1 with *error on failure.
    int jobCount(QString* error) const;
    /// Opens and reads through the workbook. False with "A fájl nem olvasható: " + name
    /// (and the reason) in *error.
    bool open(const QString& path, QString* error);
    /// The last row holding a cell of the opened workbook (the progress maximum).
    int lastRow() const { return m_reader.lastRow(); }
    /// Empties customers, jobs and appliances with the tables that hang on their keys
    /// (job parts, commissioning sheets, job log, letters) and restarts the key generators.
    bool clear(QString* error);

    struct Result {
        bool ok = true;
        /// Rows imported (register: rows with a name or city; history: customer rows).
        int rows = 0;
        QString error;
    };
    /// Imports the opened workbook from firstRow (the register layouts; the history layout
    /// always starts at row 2 and stops at the first row whose column A is 0 or empty).
    /// progress gets each finished row number.
    Result run(SheetLayout layout, int firstRow, const std::function<void(int row)>& progress = {});

private:
    QString m_connection;
    data::WorkbookReader m_reader;
};

} // namespace mivo::exchange
