#pragma once

#include <QtGlobal>

#include <functional>

// A loopback port that nobody listens on right now, or 0 when none can be had.
quint16 FreeLoopbackPort();

// Calls start with a free loopback port until it succeeds, at most attempts times: another process
// may take the port between the moment it is picked and the moment start binds it.
bool StartOnFreePort(const std::function<bool(quint16 port)>& start, int attempts = 3);
