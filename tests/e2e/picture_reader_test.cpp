// The picture reader against target windows in processes of their own,
// readable by their pixels only: a notch each way, a still picture that
// repeats sideways, and a burst followed as the window paints it, or not
// when it paints once at the end.
#include <gtest/gtest.h>

#include "driver/driver.h"
#include "driver/wheel_targets.h"
#include "tested_window/picture_reader.h"
#include "tested_window/tested_window.h"

namespace nle2e {
namespace {

using K = WheelTargetKind;
using nl::PictureProblem;

// Reads every few milliseconds until the target has taken its input and
// the picture has stayed the same for 100 ms; the last read.
nl::PictureReader::Read Settle(nl::PictureReader& reader, const WheelTarget& target) {
    nl::PictureReader::Read read;
    std::int64_t changed = nl::ClockUs();
    const bool settled = WaitUntil([&] {
        read = reader.Next();
        if (!read.taken || !read.sameAsLast) changed = nl::ClockUs();
        return nl::ClockUs() - changed >= 100000 && nl::SyncWithWindow(target.Window());
    }, 5s);
    if (!settled) throw DriverError("the picture did not come to rest");
    return read;
}

TEST(PictureReader, Reads) {
    int lines = 3, chars = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLCHARS, 0, &chars, 0);
    // A window that paints twenty notches as fast as `pixels` does shows
    // the screen only its last paint, here as on any screen read every few
    // milliseconds: `slow` (35 ms a notch) is followed instead.
    const struct {
        K kind;
        bool horizontal;
        int notches;  // +: right (or up), in one SendInput call
        std::optional<std::int32_t> position;
        PictureProblem problem;
    } rows[] = {
        {K::BlocksReversed, true, 1, -8 * chars, PictureProblem::None},
        {K::BlocksReversed, false, -1, 16 * lines, PictureProblem::None},
        {K::BlocksIgnoresHorizontal, true, 1, 0, PictureProblem::None},
        {K::RepeatedText, true, 1, 0, PictureProblem::None},  // repeats, but its thumb stayed put
        {K::Slow, false, -20, 20 * 16 * lines, PictureProblem::None},
        {K::PaintsOnce, false, -20, std::nullopt, PictureProblem::NothingMatches},
    };
    for (const auto& r : rows) {
        WheelTarget target(r.kind);
        const std::string what = Narrow(WheelTargetName(r.kind)) + (r.horizontal ? ", horizontal" : ", vertical");
        MoveCursor(target.TestPoint());
        nl::PictureReader reader(target.Window(), r.horizontal);
        reader.Start();
        Settle(reader, target);  // the first paint on the screen
        ASSERT_EQ(reader.Start().position, 0) << what;
        std::vector<INPUT> inputs(static_cast<std::size_t>(std::abs(r.notches)), INPUT{INPUT_MOUSE, {}});
        for (INPUT& in : inputs) {
            in.mi.dwFlags = r.horizontal ? MOUSEEVENTF_HWHEEL : MOUSEEVENTF_WHEEL;
            in.mi.mouseData = static_cast<DWORD>(r.notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA);
        }
        ASSERT_EQ(::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size()) << what;
        const auto read = Settle(reader, target);
        EXPECT_EQ(read.position, r.position) << what;
        EXPECT_EQ(read.problem, r.problem) << what;
        target.Close();
    }
}

}  // namespace
}  // namespace nle2e
