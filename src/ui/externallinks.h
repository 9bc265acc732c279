#pragma once

// Pages of outside services that the program opens in the default browser. Use as
// QStringView(CloudServiceHomePage).

// The openHAB cloud service (myopenHAB): the user signs in there and registers the gateway's UUID
// and secret.
inline constexpr char16_t CloudServiceHomePage[] = u"https://myopenhab.org/";

// The public status page of the openHAB Foundation's services, the cloud service among them.
inline constexpr char16_t CloudServiceStatusPage[] = u"https://status.openhab.org/";
