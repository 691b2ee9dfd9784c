#pragma once
// A cpp-httplib server on 127.0.0.1 and a free port, serving on its own
// thread for the length of one test.
#include <httplib.h>

#include <filesystem>
#include <string>
#include <thread>

#include <unistd.h>

namespace v2d::test {

class TestServer {
public:
    httplib::Server server;

    // Bound at once, so addresses are known while the routes are set up.
    TestServer() : port_(server.bind_to_any_port("127.0.0.1")) {}
    ~TestServer() { Stop(); }
    void Start() {
        thread_ = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void Stop() {
        server.stop();
        if (thread_.joinable()) thread_.join();
    }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    int port() const { return port_; }

private:
    int port_ = 0;
    std::thread thread_;
};

// A folder under the temporary folder, removed with the test.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace v2d::test
