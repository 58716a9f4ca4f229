#include "cardcommand.h"

#include "appcontext.h"

namespace ombx {

TFmmain::Command afterCardChecks(AppContext& ctx, checks::CardCommand command,
                                 std::function<void(const checks::Passed&)> open)
{
    return [&ctx, command, open = std::move(open)] {
        const checks::Passed passed = checks::forCommand(command, *ctx.card, *ctx.db, *ctx.prompter, ctx.bureau);
        if (passed.ok)
            open(passed);
    };
}

} // namespace ombx
