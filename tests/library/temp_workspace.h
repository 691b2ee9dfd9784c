#pragma once
// A fresh program folder under the system's temporary folder, removed again
// when the test ends.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "library/data_module.h"
#include "library/product_schema.h"

namespace v2d::test {

class TempWorkspace {
public:
    TempWorkspace() {
        static std::atomic<int> counter{0};
        root_ = std::filesystem::temp_directory_path() /
                ("vexel-db-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(root_);
        for (const char* d : {"DB", "temp", "updatedb", "temple/local", "temple/TempData",
                              "product/maps", "product/jpg", "product/xjpg"})
            std::filesystem::create_directories(root_ / d);
    }
    ~TempWorkspace() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    const std::filesystem::path& path() const { return root_; }
    std::filesystem::path operator/(const std::string& rel) const { return root_ / rel; }

    std::unique_ptr<TDataModule_Manager> OpenModule() const {
        auto dm = TDataModule_Manager::DataModuleCreate(root_, OpenMode::CreateIfMissing);
        if (!dm) return nullptr;
        return std::move(*dm);
    }

private:
    std::filesystem::path root_;
};

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// An update database with the full schema, keyed with `password`.
inline SqlDatabase MakeUpdateDatabase(const std::filesystem::path& file,
                                      const std::string& password = kProductDatabasePassword) {
    auto db = SqlDatabase::Open(file, password, OpenMode::CreateIfMissing);
    if (!db || !CreateProductSchema(*db)) return {};
    return std::move(*db);
}

}  // namespace v2d::test
