#pragma once

namespace sayolt {

// Asks the window manager to show the desktop (EWMH _NET_SHOWING_DESKTOP on X11). Best effort:
// on Wayland, offscreen or without a QGuiApplication nothing happens. False when not sent.
bool showDesktop();

}  // namespace sayolt
