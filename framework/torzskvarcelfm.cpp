#include "torzskvarcelfm.h"

#include "alapdat.h"
#include "kvarcelresult.h"
#include "rights.h"

#include "core/dat.h"
#include "core/messages.h"
#include "platform/dbquery.h"
#include "reports/qexport.h"
#include "reports/qrszotar.h"
#include "reports/reportprint.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStringListModel>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo
{

namespace
{

enum Column {
    NoColumn,
    NameColumn,
    MarkColumn,
    SortColumn,
    ConnectorColumn,
    ConditionColumn,
    FieldColumn
};

QPushButton* button(QWidget* parent, const QString& name, const QString& text,
                    const QString& hint = {})
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

} // namespace

Ttorzskvarcelfm::Ttorzskvarcelfm(QWidget* parent)
    : QDialog(parent), m_result(new kvarcel::ResultModel(this))
{
    setObjectName(u"Ttorzskvarcelfm"_s);
    setWindowTitle(u"Törzslista"_s);
    setModal(true);
    auto* layout = new QVBoxLayout(this);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(new QLabel(u"A lista címsora:"_s, this));
    m_title = new QLineEdit(this);
    m_title->setObjectName(u"e_cim"_s);
    titleRow->addWidget(m_title, 1);
    layout->addLayout(titleRow);
    connect(m_title, &QLineEdit::textEdited, this, [this](const QString& t) { m_list.title = t; });

    auto* splitter = new QSplitter(Qt::Vertical, this);
    layout->addWidget(splitter, 1);
    auto* top = new QWidget(splitter);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);

    m_grid = new QTableWidget(0, 7, top);
    m_grid->setObjectName(u"g_mezok"_s);
    m_grid->setHorizontalHeaderLabels(
        {u"No."_s, u"Mező név"_s, u"Kell?"_s, u"Sor."_s, u"és/vagy"_s, u"Feltétel"_s, {}});
    m_grid->setColumnHidden(FieldColumn, true);
    m_grid->verticalHeader()->hide();
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::DoubleClicked);
    const int em = fontMetrics().horizontalAdvance(u'M');
    m_grid->setColumnWidth(NoColumn, em * 3);
    m_grid->setColumnWidth(NameColumn, em * 18);
    m_grid->setColumnWidth(MarkColumn, em * 4);
    m_grid->setColumnWidth(SortColumn, em * 4);
    m_grid->setColumnWidth(ConnectorColumn, em * 5);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    topLayout->addWidget(m_grid, 1);
    // A click acts on the cell; so does moving into it with the keys (a click's own move is
    // left to the click). Moves the program makes while refreshing never act.
    connect(m_grid, &QTableWidget::cellClicked, this, &Ttorzskvarcelfm::actOn);
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (!m_refreshing && QApplication::mouseButtons() == Qt::NoButton)
            actOn(row, column);
    });
    connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_refreshing && item->column() == ConditionColumn)
            m_list.setCondition(item->row(), item->text());
    });

    auto* side = new QVBoxLayout;
    topLayout->addLayout(side);
    auto* conditionButton = button(top, u"b_feltetel"_s, u"&Feltétel megadása"_s);
    auto* clearOne = button(top, u"b_feltetel_torles"_s, u"Feltétel &törlése"_s);
    auto* clearAll = button(top, u"b_minden_torles"_s, u"Minden feltétel törlés"_s);
    side->addWidget(conditionButton);
    side->addWidget(clearOne);
    side->addWidget(clearAll);
    connect(conditionButton, &QPushButton::clicked, this, &Ttorzskvarcelfm::openConditionPanel);
    connect(clearOne, &QPushButton::clicked, this, [this] {
        m_list.clearCondition(m_grid->currentRow());
        refreshGrid();
    });
    connect(clearAll, &QPushButton::clicked, this, [this] {
        m_list.clearConditions();
        refreshGrid();
    });

    m_conditionPanel = new QWidget(top);
    m_conditionPanel->setObjectName(u"p_feltetel"_s);
    auto* panel = new QVBoxLayout(m_conditionPanel);
    m_operator = new QComboBox(m_conditionPanel);
    m_operator->setObjectName(u"cb_muvelet"_s);
    for (const auto& op : torzskvarcel::operators())
        m_operator->addItem(op.entry);
    panel->addWidget(m_operator);
    m_fromLabel = new QLabel(u"(-tól)"_s, m_conditionPanel);
    panel->addWidget(new QLabel(u"Érték"_s, m_conditionPanel));
    auto* valueRow = new QHBoxLayout;
    m_value = new QLineEdit(m_conditionPanel);
    m_value->setObjectName(u"e_ertek"_s);
    valueRow->addWidget(m_value, 1);
    valueRow->addWidget(m_fromLabel);
    auto* distinct = button(m_conditionPanel, u"b_ertekek"_s, u"?"_s, u"Különböző értékek"_s);
    valueRow->addWidget(distinct);
    panel->addLayout(valueRow);
    m_values = new QComboBox(m_conditionPanel);
    m_values->setObjectName(u"cb_ertekek"_s);
    m_values->setModel(new QStringListModel(m_values));
    m_values->hide();
    panel->addWidget(m_values);
    m_value2Label = new QLabel(u"Érték 2 (-ig)"_s, m_conditionPanel);
    m_value2 = new QLineEdit(m_conditionPanel);
    m_value2->setObjectName(u"e_ertek2"_s);
    panel->addWidget(m_value2Label);
    panel->addWidget(m_value2);
    auto* acceptButton = button(m_conditionPanel, u"b_elfogad"_s, u"F&eltétel elfogadása"_s);
    auto* cancelButton = button(m_conditionPanel, u"b_megsem"_s, u"Mé&gsem"_s);
    panel->addWidget(acceptButton);
    panel->addWidget(cancelButton);
    panel->addStretch();
    side->addWidget(m_conditionPanel);
    side->addStretch();
    m_conditionPanel->hide();
    const auto showBetween = [this] {
        const bool between =
            torzskvarcel::operators()[size_t(std::max(0, m_operator->currentIndex()))].code ==
            u"[]"_s;
        m_value2->setVisible(between);
        m_value2Label->setVisible(between);
        m_fromLabel->setVisible(between);
    };
    connect(m_operator, &QComboBox::currentIndexChanged, this, showBetween);
    showBetween();
    connect(distinct, &QPushButton::clicked, this, &Ttorzskvarcelfm::fillDistinctValues);
    connect(m_values, &QComboBox::activated, this,
            [this](int index) { m_value->setText(m_values->itemText(index)); });
    connect(acceptButton, &QPushButton::clicked, this, &Ttorzskvarcelfm::acceptCondition);
    connect(cancelButton, &QPushButton::clicked, m_conditionPanel, &QWidget::hide);

    auto* bottom = new QWidget(splitter);
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    bottomLayout->addLayout(buttons);
    auto* run = button(bottom, u"b_indul"_s, u"Indul"_s, u"Lekrérdezés indítása itt"_s);
    auto* fresh =
        button(bottom, u"b_uj"_s, u"Új lekérdezés"_s, u"Feltételek és kiválasztások törlése"_s);
    auto* print = button(bottom, u"b_nyomtat"_s, u"Nyomtatási kép"_s);
    auto* store = button(bottom, u"b_tarol"_s, u"Tárolás táblába"_s);
    auto* summary = button(bottom, u"b_kerdes"_s, u"?"_s);
    m_sqlButton = button(bottom, u"b_sql"_s, u"SQL"_s);
    auto* finish = button(bottom, u"b_befejez"_s, u"&Befejez"_s);
    auto* back = button(bottom, u"b_vissza"_s, u"&Vissza (nincs feltétel)"_s);
    for (QPushButton* b : {run, fresh, print, store, summary, m_sqlButton, finish, back})
        buttons->addWidget(b);
    buttons->addStretch();
    connect(run, &QPushButton::clicked, this, &Ttorzskvarcelfm::runQuery);
    connect(fresh, &QPushButton::clicked, this, &Ttorzskvarcelfm::newQuery);
    connect(print, &QPushButton::clicked, this, [this] {
        if (!ensureResult())
            return;
        if (m_result->rowCount() == 0) {
            messages::show(u"Nincs mit nyomtatni."_s);
            return;
        }
        kvarcel::ResultRows rows(*m_result, reportTitle());
        Tqr_szotar& szotar = Tqr_szotar::instance();
        szotar.setDataSet(&rows);
        szotar.setTitle(reportTitle());
        report::preview([&szotar](QString* error) { return szotar.build(error); }, this);
        szotar.setDataSet(nullptr);
    });
    connect(store, &QPushButton::clicked, this, [this] { listToFile({}); });
    connect(summary, &QPushButton::clicked, this,
            [this] { messages::show(m_list.summary(), MessageKind::Dialog); });
    connect(m_sqlButton, &QPushButton::clicked, this,
            [this] { m_statement->setPlainText(m_list.buildIntoWindow()); });
    connect(finish, &QPushButton::clicked, this, [this] {
        m_statement->clear();
        m_finished = true;
        accept();
    });
    connect(back, &QPushButton::clicked, this, &Ttorzskvarcelfm::reject);

    m_statement = new QPlainTextEdit(bottom);
    m_statement->setObjectName(u"m_sql"_s);
    m_statement->setToolTip(u"SQL utasitás - csak halandók irjanak bele!"_s);
    m_statement->setMaximumHeight(fontMetrics().lineSpacing() * 7);
    bottomLayout->addWidget(m_statement);
    m_resultGrid = new QTableView(bottom);
    m_resultGrid->setObjectName(u"g_eredmeny"_s);
    m_resultGrid->setToolTip(u"A lekérdezés eredménytáblája"_s);
    m_resultGrid->setModel(m_result);
    bottomLayout->addWidget(m_resultGrid, 1);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    resize(em * 90, em * 55);
    // The field list and the result both want rows: most of the screen's height where there is one.
    if (const QScreen* s = screen())
        resize(std::max(width(), s->availableGeometry().width() * 2 / 3),
               std::max(height(), s->availableGeometry().height() * 17 / 20));

    setTorzskvarcelOpener(this);
}

Ttorzskvarcelfm::~Ttorzskvarcelfm()
{
    setTorzskvarcelOpener(nullptr);
}

bool Ttorzskvarcelfm::openList(QWidget*, const QString& table, QString* condition, QString* fields,
                               QString* order)
{
    QString error;
    const QString previous = m_list.table();
    if (!m_list.load(Tdm::connectionName, table, &error)) {
        messages::showError(error);
        return false;
    }
    if (m_list.table() != previous) {
        m_result->clear();
        m_statement->clear();
    }
    m_title->setText(m_list.title);
    setWindowTitle(u"Feltételek szerinti szűrés :"_s + m_list.table());
    m_sqlButton->setVisible(Tdm::instance().FrameworkRights.contains(u'W'));
    m_conditionPanel->hide();
    refreshGrid();
    m_finished = false;
    exec();
    // Closing the screen closes its result.
    m_result->clear();
    if (!m_finished)
        return false;
    const torzskvarcel::Statement s = m_list.build();
    if (condition)
        *condition = s.condition;
    if (fields)
        *fields = s.fields;
    if (order)
        *order = s.order;
    return true;
}

void Ttorzskvarcelfm::reject()
{
    m_finished = false;
    QDialog::reject();
}

void Ttorzskvarcelfm::refreshGrid()
{
    m_refreshing = true;
    const auto& rows = m_list.rows();
    const int current = m_grid->currentRow();
    m_grid->setRowCount(int(rows.size()));
    for (int i = 0; i < int(rows.size()); ++i) {
        const torzskvarcel::FieldRow& r = rows[size_t(i)];
        const QStringList texts = {QString::number(i + 1),
                                   r.caption,
                                   r.mark,
                                   r.sort ? QString::number(r.sort) : QString(),
                                   r.connector,
                                   r.condition,
                                   r.column};
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            Qt::ItemFlags flags = Qt::ItemIsEnabled;
            if (c != NameColumn)
                flags |= Qt::ItemIsSelectable;
            if (c == ConditionColumn)
                flags |= Qt::ItemIsEditable;
            item->setFlags(flags);
            m_grid->setItem(i, c, item);
        }
    }
    if (current >= 0 && current < int(rows.size()))
        m_grid->setCurrentCell(current, ConditionColumn);
    m_refreshing = false;
}

void Ttorzskvarcelfm::actOn(int row, int column)
{
    if (m_refreshing || row < 0)
        return;
    switch (column) {
    case MarkColumn:
        m_list.toggleMark(row);
        break;
    case SortColumn:
        m_list.toggleSort(row);
        break;
    case ConnectorColumn:
        m_list.cycleConnector(row);
        break;
    default:
        return;
    }
    refreshGrid();
    m_refreshing = true;
    m_grid->setCurrentCell(row, column);
    m_refreshing = false;
}

void Ttorzskvarcelfm::openConditionPanel()
{
    m_value->clear();
    m_value2->clear();
    m_values->hide();
    m_operator->setCurrentIndex(0);
    m_conditionPanel->show();
    m_operator->setFocus();
}

void Ttorzskvarcelfm::acceptCondition()
{
    const int row = m_grid->currentRow();
    if (row < 0)
        return;
    const int index = std::max(0, m_operator->currentIndex());
    m_list.acceptCondition(row, torzskvarcel::operators()[size_t(index)].code, m_value->text(),
                           m_value2->text());
    m_conditionPanel->hide();
    refreshGrid();
}

void Ttorzskvarcelfm::fillDistinctValues()
{
    const int row = m_grid->currentRow();
    if (row < 0 || row >= int(m_list.rows().size()))
        return;
    QStringList values;
    QString error;
    if (!torzskvarcel::distinctValues(Tdm::connectionName, m_list.table(),
                                      m_list.rows()[size_t(row)].column, &values, &error)) {
        messages::showError(error);
        return;
    }
    static_cast<QStringListModel*>(m_values->model())->setStringList(values);
    m_values->show();
    m_values->showPopup();
}

bool Ttorzskvarcelfm::runQuery()
{
    const QString sql = m_list.statementToRun(m_statement->toPlainText());
    if (sql != m_statement->toPlainText())
        m_statement->setPlainText(sql);
    std::unique_ptr<db::Query> rows;
    QString error;
    m_result->clear();
    if (!torzskvarcel::runStatement(Tdm::connectionName, sql, Td::instance().userRights, &rows,
                                    &error)) {
        messages::showError(error);
        return false;
    }
    m_result->setResult(std::move(rows), {}, false);
    return true;
}

bool Ttorzskvarcelfm::ensureResult()
{
    return m_result->hasResult() || runQuery();
}

void Ttorzskvarcelfm::newQuery()
{
    m_result->clear();
    m_statement->clear();
    m_list.clearChoices();
    m_title->clear();
    refreshGrid();
}

QString Ttorzskvarcelfm::reportTitle() const
{
    return m_list.title.trimmed().isEmpty() ? m_list.table() : m_list.title.trimmed();
}

QString Ttorzskvarcelfm::listToFile(const QString& fileName)
{
    if (!ensureResult())
        return {};
    if (m_result->rowCount() == 0) {
        messages::show(u"Nincs mit tárolni"_s);
        return {};
    }
    kvarcel::ResultRows rows(*m_result, m_list.table());
    return reports::TQexportfm::instance().exportRows(rows, fileName, m_list.table());
}

bool Ttorzskvarcelfm::listToPdf(const QString& path, QString* error)
{
    if (!ensureResult())
        return false;
    kvarcel::ResultRows rows(*m_result, reportTitle());
    Tqr_szotar& report = Tqr_szotar::instance();
    report.setDataSet(&rows);
    report.setTitle(reportTitle());
    const bool ok = report.writePdf(path, error);
    report.setDataSet(nullptr);
    return ok;
}

} // namespace mivo
