// prizmo-preview: the editor's live preview in Qt WebEngine, in a process of its own so that
// the editor never loads the engine. It reads the editor's messages from standard input and
// answers on standard output; the end of its input ends it.

#include "PreviewAccessibility.h"
#include "PreviewWindow.h"
#include "preview/PreviewMessages.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

void tellEditor(const QJsonObject& message)
{
    const QByteArray line = messageLine(message);
    for (qsizetype written = 0; written < line.size();) {
        const ssize_t now = ::write(STDOUT_FILENO, line.constData() + written, static_cast<size_t>(line.size() - written));
        if (now < 0 && errno == EINTR)
            continue;
        if (now <= 0)
            return;   // the editor is gone; the end of input ends this process
        written += now;
    }
}

QRect rectangleFrom(const QString& text)
{
    const QStringList numbers = text.split(QLatin1Char(','));
    if (numbers.size() != 4)
        return {0, 0, 640, 480};
    return {numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt(), numbers[3].toInt()};
}

} // namespace

int main(int argc, char* argv[])
{
    // Chromium will not start as root with its sandbox on; it is turned off only on purpose.
    if (geteuid() == 0 && qgetenv("QTWEBENGINE_DISABLE_SANDBOX") != "1") {
        tellEditor({{QStringLiteral("failed"), QStringLiteral("root without QTWEBENGINE_DISABLE_SANDBOX=1")}});
        return 3;
    }
    std::signal(SIGPIPE, SIG_IGN);   // an editor gone is the end of input, not a signal
    // A change shows in the frame drawn at once, not at the next tick of a 60 Hz clock; a page
    // without animations asks for no frames between changes, so this costs nothing at rest.
    // The preview's script may ask for a collection after it rebuilds the page (the page
    // shown runs no script of its own).
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --disable-frame-rate-limit --js-flags=--expose-gc");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    listOnlyShownWindowsForScreenReaders();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("prizmo-preview"));
    QApplication::setDesktopFileName(QStringLiteral("prizmo"));

    QCommandLineParser parser;
    const QCommandLineOption place(QStringLiteral("place"), QStringLiteral("Where the window opens: x,y,width,height."),
                                   QStringLiteral("place"));
    parser.addOption(place);
    parser.addHelpOption();
    parser.process(application);

    PreviewWindow window(rectangleFrom(parser.value(place)), tellEditor);
    MessageLines lines;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &window, [&] {
        char bytes[65536];
        const ssize_t read = ::read(STDIN_FILENO, bytes, sizeof bytes);
        if (read < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (read <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        lines.append(QByteArray(bytes, read));
        while (const auto message = lines.next())
            window.take(*message);
    });
    return application.exec();
}
