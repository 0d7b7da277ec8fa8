#include "iniedit.h"

#include "ini.h"
#include "messages.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace mivo
{

Tiniedit::Tiniedit(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Tiniedit"));
    setWindowTitle(QStringLiteral("Beállítások (INI fájl szerkesztése)"));
    auto* layout = new QVBoxLayout(this);
    auto* heading =
        new QLabel(QStringLiteral("Változók megnevezései és a beállítandó értékek"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    layout->addWidget(scroll, 1);
    m_rows = new QWidget(scroll);
    scroll->setWidget(m_rows);
    new QGridLayout(m_rows);

    auto* buttons = new QHBoxLayout;
    auto* storeButton = new QPushButton(QStringLiteral("Tárolás"), this);
    storeButton->setObjectName(QStringLiteral("b_tarolas"));
    auto* backButton = new QPushButton(QStringLiteral("Vissza"), this);
    backButton->setObjectName(QStringLiteral("b_vissza"));
    buttons->addStretch();
    buttons->addWidget(storeButton);
    buttons->addWidget(backButton);
    layout->addLayout(buttons);
    connect(storeButton, &QPushButton::clicked, this, [this] { store(); });
    connect(backButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(560, 600);
}

void Tiniedit::showEvent(QShowEvent* event)
{
    reload();
    QDialog::showEvent(event);
}

void Tiniedit::reload()
{
    auto* grid = static_cast<QGridLayout*>(m_rows->layout());
    while (QLayoutItem* item = grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_edits.clear();
    const auto& entries = Ini::instance().entries();
    for (int row = 0; row < entries.size(); ++row) {
        auto* label = new QLabel(entries[row].key, m_rows);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        auto* edit = new QLineEdit(entries[row].value, m_rows);
        edit->setObjectName(QStringLiteral("E_") + entries[row].key);
        edit->setToolTip(entries[row].comment);
        edit->setFixedHeight(22);
        // Passwords are typed here but never shown.
        if (entries[row].key.endsWith(QLatin1String("PASSWORD")))
            edit->setEchoMode(QLineEdit::Password);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        m_edits.push_back(edit);
    }
    grid->setRowStretch(int(entries.size()), 1);
}

bool Tiniedit::store()
{
    if (!messages::confirm(QStringLiteral("Biztos, hogy tárolja a paramétertáblát?")))
        return false;
    Ini& ini = Ini::instance();
    const auto entries = ini.entries();
    for (int i = 0; i < entries.size() && i < int(m_edits.size()); ++i)
        ini.set(entries[i].key, m_edits[size_t(i)]->text().trimmed(), entries[i].comment);
    QString error;
    if (!ini.write(&error)) {
        messages::show(QStringLiteral("A beállítási fájl nem írható: ") + error,
                       MessageKind::Error);
        return false;
    }
    return true;
}

} // namespace mivo
