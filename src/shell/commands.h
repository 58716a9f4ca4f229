#pragma once

namespace ombx {

struct AppContext;
class TFmmain;

// Wires every command the program has into the main window's entries.
void wireCommands(TFmmain& main, AppContext& ctx);

} // namespace ombx
