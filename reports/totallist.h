#pragma once

#include "platform/workbookwriter.h"

#include <QString>

namespace mivo::reports
{

/// What writing the full activity list gave.
struct TotalListResult {
    bool written = false;
    int appliances = 0; ///< rows written below the heading
    QString error;      ///< why nothing was written
    /// n + " db tétel lementve."
    QString message() const;
};

/// "Teljes tevékenységlista": one workbook row per appliance (ordered by customer name) with
/// its customer's data, its commissioning date and its other jobs arranged in one column per
/// year, from the first year of any job (never before 1993) to the current one. Deleted jobs
/// are left out. Widget-free; progress counts appliances.
class TotalList
{
public:
    static constexpr int firstColumnYear = 1993;
    /// Columns A-H before the year columns.
    static constexpr int fixedColumns = 8;
    static constexpr double yearColumnWidth = 15;

    explicit TotalList(const QString& connectionName = QStringLiteral("d_mivo"));

    /// Writes the workbook at path (".XLSM" in any case: macro-enabled), replacing a file of
    /// that name only when complete. An empty name writes nothing: "Adjon meg egy érvényes
    /// fájlnevet".
    TotalListResult write(const QString& path, const data::Progress& progress = {}) const;

    /// The first year column: the year of the earliest valid planned or completion date of a
    /// job other than commissioning and "LM" (both by the activity that goes with that
    /// date), at least 1993; the current year when there is none. 0 on a database failure.
    int firstYear(QString* error) const;

    // The statements, for measuring them bare.
    /// The distinct dates behind the first year, ascending.
    static QString datesStatement();
    /// The number of appliances listed.
    static QString countStatement();
    /// The appliances with their customers and jobs: customer name, postal code, town,
    /// street, appliance type name, appliance code, telephone, e-mail, TERVTEV, MUNKATEV,
    /// TERVD, MUNKAD; by customer name, appliance, completion date, planned date and job.
    static QString rowsStatement();

private:
    QString m_connection;
};

} // namespace mivo::reports
