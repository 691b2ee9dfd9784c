// Mutants of files the program makes (bit flips, edge values, cuts, repeats,
// holes; fixed seed) are read or refused with their message; a refused
// update leaves the workspace database byte for byte as it was and stays.
// VEXEL_FUZZ_RUNS sets the count of a longer session and lifts the time bound;
// VEXEL_FUZZ_SEED gives it mutants of its own.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <chrono>
#include <cmath>
#include <random>
#include <set>

#include "demo/demo_room.h"
#include "demo/product_pictures.h"
#include "library/catalogue_csv.h"
#include "library/internal/database_key.h"
#include "library/product_map.h"
#include "library/pub_functions.h"
#include "scene/scheme_file.h"
#include "tests/library/temp_workspace.h"

namespace v2d {
namespace {

namespace fs = std::filesystem;

// Opening an encrypted database derives its key with a quarter of a million
// HMAC rounds, each of which allocates inside OpenSSL. Under the address
// sanitizer those allocations cost most of a fuzz run, and the key
// derivation is not what is fuzzed: hand OpenSSL glibc's own allocator.
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void __libc_free(void*);
const bool kOpenSslOnPlainMalloc = [] {
    using Set = int (*)(void* (*)(size_t, const char*, int), void* (*)(void*, size_t, const char*, int),
                        void (*)(void*, const char*, int));
    const auto set = reinterpret_cast<Set>(dlsym(RTLD_DEFAULT, "CRYPTO_set_mem_functions"));
    return set && set([](size_t n, const char*, int) { return __libc_malloc(n); },
                      [](void* p, size_t n, const char*, int) { return __libc_realloc(p, n); },
                      [](void* p, const char*, int) { __libc_free(p); });
}();

template <class Check>
size_t Fuzz(const Blob& seed, size_t runs, Check check, size_t from = 0) {
    double seconds = 5;
    if (const char* env = std::getenv("VEXEL_FUZZ_RUNS")) runs = std::strtoull(env, nullptr, 10), seconds = 1e9;
    const char* mutantSeed = std::getenv("VEXEL_FUZZ_SEED");
    std::mt19937 rng(mutantSeed ? std::strtoul(mutantSeed, nullptr, 10) : 20261208);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    size_t done = 0;
    for (; done < runs && std::chrono::steady_clock::now() < end; ++done) {
        Blob b = seed;
        for (int n = 1 + rng() % 4; n > 0 && b.size() > from; --n) {
            const size_t i = from + rng() % (b.size() - from), k = std::min(b.size(), i + 1 + rng() % 64);
            const uint32_t edges[] = {0, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, static_cast<uint32_t>(b.size())};
            switch (rng() % 5) {
                case 0: b[i] ^= static_cast<uint8_t>(1u << rng() % 8); break;
                case 1: std::memcpy(&b[i], &edges[rng() % 5], std::min<size_t>(4, b.size() - i)); break;
                case 2: b.resize(i); break;
                case 3: { const Blob piece(b.begin() + i, b.begin() + k); b.insert(b.begin() + i, piece.begin(), piece.end()); break; }
                default: b.erase(b.begin() + i, b.begin() + k);
            }
        }
        check(b);
    }
    return done;
}

TEST(ReaderFuzz, ProductMapsAndShopLists) {
    const QImage picture = demo::pictures::MakeThumbnail(demo::pictures::DrawProductPicture({}), 48);
    std::printf("product maps: %zu runs\n", Fuzz(BuildProductMap(*EncodeJpeg(picture, 90), ProductMapKind::Jpeg), 3000, [](const Blob& b) {
        Result<ProductMap> map = ParseProductMap(b);
        EXPECT_TRUE(map ? !map->hasPicture() || map->picture.format() == QImage::Format_RGB32 : map.error() == kMsgMapInvalid);
    }));
    const std::string csv = "file,name,number,specs,price\r\n布.jpg,\"格子, 蓝\",GZ-1,600*600,9.5\r\nb.jpg,木 \"\"橡\"\",M,8*4,12\n";
    std::printf("shop lists: %zu runs\n", Fuzz(Blob(csv.begin(), csv.end()), 20000, [](const Blob& b) {
        auto rows = ParseCatalogueCsv(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
        std::set<std::string> keys;
        for (const CatalogueRow& r : rows ? *rows : std::vector<CatalogueRow>{})
            EXPECT_TRUE(r.problem.rfind("第 " + std::to_string(r.line) + " 行：", 0) == 0 ||
                        (r.problem.empty() && IsValidUtf8(r.file + r.name + r.number) && std::isfinite(r.price) &&
                         keys.insert("f" + r.file).second && (r.number.empty() || keys.insert("n" + r.number).second)));
    }));
}

// Mutants past the first page open and fail part-way, the case that once
// kept half a merge.
TEST(ReaderFuzz, RefusedUpdatesLeaveTheWorkspaceDatabaseUntouched) {
    test::TempWorkspace ws;
    const fs::path dbFile = ws / kProductDatabaseFile, update = ws / "updatedb/u.cdb";
    std::unique_ptr<TDataModule_Manager> dm = ws.OpenModule();
    const Blob pristine = test::ReadBytes(dbFile);
    const Scene room = demo::BuildDemoRoomScene(160, 120);  // the demo's kind of update file
    ASSERT_TRUE(test::MakeDatabaseFile(update, "insert into TableStyle values(3,'新中式'),(9,'日式');"
                                               "insert into TableRoomType values(2,0,'卧室'),(7,0,'儿童房')").ok());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(SqlDatabase::Open(update, kProductDatabasePassword, OpenMode::ReadWrite)->execute(
        "insert into TableSample(SampleName,SampleType,StyleID,RoomTypeID,SamplePic,SampleData) values('模板',2,9,7,?,?)",
        {SqlValue(*demo::BareRoomThumbnail(room)), SqlValue(*SerializeScheme(room))}).ok());
    size_t refused = 0;
    const size_t runs = Fuzz(test::ReadBytes(update), 25, [&](const Blob& b) {
        ASSERT_TRUE(WriteFileAtomically(update, b));
        const UpdateFolderReport report = MergeUpdateFolder(*dm, SchemeReads);
        refused += !report.errors.empty();
        EXPECT_EQ(fs::exists(update), !report.errors.empty());
        if (!report.errors.empty()) {
            EXPECT_EQ(report.errors[0].rfind("更新数据库没有合并：", 0), 0u) << report.errors[0];
            EXPECT_TRUE(fs::is_empty(ws / "temple/local"));
            ASSERT_EQ(test::ReadBytes(dbFile), pristine);
        } else if (report.reports[0].merged) {  // back to the start for the next mutant
            dm.reset();
            fs::remove_all(ws / "temple/local");
            fs::create_directories(ws / "temple/local");
            ASSERT_TRUE(WriteFileAtomically(dbFile, pristine));
            dm = ws.OpenModule();
        }
    }, 1024);
    std::printf("update databases: %zu runs, %zu refused\n", runs, refused);
}

// An update whose template would install what the program cannot open is
// refused whole, naming the row: the database, temple/ and the update stay.
TEST(ReaderFuzz, ATemplateThatDoesNotReadRefusesTheWholeUpdate) {
    const Scene room = demo::BuildDemoRoomScene(160, 120);
    const Blob scheme = *SerializeScheme(room), pic = *demo::BareRoomThumbnail(room), cut(pic.begin(), pic.end() - 99);
    const std::string longName(100000, 'x');
    const std::tuple<std::string, Blob, Blob, std::string> cases[] = {
        {"客厅", pic, pic, "模板“客厅”的方案文件读不出。"},
        {"卧室", cut, scheme, "模板“卧室”的缩略图不是完整的 JPEG 图片。"},
        {longName, pic, scheme, "模板“" + longName.substr(0, 20) + "…”的名称超过 255 个字。"}};
    for (const auto& [name, picture, data, says] : cases) {
        test::TempWorkspace ws;
        std::unique_ptr<TDataModule_Manager> dm = ws.OpenModule();
        const fs::path update = ws / "updatedb/u.cdb";
        ASSERT_TRUE(test::MakeDatabaseFile(update, "insert into TableStyle values(9,'日式')").ok());
        {  // a good template first: it is not installed either
            auto up = SqlDatabase::Open(update, kProductDatabasePassword, OpenMode::ReadWrite);
            for (const auto& [n, p, d] : {std::tuple{std::string("好"), pic, scheme}, {name, picture, data}})
                ASSERT_TRUE(up->execute("insert into TableSample(SampleName,SampleType,StyleID,RoomTypeID,SamplePic,"
                                        "SampleData) values(?,2,9,1,?,?)", {SqlText(n), SqlValue(p), SqlValue(d)}).ok());
        }
        auto listing = [&] {  // every file and folder with its bytes
            std::set<std::pair<fs::path, Blob>> files;
            for (const auto& e : fs::recursive_directory_iterator(ws.path()))
                files.emplace(e.path(), e.is_regular_file() ? test::ReadBytes(e.path()) : Blob{'/'});
            return files;
        };
        const auto before = listing();
        const UpdateFolderReport report = MergeUpdateFolder(*dm, SchemeReads);
        ASSERT_EQ(report.errors.size(), 1u) << says;
        EXPECT_EQ(report.errors[0], "更新数据库没有合并：" + update.string() + "，" + says);
        EXPECT_TRUE(listing() == before) << says;
    }
}

}  // namespace
}  // namespace v2d
