#include "wheel_test_window/wheel_test_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "common/base/error_boundary.h"
#include "system_info/system_info.h"
#include "win32/api.h"
#include "win32/clipboard.h"
#include "win32/message_boxes.h"
#include "win32/png_file.h"
#include "win32/save_dialog.h"

namespace nl {

namespace {
const char* const kWheelTestClass = "NotchlogWheelTest";
const char* const kWheelTestCaption = "Notchlog - wheel test";
const char* const kNoTargetText = "Drag the finder onto the window you want to test.";
constexpr SaveDialogKind kSaveReportDialog{L"wheel-test.txt", L"Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0",
                                           L"txt"};
constexpr const wchar_t* kPngFilter = L"PNG pictures (*.png)\0*.png\0All files (*.*)\0*.*\0";
constexpr SaveDialogKind kSaveTestPictureDialog{L"wheel-test.png", kPngFilter, L"png"};
constexpr SaveDialogKind kSaveReplayPictureDialog{L"replay.png", kPngFilter, L"png"};
constexpr int kPictureWidth = 800, kPictureHeight = 400;

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
    {WheelTestWindow::kMeasuredLine, "STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0},
    {WheelTestWindow::kInjected, "BUTTON", L"Injected (SendInput at the test point)", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {WheelTestWindow::kPosted, "BUTTON", L"Posted (PostMessage to the measured window)", BS_AUTORADIOBUTTON, 0},
    {WheelTestWindow::kZoomCheck, "BUTTON", L"Zoom (Ctrl+wheel and a touchpad's pinch)", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 0},
    {WheelTestWindow::kSettingsLabel, "STATIC", L"Settings to try (lines per notch, -1 a page):", SS_LEFT | SS_NOPREFIX, 0},
    {WheelTestWindow::kSettingsField, "EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {WheelTestWindow::kStartButton, "BUTTON", L"Start", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {WheelTestWindow::kCopyButton, "BUTTON", L"Copy", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {WheelTestWindow::kSaveButton, "BUTTON", L"Save report as\u2026", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {WheelTestWindow::kSavePictureButton, "BUTTON", L"Save picture as\u2026", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {WheelTestWindow::kReplayButton, "BUTTON", L"Replay CSV\u2026", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {WheelTestWindow::kReplayWindow, "COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0},
    {WheelTestWindow::kProgressLine, "STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0},
    {WheelTestWindow::kResultLine, "STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0},
    {WheelTestWindow::kFindingsBox, "EDIT", L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE},
};

}  // namespace

void WheelTestWindow::Create(HINSTANCE instance) {
    instance_ = instance;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    Api(::InitCommonControlsEx(&icc));
    dpi_ = ScreenDpi();
    CreateToolWindow(instance, kWheelTestClass, kWheelTestCaption, SIZE{760, 780}, dpi_,
                     "The wheel test window could not be made.");
    CreateControls();
}

HWND WheelTestWindow::Control(int id) const { return Api(::GetDlgItem(Handle(), id)); }

void WheelTestWindow::CreateControls() {
    const HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA bold{};
    Api(::GetObjectA(font, sizeof bold, &bold));
    bold.lfWeight = FW_BOLD;
    boldFont_ = GdiObject(Api(::CreateFontIndirectA(&bold)));
    finder_.Create(Handle(), kFinder, instance_, [this](HWND w) { OnFinderHover(w); },
                   [this](HWND w) { OnFinderDrop(w); });
    for (const auto& c : kControls) {
        const HWND w = Api(::CreateWindowExW(c.exStyle, std::wstring(c.cls, c.cls + std::strlen(c.cls)).c_str(),
                                             c.text, WS_CHILD | WS_VISIBLE | c.style, 0, 0, 10, 10, Handle(),
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr));
        if (!w) Raise(kErrInvalidCall, "The wheel test window's controls could not be made.");
        SendTo(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    SendTo(Control(kResultLine), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.Get()), FALSE);
    table_.Create(Handle(), kResultsList, instance_, font);
    chart_.Create(Handle(), kChart, RECT{0, 0, 10, 10}, instance_);
    SendTo(Control(kInjected), BM_SETCHECK, BST_CHECKED);
    SetText(kFinderText, kNoTargetText);
    FillReplayChoices();
    RECT client{};
    Api(::GetClientRect(Handle(), &client));
    Layout(client.right, client.bottom);
    EnableControls();
}

void WheelTestWindow::Layout(int width, int height) {
    const auto px = [this](int v) { return ::MulDiv(v, dpi_, 96); };
    const int m = px(8), line = px(18), wide = std::max(px(100), width - 2 * m);
    const auto place = [this](int id, int x, int y, int w, int h) { Api(::MoveWindow(Control(id), x, y, w, h, TRUE)); };
    Api(::MoveWindow(finder_.Handle(), m, m, px(32), px(32), TRUE));
    place(kFinderHint, m + px(40), m, wide - px(40), line);
    place(kFinderText, m + px(40), m + line, wide - px(40), line);
    int y = m + px(40);
    place(kTargetLine, m, y, wide, line);
    y += line;
    place(kMeasuredLine, m, y, wide, line);
    y += line + px(4);
    place(kInjected, m, y, px(300), line);
    place(kPosted, m + px(310), y, px(320), line);
    y += line + px(4);
    place(kZoomCheck, m, y + px(1), px(260), line);
    place(kSettingsLabel, m + px(270), y + px(3), px(240), line);
    place(kSettingsField, m + px(512), y, std::max(px(80), wide - px(512)), line + px(4));
    y += line + px(10);
    place(kStartButton, m, y, px(70), px(25));
    place(kCopyButton, m + px(76), y, px(70), px(25));
    place(kSaveButton, m + px(152), y, px(110), px(25));
    place(kSavePictureButton, m + px(268), y, px(112), px(25));
    place(kReplayButton, m + px(386), y, px(96), px(25));
    place(kReplayWindow, m + px(488), y + px(2), std::max(px(120), wide - px(488)), px(120));
    y += px(25) + px(6);
    place(kProgressLine, m, y, wide, line);
    y += line + px(2);
    place(kResultLine, m, y, wide, line);
    y += line + px(2);
    // A test's table takes what the chart and the findings leave; a
    // replay's holds a row per axis, and its chart takes the rest.
    const int findings = px(90), gap = px(6), room = height - y - m - findings - 2 * gap;
    const int table = replayShown_ ? px(72) : std::max(px(60), room - px(180));
    const int chart = std::max(px(60), room - table);
    Api(::MoveWindow(table_.Handle(), m, y, wide, table, TRUE));
    y += table + gap;
    if (HWND c = Control(kChart)) Api(::MoveWindow(c, m, y, wide, chart, TRUE));
    y += chart + gap;
    place(kFindingsBox, m, y, wide, findings);
}

void WheelTestWindow::Open(HINSTANCE instance) {
    if (!Handle()) Create(instance);
    Api(::ShowWindow(Handle(), Api(::IsIconic(Handle())) ? SW_RESTORE : SW_SHOW));
    Api(::SetForegroundWindow(Handle()));
}

void WheelTestWindow::OpenWith(HINSTANCE instance, const WheelTestChoice& choice) {
    Open(instance);
    SendTo(Control(kInjected), BM_SETCHECK, choice.delivery == Delivery::Injected ? BST_CHECKED : BST_UNCHECKED);
    SendTo(Control(kPosted), BM_SETCHECK, choice.delivery == Delivery::Posted ? BST_CHECKED : BST_UNCHECKED);
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
        case WM_SIZE: Layout(LOWORD(lp), HIWORD(lp)); return 0;
        case WM_COMMAND:
            if (lp != 0 && HIWORD(wp) == BN_CLICKED) {
                switch (LOWORD(wp)) {
                    case kStartButton: OnStart(); return 0;
                    case kCopyButton: OnCopy(); return 0;
                    case kSaveButton: OnSave(); return 0;
                    case kSavePictureButton: OnSavePicture(); return 0;
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
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            if (header->hwndFrom == table_.Handle() && header->code == NM_CUSTOMDRAW) return table_.OnCustomDraw(lp);
            break;
        }
        case kTestMessage:
            if (wp == WheelTestThread::kDone) OnTestDone();
            else OnTestProgress();
            return 0;
        case kReplayMessage:
            if (wp == ReplayThread::kDone) OnReplayDone();
            else OnReplayProgress();
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
    SetText(kMeasuredLine, MeasuredText(MeasuredFactsOf(reading)));
    SetText(kFinderText, FinderLineText(ScrollFactsOf(reading.measured ? reading.measured : w)));
    EnableControls();
    return true;
}

Delivery WheelTestWindow::ChosenDelivery() {
    return SendTo(Control(kPosted), BM_GETCHECK) == BST_CHECKED ? Delivery::Posted : Delivery::Injected;
}

void WheelTestWindow::ClearForRun(const std::vector<std::pair<const char*, int>>& columns, bool replay) {
    table_.Clear();
    chart_.SetChart(RunChart{});
    SetText(kResultLine, "");
    SetText(kFindingsBox, "");
    report_.clear();
    table_.SetColumns(columns, dpi_);
    replayShown_ = replay;
    RECT client{};
    Api(::GetClientRect(Handle(), &client));
    Layout(client.right, client.bottom);
}

void WheelTestWindow::OnCopy() {
    if (!report_.empty()) CopyToClipboard(Handle(), report_);
}

void WheelTestWindow::OnSave() {
    if (report_.empty()) return;
    const std::wstring path = SaveOnRequest(Handle(), kSaveReportDialog, L"The report", [this] { return report_; });
    if (!path.empty()) SetText(kProgressLine, "Saved to " + Ansi(path) + ".");
}

void WheelTestWindow::OnSavePicture() {
    if (report_.empty()) return;
    const std::wstring path = AskSavePath(Handle(), replayShown_ ? kSaveReplayPictureDialog : kSaveTestPictureDialog);
    if (path.empty()) return;
    const RunChart& chart = chart_.Chart();
    const std::wstring reason = SavePngPicture(path, kPictureWidth, kPictureHeight,
                                               [&chart](HDC dc, const RECT& area) { PaintRunChart(dc, area, chart); });
    if (reason.empty()) SetText(kProgressLine, "Saved to " + Ansi(path) + ".");
    else MessageBoxNotice(Handle(), L"The picture could not be saved to " + path + L":\n" + reason);
}

void WheelTestWindow::SetText(int id, const std::string& text) { Api(::SetWindowTextA(Control(id), text.c_str())); }

void WheelTestWindow::EnableControls() {
    const bool running = Running();
    SetText(kStartButton, running ? "Stop" : "Start");
    Api(::EnableWindow(Control(kStartButton), target_ != nullptr || running));
    Api(::EnableWindow(Control(kReplayButton), target_ != nullptr && !running));
    for (int id : {kCopyButton, kSaveButton, kSavePictureButton})
        Api(::EnableWindow(Control(id), !running && !report_.empty()));
    for (int id : {kInjected, kPosted, kReplayWindow, kZoomCheck, kSettingsField})
        Api(::EnableWindow(Control(id), !running));
    Api(::EnableWindow(finder_.Handle(), !running));
    if (!target_ && !running) SetText(kFinderText, kNoTargetText);
}

}  // namespace nl
