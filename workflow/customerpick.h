#pragma once

#include "customer.h"

#include <optional>

namespace mivo::workflow
{

/// The customer picked in the generic editor on UGYFEL, started with the typed name; none
/// when the pick was cancelled.
std::optional<Customer> chooseCustomer(const QString& typedName);

} // namespace mivo::workflow
