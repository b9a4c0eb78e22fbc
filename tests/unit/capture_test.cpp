// What capture hands the recording, as the CSV prints it: the hook's queue
// running full, raw records with one or both wheels, devices by first sight.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/wheel/captured_wheel.h"
#include "common/wheel/event_store.h"
#include "common/wheel/wheel_csv.h"

namespace nl {
namespace {

constexpr std::int64_t kFreq = 10000000;

// The row's columns from window to source that a kind fills, blank-separated.
std::string Brief(const StoredEvent& e, const DeviceNames& devices) {
    std::string s;
    for (int c : {kColWindow, kColAxis, kColDelta, kColSource}) {
        const std::string field = CsvField(e, c, devices);
        if (!field.empty()) s += (s.empty() ? "" : " ") + field;
    }
    return s;
}

// The hook pushes while the GUI thread is busy; each drain gives the queued
// events and then one row counting the rest, whatever the queue's size.
TEST(CapturedWheel, AFullQueueEndsInALostRowWithTheExactCount) {
    const struct {
        int pushed;
        std::vector<std::string> rows;
    } drains[] = {
        {3, {"hook V 1 injected", "hook V 2 injected", "hook V 3 injected"}},
        {7, {"hook V 1 injected", "hook V 2 injected", "hook V 3 injected", "hook V 4 injected", "hook 3 lost"}},
        {5, {"hook V 1 injected", "hook V 2 injected", "hook V 3 injected", "hook V 4 injected", "hook 1 lost"}},
        {0, {}},
    };
    SpscQueue<HookedWheel, 4> queue;
    WheelRecorder recorder;
    WheelSummary summary;
    const DeviceNames devices;
    std::uint64_t seq = 0;
    for (const auto& d : drains) {
        for (int i = 1; i <= d.pushed; ++i) {
            HookedWheel h;
            h.delta = static_cast<std::int16_t>(i);
            h.injected = true;
            queue.TryPush(h);
        }
        std::vector<std::string> rows;
        const auto keep = [&](const StoredEvent& e) {
            EXPECT_EQ(e.Seq(), ++seq);
            summary.Add(e);
            rows.push_back(Brief(e, devices));
        };
        DrainHooked(
            queue, [&](WheelSample& s) { keep(recorder.Record(s)); },
            [&](std::uint64_t lost) { keep(recorder.RecordLost(lost, 0, kFreq)); });
        EXPECT_EQ(rows, d.rows) << d.pushed << " pushed";
    }
    const std::string text = summary.Text(0);
    EXPECT_EQ(text.substr(text.rfind("\r\n") + 2), "hook events lost: 4");
}

TEST(CapturedWheel, ARawRecordGivesARowPerWheelItCarries) {
    const struct {
        std::uint16_t flags;
        std::int16_t data;
        std::vector<std::string> rows;
    } records[] = {
        {kRawWheelFlag, 240, {"raw V 240 raw"}},
        {kRawHWheelFlag, -60, {"raw H -60 raw"}},
        {kRawWheelFlag | kRawHWheelFlag, 120, {"raw V 120 raw", "raw H 120 raw"}},
        {0x0001 | kRawHWheelFlag, -120, {"raw H -120 raw"}},  // with the left button going down
        {0x0001, 0, {}},                                      // a button alone
        {0, 0, {}},                                           // an empty record
    };
    const DeviceNames devices;
    for (const auto& r : records) {
        WheelRecorder recorder;
        WheelSample base, out[2];
        base.source = InputSource::Injected;  // a raw row says raw whatever the sample holds
        std::vector<std::string> rows;
        for (int i = 0, n = RawWheelSamples(r.flags, r.data, base, out); i < n; ++i)
            rows.push_back(Brief(recorder.Record(out[i]), devices));
        EXPECT_EQ(rows, r.rows) << std::hex << r.flags;
    }
}

// The name is asked for once per handle, when it is first seen, and every
// row of that device carries it.
TEST(CapturedWheel, ADeviceIsNamedTheFirstTimeItIsSeen) {
    DeviceNames devices;
    WheelRecorder recorder;
    int asked = 0;
    const struct {
        std::uint32_t handle;
        const char* column;
        int askedSoFar;
    } records[] = {
        {1, "00000001 \\\\?\\HID#1", 1},
        {0x00020001, "00020001 \\\\?\\HID#20001", 2},
        {1, "00000001 \\\\?\\HID#1", 2},
        {0, "00000000", 2},  // no handle: known from the start, without a name
    };
    for (const auto& r : records) {
        WheelSample s;
        s.vantage = Vantage::Raw;
        s.device = devices.IndexOf(r.handle, [&] {
            ++asked;
            char name[32];
            std::snprintf(name, sizeof name, "\\\\?\\HID#%X", r.handle);
            return std::string(name);
        });
        EXPECT_EQ(CsvField(recorder.Record(s), kColDevice, devices), r.column);
        EXPECT_EQ(asked, r.askedSoFar) << r.column;
    }
}

}  // namespace
}  // namespace nl
