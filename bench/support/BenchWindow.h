#pragma once

#include "platform/Application.h"
#include "ui/Unit1.h"

#include <memory>

// The program's application object for a benchmark's main: Qt's offscreen platform (unless
// QT_QPA_PLATFORM says otherwise), and no message box or dialog. Any of them stops the
// benchmark, since the benchmarks drive only commands that show none: one means a fault.
class BenchApplication
{
public:
    BenchApplication(int& argc, char** argv);

private:
    TApplication application;
};

// A main window, shown; needs the BenchApplication.
std::unique_ptr<TForm1> showBenchWindow();
