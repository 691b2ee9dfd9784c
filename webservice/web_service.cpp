#include "webservice/web_service.h"

#include <httplib.h>

#include <sys/socket.h>

#include <cctype>
#include <fstream>
#include <system_error>

#include "base/atomic_file.h"
#include "webservice/byte_range.h"
#include "webservice/guarded_server.h"

namespace v2d::web {

namespace fs = std::filesystem;

namespace {

constexpr size_t kChunk = 256 * 1024;
constexpr size_t kServiceThreads = 128;  // a thread per client held alive
// The library listens with a queue of 5: a hundred clients connecting at
// once would have their connections dropped and retried a second later.
constexpr int kListenQueue = 1024;

const char* ContentTypeOf(const fs::path& file) {
    const std::string extension = file.extension().string();
    if (extension == ".jpg" || extension == ".jpeg") return "image/jpeg";
    if (extension == ".png") return "image/png";
    if (extension == ".htm" || extension == ".html") return "text/html; charset=utf-8";
    if (extension == ".svg") return "image/svg+xml";
    if (extension == ".pdf") return "application/pdf";
    return "application/octet-stream";
}

// The file below a served folder that a request path names, or nothing
// when the path, once its links are followed, would lead elsewhere.
std::optional<fs::path> FileOf(const fs::path& files, const std::string& rest) {
    if (rest.find('\\') != std::string::npos || rest.find('\0') != std::string::npos) return std::nullopt;
    const fs::path wanted = fs::u8path(rest);
    if (rest.empty() || wanted.has_root_path()) return std::nullopt;
    std::error_code error;
    const fs::path root = fs::canonical(files, error);
    if (error) return std::nullopt;
    const fs::path file = fs::canonical(root / wanted, error);
    if (error || !fs::is_regular_file(file, error)) return std::nullopt;
    const auto [inRoot, inFile] = std::mismatch(root.begin(), root.end(), file.begin(), file.end());
    if (inRoot != root.end()) return std::nullopt;
    return file;
}

// A decoded request path as an address again: bytes other than the
// unreserved ones and "/" percent-encoded.
std::string PathAddress(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string address;
    for (const unsigned char c : path) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') address += static_cast<char>(c);
        else address += {'%', kHex[c >> 4], kHex[c & 15]};
    }
    return address;
}

void NotFound(httplib::Response& res) {
    res.status = 404;
    res.set_content("<html><body>404</body></html>", "text/html");
}

}  // namespace

WebService::WebService(const ServiceLimits& limits) : server_(std::make_unique<GuardedServer>(limits)) {
    server_->new_task_queue = [] { return new httplib::ThreadPool(kServiceThreads); };
    server_->set_socket_options([this](int socket) {
        httplib::default_socket_options(socket);
        socket_ = socket;
    });
}

WebService::~WebService() { Stop(); }

Status WebService::Bind(const fs::path& root, const std::string& host, int port) {
    Result<Catalogue> catalogue = ReadCatalogue(root);
    if (!catalogue) return catalogue.failure();
    files_ = root / "files";
    share_ = root / kShareFolder;
    port_ = port == 0 ? server_->bind_to_any_port(host) : (server_->bind_to_port(host, port) ? port : -1);
    if (port_ <= 0) return Error{"cannot listen on " + host + ":" + std::to_string(port)};
    ::listen(socket_, kListenQueue);  // a second listen() only lengthens the queue
    address_ = "http://" + host + ":" + std::to_string(port_);
    pages_ = BuildSitePages(*catalogue, address_);
    Route();
    return Status::Ok();
}

void WebService::Route() {
    auto page = [this](const httplib::Request& req, httplib::Response& res) {
        std::string path = req.path;
        const auto found = pages_.find(path);
        if (found == pages_.end()) return NotFound(res);
        res.set_content(found->second.body, found->second.contentType.c_str());
    };
    // A file streamed with its length, one range at most.
    auto send = [](const httplib::Request& req, httplib::Response& res, const std::optional<fs::path>& file) {
        std::error_code error;
        const uintmax_t size = file ? fs::file_size(*file, error) : 0;
        if (!file || error) return NotFound(res);
        res.set_header("Accept-Ranges", "bytes");
        const RangeDecision range = DecideRange(req.get_header_value("Range"), size);
        if (range.answer == RangeAnswer::Unsatisfiable) {
            res.status = 416;
            res.set_header("Content-Range", "bytes */" + std::to_string(size));
            res.set_content("", "text/plain");
            return;
        }
        const bool part = range.answer == RangeAnswer::Part;
        const uintmax_t first = part ? range.first : 0, length = part ? range.length : size;
        res.status = part ? 206 : 200;
        if (part)
            res.set_header("Content-Range", "bytes " + std::to_string(first) + "-" + std::to_string(first + length - 1) +
                                                "/" + std::to_string(size));
        if (length == 0) return res.set_content("", ContentTypeOf(*file));
        auto in = std::make_shared<std::ifstream>(*file, std::ios::binary);
        auto buffer = std::make_shared<std::vector<char>>(kChunk);
        res.set_content_provider(length, ContentTypeOf(*file),
                                 [in, buffer, first](size_t offset, size_t length, httplib::DataSink& sink) {
                                     in->seekg(static_cast<std::streamoff>(first + offset));
                                     in->read(buffer->data(), static_cast<std::streamsize>(std::min(length, kChunk)));
                                     const std::streamsize got = in->gcount();
                                     if (got <= 0) return false;
                                     return sink.write(buffer->data(), static_cast<size_t>(got));
                                 });
    };
    auto file = [this, send](const httplib::Request& req, httplib::Response& res) {
        send(req, res, FileOf(files_, req.path.substr(std::string("/files/").size())));
    };
    // A published customer page: a folder's address gives its index.html,
    // named without the closing slash it is sent there, so that the page's
    // relative addresses resolve inside its folder.
    auto share = [this, send](const httplib::Request& req, httplib::Response& res) {
        const std::string rest = req.path.substr(std::string("/share/").size());
        if (rest.empty() || rest.back() == '/') return send(req, res, FileOf(share_, rest + "index.html"));
        if (const std::optional<fs::path> file = FileOf(share_, rest)) return send(req, res, file);
        if (!FileOf(share_, rest + "/index.html")) return NotFound(res);
        res.set_redirect(PathAddress(req.path) + "/", 301);
    };
    server_->Get("/files/.*", file);
    server_->Get("/share/.*", share);
    server_->Get(".*", page);
    server_->Post(".*", page);
    // The library refuses a Range header it cannot read before any route
    // sees it; such a header is answered as the routes answer it: ignored
    // (another unit, a backwards range) or refused with the file's size.
    const httplib::Server::HandlerWithResponse unreadRange = [page, file, share](const httplib::Request& req,
                                                                          httplib::Response& res) {
        if (res.status != 416 || res.has_header("Content-Range") || !req.ranges.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        res.status = 200;
        const bool get = req.method != "POST";
        if (get && req.path.rfind("/files/", 0) == 0) file(req, res);
        else if (get && req.path.rfind("/share/", 0) == 0) share(req, res);
        else page(req, res);
        return httplib::Server::HandlerResponse::Handled;
    };
    server_->set_error_handler(unreadRange);
}

void WebService::Listen() { server_->listen_after_bind(); }

void WebService::Stop() { server_->stop(); }

Status ExportSite(const fs::path& root, const fs::path& dir, const std::string& base) {
    Result<Catalogue> catalogue = ReadCatalogue(root);
    if (!catalogue) return catalogue.failure();
    std::error_code error;
    for (const auto& [path, page] : BuildSitePages(*catalogue, base)) {
        const fs::path target = dir / (path == "/" ? std::string("index.html") : path.substr(1));
        fs::create_directories(target.parent_path(), error);
        const auto* bytes = reinterpret_cast<const uint8_t*>(page.body.data());
        if (error || !WriteFileAtomically(target, std::span<const uint8_t>(bytes, page.body.size())))
            return Error{"cannot write " + target.string()};
    }
    fs::copy(root / "files", dir / "files", fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    if (error) return Error{"cannot copy " + (root / "files").string() + ": " + error.message()};
    return Status::Ok();
}

}  // namespace v2d::web
