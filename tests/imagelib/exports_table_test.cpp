// The library's dynamic symbol table holds the nine exports and nothing else
// of its own: no tenth function for freeing, no leaked C++ internals.
#include <elf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (bytes.size() < sizeof(Elf64_Ehdr)) return names;
    Elf64_Ehdr header;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) return names;
    auto section = [&](size_t index) {
        Elf64_Shdr s;
        std::memcpy(&s, bytes.data() + header.e_shoff + index * sizeof(Elf64_Shdr), sizeof s);
        return s;
    };
    if (header.e_shoff + size_t{header.e_shnum} * sizeof(Elf64_Shdr) > bytes.size()) return names;
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
    // Linker and sanitizer runtime bookkeeping are not the library's own.
    std::erase_if(names, [](const std::string& n) { return n == "_init" || n == "_fini" || n.starts_with("__"); });
    const std::set<std::string> expected = {"transform",    "GaussBlur",  "GetBumpMap", "atransform",  "TransformMesh",
                                            "PsTransPoint", "TransPoint", "aTransPoint", "GaussBlurCV2"};
    EXPECT_EQ(names, expected);
}

}  // namespace
