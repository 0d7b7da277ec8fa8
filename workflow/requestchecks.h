#pragma once

#include "gridjob.h"
#include "request.h"

#include <QString>

#include <optional>

namespace mivo::workflow
{

/// Why a request cannot be stored: the message for the user and the control (object name)
/// that gets the focus.
struct Refusal {
    QString message;
    QString focus;
};

/// The checks of the request's own fields that "&Tárolás" runs first, in their order:
/// customer, appliance, activity, part of the day (request entry only) and request date.
std::optional<Refusal> checkFields(const Request& request, ScheduleForm form);

/// A job taken from the grid (moved, or modified and given to an external technician) is
/// first set back on its stored customer: without a customer code it cannot be stored.
std::optional<Refusal> checkCustomerCode(const Request& request);

} // namespace mivo::workflow
