// vexel2d-web: the shop's catalogue service.
//   vexel2d-web --root DIR [--host H] [--port P] [--workspace W] [--ready FILE] [--exit-with-parent]
//               [--max-per-address N]
//   vexel2d-web make-catalogue DIR [--workspace W] [--keep-existing]
//   vexel2d-web export DIR --root ROOT [--base URL]
#include <signal.h>
#include <sys/prctl.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/atomic_file.h"
#include "base/folder_replacement.h"
#include "base/integer_text.h"
#include "base/process_setup.h"
#include "base/program_information.h"
#include "demo/web_catalogue.h"
#include "online/service_settings.h"
#include "webservice/web_service.h"
#include "webservice/workspace_catalogue.h"

namespace {

namespace fs = std::filesystem;

int Fail(const std::string& message) {
    std::fprintf(stderr, "vexel2d-web: %s\n", message.c_str());
    return 1;
}

constexpr const char* kSynopsis =
    "usage: vexel2d-web --root DIR [--host H] [--port P] [--workspace W] [--ready FILE] "
    "[--exit-with-parent] [--max-per-address N]\n"
    "       vexel2d-web make-catalogue DIR [--workspace W] [--keep-existing]\n"
    "       vexel2d-web export DIR --root ROOT [--base URL]\n";

constexpr const char* kOptions =
    "\n"
    "The shop's catalogue service: serves a catalogue folder's product, model and template pages, and at\n"
    "/share/NAME/ the customer page in the folder's share/NAME (vexel2d-cli share SCHEME -o DIR/share/NAME),\n"
    "  or with --workspace in W's share/NAME, where the program's \"发送给客户\" writes it.\n"
    "\n"
    "  --root DIR             the catalogue folder to serve (or to export)\n"
    "  --host H               the address to listen on (default 127.0.0.1)\n"
    "  --port P               the port (default 8080; 0: a free one)\n"
    "  --workspace W          serving: write the address into W's settings; make-catalogue: publish W's\n"
    "                         products and templates instead of the demo shop's\n"
    "  --ready FILE           write the address into FILE once the service listens\n"
    "  --exit-with-parent     end when the program that started it ends\n"
    "  --max-per-address N    connections one client address may hold open (default 32)\n"
    "  --keep-existing        make-catalogue: leave a catalogue already in DIR\n"
    "  --base URL             export: the address the static site will be served from\n"
    "  -h, --help             print this text and exit\n"
    "  --version              print the version and exit\n";

int Usage() {
    std::fputs(kSynopsis, stderr);
    return 2;
}

struct Options {
    std::vector<std::string> positional;
    std::string root, host = "127.0.0.1", workspace, ready, base = "http://127.0.0.1:8080";
    int port = 8080;
    v2d::web::ServiceLimits limits;
    bool keepExisting = false, exitWithParent = false;
};

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) return false;
            target = argv[++i];
            return true;
        };
        if (a == "--root" || a == "--host" || a == "--workspace" || a == "--ready" || a == "--base") {
            std::string& target = a == "--root" ? o.root : a == "--host" ? o.host : a == "--workspace" ? o.workspace
                                  : a == "--ready" ? o.ready : o.base;
            if (!value(target)) return false;
        } else if (a == "--port" || a == "--max-per-address") {
            std::string text;
            if (!value(text)) return false;
            const std::optional<int> number = v2d::ParseInt(text);
            const bool port = a == "--port";
            if (!number || *number < (port ? 0 : 1) || (port && *number > 65535)) return false;
            (port ? o.port : o.limits.perAddress) = *number;
        } else if (a == "--keep-existing") {
            o.keepExisting = true;
        } else if (a == "--exit-with-parent") {
            o.exitWithParent = true;
        } else if (!a.empty() && a[0] == '-') {
            return false;
        } else {
            o.positional.push_back(a);
        }
    }
    return true;
}

int Serve(const Options& o) {
    // SIGINT and SIGTERM end the service through one waiting thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    if (o.exitWithParent) prctl(PR_SET_PDEATHSIG, SIGTERM);

    v2d::web::WebService service(o.limits);
    if (v2d::Status bound = service.Bind(o.root, o.host, o.port); !bound) return Fail(bound.error());
    if (!o.workspace.empty()) {
        if (v2d::Status written = v2d::WriteSetting(o.workspace, "WebHost", service.address()); !written)
            return Fail(written.error());
        service.ServeSharedPagesFrom(std::filesystem::path(o.workspace) / v2d::web::kShareFolder);
    }
    std::printf("vexel2d-web: serving %s on %s\n", o.root.c_str(), service.address().c_str());
    std::fflush(stdout);
    if (!o.ready.empty()) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(service.address().data());
        if (!v2d::WriteFileAtomically(o.ready, std::span<const uint8_t>(bytes, service.address().size())))
            return Fail("cannot write " + o.ready);
    }
    std::thread waiter([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        service.Stop();
    });
    service.Listen();
    // Listen also ends when the socket fails; wake the waiter then.
    pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto asked = v2d::RequestedInformation({argv + 1, argv + argc}); asked != v2d::InformationRequest::None)
        return v2d::PrintInformation(asked, "vexel2d-web", (std::string(kSynopsis) + kOptions).c_str());
    v2d::SetUpProcess();
    Options o;
    if (!Parse(argc, argv, o)) return Usage();
    if (!o.positional.empty() && o.positional[0] == "make-catalogue") {
        if (o.positional.size() != 2) return Usage();
        const fs::path root = o.positional[1];
        if (o.keepExisting && fs::exists(root / v2d::demo::kWebCatalogueIndex)) return 0;
        // The shop's own workspace, or the demo shop's catalogue.
        std::vector<std::string> skipped;
        const v2d::Status made = v2d::ReplaceFolder(root, [&](const fs::path& folder) {
            return o.workspace.empty() ? v2d::demo::WriteWebCatalogue(folder)
                                       : v2d::web::WriteWorkspaceCatalogue(o.workspace, folder, skipped);
        });
        for (const std::string& line : skipped) std::fprintf(stderr, "vexel2d-web: skipped %s\n", line.c_str());
        if (!made) return Fail(made.error());
        return 0;
    }
    if (!o.positional.empty() && o.positional[0] == "export") {
        if (o.positional.size() != 2 || o.root.empty()) return Usage();
        if (v2d::Status done = v2d::web::ExportSite(o.root, o.positional[1], o.base); !done) return Fail(done.error());
        return 0;
    }
    if (!o.positional.empty() || o.root.empty()) return Usage();
    return Serve(o);
}
