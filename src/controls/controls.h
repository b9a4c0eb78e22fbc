// The operations the program performs on its controls. List boxes, scroll
// bar, buttons and labels are the system's LISTBOX, SCROLLBAR, BUTTON and
// STATIC windows; the text panels are a small class of our own that paints
// a background colour and lines of text.
//
// Changes are not drawn at once: the window's refresh calls Redraw (or
// ResumePainting) once for many changes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/wheel/wheel.h"
#include "win32/window.h"

namespace nl {

class ListBox {
public:
    ListBox() = default;
    explicit ListBox(HWND h) : h_(h) {}
    HWND Handle() const { return h_; }
    // Appends at the end and returns the new index of the item just added.
    std::int32_t AddItem(const std::string& text);
    // The same without raising: the new index, or LB_ERR / LB_ERRSPACE.
    LRESULT Append(const std::string& text);
    std::int32_t Count() const;
    std::string ItemText(std::int32_t index) const;
    void Clear();
    // Makes room for `items` more items of `bytes` text in all.
    void Reserve(std::int32_t items, std::size_t bytes);
    // Deletes one item; the ones after it move up.
    void Delete(std::int32_t index);
    void Select(std::int32_t index);
    void SetTopIndex(std::int32_t index);
    // While painting is suspended the list keeps its items, selection and
    // top index up to date but draws nothing; resuming repaints it whole,
    // its scroll bar included, before returning.
    void SuspendPainting();
    void ResumePainting();

private:
    HWND h_ = nullptr;
    bool suspended_ = false;
};

class ScrollBar {
public:
    ScrollBar() = default;
    ScrollBar(HWND h, std::int16_t largeChange, std::int16_t smallChange)
        : h_(h), largeChange_(largeChange), smallChange_(smallChange) {}
    HWND Handle() const { return h_; }
    bool Visible() const;
    // Range, value and large change, read in one query.
    ScrollBarState State() const;
    // Returns whether the value changed (and so needs drawing).
    bool SetValue(std::int16_t v);
    void Redraw();
    // The bar's own reaction to its arrows, track and thumb (WM_VSCROLL).
    bool OnScroll(int code);

private:
    HWND h_ = nullptr;
    std::int16_t largeChange_ = 1;
    std::int16_t smallChange_ = 1;
};

// A panel that shows lines of text on a background colour: the green area
// and the hover panel. The object must outlive its window.
class TextPanel final : public Window {
public:
    static const char* ClassName();

    TextPanel() = default;
    // Registers the class the first time a panel is made.
    void Create(HWND parent, int id, const RECT& place, COLORREF back, HFONT font);

    // A new colour; the text shown before is erased.
    void SetBackColor(COLORREF c);
    // Replaces the text: each CR LF starts a new line at the left edge.
    void SetText(const std::string& text);
    void Redraw();

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Painting has nothing worth telling the user; the next WM_PAINT tries
    // again.
    void OnFailure(const Error*) noexcept override {}
    // Background and text: for WM_PAINT and WM_PRINTCLIENT alike.
    void Paint(HDC dc) const;

    COLORREF back_ = 0;
    HFONT font_ = nullptr;
    std::vector<std::string> lines_;
};

}  // namespace nl
