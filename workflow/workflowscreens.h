#pragma once

namespace mivo
{
class ScreenRegistry;
}

namespace mivo::workflow
{

/// Registers the scheduling and completion screens with their menu items and modes.
void registerWorkflowScreens(ScreenRegistry& registry);

} // namespace mivo::workflow
