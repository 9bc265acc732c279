#pragma once

#include <QString>

// Tells whether the bus server answers on the network: one ICMP echo request (32 bytes of
// payload) to host, a wait of up to waitMs for the answer to that request, then a pause of pauseMs
// whether an answer came or not. An echo reply counts as an answer, and so does an ICMP error
// report (destination unreachable, time exceeded, parameter problem) that quotes the request.
//
// A host name is resolved first (IPv4); the resolution counts against waitMs. Anything that keeps
// the request from going out or the answer from being read (a name that does not resolve, ICMP
// not permitted, a socket error) gives false at once, without the pause. The call therefore never
// blocks longer than waitMs + pauseMs. It shows nothing.
bool CheckBusServer(const QString& host, int waitMs = 5000, int pauseMs = 2000);
