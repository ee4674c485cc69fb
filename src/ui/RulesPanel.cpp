#include "ui/RulesPanel.h"

#include "ui/RulesModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>

#include <utility>

RulesPanel::RulesPanel(TForm1* form, std::function<void(const Rule&)> open)
    : QDockWidget(QStringLiteral("Szabályok"), form),
      model(new RulesModel(form->body, form->divs, form->lastDiv, this)),
      view(new QTreeView(this))
{
    setObjectName(QStringLiteral("RulesPanel"));
    // Shown and hidden from the menu only, always on the right: the designed controls keep
    // their places.
    setFeatures(QDockWidget::NoDockWidgetFeatures);
    setMinimumWidth(designedWidth);

    view->setObjectName(QStringLiteral("RulesTree"));
    view->setAccessibleName(QStringLiteral("Szabályok"));
    // One height for every row: the tree then lays out a hundred thousand divs at once.
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setModel(model);
    view->header()->setStretchLastSection(true);
    view->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    view->header()->resizeSection(0, 110);
    setWidget(view);
    setFocusProxy(view);

    connect(view, &QTreeView::activated, this,
            [this, open = std::move(open)](const QModelIndex& index) { open(model->ruleAt(index)); });
}

void RulesPanel::follow(bool restructured, const Rule& changed, const Rule& panels)
{
    model->follow(restructured, changed);
    expandPending = expandPending || (restructured && model->nested());
    selected = panels;
    // A hidden tree is left alone: choosing its row would lay out every row at once.
    if (!isHidden())
        catchUp();
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
