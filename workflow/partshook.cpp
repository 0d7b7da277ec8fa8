#include "partshook.h"

#include "core/dat.h"

namespace mivo::workflow
{

namespace
{
PartsHook* registered = nullptr;
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
