#include "reportprint.h"

#include "report.h"
#include "reportpainter.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace mivo::report
{

void preview(Report& report, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(report.page.pageLayout());
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter* target) { render(report, *target, nullptr); });
    dialog.exec();
}

bool printDirect(Report& report, QString* error)
{
    if (QPrinterInfo::defaultPrinter().isNull()) {
        if (error)
            *error = QStringLiteral("Nincs alapértelmezett nyomtató.");
        return false;
    }
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    return render(report, printer, error);
}

} // namespace mivo::report
