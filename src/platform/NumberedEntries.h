#pragma once

#include <QAbstractListModel>
#include <QString>

#include <utility>

// A list's entries that are a prefix and their own place: "div0", "div1", … Each text is
// made when it is shown, so that a list of a hundred thousand entries costs nothing to fill
// or to empty. Entries are added and taken away at the end only, and an entry's text is its
// place's.
class NumberedEntries final : public QAbstractListModel
{
public:
    NumberedEntries(QString prefix, QObject* parent) : QAbstractListModel(parent), prefix(std::move(prefix)) {}

    // That many entries, in one change of the model.
    void setCount(int entries);

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : count; }
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool insertRows(int row, int rows, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int rows, const QModelIndex& parent = {}) override;
    // An entry's whole text is found from its number, however many entries there are.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits,
                          Qt::MatchFlags flags) const override;

private:
    // A list asks for the entry at -1 when none is chosen: that is no entry.
    bool holds(const QModelIndex& index) const { return index.isValid() && index.model() == this && index.row() < count; }
    QString textAt(int row) const { return prefix + QString::number(row); }

    QString prefix;
    int count = 0;
};
