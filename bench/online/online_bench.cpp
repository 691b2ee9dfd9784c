// The download worker and the catalogue service, measured in one run: a
// 200 MB file fetched by DownloadToFile and by the curl program from the
// same local service (throughput, and the download's peak memory growth),
// and 100 concurrent clients fetching catalogue pages (latency p95).
#include <httplib.h>

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include <unistd.h>

#include "bench/bench_main.h"
#include "demo/web_catalogue.h"
#include "online/http_download.h"
#include "webservice/web_service.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;
constexpr int64_t kBigFile = 200ll << 20;

// VmHWM or VmRSS of this process, in kB.
long StatusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    return 0;
}

// One service over a generated catalogue plus a 200 MB file, for the run.
struct Site {
    fs::path root = fs::temp_directory_path() / ("vexel-bench-site-" + std::to_string(::getpid()));
    web::WebService service{web::ServiceLimits{.perAddress = 128}};  // all its clients share one address
    std::thread serving;

    Site() {
        static int argc = 1;
        static char name[] = "bench";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
        fs::remove_all(root);
        if (!demo::WriteWebCatalogue(root)) std::abort();
        std::ofstream big(root / "files" / "big.bin", std::ios::binary);
        std::vector<char> block(1 << 20);
        for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31);
        for (int64_t written = 0; written < kBigFile; written += int64_t(block.size())) big.write(block.data(), block.size());
        big.close();
        if (!service.Bind(root, "127.0.0.1", 0)) std::abort();
        serving = std::thread([this] { service.Listen(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ~Site() {
        service.Stop();
        serving.join();
        fs::remove_all(root);
    }
    std::string BigUrl() const { return service.address() + "/files/big.bin"; }
};

Site& TheSite() {
    static Site site;
    return site;
}

void BM_DownloadToFile200MB(benchmark::State& state) {
    Site& site = TheSite();
    const fs::path target = site.root / "got.bin";
    long growthKb = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from now
        const long before = StatusKb("VmRSS:");
        if (!DownloadToFile(site.BigUrl(), target, {})) state.SkipWithError("download failed");
        growthKb = std::max(growthKb, StatusKb("VmHWM:") - before);
        state.PauseTiming();
        fs::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kBigFile);
    state.counters["peak_growth_MB"] = double(growthKb) / 1024.0;
}
BENCHMARK(BM_DownloadToFile200MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_CurlProgram200MB(benchmark::State& state) {
    Site& site = TheSite();
    const std::string command = "curl -s --noproxy '*' -o '" + (site.root / "curl.bin").string() + "' '" + site.BigUrl() + "'";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("curl failed");
    state.SetBytesProcessed(state.iterations() * kBigFile);
}
BENCHMARK(BM_CurlProgram200MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// 100 clients at once, each fetching catalogue pages over its own connection.
void BM_Catalogue100Clients(benchmark::State& state) {
    Site& site = TheSite();
    const char* pages[] = {"/webbase/webpartst.asp", "/webbase/webmodel.asp", "/vexel/Skim/Goods.aspx?id=2",
                           "/webbase/parts/2.htm", "/webbase/productt.asp/WS-8101.htm"};
    constexpr int kClients = 100, kRequests = 20;
    std::vector<double> latencies;
    for (auto _ : state) {
        std::vector<std::vector<double>> perClient(kClients);
        std::vector<std::thread> clients;
        for (int c = 0; c < kClients; ++c)
            clients.emplace_back([&, c] {
                httplib::Client client("127.0.0.1", site.service.port());
                for (int r = 0; r < kRequests; ++r) {
                    const auto start = std::chrono::steady_clock::now();
                    const auto res = client.Get(pages[(c + r) % 5]);
                    const double ms =
                        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                    perClient[c].push_back(res && res->status == 200 ? ms : 1e9);
                }
            });
        for (std::thread& t : clients) t.join();
        for (const auto& l : perClient) latencies.insert(latencies.end(), l.begin(), l.end());
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["p50_ms"] = latencies[latencies.size() / 2];
    state.counters["p95_ms"] = latencies[latencies.size() * 95 / 100];
    state.counters["max_ms"] = latencies.back();
    state.counters["requests"] = double(latencies.size());
}
BENCHMARK(BM_Catalogue100Clients)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace v2d

int main(int argc, char** argv) {
    return v2d::bench::RunBenchmarks(argc, argv, {{"DownloadToFile200MB", "CurlProgram200MB"}});
}
