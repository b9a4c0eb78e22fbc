// The paced sender on its own: its run's order, never early, and every way
// it ends. (Reading a trace that Notchlog is still writing is part of the
// replay's own suite.)
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "driver/driver.h"
#include "win32/paced_sender.h"

namespace nle2e {
namespace {

using namespace std::chrono_literals;

TEST(PacedSender, SendsEveryEventInOrderAndNeverEarly) {
    const std::vector<std::int64_t> due = {0, 1000, 1000, 5000, 20000, 20001, 35000};
    std::vector<std::size_t> order;
    std::vector<std::int64_t> sent;
    std::atomic<int> finished{0};
    nl::PacedSender sender;
    ASSERT_TRUE(sender.Start(
        due,
        [&](std::size_t i, std::int64_t at) {
            order.push_back(i), sent.push_back(at);
            return true;
        },
        [&] { ++finished; }));
    EXPECT_FALSE(sender.Start(due, [](std::size_t, std::int64_t) { return true; }));  // one run at a time
    ASSERT_TRUE(sender.Wait(30000));
    EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(sender.SentUs(), sent);
    for (std::size_t i = 0; i < sent.size(); ++i) EXPECT_GE(sent[i], due[i]) << "event " << i;
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(sender.WasStopped());
    EXPECT_EQ(sender.Failure(), "");
}

TEST(PacedSender, EndsWhenStoppedFromAnotherThreadWhenDeliveryEndsItOrFails) {
    std::vector<std::int64_t> hourly(3600);  // an event a second for an hour
    for (std::size_t i = 0; i < hourly.size(); ++i) hourly[i] = static_cast<std::int64_t>(i) * 1000000;
    const struct Case {
        const char* name;
        int endAt;       // the delivery ends the run here: -1 never, -2 by throwing at 1
        bool stop;       // the test thread stops the run after the first event
        std::size_t sent;
        bool stopped;
        const char* failure;
    } cases[] = {
        {"stopped", -1, true, 1, true, ""},
        {"delivery says no", 2, false, 3, false, ""},
        {"delivery fails", -2, false, 2, false, "an unexpected failure"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::int64_t> due = c.stop ? hourly : std::vector<std::int64_t>{0, 1000, 2000, 3000};
        std::atomic<int> delivered{0}, finished{0};
        nl::PacedSender sender;
        ASSERT_TRUE(sender.Start(
            due,
            [&](std::size_t i, std::int64_t) {
                ++delivered;
                if (c.endAt == -2 && i == 1) throw std::runtime_error("lost the target");
                return static_cast<int>(i) != c.endAt;
            },
            [&] { ++finished; }));
        if (c.stop) {
            ASSERT_TRUE(WaitUntil([&] { return delivered > 0; }));
            sender.Stop();
        }
        ASSERT_TRUE(sender.Wait(20000)) << "the run did not end";
        EXPECT_EQ(sender.SentUs().size(), c.sent);
        EXPECT_EQ(sender.WasStopped(), c.stopped);
        EXPECT_EQ(sender.Failure(), c.failure);
        EXPECT_EQ(finished, 1);
    }
}

}  // namespace
}  // namespace nle2e
