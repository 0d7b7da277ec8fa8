#include "changelog.h"

#include "alapdat.h"
#include "core/clock.h"
#include "platform/dbquery.h"

#include <map>

namespace mivo::changelog
{

QList<FieldChange> loggedFields(const QString& action, const QList<FieldChange>& fields)
{
    QList<FieldChange> logged;
    for (const FieldChange& f : fields) {
        if (action == QLatin1String("I") ? !f.newValue.isEmpty() : f.oldValue != f.newValue)
            logged << FieldChange{f.field, action == QLatin1String("I") ? QString() : f.oldValue,
                                  f.newValue};
    }
    return logged;
}

bool write(const QString& table, const QStringList& keyValues, const QString& action,
           const QList<FieldChange>& fields, int rowsChanged, QString* error)
{
    Tdm& dm = Tdm::instance();
    if (rowsChanged < 1 || !dm.dokuExists())
        return true;
    // Whatever the values are, the log must fit its columns.
    std::map<QString, int> lengths;
    for (const QString& column :
         {QStringLiteral("JUZER"), QStringLiteral("TABLA"), QStringLiteral("KULCSERTEK"),
          QStringLiteral("MEZO"), QStringLiteral("MIROL"), QStringLiteral("MIRE")}) {
        const ColumnInfo info = dm.fieldInfo(QStringLiteral("DOKU"), column);
        lengths[column] = info.found && info.length > 0 ? info.length : 200;
    }
    const auto cut = [&lengths](const QString& column, const QString& value) {
        return value.left(lengths[column]);
    };
    const QString when = clock::now().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"));
    const QList<FieldChange> rows = action == QLatin1String("D") ? QList<FieldChange>{FieldChange{}}
                                                                 : loggedFields(action, fields);
    db::Query q(Tdm::connectionName);
    q.setLines({QStringLiteral(
                    "INSERT INTO DOKU (JUZER, MIKOR, TABLA, KULCSERTEK, AKCIO, MEZO, MIROL, MIRE)"),
                QStringLiteral(
                    "VALUES (:juzer, :mikor, :tabla, :kulcsertek, :akcio, :mezo, :mirol, :mire)")});
    for (const FieldChange& f : rows) {
        q.bind(QStringLiteral("juzer"), cut(QStringLiteral("JUZER"), dm.FrameworkUser));
        q.bind(QStringLiteral("mikor"), when);
        q.bind(QStringLiteral("tabla"), cut(QStringLiteral("TABLA"), table));
        q.bind(QStringLiteral("kulcsertek"),
               cut(QStringLiteral("KULCSERTEK"), keyValues.join(QLatin1Char(';'))));
        q.bind(QStringLiteral("akcio"), action);
        q.bind(QStringLiteral("mezo"), cut(QStringLiteral("MEZO"), f.field));
        q.bind(QStringLiteral("mirol"), cut(QStringLiteral("MIROL"), f.oldValue));
        q.bind(QStringLiteral("mire"), cut(QStringLiteral("MIRE"), f.newValue));
        if (!q.exec()) {
            if (error)
                *error = q.lastError();
            return false;
        }
    }
    return true;
}

} // namespace mivo::changelog
