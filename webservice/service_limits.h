#pragma once
// How long and how many: what the catalogue service grants one client.
#include <chrono>

namespace v2d::web {

struct ServiceLimits {
    // From a request's first byte to its last header (and body).
    std::chrono::milliseconds request{10000};
    // Waiting for the next request on a connection kept alive.
    std::chrono::milliseconds idle{5000};
    // One write to a client that stopped reading.
    std::chrono::milliseconds write{5000};
    // Connections one remote address may hold open at once; more are
    // answered 503 and closed.
    int perAddress = 32;
};

}  // namespace v2d::web
