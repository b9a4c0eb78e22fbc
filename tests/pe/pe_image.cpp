#include "pe_image.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

namespace {
struct View {
    const std::vector<std::uint8_t>& b;
    bool Has(std::size_t at, std::size_t n) const { return at <= b.size() && n <= b.size() - at; }
    std::uint16_t U16(std::size_t at) const { return Has(at, 2) ? static_cast<std::uint16_t>(b[at] | b[at + 1] << 8) : 0; }
    std::uint32_t U32(std::size_t at) const {
        return Has(at, 4) ? static_cast<std::uint32_t>(U16(at)) | static_cast<std::uint32_t>(U16(at + 2)) << 16 : 0;
    }
    std::string CStr(std::size_t at) const {
        std::string s;
        while (at < b.size() && b[at]) s.push_back(static_cast<char>(b[at++]));
        return s;
    }
};

std::size_t RvaToOffset(const PeImage& img, std::uint32_t rva) {
    for (const auto& s : img.sections)
        if (rva >= s.virtualAddress && rva < s.virtualAddress + std::max(s.virtualSize, s.rawSize))
            return s.rawOffset + (rva - s.virtualAddress);
    return static_cast<std::size_t>(-1);
}
}  // namespace

PeImage ReadPeImage(const std::string& path) {
    PeImage img;
    std::ifstream f(path, std::ios::binary);
    if (!f) return img;
    img.bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    View v{img.bytes};
    if (v.U16(0) != 0x5A4D) return img;
    const std::size_t pe = v.U32(0x3C);
    if (v.U32(pe) != 0x4550) return img;
    const std::size_t coff = pe + 4;
    img.machine = v.U16(coff);
    const std::uint16_t nSections = v.U16(coff + 2);
    const std::uint16_t optSize = v.U16(coff + 16);
    img.fileCharacteristics = v.U16(coff + 18);
    const std::size_t opt = coff + 20;
    img.magic = v.U16(opt);
    const bool plus = img.magic == 0x20B;
    img.subsystem = v.U16(opt + 68);
    img.dllCharacteristics = v.U16(opt + 70);
    const std::size_t dirs = opt + (plus ? 112 : 96);
    auto dirRva = [&](int i) { return v.U32(dirs + 8 * i); };
    auto dirSize = [&](int i) { return v.U32(dirs + 8 * i + 4); };
    img.relocDirSize = dirSize(5);
    const std::size_t sect = opt + optSize;
    for (int i = 0; i < nSections; ++i) {
        const std::size_t s = sect + 40 * i;
        PeSection ps;
        for (int k = 0; k < 8 && v.Has(s + k, 1) && img.bytes[s + k]; ++k) ps.name.push_back(static_cast<char>(img.bytes[s + k]));
        ps.virtualSize = v.U32(s + 8);
        ps.virtualAddress = v.U32(s + 12);
        ps.rawSize = v.U32(s + 16);
        ps.rawOffset = v.U32(s + 20);
        ps.characteristics = v.U32(s + 36);
        img.sections.push_back(ps);
    }
    // Imports.
    if (dirRva(1)) {
        for (std::size_t d = RvaToOffset(img, dirRva(1)); v.Has(d, 20) && v.U32(d + 12); d += 20) {
            std::string dll = v.CStr(RvaToOffset(img, v.U32(d + 12)));
            std::transform(dll.begin(), dll.end(), dll.begin(), [](unsigned char c) { return std::toupper(c); });
            img.importedDlls.push_back(dll);
            std::uint32_t thunkRva = v.U32(d) ? v.U32(d) : v.U32(d + 16);
            const std::size_t step = plus ? 8 : 4;
            for (std::size_t t = RvaToOffset(img, thunkRva); v.Has(t, step); t += step) {
                const std::uint64_t entry = plus ? (static_cast<std::uint64_t>(v.U32(t + 4)) << 32 | v.U32(t)) : v.U32(t);
                if (!entry) break;
                const bool byOrdinal = plus ? (entry >> 63) != 0 : (entry >> 31) != 0;
                if (!byOrdinal) img.importsByDll[dll].push_back(v.CStr(RvaToOffset(img, static_cast<std::uint32_t>(entry)) + 2));
            }
        }
    }
    // Resources: count the entries under each type of the root directory.
    if (dirRva(2)) {
        const std::size_t root = RvaToOffset(img, dirRva(2));
        const std::uint16_t named = v.U16(root + 12), ids = v.U16(root + 14);
        for (int i = 0; i < named + ids; ++i) {
            const std::size_t e = root + 16 + 8 * i;
            const std::uint32_t type = v.U32(e);
            const std::uint32_t off = v.U32(e + 4);
            if (!(off & 0x80000000u)) continue;
            const std::size_t sub = root + (off & 0x7FFFFFFFu);
            img.resourceCounts[type] = v.U16(sub + 12) + v.U16(sub + 14);
            if (type == 14 && img.groupIcon.empty()) {
                // type -> first name -> first language -> data entry
                std::size_t dir = sub;
                std::uint32_t o = v.U32(dir + 16 + 4);
                for (int depth = 0; depth < 2 && (o & 0x80000000u); ++depth) {
                    dir = root + (o & 0x7FFFFFFFu);
                    o = v.U32(dir + 16 + 4);
                }
                const std::size_t data = root + o;
                const std::size_t at = RvaToOffset(img, v.U32(data));
                const std::uint32_t size = v.U32(data + 4);
                if (v.Has(at, size)) img.groupIcon.assign(img.bytes.begin() + at, img.bytes.begin() + at + size);
            }
        }
    }
    img.valid = true;
    return img;
}
