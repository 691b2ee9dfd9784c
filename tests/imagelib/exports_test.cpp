// The library's nine exports: its symbol table, loading it by name with the
// messages for what is missing, and the exports called directly as the C
// interface allows (refusals are null handles; returned bitmaps are tight,
// top-down and free themselves).
#include <elf.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

#include "tests/imagelib/support.h"

namespace v2d::test {
namespace {

std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (bytes.size() < sizeof(Elf64_Ehdr)) return names;
    Elf64_Ehdr header;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) return names;
    if (header.e_shoff + size_t{header.e_shnum} * sizeof(Elf64_Shdr) > bytes.size()) return names;
    auto section = [&](size_t index) {
        Elf64_Shdr s;
        std::memcpy(&s, bytes.data() + header.e_shoff + index * sizeof(Elf64_Shdr), sizeof s);
        return s;
    };
    for (size_t i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr symbols = section(i);
        if (symbols.sh_type != SHT_DYNSYM) continue;
        const Elf64_Shdr strings = section(symbols.sh_link);
        for (size_t offset = 0; offset + sizeof(Elf64_Sym) <= symbols.sh_size; offset += sizeof(Elf64_Sym)) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, bytes.data() + symbols.sh_offset + offset, sizeof symbol);
            const int binding = ELF64_ST_BIND(symbol.st_info);
            if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK)) continue;
            names.insert(std::string(bytes.data() + strings.sh_offset + symbol.st_name));
        }
    }
    return names;
}

TEST(ExportsTable, ExactlyTheNineNamesAreExported) {
    std::set<std::string> names = DefinedDynamicSymbols(VEXELL_LIBRARY_FILE);
    ASSERT_FALSE(names.empty());
    // Linker and sanitizer runtime bookkeeping are not the library's own;
    // no tenth function for freeing, no leaked C++ internals.
    std::erase_if(names, [](const std::string& n) { return n == "_init" || n == "_fini" || n.starts_with("__"); });
    const std::set<std::string> expected = {"transform",    "GaussBlur",  "GetBumpMap", "atransform",  "TransformMesh",
                                            "PsTransPoint", "TransPoint", "aTransPoint", "GaussBlurCV2"};
    EXPECT_EQ(names, expected);
}

// --- Loading -------------------------------------------------------------------

const std::string kLibraryMissing = "VexellDll.dll加载失败";
const std::string kExportMissing = "VexellDll.dll函数加载失败";
const std::string kBumpMapMissing = "GetBumpMap函数加载失败";
const std::string kBlurMissing = "GaussBlurCV2函数加载失败";

// transform, GaussBlur, GetBumpMap, atransform, TransformMesh, PsTransPoint,
// TransPoint, aTransPoint, GaussBlurCV2.
const std::vector<std::string> kNothingLoaded = {
    kLibraryMissing, kExportMissing, kExportMissing, kBumpMapMissing, kExportMissing,
    kExportMissing,  kExportMissing, kExportMissing, kExportMissing,  kBlurMissing,
};

TEST(ImageLibraryLoading, AFolderWithoutTheLibraryOrWithAFileThatIsNoneGivesItsMessageAndOnePerExport) {
    QTemporaryDir empty, folder;
    ASSERT_TRUE(empty.isValid() && folder.isValid());
    ImageLibrary library;
    EXPECT_EQ(library.Load(empty.path().toStdString()), kNothingLoaded);
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_FALSE(library.LoadFailureDetail().empty());
    std::ofstream(folder.filePath("VexellDll.so").toStdString()) << "not a shared object";
    EXPECT_EQ(library.Load(folder.path().toStdString()), kNothingLoaded);
}

TEST(ImageLibraryLoading, ALibraryWithSomeExportsNamesEachMissingOneInOrder) {
    // The stand-in has transform, atransform, PsTransPoint and TransPoint.
    ImageLibrary library;
    const std::vector<std::string> expected = {kExportMissing, kBumpMapMissing, kExportMissing, kExportMissing,
                                               kBlurMissing};
    EXPECT_EQ(library.Load(VEXELL_STUB_DIR), expected);
    EXPECT_FALSE(library.IsLoaded());

    // What was found is the stand-in's own; what was not, yields nothing.
    const Quad quad = {V2d_Point{0, 0}, V2d_Point{9, 0}, V2d_Point{9, 9}, V2d_Point{0, 9}};
    const std::vector<V2d_Point> one = {{1, 1}};
    const auto marked = library.TransPoint(one, quad);
    ASSERT_TRUE(marked);
    EXPECT_EQ(marked->front(), (V2d_Point{7, 7}));
    EXPECT_FALSE(library.ATransPoint(one, quad));
    EXPECT_TRUE(library.GetBumpMap(Filled(4, 4, 0), ReliefKind::Raised).isNull());
}

TEST(ImageLibraryLoading, ReloadingReplacesWhatWasLoadedAndMovingHandsItOver) {
    ImageLibrary library;
    ASSERT_TRUE(library.Load(VEXELL_LIBRARY_DIR).empty());
    EXPECT_TRUE(library.IsLoaded());
    QTemporaryDir empty;
    EXPECT_EQ(library.Load(empty.path().toStdString()).size(), 10u);
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_TRUE(library.GaussBlurCV2(Filled(4, 4, 0), 1, 1.0).isNull());

    ImageLibrary first;
    ASSERT_TRUE(first.Load(std::string(VEXELL_LIBRARY_DIR) + "/").empty());
    ImageLibrary second = std::move(first);
    EXPECT_TRUE(second.IsLoaded());
    EXPECT_FALSE(first.IsLoaded());  // NOLINT(bugprone-use-after-move): a moved-from library is empty
    const QImage picture = Filled(4, 4, qRgb(1, 2, 3));
    EXPECT_EQ(second.GaussBlurCV2(picture, 1, 1.0), picture);
}

// --- Raw calls -----------------------------------------------------------------

const VxPoint kQuad[4] = {{10, 10}, {90, 12}, {95, 70}, {5, 66}};

TEST(RawExports, UnusableBitmapsAndANullQuadAreRefusedBeforeAnyPixelIsRead) {
    uint8_t pixels[64] = {};
    const std::pair<const char*, VxBitmap> bad[] = {
        {"no pixels", VxBitmap{4, 4, 16, nullptr, nullptr}},
        {"no width", VxBitmap{0, 4, 16, pixels, nullptr}},
        {"negative height", VxBitmap{4, -4, 16, pixels, nullptr}},
        {"short stride", VxBitmap{4, 4, 12, pixels, nullptr}},
        {"bottom-up stride", VxBitmap{4, 4, -16, pixels, nullptr}},
        {"huge", VxBitmap{40000, 40000, 160000, pixels, nullptr}},
    };
    for (const auto& [what, bitmap] : bad) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(RawResult(Raw().transform(kQuad, &bitmap, nullptr)));
        EXPECT_FALSE(RawResult(Raw().atransform(kQuad, &bitmap, nullptr)));
        EXPECT_FALSE(RawResult(Raw().gaussBlurCV2(&bitmap, 2, 2.0)));
        EXPECT_FALSE(RawResult(Raw().gaussBlur(&bitmap, 2)));
        EXPECT_FALSE(RawResult(Raw().getBumpMap(&bitmap, 0)));
    }
    EXPECT_FALSE(RawResult(Raw().transform(kQuad, nullptr, nullptr)));
    EXPECT_FALSE(RawResult(Raw().gaussBlurCV2(nullptr, 2, 2.0)));
    EXPECT_FALSE(RawResult(Raw().getBumpMap(nullptr, 0)));
    EXPECT_FALSE(RawResult(Raw().gaussBlur(nullptr, 2)));
    const QImage source = Filled(8, 8, qRgb(1, 2, 3));
    const VxBitmap view = BitmapViewOf(source);
    EXPECT_FALSE(RawResult(Raw().transform(nullptr, &view, nullptr)));
    EXPECT_FALSE(RawResult(Raw().atransform(nullptr, &view, nullptr)));
}

TEST(RawExports, ReturnedBitmapsAreTightTopDownAndFreeThemselves) {
    // A source with padded rows: the library honours the caller's stride.
    QImage padded = Filled(30, 20, qRgb(40, 50, 60));
    VxBitmap view = BitmapViewOf(padded);
    std::vector<uint8_t> wide(size_t(view.stride + 16) * 20);
    for (int y = 0; y < 20; ++y) std::memcpy(wide.data() + size_t(y) * (view.stride + 16), padded.constScanLine(y), 120);
    view.stride += 16;
    view.bits = wide.data();

    const RawResult blurred(Raw().gaussBlurCV2(&view, 2, 2.0));
    ASSERT_TRUE(blurred);
    EXPECT_EQ(blurred.bitmap->width, 30);
    EXPECT_EQ(blurred.bitmap->height, 20);
    EXPECT_EQ(blurred.bitmap->stride, 120);
    ASSERT_NE(blurred.bitmap->release, nullptr);
    EXPECT_EQ(blurred.bitmap->bits[0], 60);   // blue first
    EXPECT_EQ(blurred.bitmap->bits[2], 40);   // then green, red
    EXPECT_EQ(blurred.bitmap->bits[19 * 120 + 29 * 4], 60);  // last pixel of the last row

    const RawResult warped(Raw().transform(kQuad, &view, nullptr));
    ASSERT_TRUE(warped);
    EXPECT_EQ(warped.bitmap->width, 91);
    EXPECT_EQ(warped.bitmap->height, 61);
    EXPECT_EQ(warped.bitmap->stride, 91 * 4);
    EXPECT_EQ(warped.bitmap->bits[0], 0);  // the box's corner lies outside the quad

    // The relief map's fourth byte is zero.
    const QImage grey = Filled(6, 6, qRgb(9, 9, 9));
    const VxBitmap greyView = BitmapViewOf(grey);
    const RawResult relief(Raw().getBumpMap(&greyView, 1));
    ASSERT_TRUE(relief);
    for (int i = 0; i < 36; ++i) {
        EXPECT_EQ(relief.bitmap->bits[4 * i], 170);
        EXPECT_EQ(relief.bitmap->bits[4 * i + 3], 0);
    }
}

}  // namespace
}  // namespace v2d::test
