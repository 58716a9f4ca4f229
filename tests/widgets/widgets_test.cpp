#include "digitedit.h"
#include "forms.h"
#include "qtprompter.h"
#include "translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace ombx;

TEST(DigitEdit, LetsOnlyDigitsIn)
{
    DigitEdit edit;
    QTest::keyClicks(&edit, "12a.3-4 5");
    EXPECT_EQ(edit.text(), QString("12345"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QString("1234"));
}

TEST(Forms, TheCaptionIsTheBuddyOfItsField)
{
    QWidget w;
    auto* form = new QFormLayout(&w);
    auto* field = new DigitEdit(&w);
    QLabel* label = addRow(form, "购电量：", field, "kWh");
    EXPECT_EQ(label->buddy(), field);
    EXPECT_EQ(field->accessibleName(), QString("购电量"));
    EXPECT_EQ(makeButton("购电", "BitBtn1", {}, &w)->accessibleName(), QString("购电"));
}

// A question is a box titled "提示" whose buttons read 确定 and 取消 on any
// machine; OK answers true, Cancel false.
TEST(QtPrompter, QuestionsAreChineseOkCancelBoxes)
{
    ASSERT_TRUE(installChineseTranslations(*QCoreApplication::instance()));
    QtPrompter prompter;
    for (bool ok : {true, false}) {
        QString title;
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
        });
        EXPECT_EQ(prompter.question("是否进行数据备份？"), ok);
        EXPECT_EQ(title, QString("提示"));
        buttons.sort();
        EXPECT_EQ(buttons, (QStringList{"取消", "确定"}));
    }
}
