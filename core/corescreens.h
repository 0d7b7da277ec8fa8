#pragma once

namespace mivo
{

class ScreenRegistry;

/// Registers the core's menu items: "beallitasok" (the settings editor).
void registerCoreScreens(ScreenRegistry& registry);

} // namespace mivo
