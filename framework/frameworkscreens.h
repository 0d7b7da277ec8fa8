#pragma once

namespace mivo
{

class ScreenRegistry;

/// Registers the master-data menu items: each opens the generic editor on its table list,
/// with its fixed condition or the own company's technicians; and the custom list builder.
void registerFrameworkScreens(ScreenRegistry& registry);

} // namespace mivo
