// The commands themselves at scale: "Új Div" with the edits set, then "KÉSZ", and the repaint
// they cause, in a window holding 1,000 and one holding 100,000 divs, run by run in turn.

#include "BenchWindow.h"
#include "Figures.h"

#include <filesystem>

int main(int argc, char* argv[])
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
    BenchApplication application(argc, argv);
    auto small = showBenchWindowWith(1'000, folder);
    auto large = showBenchWindowWith(100'000, folder);
    // The first of each shows the panels; from the second on, each run is like the next.
    oneMoreDiv(*small);
    oneMoreDiv(*large);
    const auto [atSmall, atLarge] = alternatedMedians(
        301, [&] { return oneMoreDiv(*small); }, [&] { return oneMoreDiv(*large); });
    const bool held = report({"Új Div + KÉSZ + repaint, 1,000 divs (ms)", atSmall})
        & report({"Új Div + KÉSZ + repaint: 100,000 / 1,000 divs", atLarge / atSmall, 1.2});
    return held ? 0 : 1;
}
