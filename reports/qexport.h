#pragma once

#include <QList>
#include <QString>

class QProgressBar;
class QWidget;

namespace mivo::data
{
class RowSource;
}

namespace mivo::reports
{

/// A file type of the export's save dialog.
struct ExportFileType {
    QString description; ///< "Excel tábla (XLS)"
    QString extension;   ///< ".XLS"; the dialog's pattern is "*" + extension
};

/// The seven types in the dialog's order (type index 1 is the first).
const QList<ExportFileType>& exportFileTypes();

/// The export type of a file name: the text from the last "." of its file name (never of a
/// folder), at most 5 characters, upper case; "" without one.
QString exportExtension(const QString& fileName);

/// What the save dialog keeps from one export to the next, and its rules.
class ExportDialogState
{
public:
    struct Start {
        QString fileName;
        int typeIndex = 1;
    };
    /// A proposal selects the type of its extension (type 1 when none matches). Without one
    /// the name of the last export comes back without its extension, with its type.
    Start start(const QString& proposal) const;
    /// The confirmed name: the type's extension is appended unless the name (in any case)
    /// ends with it. The name and type are kept for the next export.
    QString confirm(const QString& chosen, int typeIndex);

private:
    QString m_lastName;
    int m_lastType = 1;
};

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
                       const QString& table = {}, QProgressBar* progress = nullptr);

    /// The save dialog: the chosen name with its type's extension, empty when cancelled or
    /// when the user refused to overwrite an existing file.
    QString chooseFile(const QString& proposal = {}, QWidget* parent = nullptr);

    ExportDialogState& dialogState() { return m_state; }

private:
    TQexportfm() = default;
    ExportDialogState m_state;
};

} // namespace mivo::reports
