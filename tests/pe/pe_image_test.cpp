#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "pe_image.h"

namespace {

std::string ExePath() {
    const char* p = std::getenv("NOTCHLOG_EXE32");
    return p ? p : "build/Notchlog.exe";
}

class NotchlogExe : public ::testing::Test {
protected:
    static void SetUpTestSuite() { image_ = new PeImage(ReadPeImage(ExePath())); }
    static void TearDownTestSuite() { delete image_; }
    static const PeImage& Image() { return *image_; }
    static PeImage* image_;
};
PeImage* NotchlogExe::image_ = nullptr;

TEST_F(NotchlogExe, IsA32BitGuiProgram) {
    ASSERT_TRUE(Image().valid) << ExePath();
    EXPECT_EQ(Image().machine, 0x14C);  // i386
    EXPECT_EQ(Image().magic, 0x10B);    // PE32
    EXPECT_EQ(Image().subsystem, 2);    // Windows GUI
}

TEST_F(NotchlogExe, SecurityFlagsAreSet) {
    ASSERT_TRUE(Image().valid);
    EXPECT_TRUE(Image().dllCharacteristics & 0x0040) << "DYNAMIC_BASE (ASLR)";
    EXPECT_TRUE(Image().dllCharacteristics & 0x0100) << "NX_COMPAT (DEP)";
    EXPECT_GT(Image().relocDirSize, 0u) << "relocations kept, so the image can really move";
    EXPECT_FALSE(Image().fileCharacteristics & 0x0001) << "RELOCS_STRIPPED";
    for (const auto& s : Image().sections) {
        const bool writable = s.characteristics & 0x80000000u;
        const bool executable = s.characteristics & 0x20000000u;
        EXPECT_FALSE(writable && executable) << "section " << s.name << " is writable and executable";
    }
}

TEST_F(NotchlogExe, StackProtectorIsLinkedIn) {
    ASSERT_TRUE(Image().valid);
    const std::string needle = "__stack_chk_fail";
    const auto& b = Image().bytes;
    EXPECT_NE(std::search(b.begin(), b.end(), needle.begin(), needle.end()), b.end());
}

TEST_F(NotchlogExe, ImportsOnlySystemDlls) {
    ASSERT_TRUE(Image().valid);
    const std::set<std::string> system = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL", "MSVCRT.DLL"};
    ASSERT_FALSE(Image().importedDlls.empty());
    for (const auto& dll : Image().importedDlls) EXPECT_TRUE(system.count(dll)) << dll;
    // IsWow64Process, SetDefaultDllDirectories and SetDllDirectoryW are looked up at run time
    // in the loaded kernel32, so an older system without them can still
    // start the program.
    for (const auto& [dll, names] : Image().importsByDll) {
        for (const auto& n : names) {
            EXPECT_NE(n, "IsWow64Process") << dll;
            EXPECT_NE(n, "SetDefaultDllDirectories") << dll;
            EXPECT_NE(n, "SetDllDirectoryW") << dll;
        }
    }
}

TEST_F(NotchlogExe, CarriesVersionManifestAndThreeIcons) {
    ASSERT_TRUE(Image().valid);
    EXPECT_EQ(Image().resourceCounts.count(16), 1u) << "version";
    EXPECT_EQ(Image().resourceCounts.count(24), 1u) << "manifest";
    ASSERT_EQ(Image().resourceCounts.count(14), 1u) << "icon group";
    EXPECT_EQ(Image().resourceCounts.at(3), 3u) << "three icon images";
    const auto& g = Image().groupIcon;
    ASSERT_GE(g.size(), 6u + 3 * 14);
    EXPECT_EQ(g[4] | g[5] << 8, 3);
    // width, height, colour count and bit count of each entry
    struct Want {
        int size, colors, bits;
    } want[] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
    for (int i = 0; i < 3; ++i) {
        const std::size_t e = 6 + 14 * i;
        EXPECT_EQ(g[e], want[i].size);
        EXPECT_EQ(g[e + 1], want[i].size);
        EXPECT_EQ(g[e + 2], want[i].colors);
        EXPECT_EQ(g[e + 6] | g[e + 7] << 8, want[i].bits);
    }
    const std::string manifestNeedle = "Microsoft.Windows.Common-Controls";
    const auto& b = Image().bytes;
    EXPECT_NE(std::search(b.begin(), b.end(), manifestNeedle.begin(), manifestNeedle.end()), b.end());
}

}  // namespace
