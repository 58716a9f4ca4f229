#include "report.h"

#include "database.h"
#include "reporttemplate.h"

#include <QDir>

#include <cmath>

namespace ombx {

QPageLayout PageSetup::pageLayout() const
{
    QPageSize size;
    switch (paper) {
    case Paper::A4: size = QPageSize(QPageSize::A4); break;
    case Paper::A5: size = QPageSize(QPageSize::A5); break;
    case Paper::Custom:
        size = QPageSize(customSize, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        break;
    }
    return QPageLayout(size, orientation, margins, QPageLayout::Millimeter);
}

DataSet DataSet::fromRows(const Rows& result)
{
    DataSet data;
    data.fields = result.columnNames();
    data.rows.reserve(result.count());
    for (int r = 0; r < result.count(); ++r) {
        QStringList row;
        row.reserve(data.fields.size());
        for (int c = 0; c < data.fields.size(); ++c)
            row.append(result.text(r, c));
        data.rows.append(std::move(row));
    }
    return data;
}

int DataSet::fieldIndex(const QString& name) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void Report::addColumn(const QString& title, const QString& field, bool summed, double width)
{
    ReportColumn c;
    c.title = title;
    c.field = field;
    c.summed = summed;
    c.width = width;
    if (summed)
        c.alignment = Qt::AlignRight;
    columns.append(c);
}

void Report::setRows(const Rows& result)
{
    QList<int> source;
    for (const ReportColumn& c : columns)
        source.append(result.columnIndex(c.field));
    rows.clear();
    rows.reserve(result.count());
    for (int r = 0; r < result.count(); ++r) {
        QStringList row;
        row.reserve(source.size());
        for (int c : source)
            row.append(c >= 0 ? result.text(r, c) : QString());
        rows.append(std::move(row));
    }
}

int Report::columnIndex(const QString& field) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString Report::headerValue(const QString& label) const
{
    for (const HeaderItem& h : header)
        if (h.label == label)
            return h.value;
    return QString();
}

namespace {

// '53.50' → 53.50, 'it''s' → it's; any other value as it is.
QString shownText(const QString& value)
{
    if (value.size() >= 2 && value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\''))) {
        QString inner = value.mid(1, value.size() - 2);
        return inner.replace(QStringLiteral("''"), QStringLiteral("'"));
    }
    return value;
}

} // namespace

QString Report::variable(const QString& name) const
{
    for (auto it = variables.begin(); it != variables.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return shownText(it.value());
    return QString();
}

bool Report::hasVariable(const QString& name) const
{
    for (auto it = variables.begin(); it != variables.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool Report::hasSummary() const
{
    if (kind != Kind::List)
        return false;
    if (!summaryLabel.isEmpty())
        return true;
    for (const ReportColumn& c : columns)
        if (c.summed)
            return true;
    return false;
}

QStringList Report::sums() const
{
    QStringList out;
    for (int i = 0; i < columns.size(); ++i)
        out.append(columns[i].summed ? sumOfTexts(rows, i) : QString());
    return out;
}

QString Report::sum(const QString& field) const
{
    const int i = columnIndex(field);
    return i >= 0 && columns[i].summed ? sumOfTexts(rows, i) : QString();
}

Report Report::sheet(const QString& title, Paper paper)
{
    Report r;
    r.kind = Kind::Sheet;
    r.page.paper = paper;
    r.pageNumbers = false;
    r.titleLines << title;
    return r;
}

Report Report::fromTemplate(const QString& path, const DataSet& data, const QMap<QString, QString>& variables)
{
    return fromTemplate(ReportTemplate::load(path), data, variables);
}

Report Report::fromTemplate(std::shared_ptr<const ReportTemplate> layout, const DataSet& data,
                            const QMap<QString, QString>& variables)
{
    Report r;
    r.kind = Kind::Template;
    r.pageNumbers = false;
    if (layout)
        r.page = layout->page;
    r.layout = std::move(layout);
    r.variables = variables;
    for (const QString& f : data.fields)
        r.addColumn(f, f);
    r.rows = data.rows;
    return r;
}

QString numberText(double value)
{
    // -0 would print as "-0".
    return QString::number(value == 0 ? 0.0 : value, 'g', 15);
}

QString sumOfTexts(const QList<QStringList>& rows, int column)
{
    double total = 0;
    for (const QStringList& row : rows) {
        bool ok = false;
        const double v = row.value(column).trimmed().toDouble(&ok);
        if (ok && std::isfinite(v))
            total += v;
    }
    return numberText(total);
}

QString reportDirectory(const QString& programDir) { return QDir(programDir).filePath(QStringLiteral("Report")); }

QString templatePath(const QString& reportDir, const QString& name)
{
    return QDir(reportDir).filePath(name + QLatin1String(kTemplateSuffix));
}

} // namespace ombx
