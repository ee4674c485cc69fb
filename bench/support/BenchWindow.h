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

// "Új Div" with the edits set, then "KÉSZ", and the repaint they cause: milliseconds.
double oneMoreDiv(TForm1& window);

// A main window, shown, holding `divCount` divs: a stylesheet saved in `folder` and opened
// through "Megnyitás".
std::unique_ptr<TForm1> showBenchWindowWith(int divCount, const std::filesystem::path& folder);
