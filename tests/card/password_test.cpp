#include "cardpassword.h"

#include <gtest/gtest.h>

using namespace ombx;

TEST(CardPassword, OnlyTheBoundDigitsCount)
{
    // Pairs that must give the same bytes: only the hundreds and tens digits of
    // the quantity, the last two digits of the customer, and the index mod 128.
    struct Same {
        qint64 k1, n1, u1, k2, n2, u2;
    } same[] = {
        {123, 5, 42, 129, 5, 42},       // units digit of the quantity
        {1234, 5, 42, 9234, 5, 42},     // thousands digit
        {123, 5, 42, 111123, 5, 42},     // higher digits
        {300, 5, 1042, 300, 5, 98742},  // customers ending in 42
        {300, 0, 7, 300, 128, 7},       // n and n + 128
        {300, -1, 7, 300, 127, 7},      // -1 reads as 127
        {7, 3, 7, 0, 3, 7},             // below 10: digits "0" and "0"
    };
    for (const auto& s : same)
        EXPECT_EQ(deriveCardPassword(s.k1, s.n1, s.u1), deriveCardPassword(s.k2, s.n2, s.u2))
            << s.k1 << "/" << s.n1 << "/" << s.u1;

    // And pairs that must differ in the byte they bind.
    EXPECT_NE(deriveCardPassword(120, 5, 42).quantityByte, deriveCardPassword(130, 5, 42).quantityByte);
    EXPECT_NE(deriveCardPassword(100, 5, 42).quantityByte, deriveCardPassword(200, 5, 42).quantityByte);
    EXPECT_NE(deriveCardPassword(100, 5, 42).customerByte, deriveCardPassword(100, 5, 43).customerByte);
    EXPECT_NE(deriveCardPassword(100, 5, 42).customerByte, deriveCardPassword(100, 6, 42).customerByte);
}

TEST(CardPassword, DigitsAreReadAsOneHexadecimalByte)
{
    // With quantity 0 and customer 0 the bytes are the table entries
    // themselves; digits then XOR in as hundreds*16+tens and tens*16+units.
    const CardPassword zero = deriveCardPassword(0, 9, 0);
    const CardPassword some = deriveCardPassword(57, 9, 1234);   // quantity digits "0","5"; customer "3","4"
    EXPECT_EQ(zero.quantityByte ^ some.quantityByte, 0x05);
    EXPECT_EQ(zero.customerByte ^ some.customerByte, 0x34);
    EXPECT_EQ(zero.quantityByte ^ deriveCardPassword(980, 9, 0).quantityByte, 0x98);
}

TEST(CardPassword, TablesAreThoseOfTheCardsInUse)
{
    // Known answers: cards already written by the reader and taken by meters
    // carry these bytes, so the tables must never change.
    struct Known {
        qint64 k, n, u;
        quint8 customer, quantity;
    } known[] = {
        {0, 0, 0, 0x44, 0xF7},
        {120, 4, 57, 0x55, 0x87},   // 0x02 ^ 0x57, 0x95 ^ 0x12
        {9, -1, 100, 0xE9, 0x34},   // last entries; "00" and "00"
    };
    for (const auto& c : known)
        EXPECT_EQ(deriveCardPassword(c.k, c.n, c.u), (CardPassword{c.customer, c.quantity})) << c.k << "/" << c.n;
}
