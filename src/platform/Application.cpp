#include "platform/Application.h"

#include "platform/Events.h"

TApplication* Application = nullptr;

TApplication::TApplication(int& argc, char** argv) : argc(argc), argv(argv), previous(Application)
{
    Application = this;
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
}

void TApplication::Run()
{
    if (terminated)
        return;
    if (mainForm)
        mainForm->show();
    QApplication::exec();
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
