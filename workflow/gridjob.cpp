#include "gridjob.h"

#include "jobrepository.h"
#include "napirend.h"
#include "partshook.h"

#include "core/altproc.h"
#include "core/messages.h"
#include "platform/unitofwork.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

const QChar lineBreak = u'\n';

QString addressLine(const Customer& customer)
{
    return u"Cím: "_s + customer.irszam + u' ' + customer.varos + u' ' + customer.utca;
}

} // namespace

QString jobInformation(const GridJob& job)
{
    const Customer& c = job.customer;
    const QStringList lines = {
        u"#"_s + QString::number(job.kod) + u" sz. munka"_s + u", státusza: "_s + job.allapot +
            (job.kesz == u"I"_s ? u" * KÉSZ *"_s : u" * nincs kész * "_s),
        u"Bejelentve: "_s + job.felveteld + u"-n ("_s + job.juzer + u')',
        u"Készülék:"_s + job.keszuleknev,
        job.tevnev,
        u"Ügyfél: "_s + c.nev,
        addressLine(c),
        u"Telefon: "_s + c.telefon,
        u"Fax: "_s + c.fax,
        u"E-mail: "_s + c.email,
        c.komment,
        c.komment2,
        u"Munkavégzés tervezett dátuma: "_s + job.tervd + u", "_s + job.tervt + u" óra"_s,
        job.leirast,
    };
    return lines.join(lineBreak);
}

void CellActions::showInformation(int column, int row) const
{
    const int kod = m_grid.jobCode(column, row);
    if (kod == 0)
        return;
    QString error;
    const std::optional<GridJob> job = JobRepository().load(kod, &error);
    if (job)
        messages::show(jobInformation(*job), MessageKind::Dialog);
    else if (!error.isEmpty())
        messages::showError(error);
}

std::optional<GridJob> CellActions::check(int column, int row) const
{
    const int kod = m_grid.jobCode(column, row);
    if (kod == 0)
        return std::nullopt;
    if (m_editing.refuse())
        return std::nullopt;
    const JobRepository jobs;
    QString error;
    std::optional<GridJob> job = jobs.load(kod, &error);
    if (!job) {
        if (!error.isEmpty())
            messages::showError(error);
        return std::nullopt;
    }
    if (m_grid.columnDate(column) < alt::today()) {
        if (m_form == ScheduleForm::Jobs) {
            messages::show(u"A dátum régi!"_s);
            return std::nullopt;
        }
        if (!messages::confirm(u"A dátum régi! Törli mégis?"_s))
            return std::nullopt;
        return job;
    }
    if (job->state() != JobState::Assigned) {
        const std::optional<QString> name = jobs.stateName(job->allapot, &error);
        if (!name) {
            messages::showError(error);
            return std::nullopt;
        }
        messages::show(u"A munka a státusza ("_s + *name + u") miatt nem módosítható!"_s);
        return std::nullopt;
    }
    return job;
}

std::optional<RemovedJob> CellActions::remove(int column, int row, Removal kind)
{
    const std::optional<GridJob> job = check(column, row);
    if (!job)
        return std::nullopt;
    const QString question = kind == Removal::Unassign
                                 ? u"Elveszi a munkát a szerelőtől (és csak később osztja ki)?"_s
                                 : u"Kiveszi ezt a munkát az elvégzendők közül?"_s;
    const QString text = u"Munkavégzés tervezett ideje:"_s + job->tervd + u", "_s + job->tervt +
                         lineBreak + u"Készülék:"_s + job->keszuleknev + lineBreak + u"Ügyfél: "_s +
                         job->customer.nev + lineBreak + addressLine(job->customer) + lineBreak +
                         lineBreak + question;
    if (!messages::confirm(text))
        return std::nullopt;

    // The write names the state read by the check: what another workstation did while the
    // question was open is kept, not overwritten. The parts the job reserved go back to the
    // technician who held it in the same transaction.
    PartsHook* parts = partsHook();
    WriteResult result;
    const db::UnitResult unit = db::runUnitOfWork(u"d_mivo"_s, [&](const QString& connection) {
        const JobRepository jobs(connection);
        result = kind == Removal::Unassign ? jobs.unassign(*job) : jobs.markDeleted(*job);
        if (result.ok() && parts && job->state() == JobState::Assigned) {
            const PartsHook::Result released = parts->release(connection, job->kod, job->szerelot);
            if (!released.ok)
                result = WriteResult::failed(released.message, released.errorCode);
        }
        return result.ok() ? db::Outcome() : db::Outcome::failure(result.message, result.errorCode);
    });
    if (!unit.ok() && result.ok())
        result = WriteResult::failed(unit.message, unit.errorCode);
    switch (result.status) {
    case WriteResult::Ok:
        m_grid.clearCell(column, row);
        return RemovedJob{job->kod, job->szerelot};
    case WriteResult::Conflict: {
        messages::show(result.message + u" A tábla frissül."_s);
        QString error;
        if (!m_grid.refreshColumn(column, m_grid.columnDate(column), &error))
            messages::showError(error);
        return std::nullopt;
    }
    case WriteResult::Failed:
        messages::showError(result.message);
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace mivo::workflow
