#pragma once
#include "virtualreader.h"

#include <QString>

namespace ombx {

// A customer's prepaid meter, played against a card of the virtual reader.
// Its state (remaining and used energy, the purchase indices it has taken) is
// kept in the reader folder, one file per customer number. A new meter (after
// a meter change, whose purchase index starts again at 0) starts empty.
class Meter {
public:
    struct Result {
        bool ok = false;           // false: the card could not be used at all
        QString message;           // what the meter did, or why it refused
        bool tookPurchase = false;
    };

    struct Use {
        double useKwh = 0;     // energy drawn after the card was read, never below empty
        double tamperKwh = 0;  // used energy reported on top, not drawn from what was sold (a tampered meter)
        bool newMeter = false; // the customer's meter was replaced: start from an empty meter
    };

    explicit Meter(VirtualCardReader& reader) : m_reader(reader) {}

    // The customer inserts card `name` into the meter: the meter takes a
    // valid purchase bound to it, runs as `use` says, and writes its figures
    // back onto the card.
    Result insertCard(const QString& name, const Use& use);
    Result insertCard(const QString& name); // nothing used

private:
    VirtualCardReader& m_reader;
};

} // namespace ombx
