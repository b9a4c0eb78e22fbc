// The operations the program performs on its controls, the clipboard and the
// message box. List boxes, scroll bar, buttons and labels are the system's
// LISTBOX, SCROLLBAR, BUTTON and STATIC windows; picture boxes are a small
// class of our own that paints its background colour and printed text.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/error.h"
#include "controls/picture_text.h"

namespace nl {

class ListBox {
public:
    ListBox() = default;
    explicit ListBox(HWND h) : h_(h) {}
    HWND Handle() const { return h_; }
    // Appends at the end and returns the new index of the item just added.
    std::int32_t AddItem(const std::string& text);
    std::int32_t Count() const;
    std::string ItemText(std::int32_t index) const;
    void Clear();
    void Select(std::int32_t index);
    void SetTopIndex(std::int32_t index);
    // While painting is suspended the list keeps its items, selection and
    // top index up to date but draws nothing; resuming repaints it whole,
    // frame and scroll bar included.
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
    std::int16_t Min() const;
    std::int16_t Max() const;
    std::int16_t Value() const;
    std::int16_t LargeChange() const { return largeChange_; }
    std::int16_t SmallChange() const { return smallChange_; }
    void SetValue(std::int16_t v);
    // While deferred, a new value is drawn with the next WM_PAINT after
    // DeferPainting(false) instead of at once.
    void DeferPainting(bool on);
    // The bar's own reaction to its arrows, track and thumb (WM_VSCROLL).
    void OnScroll(int code);

private:
    HWND h_ = nullptr;
    std::int16_t largeChange_ = 1;
    std::int16_t smallChange_ = 1;
    bool deferred_ = false;
    bool dirty_ = false;
};

// A picture box. The object must outlive its window.
class PictureBox {
public:
    static const char* ClassName();
    static void RegisterClass(HINSTANCE instance);

    PictureBox() = default;
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;
    // Creates the box's window as a child of parent.
    void Create(HWND parent, int id, int x, int y, int w, int h, COLORREF back, HFONT font);

    HWND Handle() const { return h_; }
    COLORREF BackColor() const { return back_; }
    // Repaints the whole box in the colour; earlier text is erased.
    void SetBackColor(COLORREF c);
    void Clear();
    void Print(const std::string& text);
    // While deferred, changes invalidate the box once, when DeferPainting(false)
    // ends the deferral, instead of once each.
    void DeferPainting(bool on);
    const PictureText& Text() const { return text_; }
    // Draws background and text into dc: used by WM_PAINT and WM_PRINTCLIENT alike.
    void Paint(HDC dc) const;

private:
    static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    void Invalidate();

    HWND h_ = nullptr;
    COLORREF back_ = 0;
    HFONT font_ = nullptr;
    PictureText text_;
    bool deferred_ = false;
    bool dirty_ = false;
};

// The clipboard, held open for the object's lifetime. Opening retries for a
// short while, since another program (or the system's own clipboard
// synchronisation) may hold it a moment; if it stays locked, raises the
// clipboard-busy error.
class ClipboardScope {
public:
    explicit ClipboardScope(HWND owner);
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    ~ClipboardScope();
    void Clear();
    // Stores the text (ANSI code page) as Unicode text, so the system can
    // offer every text format from it.
    void SetText(const std::string& text);
};

// OK/Cancel with the error icon, titled with the application title; returns
// the button's id (1 for OK).
int MessageBoxOkCancel(HWND owner, const std::string& text);
// An information box with OK only.
void MessageBoxNotice(HWND owner, const std::string& text, UINT icon);

}  // namespace nl
