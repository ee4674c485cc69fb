// A bare Qt WebEngine window, the floor the preview's figures are held against: it shows a
// page from a file with the preview's Chromium flags and nothing of Prizmo's.
//   bare_webview_probe FILE [CHANGES]
// Says "painted" on standard output once the page's first frame has run; then, given
// CHANGES, sets div 0's width by script that many times, each to the frame after it, and
// says "changed MS" with the median milliseconds; then stays until its input ends.

#include <QApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <unistd.h>
#include <vector>

namespace {

// Tells of each console line that starts with "bare:".
class BarePage : public QWebEnginePage
{
public:
    std::function<void(const QString&)> said;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) override
    {
        if (message.startsWith(QLatin1String("bare:")) && said)
            said(message.mid(5));
    }
};

const char* const afterFrame = "requestAnimationFrame(() => setTimeout(() => console.info('bare:frame')));";

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --disable-frame-rate-limit");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    const int changes = argc > 2 ? std::atoi(argv[2]) : 0;

    BarePage page;
    QWebEngineView view;
    view.setPage(&page);
    view.resize(640, 480);
    view.show();

    std::vector<double> times;
    QElapsedTimer clock;
    bool painted = false;
    const auto change = [&] {
        clock.start();
        page.runJavaScript(QStringLiteral("document.getElementById('div0').style.width = '%1px';")
                               .arg(200 + static_cast<int>(times.size() % 2))
                           + QString::fromLatin1(afterFrame));
    };
    page.said = [&](const QString& what) {
        if (what != QLatin1String("frame"))
            return;
        if (!painted) {
            painted = true;
            std::printf("painted\n");
            std::fflush(stdout);
        } else {
            times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        }
        if (static_cast<int>(times.size()) < changes) {
            change();
        } else if (changes > 0 && static_cast<int>(times.size()) == changes) {
            std::nth_element(times.begin(), times.begin() + changes / 2, times.end());
            std::printf("changed %f\n", times[static_cast<std::size_t>(changes / 2)]);
            std::fflush(stdout);
        }
    };
    QObject::connect(&page, &QWebEnginePage::loadFinished, &page,
                     [&] { page.runJavaScript(QString::fromLatin1(afterFrame)); });
    page.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&] {
        char byte;
        if (::read(STDIN_FILENO, &byte, 1) <= 0)
            QCoreApplication::quit();
    });
    return application.exec();
}
