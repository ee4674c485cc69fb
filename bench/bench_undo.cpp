// Undo at scale, in a window holding 1,000 and one holding 100,000 divs, run by run in turn:
// one "Visszavonás" and one "Mégis" of an "Új Div" + "KÉSZ", with the repaint, and the heap
// a step takes at 100,000 divs (a div opened again and its "KÉSZ", two steps that change one
// record).

#include "BenchWindow.h"
#include "Figures.h"

#include <QAction>
#include <QCoreApplication>

#include <filesystem>

#include <malloc.h>

namespace {

double undoAndRedo(TForm1& window)
{
    activate(window);
    return millisecondsOf([&] {
        window.Visszavons1->trigger();
        window.Mgis1->trigger();
        toTheFrame(window);
    });
}

double bytesPerStep(TForm1& window)
{
    constexpr int pairs = 200;
    const std::size_t before = mallinfo2().uordblks;
    for (int i = 0; i < pairs; ++i) {
        window.runCommand("megnyitás", [&] { window.reopenRule({Rule::Kind::Div, window.lastDiv / 2}); });
        window.Edit1->SetText(std::to_string(300 + i % 2));
        window.Button3->click();
    }
    return static_cast<double>(mallinfo2().uordblks - before) / (2 * pairs);
}

} // namespace

int main(int argc, char* argv[])
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
    BenchApplication application(argc, argv);
    auto small = showBenchWindowWith(1'000, folder);
    auto large = showBenchWindowWith(100'000, folder);
    oneMoreDiv(*small);
    oneMoreDiv(*large);
    undoAndRedo(*small);
    undoAndRedo(*large);
    const auto [atSmall, atLarge] = alternatedMedians(
        301, [&] { return undoAndRedo(*small); }, [&] { return undoAndRedo(*large); });
    const double perStep = bytesPerStep(*large);
    const bool held = report({"Visszavonás + Mégis + repaint, 1,000 divs (ms)", atSmall})
        & report({"Visszavonás + Mégis: 100,000 / 1,000 divs", atLarge / atSmall, 1.2})
        & report({"heap of one step changing one div, 100,000 divs (bytes)", perStep, 4096.0 + 2 * sizeof(DivStyle)});
    return held ? 0 : 1;
}
