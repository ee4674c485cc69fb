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
//    "styles": [[rule, declarations]…], "mark": rule, "outlines": bool, "hover": rule}
//                       "page" rebuilds the elements, "add" adds some after the others;
//                       "styles" sets single rules' values; "outlines" shows every div's
//                       outline and name; "hover" frames a box above everything
// and, unanswered, {"do": "place", "at": [x, y, width, height]}: the window moves there
// and, only in the tests' build of the preview (prizmo-preview-probed):
//   {"do": "probe"}     answered {"probe": {rule: {computed values…, "parent", "pixel"}}}
//   {"do": "click", "rule": rule}   a mouse click at the centre of the rule's box
//   {"do": "point", "rule": rule}   the pointer moved to the centre of the rule's box
//   {"do": "drag", "edge": "right"|"bottom"|"corner", "by": [dx, dy], "shift"?, "escape"?,
//    "hold"?}           a drag of the marked div's handle: released, or Escape first, or held
//                       (answered {"dragged": true} once the frame after its moves has run)
// Preview → editor: {"ready": true}, {"painted": seq}, {"clicked": rule}, {"hovered": rule or
// ""} (the pointer came to another box, or left them), {"resized": [rule, width, height]} (a
// drag of the marked div's handle released; null for a length the edge dragged left alone),
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
