#pragma once
#include <QList>
#include <QMap>
#include <QMarginsF>
#include <QPageLayout>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>

namespace ombx {

class Rows;
class ReportTemplate;

enum class Paper { A4, A5, Custom };

// Paper, orientation and margins of a report, in millimetres.
struct PageSetup {
    Paper paper = Paper::A4;
    QSizeF customSize;                   // width × height, for Paper::Custom
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{10, 10, 10, 10};

    QPageLayout pageLayout() const;
    bool operator==(const PageSetup&) const = default;
};

struct HeaderItem {
    QString label;
    QString value;
};

struct ReportColumn {
    QString title;
    QString field;                       // the result column it shows
    double width = 0;                    // millimetres; 0 shares the room left by its text
    bool summed = false;                 // its sum stands under it on the summary line
    Qt::Alignment alignment = Qt::AlignLeft;
};

// The rows a template report shows: result columns by name, rows of texts.
struct DataSet {
    QStringList fields;
    QList<QStringList> rows;

    static DataSet fromRows(const Rows& rows);
    int fieldIndex(const QString& name) const; // without regard to case; -1 when absent
};

// A printed thing of the program, as data: what the renderer paints and what
// the tests read. Three kinds:
//  - List: title lines, header label/value pairs, a column header, one detail
//    line per row, a summary line with the sums of the summed columns, and
//    the page footer "第N页". Pages repeat the column header.
//  - Sheet: one page with the title and the header pairs as captions and
//    values in a ruled grid (the open-account and change-meter sheets).
//  - Template: a layout read from a template file under Report/, filled
//    with the fields of the data rows and the report's variables.
class Report {
public:
    enum class Kind { List, Sheet, Template };

    Kind kind = Kind::List;
    PageSetup page;
    QStringList titleLines;
    QList<HeaderItem> header;
    QList<ReportColumn> columns;
    QList<QStringList> rows;             // one text per column, in column order
    QString summaryLabel;                // first cell of the summary line, e.g. "合计："
    bool pageNumbers = true;             // page footer "第N页"

    // Template reports: the layout (none for a missing template: an empty
    // page) and the variables it may name, by name without regard to case.
    // A value is shown as it is, or, when the program hands it over as a
    // quoted text ('53.50', quotes inside doubled), as the text inside.
    std::shared_ptr<const ReportTemplate> layout;
    QMap<QString, QString> variables;

    void addHeader(const QString& label, const QString& value) { header.append({label, value}); }
    void addColumn(const QString& title, const QString& field, bool summed = false, double width = 0);
    // Fills the rows from a query result, each column from the result column
    // its field names (an empty cell where the result has no such column).
    void setRows(const Rows& result);

    int columnIndex(const QString& field) const; // without regard to case; -1 when absent
    QString headerValue(const QString& label) const;
    // The text a variable shows; empty when it is not set.
    QString variable(const QString& name) const;
    bool hasVariable(const QString& name) const;
    bool hasSummary() const;
    // The sums of the summed columns over the rows, one text per column
    // (empty for columns not summed). A cell that is no number is skipped.
    // Numbers in general form: "60.5", "26", "0".
    QStringList sums() const;
    QString sum(const QString& field) const;

    // A one-page sheet: the title, and the header pairs as captions and
    // values in a ruled grid; no page number.
    static Report sheet(const QString& title, Paper paper);

    // A template report over a data set. A template that cannot be read
    // gives an empty report on the default paper, without a message.
    static Report fromTemplate(const QString& templatePath, const DataSet& data,
                               const QMap<QString, QString>& variables = {});
    static Report fromTemplate(std::shared_ptr<const ReportTemplate> layout, const DataSet& data,
                               const QMap<QString, QString>& variables = {});
};

// Sum of the texts that read as decimal numbers, in general form (up to 15
// significant digits, no trailing zeros).
QString sumOfTexts(const QList<QStringList>& rows, int column);
QString numberText(double value);

// Where the program keeps its templates: the folder "Report" in programDir,
// and the file of a named template in it ("收款凭据" → Report/收款凭据.rtpl).
QString reportDirectory(const QString& programDir);
QString templatePath(const QString& reportDir, const QString& name);
inline constexpr const char* kTemplateSuffix = ".rtpl";

} // namespace ombx
