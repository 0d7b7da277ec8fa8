#include "partshook.h"

#include "partsstock.h"

#include "core/dat.h"

namespace mivo::workflow
{

namespace
{
PartsHook* registered = nullptr;
}

PartsHook::Result PartsHook::releasePlanned(const QString& connectionName,
                                            const QString& technician, const QString& from,
                                            const QString& to)
{
    return PartsStock(connectionName).releasePlanned(technician, from, to);
}

void setPartsHook(PartsHook* hook)
{
    registered = hook;
}

PartsHook* partsHook()
{
    return Td::instance().partsStockAvailable ? registered : nullptr;
}

} // namespace mivo::workflow
