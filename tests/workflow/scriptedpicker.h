#pragma once

#include "framework/torzsopener.h"
#include "platform/dbquery.h"

#include <QList>
#include <QStringList>

/// The generic editor as a picker answering from a script: the first row that the next
/// queued statement finds, given back as the editor gives a chosen row; a cancel when none
/// is queued. Registered for the object's lifetime.
class ScriptedPicker : public mivo::TorzsOpener
{
public:
    ScriptedPicker() { mivo::setTorzsOpener(this); }
    ~ScriptedPicker() override { mivo::setTorzsOpener(nullptr); }

    void next(const QString& sql) { m_rows << sql; }
    bool OpenTorzs(mivo::TorzsCall& call) override
    {
        calls << call;
        if (m_rows.isEmpty())
            return false;
        mivo::db::Query q;
        q.setSql(m_rows.takeFirst());
        if (!q.exec() || !q.first())
            return false;
        for (int i = 0; i < q.fieldCount(); ++i) {
            call.names << q.fieldName(i);
            call.values << q.value(i).toString();
        }
        return true;
    }
    void markForRereading(const QString&) override {}

    QList<mivo::TorzsCall> calls;

private:
    QStringList m_rows;
};
