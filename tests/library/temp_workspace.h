#pragma once
// A fresh program folder under the system's temporary folder, removed again
// when the test ends.
#include <atomic>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "library/data_module.h"
#include "library/product_database_file.h"
#include "base/atomic_file.h"

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

inline Blob ReadBytes(const std::filesystem::path& p) { return ReadWholeFile(p).value_or(Blob{}); }

// A database file of the product database's form, filled by an SQL script.
inline Status MakeDatabaseFile(const std::filesystem::path& file, const std::string& script) {
    return CreateProductDatabaseFile(file, [&](const SqlDatabase& db) { return db.executeScript(script); });
}

}  // namespace v2d::test
