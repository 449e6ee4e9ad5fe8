#pragma once

namespace trekora {

// The names the program runs under: "trekora" for the settings store, and,
// for the desktop, the id of its installed menu entry and icon. No display
// name is set: the platform would append it to every window title, and the
// main window's title is its own.
void nameApplication();
void nameDesktopApplication();

} // namespace trekora
