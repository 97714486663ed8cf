// The runtime's own additions to the network library, beyond HawkNL's
// interface (not exported).
#pragma once
#include "nl/nl.h"

// A blocking read on this socket gives up after `ms` without data: nlRead
// then returns 0 (Linux) or NL_INVALID with NL_SOCK_DISCONNECT (Windows,
// WSAETIMEDOUT). Waiting with a poll first instead would lose a reset
// under Wine, which reports it to the poll and then ends the stream quietly.
bool nlSetReceiveTimeout(NLsocket socket, int ms);
