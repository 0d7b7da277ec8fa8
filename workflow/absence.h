#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace mivo::workflow
{

class PartsHook;

/// A period of the absence screen as typed: both ends validated and brought to "yyyy.mm.dd"
/// ("20240501" and "202405" are accepted, the latter as the month's first day).
struct AbsencePeriod {
    QString from;
    QString to;

    /// The period of the two texts, or the message that stops the action: "Hibás dátum." +
    /// line break + the text for an invalid end (*failingEnd 0 = from, 1 = to), "Hibás dátum
    /// intervallum" when the last day is before the first.
    static std::optional<AbsencePeriod> of(const QString& from, const QString& to, QString* message,
                                           int* failingEnd = nullptr);
    /// The text as "yyyy.mm.dd"; empty when it is no valid date.
    static QString normalised(const QString& text);
    /// The days from..to, both included, that are Monday to Friday.
    std::vector<QDate> workingDays() const;
};

/// The two days of the absence screen and its rules for changing them. Both hold
/// "yyyy.mm.dd" texts; a change that breaks a rule leaves both as they were.
class AbsenceDays
{
public:
    /// Both days today (alt::today()).
    AbsenceDays();

    QString first() const { return m_first; }
    QString last() const { return m_last; }

    /// Sets the first day; empty on success, else the message to show: "Hibás dátum." + line
    /// break + the text, or with notBeforeToday (recording mode) "A mai napnál régebbi dátum
    /// nem érvényes." for a day before today. A first day after the last drags the last along.
    QString setFirst(const QString& text, bool notBeforeToday);
    /// Sets the last day; empty on success, else "Hibás dátum." + line break + the text or
    /// "Hibás dátum intervallum" for a day before the first.
    QString setLast(const QString& text);
    /// Both days as a period (always valid and ordered).
    AbsencePeriod period() const { return {m_first, m_last}; }

private:
    QString m_first, m_last;
};

/// The absence screen's lists for a technician and period (:szerelo, :datumtol, :datumig):
/// his jobs planned in it with their state, deleted ones left out, and his absence marks.
QString plannedJobsStatement();
QString absenceMarksStatement();

/// What recording an absence did.
struct AbsenceResult {
    bool ok = true;
    QString message; ///< the database's text when not ok
    int givenBack = 0;
    int marked = 0;
    int attempts = 0; ///< runs of the unit, more than 1 after a conflict with another workstation
    /// "Ne feledje az aznapi " + n + " munkát másnak kiosztani!"; empty when nothing went back.
    QString reminder() const;
};

/// Records a technician's absence: in one transaction it gives his jobs planned in the period
/// back to the unassigned pool ("KI" jobs only: documented and deleted ones keep their state;
/// TERVD and TERVT stay; JUZER and MIKORI stamped), releases their parts reservations at him
/// when the stock feature is on, and writes the reason into NAPIREND for every Monday to
/// Friday of the period (an empty reason makes them working days again). A conflict with
/// another workstation reruns the whole unit; any failure writes nothing.
class AbsenceStore
{
public:
    /// parts: the stock feature's hook (partsHook()), nullptr when it is off.
    explicit AbsenceStore(const QString& connectionName, PartsHook* parts);

    AbsenceResult record(const QString& technician, const AbsencePeriod& period,
                         const QString& reason) const;

    /// The statements of one run, for measuring them bare: the give-back of the period's "KI"
    /// jobs (:szerelo, :datumtol, :datumig, :juzer, :mikori) and the mark of a day
    /// (:szerelo, :datum, :tavollet).
    static QString giveBackStatement();
    static QString markStatement();

private:
    QString m_connection;
    PartsHook* m_parts;
};

} // namespace mivo::workflow
