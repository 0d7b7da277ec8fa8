#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace mivo::files
{

/// What a file picker asks for. Filters are "Name (*.EXT *.ext)" texts.
struct FileRequest {
    QString objectName; ///< lets a test script the dialog
    QString title;
    QString folder;
    QString fileName; ///< preselected name inside the folder
    QStringList filters;
    int filter = 0;           ///< the filter selected at the start
    QString defaultSuffix;    ///< appended to a typed name without extension
    bool save = false;        ///< a new or existing name to write; otherwise an existing file
    bool askOverwrite = true; ///< false: the caller asks before replacing a file itself
};

struct FileChoice {
    QString path;
    int filter = -1; ///< index of the filter chosen in the dialog, -1 without filters
};

/// Runs the program's own (not the desktop's) file dialog modally: the same dialog on every
/// desktop and under the headless test platform. Empty when the user cancelled.
std::optional<FileChoice> chooseFile(QWidget* parent, const FileRequest& request);

} // namespace mivo::files
