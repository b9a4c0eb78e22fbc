#include <gtest/gtest.h>

#include <vector>

#include "common/version_resource.h"

namespace nl {
namespace {

// Builds version-resource blocks the way the resource compiler lays them out.
struct Blob {
    std::vector<std::uint8_t> b;
    void U16(std::uint16_t v) {
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
        b.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v & 0xFFFF));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void Wide(const std::string& s) {
        for (char c : s) U16(static_cast<std::uint8_t>(c));
        U16(0);
    }
    void Pad() {
        while (b.size() % 4) b.push_back(0);
    }
};

std::vector<std::uint8_t> Block(const std::string& key, std::uint16_t type, const std::vector<std::uint8_t>& value,
                                std::uint16_t valueLength, const std::vector<std::vector<std::uint8_t>>& children) {
    Blob x;
    x.U16(0);
    x.U16(valueLength);
    x.U16(type);
    x.Wide(key);
    x.Pad();
    x.b.insert(x.b.end(), value.begin(), value.end());
    x.Pad();
    for (const auto& c : children) {
        x.b.insert(x.b.end(), c.begin(), c.end());
        x.Pad();
    }
    x.b[0] = static_cast<std::uint8_t>(x.b.size() & 0xFF);
    x.b[1] = static_cast<std::uint8_t>(x.b.size() >> 8);
    return x.b;
}

std::vector<std::uint8_t> StringValue(const std::string& key, const std::string& value) {
    Blob v;
    v.Wide(value);
    auto block = Block(key, 1, v.b, static_cast<std::uint16_t>(value.size() + 1), {});
    // The last child's length excludes the padding after its value.
    return block;
}

std::vector<std::uint8_t> VersionInfo(std::uint32_t ms, std::uint32_t ls) {
    Blob fixed;
    fixed.U32(0xFEEF04BD);
    fixed.U32(0x00010000);
    fixed.U32(ms);
    fixed.U32(ls);
    fixed.U32(ms);
    fixed.U32(ls);
    for (int i = 0; i < 7; ++i) fixed.U32(0);
    auto table = Block("040704B0", 1, {}, 0,
                       {StringValue("FileVersion", "1.00.0007"), StringValue("ProductName", "Notchlog"),
                        StringValue("OriginalFilename", "Notchlog.exe")});
    auto sfi = Block("StringFileInfo", 1, {}, 0, {table});
    Blob translation;
    translation.U16(0x0407);
    translation.U16(0x04B0);
    auto var = Block("VarFileInfo", 1, {}, 0, {Block("Translation", 0, translation.b, 4, {})});
    return Block("VS_VERSION_INFO", 0, fixed.b, 52, {sfi, var});
}

TEST(VersionResource, ReadsFixedNumbersAndStrings) {
    const auto blob = VersionInfo(0x00010000, 0x00000007);
    const VersionResource v = ParseVersionResource(blob.data(), blob.size());
    ASSERT_TRUE(v.valid);
    EXPECT_EQ(v.major, 1);
    EXPECT_EQ(v.minor, 0);
    EXPECT_EQ(v.build, 0);
    EXPECT_EQ(v.revision, 7);
    EXPECT_EQ(v.strings.at("ProductName"), "Notchlog");
    EXPECT_EQ(v.strings.at("FileVersion"), "1.00.0007");
    EXPECT_EQ(v.strings.at("OriginalFilename"), "Notchlog.exe");
}

TEST(VersionResource, RejectsDamagedData) {
    auto blob = VersionInfo(0x00010000, 0x00000007);
    EXPECT_FALSE(ParseVersionResource(nullptr, 0).valid);
    EXPECT_FALSE(ParseVersionResource(blob.data(), 10).valid);
    auto wrongSignature = blob;
    wrongSignature[40] ^= 0xFF;  // inside the fixed part's signature
    EXPECT_FALSE(ParseVersionResource(wrongSignature.data(), wrongSignature.size()).valid);
    // Every truncation is handled without reading past the end (the sanitizer run checks the reads).
    for (std::size_t n = 0; n < blob.size(); ++n) {
        std::vector<std::uint8_t> cut(blob.begin(), blob.begin() + static_cast<std::ptrdiff_t>(n));
        (void)ParseVersionResource(cut.data(), cut.size());
    }
}

TEST(VersionText, PadsWithoutCutting) {
    EXPECT_EQ(VersionText(1, 0, 7), "1.00.0007");
    EXPECT_EQ(VersionText(0, 0, 0), "0.00.0000");
    EXPECT_EQ(VersionText(12, 345, 65535), "12.345.65535");
    EXPECT_EQ(VersionText(2, 5, 123), "2.05.0123");
}

}  // namespace
}  // namespace nl
