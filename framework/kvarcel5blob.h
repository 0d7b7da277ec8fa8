#pragma once

#include <QDialog>
#include <QModelIndex>

class QAbstractItemModel;
class QLabel;
class QPlainTextEdit;

namespace mivo::kvarcel
{

/// The cell viewer of the list builder's result ("memo"): a column's heading and one cell's
/// value, read-only; the arrow buttons and keys move to the next or previous row (down, up)
/// and column (right, left). "&Bezár" closes it.
class Tkvarcel5BlobFm : public QDialog
{
    Q_OBJECT
public:
    explicit Tkvarcel5BlobFm(QWidget* parent = nullptr);

    /// Shows the cell of the model; the arrows stay within the model.
    void showCell(const QAbstractItemModel* model, const QModelIndex& index);
    QModelIndex current() const { return m_index; }
    /// Moves by rows and columns when the target exists.
    void move(int rows, int columns);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const QAbstractItemModel* m_model = nullptr;
    QModelIndex m_index;
    QLabel* m_heading;
    QPlainTextEdit* m_value;
};

} // namespace mivo::kvarcel
