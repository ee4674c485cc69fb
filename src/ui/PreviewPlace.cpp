#include "ui/PreviewPlace.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int leastWidth = 320, leastHeight = 240;
constexpr int wantedWidth = 640, wantedHeight = 480;

// A column beside the frame, `width` wide at `left`: as tall as the frame (at least the
// wanted height), moved up as far as the screen needs.
QRect column(int left, int width, const QRect& editorFrame, const QRect& screen)
{
    const int height = std::min(std::max(editorFrame.height(), wantedHeight), screen.height());
    const int top = std::clamp(editorFrame.top(), screen.top(), screen.bottom() + 1 - height);
    return {left, top, width, height};
}

} // namespace

QRect firstPreviewPlace(const QRect& editorFrame, const QRect& screen, const QRect& free)
{
    if (screen.height() >= leastHeight) {
        const int right = screen.right() - editorFrame.right();
        if (right >= leastWidth)
            return column(editorFrame.right() + 1, std::min(right, wantedWidth), editorFrame, screen);
        const int left = editorFrame.left() - screen.left();
        if (left >= leastWidth) {
            const int width = std::min(left, wantedWidth);
            return column(editorFrame.left() - width, width, editorFrame, screen);
        }
    }
    const int below = screen.bottom() - editorFrame.bottom();
    if (below >= leastHeight && screen.width() >= leastWidth) {
        const int width = std::min(screen.width(), wantedWidth);
        const int left = std::clamp(editorFrame.left(), screen.left(), screen.right() + 1 - width);
        return {left, editorFrame.bottom() + 1, width, std::min(below, wantedHeight)};
    }
    return free;
}

bool placeStillFits(const QRect& place, const std::vector<QRect>& controls)
{
    if (!place.isValid() || !QGuiApplication::screenAt(place.center()))
        return false;
    return std::none_of(controls.begin(), controls.end(), [&place](const QRect& control) { return control.intersects(place); });
}
