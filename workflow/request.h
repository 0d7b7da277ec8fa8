#pragma once

#include "customer.h"
#include "jobstate.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace mivo::workflow
{

/// The modes of the scheduling forms. The base mode comes from the menu item; the current
/// mode changes to Move or Modify while a job taken from the grid is edited.
enum class RequestMode {
    New,      ///< "U": recording a new request
    Unplaced, ///< "M": giving out a recorded job
    Revisit,  ///< "Z": a new visit for a closed-door job
    Ongoing,  ///< "F": a new visit for a job in progress
    Move,     ///< "Á": a job moved from its cell
    Modify,   ///< "Ó": a job modified in its cell
};

/// The mode letter ("U", "M", ...) and back; nullopt for an unknown letter.
QString modeLetter(RequestMode mode);
std::optional<RequestMode> modeOfLetter(const QString& letter);

/// A cell of the planning grid: technician column 1..n and hour row 2..R-1.
struct GridCell {
    int column = 0;
    int row = 0;
    bool operator==(const GridCell&) const = default;
};

/// Where the request is to be done.
struct Slot {
    enum Kind {
        None,     ///< given to nobody yet
        External, ///< an external company's technician
        Grid,     ///< an hour of an own technician's day
    };
    Kind kind = None;
    GridCell cell;      ///< Grid: the cell chosen
    QString technician; ///< Grid: the exact code of the column's technician
    QString date;       ///< Grid: the column's date when the cell was chosen
    QString hour;       ///< Grid: the hour label of the row ("08")
};

/// An external company's technician (SZERELO row of another company).
struct ExternalTechnician {
    QString kod, ceg, nev;
};

/// The request being edited on a scheduling form: what its fields hold and what the form
/// remembers beside them. The forms show it; the checks and the store read it.
struct Request {
    RequestMode baseMode = RequestMode::New;
    RequestMode currentMode = RequestMode::New;

    Customer customer;   ///< kod 0: the store creates the customer
    Customer remembered; ///< the customer's fields as loaded or picked

    int keszulek = 0; ///< appliance code; 0: the store creates the appliance
    int tipus = 0;    ///< appliance type (ARU.BELSOKOD)
    QString tipusKod, tipusNev, gyariszam;
    bool ujKeszulek = false;

    QString tevekenyseg; ///< the activity's name
    bool telefon = false, lemondta = false, kesz = false;
    QString problema;
    QString datum;   ///< request date "yyyy.mm.dd" (the planned date)
    QString ora;     ///< planned hour of a grid slot
    QString dedu;    ///< part of the day: "De", "Du", "Es" or empty
    QString szerelo; ///< technician field: the chosen column's header
    ExternalTechnician kulsos;
    QString alk;     ///< part codes, each followed by ","
    QString leirasm; ///< the listed job's work description (read-only)

    int jobCode = 0; ///< 0: a new job
    /// The job as it was loaded: its state guards the store, its technician holds the parts
    /// reserved for it.
    QString loadedState, loadedTechnician, loadedActivity;

    Slot slot;
    /// The cell a moved job came from, restored when the move is cancelled.
    std::optional<Slot> former;

    /// The customer's newest letter: its date, whether it was answered, and the tick.
    QString letterDate;
    bool letterAnswered = false;
    bool valaszolt = false;

    bool hasCustomer() const { return customer.kod != 0 || !customer.nev.isEmpty(); }
};

/// The request's address as a chosen, not yet stored cell shows it (" BP. " for Budapest).
QString pendingAddress(const Customer& customer);

/// The codes of a parts field: the elements between commas, blanks trimmed, empty ones
/// dropped (a last code without "," counts too).
QStringList partCodeList(const QString& field);
/// The parts field with the code appended ("code,") unless it already holds that code.
QString withPartCode(const QString& field, const QString& code);

/// TERVT of an external technician's job: "De" gives "08", "Du" "13", anything else "18".
QString externalHour(const QString& dedu);

} // namespace mivo::workflow
