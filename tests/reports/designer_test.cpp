#include "appcontext.h"
#include "designer.h"
#include "prompter.h"
#include "report.h"
#include "reporttemplate.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ombx;

namespace {

const QString kTemplates = QStringLiteral(OMBX_TEMPLATE_DIR);

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

TEST(DesignerData, TheStatementsGiveTheTemplatesColumnsAndNoRows)
{
    TestProgramDir dir;
    RecordingPrompter prompter;
    const auto receipt = designerData(DesignedReport::Receipt, dir.db(), prompter);
    ASSERT_TRUE(receipt);
    EXPECT_EQ(receipt->fields, (QStringList{"Usr_id", "Usr_Name", "Buy_q", "PMoney", "Invoice", "Addr", "Phone",
                                            "MtrNo", "Per_iden", "BT", "Remain", "Price_type", "Dat_Buy", "Optr",
                                            "Base_P", "Addon_p", "Plus_p", "City_p", "Sanxia_p", "Price"}));
    EXPECT_TRUE(receipt->rows.isEmpty());
    const auto purchases = designerData(DesignedReport::PurchaseReport, dir.db(), prompter);
    ASSERT_TRUE(purchases);
    EXPECT_EQ(purchases->fields.size(), 14);
    EXPECT_TRUE(prompter.entries.isEmpty());
}

TEST(DesignerData, ADatabaseErrorSaysSoAndTheCommandEnds)
{
    TestProgramDir dir;
    dir.closeDb();
    ASSERT_TRUE(QFile::remove(dir.dbDir() + QStringLiteral("/PriceType.db")));
    dir.reopenDb();
    RecordingPrompter prompter;
    AppContext ctx;
    ctx.programDir = dir.path();
    ctx.db = &dir.db();
    ctx.prompter = &prompter;
    EXPECT_FALSE(openReportDesigner(DesignedReport::Receipt, ctx));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("数据库打开失败！")});
}

class Designer : public ::testing::Test {
protected:
    Designer()
    {
        m_path = m_dir.filePath(QStringLiteral("Report/收款凭据.rtpl"));
        QDir().mkpath(m_dir.filePath(QStringLiteral("Report")));
        QFile::copy(templatePath(kTemplates, QStringLiteral("收款凭据")), m_path);
        m_data.fields = {"Usr_id", "Usr_Name", "Buy_q", "PMoney", "Invoice", "Addr", "Price_type", "MtrNo",
                         "Price", "Optr"};
    }
    QTemporaryDir m_dir;
    QString m_path;
    DataSet m_data;
    RecordingPrompter m_prompter;
};

TEST_F(Designer, OpensEditsAndSavesTheReceipt)
{
    ReportDesigner designer(m_path, m_data, {{"BigNum", "伍拾叁元伍角"}}, m_prompter);
    const QString original = readText(m_path);
    EXPECT_EQ(designer.editor()->toPlainText(), original);
    EXPECT_TRUE(designer.errorText().isEmpty());
    EXPECT_EQ(designer.previewPages(), 1);
    EXPECT_EQ(designer.previewReport().page.customSize, QSizeF(100, 58));
    // Sample values while the statement gives no rows.
    EXPECT_TRUE(designer.sampleBox()->isChecked());
    EXPECT_EQ(designer.previewReport().rows.value(0).value(1), QStringLiteral("王明"));

    QString edited = original;
    edited.replace(QStringLiteral("| 购电凭据"), QStringLiteral("| 购电收款凭据"));
    edited.replace(QStringLiteral("page 100x58 margins=2"), QStringLiteral("page A5 margins=10"));
    designer.editor()->selectAll();
    designer.editor()->insertPlainText(edited);
    designer.refresh();
    EXPECT_EQ(designer.previewReport().page.paper, Paper::A5);
    EXPECT_TRUE(designer.windowTitle().endsWith('*'));

    designer.saveButton()->click();
    EXPECT_EQ(readText(m_path), edited);
    EXPECT_FALSE(designer.windowTitle().endsWith('*'));
    EXPECT_TRUE(m_prompter.entries.isEmpty());
}

TEST_F(Designer, ShowsTheLinesItCannotReadAndStillPreviewsTheRest)
{
    ReportDesigner designer(m_path, m_data, {}, m_prompter);
    designer.editor()->setPlainText(QStringLiteral("page 100x58\n\ntext 0 0 96 7 | 购电凭据\ntxet 0 8 9 9 | 错\n"));
    designer.refresh();
    EXPECT_TRUE(designer.errorText().startsWith(QStringLiteral("第4行："))) << designer.errorText().toStdString();
    EXPECT_EQ(designer.previewReport().layout->band(ReportTemplate::Title).items.size(), 1);
    EXPECT_EQ(designer.previewPages(), 1);
}

TEST_F(Designer, AMissingTemplateStartsEmptyAndSavingCreatesIt)
{
    const QString path = m_dir.filePath(QStringLiteral("New/Report/用户购电记录.rtpl"));
    ReportDesigner designer(path, m_data, {}, m_prompter);
    EXPECT_TRUE(designer.editor()->toPlainText().isEmpty());
    EXPECT_EQ(designer.previewPages(), 1);
    designer.editor()->setPlainText(QStringLiteral("page A4\ntext 0 0 50 8 | 用户购电记录\n"));
    ASSERT_TRUE(designer.save());
    EXPECT_EQ(readText(path), QStringLiteral("page A4\ntext 0 0 50 8 | 用户购电记录\n"));
}

TEST_F(Designer, ClosingWithChangesAsksAndKeepsTheFileOnCancel)
{
    const QString original = readText(m_path);
    {
        ReportDesigner designer(m_path, m_data, {}, m_prompter);
        designer.editor()->appendPlainText(QStringLiteral("text 0 50 10 4 | 新的"));
        m_prompter.answer({false});
        designer.reject();
        EXPECT_EQ(m_prompter.texts(), QStringList{QStringLiteral("模板已修改，是否保存？")});
        EXPECT_EQ(readText(m_path), original);
    }
    {
        ReportDesigner designer(m_path, m_data, {}, m_prompter);
        designer.editor()->appendPlainText(QStringLiteral("text 0 50 10 4 | 新的"));
        m_prompter.answer({true});
        designer.reject();
        EXPECT_TRUE(readText(m_path).endsWith(QStringLiteral("| 新的")));
    }
}

TEST_F(Designer, ASaveThatFailsSaysSoAndKeepsTheEdits)
{
    ReportDesigner designer(m_dir.filePath(QStringLiteral("Report")), m_data, {}, m_prompter); // a folder
    designer.editor()->insertPlainText(QStringLiteral("page A4\n"));
    EXPECT_FALSE(designer.save());
    ASSERT_EQ(m_prompter.entries.size(), 1);
    EXPECT_EQ(m_prompter.entries[0].kind, RecordingPrompter::Entry::Error);
    EXPECT_TRUE(m_prompter.entries[0].text.startsWith(QStringLiteral("模板保存失败")));
    EXPECT_TRUE(designer.editor()->document()->isModified());
}

} // namespace
