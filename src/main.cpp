#include "platform/Application.h"
#include "platform/Events.h"
#include "ui/Unit1.h"

#include <QCommandLineParser>
#include <QMetaObject>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// prizmo [FILE]: --help, --help-all and --version answer on standard output; a FILE is
// opened once the window is up, as "Megnyitás" would open it.
enum class Start { Window, Answered, Refused };

// The words that are no option, as the command line's own bytes: a file name need not be
// UTF-8, and turning it into text and back would lose it. Qt's own options have gone from
// argv by now.
std::vector<std::string> namesGiven(int argc, char** argv)
{
    std::vector<std::string> names;
    bool optionsEnded = false;
    for (int at = 1; at < argc; ++at) {
        const char* word = argv[at];
        if (!optionsEnded && std::strcmp(word, "--") == 0)
            optionsEnded = true;
        else if (optionsEnded || word[0] != '-' || word[1] == '\0')
            names.emplace_back(word);
    }
    return names;
}

Start readCommandLine(int argc, char** argv, std::string& fileToOpen)
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
    if (parser.isSet(QStringLiteral("help-all")))
        parser.process(QCoreApplication::arguments());   // prints Qt's options too, and exits
    if (parser.isSet(help) || parser.isSet(version)) {
        const QString answer = parser.isSet(help)
            ? parser.helpText()
            : QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        std::fputs(answer.toLocal8Bit().constData(), stdout);
        return Start::Answered;
    }
    const std::vector<std::string> names = namesGiven(argc, argv);
    if (names.size() > 1) {
        std::fputs("Egyszerre csak egy stíluslapot nyithatok meg.\n", stderr);
        return Start::Refused;
    }
    if (!names.empty())
        fileToOpen = names.front();
    return Start::Window;
}

} // namespace

int main(int argc, char* argv[])
{
    TApplication application(argc, argv);
    try {
        Application->Initialize();
        QCoreApplication::setApplicationVersion(QStringLiteral(PRIZMO_VERSION));
        std::string fileToOpen;
        switch (readCommandLine(argc, argv, fileToOpen)) {
        case Start::Answered: return 0;
        case Start::Refused: return 2;
        case Start::Window: break;
        }
        Application->CreateForm(Form1);
        Application->OnEndRequest([] { Form1->endBySignal(); });
        // Over the window; a file named at start opens only once the question is answered,
        // not from inside the question's own event loop.
        QMetaObject::invokeMethod(
            Form1,
            [file = fileToOpen] {
                RunGuarded([] { Form1->offerRecovery(); });
                if (!file.empty() && !Application->Terminated())
                    Form1->runCommand("Megnyitás", [&file] { Form1->openAtStart(file); });
            },
            Qt::QueuedConnection);
        Application->Run();
    } catch (...) {
        ShowException(std::current_exception());
    }
    return 0;
}
