#include "printing.h"

#include "renderer.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace ombx {

bool QtPrinting::hasPrinter() const { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

bool QtPrinting::preview(const Report& report)
{
    QPrinter printer(QPrinter::HighResolution);
    applyPageLayout(report, printer);
    QPrintPreviewDialog dialog(&printer, m_parent ? m_parent.data() : QApplication::activeWindow());
    dialog.setWindowTitle(report.titleLines.isEmpty() ? QStringLiteral("打印预览")
                                                      : QStringLiteral("打印预览 - %1").arg(report.titleLines.first()));
    bool ok = true;
    // Painted for the preview and again, on the chosen printer, when the
    // operator prints from it.
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&report, &ok](QPrinter* target) {
        if (renderReport(report, *target) < 0)
            ok = false;
    });
    dialog.exec();
    return ok;
}

bool QtPrinting::print(const Report& report)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!printer.isValid() || !applyPageLayout(report, printer))
        return false;
    return renderReport(report, printer) > 0;
}

bool QtPrinting::toPdf(const Report& report, const QString& path) { return writePdf(report, path); }

bool RecordingPrinting::preview(const Report& report)
{
    last = report;
    ++previews;
    return !failing;
}

bool RecordingPrinting::print(const Report& report)
{
    last = report;
    ++prints;
    return !failing;
}

bool RecordingPrinting::toPdf(const Report& report, const QString& path)
{
    last = report;
    lastPdf = path;
    return writePdf(report, path);
}

} // namespace ombx
