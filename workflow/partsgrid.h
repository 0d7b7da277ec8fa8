#pragma once

#include "partsstock.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace mivo::workflow
{

/// The rows of the parts form and what its buttons do to them; the form shows them and asks
/// the user. There is always at least one row.
class PartsGrid
{
public:
    PartsGrid() : m_rows(1) {}

    const std::vector<PartRow>& rows() const { return m_rows; }
    void setRows(std::vector<PartRow> rows);
    void clear() { setRows({}); }
    int rowCount() const { return int(m_rows.size()); }

    /// The quantity a choice for the row must cover: its "Darab" as a whole number, else 1.
    int wanted(int row) const;
    /// Puts the chosen part into the row; the row keeps its own quantity, else gets "1".
    void put(int row, const PartRow& part);
    /// The typed quantity of a row.
    void setQuantity(int row, const QString& quantity);
    /// "+": adds an empty row when the last one holds a part; the row to choose for.
    int addRow();
    /// Whether "-" may remove the row: it holds a part.
    bool removable(int row) const;
    /// "-": the last row is emptied, any other removed.
    void remove(int row);
    /// "&Befejez": the parts list of the rows with a quantity, each code followed by ",".
    /// Nullopt when a quantity is no number; *invalid then lists those quantities.
    std::optional<QString> finish(QStringList* invalid) const;

private:
    std::vector<PartRow> m_rows;
};

} // namespace mivo::workflow
