#pragma once

// The openHAB cloud service: the gateway's cloud connector talks to it, and the user manages the
// gateway's account on its pages. Use as QStringView(CloudServiceBaseUrl).
inline constexpr char16_t CloudServiceBaseUrl[] = u"https://myopenhab.org/";
