#pragma once

#include "appliancerepository.h"
#include "customer.h"
#include "jobrepository.h"
#include "jobstate.h"
#include "partsstock.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace mivo::data
{
class QueryModel;
}

namespace mivo::workflow
{

/// The two modes of completion documentation.
enum class CompletionMode {
    Document, ///< "KI": jobs given out, documented now
    Correct,  ///< "OK": documented jobs checked and corrected
};

/// The mode of a menu item's mode letter ("KI", "OK"); nullopt for any other.
std::optional<CompletionMode> completionModeOf(const QString& letter);
/// The state of the jobs the mode lists: Assigned ("KI") or Done ("OK").
JobState listedState(CompletionMode mode);

/// An activity (TEVEKENYS row). SORREND is its class: 1 commissioning (a sheet is written),
/// 2 or more an appliance already commissioned, 3 parts are recorded.
struct Activity {
    QString kod, nev;
    int sorrend = 0;
};

/// The activities in name order, read once for a screen.
class Activities
{
public:
    /// Reads "SELECT * FROM TEVEKENYS ORDER BY NEV". Nullopt with the database's text.
    static std::optional<Activities> read(const QString& connectionName, QString* error);

    const std::vector<Activity>& all() const { return m_all; }
    QStringList names() const;
    /// The activity of the code or name; nullptr when none has it.
    const Activity* byCode(const QString& kod) const;
    const Activity* byName(const QString& nev) const;

private:
    std::vector<Activity> m_all;
};

/// How a commissioning sheet field is typed.
enum class SheetInput {
    Text,
    Number, ///< a decimal number, "1,5"; empty is 0
    Date,   ///< "yyyy.mm.dd" with a "Nap" picker
    Letter, ///< one upper-case letter of its button's caption ("IN", "I/N", "RU")
};

/// A field of the commissioning sheet on the appliance page: its BEUZLAP column, its edit
/// field, how it is typed, its length and (for letters) its button's caption.
struct SheetField {
    QString column;
    QString edit;
    SheetInput input = SheetInput::Text;
    int maxLength = 0;
    QString letters;
};

/// The sheet's fields the page edits, SORSZAM first, in the page's order.
const std::vector<SheetField>& sheetFields();

/// A job of the list (q_munkaki row).
struct ListedJob {
    int kod = 0, ugyfel = 0, keszulek = 0, tipus = 0;
    QString juzer, lemondta, tervd, szerelot, tervtev, tevnev, keszuleknev, keszulekkod, leirast,
        szamlaszam, munkaszam, munkatev, leirasm, szerelom;
    Customer customer;
};

/// The job of a list row; an empty job (kod 0) outside the rows.
ListedJob listedJobAt(const data::QueryModel& list, int row);

/// A job loaded for documenting: what the pages show and what the form remembers of it.
struct Completion {
    CompletionMode mode = CompletionMode::Document;
    ListedJob job; ///< the job as listed; its values key the checks and the same-visit rule

    // Work page
    QString munkad;                ///< date of the work
    QString szerelom, szerelomNev; ///< who did it
    QString szerelotNev;           ///< name of the planned technician
    QString tevekenyseg;           ///< the performed activity's name; empty for none
    QString munkaszam, szamlaszam, leirasm;
    QString hiba; ///< the planned activity's name

    // Customer page
    Customer customer;   ///< the form's customer; kod is the owner the job will have
    Customer remembered; ///< the customer's values as loaded or picked

    // Appliance page
    int keszulek = 0; ///< the job's appliance; the serial search may choose another
    int tipus = 0;    ///< the appliance type (ARU.BELSOKOD)
    QString tipusKod, tipusNev, gyariszam;
    /// The sheet fields as shown, by BEUZLAP column, with FELSZCEGKOD and UZEMBEKOD (set by
    /// the company pickers).
    std::map<QString, QString> sheet;

    // What was loaded with the appliance
    RowValues loadedSheet; ///< the appliance's sheet as read; empty: it has none
    QString sheetSerial;   ///< the serial number remembered from the sheet (or the search)
    int applianceTipus = 0;
    QString applianceBeuzemeles;

    // Parts page
    bool partsShown = false; ///< the performed activity records parts (SORREND 3)
    std::vector<PartRow> parts;
    QString gjsorszam; ///< the warranty coupon number as typed

    bool hasSheet() const { return !loadedSheet.empty(); }
    /// The number of the appliance's sheet; empty when it has none.
    QString sheetNumber() const;
};

/// Loads the listed job for documenting in the mode: its appliance and sheet, names of the
/// technicians and activities, its recorded parts; an appliance without sheet gets the own
/// company (KULSOCEG of Td's ownCompany) proposed as commissioner. Nullopt with the
/// database's text in *error.
std::optional<Completion> loadCompletion(const ListedJob& job, CompletionMode mode,
                                         const Activities& activities,
                                         const QString& connectionName, QString* error);

/// Makes another appliance the job's (the serial search): its serial number (remembered as
/// the sheet's), type and sheet. False with the database's text in *error.
bool takeAppliance(Completion& completion, int keszulek, const QString& gyariszam,
                   const QString& connectionName, QString* error);

/// A part (JELLEG 'A') by its code: name and internal code; nullopt inside when no part has
/// the code. Outer nullopt with the database's text in *error.
std::optional<std::optional<PartRow>> partByCode(const QString& code, const QString& connectionName,
                                                 QString* error);

/// The name of a technician (SZERELO.NEV); empty when none has the code.
std::optional<QString> technicianName(const QString& kod, const QString& connectionName,
                                      QString* error);

/// The statements loading runs besides the repositories': a technician's name (:kod) and
/// the own company's address (:kod), for measuring them bare.
QString technicianStatement();
QString ownCompanyStatement();

/// The sheet row the store would write: the page's fields converted (numbers from decimal
/// commas, empty as 0), with the job's appliance, the form's customer, type, serial and
/// invoice number, TELJESITMENY as the minimum output, ROGZDAT today and BEUZEMELES the work
/// date. The numbers must be valid (see numberRefusal).
RowValues sheetRow(const Completion& completion);
/// Whether the sheet the store would write differs from the one loaded in any column it
/// writes on an update, compared after the same conversion (numbers as numbers, NULL as
/// an empty text or 0). FELSZCEGKOD, UZEMBEKOD, ROGZDAT and BEUZEMELES do not count.
bool sheetDiffers(const RowValues& loaded, const RowValues& written);

/// The used parts of the rows that count: a code, an internal code and a quantity that is not
/// 0. The quantities must be whole numbers (see numberRefusal).
std::vector<UsedPart> usedParts(const Completion& completion);

} // namespace mivo::workflow
