#include "ui/RulesPanel.h"

#include "ui/RulesModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeView>

#include <algorithm>
#include <utility>

RulesPanel::RulesPanel(TForm1* form, Requests requests)
    : QDockWidget(QStringLiteral("Szabályok"), form), requests(std::move(requests)),
      model(new RulesModel(form->records, this->requests.nest, this)),
      view(new QTreeView(this))
{
    setObjectName(QStringLiteral("RulesPanel"));
    // Shown and hidden from the menu only, always on the right: the designed controls keep
    // their places.
    setFeatures(QDockWidget::NoDockWidgetFeatures);
    fitWithin(designedWidth);

    view->setObjectName(QStringLiteral("RulesTree"));
    view->setAccessibleName(QStringLiteral("Szabályok"));
    // One height for every row: the tree then lays out a hundred thousand divs at once.
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setModel(model);
    view->setDragDropMode(QAbstractItemView::InternalMove);
    view->setDefaultDropAction(Qt::MoveAction);
    view->setDropIndicatorShown(true);
    view->header()->setStretchLastSection(true);
    view->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    setWidget(view);
    setFocusProxy(view);
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);

    view->viewport()->setMouseTracking(true);
    connect(view, &QTreeView::activated, this,
            [this](const QModelIndex& index) { this->requests.open(model->ruleAt(index)); });
}

// The names' column takes half, and the sizes' the rest: the last column, stretched, is
// never narrower than its own size, so it is given the least and stretched from there.
void RulesPanel::fitWithin(int width)
{
    width = std::clamp(width, narrowestWidth, designedWidth);
    setMinimumWidth(width);
    view->header()->resizeSection(0, width / 2);
    view->header()->resizeSection(1, view->header()->minimumSectionSize());
}

void RulesPanel::follow(const StyleSheetChange& change)
{
    if (model->follow(change))
        expandPending = expandPending || model->nested();
    else   // a div moved into another shows there
        for (const std::int32_t div : model->moved())
            for (QModelIndex at = model->indexOf({Rule::Kind::Div, div}).parent(); at.isValid(); at = at.parent())
                view->expand(at);
    selected = change.panels;
    // A hidden tree is left alone: choosing its row would lay out every row at once.
    if (!isHidden())
        catchUp();
}

// "Div törlése" (Delete) deletes the div the panels stand for: from the tree only while that
// is the row the person is on, so that the key never deletes another div than the one seen.
bool RulesPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view && event->type() == QEvent::KeyPress
        && (tookNestingKey(*static_cast<QKeyEvent*>(event)) || tookTypedName(*static_cast<QKeyEvent*>(event))))
        return true;
    if (watched == view->viewport() && event->type() == QEvent::MouseButtonPress)
        typed.clear();
    if (watched == view->viewport() && (event->type() == QEvent::MouseMove || event->type() == QEvent::Leave)) {
        const Rule row = event->type() == QEvent::Leave
            ? Rule{}
            : model->ruleAt(view->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
        if (row != std::exchange(pointed, row))
            requests.hovered(row);
    }
    if (watched == view && event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete
        && model->ruleAt(view->currentIndex()) != selected) {
        event->accept();   // the tree takes the key, and does nothing with it
        return true;
    }
    return QDockWidget::eventFilter(watched, event);
}

bool RulesPanel::tookTypedName(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Shift || key.key() == Qt::Key_Control || key.key() == Qt::Key_Alt
        || key.key() == Qt::Key_Meta || key.key() == Qt::Key_AltGr)
        return false;
    const QString text = key.text();
    const bool printable = !text.isEmpty() && text.at(0).isPrint()
        && !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (printable) {
        // The tree's own search starts over after the same pause.
        if (!sinceTyped.isValid() || sinceTyped.hasExpired(QApplication::keyboardInputInterval()))
            typed.clear();
        typed += text.toStdString();
        sinceTyped.start();
        return false;
    }
    if ((key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && !typed.empty()) {
        requests.openNamed(std::exchange(typed, std::string()));
        return true;
    }
    typed.clear();   // the arrows, Home, …: the row is the person's choice again
    return false;
}

bool RulesPanel::tookNestingKey(const QKeyEvent& key)
{
    if (key.modifiers() != Qt::ControlModifier || (key.key() != Qt::Key_Right && key.key() != Qt::Key_Left))
        return false;
    const Rule rule = model->ruleAt(view->currentIndex());
    if (rule.kind == Rule::Kind::Div) {
        const auto parent = key.key() == Qt::Key_Right ? model->nestedDeeper(rule.number)
                                                       : model->nestedShallower(rule.number);
        if (parent) {
            requests.nest(rule.number, *parent);
            // The row stays current, so that the next Ctrl+arrow moves it on; the selection
            // stays with the panels' rule.
            view->selectionModel()->setCurrentIndex(model->indexOf(rule), QItemSelectionModel::NoUpdate);
            view->scrollTo(view->currentIndex());
        }
    }
    return true;   // the tree's own Ctrl+arrows would only move the row
}

void RulesPanel::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    catchUp();
}

void RulesPanel::catchUp()
{
    if (std::exchange(expandPending, false))
        view->expandAll();
    select(selected);
}

void RulesPanel::select(const Rule& rule)
{
    const QModelIndex row = model->indexOf(rule);
    if (!row.isValid()) {
        view->selectionModel()->clearSelection();
        return;
    }
    if (view->currentIndex() != row || !view->selectionModel()->isSelected(row))
        view->setCurrentIndex(row);
    if (isVisible())
        view->scrollTo(row);
}

void RulesPanel::focusTree()
{
    view->setFocus(Qt::ShortcutFocusReason);
    if (!view->currentIndex().isValid())
        view->setCurrentIndex(model->index(0, 0));
}
