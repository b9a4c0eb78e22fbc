#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/wheel/wheel_csv.h"
#include "common/wheel/wheel_recorder.h"

namespace nl {
namespace {

constexpr std::int64_t kFreq = 10000000;  // 10 MHz, as under Wine

WheelSample Sample(Vantage w, WheelAxis a, int delta, std::int64_t ticks) {
    WheelSample s;
    s.vantage = w;
    s.axis = a;
    s.delta = static_cast<std::int16_t>(delta);
    s.ticks = ticks;
    s.ticksPerSecond = kFreq;
    s.source = InputSource::Injected;
    return s;
}

// Columns first..last of one event, joined by commas.
std::string Fields(const StoredEvent& e, int first, int last) {
    static const DeviceNames kNoDevices;
    std::string s;
    for (int c = first; c <= last; ++c) s += (c > first ? "," : "") + CsvField(e, c, kNoDevices);
    return s;
}

// notches, step, truncated, rounded, accumulated and carry over sequences;
// a step listed with an event is set before it.
TEST(WheelRecorder, HandlersAndCarry) {
    struct Event {
        int delta;
        std::int32_t step;
        const char* expected;
    };
    const std::vector<std::vector<Event>> sequences = {
        {{30, 3, "0.250,3,0,0,0,0.750"},  // sub-notch deltas: only the accumulating handler scrolls
         {30, 3, "0.250,3,0,0,1,0.500"},
         {30, 3, "0.250,3,0,0,1,0.250"},
         {30, 3, "0.250,3,0,0,1,0.000"}},
        {{30, 3, "0.250,3,0,0,0,0.750"},  // a turn resets the carry; a zero delta does not
         {-30, 3, "-0.250,3,0,0,0,-0.750"},
         {0, 3, "0.000,3,0,0,0,-0.750"},
         {-60, 3, "-0.500,3,0,0,-2,-0.250"}},
        {{90, 3, "0.750,3,0,3,2,0.250"},  // a new step resets the carry
         {90, 4, "0.750,4,0,4,3,0.000"}},
        {{180, kWheelPageStep, "1.500,page,1,2,1,0.500"},  // halves to even, a page counts 1
         {60, kWheelPageStep, "0.500,page,0,0,1,0.000"}},
        {{120, 7, "1.000,7,7,7,7,0.000"},
         {1, 7, "0.008,7,0,0,0,0.058"},
         {-1, 7, "-0.008,7,0,0,0,-0.058"},
         {2, 7, "0.017,7,0,0,0,0.117"},
         {-180, 7, "-1.500,7,-7,-14,-10,-0.500"}},
        {{240, 0, "2.000,0,0,0,0,0.000"}},
        {{32767, 3, "273.058,3,819,819,819,0.175"},
         {-32767, 3, "-273.058,3,-819,-819,-819,-0.175"},
         {-32768, 3, "-273.067,3,-819,-819,-819,-0.375"}},
        {{120, -3, "1.000,-3,-3,-3,-3,0.000"},  // a legacy driver's negative answer scrolls against the wheel
         {60, -3, "0.500,-3,0,0,-1,-0.500"},
         {-180, -3, "-1.500,-3,3,6,4,0.500"}},
        {{32767, INT32_MIN, "273.058,-2147483648,-586263035904,-586263035904,-586388305783,-0.467"},
         {-32768, INT32_MIN, "-273.067,-2147483648,586263035904,586263035904,586406201480,0.533"}},
    };
    for (std::size_t i = 0; i < sequences.size(); ++i) {
        WheelRecorder rec(sequences[i][0].step, 1);
        std::int64_t ticks = 0;
        for (const Event& ev : sequences[i]) {
            rec.SetSteps(ev.step, 1);
            const StoredEvent e = rec.Record(Sample(Vantage::Main, WheelAxis::V, ev.delta, ticks += kFreq));
            EXPECT_EQ(Fields(e, kColNotches, kColCarry), ev.expected) << "sequence " << i << ", delta " << ev.delta;
        }
    }
}

TEST(WheelTime, TruncatedMicrosecondsWithoutOverflow) {
    const struct {
        std::int64_t ticks, freq, us;
        const char* ms;
    } rows[] = {
        {0, kFreq, 0, "0.000"},
        {9999, kFreq, 999, "0.999"},
        {12345678, kFreq, 1234567, "1234.567"},
        {INT64_MAX, kFreq, 922337203685477580, "922337203685477.580"},
        {123456789012345, 3579545, 34489520040213, "34489520040.213"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(TimeUs(r.ticks, r.freq), r.us) << r.ticks;
        std::string s;
        AppendMs(s, r.us);
        EXPECT_EQ(s, r.ms);
    }
}

// The interval is the difference of the printed times; state is kept per
// (vantage, axis) while seq runs across all of them.
TEST(WheelRecorder, IntervalAndStatePerVantageAndAxis) {
    WheelRecorder rec(3, 1);
    const struct {
        Vantage w;
        WheelAxis a;
        std::int64_t ticks;
        const char* seqTimeInterval;
        const char* accumulatedCarry;
    } rows[] = {
        {Vantage::Main, WheelAxis::V, 10009, "1,1.000,", "0,0.750"},
        {Vantage::Main, WheelAxis::H, 15000, "2,1.500,", "0,0.250"},
        {Vantage::Analysis, WheelAxis::V, 16000, "3,1.600,", "0,0.750"},
        {Vantage::Hook, WheelAxis::V, 17000, "4,1.700,", "0,0.750"},
        {Vantage::Raw, WheelAxis::V, 18000, "5,1.800,", "0,0.750"},
        {Vantage::Main, WheelAxis::V, 20001, "6,2.000,1.000", "1,0.500"},
    };
    for (const auto& r : rows) {
        const StoredEvent e = rec.Record(Sample(r.w, r.a, 30, r.ticks));
        EXPECT_EQ(Fields(e, kColSeq, kColTimeMs) + "," + CsvField(e, kColInterval, DeviceNames()), r.seqTimeInterval);
        EXPECT_EQ(Fields(e, kColAccumulated, kColCarry), r.accumulatedCarry) << r.seqTimeInterval;
    }
    rec.SetSteps(3, 2);  // only the horizontal carries go
    EXPECT_EQ(Fields(rec.Record(Sample(Vantage::Main, WheelAxis::V, 30, 30000)), kColAccumulated, kColCarry),
              "1,0.250");
    EXPECT_EQ(Fields(rec.Record(Sample(Vantage::Main, WheelAxis::H, 30, 30000)), kColAccumulated, kColCarry),
              "0,0.500");
}

TEST(WheelRecorder, Bounce) {
    struct Event {
        int delta;
        std::int64_t ticks;  // at 10 MHz
    };
    const struct {
        std::vector<Event> events;
        const char* bounces;
    } rows[] = {
        {{{120, 0}, {120, 100000}, {-120, 499990}}, "001"},           // 39.999 ms after the nearer
        {{{120, 0}, {120, 100000}, {-120, 500000}}, "000"},           // 40.000 ms is not less
        {{{120, 0}, {120, 100009}, {-120, 500001}}, "000"},           // by the printed times: 10.000 to 50.000
        {{{120, 0}, {-120, 100000}, {120, 200000}}, "000"},           // the previous two differ
        {{{-30, 0}, {-30, 100000}, {15, 200000}, {15, 300000}}, "0010"},  // after a bounce, they differ
        {{{120, 0}, {0, 50000}, {120, 100000}, {-120, 300000}}, "0001"},  // zero deltas are skipped
        {{{120, 0}, {120, 100000}, {0, 200000}, {-120, 550000}}, "0000"},  // 45 ms after the nearer non-zero
        {{{120, 0}, {120, 100000}, {0, 200000}}, "000"},
    };
    for (const auto& r : rows) {
        WheelRecorder rec;
        std::string got;
        for (const Event& ev : r.events)
            got += CsvField(rec.Record(Sample(Vantage::Hook, WheelAxis::H, ev.delta, ev.ticks)), kColBounce, {});
        EXPECT_EQ(got, r.bounces);
    }
}

// One whole row of each kind, byte for byte.
TEST(WheelCsvRow, EachKind) {
    WheelRecorder rec(3, 1);
    DeviceNames devices;
    std::vector<WheelSample> samples;

    WheelSample s = Sample(Vantage::Main, WheelAxis::V, 120, 12345678);
    s.msgTime = 5000;
    s.extraInfo = 0;
    s.point = s.position = Point16{300, 200};
    s.underPoint = 0x00010A2C;
    samples.push_back(s);

    s = Sample(Vantage::Analysis, WheelAxis::V, -120, 20000000);
    s.source = InputSource::Posted;
    s.msgTime = 4294967295u;
    s.extraInfo = 0;
    s.keys = 0x0008;  // Ctrl in the message, not on the keyboard: a pinch
    s.point = s.position = Point16{-5, -10};
    s.underPoint = 0xFFFFFFFFu;
    samples.push_back(s);

    s = Sample(Vantage::Main, WheelAxis::V, 30, 12445678);
    s.source = InputSource::Sent;  // the queue's queries are dropped
    s.msgTime = 1;
    s.extraInfo = 2;
    s.keys = 0x0004;
    s.ctrlDown = true;
    s.point = Point16{1, 2};
    s.position = Point16{3, 4};
    s.underPoint = 5;
    samples.push_back(s);

    s = Sample(Vantage::Hook, WheelAxis::H, -120, 30000000);
    s.msgTime = 123456;
    s.extraInfo = 0xFF515700u;
    s.keys = 0x0008;
    s.point = s.position = Point16{1000, 700};
    s.underPoint = 0x0002003C;
    s.device = 9;
    samples.push_back(s);

    s = Sample(Vantage::Raw, WheelAxis::V, 240, 40000000);
    s.source = InputSource::Hardware;
    s.msgTime = 77;
    s.extraInfo = 0xFF515612u;
    s.keys = 0x0008;
    s.point = Point16{3, 4};
    s.position = Point16{10, 20};
    devices.Intern(0x00020001, "other");
    s.device = devices.Intern(1, "\\\\?\\HID#VID_845E&PID_0001,col01");
    samples.push_back(s);

    const char* const expected =
        "1,1234.567,5000,,main,V,120,1.000,3,3,3,3,0.000,injected,00000000,0,0000,,300,200,300,200,0,00010A2C,\r\n"
        "2,2000.000,4294967295,,analysis,V,-120,-1.000,3,-3,-3,-3,0.000,posted,00000000,0,0008,ctrl,-5,-10,-5,-10,0,"
        "FFFFFFFF,\r\n"
        "3,1244.567,,10.000,main,V,30,0.250,3,0,0,0,0.750,sent,,,0004,ctrl+shift,1,2,,,0,,\r\n"
        "4,3000.000,123456,,hook,H,-120,-1.000,1,-1,-1,-1,0.000,injected,FF515700,1,0000,,1000,700,1000,700,0,"
        "0002003C,\r\n"
        "5,4000.000,77,,raw,V,240,2.000,3,6,6,6,0.000,raw,FF515612,0,0000,,,,10,20,0,,"
        "00000001 \\\\?\\HID#VID_845E&PID_0001;col01\r\n"
        "6,5000.000,,,hook,,70000,,,,,,,lost,,,,,,,,,,,\r\n";
    std::string rows;
    for (const WheelSample& sample : samples) AppendCsvRow(rows, rec.Record(sample), devices);
    AppendCsvRow(rows, rec.RecordLost(70000, 50000000, kFreq), devices);
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(std::string(kWheelCsvHeader).substr(0, 4) + WheelCsvColumnName(kColDevice) + WheelCsvColumnName(25),
              "seq,device");
}

}  // namespace
}  // namespace nl
