#pragma once
#include "cardimage.h"
#include "cardlibrary.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace ombx {

// The card reader of this workstation, as a folder: every card is a 64-byte
// image file NAME.card in it, the file "slot" names the card lying on the
// reader (empty: none), and the file "faults" holds failures armed for the
// next calls of named functions. Every call reads the folder afresh and every
// write replaces the card image atomically, so the program and the ombx-card
// tool can share one reader.
class VirtualCardReader : public CardLibrary {
public:
    explicit VirtualCardReader(const QString& folder);

    // OMBX_READER when set, else the folder Reader beside the program.
    static QString defaultFolder(const QString& programDir);
    QString folder() const { return m_folder; }

    // Managing the cards (the tool, tests). Names are letters, digits, '-' and '_'.
    bool newCard(const QString& name, QString* error = nullptr);
    bool insert(const QString& name, QString* error = nullptr);
    bool remove();
    QString cardOnReader() const;
    QStringList cards() const;
    std::optional<CardImage> readCard(const QString& name) const;
    bool writeCard(const QString& name, const CardImage& card) const;
    // The next `count` calls of `function` fail with its failure value.
    // false when the reader folder cannot be written.
    bool failNext(const QString& function, int count = 1);
    // Makes the folder usable and, when it holds no card at all, puts `blanks`
    // blank cards card1..cardN in it with card1 on the reader. Idempotent.
    bool setup(int blanks = 3, QString* error = nullptr);

    static bool validName(const QString& name);

    int OpenUSB() override;
    int CloseUSB() override;
    int GetCardType() override;
    int M_ReadType() override;
    int M_SetType(int type) override;
    int GetUserNo() override;
    int GetBurNo() override;
    int GetKWH() override;
    int GetValiFlag() override;
    int GetWarn1() override;
    int GetWarn2() override;
    int ReadPassword(unsigned char* first, unsigned char* second) override;
    int ReadUserNo() override;
    int ReadBuyTimes() override;
    int ReadWarn1() override;
    int ReadWarn2() override;
    int ReadBureadNo() override;
    double SanReadAckkwh() override;
    double SanReadAUkwh() override;
    int WriteUserKWH(int kwh, int index, int user) override;
    int WriteNewUser(int warn1, int warn2, int capacity, int user, int bureau) override;
    int WriteValiflag(int flag) override;
    int WriteBurNo(int bureau) override;
    int WriteWarn1(int warn1) override;
    int WriteWarn2(int warn2) override;
    int WriteCapacity(int capacity) override;
    int WriteTestCard(int kwh) override;
    int WriteReset() override;
    int ClearCard() override;

private:
    QString cardPath(const QString& name) const;
    bool takeFault(const char* function);
    template <typename R> R read(const char* function, R failure, const std::function<R(const CardImage&)>& f);
    int write(const char* function, const std::function<bool(CardImage&)>& change);

    QString m_folder;
    bool m_open = false;
};

} // namespace ombx
