#include "editorhooks.h"

#include "alapdat.h"
#include "core/dat.h"
#include "core/messages.h"
#include "platform/dbquery.h"

#include <QSqlRecord>

namespace mivo
{

namespace
{

ChangeScriptRecorder* registeredRecorder = nullptr;
std::function<void()> specialFunctions;

} // namespace

void setChangeScriptRecorder(ChangeScriptRecorder* recorder)
{
    registeredRecorder = recorder;
}

namespace hooks
{

bool DeleteAllowedHook(const QString& table, const QStringList& keyFields,
                       const QSqlRecord& current)
{
    if (table.compare(QLatin1String("UGYFEL"), Qt::CaseInsensitive) != 0 || keyFields.isEmpty())
        return true;
    db::Query q(Tdm::connectionName);
    q.setLines({QStringLiteral("SELECT count(*) DARAB"), QStringLiteral("FROM KESZULEK"),
                QStringLiteral("WHERE UGYFEL = :ugyfel")});
    q.bind(QStringLiteral("ugyfel"), current.value(keyFields.first()));
    if (!q.exec() || !q.first()) {
        messages::show(q.lastError(), MessageKind::Error);
        return false;
    }
    return q.integer(QStringLiteral("DARAB")) == 0;
}

void AfterInsertHook(int code, const PanelSetter& panel)
{
    if (code == 2) {
        panel(QStringLiteral("CEGKOD"), Td::instance().ownCompany);
        panel(QStringLiteral("AKTIV"), QStringLiteral("I"));
    } else if (code == 3) {
        panel(QStringLiteral("KOD"), QStringLiteral("0"));
    }
}

bool BeforePostHook(int /*code*/, const QStringList& /*statement*/)
{
    return true;
}

void AfterPostHook(const QString& table, int code, const QString& statement,
                   const std::map<QString, QVariant>& parameters)
{
    if (code == 1 && registeredRecorder)
        registeredRecorder->record(table, statement, parameters);
}

void setSpecialFunctions(std::function<void()> show)
{
    specialFunctions = std::move(show);
}

bool QReportHook(int code)
{
    if (code != 1)
        return false;
    if (specialFunctions)
        specialFunctions();
    return true;
}

bool ExportHook(int code)
{
    return QReportHook(code);
}

} // namespace hooks

} // namespace mivo
