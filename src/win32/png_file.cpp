#include "win32/png_file.h"


#include "win32/api.h"
#include "win32/drawing.h"
#include "win32/late_bind.h"
#include "win32/log_files.h"
#include "win32/raii.h"

namespace nl {

namespace {

// GDI+'s flat interface, as far as a picture needs it. Every function
// returns a status, 0 for success.
struct GdiplusStartupInput {
    UINT32 version = 1;
    void* debugEventCallback = nullptr;
    BOOL suppressBackgroundThread = FALSE;
    BOOL suppressExternalCodecs = FALSE;
};
using GdiplusStartupFn = int(WINAPI*)(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
using GdiplusShutdownFn = void(WINAPI*)(ULONG_PTR token);
using CreateBitmapFromScan0Fn = int(WINAPI*)(INT width, INT height, INT stride, INT format, BYTE* scan0,
                                             void** bitmap);
using SaveImageToFileFn = int(WINAPI*)(void* image, const WCHAR* file, const CLSID* encoder, const void* parameters);
using DisposeImageFn = int(WINAPI*)(void* image);

constexpr INT kPixelFormat32bppArgb = 0x0026200A;
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

void FreeLoadedLibrary(HMODULE module) { ::FreeLibrary(module); }
using LoadedLibrary = Owned<HMODULE, &FreeLoadedLibrary>;

std::wstring EncoderFailed(const wchar_t* what, int status) {
    static const wchar_t* const kNames[] = {
        L"Ok", L"GenericError", L"InvalidParameter", L"OutOfMemory", L"ObjectBusy", L"InsufficientBuffer",
        L"NotImplemented", L"Win32Error", L"WrongState", L"Aborted", L"FileNotFound", L"ValueOverflow",
        L"AccessDenied", L"UnknownImageFormat", L"FontFamilyNotFound", L"FontStyleNotFound", L"NotTrueTypeFont",
        L"UnsupportedGdiplusVersion", L"GdiplusNotInitialized", L"PropertyNotFound", L"PropertyNotSupported"};
    const bool known = status >= 0 && status < static_cast<int>(sizeof kNames / sizeof kNames[0]);
    return std::wstring(L"the system's image encoder (GDI+) failed to ") + what + L": status " +
           std::to_wstring(status) + (known ? std::wstring(L" (") + kNames[status] + L")" : std::wstring());
}

// GDI+ loaded and started for one picture; shut down and unloaded after it.
class Gdiplus {
public:
    Gdiplus() : module_(SystemLibrary(L"gdiplus.dll")) {
        if (!module_) {
            problem_ = L"the system's image encoder (gdiplus.dll) could not be loaded: " +
                       SystemErrorText(static_cast<DWORD>(LastSystemError()));
            return;
        }
        const auto startup = LateBound<GdiplusStartupFn>(module_.Get(), "GdiplusStartup");
        shutdown_ = LateBound<GdiplusShutdownFn>(module_.Get(), "GdiplusShutdown");
        createBitmap = LateBound<CreateBitmapFromScan0Fn>(module_.Get(), "GdipCreateBitmapFromScan0");
        saveImage = LateBound<SaveImageToFileFn>(module_.Get(), "GdipSaveImageToFile");
        disposeImage = LateBound<DisposeImageFn>(module_.Get(), "GdipDisposeImage");
        if (!startup || !shutdown_ || !createBitmap || !saveImage || !disposeImage) {
            problem_ = L"the system's image encoder (gdiplus.dll) lacks the functions a picture needs";
            return;
        }
        const GdiplusStartupInput input;
        if (const int status = startup(&token_, &input, nullptr)) problem_ = EncoderFailed(L"start", status);
    }
    Gdiplus(const Gdiplus&) = delete;
    Gdiplus& operator=(const Gdiplus&) = delete;
    ~Gdiplus() {
        if (token_) shutdown_(token_);
    }
    const std::wstring& Problem() const { return problem_; }

    CreateBitmapFromScan0Fn createBitmap = nullptr;
    SaveImageToFileFn saveImage = nullptr;
    DisposeImageFn disposeImage = nullptr;

private:
    LoadedLibrary module_;  // unloaded after the shutdown
    GdiplusShutdownFn shutdown_ = nullptr;
    ULONG_PTR token_ = 0;
    std::wstring problem_;
};

// A GDI+ image, disposed of at the end of its scope.
class GdiplusImage {
public:
    GdiplusImage(const Gdiplus& gdiplus, void* image) : gdiplus_(gdiplus), image_(image) {}
    GdiplusImage(const GdiplusImage&) = delete;
    GdiplusImage& operator=(const GdiplusImage&) = delete;
    ~GdiplusImage() {
        if (image_) gdiplus_.disposeImage(image_);
    }

private:
    const Gdiplus& gdiplus_;
    void* image_;
};

}  // namespace

std::wstring SavePngPicture(const std::wstring& path, int width, int height,
                            const std::function<void(HDC, const RECT&)>& draw) {
    // Top-down rows of blue, green, red and alpha bytes: GDI+'s 32bppARGB.
    BITMAPINFO info = TopDown32BitInfo(width, height);
    void* bits = nullptr;
    GdiObject bitmap(Api(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
    MemoryDc dc(Api(::CreateCompatibleDC(nullptr)));
    if (!bitmap || !bits || !dc) return SystemErrorText(static_cast<DWORD>(LastSystemError()));
    {
        SelectScope drawOn(dc.Get(), bitmap.Get());
        const RECT area{0, 0, width, height};
        Api(::FillRect(dc.Get(), &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))));
        draw(dc.Get(), area);
        Api(::GdiFlush());
    }
    // GDI leaves the alpha bytes as it found them: the picture is opaque.
    auto* pixel = static_cast<BYTE*>(bits);
    for (std::size_t i = 0, n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height); i < n; ++i)
        pixel[4 * i + 3] = 0xFF;

    Gdiplus gdiplus;
    if (!gdiplus.Problem().empty()) return gdiplus.Problem();
    void* image = nullptr;
    if (const int status = gdiplus.createBitmap(width, height, width * 4, kPixelFormat32bppArgb, pixel, &image))
        return EncoderFailed(L"take the picture", status);
    const GdiplusImage owned(gdiplus, image);  // before the bits it points into go
    return ReplaceFileWith(path, [&](const std::wstring& temp) {
        const int status = gdiplus.saveImage(image, temp.c_str(), &kPngEncoder, nullptr);
        return status ? EncoderFailed(L"write the PNG file", status) : std::wstring();
    });
}

}  // namespace nl
