#include "gridjob.h"

#include "napirend.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "platform/dbquery.h"

namespace mivo::workflow
{

namespace
{

const QChar lineBreak = QLatin1Char('\n');

QString addressLine(const GridJob& job)
{
    return QStringLiteral("Cím: ") + job.irszam + QLatin1Char(' ') + job.varos + QLatin1Char(' ') +
           job.utca;
}

void showDatabaseError(const QString& error)
{
    messages::show(error, MessageKind::Error);
}

} // namespace

std::optional<GridJob> loadGridJob(int kod, QString* error)
{
    // Outer joins: a job whose activity or appliance type has gone from the dictionaries
    // still has to be reachable from its cell.
    db::Query q;
    q.setSql(QStringLiteral(
        "SELECT MUNKA.FELVETELD, MUNKA.TERVD, MUNKA.TERVT, MUNKA.LEIRAST, MUNKA.UGYFEL, "
        "MUNKA.KESZULEK, "
        "MUNKA.KOD, MUNKA.SZERELOT, MUNKA.TERVTEV, MUNKA.TIPUS, MUNKA.ALLAPOT, MUNKA.TELEFON, "
        "MUNKA.DEDU, "
        "MUNKA.LEMONDTA, MUNKA.JUZER, MUNKA.KESZ, TEVEKENYS.NEV TEVNEV, ARU.NEV KESZULEKNEV, "
        "ARU.KOD KESZULEKKOD, UGYFEL.NEV UGYFELNEV, UGYFEL.IRSZAM, UGYFEL.VAROS, UGYFEL.UTCA, "
        "UGYFEL.TELEFON UGYFELTELEFON, UGYFEL.FAX, UGYFEL.EMAIL, UGYFEL.KOMMENT, UGYFEL.KOMMENT2 "
        "FROM MUNKA JOIN UGYFEL ON UGYFEL.KOD = MUNKA.UGYFEL "
        "LEFT JOIN TEVEKENYS ON TEVEKENYS.KOD = MUNKA.TERVTEV "
        "LEFT JOIN ARU ON ARU.BELSOKOD = MUNKA.TIPUS "
        "WHERE MUNKA.KOD = :kod"));
    q.bind(QStringLiteral("kod"), kod);
    error->clear();
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    if (!q.first())
        return std::nullopt;
    GridJob j;
    auto t = [&q](const char* field) { return q.text(QString::fromLatin1(field)); };
    j.kod = q.integer(QStringLiteral("KOD"));
    j.ugyfel = q.integer(QStringLiteral("UGYFEL"));
    j.keszulek = q.integer(QStringLiteral("KESZULEK"));
    j.tipus = q.integer(QStringLiteral("TIPUS"));
    j.felveteld = t("FELVETELD");
    j.tervd = t("TERVD");
    j.tervt = t("TERVT");
    j.leirast = t("LEIRAST");
    j.szerelot = t("SZERELOT");
    j.tervtev = t("TERVTEV");
    j.allapot = t("ALLAPOT");
    j.telefon = t("TELEFON");
    j.dedu = t("DEDU");
    j.lemondta = t("LEMONDTA");
    j.juzer = t("JUZER");
    j.kesz = t("KESZ");
    j.tevnev = t("TEVNEV");
    j.keszuleknev = t("KESZULEKNEV");
    j.keszulekkod = t("KESZULEKKOD");
    j.ugyfelnev = t("UGYFELNEV");
    j.irszam = t("IRSZAM");
    j.varos = t("VAROS");
    j.utca = t("UTCA");
    j.ugyfeltelefon = t("UGYFELTELEFON");
    j.fax = t("FAX");
    j.email = t("EMAIL");
    j.komment = t("KOMMENT");
    j.komment2 = t("KOMMENT2");
    return j;
}

std::optional<bool> slotTakenByOther(const QString& szerelo, const QString& datum,
                                     const QString& ora, int kod, QString* error)
{
    db::Query q;
    q.setSql(QStringLiteral(
        "Select KOD From MUNKA Where SZERELOT = :szerelo And TERVD = :datum And TERVT = :ora "
        "And (ALLAPOT IS NULL OR ALLAPOT <> 'TOR')"));
    q.bind(QStringLiteral("szerelo"), szerelo);
    q.bind(QStringLiteral("datum"), datum);
    q.bind(QStringLiteral("ora"), ora);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    while (q.next()) {
        if (q.integer(QStringLiteral("KOD")) != kod)
            return true;
    }
    return false;
}

QString jobInformation(const GridJob& job)
{
    const QStringList lines = {
        QStringLiteral("#") + QString::number(job.kod) + QStringLiteral(" sz. munka") +
            QStringLiteral(", státusza: ") + job.allapot +
            (job.kesz == QLatin1String("I") ? QStringLiteral(" * KÉSZ *")
                                            : QStringLiteral(" * nincs kész * ")),
        QStringLiteral("Bejelentve: ") + job.felveteld + QStringLiteral("-n (") + job.juzer +
            QLatin1Char(')'),
        QStringLiteral("Készülék:") + job.keszuleknev,
        job.tevnev,
        QStringLiteral("Ügyfél: ") + job.ugyfelnev,
        addressLine(job),
        QStringLiteral("Telefon: ") + job.ugyfeltelefon,
        QStringLiteral("Fax: ") + job.fax,
        QStringLiteral("E-mail: ") + job.email,
        job.komment,
        job.komment2,
        QStringLiteral("Munkavégzés tervezett dátuma: ") + job.tervd + QStringLiteral(", ") +
            job.tervt + QStringLiteral(" óra"),
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
    const std::optional<GridJob> job = loadGridJob(kod, &error);
    if (job)
        messages::show(jobInformation(*job), MessageKind::Dialog);
    else if (!error.isEmpty())
        showDatabaseError(error);
}

std::optional<GridJob> CellActions::check(int column, int row) const
{
    const int kod = m_grid.jobCode(column, row);
    if (kod == 0)
        return std::nullopt;
    if (m_editing) {
        messages::show(QStringLiteral("Fejezze be a mostani adatbevitelt! (Tárolás / Mégsem)"));
        return std::nullopt;
    }
    QString error;
    std::optional<GridJob> job = loadGridJob(kod, &error);
    if (!job) {
        if (!error.isEmpty())
            showDatabaseError(error);
        return std::nullopt;
    }
    if (m_grid.columnDate(column) < alt::today()) {
        if (m_form == ScheduleForm::Jobs) {
            messages::show(QStringLiteral("A dátum régi!"));
            return std::nullopt;
        }
        if (!messages::confirm(QStringLiteral("A dátum régi! Törli mégis?")))
            return std::nullopt;
        return job;
    }
    if (job->allapot != QLatin1String("KI")) {
        const QString name = db::scalar(QStringLiteral("d_mivo"),
                                        QStringLiteral("SELECT NEV FROM ALLAPOT Where KOD= :kod"),
                                        {{QStringLiteral("kod"), job->allapot}})
                                 .toString()
                                 .trimmed();
        messages::show(QStringLiteral("A munka a státusza (") + name +
                       QStringLiteral(") miatt nem módosítható!"));
        return std::nullopt;
    }
    return job;
}

std::optional<RemovedJob> CellActions::remove(int column, int row, Removal kind)
{
    const std::optional<GridJob> job = check(column, row);
    if (!job)
        return std::nullopt;
    const QString question =
        kind == Removal::Unassign
            ? QStringLiteral("Elveszi a munkát a szerelőtől (és csak később osztja ki)?")
            : QStringLiteral("Kiveszi ezt a munkát az elvégzendők közül?");
    const QString text = QStringLiteral("Munkavégzés tervezett ideje:") + job->tervd +
                         QStringLiteral(", ") + job->tervt + lineBreak +
                         QStringLiteral("Készülék:") + job->keszuleknev + lineBreak +
                         QStringLiteral("Ügyfél: ") + job->ugyfelnev + lineBreak +
                         addressLine(*job) + lineBreak + lineBreak + question;
    if (!messages::confirm(text))
        return std::nullopt;

    QString error;
    const bool stored = db::execute(
        QStringLiteral("d_mivo"),
        QStringLiteral("UPDATE MUNKA SET ALLAPOT = :allapot, JUZER = :juzer, SZERELOT = :szerelot, "
                       "MIKORI = :mikori "
                       "WHERE KOD = :kod"),
        {{QStringLiteral("allapot"),
          kind == Removal::Unassign ? QStringLiteral("BE") : QStringLiteral("TOR")},
         {QStringLiteral("juzer"), Td::instance().userCode},
         {QStringLiteral("szerelot"), QStringLiteral("")},
         {QStringLiteral("mikori"), clock::now().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"))},
         {QStringLiteral("kod"), job->kod}},
        &error);
    if (!stored) {
        showDatabaseError(error);
        return std::nullopt;
    }
    m_grid.clearCell(column, row);
    return RemovedJob{job->kod, job->szerelot};
}

} // namespace mivo::workflow
