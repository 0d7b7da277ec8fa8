#include "reportprint.h"

#include "report.h"
#include "reportpainter.h"

#include "core/messages.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>

namespace mivo::report
{

void preview(Report& report, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(report.page.pageLayout());
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter* target) { render(report, *target, nullptr); });
    // Large enough to read a whole page at first sight, also without a window manager.
    if (const QScreen* screen = dialog.screen()) {
        const QRect area = screen->availableGeometry();
        dialog.resize(area.width() * 2 / 3, area.height() * 9 / 10);
        dialog.move(area.center() - dialog.rect().center());
    }
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

void preview(const ReportBuilder& build, QWidget* parent)
{
    QString error;
    const std::unique_ptr<Report> report = build(&error);
    if (!report) {
        messages::show(error, MessageKind::Error);
        return;
    }
    preview(*report, parent);
}

bool printDirect(const ReportBuilder& build)
{
    QString error;
    const std::unique_ptr<Report> report = build(&error);
    if (!report || !printDirect(*report, &error)) {
        messages::show(error, MessageKind::Error);
        return false;
    }
    return true;
}

} // namespace mivo::report
