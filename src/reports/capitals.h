#pragma once
#include <QString>

namespace ombx {

// The amount of money in Chinese capital numerals, as the receipt states the
// sum paid a second time: 53.5 gives 伍拾叁元伍角, 10000 gives 壹万整, 0 gives
// 零元整. A whole amount ends in 整; an amount with 角 or 分 never does.
//
// Throws ConversionError for an amount that is not a whole number of cents
// (0.005), that is not a finite number, or whose integer part has more than
// seventeen digits: such an amount has no correct capitals, and a wrong text
// on a receipt is worse than none.
QString amountInCapitals(double amount);

} // namespace ombx
