#include "PreviewWindow.h"

#include "PreviewPage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <map>

namespace {

// A value as JSON, which is also a script's literal.
QString scriptLiteral(const QJsonValue& value)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)).chopped(1).mid(1);
}

} // namespace

PreviewWindow::PreviewWindow(const QRect& place, Tell tell)
    : tell(std::move(tell)),
      profile(PreviewPage::createProfile(nullptr)),
      page(std::make_unique<PreviewPage>(profile.get(), [this](const QString& what) { heard(what); })),
      view(std::make_unique<QWebEngineView>())
{
    view->setPage(page.get());
    view->setWindowTitle(QStringLiteral("Előnézet – Prizmo"));
    view->installEventFilter(this);
    connect(page.get(), &QWebEnginePage::loadFinished, this, [this] { loaded(); });
    placeAt(place);
    placed.setSingleShot(true);
    // Told only once it differs from the place given: the editor remembers the person's.
    connect(&placed, &QTimer::timeout, this, [this] {
        const QRect frame(view->frameGeometry().topLeft(), view->size());
        if (frame != givenPlace)
            this->tell({{QStringLiteral("placed"), QJsonArray{frame.x(), frame.y(), frame.width(), frame.height()}}});
    });
    view->show();
}

void PreviewWindow::placeAt(const QRect& place)
{
    givenPlace = place;
    view->resize(place.size());
    view->move(place.topLeft());
}

PreviewWindow::~PreviewWindow()
{
    view->removeEventFilter(this);
}

void PreviewWindow::take(const QJsonObject& message)
{
    const QString what = message.value(QLatin1String("do")).toString();
    if (what == QLatin1String("place")) {   // needs no page
        const QJsonArray at = message.value(QLatin1String("at")).toArray();
        if (at.size() == 4)
            placeAt(QRect(at[0].toInt(), at[1].toInt(), at[2].toInt(), at[3].toInt()));
        return;
    }
    const QUrl base(message.value(QLatin1String("base")).toString());
    if (what == QLatin1String("show") && !loading && base != loadedBase) {
        loading = true;
        loadedBase = base;
        page->loadSkeleton(base);
    }
    if (loading) {
        waiting.push_back(message);
        return;
    }
    if (what == QLatin1String("show"))
        show(message);
#ifdef PRIZMO_PREVIEW_PROBES
    else if (what == QLatin1String("probe"))
        probe();
    else if (what == QLatin1String("click"))
        click(message.value(QLatin1String("rule")).toString(), true);
    else if (what == QLatin1String("point"))
        click(message.value(QLatin1String("rule")).toString(), false);
    else if (what == QLatin1String("drag"))
        dragHandle(message);
    else if (what == QLatin1String("key"))
        pressArrow(message);
#endif
}

void PreviewWindow::loaded()
{
    if (!loading)
        return;
    loading = false;
    if (!std::exchange(everLoaded, true))
        tell({{QStringLiteral("ready"), true}});
    for (const QJsonObject& message : std::exchange(waiting, {}))
        take(message);
}

void PreviewWindow::heard(const QString& what)
{
    // An empty length or offset is one the drag or key left alone.
    const auto length = [](const QString& part) { return part.isEmpty() ? QJsonValue() : QJsonValue(part.toLongLong()); };
    const qsizetype colon = what.indexOf(QLatin1Char(':'));
    const QString kind = what.first(std::max<qsizetype>(colon, 0));
    const QString value = what.mid(colon + 1);
    if (kind == QLatin1String("painted"))
        tell({{QStringLiteral("painted"), value.toLongLong()}});
    else if (kind == QLatin1String("clicked"))
        tell({{QStringLiteral("clicked"), value}});
#ifdef PRIZMO_PREVIEW_PROBES
    // Timed here, from where a person's pointer comes in: the editor is not on its way.
    else if (kind == QLatin1String("dragged"))
        tell({{QStringLiteral("dragged"), static_cast<double>(dragMoved.nsecsElapsed()) / 1e6}});
#endif
    else if (kind == QLatin1String("hovered"))
        tell({{QStringLiteral("hovered"), value}});
    else if (kind == QLatin1String("moved") || kind == QLatin1String("nudged")) {
        const QStringList parts = value.split(QLatin1Char(','));
        if (parts.size() == 3)
            tell({{QStringLiteral("moved"), QJsonArray{parts[0], length(parts[1]), length(parts[2]),
                                                       kind == QLatin1String("nudged")}}});
    } else if (kind == QLatin1String("resized")) {
        const QStringList parts = value.split(QLatin1Char(','));
        if (parts.size() == 3)
            tell({{QStringLiteral("resized"), QJsonArray{parts[0], length(parts[1]), length(parts[2])}}});
    }
}

void PreviewWindow::show(const QJsonObject& message)
{
    const QJsonValue pageParts = message.value(QLatin1String("page"));
    page->runJavaScript(QStringLiteral("prizmo.show(%1, %2, %3, %4, %5, %6, %7, %8, %9)")
                            .arg(pageParts.isObject() ? scriptLiteral(pageParts) : QStringLiteral("null"),
                                 scriptLiteral(message.value(QLatin1String("add")).toString()),
                                 scriptLiteral(message.value(QLatin1String("styles")).toArray()),
                                 scriptLiteral(message.value(QLatin1String("mark")).toString()),
                                 QString::number(message.value(QLatin1String("seq")).toInteger()),
                                 message.value(QLatin1String("outlines")).toBool() ? QStringLiteral("true")
                                                                                    : QStringLiteral("false"),
                                 scriptLiteral(message.value(QLatin1String("hover")).toString()),
                                 scriptLiteral(message.value(QLatin1String("shade")).toString()),
                                 QString::number(message.value(QLatin1String("width")).toInt())));
}

#ifdef PRIZMO_PREVIEW_PROBES
// What the engine computed, with the colour a grabbed frame has at each element's centre.
void PreviewWindow::probe()
{
    page->runJavaScript(QStringLiteral("prizmo.probe()"), [this](const QVariant& result) {
        QJsonObject rules = QJsonDocument::fromJson(result.toString().toUtf8()).object();
        const QImage frame = view->grab().toImage();
        for (auto rule = rules.begin(); rule != rules.end(); ++rule) {
            QJsonObject values = rule.value().toObject();
            const QJsonArray centre = values.value(QLatin1String("centre")).toArray();
            const QPoint at(centre.at(0).toInt(), centre.at(1).toInt());
            if (frame.valid(at))
                values.insert(QStringLiteral("pixel"), frame.pixelColor(at).name());
            rule.value() = values;
        }
        tell({{QStringLiteral("probe"), rules}});
    });
}

// A real click, or the pointer moved there, through the view's input, at the centre of the
// rule's box.
void PreviewWindow::click(const QString& rule, bool press)
{
    page->runJavaScript(QStringLiteral("prizmo.centre(%1)").arg(scriptLiteral(rule)), [this, press](const QVariant& result) {
        const QVariantList centre = result.toList();
        if (centre.size() != 2 || !view->focusProxy())
            return;
        QWidget* input = view->focusProxy();
        const QPointF at(centre[0].toDouble(), centre[1].toDouble());
        if (!press) {
            QMouseEvent event(QEvent::MouseMove, at, input->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(input, &event);
            return;
        }
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, input->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(input, &event);
        }
    });
}
#endif

#ifdef PRIZMO_PREVIEW_PROBES
// A real drag, through the view's input, of the marked div's handle on "edge" by "by"
// pixels, Shift held when "shift"; then the release, or Escape with the button still down
// when "escape", or nothing yet when "hold" (a later drag of 0 pixels goes on from there).
void PreviewWindow::dragHandle(const QJsonObject& message)
{
    // A held drag goes on from where it is, as a person's pointer would, without asking the
    // page where the handle is.
    if (dragHeld) {
        moveDrag(message, {});
        return;
    }
    const QString edge = message.value(QLatin1String("edge")).toString();
    page->runJavaScript(QStringLiteral("prizmo.handle(%1)").arg(scriptLiteral(edge)),
                        [this, message](const QVariant& result) { moveDrag(message, result.toList()); });
}

void PreviewWindow::moveDrag(const QJsonObject& message, const QVariantList& centre)
{
    QWidget* input = view->focusProxy();
    if (!input)
        return;
    const QJsonArray by = message.value(QLatin1String("by")).toArray();
    const Qt::KeyboardModifiers modifiers =
        message.value(QLatin1String("shift")).toBool() ? Qt::ShiftModifier : Qt::NoModifier;
    const auto send = [&](QEvent::Type type, const QPointF& at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, input->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          buttons, modifiers);
        QCoreApplication::sendEvent(input, &event);
    };
    if (!dragHeld && centre.size() == 2) {
        dragFrom = QPointF(centre[0].toDouble(), centre[1].toDouble());
        dragAt = dragFrom;
        send(QEvent::MouseButtonPress, dragFrom, Qt::LeftButton);
    }
    const QPointF to = dragFrom + QPointF(by.at(0).toDouble(), by.at(1).toDouble());
    // A release where the pointer is moves nothing; a held drag there moves on the spot
    // (Shift pressed or let go).
    const bool moves = to != dragAt || message.value(QLatin1String("hold")).toBool();
    dragMoved.start();
    for (int step = 1; step <= 4 && moves; ++step)
        send(QEvent::MouseMove, dragAt + (to - dragAt) * step / 4, Qt::LeftButton);
    dragAt = to;
    dragHeld = message.value(QLatin1String("hold")).toBool();
    if (dragHeld) {
        page->runJavaScript(QStringLiteral("prizmo.afterDragFrame()"));
        return;
    }
    if (message.value(QLatin1String("escape")).toBool()) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(input, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(input, &release);
    }
    send(QEvent::MouseButtonRelease, dragAt, Qt::NoButton);
}
#endif

#ifdef PRIZMO_PREVIEW_PROBES
// An arrow key pressed in the page, with Shift when "shift".
void PreviewWindow::pressArrow(const QJsonObject& message)
{
    static const std::map<QString, Qt::Key> keys{{QStringLiteral("left"), Qt::Key_Left}, {QStringLiteral("right"), Qt::Key_Right},
                                                 {QStringLiteral("up"), Qt::Key_Up}, {QStringLiteral("down"), Qt::Key_Down}};
    const auto key = keys.find(message.value(QLatin1String("key")).toString());
    QWidget* input = view->focusProxy();
    if (key == keys.end() || !input)
        return;
    const Qt::KeyboardModifiers modifiers =
        message.value(QLatin1String("shift")).toBool() ? Qt::ShiftModifier : Qt::NoModifier;
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key->second, modifiers);
        QCoreApplication::sendEvent(input, &event);
    }
}
#endif

// Closing the window ends the preview; the editor turns its item off.
bool PreviewWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view.get() && view->isVisible() && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placed.start(250);
    if (watched == view.get() && event->type() == QEvent::Close) {
        tell({{QStringLiteral("closed"), true}});
        QCoreApplication::quit();
    }
    return false;
}
