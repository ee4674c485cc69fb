// The preview: from turning it on to its first painted page, from "KÉSZ" or a typed digit to
// the frame that shows it, a structural change, and memory, on Qt's offscreen platform and
// on Xvfb (software drawing). Each platform runs in a child process of this program.
// A frame is painted when the page's next animation frame has run after the change. The
// resize figures drive a real drag of the marked div's edge through the tests' build of the
// preview, which alone takes a drag as a message; a pointer's move is timed there, from the
// moves to the frame, where a person's pointer comes in. Each is also held against its floor, measured
// in the same run: a bare Qt WebEngine window (bare_webview_probe) showing the same page from
// a file, from its start to its first frame, with div 0's width set by script to the frame,
// and its memory.

#include "BenchStyleSheet.h"
#include "BenchWindow.h"
#include "Figures.h"
#include "ResidentMemory.h"
#include "XServer.h"

#include "output/OutputFile.h"
#include "output/WebPageWriter.h"
#include "ui/PreviewFeed.h"
#include "ui/PreviewLink.h"
#include "ui/PropertiesDock.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QUndoStack>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>

namespace {

constexpr int patienceMs = 60'000;

// An event loop that ends at the frame, rather than polling, which would add its interval.
bool waitUntilShown(TForm1& window)
{
    if (!window.Preview)
        return false;
    if (window.Preview->upToDate())
        return true;
    QEventLoop loop;
    QTimer::singleShot(patienceMs, &loop, &QEventLoop::quit);
    QObject::connect(window.Preview, &PreviewLink::painted, &loop, [&] {
        if (!window.Preview || window.Preview->upToDate())
            loop.quit();
    });
    QObject::connect(window.Preview, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    return window.Preview && window.Preview->upToDate();
}

double millisecondsUntilShown(TForm1& window, const std::function<void()>& change)
{
    return millisecondsOf([&] {
        change();
        if (!waitUntilShown(window)) {
            std::fprintf(stderr, "benchmark stopped: the preview did not show the change\n");
            std::abort();
        }
    });
}

// The link to the preview that drags: a held drag's moves are answered once their frame ran.
class DraggingLink : public PreviewLink
{
public:
    using PreviewLink::PreviewLink;
    // The marked div's right edge, or the div itself ("move"), Shift held (no snapping), to
    // `by` pixels right of where the drag started; held, or released.
    QString edge = QStringLiteral("right");
    void drag(int by, bool hold)
    {
        send({{QStringLiteral("do"), QStringLiteral("drag")}, {QStringLiteral("edge"), edge},
              {QStringLiteral("by"), QJsonArray{by, 0}}, {QStringLiteral("shift"), true}, {QStringLiteral("hold"), hold}});
    }
    // With the milliseconds from the moves to the frame, timed in the preview's process.
    std::function<void(double)> dragged;

protected:
    void heardOther(const QJsonObject& message) override
    {
        answerArrived();
        if (message.contains(QLatin1String("dragged")) && dragged)
            dragged(message.value(QLatin1String("dragged")).toDouble());
    }
};

class DraggingWindow : public TForm1
{
protected:
    PreviewLink* createPreviewLink(const QRect& place, PreviewHandlers handlers) override
    {
        return new DraggingLink(QString::fromLatin1(PRIZMO_PROBED_PREVIEW), place, std::move(handlers), this);
    }
};

// Divs that float left, so that the engine lays each out beside the others; with
// `absoluteFirst`, div 0 absolute above the others, which are not positioned: a box to move
// where the pointer reaches it.
template <typename Window = TForm1>
std::unique_ptr<TForm1> windowWithFloatingDivs(int divCount, const std::filesystem::path& folder,
                                               bool absoluteFirst = false)
{
    BenchStyleSheet sheet = makeBenchStyleSheet(divCount);
    for (auto& div : sheet.divs) {
        div->setFloat(2);
        if (absoluteFirst)
            div->setPosition(div == sheet.divs.front() ? 1 : 2);
    }
    const std::string path = (folder / "preview.css").string();
    if (!saveBenchStyleSheet(sheet, path))
        std::abort();
    auto window = showBenchWindow(std::make_unique<Window>());
    answerOpenDialogWith(path);
    window->Megynits1->trigger();
    return window;
}

// Proportional set size of the process and every process below it, in bytes.
double pssOfTree(qint64 root)
{
    std::vector<qint64> tree{root};
    for (std::size_t at = 0; at < tree.size(); ++at)
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            std::ifstream stat(entry.path() / "stat");
            std::string pid, name, state;
            qint64 parent = 0;
            // The name is in parentheses and may hold spaces; the parent follows the state.
            std::string line;
            if (!std::getline(stat, line))
                continue;
            const std::size_t close = line.rfind(')');
            if (close == std::string::npos || std::sscanf(line.c_str() + close + 1, " %*c %lld", &parent) != 1)
                continue;
            if (parent == tree[at])
                tree.push_back(std::stoll(entry.path().filename().string()));
        }
    double total = 0;
    for (const qint64 pid : tree) {
        std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
        std::string field;
        double kilobytes = 0;
        while (rollup >> field)
            if (field == "Pss:" && rollup >> kilobytes) {
                total += kilobytes * 1024;
                break;
            }
    }
    return total;
}

constexpr double mebibyte = 1024.0 * 1024.0;

// The web page of `divCount` divs floating left (none: no rule at all), as "Weboldal" writes it.
std::string writtenPage(int divCount, const std::filesystem::path& folder)
{
    BenchStyleSheet sheet = makeBenchStyleSheet(divCount);
    for (auto& div : sheet.divs)
        div->setFloat(2);
    const std::string path = (folder / ("bare-" + std::to_string(divCount) + ".html")).string();
    OutputFile file(path);
    file.write(webPage("bench", divCount > 0 ? &sheet.body : nullptr, sheet.divs, folder.string()));
    if (!file.close())
        std::abort();
    return path;
}

// The floor: the bare window on `page`, from its start to its first frame, the median of
// `changes` widths set by script to the frame, and its processes' PSS then.
struct BareFigures {
    double firstPageMs = 0, changeMs = 0, pssMiB = 0;
};
// `meanwhile` runs then too, so that what is measured beside it shares the libraries with the
// same processes (PSS splits each shared page among the processes that map it).
BareFigures measureBare(const std::string& page, int changes, const std::function<void()>& meanwhile = {})
{
    QProcess child;
    child.setStandardErrorFile(QProcess::nullDevice());
    const auto line = [&child] {
        while (!child.canReadLine())
            if (!child.waitForReadyRead(patienceMs)) {
                std::fprintf(stderr, "benchmark stopped: the bare window did not answer\n");
                std::abort();
            }
        return child.readLine().trimmed();
    };
    BareFigures figures;
    QElapsedTimer clock;
    clock.start();
    child.start(QString::fromLatin1(BARE_WEBVIEW_PROBE), {QString::fromStdString(page), QString::number(changes)});
    if (line() != "painted")
        std::abort();
    figures.firstPageMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    if (changes > 0)
        figures.changeMs = line().mid(8).toDouble();   // "changed MS"
    figures.pssMiB = pssOfTree(child.processId()) / mebibyte;
    if (meanwhile)
        meanwhile();
    child.closeWriteChannel();
    if (!child.waitForFinished(patienceMs))
        child.kill();
    return figures;
}

// A pointer move while div 0's edge is dragged, to the frame after it; and the release, to
// the frame that shows the size stored as the step "Átméretezés"; at 1,000 divs also against
// the bare window's width set by script. The same for div 0 moved, its offsets stored as
// "Áthelyezés".
struct Dragging {
    const char* edge;
    const char* what;      // "resizing", "moving"
    const char* release;   // "the resize's release to the frame with the size stored"
    int firstMove;         // pixels: past the distance where a move starts
};
constexpr Dragging resizing{"right", "resizing", "the resize's release to the frame with the size stored", 1};
constexpr Dragging moving{"move", "moving", "the move's release to the frame with the offsets stored", 4};

bool measureDragging(const Dragging& dragging, const std::string& on, const std::filesystem::path& folder,
                     double bareChangeMs)
{
    bool held = true;
    for (const int divCount : {20, 1000}) {
        const std::string at = divCount == 1000 ? " at 1,000 divs" : " at " + std::to_string(divCount) + " divs";
        auto window = windowWithFloatingDivs<DraggingWindow>(divCount, folder, &dragging == &moving);
        millisecondsUntilShown(*window, [&] {
            if (!window->Preview)
                window->Elnzet1->trigger();
        });
        millisecondsUntilShown(*window, [&] {
            window->runCommand("megnyitás", [&] { window->reopenRule({Rule::Kind::Div, 0}); });
        });
        millisecondsUntilShown(*window, [&] { window->Button3->click(); });   // no edit open: a release is a step
        auto* link = static_cast<DraggingLink*>(window->Preview);
        link->edge = QString::fromLatin1(dragging.edge);
        // A pointer's move is timed where it comes in, in the preview's process, as the bare
        // window's change is timed in its own: asking for the move from here is no part of it.
        const auto untilDragged = [&](int by) {
            QEventLoop loop;
            QTimer::singleShot(patienceMs, &loop, &QEventLoop::quit);
            double movedToFrame = patienceMs;
            link->dragged = [&loop, &movedToFrame](double ms) {
                movedToFrame = ms;
                loop.quit();
            };
            link->drag(by, true);
            loop.exec();
            link->dragged = nullptr;
            return movedToFrame;
        };
        std::vector<double> moves, releases;
        for (int run = 0; run < 10; ++run) {
            const int way = run % 2 ? 1 : -1;   // narrower, then wider again
            untilDragged(way * dragging.firstMove);   // pressed, and moved
            const int last = dragging.firstMove + 5;
            for (int step = dragging.firstMove + 1; step <= last; ++step)
                moves.push_back(untilDragged(way * step));
            const int steps = window->UndoStack->count();
            releases.push_back(millisecondsOf([&] {
                link->drag(way * last, false);
                QEventLoop loop;
                QTimer::singleShot(patienceMs, &loop, &QEventLoop::quit);
                QObject::connect(window->Preview, &PreviewLink::painted, &loop, [&] {
                    if (window->UndoStack->count() > steps && window->Preview->upToDate())
                        loop.quit();
                });
                loop.exec();
            }));
            if (window->UndoStack->count() == steps) {
                std::fprintf(stderr, "benchmark stopped: the release stored nothing\n");
                std::abort();
            }
        }
        const std::string move = std::string("a pointer move while ") + dragging.what;
        const bool moved = &dragging == &moving;
        if (divCount == 1000 && moved) {
            held &= report({move + " to the frame" + at + on + " (ms)", median(moves), 8.0});
            held &= report({dragging.release + at + on + " (ms)", median(releases), 16.0});
        } else if (divCount == 1000) {
            held &= report({move + " to the frame" + at + on + " (ms)", median(moves)});
            held &= report({move + at + on + ": preview / bare window", median(moves) / bareChangeMs, 1.2});
            held &= report({dragging.release + at + on + " (ms)", median(releases)});
            held &= report({dragging.release + at + on + ": preview / bare window", median(releases) / bareChangeMs, 1.2});
        } else {
            held &= report({move + " to the frame" + at + on + " (ms)", median(moves), 16.0});
        }
    }
    return held;
}

bool measure(const std::string& platform)
{
    const std::string on = " (" + platform + ")";
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    bool held = true;

    {
        auto window = showBenchWindow();
        const std::string emptyPage = writtenPage(0, folder);
        std::vector<double> firstPage, bareFirstPage;
        for (int run = 0; run < 7; ++run) {
            firstPage.push_back(millisecondsUntilShown(*window, [&] { window->Elnzet1->trigger(); }));
            window->Elnzet1->trigger();   // off again
            QTest::qWait(300);   // the old engine's end, out of the next run
            bareFirstPage.push_back(measureBare(emptyPage, 0).firstPageMs);
        }
        held &= report({"preview on to first painted page" + on + " (ms)", median(firstPage)});
        held &= report({"a bare Qt WebEngine window to its first painted page" + on + " (ms)", median(bareFirstPage)});
        held &= report({"first painted page" + on + ": preview / bare window", median(firstPage) / median(bareFirstPage), 1.1});
        std::filesystem::remove(emptyPage);
    }

    double bareChangeMs = 0;

    for (const int divCount : {20, 1000}) {
        const std::string at = divCount == 1000 ? " at 1,000 divs" : " at " + std::to_string(divCount) + " divs";
        auto window = windowWithFloatingDivs(divCount, folder);
        const std::size_t withoutPreview = residentBytes();
        millisecondsUntilShown(*window, [&] {
            if (!window->Preview)   // remembered from the window before
                window->Elnzet1->trigger();
        });
        // Each side with the same page just shown, both running.
        const std::string page = writtenPage(divCount, folder);
        double pssShown = 0;
        const double barePssShown = measureBare(page, 0, [&] {
            pssShown = pssOfTree(window->Preview->processId()) / mebibyte;
        }).pssMiB;

        // The box's values beside the panels, as a person sets a margin.
        if (window->Properties->isHidden())
            window->Tulajdonsgok1->trigger();
        TEdit* marginTop = window->Properties->findChild<TEdit*>(QStringLiteral("MarginTop"));
        std::vector<double> kesz, typed, typedMargin, appended, nested;
        for (int run = 0; run < 30; ++run) {
            const std::int32_t number = run % divCount;
            millisecondsUntilShown(*window, [&] {
                window->runCommand("megnyitás", [&] { window->reopenRule({Rule::Kind::Div, number}); });
            });
            window->Edit1->SetText(std::to_string(200 + run));   // not shown before "KÉSZ"
            kesz.push_back(millisecondsUntilShown(*window, [&] { window->Button3->click(); }));
            millisecondsUntilShown(*window, [&] {
                window->runCommand("megnyitás", [&] { window->reopenRule({Rule::Kind::Div, number}); });
            });
            // The digit gives the div the widths the bare window sets, 200 and 201 px: the same
            // change on the same page (a digit after "2xx" would make it 2,000 px wide).
            window->Edit1->SetText("20");   // not shown: no digit typed yet
            window->Edit1->setFocus();
            window->Edit1->end(false);
            const char digit = static_cast<char>('0' + run % 2);
            typed.push_back(millisecondsUntilShown(*window, [&] { QTest::keyClick(window->Edit1, digit); }));
            marginTop->SetText(std::to_string(run % 9));   // not shown: no digit typed yet
            marginTop->setFocus();
            marginTop->end(false);
            typedMargin.push_back(millisecondsUntilShown(*window, [&] { QTest::keyClick(marginTop, '4'); }));
            window->Button3->click();
        }
        // Room under the preview's cap of shown divs, so that the divs added are in the page.
        for (int run = 0; divCount >= PreviewFeed::shownDivs && run < 10; ++run) {
            window->runCommand("megnyitás", [&] { window->reopenRule({Rule::Kind::Div, window->lastDiv}); });
            window->Button3->click();
            millisecondsUntilShown(*window, [&] { window->Divtrlse1->trigger(); });
        }
        for (int run = 0; run < 10; ++run) {
            appended.push_back(millisecondsUntilShown(*window, [&] { window->jDiv1->trigger(); }));
            window->Button3->click();
            waitUntilShown(*window);
        }
        window->Ments1->trigger();   // the nesting panel
        for (int run = 0; run < 10; ++run) {
            window->ComboBox3->SetItemIndex(run);
            window->ComboBox4->SetItemIndex(run + 1);
            nested.push_back(millisecondsUntilShown(*window, [&] { window->Button4->click(); }));
        }
        held &= report({"\"KÉSZ\" with a changed value to the frame" + at + on + " (ms)", median(kesz),
                        divCount == 20 ? 16.0 : 50.0});
        double pss = 0;
        const BareFigures bare = measureBare(page, 30, [&] { pss = pssOfTree(window->Preview->processId()) / mebibyte; });
        std::filesystem::remove(page);
        if (divCount == 1000) {
            bareChangeMs = bare.changeMs;
            held &= report({"a typed digit to the frame" + at + on + " (ms)", median(typed)});
            held &= report({"div 0's width set by script to the frame, bare window" + at + on + " (ms)", bare.changeMs});
            held &= report({"a typed digit" + at + on + ": preview / bare window", median(typed) / bare.changeMs, 1.2});
        } else {
            held &= report({"a typed digit to the frame" + at + on + " (ms)", median(typed), 20.0});
            held &= report({"a typed margin digit to the frame" + at + on + " (ms)", median(typedMargin), 16.0});
        }
        if (divCount == 1000) {
            held &= report({"\"Új Div\" (an element added) to the frame" + at + on + " (ms)", median(appended), 150.0});
            held &= report({"\"Ok\" (the page rebuilt) to the frame" + at + on + " (ms)", median(nested), 150.0});
        }
        held &= report({"the preview processes' PSS, the page shown" + at + on + " (MiB)", pssShown});
        held &= report({"the bare window's PSS, the page shown" + at + on + " (MiB)", barePssShown});
        held &= report({"PSS, the page shown" + at + on + ": preview / bare window", pssShown / barePssShown, 1.1});
        held &= report({"the preview processes' PSS after the commands" + at + on + " (MiB)", pss});
        held &= report({"the bare window's PSS after 30 widths set" + at + on + " (MiB)", bare.pssMiB});
        held &= report({"PSS after the commands" + at + on + ": preview / bare window", pss / bare.pssMiB, 1.1});
        if (divCount == 20)
            held &= report({"prizmo's resident growth with the preview on" + on + " (MiB)",
                            (static_cast<double>(residentBytes()) - static_cast<double>(withoutPreview)) / mebibyte, 5.0});
    }
    for (const Dragging* dragging : {&resizing, &moving})
        held &= measureDragging(*dragging, on, folder, bareChangeMs);
    return held;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && std::string(argv[1]) == "--on") {
        BenchApplication application(argc, argv);
        return measure(argv[2]) ? 0 : 1;
    }
    QCoreApplication application(argc, argv);   // for QProcess
    const auto run = [&](const char* platform, const char* qpa) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(qpa));
        environment.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
        if (!environment.contains(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX")))
            environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--on"), QString::fromLatin1(platform)});
        const bool ended = child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit;
        // One that could not run (no connection to its display) leaves a row that says so.
        if (!ended)
            return reportNotMeasured(std::string("the preview's figures (") + platform + ")", "its run did not end normally");
        return child.exitCode() == 0;
    };
    bool held = run("offscreen", "offscreen");
    {
        XServer x;
        if (x.display) {
            ::setenv("DISPLAY", x.display->c_str(), 1);
            held = run("Xvfb", "xcb") && held;
        } else {
            held = reportNotMeasured("preview on to first painted page (Xvfb) (ms)", x.failure) && held;
        }
    }
    return held ? 0 : 1;
}
