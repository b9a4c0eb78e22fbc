#include "common/version_resource.h"

namespace nl {
namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;

    bool Has(std::size_t at, std::size_t n) const { return at <= size && n <= size - at; }
    std::uint16_t U16(std::size_t at) const {
        return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
    }
    std::uint32_t U32(std::size_t at) const {
        return static_cast<std::uint32_t>(U16(at)) | (static_cast<std::uint32_t>(U16(at + 2)) << 16);
    }
    // A NUL-terminated UTF-16 key starting at `at`; returns the offset past the NUL.
    std::size_t Key(std::size_t at, std::size_t end, std::string& out) const {
        out.clear();
        while (at + 2 <= end) {
            const std::uint16_t c = U16(at);
            at += 2;
            if (c == 0) return at;
            out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        }
        return end;
    }
};

std::size_t Align4(std::size_t v) { return (v + 3) & ~static_cast<std::size_t>(3); }

// One block: wLength, wValueLength, wType, key, padding, value, padding, children.
struct Block {
    std::size_t start, end, valueAt, childrenAt;
    std::uint16_t valueLength, type;
    std::string key;
};

bool ReadBlock(const Reader& r, std::size_t at, std::size_t limit, Block& b) {
    if (!r.Has(at, 6)) return false;
    const std::uint16_t length = r.U16(at);
    if (length < 6 || at + length > limit) return false;
    b.start = at;
    b.end = at + length;
    b.valueLength = r.U16(at + 2);
    b.type = r.U16(at + 4);
    b.valueAt = Align4(r.Key(at + 6, b.end, b.key));
    // Text values count UTF-16 code units, binary values count bytes.
    const std::size_t valueBytes = b.type == 1 ? std::size_t{b.valueLength} * 2 : b.valueLength;
    b.childrenAt = Align4(b.valueAt + valueBytes);
    return b.valueAt <= b.end;
}

}  // namespace

VersionResource ParseVersionResource(const std::uint8_t* data, std::size_t size) {
    VersionResource out;
    Reader r{data, size};
    Block root;
    if (!data || !ReadBlock(r, 0, size, root) || root.key != "VS_VERSION_INFO") return out;
    if (root.valueLength < 52 || !r.Has(root.valueAt, 52) || r.U32(root.valueAt) != 0xFEEF04BDu)
        return out;
    const std::uint32_t ms = r.U32(root.valueAt + 8);
    const std::uint32_t ls = r.U32(root.valueAt + 12);
    out.major = static_cast<std::uint16_t>(ms >> 16);
    out.minor = static_cast<std::uint16_t>(ms & 0xFFFF);
    out.build = static_cast<std::uint16_t>(ls >> 16);
    out.revision = static_cast<std::uint16_t>(ls & 0xFFFF);
    out.valid = true;

    for (std::size_t at = root.childrenAt; at < root.end;) {
        Block child;
        if (!ReadBlock(r, at, root.end, child)) break;
        if (child.key == "StringFileInfo") {
            Block table;
            if (ReadBlock(r, child.childrenAt, child.end, table)) {
                for (std::size_t s = table.childrenAt; s < table.end;) {
                    Block str;
                    if (!ReadBlock(r, s, table.end, str)) break;
                    std::string value;
                    r.Key(str.valueAt, str.end, value);
                    out.strings[str.key] = value;
                    s = Align4(str.end);
                }
            }
        }
        at = Align4(child.end);
    }
    return out;
}

namespace {
void AppendPadded(std::string& out, unsigned v, std::size_t width) {
    const std::string digits = std::to_string(v);
    if (digits.size() < width) out.append(width - digits.size(), '0');
    out += digits;
}
}  // namespace

std::string VersionText(std::uint16_t major, std::uint16_t minor, std::uint16_t revision) {
    std::string s;
    AppendPadded(s, major, 1);
    s.push_back('.');
    AppendPadded(s, minor, 2);
    s.push_back('.');
    AppendPadded(s, revision, 4);
    return s;
}

}  // namespace nl
