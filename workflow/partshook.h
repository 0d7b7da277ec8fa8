#pragma once

#include <QString>

#include <optional>

namespace mivo::workflow
{

/// What the parts form is opened with from a request.
struct PartsRequest {
    QString parts;          ///< the parts field: codes each followed by ","
    QString typeName;       ///< the appliance type's name
    QString typeCode;       ///< its article code (ARU.KOD)
    int tipus = 0;          ///< its ARU.BELSOKOD
    QString technician;     ///< exact code of the technician whose stock the parts come from
    QString technicianText; ///< the technician field: code, a space, name
};

/// The parts stock at the technicians as request entry reaches it. The stock screens register
/// it at start; while none is registered, or the stock table is missing, request entry keeps
/// its parts in the parts field alone. The writes run inside the store's open transaction
/// and never commit; a failure carries the database's text and code.
class PartsHook
{
public:
    struct Result {
        bool ok = true;
        QString message;
        int errorCode = 0;
    };

    virtual ~PartsHook() = default;
    /// Loads a stored job's parts as the parts form's rows, at the technician holding them.
    virtual Result prepare(int jobCode, const QString& technician) = 0;
    /// Shows the parts form modally; the new parts field, nullopt when left without a choice.
    virtual std::optional<QString> choose(const PartsRequest& request) = 0;
    /// Gives back what the job reserved at the technician.
    virtual Result release(const QString& connectionName, int jobCode,
                           const QString& technician) = 0;
    /// Gives back at once what the technician's "KI" jobs planned between the days
    /// ("yyyy.mm.dd", both included) reserved at him (PartsStock::releasePlanned).
    virtual Result releasePlanned(const QString& connectionName, const QString& technician,
                                  const QString& from, const QString& to);
    /// Reserves the form's rows at the technician and records them as the job's parts.
    virtual Result reserveAndRecord(const QString& connectionName, int jobCode, int tipus,
                                    int keszulek, const QString& technician) = 0;
    /// Forgets the form's rows (a new request).
    virtual void empty() = 0;
};

/// Registers the hook (nullptr removes it); the caller keeps ownership.
void setPartsHook(PartsHook* hook);
/// The registered hook when the stock feature is on, else nullptr.
PartsHook* partsHook();

} // namespace mivo::workflow
