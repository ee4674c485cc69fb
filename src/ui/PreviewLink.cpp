#include "ui/PreviewLink.h"

#include "model/Properties.h"
#include "platform/Events.h"

#include <QAccessible>
#include <QJsonArray>
#include <QProcessEnvironment>
#include <QRect>

namespace {

// A busy machine can be slow to start a browser engine; one that has not answered in these
// times is taken for hung.
constexpr int startPatienceMs = 60'000;
constexpr int answerPatienceMs = 20'000;

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

// The element a declarations index stands for.
QString elementOf(std::size_t rule)
{
    return rule == 0 ? QStringLiteral("body") : QStringLiteral("div%1").arg(rule - 1);
}

// What a rule's declarations can hold: a typed rule's element falls back from the rest.
QJsonArray pagePropertyNames()
{
    QJsonArray names;
    for (const Property& row : properties)
        for (const std::string& name : pageNames(row))
            names.append(QString::fromStdString(name));
    return names;
}

// A length or an offset a drag told; null for one it left alone.
DraggedLength draggedLength(const QJsonValue& value)
{
    return value.isNull() ? DraggedLength() : DraggedLength(value.toInteger());
}

} // namespace

std::string PreviewContent::css() const
{
    std::string text;
    if (hasBody)
        text += "body {\n" + declarations[0] + "}\n";
    for (std::size_t rule = 1; rule < declarations.size(); ++rule)
        text += "#div" + std::to_string(rule - 1) + " {\n" + declarations[rule] + "}\n";
    return text;
}

PreviewLink::PreviewLink(const QString& program, const QRect& place, Handlers handlers, QObject* parent)
    : QObject(parent), handlers(std::move(handlers))
{
    patience.setSingleShot(true);
    connect(&patience, &QTimer::timeout, this, [this] {
        process.kill();
        end(ready ? Ending::Stopped : Ending::NotStarted);
    });
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(&process, &QProcess::readyReadStandardOutput, this, [this] {
        lines.append(process.readAllStandardOutput());
        while (const auto message = lines.next())
            heard(*message);
    });
    connect(&process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(Ending::NotStarted);
    });
    connect(&process, &QProcess::finished, this, [this] { end(ready ? Ending::Stopped : Ending::NotStarted); });
    // Chromium builds the page's accessible tree only when told to: with a screen reader
    // listening to Prizmo, the preview's page reaches it too.
    if (QAccessible::isActive()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString flags = environment.value(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"));
        environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
                           flags + QStringLiteral(" --force-renderer-accessibility"));
        process.setProcessEnvironment(environment);
    }
    process.start(program, {QStringLiteral("--place"), QStringLiteral("%1,%2,%3,%4")
                                                           .arg(place.x())
                                                           .arg(place.y())
                                                           .arg(place.width())
                                                           .arg(place.height())});
    patience.start(startPatienceMs);
}

// The editor is going: a preview still running goes with it.
PreviewLink::~PreviewLink()
{
    process.disconnect(this);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
    }
}

void PreviewLink::retire()
{
    over = true;
    handlers = {};
    if (process.state() == QProcess::NotRunning) {
        deleteLater();
        return;
    }
    connect(&process, &QProcess::finished, this, &QObject::deleteLater);
    process.closeWriteChannel();   // the end of its input ends the preview
    patience.disconnect();
    connect(&patience, &QTimer::timeout, this, [this] { process.kill(); });
    patience.start(3000);
}

void PreviewLink::show(PreviewContent content)
{
    wanted = std::move(content);
    if (!inFlight)
        sendWhatChanged();
}

// A page when the elements or the folder changed, else the values of the rules that changed,
// and the mark.
void PreviewLink::sendWhatChanged()
{
    if (over || !wanted)
        return;
    const PreviewContent& next = *wanted;
    QJsonObject message{{QStringLiteral("do"), QStringLiteral("show")}, {QStringLiteral("base"), qt(next.base)},
                        {QStringLiteral("mark"), qt(next.mark)}, {QStringLiteral("outlines"), next.outlines},
                        {QStringLiteral("hover"), qt(next.hovered)}, {QStringLiteral("shade"), qt(next.shaded)},
                        {QStringLiteral("width"), next.width}};
    QJsonArray styles;
    const bool sameFolder = sent && sent->base == next.base;
    // Divs added after every other (a new div) are added; any other change of the elements
    // sends the page whole.
    const bool added = sameFolder && next.elements.size() > sent->elements.size()
        && next.elements.starts_with(sent->elements) && next.declarations.size() > sent->declarations.size();
    if (!sameFolder || (!added && sent->elements != next.elements)) {
        message.insert(QStringLiteral("page"), QJsonObject{{QStringLiteral("css"), qt(next.css())},
                                                           {QStringLiteral("elements"), qt(next.elements)},
                                                           {QStringLiteral("properties"), pagePropertyNames()}});
        if (next.typedRule >= 0)
            styles.append(QJsonArray{elementOf(static_cast<std::size_t>(next.typedRule)), qt(next.typedDeclarations)});
    } else {
        // The page's rules hold what was sent last; only the values that changed since go,
        // and an added div's as its element's own style.
        if (added)
            message.insert(QStringLiteral("add"), qt(next.elements.substr(sent->elements.size())));
        for (std::size_t rule = 0; rule < next.declarations.size(); ++rule)
            if (rule >= sent->declarations.size() || next.shown(rule) != sent->shown(rule))
                styles.append(QJsonArray{elementOf(rule), qt(next.shown(rule))});
        if (styles.isEmpty() && next.mark == sent->mark && next.outlines == sent->outlines
            && next.hovered == sent->hovered && next.shaded == sent->shaded && next.width == sent->width) {
            wanted.reset();   // shown already
            return;
        }
    }
    message.insert(QStringLiteral("styles"), styles);
    message.insert(QStringLiteral("seq"), static_cast<qint64>(++lastSeq));
    sent = std::move(wanted);
    wanted.reset();
    inFlight = true;
    send(message);
}

void PreviewLink::place(const QRect& place)
{
    if (!over)
        process.write(messageLine({{QStringLiteral("do"), QStringLiteral("place")},
                                   {QStringLiteral("at"), QJsonArray{place.x(), place.y(), place.width(), place.height()}}}));
}

void PreviewLink::send(const QJsonObject& message)
{
    process.write(messageLine(message));
    if (!patience.isActive())
        patience.start(ready ? answerPatienceMs : startPatienceMs);
}

void PreviewLink::heard(const QJsonObject& message)
{
    if (message.contains(QLatin1String("ready"))) {
        ready = true;
        patience.stop();
        if (inFlight)
            patience.start(answerPatienceMs);
    } else if (message.contains(QLatin1String("painted"))) {
        const qint64 seq = message.value(QLatin1String("painted")).toInteger();
        if (seq == lastSeq) {
            inFlight = false;
            patience.stop();
        }
        if (!inFlight)
            sendWhatChanged();
        emit painted(seq);   // once upToDate() tells whether more is coming
    } else if (message.contains(QLatin1String("clicked"))) {
        if (handlers.clicked) {
            const std::string rule = message.value(QLatin1String("clicked")).toString().toStdString();
            RunGuarded([this, &rule] { handlers.clicked(rule); });
        }
    } else if (message.contains(QLatin1String("hovered"))) {
        if (handlers.hovered) {
            const std::string rule = message.value(QLatin1String("hovered")).toString().toStdString();
            RunGuarded([this, &rule] { handlers.hovered(rule); });
        }
    } else if (message.contains(QLatin1String("resized"))) {
        const QJsonArray size = message.value(QLatin1String("resized")).toArray();
        if (handlers.resized && size.size() == 3) {
            const std::string rule = size[0].toString().toStdString();
            RunGuarded([this, &size, &rule] {
                handlers.resized(rule, draggedLength(size[1]), draggedLength(size[2]));
            });
        }
    } else if (message.contains(QLatin1String("moved"))) {
        const QJsonArray moved = message.value(QLatin1String("moved")).toArray();
        if (handlers.moved && moved.size() == 4) {
            const std::string rule = moved[0].toString().toStdString();
            RunGuarded([this, &moved, &rule] {
                handlers.moved(rule, draggedLength(moved[1]), draggedLength(moved[2]), moved[3].toBool());
            });
        }
    } else if (message.contains(QLatin1String("placed"))) {
        const QJsonArray place = message.value(QLatin1String("placed")).toArray();
        if (handlers.placed && place.size() == 4)
            handlers.placed(QRect(place[0].toInt(), place[1].toInt(), place[2].toInt(), place[3].toInt()));
    } else if (message.contains(QLatin1String("closed"))) {
        end(Ending::ClosedByPerson);
    } else {
        heardOther(message);
    }
}

void PreviewLink::heardOther(const QJsonObject&) {}

void PreviewLink::end(Ending ending)
{
    if (std::exchange(over, true))
        return;
    patience.stop();
    if (handlers.ended) {
        const auto ended = std::move(handlers.ended);
        RunGuarded([&] { ended(ending); });
    }
}
