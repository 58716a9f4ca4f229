#pragma once
#include "report.h"

#include <QDateTime>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace ombx {

// A report template: the page and a few bands of positioned texts, boxes and
// lines, read from a small text file of our own under Report/. Example:
//
//   # 收款凭据
//   page 100x58 margins=2
//   font 9
//   band title 54
//   text 0 0 96 7 center bold size=14 | 购电凭据
//   text 0 8 48 4 | 日期：[Date]
//   box 0 12 96 30
//   line 0 18 96 18
//
// Lines, one statement each; blank lines and lines starting with # are
// ignored; numbers are millimetres unless stated:
//   page A4|A5|<width>x<height> [portrait|landscape] [margins=<m>|<l>,<t>,<r>,<b>]
//   font <points> [family]           the template's text size and typeface
//   band title|header|detail|summary|footer <height>
//       title once at the top of the first page; header at the top of every
//       page; detail once per data row; summary once after the last row;
//       footer at the bottom of every page. Items before the first band
//       line belong to the title band.
//   text <x> <y> <w> <h> [left|center|right] [top|middle|bottom] [bold]
//        [size=<points>] [frame] | <content>
//   box <x> <y> <w> <h> [pen=<width>]
//   line <x1> <y1> <x2> <y2> [pen=<width>]
// Item positions are relative to the band's top left corner.
//
// A text's content may name, in square brackets, a field of the data row
// ([Usr_Name]), a variable set by the program ([BigNum]), or one of [Date]
// (today, yyyy-MM-dd), [Time] (now, hh:mm:ss), [Page] (the page number) and
// [Sum(Buy_q)] (the sum of a field over all rows); names without regard to
// case, a field before a variable before the built-in names. [Name:2] writes
// a number with two decimals. A name that is none of these stays as written,
// so a misspelt name shows on the preview; [[ writes a [.
class ReportTemplate {
public:
    struct Item {
        enum class Kind { Text, Box, Line } kind = Kind::Text;
        QRectF rect;                     // text and box
        QLineF line;                     // line
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
        double size = 0;                 // points; 0 takes the template's size
        bool bold = false;
        bool frame = false;
        double pen = 0.2;
        QString content;
    };
    struct Band {
        double height = 0;
        QList<Item> items;
        bool present = false;
    };
    enum BandKind { Title, Header, Detail, Summary, Footer, BandCount };

    PageSetup page;
    double fontSize = 9;
    QString fontFamily;                  // empty: the reports' typeface
    Band bands[BandCount];

    // Lines that could not be read, as "第N行：..."; they are left out of the
    // layout and the rest is used.
    QStringList errors;

    const Band& band(BandKind kind) const { return bands[kind]; }

    static ReportTemplate parse(const QString& text);
    // Reads a template file (UTF-8); nullptr when the file cannot be read.
    static std::shared_ptr<const ReportTemplate> load(const QString& path);
};

// What a template text is filled from: the report's data and variables, the
// current data row (-1: none), the page number and the moment of printing.
struct TemplateContext {
    const Report* report = nullptr;
    int row = -1;
    int page = 1;
    QDateTime now;
};

QString expandText(const QString& content, const TemplateContext& context);

} // namespace ombx
