#include <gtest/gtest.h>

#include "common/wheel/event_store.h"
#include "common/wheel/list_rows.h"

namespace nl {
namespace {

TEST(ListRows, FollowsTheNewestRowOnlyWhileItIsTheOneChosenAndInView) {
    const struct {
        ListRows rows;
        bool follows;
        const char* what;
    } cases[] = {
        {{0, {}, -1, 0, 20}, true, "empty list"},
        {{50, {49}, 49, 30, 20}, true, "newest alone, focused, in view"},
        {{50, {49}, 49, 31, 20}, true, "view past the end"},
        {{50, {49}, 49, 29, 20}, false, "scrolled up one row"},
        {{50, {48}, 48, 30, 20}, false, "another row chosen"},
        {{50, {48, 49}, 49, 30, 20}, false, "two rows chosen"},
        {{50, {49}, 48, 30, 20}, false, "focus elsewhere"},
        {{50, {}, 49, 30, 20}, false, "nothing selected"},
    };
    for (const auto& c : cases) EXPECT_EQ(FollowsNewest(c.rows), c.follows) << c.what;
}

StoredEvent Numbered(std::uint64_t seq) {
    StoredEvent e;
    e.seq = static_cast<std::uint32_t>(seq);
    return e;
}

// The user's rows, shown on a small store, keep their events while the
// store drops its oldest ones to take new ones (or is cleared).
TEST(ListRows, ChosenRowsMoveWithTheirEventsWhenTheStoreDrops) {
    const struct {
        std::size_t added;  // after the rows were shown
        bool clear;
        std::vector<std::uint64_t> selectedSeqs;
        std::int64_t focusSeq, topSeq;  // 0: none / the first row
    } cases[] = {
        {0, false, {3, 4, 6}, 6, 2},
        {2, false, {3, 4, 6}, 6, 3},  // rows for seqs 1 and 2 gone
        {3, false, {4, 6}, 6, 0},     // seq 3 gone, the view at the first row
        {6, false, {}, 0, 0},         // all gone
        {3, true, {}, 0, 0},          // cleared, new rows since
    };
    for (const auto& c : cases) {
        EventStore store(6);
        std::uint64_t seq = 0;
        while (seq < 6) store.Add(Numbered(++seq));  // seqs 1..6 in rows 0..5
        const ListRows shown{6, {2, 3, 5}, 5, 1, 3};
        const std::uint64_t shownOldest = store.OldestNumber();
        if (c.clear) store.Clear();
        for (std::size_t i = 0; i < c.added; ++i) store.Add(Numbered(++seq));
        const ListRows now = AfterDropping(shown, store.OldestNumber() - shownOldest);
        std::vector<std::uint64_t> selectedSeqs;
        for (std::int64_t row : now.selected) {
            ASSERT_LT(static_cast<std::size_t>(row), store.size()) << c.added;
            selectedSeqs.push_back(store[static_cast<std::size_t>(row)].Seq());
        }
        EXPECT_EQ(selectedSeqs, c.selectedSeqs) << c.added;
        if (c.focusSeq == 0) EXPECT_EQ(now.focus, -1) << c.added;
        else EXPECT_EQ(store[static_cast<std::size_t>(now.focus)].Seq(), static_cast<std::uint64_t>(c.focusSeq));
        if (c.topSeq == 0) EXPECT_EQ(now.top, 0) << c.added;
        else EXPECT_EQ(store[static_cast<std::size_t>(now.top)].Seq(), static_cast<std::uint64_t>(c.topSeq));
    }
}

}  // namespace
}  // namespace nl
