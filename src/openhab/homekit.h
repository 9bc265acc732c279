#pragma once

// The HomeKit pairing PIN of every gateway: written into homekit.cfg and shown in the server
// settings. Use as QStringView(HomeKitPin).
inline constexpr char16_t HomeKitPin[] = u"482-17-306";
