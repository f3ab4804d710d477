// The names a shared library exports, read from its file: the defined global and weak symbols of its dynamic
// symbol table (64-bit little-endian ELF). Tests compare them with the list a library promises, so that nothing
// else (a template of the standard library, an internal class) becomes part of its interface unnoticed.
#pragma once

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace murtesk::elf {

// Empty when the file cannot be read or is no such ELF file.
inline std::set<std::string> ExportedSymbols(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto fits = [&](std::size_t offset, std::size_t size) {
        return offset <= file.size() && size <= file.size() - offset;
    };
    Elf64_Ehdr header;
    if (!fits(0, sizeof header))
        return {};
    std::memcpy(&header, file.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
        header.e_shentsize != sizeof(Elf64_Shdr))
        return {};
    const auto section = [&](std::size_t index, Elf64_Shdr& out) {
        const std::size_t at = header.e_shoff + index * sizeof(Elf64_Shdr);
        if (index >= header.e_shnum || !fits(at, sizeof out))
            return false;
        std::memcpy(&out, file.data() + at, sizeof out);
        return true;
    };
    std::set<std::string> names;
    Elf64_Shdr symbols;
    for (std::size_t i = 0; section(i, symbols); ++i) {
        Elf64_Shdr strings;
        if (symbols.sh_type != SHT_DYNSYM || !section(symbols.sh_link, strings) ||
            !fits(symbols.sh_offset, symbols.sh_size) || !fits(strings.sh_offset, strings.sh_size))
            continue;
        for (std::size_t k = 0; k < symbols.sh_size / sizeof(Elf64_Sym); ++k) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, file.data() + symbols.sh_offset + k * sizeof symbol, sizeof symbol);
            const unsigned bind = ELF64_ST_BIND(symbol.st_info);
            if (symbol.st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK) ||
                symbol.st_name >= strings.sh_size)
                continue;
            const char* name = file.data() + strings.sh_offset + symbol.st_name;
            names.emplace(name, strnlen(name, strings.sh_size - symbol.st_name));
        }
    }
    return names;
}

}  // namespace murtesk::elf
