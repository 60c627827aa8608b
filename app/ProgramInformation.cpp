#include "ProgramInformation.h"

#include <cstdio>
#include <string_view>

namespace pellorin {

namespace {

constexpr std::string_view kUsage = R"(Usage: pellorin [--help | --version]

Opens the Pellorin window, which makes batches of well-formed test
payment-card numbers. Other arguments are ignored.

Environment:
  QT_QPA_PLATFORM  the window system: xcb (X11, or XWayland in a Wayland
                   session) or wayland; unset, a Wayland session without
                   Qt's Wayland plugin (package qt6-wayland) gets xcb
  XDG_CONFIG_HOME  holds Quillmere/Pellorin.ini, the brand and quantity
                   last chosen (~/.config when unset)

The same numbers for scripts come from pellorin-cli (see pellorin-cli --help).
)";

} // namespace

std::optional<int> answerInformationRequest(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version") {
            std::printf("pellorin %s\n", PELLORIN_VERSION);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (argument == "--help") {
            std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    return std::nullopt;
}

} // namespace pellorin
