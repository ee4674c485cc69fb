#include "platform/Application.h"
#include "platform/Events.h"
#include "ui/Unit1.h"

#include <QCommandLineParser>
#include <QMetaObject>

#include <cstdio>

namespace {

// prizmo [FILE]: --help and --version answer on standard output; a FILE is opened once the
// window is up, as "Megnyitás" would open it.
enum class Start { Window, Answered, Refused };

Start readCommandLine(QString& fileToOpen)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Egyszerű CSS stíluslap összeállítása, CSS gépelése nélkül."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("fájl"), QStringLiteral("a megnyitandó stíluslap"),
                                 QStringLiteral("[fájl]"));
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return Start::Refused;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        const QString answer = parser.isSet(help)
            ? parser.helpText()
            : QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        std::fputs(answer.toLocal8Bit().constData(), stdout);
        return Start::Answered;
    }
    if (!parser.positionalArguments().isEmpty())
        fileToOpen = parser.positionalArguments().constFirst();
    return Start::Window;
}

} // namespace

int main(int argc, char* argv[])
{
    TApplication application(argc, argv);
    try {
        Application->Initialize();
        QCoreApplication::setApplicationVersion(QStringLiteral(PRIZMO_VERSION));
        QString fileToOpen;
        switch (readCommandLine(fileToOpen)) {
        case Start::Answered: return 0;
        case Start::Refused: return 2;
        case Start::Window: break;
        }
        Application->CreateForm(Form1);
        if (!fileToOpen.isEmpty())
            QMetaObject::invokeMethod(
                Form1,
                [file = fileToOpen.toStdString()] {
                    RunGuarded([&file] { Form1->openStyleSheet(file); });
                    Form1->refreshView();
                },
                Qt::QueuedConnection);
        Application->Run();
    } catch (...) {
        ShowException(std::current_exception());
    }
    return 0;
}
