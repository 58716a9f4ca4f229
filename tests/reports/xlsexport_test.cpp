#include "gbk.h"
#include "xlsexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <utility>

using namespace ombx;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

// A small reader of the worksheet records, as a spreadsheet program reads
// them: BOF first, EOF last, every record's length as declared, and the
// label and blank cells by row and column. Fails the test on anything a
// reader would refuse.
struct Sheet {
    std::map<std::pair<int, int>, QString> labels;
    std::map<std::pair<int, int>, int> blanks;     // format index
    int labelFormat = -1;
};

Sheet readSheet(const QByteArray& bytes)
{
    Sheet sheet;
    auto u16 = [&](qsizetype at) { return int(quint8(bytes[at])) | int(quint8(bytes[at + 1])) << 8; };
    qsizetype at = 0;
    bool first = true, ended = false;
    while (at < bytes.size()) {
        EXPECT_FALSE(ended) << "record after EOF at " << at;
        EXPECT_LE(at + 4, bytes.size()) << "truncated record header";
        const int id = u16(at), length = u16(at + 2);
        const qsizetype data = at + 4;
        EXPECT_LE(data + length, bytes.size()) << "record runs past the end";
        if (first) {
            EXPECT_EQ(id, 0x0809) << "the sheet must begin with BOF";
            EXPECT_EQ(length, 8);
            EXPECT_EQ(u16(data + 2), 0x0010) << "worksheet stream";
            first = false;
        } else if (id == 0x0204) {
            const int n = u16(data + 6);
            EXPECT_EQ(length, n + 8);
            sheet.labelFormat = u16(data + 4);
            sheet.labels[{u16(data), u16(data + 2)}] = fromGbk(bytes.mid(data + 8, n));
        } else if (id == 0x0201) {
            EXPECT_EQ(length, 6);
            sheet.blanks[{u16(data), u16(data + 2)}] = u16(data + 4);
        } else if (id == 0x000A) {
            EXPECT_EQ(length, 0);
            ended = true;
        } else {
            ADD_FAILURE() << "unexpected record " << id;
        }
        at = data + length;
    }
    EXPECT_TRUE(ended) << "the sheet must end with EOF";
    return sheet;
}

class XlsExport : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("out.xls")) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(XlsExport, TheExampleTableByteForByte)
{
    ExportGridToXls({{QStringLiteral("用户号"), QStringLiteral("金额")}, {QStringLiteral("1001"), QString()}}, path());
    const QByteArray expected = hex("09 08 08 00 00 00 10 00 00 00 00 00"
                                    "04 02 0E 00 00 00 00 00 00 00 06 00 D3 C3 BB A7 BA C5"
                                    "04 02 0C 00 00 00 01 00 00 00 04 00 BD F0 B6 EE"
                                    "04 02 0C 00 01 00 00 00 00 00 04 00 31 30 30 31"
                                    "01 02 06 00 01 00 01 00 17 00"
                                    "0A 00 00 00");
    ASSERT_EQ(expected.size(), 76);
    EXPECT_EQ(readAll(path()), expected);
}

TEST_F(XlsExport, SmallTables)
{
    const struct {
        TRowDatas table;
        QByteArray bytes;
    } cases[] = {
        {{}, hex("09 08 08 00 00 00 10 00 00 00 00 00 0A 00 00 00")},
        {{{QStringLiteral("abc")}}, hex("09 08 08 00 00 00 10 00 00 00 00 00"
                                        "04 02 0B 00 00 00 00 00 00 00 03 00 61 62 63 0A 00 00 00")},
        // A number is a label like any other text.
        {{{QStringLiteral("12.5")}}, hex("09 08 08 00 00 00 10 00 00 00 00 00"
                                         "04 02 0C 00 00 00 00 00 00 00 04 00 31 32 2E 35 0A 00 00 00")},
    };
    for (const auto& c : cases) {
        ExportGridToXls(c.table, path());
        EXPECT_EQ(readAll(path()), c.bytes);
    }
    EXPECT_EQ(readAll(path()).size(), 32);
}

TEST_F(XlsExport, AReaderGetsBackEveryCellOfRowsOfDifferentLength)
{
    const TRowDatas table = {
        {QStringLiteral("用户号"), QStringLiteral("用户名"), QStringLiteral("购电量"), QStringLiteral("金额")},
        {QStringLiteral("1001"), QStringLiteral("张某"), QString(), QStringLiteral("53.5")},
        {QStringLiteral("合计")},
        {QString(), QStringLiteral("x")},
    };
    ExportGridToXls(table, path());
    const Sheet sheet = readSheet(readAll(path()));
    std::map<std::pair<int, int>, QString> labels;
    std::map<std::pair<int, int>, int> blanks;
    for (int r = 0; r < table.size(); ++r)
        for (int c = 0; c < table[r].size(); ++c) {
            if (table[r][c].isEmpty())
                blanks[{r, c}] = 23;
            else
                labels[{r, c}] = table[r][c];
        }
    EXPECT_EQ(sheet.labels, labels);
    EXPECT_EQ(sheet.blanks, blanks);
    EXPECT_EQ(sheet.labelFormat, 0);
}

TEST_F(XlsExport, ExportingAgainReplacesTheFile)
{
    TRowDatas big;
    for (int i = 0; i < 50; ++i)
        big.append({QStringLiteral("第%1行").arg(i), QStringLiteral("内容")});
    ExportGridToXls(big, path());
    ExportGridToXls({{QStringLiteral("abc")}}, path());
    EXPECT_EQ(readAll(path()).size(), 31);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.xls")});
}

TEST_F(XlsExport, AFileThatCannotBeCreatedIsAnErrorAndNothingIsWritten)
{
    const QString missingFolder = path(QStringLiteral("no such folder/out.xls"));
    EXPECT_THROW(ExportGridToXls({{QStringLiteral("abc")}}, missingFolder), ExportError);
    EXPECT_FALSE(QFileInfo::exists(missingFolder));

    // A folder where the file should be.
    QDir(m_dir.path()).mkdir(QStringLiteral("taken.xls"));
    EXPECT_THROW(ExportGridToXls({{QStringLiteral("abc")}}, path(QStringLiteral("taken.xls"))), ExportError);
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("taken.xls"))).isDir());
}

TEST_F(XlsExport, AGridTheRecordsCannotHoldIsRefusedAndTheOldFileKept)
{
    ExportGridToXls({{QStringLiteral("abc")}}, path());
    const QByteArray before = readAll(path());

    // 32764 Chinese characters are 65528 GBK bytes: one more than a label holds.
    EXPECT_THROW(ExportGridToXls({{QString(32764, QChar(u'电'))}}, path()), ExportError);
    TRowDatas tooManyRows(65537, TColDatas{QStringLiteral("x")});
    EXPECT_THROW(ExportGridToXls(tooManyRows, path()), ExportError);
    EXPECT_EQ(readAll(path()), before);

    // The largest label still fits.
    ExportGridToXls({{QString(32763, QChar(u'电')) + QStringLiteral("a")}}, path());
    EXPECT_EQ(readSheet(readAll(path())).labels.at({0, 0}).size(), 32764);
}

} // namespace
