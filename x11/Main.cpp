// orvane: the saver's effect as an X11 display program for screen-saver
// hosts (XScreenSaver, XSecureLock) or in a window of its own.
#include <cstdio>
#include <cstdlib>

#include "x11/Options.h"
#include "x11/X11Saver.h"

int main(int argc, char** argv) {
    CommandLine line;
    const ParseResult parsed = ParseCommandLine(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), &line);
    if (parsed.status == ParseStatus::Error) {
        std::fprintf(stderr, "orvane: %s\n", parsed.message.c_str());
        return 1;
    }
    if (parsed.status == ParseStatus::Help) {
        std::fputs(HelpText("orvane").c_str(), stdout);
        return 0;
    }
    CX11Saver saver(line);
    return saver.Run();
}
