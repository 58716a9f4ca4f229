#include "renderer.h"

#include "reporttemplate.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <numeric>

namespace ombx {
namespace {

constexpr double kPadMm = 1.0;          // inside a cell, left and right
constexpr double kPadVMm = 0.6;         // inside a cell, above and below
constexpr double kRuleMm = 0.15;        // width of ruled lines
constexpr int kWrap = Qt::TextWordWrap | Qt::TextWrapAnywhere;

QString pageText(int page) { return QStringLiteral("第%1页").arg(page); }

double pixelsPerMm(const QPaintDevice& device) { return device.logicalDpiX() / 25.4; }

QPen rule(double mm) { return QPen(Qt::black, kRuleMm * mm, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin); }

void paintFooter(QPainter& p, const QSizeF& area, double height, int page, const QFont& font)
{
    p.setFont(font);
    p.drawText(QRectF(0, area.height() - height, area.width(), height), Qt::AlignHCenter | Qt::AlignBottom,
               pageText(page));
}

// --- Sheets: captions with values in a ruled grid -------------------------

int renderSheet(const Report& r, QPagedPaintDevice& device, QPainter& p)
{
    const double mm = pixelsPerMm(device);
    const QSizeF area(device.width(), device.height());
    const QFont titleFont = reportFont(16, true);
    const QFont font = reportFont(11);
    const QFont footerFont = reportFont(9);
    const QFontMetricsF fm(font, &device);
    const QFontMetricsF tfm(titleFont, &device);
    const double footer = r.pageNumbers ? QFontMetricsF(footerFont, &device).height() + 2 * mm : 0;
    const double bottom = area.height() - footer;

    // Two caption/value pairs to a line on portrait paper, three on landscape.
    const int pairs = area.width() > area.height() ? 3 : 2;
    const double captionWidth = area.width() / pairs * 0.38;
    const double valueWidth = area.width() / pairs - captionWidth;

    int page = 1;
    double y = 0;
    p.setFont(titleFont);
    for (const QString& line : r.titleLines) {
        const double h = tfm.height() + mm;
        p.drawText(QRectF(0, y, area.width(), h), Qt::AlignHCenter | Qt::AlignVCenter, line);
        y += h;
    }
    y += 4 * mm;
    p.setFont(font);
    p.setPen(rule(mm));
    for (int i = 0; i < r.header.size(); i += pairs) {
        double h = 8 * mm;
        for (int j = i; j < std::min<int>(i + pairs, r.header.size()); ++j) {
            const double inner = valueWidth - 2 * kPadMm * mm;
            h = std::max(h, fm.boundingRect(QRectF(0, 0, inner, 1e9), kWrap, r.header[j].value).height() + 2 * kPadVMm * mm);
            h = std::max(h, fm.boundingRect(QRectF(0, 0, captionWidth - 2 * kPadMm * mm, 1e9), kWrap, r.header[j].label).height() + 2 * kPadVMm * mm);
        }
        if (y + h > bottom && y > 0) {
            if (r.pageNumbers)
                paintFooter(p, area, footer, page, footerFont);
            device.newPage();
            ++page;
            y = 0;
            p.setFont(font);
        }
        double x = 0;
        for (int j = i; j < i + pairs; ++j) {
            const HeaderItem item = r.header.value(j);
            const QRectF caption(x, y, captionWidth, h);
            const QRectF value(x + captionWidth, y, valueWidth, h);
            p.drawRect(caption);
            p.drawRect(value);
            const QMarginsF pad(kPadMm * mm, kPadVMm * mm, kPadMm * mm, kPadVMm * mm);
            p.drawText(caption.marginsRemoved(pad), Qt::AlignRight | Qt::AlignVCenter | kWrap, item.label);
            p.drawText(value.marginsRemoved(pad), Qt::AlignLeft | Qt::AlignVCenter | kWrap, item.value);
            x += captionWidth + valueWidth;
        }
        y += h;
    }
    if (r.pageNumbers)
        paintFooter(p, area, footer, page, footerFont);
    return page;
}

// --- Template reports -------------------------------------------------------

class TemplatePainter {
public:
    TemplatePainter(const Report& r, QPagedPaintDevice& device, QPainter& p)
        : m_r(r), m_t(*r.layout), m_device(device), m_p(p), m_mm(pixelsPerMm(device)),
          m_area(device.width(), device.height())
    {
        m_context.report = &r;
        m_context.now = QDateTime::currentDateTime();
    }

    int run()
    {
        using T = ReportTemplate;
        const T::Band& detail = m_t.band(T::Detail);
        const T::Band& summary = m_t.band(T::Summary);
        const double footer = height(T::Footer);
        const double bottom = m_area.height() - footer;
        const int firstRow = m_r.rows.isEmpty() ? -1 : 0;

        double y = 0;
        paintBand(T::Title, y, firstRow);
        y += height(T::Title);
        paintBand(T::Header, y, firstRow);
        y += height(T::Header);
        bool pageUsed = false;                // a detail or summary stands on it
        if (detail.present) {
            const double h = height(T::Detail);
            for (int row = 0; row < m_r.rows.size(); ++row) {
                if (y + h > bottom && pageUsed) {
                    y = newPage(row);
                    pageUsed = false;
                }
                paintBand(T::Detail, y, row);
                y += h;
                pageUsed = true;
            }
        }
        if (summary.present) {
            if (y + height(T::Summary) > bottom && pageUsed)
                y = newPage(firstRow);
            paintBand(T::Summary, y, firstRow);
        }
        paintBand(T::Footer, bottom, firstRow);
        return m_context.page;
    }

private:
    double height(ReportTemplate::BandKind kind) const
    {
        const ReportTemplate::Band& b = m_t.band(kind);
        return b.present ? b.height * m_mm : 0;
    }

    double newPage(int row)
    {
        paintBand(ReportTemplate::Footer, m_area.height() - height(ReportTemplate::Footer), row);
        m_device.newPage();
        ++m_context.page;
        paintBand(ReportTemplate::Header, 0, row);
        return height(ReportTemplate::Header);
    }

    void paintBand(ReportTemplate::BandKind kind, double top, int row)
    {
        const ReportTemplate::Band& band = m_t.band(kind);
        if (!band.present)
            return;
        m_context.row = row;
        const double mm = m_mm;
        auto px = [mm, top](const QRectF& r) { return QRectF(r.x() * mm, top + r.y() * mm, r.width() * mm, r.height() * mm); };
        for (const ReportTemplate::Item& item : band.items) {
            m_p.setPen(QPen(Qt::black, item.pen * mm));
            switch (item.kind) {
            case ReportTemplate::Item::Kind::Box:
                m_p.drawRect(px(item.rect));
                break;
            case ReportTemplate::Item::Kind::Line:
                m_p.drawLine(QLineF(item.line.x1() * mm, top + item.line.y1() * mm, item.line.x2() * mm,
                                    top + item.line.y2() * mm));
                break;
            case ReportTemplate::Item::Kind::Text: {
                const QRectF rect = px(item.rect);
                QFont font = reportFont(item.size > 0 ? item.size : m_t.fontSize, item.bold);
                if (!m_t.fontFamily.isEmpty())
                    font.setFamilies({m_t.fontFamily, font.family()});
                m_p.setFont(font);
                if (item.frame)
                    m_p.drawRect(rect);
                const QRectF inner = rect.adjusted(0.5 * mm, 0, -0.5 * mm, 0);
                m_p.save();
                m_p.setClipRect(rect);
                m_p.drawText(inner, int(item.alignment) | kWrap, expandText(item.content, m_context));
                m_p.restore();
                break;
            }
            }
        }
    }

    const Report& m_r;
    const ReportTemplate& m_t;
    QPagedPaintDevice& m_device;
    QPainter& m_p;
    double m_mm;
    QSizeF m_area;
    TemplateContext m_context;
};

} // namespace

QFont reportFont(double points, bool bold)
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

bool applyPageLayout(const Report& report, QPagedPaintDevice& device)
{
    return device.setPageLayout(report.page.pageLayout());
}

// --- List reports -----------------------------------------------------------

ListLayout::ListLayout(const Report& report, const QPaintDevice& device, const QSizeF& area)
    : m_report(report), m_device(device), m_area(area), m_mm(pixelsPerMm(device)),
      m_titleFont(reportFont(16, true)), m_headerFont(reportFont(10)), m_tableFont(reportFont(9)),
      m_headFont(reportFont(9, true)), m_footerFont(reportFont(9))
{
    const double mm = m_mm;
    const double pad = 2 * kPadMm * mm;
    const QFontMetricsF table(m_tableFont, &device);
    const QFontMetricsF head(m_headFont, &device);

    // Column widths: a fixed width as given; the others share the rest in
    // proportion to their widest text (at most 40% of the page each), so
    // every report fills the width of its paper.
    const int n = report.columns.size();
    QList<double> natural(n, 0);
    double fixed = 0, flexible = 0;
    for (int c = 0; c < n; ++c) {
        const ReportColumn& col = report.columns[c];
        if (col.width > 0) {
            natural[c] = col.width * mm;
            fixed += natural[c];
            continue;
        }
        double w = head.horizontalAdvance(col.title);
        for (const QStringList& row : report.rows)
            w = std::max(w, table.horizontalAdvance(row.value(c)));
        if (col.summed)
            w = std::max(w, table.horizontalAdvance(QStringLiteral("0000000.00")));
        natural[c] = std::min(w + pad, area.width() * 0.4);
        flexible += natural[c];
    }
    const double room = std::max(0.0, area.width() - fixed);
    m_widths = natural;
    if (flexible <= room) {
        for (int c = 0; c < n; ++c)
            if (report.columns[c].width <= 0 && flexible > 0)
                m_widths[c] = natural[c] * room / flexible;
    } else {
        // Too wide for the paper: narrow columns keep their width and the
        // widest share what is left equally, so only long texts wrap.
        QList<int> order;
        for (int c = 0; c < n; ++c)
            if (report.columns[c].width <= 0)
                order.append(c);
        std::sort(order.begin(), order.end(), [&](int a, int b) { return natural[a] < natural[b]; });
        double left = room;
        for (int i = 0; i < order.size(); ++i) {
            const double share = left / (order.size() - i);
            const int c = order[i];
            m_widths[c] = std::min(natural[c], share);
            left -= m_widths[c];
        }
    }

    // Title lines, then the header pairs flowing from left to right.
    double y = 0;
    const QFontMetricsF title(m_titleFont, &device);
    y += report.titleLines.size() * (title.height() + mm);
    if (!report.header.isEmpty()) {
        y += 2 * mm;
        const QFontMetricsF hf(m_headerFont, &device);
        const double gap = 8 * mm;
        double x = 0;
        for (const HeaderItem& item : report.header) {
            const QString text = item.label + item.value;
            const double w = hf.horizontalAdvance(text);
            if (x > 0 && x + w > area.width()) {
                x = 0;
                y += hf.height() + mm;
            }
            m_headerItems.append({QPointF(x, y), text});
            x += w + gap;
        }
        y += hf.height() + mm;
    }
    m_titleBlock = y + 2 * mm;

    QStringList titles;
    for (const ReportColumn& c : report.columns)
        titles.append(c.title);
    m_columnHeader = rowHeight(titles, m_headFont);
    m_footer = report.pageNumbers ? QFontMetricsF(m_footerFont, &device).height() + 2 * mm : 0;
}

double ListLayout::cellTextHeight(const QString& text, double width, const QFont& font) const
{
    const QFontMetricsF fm(font, &m_device);
    if (!text.contains(QLatin1Char('\n')) && fm.horizontalAdvance(text) <= width)
        return fm.height();
    return fm.boundingRect(QRectF(0, 0, std::max(width, 1.0), 1e9), kWrap, text).height();
}

double ListLayout::rowHeight(const QStringList& cells, const QFont& font) const
{
    const QFontMetricsF fm(font, &m_device);
    const double pad = 2 * kPadMm * m_mm;
    double h = fm.height();
    for (int c = 0; c < m_widths.size(); ++c) {
        const QString& text = c < cells.size() ? cells[c] : QString();
        if (text.isEmpty())
            continue;
        if (!text.contains(QLatin1Char('\n')) && fm.horizontalAdvance(text) <= m_widths[c] - pad)
            continue;
        h = std::max(h, cellTextHeight(text, m_widths[c] - pad, font));
    }
    return h + 2 * kPadVMm * m_mm;
}

bool ListLayout::atEnd() const
{
    return m_pages > 0 && m_nextRow >= m_report.rows.size() && (m_summaryDone || !m_report.hasSummary());
}

ListPage ListLayout::nextPage()
{
    ListPage page;
    page.number = ++m_pages;
    page.title = page.number == 1;
    page.firstRow = m_nextRow;
    double y = (page.title ? m_titleBlock : 0) + m_columnHeader;
    const double bottom = m_area.height() - m_footer;
    // Every page takes at least one row, so a row taller than a page is
    // painted (cut at the page's end) rather than looping forever.
    while (m_nextRow < m_report.rows.size()) {
        const double h = rowHeight(m_report.rows[m_nextRow], m_tableFont);
        if (y + h > bottom && m_nextRow > page.firstRow)
            break;
        page.rowHeights.append(h);
        y += h;
        ++m_nextRow;
    }
    page.endRow = m_nextRow;
    if (m_nextRow >= m_report.rows.size() && m_report.hasSummary() && !m_summaryDone) {
        const double h = rowHeight(m_report.sums(), m_tableFont);
        if (y + h <= bottom || page.endRow == page.firstRow) {
            page.summary = true;
            m_summaryDone = true;
        }
    }
    return page;
}

void ListLayout::paintRow(QPainter& p, double y, double height, const QStringList& cells, const QFont& font,
                          bool head) const
{
    const double mm = m_mm;
    p.setFont(font);
    double x = 0;
    const double width = std::accumulate(m_widths.begin(), m_widths.end(), 0.0);
    p.drawRect(QRectF(0, y, width, height));
    for (int c = 0; c < m_widths.size(); ++c) {
        const double w = m_widths[c];
        if (c > 0)
            p.drawLine(QLineF(x, y, x, y + height));
        const QString& text = c < cells.size() ? cells[c] : QString();
        if (!text.isEmpty()) {
            const Qt::Alignment h = head ? Qt::AlignHCenter : (m_report.columns[c].alignment & Qt::AlignHorizontal_Mask);
            const QRectF rect(x + kPadMm * mm, y + kPadVMm * mm, w - 2 * kPadMm * mm, height - 2 * kPadVMm * mm);
            p.drawText(rect, int(h | Qt::AlignVCenter) | kWrap | Qt::TextDontClip, text);
        }
        x += w;
    }
}

void ListLayout::paint(QPainter& p, const ListPage& page) const
{
    const double mm = m_mm;
    p.setPen(rule(mm));
    double y = 0;
    if (page.title) {
        p.setFont(m_titleFont);
        const double h = QFontMetricsF(m_titleFont, &m_device).height() + mm;
        for (const QString& line : m_report.titleLines) {
            p.drawText(QRectF(0, y, m_area.width(), h), Qt::AlignHCenter | Qt::AlignVCenter, line);
            y += h;
        }
        p.setFont(m_headerFont);
        const QFontMetricsF hf(m_headerFont, &m_device);
        for (const Placed& item : m_headerItems)
            p.drawText(QRectF(item.at.x(), item.at.y(), m_area.width() - item.at.x(), hf.height()),
                       Qt::AlignLeft | Qt::AlignVCenter, item.text);
        y = m_titleBlock;
    }
    if (!m_report.columns.isEmpty()) {
        QStringList titles;
        for (const ReportColumn& c : m_report.columns)
            titles.append(c.title);
        paintRow(p, y, m_columnHeader, titles, m_headFont, true);
        y += m_columnHeader;
        for (int i = page.firstRow; i < page.endRow; ++i) {
            const double h = page.rowHeights[i - page.firstRow];
            paintRow(p, y, h, m_report.rows[i], m_tableFont, false);
            y += h;
        }
        if (page.summary) {
            QStringList cells = m_report.sums();
            if (!m_report.columns[0].summed)
                cells[0] = m_report.summaryLabel;
            else
                cells[0] = m_report.summaryLabel + cells[0];
            paintRow(p, y, rowHeight(cells, m_tableFont), cells, m_tableFont, false);
        }
    }
    if (m_report.pageNumbers)
        paintFooter(p, m_area, m_footer, page.number, m_footerFont);
}

int renderReport(const Report& report, QPagedPaintDevice& device)
{
    QPainter p;
    if (!p.begin(&device))
        return -1;
    p.setRenderHint(QPainter::Antialiasing);
    int pages = 1;
    switch (report.kind) {
    case Report::Kind::List: {
        ListLayout layout(report, device, QSizeF(device.width(), device.height()));
        pages = 0;
        while (!layout.atEnd()) {
            if (pages > 0)
                device.newPage();
            const ListPage page = layout.nextPage();
            layout.paint(p, page);
            pages = page.number;
        }
        break;
    }
    case Report::Kind::Sheet:
        pages = renderSheet(report, device, p);
        break;
    case Report::Kind::Template:
        // A missing template leaves one empty page.
        if (report.layout)
            pages = TemplatePainter(report, device, p).run();
        break;
    }
    return p.end() ? pages : -1;
}

bool writePdf(const Report& report, const QString& path)
{
    QPdfWriter writer(path);
    writer.setCreator(QStringLiteral("OMBX256"));
    writer.setTitle(report.titleLines.value(0));
    if (!applyPageLayout(report, writer))
        return false;
    return renderReport(report, writer) > 0;
}

} // namespace ombx
