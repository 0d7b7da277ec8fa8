#pragma once

#include "partshook.h"

#include <QString>

#include <optional>
#include <vector>

namespace mivo::workflow
{

/// What a technician and the company's store hold of a part.
struct StockLevel {
    double technician = 0;
    double company = 0;
    double available() const { return technician + company; }
    /// "Készlet (Sz+C)": the technician's quantity, "+", the store's.
    QString text() const;
};

/// A row of the parts form: a part and the quantity the job needs.
struct PartRow {
    QString code; ///< ARU.KOD; empty for a row without part
    QString name;
    QString quantity; ///< as typed ("Darab"); empty counts as none
    int belsokod = 0; ///< ARU.BELSOKOD; 0 for a code no part has
    QString stock;    ///< StockLevel::text() when the row was filled
};

/// The parts stock at the technicians (ALK_KESZLET): what a place holds, the reservations
/// of planned jobs and their release. Places are technician codes and "CEG" (the company's
/// store); parts are codes of JELLEG 'A' articles. Writes are relative (FOGLALT =
/// COALESCE(FOGLALT, 0) + n) and join the caller's open transaction; run them through a unit
/// of work, which reruns them when another workstation changed the same row.
class PartsStock
{
public:
    explicit PartsStock(const QString& connectionName = QStringLiteral("d_mivo"));

    /// What the technician and the company hold of the part (a missing row, or a NULL
    /// quantity, counts as 0; the company's only when the technician has no row). Nullopt
    /// with the database's text in *error.
    std::optional<StockLevel> lookup(const QString& technician, const QString& part,
                                     QString* error) const;

    /// Adds the quantity (negative: takes it) to what the technician has reserved of the
    /// part, creating the stock row when there is none.
    PartsHook::Result reserve(const QString& technician, const QString& part,
                              double quantity) const;
    /// Takes the job's recorded parts back out of the technician's reservations.
    PartsHook::Result release(int jobCode, const QString& technician) const;
    /// Takes the recorded parts of the technician's "KI" jobs planned between the days
    /// ("yyyy.mm.dd", both included) back out of his reservations in one statement, as
    /// release() of each would (a missing stock row is created).
    PartsHook::Result releasePlanned(const QString& technician, const QString& from,
                                     const QString& to) const;
    /// Reserves the rows' quantities at the technician (none when the technician is empty)
    /// and records them as the job's parts. Rows without code or quantity are skipped.
    PartsHook::Result reserveAndRecord(int jobCode, int tipus, int keszulek,
                                       const QString& technician,
                                       const std::vector<PartRow>& rows) const;

    /// Adds to what the place has reserved (FOGLALT) and holds (MENNYI) of the part (negative:
    /// takes), creating the stock row when there is none: no movement is lost.
    PartsHook::Result move(const QString& place, const QString& part, double reserved,
                           double held) const;
    /// The job's recorded parts: article code (ARU.KOD) and quantity, in recording order.
    /// Nullopt with the database's text in *error.
    std::optional<std::vector<std::pair<QString, double>>> recordedQuantities(int jobCode,
                                                                              QString* error) const;

    /// The statements of reserve() and move() (:mennyiseg or :foglalt and :mennyi, :hol, :mi),
    /// and the job's recorded parts by article code (:kod: MENNYISEG, ARUKOD), for measuring
    /// them bare.
    static QString reserveStatement();
    static QString moveStatement();
    static QString jobPartsStatement();
    /// The statement of releasePlanned() (:hol, :datumtol, :datumig).
    static QString releasePlannedStatement();

    /// The job's recorded parts with their quantities, stock at the technician.
    std::optional<std::vector<PartRow>> jobParts(int jobCode, const QString& technician,
                                                 QString* error) const;
    /// The rows of a parts list (codes each followed by ","): the part's name and stock, the
    /// quantity of the same code among `previous` or "1". An empty list gives one empty row.
    std::optional<std::vector<PartRow>> rowsOf(const QString& list, const QString& technician,
                                               const std::vector<PartRow>& previous,
                                               QString* error) const;
    /// A row for a part: its name, internal code and stock at the technician.
    std::optional<PartRow> rowFor(const QString& code, const QString& technician,
                                  QString* error) const;

private:
    QString m_connection;
};

/// The quantity of a row as a number: digits, an optional leading "-", "," or "." as the
/// decimal separator. Nullopt when it is no number.
std::optional<double> rowQuantity(const QString& text);

} // namespace mivo::workflow
