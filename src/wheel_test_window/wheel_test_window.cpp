#include "wheel_test_window/wheel_test_window.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/base/error_boundary.h"
#include "common/base/number_text.h"
#include "common/panels/panel_texts.h"
#include "system_info/system_info.h"
#include "win32/api.h"
#include "win32/clipboard.h"
#include "win32/save_dialog.h"

namespace nl {

namespace {
const char* const kWheelTestClass = "NotchlogWheelTest";
const char* const kWheelTestCaption = "Notchlog - wheel test";
constexpr SaveDialogKind kSaveReportDialog{L"wheel-test.txt", L"Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0",
                                           L"txt"};

struct ControlPlan {
    int id;
    const char* cls;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
};
// Created in this order, which is also the Tab order.
const ControlPlan kControls[] = {
    {WheelTestWindow::kFinderHint, "STATIC", L"Drag the icon onto the window to test:", SS_LEFT | SS_NOPREFIX, 0},
    {WheelTestWindow::kFinderText, "STATIC", L"Drag the finder onto the window you want to test.",  // kFinderInvitation
     SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0},
    {WheelTestWindow::kTargetLine, "STATIC", L"Target: none", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0},
    {WheelTestWindow::kInjected, "BUTTON", L"Injected (SendInput at the test point)", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {WheelTestWindow::kPosted, "BUTTON", L"Posted (PostMessage to the measured window)", BS_AUTORADIOBUTTON, 0},
    {WheelTestWindow::kStartButton, "BUTTON", L"Start", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {WheelTestWindow::kCopyButton, "BUTTON", L"Copy", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {WheelTestWindow::kSaveButton, "BUTTON", L"Save report as\u2026", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {WheelTestWindow::kReplayButton, "BUTTON", L"Replay CSV\u2026", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {WheelTestWindow::kReplayWindow, "COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    {WheelTestWindow::kProgressLine, "STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0},
    {WheelTestWindow::kResultsList, "LISTBOX", L"", LBS_NOINTEGRALHEIGHT | LBS_NOSEL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE},
    {WheelTestWindow::kFindingsBox, "EDIT", L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE},
};


}  // namespace

void WheelTestWindow::Create(HINSTANCE instance) {
    instance_ = instance;
    dpi_ = ScreenDpi();
    CreateToolWindow(instance, kWheelTestClass, kWheelTestCaption, SIZE{660, 660}, dpi_,
                     "The wheel test window could not be made.");
    CreateControls();
}

void WheelTestWindow::CreateControls() {
    const HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    finder_.Create(Handle(), kFinder, instance_, [this](HWND w) { OnFinderHover(w); },
                   [this](HWND w) { OnFinderDrop(w); });
    for (const auto& c : kControls) {
        const HWND w = Api(::CreateWindowExW(c.exStyle, std::wstring(c.cls, c.cls + std::strlen(c.cls)).c_str(),
                                             c.text, WS_CHILD | WS_VISIBLE | c.style, 0, 0, 10, 10, Handle(),
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr));
        if (!w) Raise(kErrInvalidCall, "The wheel test window's controls could not be made.");
        SendTo(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // The result lines line up in columns in a fixed-pitch font.
    SendTo(Api(::GetDlgItem(Handle(), kResultsList)), WM_SETFONT,
           reinterpret_cast<WPARAM>(::GetStockObject(ANSI_FIXED_FONT)), FALSE);
    SendTo(Api(::GetDlgItem(Handle(), kResultsList)), LB_SETHORIZONTALEXTENT, ::MulDiv(640, dpi_, 96));
    SendTo(Api(::GetDlgItem(Handle(), kInjected)), BM_SETCHECK, BST_CHECKED);
    FillReplayChoices();
    RECT client{};
    Api(::GetClientRect(Handle(), &client));
    Layout(client.right);
    EnableControls();
}

void WheelTestWindow::Layout(int width) {
    RECT client{};
    Api(::GetClientRect(Handle(), &client));
    const auto px = [this](int v) { return ::MulDiv(v, dpi_, 96); };
    const int m = px(8), line = px(18), wide = std::max(px(100), width - 2 * m);
    const auto place = [this](int id, int x, int y, int w, int h) {
        Api(::MoveWindow(Api(::GetDlgItem(Handle(), id)), x, y, w, h, TRUE));
    };
    Api(::MoveWindow(finder_.Handle(), m, m, px(32), px(32), TRUE));
    place(kFinderHint, m + px(40), m, wide - px(40), line);
    place(kFinderText, m + px(40), m + line, wide - px(40), line);
    int y = m + px(40);
    place(kTargetLine, m, y, wide, line);
    y += line + px(4);
    place(kInjected, m, y, px(300), line);
    place(kPosted, m + px(310), y, px(320), line);
    y += line + px(6);
    place(kStartButton, m, y, px(80), px(25));
    place(kCopyButton, m + px(88), y, px(80), px(25));
    place(kSaveButton, m + px(176), y, px(120), px(25));
    place(kReplayButton, m + px(304), y, px(110), px(25));
    place(kReplayWindow, m + px(420), y + px(2), px(200), px(120));
    y += px(25) + px(6);
    place(kProgressLine, m, y, wide, line);
    y += line + px(4);
    // The findings box holds a few lines; the result lines get the rest.
    const int findings = px(96), results = std::max(px(60), static_cast<int>(client.bottom) - y - m - findings - px(6));
    place(kResultsList, m, y, wide, results);
    place(kFindingsBox, m, y + results + px(6), wide, findings);
}

void WheelTestWindow::Open(HINSTANCE instance) {
    if (!Handle()) Create(instance);
    Api(::ShowWindow(Handle(), Api(::IsIconic(Handle())) ? SW_RESTORE : SW_SHOW));
    Api(::SetForegroundWindow(Handle()));
}

void WheelTestWindow::OpenWith(HINSTANCE instance, const WheelTestChoice& choice) {
    Open(instance);
    SendTo(Api(::GetDlgItem(Handle(), kInjected)), BM_SETCHECK,
           choice.delivery == Delivery::Injected ? BST_CHECKED : BST_UNCHECKED);
    SendTo(Api(::GetDlgItem(Handle(), kPosted)), BM_SETCHECK,
           choice.delivery == Delivery::Posted ? BST_CHECKED : BST_UNCHECKED);
    if (choice.target) ChooseTarget(choice.target);
    if (!choice.problem.empty()) SetText(kFinderText, "The command line's target was not chosen: " + choice.problem + ".");
}

void WheelTestWindow::OpenForReplay(HINSTANCE instance, const WheelTestChoice& choice, const ReplayOptions& options) {
    OpenWith(instance, choice);
    std::string problem = ReplayCombinationProblem(options, true, false);
    if (problem.empty()) problem = options.Problem();
    if (!problem.empty()) SetText(kFinderText, "The command line's replay was not started: " + problem + ".");
    else if (target_) StartReplay(options);
}

bool WheelTestWindow::PreTranslate(MSG& msg) {
    if (!Handle() || !Api(::IsWindowVisible(Handle()))) return false;
    if (msg.hwnd != Handle() && !Api(::IsChild(Handle(), msg.hwnd))) return false;
    return Api(::IsDialogMessageA(Handle(), &msg)) != FALSE;
}

LRESULT WheelTestWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE: Layout(LOWORD(lp)); return 0;
        case WM_COMMAND:
            if (lp != 0 && HIWORD(wp) == BN_CLICKED) {
                switch (LOWORD(wp)) {
                    case kStartButton: OnStart(); return 0;
                    case kCopyButton: OnCopy(); return 0;
                    case kSaveButton: OnSave(); return 0;
                    case kReplayButton: OnReplay(); return 0;
                    default: break;
                }
            }
            if (lp == 0 && LOWORD(wp) == IDCANCEL) {  // Esc: stops a running test or replay
                test_.Stop();
                replay_.Stop();
                return 0;
            }
            break;
        case kTestMessage:
            if (wp == WheelTestThread::kDone) OnTestDone();
            else OnTestProgress();
            return 0;
        case kReplayMessage:
            if (wp == ReplayThread::kDone) OnReplayDone();
            else if (replay_.Running()) SetText(kProgressLine, ReplayProgressText(replay_.Now()));
            return 0;
        case WM_CLOSE:
            Api(::ShowWindow(Handle(), SW_HIDE));  // only hidden; a running test goes on
            return 0;
        default: break;
    }
    return Default(msg, wp, lp);
}

void WheelTestWindow::OnFinderHover(HWND w) {
    if (!w || w == Api(::GetDesktopWindow())) SetText(kFinderText, "Under the pointer: the desktop");
    else SetText(kFinderText, "Under the pointer: " + DescribeTestedWindow(w));
}

void WheelTestWindow::OnFinderDrop(HWND w) {
    if (!w || w == Api(::GetDesktopWindow()) || w == Api(::GetShellWindow()))
        SetText(kFinderText, "The target stays as it was: there is no window there, only the desktop.");
    else ChooseTarget(w);
}

bool WheelTestWindow::ChooseTarget(HWND w) {
    if (Api(::GetAncestor(w, GA_ROOT)) == Handle()) {
        SetText(kFinderText, "The target stays as it was: the wheel test window cannot test itself.");
        return false;
    }
    target_ = w;
    SetText(kTargetLine, "Target: " + DescribeTestedWindow(w));
    // What a test would measure, asked here: within kPreviewWithinMs, so a
    // target that does not answer holds this window up only a moment.
    const MeasuredReading reading = PreviewMeasuredReading(w);
    SetText(kProgressLine, MeasuredText(MeasuredFactsOf(reading)));
    SetText(kFinderText, FinderLineText(ScrollFactsOf(reading.measured ? reading.measured : w)));
    EnableControls();
    return true;
}

Delivery WheelTestWindow::ChosenDelivery() {
    const bool posted = SendTo(Api(::GetDlgItem(Handle(), kPosted)), BM_GETCHECK) == BST_CHECKED;
    return posted ? Delivery::Posted : Delivery::Injected;
}

void WheelTestWindow::OnStart() {
    if (test_.Running() || replay_.Running()) {
        test_.Stop();
        replay_.Stop();
        return;
    }
    if (!target_) return;
    SendTo(Api(::GetDlgItem(Handle(), kResultsList)), LB_RESETCONTENT);
    SetText(kFindingsBox, "");
    SetText(kProgressLine, "Starting");
    test_.Start(target_, ChosenDelivery(), Handle(), kTestMessage);
    EnableControls();
}

void WheelTestWindow::OnTestProgress() {
    if (test_.Running()) SetText(kProgressLine, WheelProgressText(test_.Now()));
}

void WheelTestWindow::OnTestDone() {
    if (const auto result = test_.TakeResult()) ShowResult(*result);
    EnableControls();
}

void WheelTestWindow::ShowResult(const WheelTestResult& result) {
    report_ = result.Report();
    const HWND list = Api(::GetDlgItem(Handle(), kResultsList));
    SendTo(list, LB_RESETCONTENT);
    if (!result.head.measured.empty()) {
        SendTo(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kWheelResultHeader));
        for (const auto& line : result.grader.Lines())
            SendTo(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WheelResultLineText(line).c_str()));
    }
    std::vector<std::string> findings = result.grader.Findings();
    for (const auto& note : result.grader.Notes()) findings.push_back(note);
    findings.push_back(result.grader.ResultText());
    SetText(kFindingsBox, JoinCrLf(findings));
    SetText(kProgressLine, "Finished: " + result.grader.ResultText());
}

void WheelTestWindow::OnCopy() {
    if (!report_.empty()) CopyToClipboard(Handle(), report_);
}

void WheelTestWindow::OnSave() {
    if (!report_.empty()) SaveOnRequest(Handle(), kSaveReportDialog, L"The report", [this] { return report_; });
}

void WheelTestWindow::SetText(int id, const std::string& text) {
    Api(::SetWindowTextA(Api(::GetDlgItem(Handle(), id)), text.c_str()));
}

void WheelTestWindow::EnableControls() {
    const bool running = test_.Running() || replay_.Running();
    Api(::EnableWindow(Api(::GetDlgItem(Handle(), kStartButton)), target_ != nullptr || running));
    Api(::EnableWindow(Api(::GetDlgItem(Handle(), kReplayButton)),
                       (target_ != nullptr && !running) || replay_.Running()));
    for (int id : {kCopyButton, kSaveButton})
        Api(::EnableWindow(Api(::GetDlgItem(Handle(), id)), !running && !report_.empty()));
    for (int id : {kInjected, kPosted, kReplayWindow}) Api(::EnableWindow(Api(::GetDlgItem(Handle(), id)), !running));
}

}  // namespace nl
