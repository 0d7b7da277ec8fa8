#pragma once

#include "kvarcelcatalogue.h"

#include <QAbstractTableModel>

#include <vector>

namespace mivo::kvarcel
{

/// The item grid of the list builder over the catalogue: "Megnevezés", "Kell", "Sorrend",
/// "Feltétel", "Csoport" and the hidden alias, for the items of the selected tab. The mark
/// columns and the condition are edited by typing; a click on a mark cell toggles it.
class ItemGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Megnevezes, Kell, Sorrend, Feltetel, Csoport, Alias, ColumnCount };

    explicit ItemGridModel(Catalogue& catalogue, QObject* parent = nullptr);

    /// Shows the items of the tab (an index of Catalogue::visibleTabs(); 0 = every item).
    void setTab(int tab);
    int tab() const { return m_tab; }
    /// Re-reads the rows (after the catalogue or the choices changed).
    void refresh();
    /// The catalogue index of a grid row, -1 for none.
    int itemIndex(int row) const;
    /// The grid row of a catalogue index, -1 when it is not on the tab.
    int rowOf(int itemIndex) const;

    /// A click on a cell: mark columns toggle (true when something changed).
    bool click(const QModelIndex& index);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    /// An item got a mark or a condition (the reference-date rule follows it).
    void itemChosen(int itemIndex);

private:
    static bool markColumn(int column);
    static Mark markOf(int column);

    Catalogue& m_catalogue;
    int m_tab = 0;
    std::vector<int> m_rows;
};

} // namespace mivo::kvarcel
