#include "platform/Application.h"

#include "platform/Events.h"

#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <csignal>

TApplication* Application = nullptr;

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

void TApplication::ShowException(std::exception_ptr exception) const
{
    ::ShowException(exception);
}
