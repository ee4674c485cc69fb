#include "ui/BoxDiagram.h"

#include "model/Properties.h"
#include "platform/Controls.h"
#include "ui/PropertyFields.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <charconv>
#include <limits>

namespace {

constexpr int across = 36;        // each ring's width at the sides
constexpr int down = 30;          // and at the top and bottom
constexpr int editWidth = 32;
constexpr int editHeight = 20;
constexpr int dragThreshold = 3;  // px before a press on a number becomes a drag

// The rings' tints, as browsers' developer tools tint them.
const QColor ringColors[] = {QColor(249, 204, 157), QColor(253, 221, 155), QColor(195, 208, 139), QColor(139, 182, 192)};
const char* const ringCaptions[] = {"külső", "keret", "belső"};

QString caption(const Property& row, const char* part)
{
    return QString::fromUtf8(row.label) + QStringLiteral(", ") + QString::fromUtf8(part);
}

} // namespace

BoxDiagram::BoxDiagram(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("BoxDiagram"));
    setAccessibleName(QStringLiteral("Dobozmodell"));
    setMinimumSize(6 * across + editWidth, 6 * down + editHeight + 10);
    const Property& marginRow = propertyNamed("margin");
    const Property& paddingRow = propertyNamed("padding");
    const char* const marginNames[] = {"MarginTop", "MarginRight", "MarginBottom", "MarginLeft"};
    const char* const paddingNames[] = {"PaddingTop", "PaddingRight", "PaddingBottom", "PaddingLeft"};
    for (std::size_t side = 0; side < 4; ++side)
        marginSides[side] = makeEdit(marginNames[side], caption(marginRow, SidesField::sideNames[side]));
    border = makeEdit("BorderWidth", caption(propertyNamed("border"), "vastagság"));
    for (std::size_t side = 0; side < 4; ++side)
        paddingSides[side] = makeEdit(paddingNames[side], caption(paddingRow, SidesField::sideNames[side]));
    content = new QLabel(this);
    content->setAlignment(Qt::AlignCenter);
    content->setAttribute(Qt::WA_TransparentForMouseEvents);
    setMouseTracking(true);
    // Tab runs ring by ring, each clockwise from the top.
    QWidget* previous = nullptr;
    for (TEdit* edit : {marginSides[0], marginSides[1], marginSides[2], marginSides[3], border, paddingSides[0],
                        paddingSides[1], paddingSides[2], paddingSides[3]}) {
        if (previous)
            setTabOrder(previous, edit);
        previous = edit;
    }
}

TEdit* BoxDiagram::makeEdit(const char* name, const QString& accessibleName)
{
    auto* edit = new TEdit(this, name, "");
    edit->setAccessibleName(accessibleName);
    edit->setToolTip(accessibleName);
    edit->setAlignment(Qt::AlignCenter);
    edit->setFixedSize(editWidth, editHeight);
    edit->installEventFilter(this);
    return edit;
}

void BoxDiagram::showContent(const QString& size)
{
    content->setText(size);
}

QRect BoxDiagram::ringRect(int ring) const
{
    const QRect whole = rect().adjusted(0, 0, -1, -1);
    return whole.adjusted(ring * across, ring * down, -ring * across, -ring * down);
}

void BoxDiagram::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const auto placeSides = [this](const std::array<TEdit*, 4>& sides, int ring) {
        const QRect outer = ringRect(ring);
        const QPoint centre = outer.center();
        sides[0]->move(centre.x() - editWidth / 2, outer.top() + down / 2 - editHeight / 2);
        sides[1]->move(outer.right() - across / 2 - editWidth / 2, centre.y() - editHeight / 2);
        sides[2]->move(centre.x() - editWidth / 2, outer.bottom() - down / 2 - editHeight / 2);
        sides[3]->move(outer.left() + across / 2 - editWidth / 2, centre.y() - editHeight / 2);
    };
    placeSides(marginSides, 0);
    placeSides(paddingSides, 2);
    const QRect borderRing = ringRect(1);
    border->move(borderRing.center().x() - editWidth / 2, borderRing.top() + down / 2 - editHeight / 2);
    content->setGeometry(ringRect(3));
}

void BoxDiagram::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int ring = 0; ring < 4; ++ring) {
        painter.setPen(QPen(palette().color(QPalette::Mid), 1, ring == 1 ? Qt::SolidLine : Qt::DashLine));
        painter.setBrush(ringColors[ring]);
        painter.drawRect(ringRect(ring));
    }
    painter.setPen(QColor(0, 0, 0));
    for (int ring = 0; ring < 3; ++ring)
        painter.drawText(ringRect(ring).adjusted(4, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, QString::fromUtf8(ringCaptions[ring]));
}

std::vector<TEdit*> BoxDiagram::ringOf(TEdit* edit) const
{
    for (const auto* sides : {&marginSides, &paddingSides})
        if (std::find(sides->begin(), sides->end(), edit) != sides->end())
            return {sides->begin(), sides->end()};
    return {edit};
}

// A text that is no number counts as 0; the field refuses what the property does not take.
void BoxDiagram::step(TEdit* edit, int by, bool everySide, bool done)
{
    const std::string text = edit->Text();
    long long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    value = std::clamp<long long>(value + by, std::numeric_limits<std::int32_t>::min() + 1LL,
                                  std::numeric_limits<std::int32_t>::max());
    const std::vector<TEdit*> changed = everySide ? ringOf(edit) : std::vector<TEdit*>{edit};
    for (TEdit* each : changed) {
        each->SetText(std::to_string(value));
        if (onStepped)
            onStepped(each, done);
    }
}

void BoxDiagram::point(Part part)
{
    if (part == pointed)
        return;
    pointed = part;
    if (onPointed)
        onPointed(part);
}

void BoxDiagram::mouseMoveEvent(QMouseEvent* event)
{
    Part under = Margin;
    for (const Part part : {Content, Padding, Border})
        if (ringRect(part).contains(event->position().toPoint())) {
            under = part;
            break;
        }
    point(under);
    QWidget::mouseMoveEvent(event);
}

void BoxDiagram::leaveEvent(QEvent* event)
{
    point(Nowhere);
    QWidget::leaveEvent(event);
}

bool BoxDiagram::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = dynamic_cast<TEdit*>(watched);
    if (edit && event->type() == QEvent::Enter)
        point(std::ranges::find(marginSides, edit) != marginSides.end() ? Margin
              : edit == border                                         ? Border
                                                                       : Padding);
    if (!edit || !edit->isEnabled())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Up && key->key() != Qt::Key_Down)
            break;
        const int by = (key->modifiers() & Qt::ShiftModifier ? 10 : 1) * (key->key() == Qt::Key_Up ? 1 : -1);
        step(edit, by, key->modifiers() & Qt::ControlModifier, true);
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            dragged = edit;
            dragStart = mouse->globalPosition().toPoint();
            const std::string text = edit->Text();
            dragValue = 0;
            std::from_chars(text.data(), text.data() + text.size(), dragValue);
            dragging = false;
        }
        break;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (dragged != edit || !(mouse->buttons() & Qt::LeftButton))
            break;
        const QPoint moved = mouse->globalPosition().toPoint() - dragStart;
        const int by = moved.x() - moved.y();   // right and up make it larger
        if (!dragging && std::abs(by) < dragThreshold)
            break;
        dragging = true;
        const int step = mouse->modifiers() & Qt::ShiftModifier ? 10 : 1;
        edit->SetText(std::to_string(dragValue));
        this->step(edit, by * step, mouse->modifiers() & Qt::ControlModifier, false);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (dragged == edit && std::exchange(dragging, false)) {
            dragged = nullptr;
            step(edit, 0, static_cast<QMouseEvent*>(event)->modifiers() & Qt::ControlModifier, true);
            return true;
        }
        dragged = nullptr;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
