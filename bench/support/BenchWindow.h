#pragma once

#include "platform/Application.h"
#include "ui/Unit1.h"

#include <QTemporaryDir>

#include <filesystem>
#include <memory>

// The program's application object for a benchmark's main: Qt's offscreen platform (unless
// QT_QPA_PLATFORM says otherwise), and no message box or dialog but an open dialog given its
// answer; nothing remembered from or for the person's own windows. Any other stops the benchmark, since the benchmarks drive only commands that show
// none: one means a fault.
class BenchApplication
{
public:
    BenchApplication(int& argc, char** argv);

private:
    QTemporaryDir settingsHome;   // what a window remembers stays in the benchmark
    TApplication application;
};

// A main window (of a benchmark's own class, if given), shown; needs the BenchApplication.
std::unique_ptr<TForm1> showBenchWindow(std::unique_ptr<TForm1> window = std::make_unique<TForm1>());

// From now on the open dialog answers with this file; no other dialog is expected.
void answerOpenDialogWith(const std::string& path);

// Makes `window` the active window, as the person's is while they work in it, and paints
// what any window has left to paint. A benchmark that turns between windows measures each in
// turn this way: in an inactive window the focus moves without the focus frame following
// it, so a command there costs less than in the active one.
void activate(QWidget& window);

// What a command posted, handled, and `window`'s frame painted now. The platform paints a
// window at its next update tick, a few milliseconds on: after the measure, or inside the
// next one's, which would be another window's when a benchmark turns between two.
void toTheFrame(QWidget& window);

// In the active window: "Új Div" with the edits set, then "KÉSZ", and the repaint they
// cause: milliseconds.
double oneMoreDiv(TForm1& window);

// A main window, shown, holding `divCount` divs: a stylesheet saved in `folder` and opened
// through "Megnyitás".
std::unique_ptr<TForm1> showBenchWindowWith(int divCount, const std::filesystem::path& folder);
