#include "alkkeszlet.h"

#include "core/altproc.h"
#include "core/messages.h"
#include "framework/torzsopener.h"
#include "platform/sqltext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

enum Column { Number, Choose, Code, Name, Quantity, Stock, Columns };

QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

Talk_keszletfm::Talk_keszletfm(QWidget* parent)
    : QDialog(parent), m_technician(new QLabel(this)), m_appliance(new QLabel(this)),
      m_typeOnly(new QRadioButton(u"&Csak a készülékhez hozzárendelt"_s, this)),
      m_all(new QRadioButton(u"&Minden alkatrész"_s, this)), m_table(new QTableWidget(this))
{
    setObjectName(u"Talk_keszletfm"_s);
    setWindowTitle(u"Alkatrészek a szerelőnél"_s);
    m_technician->setObjectName(u"l_szerelo"_s);
    m_appliance->setObjectName(u"l_keszulek"_s);
    m_table->setObjectName(u"sg_alkatresz"_s);
    m_table->setColumnCount(Columns);
    m_table->setHorizontalHeaderLabels({u"No."_s, u"?"_s, u"Alkatrész kód"_s,
                                        u"Alkatrész megnevezés"_s, u"Darab"_s,
                                        u"Készlet (Sz+C)"_s});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::AllEditTriggers);

    auto* layout = new QVBoxLayout(this);
    for (const auto& [caption, value] :
         {std::pair{u" Szerelőkód:"_s, m_technician}, {u" Készülék:"_s, m_appliance}}) {
        auto* line = new QHBoxLayout;
        line->addWidget(new QLabel(caption, this));
        line->addWidget(value, 1);
        layout->addLayout(line);
    }
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(m_typeOnly);
    kinds->addWidget(m_all);
    kinds->addStretch();
    layout->addLayout(kinds);
    layout->addWidget(m_table, 1);
    auto* buttons = new QHBoxLayout;
    QPushButton* add = button(u"b_plusz"_s, u"+"_s, this);
    QPushButton* remove = button(u"b_minusz"_s, u"-"_s, this);
    QPushButton* done = button(u"b_befejez"_s, u"&Befejez"_s, this);
    QPushButton* back = button(u"b_vissza"_s, u"&Vissza"_s, this);
    for (QPushButton* b : {add, remove, done, back})
        buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons);
    resize(760, 420);

    connect(add, &QPushButton::clicked, this, &Talk_keszletfm::plus);
    connect(remove, &QPushButton::clicked, this, &Talk_keszletfm::minus);
    connect(done, &QPushButton::clicked, this, &Talk_keszletfm::finish);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (column == Choose && !m_showing)
            chooseFor(row);
    });
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == Choose)
            chooseFor(row);
    });
    connect(m_table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_showing && item->column() == Quantity)
            m_grid.setQuantity(item->row(), item->text());
    });
}

void Talk_keszletfm::showRows()
{
    m_showing = true;
    m_table->setRowCount(m_grid.rowCount());
    for (int row = 0; row < m_grid.rowCount(); ++row) {
        const PartRow& r = m_grid.rows()[size_t(row)];
        const QString texts[Columns] = {
            QString::number(row + 1), u"?"_s, r.code, r.name, r.quantity, r.stock};
        for (int column = 0; column < Columns; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            Qt::ItemFlags flags = Qt::ItemIsEnabled;
            if (column == Quantity)
                flags |= Qt::ItemIsEditable | Qt::ItemIsSelectable;
            else if (column == Choose || column == Number)
                flags |= Qt::ItemIsSelectable;
            item->setFlags(flags);
            m_table->setItem(row, column, item);
        }
    }
    m_table->resizeColumnToContents(Code);
    m_showing = false;
}

PartsHook::Result Talk_keszletfm::prepare(int jobCode, const QString& technician)
{
    QString error;
    const std::optional<std::vector<PartRow>> rows =
        PartsStock().jobParts(jobCode, technician, &error);
    if (!rows)
        return {false, error, 0};
    m_committed = *rows;
    m_grid.setRows(*rows);
    return {};
}

std::optional<QString> Talk_keszletfm::choose(const PartsRequest& request)
{
    m_request = request;
    m_technician->setText(request.technicianText);
    m_appliance->setText(request.typeName);
    (request.tipus > 0 ? m_typeOnly : m_all)->setChecked(true);
    QString error;
    const std::optional<std::vector<PartRow>> rows =
        PartsStock().rowsOf(request.parts, request.technician, m_committed, &error);
    if (!rows) {
        messages::showError(error);
        return std::nullopt;
    }
    m_grid.setRows(*rows);
    showRows();
    findChild<QPushButton*>(u"b_plusz"_s)->setFocus();
    if (exec() != QDialog::Accepted) {
        // "&Vissza" discards: the store keeps to the rows of the last "&Befejez".
        m_grid.setRows(m_committed);
        return std::nullopt;
    }
    m_committed = m_grid.rows();
    return m_finished;
}

PartsHook::Result Talk_keszletfm::release(const QString& connectionName, int jobCode,
                                          const QString& technician)
{
    return PartsStock(connectionName).release(jobCode, technician);
}

PartsHook::Result Talk_keszletfm::reserveAndRecord(const QString& connectionName, int jobCode,
                                                   int tipus, int keszulek,
                                                   const QString& technician)
{
    return PartsStock(connectionName)
        .reserveAndRecord(jobCode, tipus, keszulek, technician, m_committed);
}

void Talk_keszletfm::empty()
{
    m_committed.clear();
    m_grid.clear();
}

void Talk_keszletfm::chooseFor(int row)
{
    // The editor's own window moves the current cell: one choice at a time.
    if (m_choosing || row < 0 || row >= m_grid.rowCount())
        return;
    m_choosing = true;
    const int wanted = m_grid.wanted(row);
    const PartRow current = m_grid.rows()[size_t(row)];
    TorzsCall call;
    call.selectionMode = true;
    if (m_all->isChecked()) {
        call.tableSpec = u"ARU"_s;
        call.condition = u"Where ARU.JELLEG='A'"_s;
        call.searchText = current.name;
    } else {
        call.tableSpec = u"VW_KESZ_ALK"_s;
        call.condition = u"Where KESZULEK_KOD="_s + db::literal(m_request.typeCode);
        call.searchText = current.code;
    }
    if (OpenTorzs(call)) {
        const auto value = [&call](const QString& field) {
            return alt::pickedValue(field, call.names, call.values).trimmed();
        };
        QString error;
        const QString code = value(u"KOD"_s);
        const std::optional<StockLevel> level =
            PartsStock().lookup(m_request.technician, code, &error);
        if (!level) {
            messages::showError(error);
        } else if (level->available() >= wanted ||
                   messages::confirm(u"Nincs készleten ennyi alkatrész: "_s +
                                     QString::number(wanted) + u"\nSzerelőnél: "_s +
                                     alt::formatDecimal(level->technician) +
                                     u"\nCég készleten: "_s + alt::formatDecimal(level->company) +
                                     u"\nFolytatjuk?"_s)) {
            m_grid.put(row,
                       {code, value(u"NEV"_s), {}, value(u"BELSOKOD"_s).toInt(), level->text()});
            showRows();
        }
    }
    m_choosing = false;
}

void Talk_keszletfm::plus()
{
    const int row = m_grid.addRow();
    showRows();
    chooseFor(row);
}

void Talk_keszletfm::minus()
{
    const int row = m_table->currentRow();
    if (!m_grid.removable(row) ||
        !messages::confirm(u"Töröljük a "_s + QString::number(row + 1) + u". sort?"_s))
        return;
    m_grid.remove(row);
    showRows();
}

void Talk_keszletfm::finish()
{
    QStringList invalid;
    const std::optional<QString> list = m_grid.finish(&invalid);
    for (const QString& quantity : invalid)
        messages::show(u"Nem jó szám:"_s + quantity);
    if (!list) {
        reject();
        return;
    }
    m_finished = *list;
    accept();
}

} // namespace mivo::workflow
