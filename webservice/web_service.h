#pragma once
// vexel2d-web's server: the built pages (GET and POST, the query ignored)
// and the files under the catalogue's files/ folder and, at /share/, the
// customer pages published under its share/ folder (vexel2d-cli share -o
// ROOT/share/NAME), streamed with their Content-Length and answering single
// range requests. Nothing outside those folders is served, whatever the
// path or its links say.
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "base/result.h"
#include "webservice/service_limits.h"
#include "webservice/pages.h"

namespace v2d::web {

class GuardedServer;

inline constexpr const char* kShareFolder = "share";

class WebService {
public:
    explicit WebService(const ServiceLimits& limits = {});
    ~WebService();
    WebService(const WebService&) = delete;
    WebService& operator=(const WebService&) = delete;

    // Reads the catalogue and binds; port 0 takes a free port. The pages
    // name their downloads by the address bound.
    Status Bind(const std::filesystem::path& root, const std::string& host, int port);
    // The customer pages come from this folder instead of the root's share/
    // (the shop's workspace, where the program writes them); before Listen.
    void ServeSharedPagesFrom(std::filesystem::path folder) { share_ = std::move(folder); }
    int port() const { return port_; }
    const std::string& address() const { return address_; }
    // Serves until Stop(); call Bind first.
    void Listen();
    // Safe from another thread.
    void Stop();

private:
    void Route();

    std::unique_ptr<GuardedServer> server_;
    std::filesystem::path files_;
    std::filesystem::path share_;
    std::map<std::string, Page> pages_;
    std::string address_;
    int port_ = 0;
    int socket_ = -1;  // the listening socket, once bound
};

// Writes every page under dir by its path and copies files/ beside them,
// for an ordinary web server; the pages name their downloads by `base`.
Status ExportSite(const std::filesystem::path& root, const std::filesystem::path& dir, const std::string& base);

}  // namespace v2d::web
