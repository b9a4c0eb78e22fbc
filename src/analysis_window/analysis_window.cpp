#include "analysis_window/analysis_window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "common/wheel/wheel_csv.h"
#include "system_info/system_info.h"
#include "win32/api.h"
#include "win32/clipboard.h"
#include "win32/save_dialog.h"

namespace nl {

namespace {
const char* const kAnalysisClass = "NotchlogAnalysis";
const char* const kAnalysisCaption = "Notchlog - wheel analysis";
enum ControlId : int { kClearButton = 201, kCopyButton, kSaveButton, kSummary, kChart, kEventList, kCaptureCheck };

}  // namespace

void AnalysisWindow::Create(HINSTANCE instance) {
    instance_ = instance;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    Api(::InitCommonControlsEx(&icc));
    dpi_ = ScreenDpi();
    CreateToolWindow(instance, kAnalysisClass, kAnalysisCaption, SIZE{960, 640}, dpi_,
                     "The wheel analysis window could not be made.");
    CreateControls();
    ShowCaptureState();  // capture may have been turned on from the command line
    recording_.Listen([this] { OnEventsChanged(); });
}

void AnalysisWindow::CreateControls() {
    const HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const wchar_t* const captions[] = {L"Clear", L"Copy", L"Save as CSV\u2026"};
    for (int i = 0; i < 3; ++i) {
        buttons_[i] = Api(::CreateWindowExW(0, L"BUTTON", captions[i], WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                            0, 0, 10, 10, Handle(),
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kClearButton + i)), instance_,
                                            nullptr));
        SendTo(buttons_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    captureCheck_ = Api(::CreateWindowExW(0, L"BUTTON", L"Capture all wheel input",
                                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 10, 10, Handle(),
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCaptureCheck)), instance_,
                                          nullptr));
    SendTo(captureCheck_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    summary_.Create(Handle(), kSummary, RECT{0, 0, 10, 10}, Api(::GetSysColor(COLOR_WINDOW)), font);
    chart_.Create(Handle(), kChart, RECT{0, 0, 10, 10}, instance_);
    list_ = Api(::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
                                  0, 0, 10, 10, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEventList)),
                                  instance_, nullptr));
    if (!list_) Raise(kErrInvalidCall, "The wheel analysis list could not be made.");
    SendTo(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendTo(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const int least = static_cast<int>(SendTo(list_, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>("00000000")));
    for (int column = 0; column < kWheelCsvColumns; ++column) {
        std::string title = WheelCsvColumnName(column);
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        c.pszText = title.data();
        c.cx = std::max(least, static_cast<int>(SendTo(list_, LVM_GETSTRINGWIDTHA, 0,
                                                       reinterpret_cast<LPARAM>(title.c_str())))) +
               16;
        c.iSubItem = column;
        SendTo(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
    }
    RECT client{};
    Api(::GetClientRect(Handle(), &client));
    Layout(client.right, client.bottom);
}

void AnalysisWindow::Layout(int width, int height) {
    const auto px = [this](int v) { return ::MulDiv(v, dpi_, 96); };
    const int margin = px(8), buttonHeight = px(25), top = margin + buttonHeight + margin, panelHeight = px(140);
    const int buttonWidths[] = {px(80), px(80), px(110)};
    int x = margin;
    for (int i = 0; i < 3; ++i) {
        Api(::MoveWindow(buttons_[i], x, margin, buttonWidths[i], buttonHeight, TRUE));
        x += buttonWidths[i] + margin;
    }
    Api(::MoveWindow(captureCheck_, x + margin, margin, px(200), buttonHeight, TRUE));
    const int summaryWidth = px(300);
    Api(::MoveWindow(summary_.Handle(), margin, top, summaryWidth, panelHeight, TRUE));
    Api(::MoveWindow(chart_.Handle(), 2 * margin + summaryWidth, top,
                     std::max(px(40), width - 3 * margin - summaryWidth), panelHeight, TRUE));
    const int listTop = top + panelHeight + margin;
    Api(::MoveWindow(list_, margin, listTop, std::max(px(40), width - 2 * margin),
                     std::max(px(40), height - listTop - margin), TRUE));
}

void AnalysisWindow::Open(HINSTANCE instance) {
    if (!Handle()) Create(instance);
    Api(::ShowWindow(Handle(), Api(::IsIconic(Handle())) ? SW_RESTORE : SW_SHOW));
    Api(::SetForegroundWindow(Handle()));
    Api(::SetFocus(list_));
    listShownUs_ = 0;  // opened: the list catches up at once
    Stale(kAllViews);
    frame_.TicksChanged();
}

bool AnalysisWindow::Visible() const { return Handle() && Api(::IsWindowVisible(Handle())); }

void AnalysisWindow::OnEventsChanged() {
    if (Visible()) staleViews_ |= kAllViews;
}

bool AnalysisWindow::PreTranslate(MSG& msg) {
    if (!Handle() || !Api(::IsWindowVisible(Handle()))) return false;
    if (msg.hwnd != Handle() && !Api(::IsChild(Handle(), msg.hwnd))) return false;
    return Api(::IsDialogMessageA(Handle(), &msg)) != FALSE;
}

LRESULT AnalysisWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: {
            recording_.Record(Vantage::Analysis, msg, wp, lp);  // on arrival, before anything else
            return Default(msg, wp, lp);
        }
        case WM_SIZE:
            Layout(LOWORD(lp), HIWORD(lp));
            return 0;
        case WM_ACTIVATE:
            // The focus goes back to the list whenever the window comes to the front.
            if (LOWORD(wp) != WA_INACTIVE) {
                const HWND focus = Api(::GetFocus());
                if (!focus || !Api(::IsChild(Handle(), focus))) Api(::SetFocus(list_));
                return 0;
            }
            break;
        case WM_COMMAND:
            if (lp != 0 && HIWORD(wp) == BN_CLICKED) {
                switch (LOWORD(wp)) {
                    case kClearButton: OnClear(); break;
                    case kCopyButton: OnCopy(); break;
                    case kSaveButton: OnSave(); break;
                    case kCaptureCheck: OnCaptureClicked(); break;
                    default: break;
                }
                return 0;
            }
            if (lp == 0 && LOWORD(wp) == IDCANCEL) return OnMessage(WM_CLOSE, 0, 0);  // Esc
            break;
        case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
        case WM_CLOSE:
            // Only hidden: the recording goes on, and the window opens again as it was.
            Api(::ShowWindow(Handle(), SW_HIDE));
            frame_.TicksChanged();
            return 0;
        default: break;
    }
    return Default(msg, wp, lp);
}

LRESULT AnalysisWindow::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_) return 0;
    const EventStore& store = recording_.Store();
    switch (header.code) {
        case LVN_GETDISPINFOA:
        case LVN_GETDISPINFOW: {
            // Rows are formatted only when the list shows them.
            auto& item = const_cast<NMLVDISPINFOA&>(reinterpret_cast<const NMLVDISPINFOA&>(header)).item;
            if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0 || !item.pszText) return 0;
            std::string field;
            if (item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < store.size())
                field = CsvField(store[static_cast<std::size_t>(item.iItem)], item.iSubItem, recording_.Devices());
            const std::size_t n = std::min<std::size_t>(field.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            if (header.code == LVN_GETDISPINFOW) {  // the texts are ASCII
                auto* wide = reinterpret_cast<wchar_t*>(item.pszText);
                for (std::size_t i = 0; i < n; ++i) wide[i] = static_cast<unsigned char>(field[i]);
                wide[n] = L'\0';
            } else {
                std::copy(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(n), item.pszText);
                item.pszText[n] = '\0';
            }
            return 0;
        }
        case LVN_KEYDOWN: {
            const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(header);
            if (key.wVKey == 'C' && Api(::GetKeyState(VK_CONTROL)) < 0) OnCopy();
            return 0;
        }
        default: return 0;
    }
}

void AnalysisWindow::OnClear() { recording_.Clear(); }

void AnalysisWindow::OnCopy() {
    std::vector<std::size_t> rows;
    for (LRESULT i = -1; (i = SendTo(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED)) >= 0;)
        rows.push_back(static_cast<std::size_t>(i));
    CopyToClipboard(Handle(), recording_.CsvText(rows));
}

void AnalysisWindow::OnSave() {
    SaveOnRequest(Handle(), kSaveCsvDialog, L"The wheel events", [this] { return recording_.CsvTextOfAll(); });
}

void AnalysisWindow::OnCaptureClicked() {
    const bool on = SendTo(captureCheck_, BM_GETCHECK) == BST_CHECKED;
    // The check follows what the capture is, also when turning it on failed.
    struct Follow {
        AnalysisWindow& w;
        ~Follow() { w.ShowCaptureState(); }
    } follow{*this};
    recording_.SetCapture(on);
}

void AnalysisWindow::ShowCaptureState() {
    if (captureCheck_) SendTo(captureCheck_, BM_SETCHECK, recording_.Capturing() ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace nl
