#pragma once

#include "exportfile.h"

#include <QString>

class QWidget;

namespace mivo::data
{
class RowSource;
}

namespace mivo::reports
{

/// The export of any list to a file, the type chosen by the file name's extension: Excel
/// workbook, SQL script, fixed-width text, dBase or Paradox table.
class TQexportfm
{
public:
    static constexpr auto dialogCaption = "Eredmény mentése más táblába";

    /// The export of the run (the dialog's state lives between calls).
    static TQexportfm& instance();

    /// Exports the rows. An empty file name asks with the save dialog; an empty table name
    /// takes the statement's table for an SQL script. The name written comes back; empty
    /// when nothing was written (no rows, cancelled, failed: the user was told why).
    QString exportRows(data::RowSource& rows, const QString& fileName = {},
                       const QString& table = {}, const data::Progress& progress = {});

    /// The save dialog: the chosen name with its type's extension, empty when cancelled or
    /// when the user refused to overwrite an existing file. fresh: without a proposal the
    /// dialog starts empty at type 1 instead of with the last export's name and type.
    QString chooseFile(const QString& proposal = {}, QWidget* parent = nullptr, bool fresh = false);

    ExportDialogState& dialogState() { return m_state; }

private:
    TQexportfm() = default;
    ExportDialogState m_state;
};

} // namespace mivo::reports
