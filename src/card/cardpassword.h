#pragma once
#include <QtGlobal>

namespace ombx {

// The two bytes that bind a purchase on a card to its quantity, its place in
// the customer's purchase sequence and the customer. The card reader writes
// them with every purchase; the meter and the program recompute them.
struct CardPassword {
    quint8 customerByte = 0; // compared with the card's first password byte
    quint8 quantityByte = 0; // compared with the second
    bool operator==(const CardPassword&) const = default;
};

// kwh: purchase quantity; index: sequence index (only its low seven bits
// count, so n and n + 128 agree and -1 reads as 127); user: customer number.
// Only the hundreds and tens digits of the quantity and the last two digits of
// the customer number take part. A minus sign among those digits counts as 0.
CardPassword deriveCardPassword(qint64 kwh, qint64 index, qint64 user);

} // namespace ombx
