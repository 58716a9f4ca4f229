#pragma once

namespace ombx {

// The card reader/writer as the program drives it: one call per card
// function, each acting on the card lying on the reader at that moment.
// Failures are results, never exceptions: -1 (or a value the function names)
// for a communication failure or no card.
class CardLibrary {
public:
    virtual ~CardLibrary() = default;

    virtual int OpenUSB() = 0;                 // 1 or more: opened
    virtual int CloseUSB() = 0;

    virtual int GetCardType() = 0;             // 0 blank, 1 customer, 2 test, 3 reset, else failure
    virtual int M_ReadType() = 0;              // 2: customer card of this system
    virtual int M_SetType(int type) = 0;       // -1 failure
    virtual int GetUserNo() = 0;               // 0 none, -1 failure
    virtual int GetBurNo() = 0;                // 0 none, -1 failure
    virtual int GetKWH() = 0;                  // negative: failure
    virtual int GetValiFlag() = 0;             // 0 not yet taken by the meter, 255 taken, -1 failure
    virtual int GetWarn1() = 0;                // alarm level in tens of kWh; 0 or less: failure
    virtual int GetWarn2() = 0;                // cut-off level in kWh; 0 or less: failure
    virtual int ReadPassword(unsigned char* first, unsigned char* second) = 0; // -1 or less: failure

    // What the meter wrote back onto the card.
    virtual int ReadUserNo() = 0;
    virtual int ReadBuyTimes() = 0;
    virtual int ReadWarn1() = 0;
    virtual int ReadWarn2() = 0;
    virtual int ReadBureadNo() = 0;            // 0 none, -1 failure
    virtual double SanReadAckkwh() = 0;        // remaining kWh
    virtual double SanReadAUkwh() = 0;         // used kWh

    virtual int WriteUserKWH(int kwh, int index, int user) = 0;                          // -1 or less: failure
    virtual int WriteNewUser(int warn1, int warn2, int capacity, int user, int bureau) = 0; // -1 failure
    virtual int WriteValiflag(int flag) = 0;
    virtual int WriteBurNo(int bureau) = 0;
    virtual int WriteWarn1(int warn1) = 0;
    virtual int WriteWarn2(int warn2) = 0;
    virtual int WriteCapacity(int capacity) = 0;
    virtual int WriteTestCard(int kwh) = 0;
    virtual int WriteReset() = 0;
    virtual int ClearCard() = 0;
};

} // namespace ombx
