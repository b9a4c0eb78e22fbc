// The Tab key walks the controls in their tab order, skipping the labels.
#include <gtest/gtest.h>

#include "driver/driver.h"

namespace nle2e {
namespace {

void PressKey(WORD vk, bool shift) {
    std::vector<INPUT> in;
    auto key = [&](WORD k, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    if (shift) key(VK_SHIFT, false);
    key(vk, false);
    key(vk, true);
    if (shift) key(VK_SHIFT, true);
    if (::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) != in.size()) ThrowLastError("SendInput");
}

TEST(Keyboard, TabMovesTheFocusByTabIndex) {
    Notchlog app = Notchlog::Launch();
    ASSERT_EQ(FocusOfThreadOwning(app.Main()), app.Control(kPicture1));
    ::SetForegroundWindow(app.Main());
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == app.Main(); }))
        << "the window did not come to the foreground";

    // Tab indexes 0..12; the labels (2, 3, 7, 10) take no focus.
    struct Step {
        bool backwards;
        int id;
        const char* name;
    } steps[] = {
        {false, kList1, "List1"},       {false, kLstMessage, "lstMessage"}, {false, kCommand1, "Command1"},
        {false, kCommand2, "Command2"}, {false, kCommand3, "Command3"},     {false, kVScroll1, "VScroll1"},
        {false, kPicHover, "picHover"}, {false, kCommand4, "Command4"},     {false, kPicture1, "Picture1"},
        {true, kCommand4, "Command4"},  {true, kPicHover, "picHover"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.backwards ? "Shift+Tab to " : "Tab to ") + s.name);
        PressKey(VK_TAB, s.backwards);
        const HWND want = app.Control(s.id);
        ASSERT_TRUE(WaitUntil([&] { return FocusOfThreadOwning(app.Main()) == want; }))
            << "focus is on control " << ::GetDlgCtrlID(FocusOfThreadOwning(app.Main()));
    }
    EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
}  // namespace nle2e
