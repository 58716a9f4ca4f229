#include "reporttemplate.h"

#include <QFile>
#include <QRegularExpression>

namespace ombx {
namespace {

struct LineError {
    QString text;
};

double number(const QString& token, const char* what)
{
    bool ok = false;
    const double v = token.toDouble(&ok);
    if (!ok || v < 0)
        throw LineError{QStringLiteral("%1“%2”不是有效的数").arg(QString::fromUtf8(what), token)};
    return v;
}

QStringList tokens(const QString& text) { return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts); }

void needCount(const QStringList& t, int n, const char* form)
{
    if (t.size() < n)
        throw LineError{QStringLiteral("写法是 %1").arg(QString::fromUtf8(form))};
}

QMarginsF parseMargins(const QString& value)
{
    const QStringList parts = value.split(QLatin1Char(','));
    if (parts.size() == 1) {
        const double m = number(parts[0], "页边距");
        return {m, m, m, m};
    }
    if (parts.size() != 4)
        throw LineError{QStringLiteral("页边距写作 margins=<毫米> 或 margins=<左>,<上>,<右>,<下>")};
    return {number(parts[0], "页边距"), number(parts[1], "页边距"), number(parts[2], "页边距"), number(parts[3], "页边距")};
}

void parsePage(const QStringList& t, ReportTemplate& tpl)
{
    needCount(t, 2, "page A4|A5|<宽>x<高> [portrait|landscape] [margins=<毫米>]");
    PageSetup page;
    const QString size = t[1];
    if (size.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0) {
        page.paper = Paper::A4;
    } else if (size.compare(QLatin1String("A5"), Qt::CaseInsensitive) == 0) {
        page.paper = Paper::A5;
    } else {
        const QStringList wh = size.toLower().split(QLatin1Char('x'));
        if (wh.size() != 2)
            throw LineError{QStringLiteral("纸张写作 A4、A5 或 <宽>x<高>（毫米）")};
        page.paper = Paper::Custom;
        page.customSize = QSizeF(number(wh[0], "纸宽"), number(wh[1], "纸高"));
        if (page.customSize.isEmpty())
            throw LineError{QStringLiteral("纸张的宽和高必须大于 0")};
    }
    for (int i = 2; i < t.size(); ++i) {
        const QString w = t[i].toLower();
        if (w == QLatin1String("portrait"))
            page.orientation = QPageLayout::Portrait;
        else if (w == QLatin1String("landscape"))
            page.orientation = QPageLayout::Landscape;
        else if (w.startsWith(QLatin1String("margins=")))
            page.margins = parseMargins(w.mid(8));
        else
            throw LineError{QStringLiteral("不认识“%1”").arg(t[i])};
    }
    tpl.page = page;
}

ReportTemplate::BandKind bandKind(const QString& name)
{
    static const char* names[] = {"title", "header", "detail", "summary", "footer"};
    for (int i = 0; i < ReportTemplate::BandCount; ++i)
        if (name.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return ReportTemplate::BandKind(i);
    throw LineError{QStringLiteral("区域只有 title、header、detail、summary、footer")};
}

// Options after the numbers of an item; returns false for a word it does not know.
bool itemOption(const QString& word, ReportTemplate::Item& item)
{
    const QString w = word.toLower();
    Qt::Alignment h = item.alignment & Qt::AlignHorizontal_Mask;
    Qt::Alignment v = item.alignment & Qt::AlignVertical_Mask;
    if (w == QLatin1String("left"))
        h = Qt::AlignLeft;
    else if (w == QLatin1String("center"))
        h = Qt::AlignHCenter;
    else if (w == QLatin1String("right"))
        h = Qt::AlignRight;
    else if (w == QLatin1String("top"))
        v = Qt::AlignTop;
    else if (w == QLatin1String("middle"))
        v = Qt::AlignVCenter;
    else if (w == QLatin1String("bottom"))
        v = Qt::AlignBottom;
    else if (w == QLatin1String("bold"))
        item.bold = true;
    else if (w == QLatin1String("frame"))
        item.frame = true;
    else if (w.startsWith(QLatin1String("size=")))
        item.size = number(w.mid(5), "字号");
    else if (w.startsWith(QLatin1String("pen=")))
        item.pen = number(w.mid(4), "线宽");
    else
        return false;
    item.alignment = h | v;
    return true;
}

ReportTemplate::Item parseItem(const QString& keyword, const QStringList& t, const QString& content)
{
    ReportTemplate::Item item;
    if (keyword == QLatin1String("text")) {
        needCount(t, 5, "text <x> <y> <宽> <高> [选项] | <内容>");
        item.kind = ReportTemplate::Item::Kind::Text;
        item.rect = QRectF(number(t[1], "x"), number(t[2], "y"), number(t[3], "宽"), number(t[4], "高"));
        item.content = content;
    } else if (keyword == QLatin1String("box")) {
        needCount(t, 5, "box <x> <y> <宽> <高> [pen=<线宽>]");
        item.kind = ReportTemplate::Item::Kind::Box;
        item.rect = QRectF(number(t[1], "x"), number(t[2], "y"), number(t[3], "宽"), number(t[4], "高"));
    } else {
        needCount(t, 5, "line <x1> <y1> <x2> <y2> [pen=<线宽>]");
        item.kind = ReportTemplate::Item::Kind::Line;
        item.line = QLineF(number(t[1], "x1"), number(t[2], "y1"), number(t[3], "x2"), number(t[4], "y2"));
    }
    for (int i = 5; i < t.size(); ++i)
        if (!itemOption(t[i], item))
            throw LineError{QStringLiteral("不认识“%1”").arg(t[i])};
    return item;
}

} // namespace

ReportTemplate ReportTemplate::parse(const QString& text)
{
    ReportTemplate tpl;
    tpl.bands[Title].present = true;
    BandKind current = Title;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        const QStringList t = tokens(bar < 0 ? line : line.left(bar));
        const QString content = bar < 0 ? QString() : line.mid(bar + 1).trimmed();
        const QString keyword = t[0].toLower();
        try {
            if (keyword == QLatin1String("page")) {
                parsePage(t, tpl);
            } else if (keyword == QLatin1String("font")) {
                needCount(t, 2, "font <磅数> [字体]");
                tpl.fontSize = number(t[1], "字号");
                tpl.fontFamily = t.mid(2).join(QLatin1Char(' '));
            } else if (keyword == QLatin1String("band")) {
                needCount(t, 3, "band title|header|detail|summary|footer <高>");
                current = bandKind(t[1]);
                tpl.bands[current].present = true;
                tpl.bands[current].height = number(t[2], "高");
            } else if (keyword == QLatin1String("text") || keyword == QLatin1String("box") || keyword == QLatin1String("line")) {
                if (keyword != QLatin1String("text") && bar >= 0)
                    throw LineError{QStringLiteral("只有 text 有“|”后的内容")};
                tpl.bands[current].items.append(parseItem(keyword, t, content));
            } else {
                throw LineError{QStringLiteral("不认识“%1”").arg(t[0])};
            }
        } catch (const LineError& e) {
            tpl.errors.append(QStringLiteral("第%1行：%2").arg(n + 1).arg(e.text));
        }
    }
    // A title band without a height holds what its items reach down to.
    Band& title = tpl.bands[Title];
    if (title.height == 0)
        for (const Item& item : title.items)
            title.height = std::max(title.height, item.kind == Item::Kind::Line
                                                      ? std::max(item.line.y1(), item.line.y2())
                                                      : item.rect.bottom());
    return tpl;
}

std::shared_ptr<const ReportTemplate> ReportTemplate::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return std::make_shared<const ReportTemplate>(parse(QString::fromUtf8(file.readAll())));
}

namespace {

QString lookUp(const QString& name, const TemplateContext& c, bool* found)
{
    *found = true;
    const Report& r = *c.report;
    const int column = r.columnIndex(name);
    if (column >= 0)
        return c.row >= 0 && c.row < r.rows.size() ? r.rows[c.row].value(column) : QString();
    if (r.hasVariable(name))
        return r.variable(name);
    if (name.compare(QLatin1String("Date"), Qt::CaseInsensitive) == 0)
        return c.now.date().toString(QStringLiteral("yyyy-MM-dd"));
    if (name.compare(QLatin1String("Time"), Qt::CaseInsensitive) == 0)
        return c.now.time().toString(QStringLiteral("hh:mm:ss"));
    if (name.compare(QLatin1String("Page"), Qt::CaseInsensitive) == 0)
        return QString::number(c.page);
    static const QRegularExpression sum(QStringLiteral("^sum\\((.+)\\)$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = sum.match(name);
    if (m.hasMatch()) {
        const int col = r.columnIndex(m.captured(1).trimmed());
        if (col >= 0)
            return sumOfTexts(r.rows, col);
    }
    *found = false;
    return QString();
}

} // namespace

QString expandText(const QString& content, const TemplateContext& context)
{
    QString out;
    out.reserve(content.size());
    for (qsizetype i = 0; i < content.size(); ++i) {
        const QChar ch = content[i];
        if (ch != QLatin1Char('[')) {
            out += ch;
            continue;
        }
        if (i + 1 < content.size() && content[i + 1] == QLatin1Char('[')) {
            out += ch;
            ++i;
            continue;
        }
        const qsizetype close = content.indexOf(QLatin1Char(']'), i + 1);
        if (close < 0) {
            out += content.mid(i);
            break;
        }
        const QString inner = content.mid(i + 1, close - i - 1);
        QString name = inner.trimmed();
        int decimals = -1;
        const qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
        if (colon > 0) {
            bool ok = false;
            const int d = name.mid(colon + 1).trimmed().toInt(&ok);
            if (ok && d >= 0 && d <= 10) {
                decimals = d;
                name = name.left(colon).trimmed();
            }
        }
        bool found = false;
        QString value = context.report ? lookUp(name, context, &found) : QString();
        if (!found) {
            out += content.mid(i, close - i + 1);
        } else {
            if (decimals >= 0) {
                bool ok = false;
                const double v = value.trimmed().toDouble(&ok);
                if (ok)
                    value = QString::number(v, 'f', decimals);
            }
            out += value;
        }
        i = close;
    }
    return out;
}

} // namespace ombx
