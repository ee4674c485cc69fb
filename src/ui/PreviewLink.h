#pragma once

#include "preview/PreviewMessages.h"

#include <QJsonObject>
#include <QObject>
#include <QProcess>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QRect;

// What the preview is to show: the page's parts and each rule's declarations as the records
// hold them, the values being typed into the rule the panels stand for, and that rule's mark.
struct PreviewContent {
    std::string base;                       // a file: URL; relative pictures resolve against it
    bool hasBody = false;                   // the style element has a body rule
    std::string elements;                   // the page's body
    std::vector<std::string> declarations;  // the body's first, then div 0, div 1, …
    std::int64_t typedRule = -1;            // an index into declarations
    std::string typedDeclarations;
    std::string mark;                       // "body", "divN" or nothing
    bool outlines = false;                  // every div's outline and name
    std::string hovered;                    // the rule whose row the pointer is on, or nothing
    std::string shaded;                     // the marked box's part shaded: "margin", …, "box"
    int width = 0;                          // the page laid out that wide; 0: the window's

    // The page's style element as the web page writes it, from the declarations.
    std::string css() const;
    const std::string& shown(std::size_t rule) const
    {
        return static_cast<std::int64_t>(rule) == typedRule ? typedDeclarations : declarations[rule];
    }
};

// A length a drag in the preview set; none for a dimension the drag left alone.
using DraggedLength = std::optional<std::int64_t>;

// What the editor is told by its preview.
struct PreviewHandlers {
    enum class Ending { ClosedByPerson, NotStarted, Stopped };
    std::function<void(Ending)> ended;                    // at most once; the link is dead then
    std::function<void(const std::string& rule)> clicked;
    std::function<void(const std::string& rule)> hovered;  // the box under the pointer, or nothing
    std::function<void(const std::string& rule, DraggedLength width, DraggedLength height)> resized;   // by a drag
    // Moved by a drag, or by an arrow key (`keyed`), to those offsets; none for one that
    // stayed.
    std::function<void(const std::string& rule, DraggedLength left, DraggedLength top, bool keyed)> moved;
    std::function<void(const QRect& place)> placed;     // moved or resized, on the screen
};

// The editor's end of the preview process: starts it, keeps it showing the latest content
// with one message in flight (whatever changes meanwhile goes in the next), and watches that
// it answers.
class PreviewLink : public QObject
{
    Q_OBJECT

public:
    using Ending = PreviewHandlers::Ending;
    using Handlers = PreviewHandlers;
    // The preview opens at `place`, in screen coordinates.
    PreviewLink(const QString& program, const QRect& place, Handlers handlers, QObject* parent);
    ~PreviewLink() override;

    void show(PreviewContent content);
    // The window moves to `place`, in screen coordinates; no answer comes.
    void place(const QRect& place);
    // Ends the preview without a word back: this object goes once its process has.
    void retire();

    // For tests and benchmarks: the process, and whether the preview has started and shows
    // the latest content.
    qint64 processId() const { return process.processId(); }
    bool upToDate() const { return ready && !inFlight && !wanted; }

signals:
    void painted(qint64 seq);

protected:
    void send(const QJsonObject& message);
    // A message that is none of the program's own: ignored here; the tests' link takes its
    // questions' answers from it.
    virtual void heardOther(const QJsonObject& message);
    void answerArrived() { patience.stop(); }

private:
    void heard(const QJsonObject& message);
    void sendWhatChanged();
    void end(Ending ending);

    Handlers handlers;
    QProcess process;
    MessageLines lines;
    QTimer patience;                  // a preview that stops answering has hung
    std::optional<PreviewContent> sent;
    std::optional<PreviewContent> wanted;
    std::int64_t lastSeq = 0;
    bool inFlight = false;
    bool ready = false;
    bool over = false;
};
