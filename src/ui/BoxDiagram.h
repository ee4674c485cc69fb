#pragma once

#include <QPoint>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class TEdit;

// The box model as browsers' developer tools draw it: the margin's ring outside, the
// border's, the padding's inside, the content's width × height in the middle. Each side's
// number is an edit in its ring. Dragging across a number, or Up and Down in it, changes it
// by 1 (by 10 with Shift); with Ctrl, every side of that ring takes the value.
class BoxDiagram : public QWidget
{
public:
    // The rings from the outside in, and the content in the middle; the order of ringRect.
    enum Part { Nowhere = -1, Margin, Border, Padding, Content };

    explicit BoxDiagram(QWidget* parent);

    // The margin's and the padding's sides, top, right, bottom, left; the border's one width.
    std::array<TEdit*, 4> margin() const { return marginSides; }
    std::array<TEdit*, 4> padding() const { return paddingSides; }
    TEdit* borderWidth() const { return border; }
    void showContent(const QString& size);

    // A number changed by a drag or a key: `done` once the change is whole (a key, the end of
    // a drag); each changed edit is told.
    std::function<void(TEdit* edit, bool done)> onStepped;
    // The pointer came over another part of the box, or left the diagram.
    std::function<void(Part part)> onPointed;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TEdit* makeEdit(const char* name, const QString& accessibleName);
    // The edits of the edit's ring: four, or the border's one.
    std::vector<TEdit*> ringOf(TEdit* edit) const;
    void step(TEdit* edit, int by, bool everySide, bool done);
    QRect ringRect(int ring) const;   // 0 the margin's outer edge … 3 the content
    void point(Part part);

    std::array<TEdit*, 4> marginSides{};
    std::array<TEdit*, 4> paddingSides{};
    TEdit* border = nullptr;
    QLabel* content = nullptr;
    // A drag across a number: where it started and the value then.
    TEdit* dragged = nullptr;
    QPoint dragStart;
    int dragValue = 0;
    bool dragging = false;
    Part pointed = Nowhere;
};
