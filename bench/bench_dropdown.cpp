// Opening a nesting list just after a div was added: from the press that opens its drop-down
// to the drop-down's first painted frame, with 1,000 and with 100,000 divs in the list, run
// by run in turn.
//   bench_dropdown [FOLDER]   (default: the working directory)

#include "BenchWindow.h"
#include "Figures.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QTest>

#include <filesystem>

namespace {

// Notes the first paint of the widget it watches.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget* watched) { watched->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

// The window with `count` divs opened and the save panel shown.
std::unique_ptr<TForm1> windowWith(int count, const std::filesystem::path& folder)
{
    auto window = showBenchWindowWith(count, folder);
    window->Ments1->trigger();
    // Opened once before measuring: the list makes its drop-down when first opened.
    window->ComboBox3->showPopup();
    window->ComboBox3->hidePopup();
    QCoreApplication::processEvents();
    return window;
}

// A div is added first, as the person does before nesting it: the list has changed since it
// was last opened.
double openingTheList(TForm1& window)
{
    activate(window);
    window.jDiv1->trigger();
    window.Button3->click();
    QCoreApplication::processEvents();
    TComboBox* list = window.ComboBox3;
    PaintWatch watch(list->view()->viewport());
    const double milliseconds = millisecondsOf([&] {
        // The press on the arrow opens it; the frame is painted when the event loop gets to it.
        QTest::mousePress(list, Qt::LeftButton, {}, QPoint(list->width() - 8, list->height() / 2));
        while (!watch.painted)
            QCoreApplication::processEvents();
    });
    list->hidePopup();
    QTest::mouseRelease(list, Qt::LeftButton, {}, QPoint(list->width() - 8, list->height() / 2));
    QCoreApplication::processEvents();
    return milliseconds;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
    BenchApplication application(argc, argv);
    auto small = windowWith(1'000, folder);
    auto large = windowWith(100'000, folder);
    const auto [atSmall, atLarge] = alternatedMedians(
        21, [&] { return openingTheList(*small); }, [&] { return openingTheList(*large); });
    const bool held = report({"drop-down to its first frame, 1,000 divs (ms)", atSmall})
        & report({"drop-down to its first frame, 100,000 divs (ms)", atLarge, 16.0})
        & report({"drop-down: 100,000 / 1,000 divs", atLarge / atSmall, 1.5});
    return held ? 0 : 1;
}
