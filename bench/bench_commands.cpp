// The time per div of n × ("Új Div", type the three edits, "KÉSZ") through the real window,
// at n = 1,000 and n = 16,000: the two agree when no command grows with the number of divs.

#include "BenchWindow.h"
#include "Comparison.h"

#include <QTest>

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

} // namespace

int main(int argc, char* argv[])
{
    BenchApplication application(argc, argv);
    return runBenchmarks(argc, argv,
                         {{"commands: per div at 16,000 / at 1,000",
                           "BM_NewDivs/16000/iterations:1/repeats:3_median",
                           "BM_NewDivs/1000/iterations:1/repeats:3_median", 1.5, "per_div"}});
}
