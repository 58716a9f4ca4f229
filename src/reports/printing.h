#pragma once
#include "report.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

namespace ombx {

// How the program prints. Windows get one through the AppContext; the
// program shows Qt's print preview, tests record the report instead.
// preview, print and toPdf return false when the report could not be
// prepared or the printer failed; the window then shows its message
// ("当前默认打印机不能打印或者没有装打印机！").
class Printing {
public:
    virtual ~Printing() = default;
    // True when the system has at least one printer installed.
    virtual bool hasPrinter() const = 0;
    // Shows the report in a print preview from which the operator prints.
    virtual bool preview(const Report& report) = 0;
    // Prints the report on the default printer.
    virtual bool print(const Report& report) = 0;
    virtual bool toPdf(const Report& report, const QString& path) = 0;
};

// The system's printers through Qt: QPrintPreviewDialog, CUPS.
class QtPrinting : public Printing {
public:
    // The preview opens over parent (the active window when none).
    explicit QtPrinting(QWidget* parent = nullptr) : m_parent(parent) {}
    bool hasPrinter() const override;
    bool preview(const Report& report) override;
    bool print(const Report& report) override;
    bool toPdf(const Report& report, const QString& path) override;

private:
    QPointer<QWidget> m_parent;
};

// Keeps the last report it was given, for tests: its title, header, rows and
// sums. Nothing reaches a printer; toPdf writes the file as the program would.
class RecordingPrinting : public Printing {
public:
    bool hasPrinter() const override { return printerInstalled; }
    bool preview(const Report& report) override;
    bool print(const Report& report) override;
    bool toPdf(const Report& report, const QString& path) override;

    bool printerInstalled = true;
    bool failing = false;                // preview and print report a printer failure
    std::optional<Report> last;
    int previews = 0;
    int prints = 0;
    QString lastPdf;
};

} // namespace ombx
