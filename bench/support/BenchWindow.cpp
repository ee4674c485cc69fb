#include "BenchWindow.h"

#include "BenchStyleSheet.h"
#include "Figures.h"

#include "platform/Interaction.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>

#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace {

class NoInteraction : public Interaction
{
public:
    void showMessage(const std::string& text, const std::string&) override { stop("message", text); }
    void showException(const std::string& text) override { stop("exception report", text); }
    SaveAnswer askToSave(const std::string& text) override { stop("question", text); }
    YesNoAnswer askYesNo(const std::string& text) override { stop("question", text); }
    ChoiceAnswer askChoice(const std::string& text, const std::string&, const std::string&, const std::string&) override
    {
        stop("question", text);
    }
    std::optional<TColor> chooseColor(QWidget*, TColor) override
    {
        stop("colour dialog", {});
    }
    std::optional<std::string> chooseFile(QWidget*, const FileDialogRequest& request) override
    {
        if (request.kind != FileDialogKind::Open || fileToOpen.empty())
            stop("file dialog", {});
        return fileToOpen;
    }
    // As the window waits: asleep in its event loop until the work's end wakes it, so that
    // the wait takes no core from the work.
    void waitWithProgress(const std::string&, WorkProgress&, const std::function<bool()>& finished) override
    {
        while (!finished())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
    }

    std::string fileToOpen;

private:
    [[noreturn]] static void stop(const char* what, const std::string& text)
    {
        std::fprintf(stderr, "benchmark stopped: unexpected %s \"%s\"\n", what, text.c_str());
        std::abort();
    }
};

void dropOffscreenNoise(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    // What the offscreen platform says it cannot do for windows and popups.
    static const char* const offscreenLimits[] = {"propagateSizeHints", "does not support raise",
                                                  "does not support grabbing"};
    for (const char* limit : offscreenLimits)
        if (message.contains(QLatin1String(limit)))
            return;
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

BenchApplication::BenchApplication(int& argc, char** argv) : application(argc, argv)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsHome.path()));
    qputenv("XDG_STATE_HOME", QFile::encodeName(settingsHome.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(dropOffscreenNoise);
    Interaction::install(std::make_unique<NoInteraction>());
    application.Initialize();
}

std::unique_ptr<TForm1> showBenchWindow(std::unique_ptr<TForm1> window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) {
        std::fprintf(stderr, "benchmark stopped: the window was never shown\n");
        std::abort();
    }
    return window;
}

void answerOpenDialogWith(const std::string& path)
{
    static_cast<NoInteraction&>(Interaction::current()).fileToOpen = path;
}

std::unique_ptr<TForm1> showBenchWindowWith(int divCount, const std::filesystem::path& folder)
{
    const std::string path = (folder / ("bench-window-" + std::to_string(divCount) + ".css")).string();
    if (!saveBenchStyleSheet(makeBenchStyleSheet(divCount), path)) {
        std::fprintf(stderr, "benchmark stopped: the stylesheet could not be saved\n");
        std::abort();
    }
    auto window = showBenchWindow();
    answerOpenDialogWith(path);
    window->Megynits1->trigger();
    std::filesystem::remove(path);
    return window;
}

namespace {

// What the window has left to paint, painted now, as at the platform's next update tick.
void paintNow(QWidget& window)
{
    QEvent updateRequest(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(window.window(), &updateRequest);
}

} // namespace

void activate(QWidget& window)
{
    if (QApplication::activeWindow() != &window) {
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) {
            std::fprintf(stderr, "benchmark stopped: the window never became active\n");
            std::abort();
        }
    }
    // Nothing left over from before, of this window or another, is painted in the measure.
    QCoreApplication::processEvents();
    for (QWidget* each : QApplication::topLevelWidgets())
        if (each->isVisible())
            paintNow(*each);
}

void toTheFrame(QWidget& window)
{
    QCoreApplication::processEvents();
    paintNow(window);
}

double oneMoreDiv(TForm1& window)
{
    activate(window);
    return millisecondsOf([&] {
        window.jDiv1->trigger();
        window.Edit1->SetText("250");
        window.Edit2->SetText("120");
        window.Edit3->SetText("16");
        window.Button3->click();
        toTheFrame(window);
    });
}
