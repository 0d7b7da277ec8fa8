// Building a panel from its field rows or from the edited table's columns.

#include "formpanel.h"

#include "alapdat.h"
#include "core/messages.h"
#include "panelinput.h"
#include "panelnames.h"
#include "parabutton.h"
#include "platform/dbquery.h"
#include "rights.h"

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QSqlField>

namespace mivo
{

namespace
{

// Layout units of the panel: pixels of a 96-dpi screen with an 8-point font.
constexpr int fontSize = 8;
constexpr int lineHeight = 22;

QString editedTable(const QString& statement)
{
    static const QRegularExpression from(QStringLiteral("FROM\\s+([^\\s,]+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = from.match(statement);
    return m.hasMatch() ? m.captured(1) : QString();
}

QLabel* addCaption(QWidget* container, const QString& name, const QString& text,
                   const QRect& geometry)
{
    auto* label = new QLabel(QLatin1Char(' ') + text, container);
    label->setObjectName(name);
    label->setGeometry(geometry);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, p.color(QPalette::ToolTipBase));
    label->setPalette(p);
    return label;
}

// Keeps an input inside the container's right edge.
int clippedWidth(int left, int width, int containerWidth)
{
    return left + width + fontSize > containerWidth - 21 ? containerWidth - left - 21 : width;
}

} // namespace

int FormPanel::BuildPanel(QWidget* container, const QString& module, const QString& secondModule,
                          int layout, QStringList* fieldNames, QStringList* captions,
                          QList<GridColumn>* grid, const db::Query& dataset)
{
    FieldDefs defs;
    if (module != QLatin1String("X"))
        defs = readFieldDefs(module, secondModule);

    // Whatever the container held goes, the old panel object with it.
    for (QObject* child : container->children())
        if (child->isWidgetType() || qobject_cast<FormPanel*>(child))
            delete child;
    if (fieldNames)
        fieldNames->clear();
    if (captions)
        captions->clear();
    if (grid)
        grid->clear();

    auto* panel = new FormPanel(container);
    panel->m_module = module;
    panel->m_table = editedTable(dataset.sql());
    if (!defs.error.isEmpty()) {
        messages::show(defs.error, MessageKind::Error);
        return 0;
    }
    const QSqlRecord& structure = dataset.record();
    for (const FieldDef& def : defs.rows) {
        if (def.hasField() && !def.removed() && structure.indexOf(def.mezo) < 0) {
            messages::show(panel->m_table + QStringLiteral(": nem található mező: ") + def.mezo,
                           MessageKind::Error);
            return 0;
        }
    }
    if (defs.rows.isEmpty())
        panel->buildFromFields(fieldNames, captions, grid, structure);
    else
        panel->buildFromRows(defs, layout, fieldNames, captions, grid, structure);
    return panel->m_lines;
}

void FormPanel::buildFromRows(const FieldDefs& defs, int layout, QStringList* fieldNames,
                              QStringList* captions, QList<GridColumn>* grid,
                              const QSqlRecord& structure)
{
    Tdm& dm = Tdm::instance();
    const int containerWidth = m_container->width();
    bool leftColumn = true;
    for (const FieldDef& def : defs.rows) {
        if (def.removed())
            continue;
        if (grid && def.hasField() && def.pwdChar.isEmpty() && !def.oszlopnev.isEmpty())
            grid->append({def.mezo, def.oszlopnev});
        if (captions && (def.hasField() || !def.oszlopnev.isEmpty()))
            captions->append(def.oszlopnev.isEmpty() ? def.mezo : def.oszlopnev);
        if (fieldNames && def.hasField())
            fieldNames->append(def.mezo);
        const QSqlField field = def.hasField() ? structure.field(def.mezo) : QSqlField();
        const int length = def.hasField() ? dm.fieldEditLength(m_table, field) : 0;

        int x = 2;
        int y = 0;
        if (layout == singleColumn) {
            y = m_lines * lineHeight + 1;
            ++m_lines;
        } else {
            if (def.ujsor && !leftColumn) {
                leftColumn = true;
                ++m_lines;
            }
            y = m_lines * lineHeight + 1;
            if (!leftColumn) {
                x = (containerWidth + 1) / 2 + 2;
                ++m_lines;
            }
            leftColumn = !leftColumn;
        }

        if (!def.megnevezes.isEmpty()) {
            QLabel* caption =
                addCaption(m_container, panelname::caption(def.controlKey()), def.megnevezes,
                           QRect(x, y + 3, defs.captionWidth * (fontSize - 2), 16));
            if (def.valid == 6)
                caption->setProperty("valtMezo", def.valtMezo);
        }
        x = defs.captionWidth * 6 + x + 6;
        const int buttonLeft = x - 2;

        if (def.hasField()) {
            m_defs[def.mezo] = def;
            const QString typeName = Tdm::fieldTypeName(field);
            if (typeName == QLatin1String("MEMO")) {
                auto* memo = new PanelMemo(m_container);
                memo->setObjectName(panelname::input(def.mezo));
                memo->setTypeName(typeName);
                const int left = x + 38;
                const int width = containerWidth - left - 30;
                memo->setGeometry(left, y, width, 60);
                memo->setEnabled(CheckRights(def.irhatjaJog));
                m_inputs << memo;
                m_lines += 2;
                x = fontSize + x + width + 24;
            } else {
                PanelEdit* e = addEdit(def.mezo, typeName, length);
                const ColumnInfo column = dm.fieldInfo(m_table, def.mezo);
                e->setRequired(column.notNull || def.notNull);
                e->setEnabled(CheckRights(def.irhatjaJog));
                e->setCharCase(PanelEdit::caseOf(def.charCase));
                if (!def.pwdChar.isEmpty())
                    e->setEchoMode(QLineEdit::Password);
                int width = fontSize * (length + 1) + 6;
                if (def.concealed()) {
                    e->setGeometry(0, 0, width, 20);
                    e->hide();
                    e->setFocusPolicy(Qt::NoFocus);
                } else {
                    const int left = x + 38;
                    width = clippedWidth(left, width, containerWidth);
                    e->setGeometry(left, y, width, 20);
                    x = fontSize + left + width;
                }
            }
        } else {
            x += 38;
        }

        if (def.buttonKind() != ButtonKind::None)
            addButton(def, buttonLeft, y + 3);
        else if (def.hasField())
            x += 8;
        addInfoLabels(def, x, y + 3);
    }
}

void FormPanel::buildFromFields(QStringList* fieldNames, QStringList* captions,
                                QList<GridColumn>* grid, const QSqlRecord& structure)
{
    Tdm& dm = Tdm::instance();
    const int containerWidth = m_container->width();
    for (int i = 0; i < structure.count(); ++i) {
        const QSqlField field = structure.field(i);
        const QString name = field.name();
        if (grid)
            grid->append({name, name});
        if (fieldNames)
            fieldNames->append(name);
        if (captions)
            captions->append(name);
        const int captionWidth = fontSize * 40 - 80;
        addCaption(m_container, panelname::caption(name), name,
                   QRect(2, m_lines * lineHeight + 4, captionWidth, 16));
        const int left = 2 + fontSize + captionWidth + 38;
        const QString typeName = Tdm::fieldTypeName(field);
        if (typeName == QLatin1String("MEMO")) {
            auto* memo = new PanelMemo(m_container);
            memo->setObjectName(panelname::input(name));
            memo->setTypeName(typeName);
            memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            memo->setGeometry(left, m_lines * lineHeight + 1, containerWidth - left - 40, 60);
            m_inputs << memo;
            m_lines += 2;
        } else {
            const int length = dm.fieldEditLength(m_table, field);
            PanelEdit* e = addEdit(name, typeName, length);
            e->setRequired(dm.fieldInfo(m_table, name).notNull);
            e->setGeometry(left, m_lines * lineHeight + 1,
                           clippedWidth(left, fontSize * (length + 1) + 6, containerWidth), 20);
        }
        ++m_lines;
    }
}

PanelEdit* FormPanel::addEdit(const QString& field, const QString& typeName, int maxLength)
{
    auto* e = new PanelEdit(m_container);
    e->setObjectName(panelname::input(field));
    e->setTypeName(typeName);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    e->onNavigate = [this](PanelEdit* from, int step) { navigate(from, step); };
    m_inputs << e;
    return e;
}

void FormPanel::addButton(const FieldDef& def, int left, int top)
{
    auto* b = new TParaButton(m_container);
    b->setObjectName(panelname::button(def.controlKey()));
    b->param1 = def.buttonParam1();
    b->param2 = def.szot;
    b->param3 = def.funkcio;
    b->param4 = def.pvezerlo;
    b->param5 = def.szotWhere;
    b->param6 = def.szotMezo;
    b->param7 = def.plusField[0];
    b->setGeometry(left, top, 38, 16);
    b->setText(def.buttonCaption());
    b->setToolTip(def.buttonHint());
    b->setEnabled(CheckRights(def.nezhetiJog));
    const ButtonKind kind = def.buttonKind();
    b->setProperty(buttonKindProperty, int(kind));
    if (kind == ButtonKind::Lookup || kind == ButtonKind::Info) {
        QFont bold = b->font();
        bold.setBold(true);
        b->setFont(bold);
    }
    if (kind == ButtonKind::Memo)
        b->hide();
    connect(b, &QPushButton::clicked, this, [this, b] { click(b); });
}

void FormPanel::addInfoLabels(const FieldDef& def, int left, int top)
{
    int x = left;
    for (int i = 0; i < 3; ++i) {
        if (def.plusField[i].isEmpty())
            continue;
        const int width = i < 2 && def.plusWidth[i] < 1 ? 8 : def.plusWidth[i];
        auto* label = new QLabel(m_container);
        if (i == 0 && def.hasField())
            label->setObjectName(panelname::info(def.mezo));
        label->setGeometry(x, top, fontSize * width, 16);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::Highlight));
        label->setPalette(p);
        m_infoLabels << label;
        m_expressions[label] = def.plusField[i];
        if (i < 2)
            x += fontSize * (width + 2);
    }
}

} // namespace mivo
