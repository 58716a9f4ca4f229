#include "capitals.h"
#include "database.h"
#include "printing.h"
#include "renderer.h"
#include "report.h"
#include "reporttemplate.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QProcess>
#include <QRawFont>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ombx;

namespace {

const QString kTemplates = QStringLiteral(OMBX_TEMPLATE_DIR);

// Qt's PDF text map names each glyph by the first character the font draws
// with it, and the CJK fonts draw some radicals with an ideograph's glyph:
// pdftotext then reads ⽤ for 用. Reads such radicals back as the ideograph.
QString unfoldRadicals(const QString& text)
{
    static const QHash<char32_t, char32_t> map = [] {
        QHash<char32_t, char32_t> out;
        const QRawFont font = QRawFont::fromFont(reportFont(9));
        auto glyph = [&font](char32_t c) {
            const QList<quint32> g = font.glyphIndexesForString(QString::fromUcs4(&c, 1));
            return g.isEmpty() ? 0u : g[0];
        };
        QHash<quint32, char32_t> ideographOfGlyph;
        for (char32_t c = 0x4E00; c <= 0x9FFF; ++c)
            if (const quint32 g = glyph(c); g && !ideographOfGlyph.contains(g))
                ideographOfGlyph.insert(g, c);
        for (char32_t c = 0x2E80; c <= 0x2FDF; ++c)
            if (const quint32 g = glyph(c); g && ideographOfGlyph.contains(g))
                out.insert(c, ideographOfGlyph.value(g));
        return out;
    }();
    QString out;
    for (char32_t c : text.toUcs4()) {
        const char32_t u = map.value(c, c);
        out += QString::fromUcs4(&u, 1);
    }
    return out;
}

// The text of one page of a PDF, through poppler's pdftotext.
QString pdfPageText(const QString& path, int page)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                           QString::number(page), QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    return unfoldRadicals(QString::fromUtf8(p.readAllStandardOutput()));
}

bool havePdfToText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

// A day report as the sales windows make it.
Report dayReport(int rows)
{
    Report r;
    r.titleLines << QStringLiteral("2024-05-01购电信息");
    r.addHeader(QStringLiteral("操作员："), QStringLiteral("admin"));
    r.addHeader(QStringLiteral("打印日期:"), QStringLiteral("2024-05-02"));
    r.addColumn(QStringLiteral("用户号"), QStringLiteral("Usr_id"));
    r.addColumn(QStringLiteral("用户名"), QStringLiteral("Usr_Name"));
    r.addColumn(QStringLiteral("购电量"), QStringLiteral("Buy_Q"), true);
    r.addColumn(QStringLiteral("金额"), QStringLiteral("PMoney"), true);
    r.addColumn(QStringLiteral("地址"), QStringLiteral("Addr"));
    r.summaryLabel = QStringLiteral("合计:");
    for (int i = 0; i < rows; ++i)
        r.rows.append({QString::number(100000 + i), QStringLiteral("用户%1").arg(i), QStringLiteral("10"),
                       QStringLiteral("5.35"),
                       i % 9 == 0 ? QStringLiteral("城关镇建设路十二号院三单元五楼五零一室，城关镇建设路十二号院三单元五楼五零一室，再长一些的地址")
                                  : QStringLiteral("城关镇")});
    return r;
}

// --- The model ----------------------------------------------------------------

TEST(ReportModel, SumsSkipWhatIsNoNumberAndPrintInGeneralForm)
{
    Report r;
    r.addColumn(QStringLiteral("用户号"), QStringLiteral("Usr_id"));
    r.addColumn(QStringLiteral("购电量"), QStringLiteral("Buy_q"), true);
    r.addColumn(QStringLiteral("金额"), QStringLiteral("PMoney"), true);
    r.addColumn(QStringLiteral("退补"), QStringLiteral("ENum"), true);
    r.rows = {{"1", "10", "0.1", "10"}, {"2", "20.5", "", "-4"}, {"3", "30", "0.2", "20"}, {"4", "abc", "x", ""}};
    EXPECT_EQ(r.sums(), (QStringList{"", "60.5", "0.3", "26"}));
    EXPECT_EQ(r.sum(QStringLiteral("pmoney")), QStringLiteral("0.3"));
    r.rows.clear();
    EXPECT_EQ(r.sums(), (QStringList{"", "0", "0", "0"}));
}

TEST(ReportModel, RowsComeFromTheResultByFieldName)
{
    Rows result;
    // Two address columns, as the month report's statement gives: the first is the purchase's.
    result.setColumns({"Usr_id", "Addr", "BUY_Q", "Addr"});
    result.addRow({QVariant("1001"), QVariant("购电地址"), QVariant(12.5), QVariant("用户地址")});
    result.addRow({QVariant("1002"), QVariant(), QVariant(3.0), QVariant("x")});
    Report r;
    r.addColumn(QStringLiteral("购电量"), QStringLiteral("Buy_q"), true);
    r.addColumn(QStringLiteral("地址"), QStringLiteral("addr"));
    r.addColumn(QStringLiteral("备注"), QStringLiteral("Memo"));
    r.setRows(result);
    EXPECT_EQ(r.rows, (QList<QStringList>{{"12.5", "购电地址", ""}, {"3", "", ""}}));
}

// --- List reports on paper -------------------------------------------------------

class ListReportPages : public ::testing::Test {
protected:
    ListReportPages() : m_writer(m_dir.filePath(QStringLiteral("layout.pdf"))) {}
    std::vector<ListPage> pages(const Report& r)
    {
        applyPageLayout(r, m_writer);
        ListLayout layout(r, m_writer, QSizeF(m_writer.width(), m_writer.height()));
        std::vector<ListPage> out;
        while (!layout.atEnd() && out.size() < 1000)
            out.push_back(layout.nextPage());
        return out;
    }
    QTemporaryDir m_dir;
    QPdfWriter m_writer;
};

TEST_F(ListReportPages, EveryRowOnceTitleFirstSummaryLast)
{
    const Report r = dayReport(100);
    const auto p = pages(r);
    ASSERT_GE(p.size(), 3u);
    int next = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        EXPECT_EQ(p[i].number, int(i) + 1);
        EXPECT_EQ(p[i].title, i == 0);
        EXPECT_EQ(p[i].summary, i + 1 == p.size());
        EXPECT_EQ(p[i].firstRow, next);
        EXPECT_GT(p[i].endRow, p[i].firstRow);
        EXPECT_EQ(p[i].rowHeights.size(), p[i].endRow - p[i].firstRow);
        next = p[i].endRow;
    }
    EXPECT_EQ(next, 100);
    // The wrapped addresses make their rows taller.
    EXPECT_GT(p[0].rowHeights[0], p[0].rowHeights[1]);
}

TEST_F(ListReportPages, OnlyLongTextsWrapWhenTheColumnsAreTooWideForThePaper)
{
    Report r;
    const QStringList fields = {"Usr_id", "Usr_Name", "Buy_Q", "PMoney", "Invoice", "Addr", "Dat_Buy", "Optr", "Memo"};
    for (const QString& f : fields)
        r.addColumn(f, f, f == "Buy_Q" || f == "PMoney");
    const QStringList shortRow = {"100023", "用户23", "125", "66.88", "2024050100023", "城关镇建设路23号",
                                  "2024-05-24 09:23:00", "admin", "换表"};
    QStringList longRow = shortRow;
    longRow[5] = QStringLiteral("城关镇建设路十二号院三单元五楼五零一室（临街门面），城关镇建设路十二号院三单元五楼五零一室");
    r.rows = {shortRow, longRow, shortRow};
    const auto p = pages(r);
    ASSERT_EQ(p.size(), 1u);
    const auto& h = p[0].rowHeights;
    EXPECT_GT(h[1], 1.5 * h[0]);
    EXPECT_EQ(h[0], h[2]);
    // One line high: no short text wrapped.
    EXPECT_LT(h[0], 1.5 * QFontMetricsF(reportFont(9), &m_writer).height());
}

TEST_F(ListReportPages, ASummaryThatNoLongerFitsGoesOnANewPage)
{
    Report r = dayReport(1);
    r.rows[0][4] = QStringLiteral("城关镇");
    // As many one-line rows as the first page holds.
    r.summaryLabel.clear();
    r.columns[2].summed = r.columns[3].summed = false;
    Report full = r;
    full.rows = QList<QStringList>(200, r.rows[0]);
    const int perPage = pages(full).front().endRow;
    full.rows.resize(perPage);
    ASSERT_EQ(pages(full).size(), 1u);

    full.summaryLabel = QStringLiteral("合计:");
    full.columns[2].summed = true;
    const auto p = pages(full);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].endRow, perPage);
    EXPECT_FALSE(p[0].summary);
    EXPECT_EQ(p[1].firstRow, p[1].endRow);
    EXPECT_TRUE(p[1].summary);
}

TEST_F(ListReportPages, AnEmptyReportIsOnePageWithItsSummaryOfZeros)
{
    const auto p = pages(dayReport(0));
    ASSERT_EQ(p.size(), 1u);
    EXPECT_TRUE(p[0].title);
    EXPECT_TRUE(p[0].summary);
}

TEST(ReportPdf, AThreePageListRepeatsItsColumnHeaderAndNumbersItsPages)
{
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("day.pdf"));
    const Report r = dayReport(100);
    ASSERT_TRUE(writePdf(r, pdf));
    for (int page = 1; page <= 3; ++page) {
        const QString text = pdfPageText(pdf, page);
        EXPECT_TRUE(text.contains(QStringLiteral("用户号"))) << page;
        EXPECT_TRUE(text.contains(QStringLiteral("第%1页").arg(page))) << page;
        EXPECT_EQ(text.contains(QStringLiteral("2024-05-01购电信息")), page == 1) << page;
        EXPECT_EQ(text.contains(QStringLiteral("打印日期:2024-05-02")), page == 1) << page;
    }
    const QString last = pdfPageText(pdf, 3);
    EXPECT_TRUE(last.contains(QStringLiteral("100099")));
    EXPECT_TRUE(last.contains(QStringLiteral("合计:"))) << last.toStdString();
    EXPECT_TRUE(last.contains(QStringLiteral("1000")));
    EXPECT_TRUE(last.contains(QStringLiteral("535")));
}

TEST(ReportPdf, SheetsAndPaperSizes)
{
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    Report sheet = Report::sheet(QStringLiteral("开户信息"), Paper::A5);
    sheet.addHeader(QStringLiteral("用户号："), QStringLiteral("100023"));
    sheet.addHeader(QStringLiteral("地址："), QStringLiteral("城关镇建设路12号"));
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    ASSERT_TRUE(writePdf(sheet, pdf));
    const QString text = pdfPageText(pdf, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("开户信息")));
    EXPECT_TRUE(text.contains(QStringLiteral("用户号：")));
    EXPECT_TRUE(text.contains(QStringLiteral("城关镇建设路12号")));
    EXPECT_FALSE(text.contains(QStringLiteral("第1页")));
}

TEST(ReportPdf, AFileThatCannotBeWrittenIsAFailure)
{
    RecordingPrinting printing;
    EXPECT_FALSE(printing.toPdf(dayReport(3), QStringLiteral("/nonexistent folder/x.pdf")));
    EXPECT_EQ(printing.last->rows.size(), 3);
}

// --- Templates -----------------------------------------------------------------

TEST(Template, ReadsPageBandsAndItemsAndNamesTheLinesItCannotRead)
{
    const ReportTemplate t = ReportTemplate::parse(QStringLiteral(
        "# a comment\n"
        "page 100x58 landscape margins=2,3,4,5\n"
        "font 8 Noto Serif CJK SC\n"
        "text 0 0 96 7 center bold size=14 | 购电凭据 | 二\n"
        "band detail 6\n"
        "box 0 0 10 6 pen=0.5\n"
        "tetx 0 0 1 1 | 错\n"
        "text 0 0 5 | 少一个数\n"
        "line 0 0 -1 0\n"
        "band footer 4\n"
        "text 0 0 10 4 right bottom frame | 第[Page]页\r\n"));
    EXPECT_EQ(t.page.paper, Paper::Custom);
    EXPECT_EQ(t.page.customSize, QSizeF(100, 58));
    EXPECT_EQ(t.page.orientation, QPageLayout::Landscape);
    EXPECT_EQ(t.page.margins, QMarginsF(2, 3, 4, 5));
    EXPECT_EQ(t.fontSize, 8);
    EXPECT_EQ(t.fontFamily, QStringLiteral("Noto Serif CJK SC"));

    const auto& title = t.band(ReportTemplate::Title);
    ASSERT_EQ(title.items.size(), 1);
    EXPECT_EQ(title.items[0].content, QStringLiteral("购电凭据 | 二"));
    EXPECT_EQ(title.items[0].alignment, Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_TRUE(title.items[0].bold);
    EXPECT_EQ(title.items[0].size, 14);
    EXPECT_EQ(title.height, 7);

    const auto& detail = t.band(ReportTemplate::Detail);
    EXPECT_TRUE(detail.present);
    EXPECT_EQ(detail.height, 6);
    ASSERT_EQ(detail.items.size(), 1);
    EXPECT_EQ(detail.items[0].pen, 0.5);
    const auto& footer = t.band(ReportTemplate::Footer);
    ASSERT_EQ(footer.items.size(), 1);
    EXPECT_EQ(footer.items[0].content, QStringLiteral("第[Page]页"));
    EXPECT_TRUE(footer.items[0].frame);
    EXPECT_FALSE(t.band(ReportTemplate::Summary).present);

    ASSERT_EQ(t.errors.size(), 3);
    EXPECT_TRUE(t.errors[0].startsWith(QStringLiteral("第7行："))) << t.errors[0].toStdString();
    EXPECT_TRUE(t.errors[1].startsWith(QStringLiteral("第8行：")));
    EXPECT_TRUE(t.errors[2].startsWith(QStringLiteral("第9行：")));
}

TEST(Template, PlaceholdersTakeFieldsVariablesAndBuiltInNames)
{
    DataSet data;
    data.fields = {"Usr_id", "PMoney", "Date"};
    data.rows = {{"1001", "53.5", "字段优先"}, {"1002", "10", ""}};
    const Report r = Report::fromTemplate(std::shared_ptr<const ReportTemplate>(), data,
                                          {{"BigNum", "伍拾叁元伍角"},
                                           {"Usr_id", "变量"},
                                           {"dateSection", "'购电日期：2024-05-01 ~ 2024-05-31'"},
                                           {"quoted", "'it''s'"},
                                           {"empty", "''"},
                                           {"lone", "'"}});
    TemplateContext c{&r, 0, 3, QDateTime(QDate(2024, 5, 1), QTime(9, 5, 7))};
    const struct {
        const char* content;
        const char* text;
    } cases[] = {
        {"用户号：[usr_id]", "用户号：1001"},
        {"[BIGNUM]", "伍拾叁元伍角"},
        {"[PMoney:2] [PMoney:0] [Usr_id:2]", "53.50 54 1001.00"},
        {"[Date]", "字段优先"},
        {"[Time] 第[Page]页", "09:05:07 第3页"},
        {"[Sum(PMoney)] [sum( pmoney ):2]", "63.5 63.50"},
        {"[Nmae] [[x] [x", "[Nmae] [x] [x"},
        // Values handed over as quoted texts show without their quotes.
        {"[dateSection]", "购电日期：2024-05-01 ~ 2024-05-31"},
        {"<[quoted]><[empty]><[lone]>", "<it's><><'>"},
        {"", ""},
    };
    for (const auto& k : cases)
        EXPECT_EQ(expandText(QString::fromUtf8(k.content), c), QString::fromUtf8(k.text)) << k.content;
    c.row = -1;
    EXPECT_EQ(expandText(QStringLiteral("<[Usr_id]>"), c), QStringLiteral("<>"));
}

// Every name the shipped templates use is one the program gives them: the
// columns of the statement behind each and its variables.
TEST(Template, TheShippedTemplatesNameOnlyWhatTheProgramGives)
{
    const QStringList receipt = {"Usr_id", "Usr_Name", "Buy_q", "PMoney", "Invoice", "Addr", "Phone", "MtrNo",
                                 "Per_iden", "BT", "Price_type", "Dat_Buy", "Optr", "Base_P", "Addon_p",
                                 "Plus_p", "City_p", "Sanxia_p", "Price"};
    const struct {
        const char* name;
        QStringList fields;
        QStringList variables;
    } shipped[] = {
        {"收款凭据", receipt + QStringList{"Remain", "Buy_T"}, {"RemainLast", "totalcurr", "BigNum"}},
        {"收款凭据补打", receipt + QStringList{"Pay", "Remain"}, {"totalcurr", "BigNum"}},
        {"用户购电记录",
         {"Usr_id", "Usr_Name", "Buy_T", "Buy_q", "PMoney", "Invoice", "Dat_Buy", "Optr", "Memo", "Addr", "Phone",
          "MtrNo", "Per_iden", "BT", "Price_type"},
         {"dateSection"}},
    };
    for (const auto& s : shipped) {
        const QString path = templatePath(kTemplates, QString::fromUtf8(s.name));
        auto layout = ReportTemplate::load(path);
        ASSERT_TRUE(layout) << path.toStdString();
        EXPECT_TRUE(layout->errors.isEmpty()) << layout->errors.join('\n').toStdString();
        DataSet data;
        data.fields = s.fields;
        data.rows.append(QStringList(s.fields.size(), QStringLiteral("v")));
        QMap<QString, QString> vars;
        for (const QString& v : s.variables)
            vars.insert(v, QStringLiteral("v"));
        const Report r = Report::fromTemplate(layout, data, vars);
        const TemplateContext c{&r, 0, 1, QDateTime::currentDateTime()};
        int items = 0;
        for (const auto& band : layout->bands)
            for (const auto& item : band.items) {
                EXPECT_FALSE(expandText(item.content, c).contains('[')) << s.name << ": " << item.content.toStdString();
                ++items;
            }
        EXPECT_GT(items, 10) << s.name;
    }
}

TEST(TemplatePdf, TheReceiptOnItsOwnPaper)
{
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed";
    DataSet data;
    data.fields = {"Usr_id", "Usr_Name", "Buy_q", "PMoney", "Invoice", "Addr", "MtrNo", "Price_type", "Optr", "Price"};
    data.rows = {{"100023", "王明", "100", "53.5", "202405010001", "城关镇建设路12号", "2024000123", "居民生活用电",
                  "admin", "0.535"}};
    const Report r = Report::fromTemplate(templatePath(kTemplates, QStringLiteral("收款凭据")), data,
                                          {{"totalcurr", "53.50"}, {"BigNum", amountInCapitals(53.5)}});
    EXPECT_EQ(r.page.pageLayout().fullRect(QPageLayout::Millimeter).size(), QSizeF(100, 58));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("receipt.pdf"));
    ASSERT_TRUE(writePdf(r, pdf));
    const QString text = pdfPageText(pdf, 1).simplified().remove(' ');
    for (const char* expected : {"购电凭据", "凭据号：202405010001", "王明", "城关镇建设路12号", "100023",
                                 "居民生活用电", "2024000123", "0.535", "53.50", "缴费金额合计大写：伍拾叁元伍角",
                                 "￥53.50元", "经手人：admin", "收款单位（盖章）"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    EXPECT_TRUE(pdfPageText(pdf, 2).isEmpty());
}

TEST(TemplatePdf, DetailRowsBreakIntoPagesUnderTheRepeatedHeader)
{
    if (!havePdfToText())
        GTEST_SKIP() << "pdftotext is not installed";
    DataSet data;
    data.fields = {"Usr_id", "Buy_q", "PMoney"};
    for (int i = 0; i < 60; ++i)
        data.rows.append({QString::number(200000 + i), QStringLiteral("10"), QStringLiteral("5.35")});
    const Report r = Report::fromTemplate(templatePath(kTemplates, QStringLiteral("用户购电记录")), data,
                                          {{"dateSection", "购电日期：2024-05-01 ~ 2024-05-31"}});
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("purchases.pdf"));
    ASSERT_TRUE(writePdf(r, pdf));
    QString all;
    int page = 1;
    for (;; ++page) {
        const QString text = pdfPageText(pdf, page);
        if (text.isEmpty())
            break;
        EXPECT_TRUE(text.contains(QStringLiteral("购电日期"))) << page;
        EXPECT_TRUE(text.contains(QStringLiteral("第%1页").arg(page))) << page;
        EXPECT_EQ(text.contains(QStringLiteral("用户购电记录")), page == 1);
        all += text;
    }
    EXPECT_GE(page - 1, 2);
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(all.count(QString::number(200000 + i)), 1) << i;
    EXPECT_TRUE(all.contains(QStringLiteral("600")));
    EXPECT_TRUE(all.contains(QStringLiteral("321.00")));
}

TEST(TemplatePdf, AMissingTemplateIsAnEmptyPage)
{
    const Report r = Report::fromTemplate(QStringLiteral("/nonexistent/收款凭据.rtpl"), DataSet{}, {});
    EXPECT_FALSE(r.layout);
    QTemporaryDir dir;
    EXPECT_TRUE(writePdf(r, dir.filePath(QStringLiteral("empty.pdf"))));
    if (havePdfToText()) {
        EXPECT_TRUE(pdfPageText(dir.filePath(QStringLiteral("empty.pdf")), 1).trimmed().isEmpty());
    }
}

} // namespace
