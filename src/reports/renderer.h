#pragma once
#include "report.h"

#include <QFont>
#include <QList>
#include <QPointF>
#include <QSizeF>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace ombx {

// The typeface of every report, at a size in points.
QFont reportFont(double points, bool bold = false);

// Gives the device the report's paper, orientation and margins.
bool applyPageLayout(const Report& report, QPagedPaintDevice& device);

// Paints the report on a printer or PDF writer whose page layout is set,
// page after page: only the page being painted is laid out, so a long
// report costs the memory of its rows once. Returns the number of pages, or
// -1 when the device cannot be painted on (no printer, file not writable).
int renderReport(const Report& report, QPagedPaintDevice& device);

// Writes the report as a PDF file on its own paper; false when the file
// cannot be written.
bool writePdf(const Report& report, const QString& path);

// One page of a list report: which rows it holds and what else stands on it.
struct ListPage {
    int number = 0;                      // 1 for the first page
    bool title = false;                  // title lines and header pairs
    int firstRow = 0;
    int endRow = 0;                      // one past the last row on the page
    QList<double> rowHeights;            // device pixels, one per row on the page
    bool summary = false;
};

// Lays a list report out page by page on a device of the given page size
// (the printable area). The renderer paints what it returns; tests read the
// page breaks from it.
class ListLayout {
public:
    ListLayout(const Report& report, const QPaintDevice& device, const QSizeF& areaPixels);
    bool atEnd() const;
    ListPage nextPage();
    void paint(QPainter& painter, const ListPage& page) const;

    const QList<double>& columnWidths() const { return m_widths; }

private:
    double rowHeight(const QStringList& cells, const QFont& font) const;
    double cellTextHeight(const QString& text, double width, const QFont& font) const;
    void paintRow(QPainter& p, double y, double height, const QStringList& cells, const QFont& font, bool head) const;

    const Report& m_report;
    const QPaintDevice& m_device;
    QSizeF m_area;
    double m_mm;                         // device pixels per millimetre
    QFont m_titleFont, m_headerFont, m_tableFont, m_headFont, m_footerFont;
    QList<double> m_widths;
    struct Placed { QPointF at; QString text; };
    QList<Placed> m_headerItems;
    double m_titleBlock = 0;             // title lines and header pairs
    double m_columnHeader = 0;
    double m_footer = 0;
    int m_nextRow = 0;
    int m_pages = 0;
    bool m_summaryDone = false;
};

} // namespace ombx
