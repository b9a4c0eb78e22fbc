#include "controls/results_table.h"

#include <commctrl.h>

#include "common/base/error.h"
#include "win32/api.h"
#include "win32/window.h"

namespace nl {

namespace {
COLORREF TintColour(Tint t) {
    switch (t) {
        case Tint::Ok: return RGB(0xC8, 0xF0, 0xC8);
        case Tint::Fault: return RGB(0xF8, 0xC0, 0xC0);
        case Tint::Info: return RGB(0xE4, 0xE4, 0xE4);
        case Tint::Unmeasured: return RGB(0xFF, 0xE0, 0xA0);
        case Tint::None: break;
    }
    return CLR_DEFAULT;
}

void SetCell(HWND list, int row, int column, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendTo(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}
}  // namespace

void ResultsTable::Create(HWND parent, int id, HINSTANCE instance, HFONT font) {
    h_ = Api(::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER | LVS_SINGLESEL, 0,
                               0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr));
    if (!h_) Raise(kErrInvalidCall, "The results table could not be made.");
    SendTo(h_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendTo(h_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
           LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
}

void ResultsTable::SetColumns(const std::vector<std::pair<const char*, int>>& columns, int dpi) {
    Clear();
    for (; columns_ > 0; --columns_) SendTo(h_, LVM_DELETECOLUMN, 0);
    for (const auto& [name, width] : columns) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(name);
        column.cx = ::MulDiv(width, dpi, 96);
        column.iSubItem = columns_;
        SendTo(h_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(columns_++), reinterpret_cast<LPARAM>(&column));
    }
}

void ResultsTable::Show(const std::vector<TableRow>& rows) {
    while (rows_.size() > rows.size()) {
        SendTo(h_, LVM_DELETEITEM, rows_.size() - 1);
        rows_.pop_back();
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i);
        const bool added = i >= rows_.size();
        if (!added && rows_[i] == rows[i]) continue;
        if (added) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.pszText = const_cast<char*>(rows[i].cells.empty() ? "" : rows[i].cells[0].c_str());
            SendTo(h_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            rows_.push_back(rows[i]);
        }
        for (std::size_t c = added ? 1 : 0; c < rows[i].cells.size(); ++c) SetCell(h_, row, static_cast<int>(c), rows[i].cells[c]);
        rows_[i] = rows[i];
        SendTo(h_, LVM_REDRAWITEMS, i, i);
        if (added) SendTo(h_, LVM_ENSUREVISIBLE, i, FALSE);
    }
}

LRESULT ResultsTable::OnCustomDraw(LPARAM lp) const {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lp);
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            const auto row = static_cast<std::size_t>(draw->nmcd.dwItemSpec);
            const bool last = draw->iSubItem == columns_ - 1;
            draw->clrTextBk = last && row < rows_.size() ? TintColour(rows_[row].tint) : CLR_DEFAULT;
            draw->clrText = CLR_DEFAULT;
            return CDRF_DODEFAULT;
        }
        default: break;
    }
    return CDRF_DODEFAULT;
}

}  // namespace nl
