#pragma once

#include <QByteArray>
#include <QJsonObject>

#include <optional>

// What the editor and its preview say to each other: one JSON object a line, over the
// preview's standard input and output.
//
// Editor → preview, each with a number "seq" the preview answers with {"painted": seq} once
// a frame shows it:
//   {"do": "show", "base": URL, "page": {"css", "elements"}?, "add": elements?,
//    "styles": [[rule, declarations]…], "mark": rule, "outlines": bool, "hover": rule,
//    "shade": part, "width": px}
//                       "page" rebuilds the elements, "add" adds some after the others;
//                       "styles" sets single rules' values; "outlines" shows every div's
//                       outline and name; "hover" frames a box above everything; "shade"
//                       shades the marked box's "margin", "border", "padding", "content" or
//                       all four ("box"); "width" lays the page out that wide (0: the window's)
// and, unanswered, {"do": "place", "at": [x, y, width, height]}: the window moves there
// and, only in the tests' build of the preview (prizmo-preview-probed):
//   {"do": "probe"}     answered {"probe": {rule: {computed values…, "parent", "pixel"}}}
//   {"do": "click", "rule": rule}   a mouse click at the centre of the rule's box
//   {"do": "point", "rule": rule}   the pointer moved to the centre of the rule's box
//   {"do": "drag", "edge": "right"|"bottom"|"corner"|"move", "by": [dx, dy], "shift"?, "escape"?,
//    "hold"?}           a drag of the marked div's handle, or from its centre: released, or
//                       Escape first, or held (answered {"dragged": ms} once the frame after
//                       its moves has run: the milliseconds from the moves to that frame)
//   {"do": "key", "key": "left"|"right"|"up"|"down", "shift"?}   an arrow key pressed
// Preview → editor: {"ready": true}, {"painted": seq}, {"clicked": rule}, {"hovered": rule or
// ""} (the pointer came to another box, or left them), {"resized": [rule, width, height]} (a
// drag of the marked div's handle released; null for a length the edge dragged left alone),
// {"moved": [rule, left, top, keyed]} (the marked div dragged to there and released, or
// moved by an arrow key; null for an offset that did not change),
// {"closed": true},
// {"placed": [x, y, width, height]} (moved or resized), {"failed": reason}. A rule is "body"
// or "divN".
QByteArray messageLine(const QJsonObject& message);

// Collects the bytes that arrive and hands out the complete lines' messages; a line that is
// no JSON object is skipped.
class MessageLines
{
public:
    void append(const QByteArray& bytes) { pending += bytes; }
    std::optional<QJsonObject> next();

private:
    QByteArray pending;
};
