#pragma once
#include "virtualreader.h"

#include <QString>

namespace ombx {

// A customer's prepaid meter, played against a card of the virtual reader.
// Its state (remaining and used energy, the purchase indices it has taken) is
// kept in the reader folder, one file per customer number.
class Meter {
public:
    struct Result {
        bool ok = false;           // false: the card could not be used at all
        QString message;           // what the meter did, or why it refused
        bool tookPurchase = false;
    };

    explicit Meter(VirtualCardReader& reader) : m_reader(reader) {}

    // The customer inserts card `name` into the meter: the meter takes a
    // valid purchase bound to it, then runs `useKwh` (never below empty), adds
    // `tamperKwh` to its used energy without drawing on what was sold (a
    // tampered meter), and writes its figures back onto the card.
    Result insertCard(const QString& name, double useKwh = 0, double tamperKwh = 0);

private:
    VirtualCardReader& m_reader;
};

} // namespace ombx
