// The Clear and Copy buttons, clicked with BM_CLICK (which returns once the
// main window has handled the click's WM_COMMAND).
#include <gtest/gtest.h>

#include <optional>

#include "driver/driver.h"
#include "support/shared_app.h"

namespace nle2e {
namespace {

constexpr UINT kMarker = WM_APP + 0x3B6;
const wchar_t* const kSentinel = L"left on the clipboard by the test";

std::wstring Join(const std::vector<std::wstring>& lines, std::size_t count) {
    std::wstring text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text += L"\r\n";
        text += lines[i];
    }
    return text;
}

class Buttons : public SharedNotchlogSuite<Buttons> {
protected:
    void Click(int id) { Send(App().Control(id), BM_CLICK); }
    // What a click makes the button send to the main window, sent directly.
    void Notify(int id) {
        Send(Main(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(App().Control(id)));
    }

    // The log line of the button's click notification: WM_COMMAND with the
    // button's id and BN_CLICKED, and its handle in lParam.
    std::wstring ClickLineBody(int id) const {
        const auto h = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(App().Control(id)));
        wchar_t body[160];
        std::swprintf(body, 160, L"  hWnd=%ls\tuMsg= 111 wHi=0 wLo=%d lHi=%d lLo=%d", HandleHex(Main()).c_str(), id,
                      static_cast<int>(static_cast<std::int16_t>(h >> 16)),
                      static_cast<int>(static_cast<std::int16_t>(h & 0xFFFF)));
        return body;
    }

    std::vector<std::wstring> PostMarkersAndWait(int first, int count) {
        for (int i = 0; i < count; ++i) Post(Main(), kMarker, static_cast<WPARAM>(first + i), 0);
        const int last = first + count - 1;
        return App().WaitForLogLine([&](const std::wstring& l) {
            const auto p = ParseLogLine(l);
            return p && p->uMsg == kMarker && p->wLo == last;
        });
    }

};

// A click repaints the button afterwards, and the themed button's painting
// sends notifications to the main window, which are logged too. So after a
// click the log may grow for a while; the checks below only rely on what
// the program guarantees at the moment of the click.

TEST_F(Buttons, ClearEmptiesTheLogAndItsOwnClickBecomesTheFirstLine) {
    PostMarkersAndWait(100, 3);
    Click(kCommand1);
    const std::vector<std::wstring> lines = ListLines(App().Log());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].substr(8), ClickLineBody(kCommand1)) << Narrow(lines[0]);
    for (const auto& l : lines) EXPECT_FALSE(IsLogOf(l, kMarker)) << "survived the clear: " << Narrow(l);

    // Logging goes on into the emptied list.
    const std::vector<std::wstring> after = PostMarkersAndWait(200, 1);
    EXPECT_EQ(after[0].substr(8), ClickLineBody(kCommand1));
    EXPECT_TRUE(IsLogOf(after.back(), kMarker));
}

TEST_F(Buttons, ClearOnItsOwnLeavesOnlyItsNotification) {
    // The button's notification sent straight to the window, with no button
    // to repaint: nothing else can be logged.
    App().Settle();
    Notify(kCommand1);
    std::vector<std::wstring> lines = ListLines(App().Log());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(8), ClickLineBody(kCommand1));

    // Clearing an emptied list leaves the same single line.
    Notify(kCommand1);
    lines = ListLines(App().Log());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(8), ClickLineBody(kCommand1));
}

TEST_F(Buttons, CopyPutsTheListAsItStandsOnTheClipboard) {
    // One line, then three: the lines joined by CR LF, nothing after the last.
    for (int count : {1, 3}) {
        SCOPED_TRACE(std::to_string(count) + " line(s)");
        // Replacing the clipboard's contents tells its previous owner (this
        // window, after the first round), which is logged: done first.
        WriteClipboardText(kSentinel);
        App().Settle();
        Notify(kCommand1);
        if (count > 1) PostMarkersAndWait(400, count - 1);
        const std::vector<std::wstring> before = ListLines(App().Log());
        ASSERT_EQ(before.size(), static_cast<std::size_t>(count));

        Notify(kCommand2);
        const auto copied = ReadClipboardText();
        ASSERT_TRUE(copied) << "no text on the clipboard";
        EXPECT_EQ(*copied, Join(before, before.size()));
        if (count == 1) {
            EXPECT_EQ(copied->find(L'\n'), std::wstring::npos);
        }

        // The list keeps its lines; the copy's own notification follows them.
        const std::vector<std::wstring> after = ListLines(App().Log());
        ASSERT_GE(after.size(), before.size() + 1);
        EXPECT_EQ(std::vector<std::wstring>(after.begin(), after.begin() + count), before);
        EXPECT_EQ(after.back().substr(8), ClickLineBody(kCommand2));
    }
}

TEST_F(Buttons, ClickingCopyCopiesEveryLineLoggedBeforeTheClick) {
    PostMarkersAndWait(300, 5);
    WriteClipboardText(kSentinel);
    App().Settle();
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("click " + std::to_string(round));
        const std::vector<std::wstring> before = ListLines(App().Log());
        Click(kCommand2);
        const std::vector<std::wstring> after = ListLines(App().Log());
        const auto copied = ReadClipboardText();
        ASSERT_TRUE(copied) << "no text on the clipboard";
        ASSERT_GE(after.size(), before.size());
        EXPECT_EQ(std::vector<std::wstring>(after.begin(), after.begin() + static_cast<long>(before.size())), before);

        // The click's own line comes after the copy was taken; between the
        // lines that were there before the click and that line, the copy
        // ends at one of them (the click's painting is logged meanwhile).
        std::size_t clickLine = after.size();
        for (std::size_t i = before.size(); i < after.size(); ++i)
            if (after[i].substr(8) == ClickLineBody(kCommand2)) clickLine = i;
        ASSERT_LT(clickLine, after.size()) << "the click was not logged";
        bool matched = false;
        for (std::size_t m = before.size(); m <= clickLine && !matched; ++m) matched = *copied == Join(after, m);
        EXPECT_TRUE(matched) << "the clipboard holds no prefix of the list's lines joined by CR LF:\n"
                             << Narrow(*copied);
        // The second copy holds the first click's line.
        App().Settle();
    }
}

TEST_F(Buttons, PanelCopyButtonsCopyTheirEmptyTexts) {
    // Neither a wheel event nor a Ctrl inspection has happened: both panel
    // texts are empty, and copying them replaces whatever was there.
    for (int id : {kCommand3, kCommand4}) {
        SCOPED_TRACE("button id " + std::to_string(id));
        WriteClipboardText(kSentinel);
        Click(id);
        const auto copied = ReadClipboardText();
        ASSERT_TRUE(copied) << "no text on the clipboard";
        EXPECT_EQ(*copied, L"");
        bool logged = false;
        for (const auto& l : ListLines(App().Log())) logged = logged || l.substr(8) == ClickLineBody(id);
        EXPECT_TRUE(logged) << "the click was not logged";
    }
}

}  // namespace
}  // namespace nle2e
