#include "torzsdata.h"

#include "alapdat.h"
#include "core/messages.h"
#include "editorhooks.h"
#include "fieldtext.h"
#include "platform/dbquery.h"
#include "platform/fieldtypes.h"

#include <QSqlField>

using namespace Qt::StringLiterals;

namespace mivo
{

namespace
{

bool isNumberType(const QString& type)
{
    return data::isNumeric(data::kindOfTypeName(type));
}

const TorzsInput* inputOf(const TorzsInputs& inputs, const QString& column)
{
    const auto it = inputs.find(column.toUpper());
    return it == inputs.end() ? nullptr : &it->second;
}

QStringList keyTexts(const QVariantList& values)
{
    QStringList texts;
    for (const QVariant& v : values)
        texts << panelText(v, QString());
    return texts;
}

// The statement as another site replays it: without the part that reads values back.
QString replayText(const QStringList& lines)
{
    QStringList kept;
    for (const QString& line : lines)
        if (!line.startsWith(QLatin1String("RETURNING ")))
            kept << line;
    return kept.join(QLatin1Char('\n'));
}

} // namespace

QString stateName(TorzsState state)
{
    switch (state) {
    case TorzsState::Closed:
        return QStringLiteral("closed");
    case TorzsState::Browse:
        return QStringLiteral("browse");
    case TorzsState::Insert:
        return QStringLiteral("insert");
    case TorzsState::Update:
        return QStringLiteral("update");
    }
    return {};
}

TorzsData::TorzsData(const torzs::Spec& tableSpec)
    : m_spec(tableSpec), m_structure(std::make_unique<db::Query>(Tdm::connectionName)),
      m_model(std::make_unique<TorzsModel>(Tdm::connectionName))
{
}

TorzsData::~TorzsData() = default;

bool TorzsData::openStructure()
{
    // Firebird reads every row to test "1=2": ROWS 0 keeps a large table unread.
    m_structure->setLines(
        {QStringLiteral("Select * From ") + table() + QStringLiteral(" where 1=2"), u"ROWS 0"_s});
    if (!m_structure->exec()) {
        messages::show(m_structure->lastError(), MessageKind::Error);
        return false;
    }
    m_keys = Tdm::instance().primaryKeyFields(table()).fields;
    return true;
}

bool TorzsData::setColumns(const QStringList& panelFields)
{
    m_columns = torzs::columnList(panelFields, m_keys);
    m_structure->setLines(torzs::selectLines(m_columns, table(), QStringLiteral("Where 1=2"), {}) +
                          QStringList{u"ROWS 0"_s});
    if (!m_structure->exec()) {
        messages::show(m_structure->lastError(), MessageKind::Error);
        return false;
    }
    Tdm& dm = Tdm::instance();
    const bool identities = dm.serverKind() == Tdm::sqlServer;
    QList<torzs::Column> columns;
    const QSqlRecord& r = m_structure->record();
    for (int i = 0; i < r.count(); ++i) {
        // The server numbers identity columns itself: no statement names them.
        if (identities && dm.isIdentityField(table(), r.fieldName(i)).identity)
            continue;
        columns.append({r.fieldName(i), Tdm::fieldTypeName(r.field(i))});
    }
    m_statements = torzs::Statements(table(), columns, m_keys);
    return true;
}

void TorzsData::writeRecordsQuery(const QString& orderField)
{
    const QString order = !orderField.isEmpty() ? torzs::orderLine(orderField)
                          : m_keys.isEmpty()    ? QString()
                                                : torzs::orderLine(m_keys.join(QLatin1Char(',')));
    m_model->query().setLines(torzs::selectLines(m_columns, table(), condition, order));
}

void TorzsData::setOrder(const QString& field)
{
    torzs::setOrder(m_model->query().lines(), field);
}

bool TorzsData::reopen()
{
    QString error;
    if (m_model->reopen(&error))
        return true;
    messages::show(error, MessageKind::Error);
    return false;
}

QVariantList TorzsData::keyValues(int row) const
{
    QVariantList values;
    for (const QString& c : m_statements.whereColumns())
        values << m_model->value(row, c);
    return values;
}

int TorzsData::locate(const QVariantList& keyValues) const
{
    return m_model->locate(m_statements.whereColumns(), keyValues);
}

bool TorzsData::panelChanged(TorzsState state, const TorzsInputs& inputs, int row) const
{
    if (state == TorzsState::Insert)
        return true;
    if (state != TorzsState::Update)
        return false;
    const QSqlRecord current = m_model->record(row);
    for (const torzs::Column& c : m_statements.columns()) {
        const TorzsInput* in = inputOf(inputs, c.name);
        if (!in)
            continue;
        if (in->memo ? in->memoChanged
                     : panelText(current.value(c.name), c.typeName, in->numberFormat) != in->text)
            return true;
    }
    return false;
}

bool TorzsData::checkRequired(bool inserting, const TorzsInputs& inputs, const QSqlRecord& current,
                              TorzsStoreResult* result) const
{
    for (const torzs::Column& c : m_statements.columns()) {
        const TorzsInput* in = inputOf(inputs, c.name);
        // A field nobody may type into is left to the database on a new record (a key that
        // its generator fills).
        if (in && (!in->required || (inserting && !in->writable)))
            continue;
        const QString value = in ? (in->memo ? in->text.section(QLatin1Char('\n'), 0, 0) : in->text)
                                 : panelText(current.value(c.name), c.typeName);
        if (!value.trimmed().isEmpty())
            continue;
        if (c.name == QLatin1String("KOD") && rights.beforePost == 1)
            continue;
        messages::show(QStringLiteral("Kitöltendő mezőt üresen hagyott : ") + c.name);
        result->outcome = TorzsStoreResult::Refused;
        result->focusField = in ? c.name : QString();
        return false;
    }
    return true;
}

TorzsStoreResult TorzsData::store(TorzsState state, const TorzsInputs& inputs, int row)
{
    const QSqlRecord current = m_model->record(row);
    TorzsStoreResult result;
    if (!checkRequired(state == TorzsState::Insert, inputs, current, &result))
        return result;
    if (state == TorzsState::Insert)
        return insert(inputs);
    if (state == TorzsState::Update)
        return update(inputs, current);
    return result;
}

QList<FieldChange> TorzsData::changes(const TorzsInputs& inputs, const QSqlRecord& current,
                                      bool inserting) const
{
    QList<FieldChange> fields;
    for (const torzs::Column& c : m_statements.columns()) {
        const TorzsInput* in = inputOf(inputs, c.name);
        if (!in || in->memo)
            continue;
        fields << FieldChange{
            c.name,
            inserting ? QString() : panelText(current.value(c.name), c.typeName, in->numberFormat),
            in->text};
    }
    return fields;
}

bool TorzsData::run(db::Query& q, const std::map<QString, QVariant>& params,
                    TorzsStoreResult* result)
{
    if (rights.beforePost != 0 && !hooks::BeforePostHook(rights.beforePost, q.lines())) {
        result->outcome = TorzsStoreResult::Vetoed;
        return false;
    }
    for (const auto& [name, value] : params)
        q.bind(name, value);
    if (!q.exec()) {
        messages::show(q.lastError(), MessageKind::Error);
        result->outcome = TorzsStoreResult::Failed;
        return false;
    }
    return true;
}

TorzsStoreResult TorzsData::insert(const TorzsInputs& inputs)
{
    TorzsStoreResult result;
    std::map<QString, QVariant> params;
    for (const torzs::Column& c : m_statements.columns()) {
        const TorzsInput* in = inputOf(inputs, c.name);
        bool ok = true;
        params[c.name.toLower()] =
            in ? torzs::parameterValue(c.typeName, in->text, &ok) : torzs::nullOf(c.typeName);
        if (!ok) {
            messages::show(QStringLiteral("Nem jó szám."));
            result.outcome = TorzsStoreResult::Refused;
            result.focusField = c.name;
            return result;
        }
    }
    QSet<QString> nulls;
    for (auto it = params.begin(); it != params.end();) {
        if (it->second.isNull()) {
            for (const torzs::Column& c : m_statements.columns())
                if (c.name.toLower() == it->first)
                    nulls.insert(c.name);
            it = params.erase(it);
        } else {
            ++it;
        }
    }
    db::Query q(Tdm::connectionName);
    q.setLines(m_statements.insertLines(nulls));
    if (!run(q, params, &result))
        return result;
    if (!q.first()) {
        messages::show(QStringLiteral("A beszúrás nem adott vissza kulcsot."), MessageKind::Error);
        result.outcome = TorzsStoreResult::Failed;
        return result;
    }
    const QStringList find = m_statements.whereColumns();
    for (int i = 0; i < find.size(); ++i) {
        result.positionKey << q.value(i);
        params[find[i].toLower()] = q.value(i);
    }
    QString error;
    if (!changelog::write(table(), keyTexts(result.positionKey), QStringLiteral("I"),
                          changes(inputs, {}, true), 1, &error))
        messages::show(error, MessageKind::Error);
    if (rights.afterPost != 0)
        hooks::AfterPostHook(table(), rights.afterPost, replayText(q.lines()), params);
    result.outcome = TorzsStoreResult::Stored;
    return result;
}

TorzsStoreResult TorzsData::update(const TorzsInputs& inputs, const QSqlRecord& current)
{
    TorzsStoreResult result;
    std::map<QString, QVariant> params;
    for (const torzs::Column& c : m_statements.columns()) {
        const TorzsInput* in = inputOf(inputs, c.name);
        const QVariant old = current.value(c.name);
        QVariant value;
        if (!in) {
            value = old; // a key off the panel keeps its value
        } else if (in->text.trimmed().isEmpty() && (old.isNull() || isNumberType(c.typeName))) {
            // An empty input leaves a null as it was; a cleared number becomes 0.
            value = old.isNull() ? torzs::nullOf(c.typeName) : QVariant(0);
        } else if (!isNumberType(c.typeName)) {
            value = in->text;
        } else {
            bool ok = true;
            value = torzs::parameterValue(c.typeName, in->text, &ok);
            if (!ok) {
                messages::show(QStringLiteral("Nem jó szám."));
                result.outcome = TorzsStoreResult::Refused;
                result.focusField = c.name;
                return result;
            }
        }
        params[c.name.toLower()] = value;
    }
    const QStringList find = m_statements.whereColumns();
    QSet<QString> nullOld;
    for (const QString& f : find) {
        const QVariant old = current.value(f);
        if (old.isNull())
            nullOld.insert(f);
        else
            params[QStringLiteral("old_") + f.toLower()] = old;
    }
    db::Query q(Tdm::connectionName);
    q.setLines(m_statements.updateLines(nullOld));
    if (!run(q, params, &result))
        return result;
    QVariantList oldKey;
    for (const QString& f : find)
        oldKey << current.value(f);
    if (q.rowsAffected() < 1) {
        const bool again = messages::confirm(
            QStringLiteral("Nem sikerült a módosítás.\rValaki törölte a tételt, vagy "
                           "átírta a kulcsot.\rMindenképpen tárolni akarja a módosításait?"));
        result.outcome = again ? TorzsStoreResult::InsertInstead : TorzsStoreResult::Discarded;
        result.positionKey = oldKey;
        return result;
    }
    QString error;
    if (!changelog::write(table(), keyTexts(oldKey), QStringLiteral("U"),
                          changes(inputs, current, false), q.rowsAffected(), &error))
        messages::show(error, MessageKind::Error);
    if (rights.afterPost != 0)
        hooks::AfterPostHook(table(), rights.afterPost, q.sql(), params);
    for (const QString& f : find)
        result.positionKey << params[f.toLower()];
    result.outcome = TorzsStoreResult::Stored;
    return result;
}

bool TorzsData::remove(int row)
{
    if (!m_statements.hasPrimaryKey()) {
        messages::show(QStringLiteral("Nem törölhet elsődleges kulcs nélküli táblából"));
        return false;
    }
    const QSqlRecord current = m_model->record(row);
    if (current.isEmpty())
        return false;
    if (!hooks::DeleteAllowedHook(table(), m_keys, current)) {
        messages::show(QStringLiteral("Nem törölhető szerkezeti integritás miatt"));
        return false;
    }
    if (!messages::confirm(QStringLiteral("Biztos, hogy törölni akarja ?")))
        return false;
    QSet<QString> nullKeys;
    db::Query q(Tdm::connectionName);
    QVariantList key;
    for (const QString& k : m_keys) {
        key << current.value(k);
        if (current.value(k).isNull())
            nullKeys.insert(k);
        else
            q.bind(k, current.value(k));
    }
    q.setLines(m_statements.deleteLines(nullKeys));
    if (!q.exec()) {
        messages::show(q.lastError(), MessageKind::Error);
        return false;
    }
    QString error;
    if (!changelog::write(table(), keyTexts(key), QStringLiteral("D"), {}, q.rowsAffected(),
                          &error))
        messages::show(error, MessageKind::Error);
    reopen();
    return true;
}

} // namespace mivo
