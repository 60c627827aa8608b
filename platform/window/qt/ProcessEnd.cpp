#include "ProcessEnd.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace pellorin {

void endProcessNow()
{
    std::fflush(nullptr);
    // _Exit rather than exit: nested event loops and handlers in the middle
    // of their work must not carry on, and the operating system releases the
    // windows, files and connections.
    std::_Exit(EXIT_SUCCESS);
}

void ignoreWriteSignals()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace pellorin
