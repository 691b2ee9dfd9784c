#include "webservice/guarded_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace v2d::web {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kStopCheck{50};  // how soon a waiting connection sees Stop()
constexpr size_t kPayloadLimit = 64 * 1024;  // the pages take empty forms

bool AddressOf(socket_t sock, bool peer, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if ((peer ? ::getpeername(sock, raw, &length) : ::getsockname(sock, raw, &length)) != 0) return false;
    std::array<char, INET6_ADDRSTRLEN> text{};
    if (address.ss_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
        ::inet_ntop(AF_INET, &v4->sin_addr, text.data(), text.size());
        port = ntohs(v4->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
        ::inet_ntop(AF_INET6, &v6->sin6_addr, text.data(), text.size());
        port = ntohs(v6->sin6_port);
    } else {
        return false;
    }
    ip = text.data();
    return true;
}

// Waits for `events` until `limit`; false on time out, error or hang-up.
bool Await(socket_t sock, short events, milliseconds limit) {
    pollfd entry{sock, events, 0};
    const int count = ::poll(&entry, 1, static_cast<int>(std::max<milliseconds::rep>(limit.count(), 0)));
    return count > 0 && (entry.revents & events) != 0;
}

// One connection's stream: reads are buffered and bounded by the current
// request's deadline, writes by the write limit.
class DeadlineStream final : public httplib::Stream {
public:
    DeadlineStream(socket_t sock, milliseconds write) : sock_(sock), write_(write) {}

    void StartRequest(milliseconds limit) { deadline_ = Clock::now() + limit; }
    // Whether the next request begins before `idle` passes; ends early once
    // `stopping` says so.
    template <typename Stopping>
    bool AwaitRequest(milliseconds idle, Stopping stopping) {
        if (start_ < end_) return true;
        for (const auto until = Clock::now() + idle; !stopping() && Clock::now() < until;)
            if (Await(sock_, POLLIN, std::min(kStopCheck, Remaining(until)))) return true;
        return false;
    }

    bool is_readable() const override {
        return start_ < end_ || Await(sock_, POLLIN, Remaining(deadline_));
    }
    bool is_writable() const override { return Await(sock_, POLLOUT, write_); }
    // A request that did not arrive in time, or a broken connection.
    bool broken() const { return broken_; }

    ssize_t read(char* ptr, size_t size) override {
        if (start_ == end_) {
            const ssize_t got = is_readable() ? ::recv(sock_, buffer_.data(), buffer_.size(), 0) : -1;
            broken_ = got <= 0;
            if (got <= 0) return got;
            start_ = 0;
            end_ = static_cast<size_t>(got);
        }
        const size_t taken = std::min(size, end_ - start_);
        std::memcpy(ptr, buffer_.data() + start_, taken);
        start_ += taken;
        return static_cast<ssize_t>(taken);
    }
    ssize_t write(const char* ptr, size_t size) override {
        if (!is_writable()) return -1;
        return ::send(sock_, ptr, size, MSG_NOSIGNAL);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override { AddressOf(sock_, true, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { AddressOf(sock_, false, ip, port); }
    socket_t socket() const override { return sock_; }

private:
    static milliseconds Remaining(Clock::time_point until) {
        return std::chrono::ceil<milliseconds>(until - Clock::now());
    }

    socket_t sock_;
    milliseconds write_;
    Clock::time_point deadline_ = Clock::now();
    std::array<char, 4096> buffer_{};
    size_t start_ = 0, end_ = 0;
    bool broken_ = false;
};

}  // namespace

GuardedServer::GuardedServer(const ServiceLimits& limits) : limits_(limits) {
    set_payload_max_length(kPayloadLimit);
    // What the answers' Keep-Alive header announces.
    set_keep_alive_timeout(std::chrono::ceil<std::chrono::seconds>(limits.idle).count());
}

bool GuardedServer::process_and_close_socket(socket_t sock) {
    std::string address;
    int port = 0;
    bool served = false;
    if (AddressOf(sock, true, address, port) && Admit(address)) {
        served = Serve(sock);
        Release(address);
    } else {
        static constexpr char kBusy[] =
            "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nRetry-After: 1\r\nConnection: close\r\n\r\n";
        ::send(sock, kBusy, sizeof(kBusy) - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return served;
}

bool GuardedServer::Serve(socket_t sock) {
    DeadlineStream stream(sock, limits_.write);
    const auto stopping = [this] { return svr_sock_ == INVALID_SOCKET; };
    bool served = false;
    for (size_t left = keep_alive_max_count_; left > 0 && stream.AwaitRequest(limits_.idle, stopping); --left) {
        stream.StartRequest(limits_.request);
        bool closed = false;
        // File answers read the Range header themselves.
        served = process_request(stream, left == 1, closed, [](httplib::Request& req) { req.ranges.clear(); });
        if (!served || closed || stream.broken()) break;
    }
    return served;
}

bool GuardedServer::Admit(const std::string& address) {
    const std::lock_guard<std::mutex> lock(mutex_);
    int& open = open_[address];
    if (open >= limits_.perAddress) return false;
    ++open;
    return true;
}

void GuardedServer::Release(const std::string& address) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (--open_[address] <= 0) open_.erase(address);
}

}  // namespace v2d::web
