#pragma once

namespace pellorin {

// Run before the application object exists. In a Wayland session Qt looks
// for its Wayland plugin first and, where that is not installed, warns at
// every start before it falls back to XWayland; here the fallback is chosen
// outright instead, so the start stays quiet. A platform the user named
// (QT_QPA_PLATFORM, -platform) is left alone, and so is a session where the
// plugin is there.
void chooseWindowSystem(int argc, const char* const* argv);

} // namespace pellorin
