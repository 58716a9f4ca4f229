#pragma once
#include "cardchecks.h"
#include "mainwindow.h"

#include <functional>

namespace ombx {

struct AppContext;

// A card command of the main window: the card checks of that command run
// first, in their order and with their messages; only a card that passes
// reaches `open`, which is given what the checks established (the customer
// number for a sale, the carried kWh for a meter change, ...).
TFmmain::Command afterCardChecks(AppContext& ctx, checks::CardCommand command,
                                 std::function<void(const checks::Passed&)> open);

// The usual case: a card window made with (ctx, parent), opened modally
// after the checks and destroyed when it closes.
template <typename Window>
TFmmain::Command cardWindow(TFmmain& main, AppContext& ctx, checks::CardCommand command)
{
    return afterCardChecks(ctx, command, [&main, &ctx](const checks::Passed&) {
        Window window(ctx, &main);
        window.exec();
    });
}

} // namespace ombx
