#include "formpanel.h"

#include "alapdat.h"
#include "core/altproc.h"
#include "core/getdatum.h"
#include "core/messages.h"
#include "fieldcheck.h"
#include "fieldtext.h"
#include "infoexpr.h"
#include "panelinput.h"
#include "panelnames.h"
#include "parabutton.h"
#include "platform/dbquery.h"
#include "rights.h"
#include "torzsopener.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScopedValueRollback>
#include <QSqlField>
#include <QTimer>

namespace mivo
{

namespace
{

const QString panelObjectName = QStringLiteral("mivo_formpanel");

QString tablePart(const QString& tableSpec)
{
    return tableSpec.section(QLatin1Char(','), 0, 0).section(QLatin1Char('+'), 0, 0).trimmed();
}

} // namespace

FormPanel::FormPanel(QWidget* container) : QObject(container), m_container(container)
{
    setObjectName(panelObjectName);
    connect(qApp, &QApplication::focusChanged, this, &FormPanel::onFocusChanged);
}

FormPanel* FormPanel::of(QWidget* container)
{
    return container ? container->findChild<FormPanel*>(panelObjectName, Qt::FindDirectChildrenOnly)
                     : nullptr;
}

QList<PanelInput*> FormPanel::inputs() const
{
    return m_inputs;
}

PanelInput* FormPanel::input(const QString& field) const
{
    return PanelInput::of(
        m_container->findChild<QWidget*>(panelname::input(field), Qt::FindDirectChildrenOnly));
}

PanelEdit* FormPanel::edit(const QString& field) const
{
    return m_container->findChild<PanelEdit*>(panelname::input(field), Qt::FindDirectChildrenOnly);
}

TParaButton* FormPanel::button(const QString& key) const
{
    return m_container->findChild<TParaButton*>(panelname::button(key), Qt::FindDirectChildrenOnly);
}

QList<TParaButton*> FormPanel::buttons() const
{
    return m_container->findChildren<TParaButton*>(QString(), Qt::FindDirectChildrenOnly);
}

QLabel* FormPanel::info(const QString& field) const
{
    return m_container->findChild<QLabel*>(panelname::info(field), Qt::FindDirectChildrenOnly);
}

const FieldDef* FormPanel::definition(const QString& field) const
{
    const auto it = m_defs.find(field);
    return it == m_defs.end() ? nullptr : &it->second;
}

void FormPanel::applyFieldRights()
{
    for (const auto& [field, def] : m_defs)
        if (PanelInput* in = input(field))
            in->widget()->setEnabled(CheckRights(def.irhatjaJog));
}

QStringList FormPanel::passwordFields() const
{
    QStringList fields;
    for (const auto& [field, def] : m_defs)
        if (!def.pwdChar.isEmpty())
            fields.append(field);
    return fields;
}

PanelFieldText FormPanel::fieldText() const
{
    return [this](const QString& field) -> std::optional<QString> {
        if (PanelInput* in = input(field))
            return in->value();
        return std::nullopt;
    };
}

void FormPanel::setFieldValue(const QString& field, const QString& value)
{
    if (PanelInput* in = input(field))
        in->setValue(value);
}

// ---- records in and out

void FormPanel::RecordToPanel(const QSqlRecord& record)
{
    for (int i = 0; i < record.count(); ++i) {
        PanelInput* in = input(record.fieldName(i));
        if (!in)
            continue;
        const FieldDef* def = definition(record.fieldName(i));
        in->setValue(panelText(record.value(i), Tdm::fieldTypeName(record.field(i)),
                               def ? def->numberFormat() : QString()));
    }
}

void FormPanel::ClearPanel()
{
    for (PanelInput* in : m_inputs)
        in->setValue(QString());
    for (QLabel* label : m_infoLabels)
        label->clear();
}

bool FormPanel::RefreshInfoTexts(const QSqlRecord& record)
{
    for (QLabel* label : m_infoLabels)
        label->clear();
    if (record.isEmpty())
        return true;
    const auto recordValue = [&record](const QString& column) { return record.value(column); };
    for (QLabel* label : m_infoLabels) {
        QString text;
        QString error;
        if (!infoText(InfoExpression::parse(m_expressions[label]), recordValue, &text, &error)) {
            messages::show(error, MessageKind::Error);
            return false;
        }
        label->setText(text);
    }
    return true;
}

// ---- lookups

bool FormPanel::LookupExact(const QString& value, const QString& table, const QString& field,
                            ASelectedRecord* selected)
{
    db::Query q(Tdm::connectionName);
    q.setLines({QStringLiteral("Select * From ") + tablePart(table),
                QStringLiteral("Where ") + field + QStringLiteral(" = :value")});
    q.bind(QStringLiteral("value"), value);
    if (!q.exec()) {
        messages::show(q.lastError(), MessageKind::Error);
        return false;
    }
    if (!q.first())
        return false;
    *selected = selectedRecord(currentRecord(q));
    return true;
}

void FormPanel::FillFromSelection(TParaButton* button, const ASelectedRecord& selected)
{
    const auto valueOf = [&selected](const QString& column) -> std::optional<QString> {
        const qsizetype at = column.isEmpty() ? -1 : columnOf(selected, column);
        if (at < 0)
            return std::nullopt;
        return panelText(selected[at].Value, selected[at].FieldType);
    };
    if (!button->param4.isEmpty()) {
        QString error;
        const QList<PostAssignment> rows = readPostAssignments(button->param4, &error);
        if (!error.isEmpty())
            messages::show(error, MessageKind::Error);
        for (const PostAssignment& row : rows) {
            const std::optional<QString> value = valueOf(row.szotMezo);
            PanelInput* target = input(row.qMezo);
            if (value && target && !target->isReadOnly())
                target->setValue(*value);
            if (!row.fetchesInfo())
                continue;
            db::Query q(Tdm::connectionName);
            q.setLines({QStringLiteral("Select ") + row.infoColumn() + QStringLiteral(" INFO"),
                        QStringLiteral(" from ") + row.infoTable(),
                        QStringLiteral("Where KOD = :kod")});
            q.bind(QStringLiteral("kod"), value.value_or(QString()));
            if (!q.exec()) {
                messages::show(q.lastError(), MessageKind::Error);
                continue;
            }
            if (QLabel* label = info(row.qMezo))
                label->setText(q.first() ? q.text(QStringLiteral("INFO")) : QString());
        }
        return;
    }
    PanelInput* target = input(button->param1);
    if (!target)
        return;
    const QString value = valueOf(button->param6).value_or(QString());
    if (button->param3 == 999) {
        // A comma list: the value is added once, compared as a whole element.
        const QString current = target->value();
        const QStringList elements = current.split(QLatin1Char(','));
        if (!elements.contains(value))
            target->setValue(current.isEmpty() ? value : current + QLatin1Char(',') + value);
        return;
    }
    target->setValue(value);
}

void FormPanel::RefreshFieldInfo(TParaButton* button)
{
    QLabel* label = info(button->param1);
    PanelInput* in = input(button->param1);
    if (!label || !in)
        return;
    const InfoExpression e = InfoExpression::parse(m_expressions[label]);
    if (!e.valid)
        return;
    label->clear();
    db::Query q(Tdm::connectionName);
    q.setLines({QStringLiteral("Select ") + e.selectList, QStringLiteral(" from ") + e.table,
                QStringLiteral("Where ") + e.pairs.first().first + QStringLiteral(" = :value")});
    q.bind(QStringLiteral("value"), in->value());
    if (!q.exec()) {
        messages::show(q.lastError(), MessageKind::Error);
        return;
    }
    QStringList values;
    while (q.next())
        values << q.text(e.resultColumn);
    label->setText(joinDistinct(values));
}

// ---- buttons

void FormPanel::click(TParaButton* button)
{
    switch (ButtonKind(button->property(buttonKindProperty).toInt())) {
    case ButtonKind::Lookup:
        LookupClick(button);
        break;
    case ButtonKind::Info:
        InfoButtonClick(button);
        break;
    case ButtonKind::Text:
        TextButtonClick(button);
        break;
    case ButtonKind::Date:
        DateButtonClick(button);
        break;
    case ButtonKind::ValueList:
        if (button->param3 == 0)
            CycleValueClick(button);
        break;
    case ButtonKind::None:
    case ButtonKind::Picture:
    case ButtonKind::Form:
    case ButtonKind::Memo:
        break;
    }
}

void FormPanel::LookupClick(TParaButton* button)
{
    TorzsCall call;
    call.tableSpec = button->param2.toUpper();
    call.condition = dictionaryCondition(button->param5, fieldText());
    call.searchText = input(button->param1) ? input(button->param1)->value() : QString();
    call.selectionMode = button->text() != QLatin1String("+");
    QString error;
    for (const LookupDefault& d : readLookupDefaults(call.tableSpec, &error)) {
        call.names << d.mezo;
        call.values << d.evaluate(fieldText());
    }
    if (!error.isEmpty())
        messages::show(error, MessageKind::Error);
    if (OpenTorzs(call)) {
        FillFromSelection(button, call.selected);
        RefreshFieldInfo(button);
    }
    if (PanelEdit* e = edit(button->param1); e && e->isEnabled() && !e->isHidden())
        returnFocus(e);
}

void FormPanel::InfoButtonClick(TParaButton* button)
{
    if (m_inserting) {
        messages::show(QStringLiteral("Előbb fejezze be az új felvitelt."));
        return;
    }
    LookupClick(button);
}

void FormPanel::CycleValueClick(TParaButton* button)
{
    if (PanelInput* in = input(button->param1))
        in->setValue(alt::nextInCycle(in->value(), button->text()));
}

void FormPanel::DateButtonClick(TParaButton* button)
{
    PanelEdit* e = edit(button->param1);
    if (!e)
        return;
    e->setValue(pickDate(e->value()));
    if (e->isEnabled() && !e->isHidden())
        returnFocus(e);
}

void FormPanel::TextButtonClick(TParaButton* button)
{
    if (PanelInput* in = input(button->param1))
        editTextFile(in->value());
}

// ---- leaving an input

void FormPanel::onFocusChanged(QWidget* old, QWidget* now)
{
    // A message box of a check, or the return of the focus, is no leaving of an input.
    if (m_busy)
        return;
    auto* e = qobject_cast<PanelEdit*>(old);
    if (!e || e->parentWidget() != m_container)
        return;
    // The focus going to another window (a question, a message, another screen) is no leaving
    // of the input: its check would pop up over that window.
    if (!now || now->window() != e->window())
        return;
    const FieldDef* def = definition(panelname::fieldOf(e->objectName()));
    if (!def)
        return;
    const QScopedValueRollback busy(m_busy, true);
    if (!e->isReadOnly() && !e->holdsWholeNumber()) {
        refuse(e, QStringLiteral("Nem jó szám."));
        return;
    }
    if (def->buttonKind() != ButtonKind::None)
        LookupOnExit(e, now);
    else if (def->valid != 0)
        ValidateField(e, now);
}

void FormPanel::refuse(PanelEdit* e, const QString& message)
{
    if (!message.isEmpty())
        messages::show(message);
    e->setInvalid(true);
    returnFocus(e);
}

void FormPanel::returnFocus(QWidget* widget)
{
    QTimer::singleShot(0, this, [this, target = QPointer<QWidget>(widget)] {
        if (!target)
            return;
        const QScopedValueRollback busy(m_busy, true);
        target->setFocus(Qt::OtherFocusReason);
    });
}

PanelEdit* FormPanel::nextEditable(PanelEdit* after) const
{
    const qsizetype from = m_inputs.indexOf(after);
    for (qsizetype i = from + 1; i < m_inputs.size(); ++i)
        if (auto* e = dynamic_cast<PanelEdit*>(m_inputs[i]); e && e->isEditable())
            return e;
    return nullptr;
}

void FormPanel::navigate(PanelEdit* from, int step)
{
    const qsizetype at = m_inputs.indexOf(from);
    for (qsizetype i = at + step; i >= 0 && i < m_inputs.size(); i += step) {
        if (m_inputs[i]->isEditable()) {
            m_inputs[i]->widget()->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

bool FormPanel::ValidateField(PanelEdit* e, QWidget* receiver)
{
    const QString field = panelname::fieldOf(e->objectName());
    const FieldDef* def = definition(field);
    if (!def || e->isReadOnly() || (receiver && receiver->objectName() == panelname::button(field)))
        return true;
    const QString text = e->value();
    const QString trimmed = text.trimmed();
    const auto fail = [&](const QString& message) {
        refuse(e, message);
        return false;
    };
    e->setInvalid(false);
    switch (def->valid) {
    case 1:
        if (!alt::validateDate(text, true)) {
            e->setInvalid(true);
            if (e->isEnabled())
                returnFocus(e);
            return false;
        }
        return true;
    case 2:
        return trimmed.isEmpty() ? fail(QStringLiteral("Kötelező kitölteni.")) : true;
    case 3:
        return trimmed.isEmpty() || trimmed == QLatin1String("0")
                   ? fail(QStringLiteral("Nem lehet nulla."))
                   : true;
    case 4:
        return trimmed.isEmpty() || alt::validateDate(text, true) ? true : fail({});
    case 5:
    case 6: {
        double value = 0;
        if (!fieldcheck::number(text, &value))
            return fail(QStringLiteral("Nem jó szám."));
        PanelEdit* target = nextEditable(e);
        if (!target)
            return true;
        if (def->valid == 5) {
            target->setValue(fieldcheck::grossFromNet(value));
            return true;
        }
        double multiplier = 0;
        if (PanelInput* other = def->valtMezo.isEmpty() ? nullptr : input(def->valtMezo);
            other && fieldcheck::number(other->value(), &multiplier))
            target->setValue(fieldcheck::product(value, multiplier));
        return true;
    }
    case 7:
    case 10:
        e->setValue(text.toUpper());
        return true;
    case 11:
        e->setValue(text.toLower());
        return true;
    case 98:
        if (trimmed.isEmpty())
            return fail(QStringLiteral("Kötelező kitölteni."));
        e->setValue(fieldcheck::normaliseText(text));
        return true;
    case 99:
        e->setValue(fieldcheck::normaliseText(text));
        return true;
    case 101: {
        if (!alt::validTaxNumber(text))
            return fail(QStringLiteral("Hibás adóazonosító."));
        PanelEdit* birth = edit(QStringLiteral("SZULDAT"));
        if (!birth || !alt::validateDate(birth->value(), false) ||
            !fieldcheck::taxContradicts(text, alt::parseDate(birth->value())))
            return true;
        returnFocus(messages::confirm(fieldcheck::taxQuestion(text, birth->value(), false)) ? birth
                                                                                            : e);
        return true;
    }
    case 102:
        return !text.isEmpty() && !alt::validSocialSecurityNumber(text)
                   ? fail(QStringLiteral("Hibás TAJszám."))
                   : true;
    case 103: {
        if (!alt::validateDate(text, true))
            return fail({});
        PanelEdit* tax = edit(QStringLiteral("ADOSZAM"));
        if (!tax || tax->value().isEmpty() ||
            !fieldcheck::taxContradicts(tax->value(), alt::parseDate(text)))
            return true;
        returnFocus(messages::confirm(fieldcheck::taxQuestion(tax->value(), text, true)) ? tax : e);
        return true;
    }
    default:
        return true;
    }
}

void FormPanel::LookupOnExit(PanelEdit* e, QWidget* receiver)
{
    const QString field = panelname::fieldOf(e->objectName());
    const FieldDef* def = definition(field);
    if (!def || e->isReadOnly() || !receiver)
        return;
    const bool towardsInput =
        qobject_cast<QLineEdit*>(receiver) || qobject_cast<QPlainTextEdit*>(receiver);
    const auto* pushed = qobject_cast<QAbstractButton*>(receiver);
    if (!towardsInput && !(pushed && pushed->property("tag").toInt() != -1))
        return;
    // Clicked, its own button does the lookup itself; reached by Tab, the lookup runs here,
    // without the check, which the lookup's own choice makes.
    const auto* own = receiver->objectName() == panelname::button(field)
                          ? qobject_cast<TParaButton*>(receiver)
                          : nullptr;
    const bool ownButton = own != nullptr;
    if (own && own->lastFocusReason() == Qt::MouseFocusReason)
        return;
    if (!ownButton && def->valid != 0 && !ValidateField(e, receiver))
        return;
    if (!e->isRequired() && e->value().isEmpty())
        return;
    TParaButton* b = button(field);
    if (!b || b->param2.isEmpty() || b->param6.isEmpty())
        return;
    ASelectedRecord found;
    if (LookupExact(e->value(), b->param2, b->param6, &found)) {
        FillFromSelection(b, found);
        RefreshFieldInfo(b);
    } else {
        click(b);
    }
}

} // namespace mivo
