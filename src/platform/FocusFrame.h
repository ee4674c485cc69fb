#pragma once

#include <QFocusFrame>

// A frame 2 px wide in the highlight colour around whichever control has the keyboard focus,
// whatever kind of control it is: the style's own mark is a faint line, and none on a radio
// button. One frame serves the whole application; it follows the focus.
class FocusFrame : public QFocusFrame
{
public:
    // Made once, when the application starts; Qt's application object owns it.
    static void followFocus();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FocusFrame() = default;
    void frame(QWidget* focused);
};
