// The time per div of n × ("Új Div", type the three edits, "KÉSZ") through the real window,
// at n = 1,000 and n = 16,000: the two agree when no command grows with the number of divs.
// Then every command once, counting how often the window showed its state after each.

#include "BenchStyleSheet.h"
#include "BenchWindow.h"
#include "Comparison.h"
#include "Figures.h"

#include <QTest>

#include <algorithm>
#include <filesystem>
#include <functional>

#include <benchmark/benchmark.h>

namespace {

void typeInto(TEdit* edit, const char* text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromLatin1(text));
}

void BM_NewDivs(benchmark::State& state)
{
    const auto count = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        auto window = showBenchWindow();
        TForm1& form = *window;
        state.ResumeTiming();

        for (std::int64_t number = 0; number < count; ++number) {
            form.jDiv1->trigger();
            typeInto(form.Edit1, "250");
            typeInto(form.Edit2, "120");
            typeInto(form.Edit3, "16");
            QTest::mouseClick(form.Button3, Qt::LeftButton);
        }

        state.PauseTiming();
        if (form.lastDiv != count - 1 || form.ComboBox3->count() != count)
            state.SkipWithError("the divs were not all made");
        window.reset();
        state.ResumeTiming();
    }
    state.counters["per_div"] = benchmark::Counter(
        static_cast<double>(count),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_NewDivs)->Arg(1'000)->Arg(16'000)->Iterations(1)->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

// The window shows its state once per run of refreshView, and tells its followers there.
struct RefreshCount : StyleSheetFollower {
    int runs = 0;
    void follow(const StyleSheetChange&) override { ++runs; }
};

// The most refreshView runs any one command caused.
bool refreshesPerCommand()
{
    const std::string path = (std::filesystem::temp_directory_path() / "prizmo-every-command.css").string();
    if (!saveBenchStyleSheet(makeBenchStyleSheet(20), path))
        return reportNotMeasured("refreshView runs per command", "no stylesheet to open");
    answerOpenDialogWith(path);
    auto window = showBenchWindow();
    TForm1& form = *window;
    RefreshCount count;
    form.addFollower(&count);
    const std::function<void()> commands[] = {
        [&] { form.Megynits1->trigger(); },
        [&] { form.runCommand("megnyitás", [&] { form.reopenRule({Rule::Kind::Body, -1}); }); },
        [&] { typeInto(form.Edit3, "18"); QTest::mouseClick(form.Button3, Qt::LeftButton); },
        [&] { form.jDiv1->trigger(); },
        [&] { typeInto(form.Edit1, "250"); QTest::mouseClick(form.Button3, Qt::LeftButton); },
        [&] { form.Ments1->trigger(); },
        [&] { form.ComboBox3->SetItemIndex(3); form.ComboBox4->SetItemIndex(1); QTest::mouseClick(form.Button4, Qt::LeftButton); },
        [&] { form.Visszavons1->trigger(); },
        [&] { form.Mgis1->trigger(); },
        [&] { form.runCommand("megnyitás", [&] { form.reopenRule({Rule::Kind::Div, 2}); }); },
        [&] { QTest::mouseClick(form.Button3, Qt::LeftButton); },
        [&] { form.Divtrlse1->trigger(); },
        [&] { form.Szablyok1->trigger(); },
        [&] { form.Szablyok1->trigger(); },
    };
    int most = 0;
    for (const auto& command : commands) {
        count.runs = 0;
        command();
        most = std::max(most, count.runs);
    }
    form.removeFollower(&count);
    std::filesystem::remove(path);
    return report({"refreshView runs per command (most of any)", static_cast<double>(most), 1.0});
}

} // namespace

int main(int argc, char* argv[])
{
    BenchApplication application(argc, argv);
    if (!refreshesPerCommand())
        return 1;
    return runBenchmarks(argc, argv,
                         {{"commands: per div at 16,000 / at 1,000",
                           "BM_NewDivs/16000/iterations:1/repeats:3_median",
                           "BM_NewDivs/1000/iterations:1/repeats:3_median", 1.5, "per_div"}});
}
