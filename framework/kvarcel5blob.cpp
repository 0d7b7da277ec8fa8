#include "kvarcel5blob.h"

#include <QAbstractItemModel>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

Tkvarcel5BlobFm::Tkvarcel5BlobFm(QWidget* parent)
    : QDialog(parent), m_heading(new QLabel(this)), m_value(new QPlainTextEdit(this))
{
    setObjectName(u"Tkvarcel5BlobFm"_s);
    setWindowTitle(u"memo"_s);
    m_heading->setObjectName(u"l_fejlec"_s);
    m_value->setObjectName(u"m_ertek"_s);
    m_value->setReadOnly(true);
    // The arrow keys move between cells, not within the text.
    m_value->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_heading, 0, 0, 1, 5);
    layout->addWidget(m_value, 1, 0, 1, 5);
    const auto arrow = [this, layout](const QString& name, const QString& text, int column,
                                      int rows, int columns) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this, rows, columns] { move(rows, columns); });
        layout->addWidget(b, 2, column);
    };
    arrow(u"sb_fel"_s, u"↑"_s, 0, -1, 0);
    arrow(u"sb_le"_s, u"↓"_s, 1, 1, 0);
    arrow(u"sb_balra"_s, u"←"_s, 2, 0, -1);
    arrow(u"sb_jobbra"_s, u"→"_s, 3, 0, 1);
    auto* close = new QPushButton(u"&Bezár"_s, this);
    close->setObjectName(u"b_bezar"_s);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 2, 4);
    resize(520, 320);
}

void Tkvarcel5BlobFm::showCell(const QAbstractItemModel* model, const QModelIndex& index)
{
    m_model = model;
    m_index = index;
    if (!model || !index.isValid())
        return;
    m_heading->setText(model->headerData(index.column(), Qt::Horizontal).toString());
    m_value->setPlainText(model->data(index).toString());
}

void Tkvarcel5BlobFm::move(int rows, int columns)
{
    if (!m_model || !m_index.isValid())
        return;
    const QModelIndex target = m_model->index(m_index.row() + rows, m_index.column() + columns);
    if (target.isValid())
        showCell(m_model, target);
}

void Tkvarcel5BlobFm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        move(-1, 0);
        return;
    case Qt::Key_Down:
        move(1, 0);
        return;
    case Qt::Key_Left:
        move(0, -1);
        return;
    case Qt::Key_Right:
        move(0, 1);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace mivo::kvarcel
