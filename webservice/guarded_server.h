#pragma once
// The service's HTTP server with limits for clients that hold on: a request
// must arrive whole within a time, an idle connection is closed, and one
// address keeps a bounded number of connections open, so that slow or
// greedy clients cannot hold every serving thread.
#include <httplib.h>

#include <map>
#include <mutex>
#include <string>

#include "webservice/service_limits.h"

namespace v2d::web {

class GuardedServer : public httplib::Server {
public:
    explicit GuardedServer(const ServiceLimits& limits);

private:
    bool process_and_close_socket(socket_t sock) override;
    bool Serve(socket_t sock);
    bool Admit(const std::string& address);
    void Release(const std::string& address);

    ServiceLimits limits_;
    std::mutex mutex_;
    std::map<std::string, int> open_;  // connections by remote address
};

}  // namespace v2d::web
