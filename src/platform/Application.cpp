#include "platform/Application.h"

#include "platform/Events.h"
#include "platform/FocusFrame.h"

#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

TApplication* Application = nullptr;

namespace {

// The signal handler only writes a byte here; the event loop reads it.
int endRequestPipe[2] = {-1, -1};

extern "C" void requestEnd(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(endRequestPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : argc(argc), argv(argv), previous(Application)
{
    Application = this;
    // A write over the file-size limit, or to a pipe whose reader has gone, is a failed
    // write (EFBIG, EPIPE) that the save reports and recovers from, not the program's end.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

TApplication::~TApplication()
{
    mainForm.reset();
    if (endRequests) {
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGHUP, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        endRequests.reset();
    }
    Application = previous;
}

void TApplication::Initialize()
{
    if (QCoreApplication::instance() == nullptr)
        qtApplication = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Prizmo"));
    QGuiApplication::setDesktopFileName(QStringLiteral("prizmo"));   // matches prizmo.desktop
    translateQtTexts();
    addDesignedFaces();
    FocusFrame::followFocus();
}

// Wine's Tahoma (Debian's fonts-wine) has the designed face's measures, so that the labels
// fit the places they were designed for; where it is missing, the look-alikes serve.
void TApplication::addDesignedFaces()
{
    if (designedFaceAdded)
        return;
    // Only the regular face: nothing in the window is in bold Tahoma.
    const QString tahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    designedFaceAdded = QFile::exists(tahoma) && QFontDatabase::addApplicationFont(tahoma) >= 0;
}

// The dialogs' own texts follow the person's language, as the system's dialogs do, wherever
// Qt's translations are installed.
void TApplication::translateQtTexts()
{
    if (qtTranslator)
        return;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(translator.get()))
        qtTranslator = std::move(translator);
}

void TApplication::Run()
{
    if (terminated)
        return;
    if (mainForm)
        mainForm->show();
    QApplication::exec();
}

void TApplication::ProcessMessagesExceptInput()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TApplication::Terminate()
{
    terminated = true;
    QCoreApplication::quit();
}

void TApplication::OnEndRequest(TNotifyEvent handler)
{
    if (endRequestPipe[0] < 0 && ::pipe2(endRequestPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    endRequests = std::make_unique<QSocketNotifier>(endRequestPipe[0], QSocketNotifier::Read);
    QObject::connect(endRequests.get(), &QSocketNotifier::activated, [handler = std::move(handler)] {
        char bytes[16];
        while (::read(endRequestPipe[0], bytes, sizeof bytes) > 0) {
        }
        RunGuarded(handler);
    });
    struct sigaction action = {};
    action.sa_handler = requestEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);   // Ctrl+C in the terminal that started Prizmo
}

void TApplication::EndNow()
{
    terminated = true;
    QCoreApplication::exit(0);
}

void TApplication::ShowException(std::exception_ptr exception) const
{
    ::ShowException(exception);
}
