// The recovery file: how long writing it holds up the GUI thread (making its text there;
// the safe write itself runs on the writing thread), at 20 and at 100,000 divs, and how long
// the whole write takes.

#include "BenchWindow.h"
#include "Figures.h"

#include "recovery/RecoveryKeeper.h"

#include <filesystem>

namespace {

struct Times {
    double onTheGuiThread, whole;
};

Times writeTheRecoveryFile(TForm1& window)
{
    Times times{};
    times.whole = millisecondsOf([&] {
        times.onTheGuiThread = millisecondsOf([&] { window.Recovery->writeInBackground(); });
        window.Recovery->waitForWrites();
    });
    return times;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
    BenchApplication application(argc, argv);
    bool held = true;
    for (const int divCount : {20, 100'000}) {
        auto window = showBenchWindowWith(divCount, folder);
        oneMoreDiv(*window);   // unsaved now
        std::vector<double> gui, whole;
        for (int run = 0; run < 21; ++run) {
            const Times times = writeTheRecoveryFile(*window);
            gui.push_back(times.onTheGuiThread);
            whole.push_back(times.whole);
        }
        const std::string at = std::to_string(divCount) + " divs";
        held &= report({"recovery file on the GUI thread, " + at + " (ms)", median(gui), divCount == 20 ? 1.0 : 20.0});
        held &= report({"recovery file written whole, " + at + " (ms)", median(whole)});
    }
    return held ? 0 : 1;
}
