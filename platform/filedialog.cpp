#include "platform/filedialog.h"

#include <QFileDialog>

namespace mivo::files
{

std::optional<FileChoice> chooseFile(QWidget* parent, const FileRequest& request)
{
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setObjectName(request.objectName);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.askOverwrite);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters);
    if (request.filter > 0 && request.filter < request.filters.size())
        dialog.selectNameFilter(request.filters[request.filter]);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileChoice{dialog.selectedFiles().constFirst(),
                      int(request.filters.indexOf(dialog.selectedNameFilter()))};
}

} // namespace mivo::files
