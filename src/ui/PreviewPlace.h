#pragma once

#include <QRect>

#include <vector>

// Where the preview opens, in screen coordinates: in free screen beside the editor's frame
// (right, else left, else below) where at least 320 × 240 is free there; otherwise over
// `free`, the part of the window that holds no control.
QRect firstPreviewPlace(const QRect& editorFrame, const QRect& screen, const QRect& free);

// A place the person gave the preview is taken again while it covers none of the editor's
// controls and lies on a screen.
bool placeStillFits(const QRect& place, const std::vector<QRect>& controls);
