#include "capitals.h"
#include "errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ombx;

namespace {

struct Case {
    double amount;
    const char* text;
};

// The office's worked results, and the cases around them that the zero rules
// decide.
const Case kCases[] = {
    {0, "零元整"},
    {0.05, "零伍分"},
    {0.5, "伍角"},
    {1, "壹元整"},
    {10, "壹拾元整"},
    {101, "壹佰零壹元整"},
    {1010, "壹仟零壹拾元整"},
    {10000, "壹万整"},
    {10001, "壹万零壹元整"},
    {10000.5, "壹万伍角"},
    {1e8, "壹亿元整"},
    {1e8 + 1e4, "壹亿零壹万整"},
    {53.5, "伍拾叁元伍角"},
    {100.05, "壹佰元零伍分"},
    {1234.56, "壹仟贰佰叁拾肆元伍角陆分"},
    {-5, "负伍元整"},
    // more
    {100000, "壹拾万整"},
    {100100, "壹拾万零壹佰元整"},
    {1001000, "壹佰万壹仟元整"},
    {20.1, "贰拾元壹角"},
    {0.99, "玖角玖分"},
    {0.1, "壹角"},
    {-0.5, "负伍角"},
    {1e12, "壹万亿元整"},
    {12345678901234, "壹拾贰万叁仟肆佰伍拾陆亿柒仟捌佰玖拾万壹仟贰佰叁拾肆元整"},
    {1000000001.1, "壹拾亿零壹元壹角"},
};

TEST(Capitals, WorkedResults)
{
    for (const Case& c : kCases)
        EXPECT_EQ(amountInCapitals(c.amount), QString::fromUtf8(c.text)) << "amount " << c.amount;
}

TEST(Capitals, CentsBelowTenBeginWithZeroAndTenthsWithTheirDigit)
{
    const QString digits = QStringLiteral("壹贰叁肆伍陆柒捌玖");
    for (int c = 1; c <= 9; ++c)
        EXPECT_EQ(amountInCapitals(c / 100.0), QStringLiteral("零") + digits[c - 1] + QStringLiteral("分")) << c;
    for (int c = 10; c <= 99; ++c) {
        const QString text = amountInCapitals(c / 100.0);
        EXPECT_EQ(text[0], digits[c / 10 - 1]) << c;
        EXPECT_EQ(text[1], QChar(u'角')) << c;
    }
}

TEST(Capitals, OnlyWholeAmountsEndInZheng)
{
    for (int cents = 0; cents < 100000; cents += 37) {
        const QString text = amountInCapitals(cents / 100.0);
        EXPECT_EQ(text.endsWith(u'整'), cents % 100 == 0) << cents << " " << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("零零"))) << text.toStdString();
    }
}

TEST(Capitals, WholeWanHaveNoYuanWholeYiKeepIt)
{
    EXPECT_EQ(amountInCapitals(10000), QStringLiteral("壹万整"));
    EXPECT_EQ(amountInCapitals(100000), QStringLiteral("壹拾万整"));
    EXPECT_EQ(amountInCapitals(30000000), QStringLiteral("叁仟万整"));
    EXPECT_EQ(amountInCapitals(1e8), QStringLiteral("壹亿元整"));
    EXPECT_EQ(amountInCapitals(5e9), QStringLiteral("伍拾亿元整"));
}

TEST(Capitals, AmountsWithoutCorrectCapitalsAreErrors)
{
    for (double bad : {0.005, 53.501, 0.1 + 0.2, 1e17, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()})
        EXPECT_THROW(amountInCapitals(bad), ConversionError) << bad;
}

} // namespace
