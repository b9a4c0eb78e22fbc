// A table of results: the system's list view in report style, a row per
// result, whose last column is tinted by the row's verdict. Its parent
// passes on the list view's custom-draw notifications (NM_CUSTOMDRAW).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace nl {

enum class Tint { None, Ok, Fault, Info, Unmeasured };

struct TableRow {
    std::vector<std::string> cells;
    Tint tint = Tint::None;  // of the last cell
    bool operator==(const TableRow& o) const { return cells == o.cells && tint == o.tint; }
};

class ResultsTable {
public:
    // Makes the list view as a child of `parent` with `id`.
    void Create(HWND parent, int id, HINSTANCE instance, HFONT font);
    HWND Handle() const { return h_; }
    // Replaces the columns (names and widths at 96 dpi, scaled by `dpi`)
    // and empties the table.
    void SetColumns(const std::vector<std::pair<const char*, int>>& columns, int dpi);
    // Makes the table show `rows`: rows that changed are written again, new
    // ones are added at the end and made visible, rows beyond are removed.
    void Show(const std::vector<TableRow>& rows);
    void Clear() { Show({}); }
    // The parent's answer to the list view's NM_CUSTOMDRAW.
    LRESULT OnCustomDraw(LPARAM lp) const;

private:
    HWND h_ = nullptr;
    std::vector<TableRow> rows_;
    int columns_ = 0;
};

}  // namespace nl
