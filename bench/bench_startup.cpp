// Start-up: from starting the process to its first painted frame, for the real program (its
// own main) and for a bare main window with a two-menu bar, run by run in turn, median of 41
// runs each; on an X server (Xvfb, which this starts) and on Qt's offscreen platform.

#include "Figures.h"
#include "Probe.h"
#include "XServer.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {

constexpr int runs = 41;

// A run that painted no frame (a start the X server turned away) is tried twice more.
double millisecondsToFirstFrame(const char* probe)
{
    double milliseconds = -1;
    for (int attempt = 0; attempt < 3 && milliseconds < 0; ++attempt)
        milliseconds = runProbe(probe).milliseconds;
    return milliseconds;
}

bool compare(const char* platform, double limit)
{
    std::vector<double> prizmo, bare;
    for (int run = 0; run < runs; ++run) {
        prizmo.push_back(millisecondsToFirstFrame(PRIZMO_STARTUP_PROBE));
        bare.push_back(millisecondsToFirstFrame(BARE_WINDOW_PROBE));
        if (prizmo.back() < 0 || bare.back() < 0) {
            std::printf("start-up on %s: a probe painted no frame\n", platform);
            return false;
        }
    }
    const double ours = median(prizmo), theirs = median(bare);
    const std::string where = std::string(" on ") + platform;
    return report({"start-up to first frame" + where + ", prizmo (ms)", ours})
        & report({"start-up to first frame" + where + ", bare window (ms)", theirs})
        & report({"start-up to first frame" + where + ": prizmo / bare", ours / theirs, limit});
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);   // for QProcess
    bool held = true;
    {
        XServer x;
        if (x.display) {
            ::setenv("DISPLAY", x.display->c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "xcb", 1);
            held = compare("Xvfb", 1.10) && held;
        } else {
            held = reportNotMeasured("start-up to first frame on Xvfb: prizmo / bare", x.failure) && held;
        }
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    held = compare("offscreen", 1.15) && held;
    return held ? 0 : 1;
}
