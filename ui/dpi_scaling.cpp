#include "ui/dpi_scaling.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "ui/dpi_math.h"

namespace ui {
namespace {

// DDC_DISABLE_ALL: the dialog manager leaves WM_DPICHANGED and WM_GETDPISCALEDSIZE alone.
constexpr int DialogScalingDisableAll = 0x0001;

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using SetDialogDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);
using LoadIconWithScaleDownFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);

// A function that only later systems have, from a library every window program has loaded
// (the common controls the manifest names, for comctl32.dll); null where it is missing.
template <typename Function>
Function LaterSystemFunction(const wchar_t* library, const char* name) {
    const HMODULE module = GetModuleHandleW(library);
    if (module == nullptr) {
        return nullptr;
    }
    // Through the generic function type, which every function pointer may be cast to and from.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

uint32_t SystemDpi() {
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return DefaultDpi;
    }
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? uint32_t(dpi) : DefaultDpi;
}

// Where `child` is in the client area of `dialog`. A drop-down list counts with its list
// dropped, which is the height it is sized by; its window is only as high as its field.
Rect ChildRect(HWND dialog, HWND child) {
    RECT bounds;
    GetWindowRect(child, &bounds);
    wchar_t class_name[16] = {};
    RECT dropped;
    if (GetClassNameW(child, class_name, int(std::size(class_name))) > 0 &&
        _wcsicmp(class_name, L"ComboBox") == 0 &&
        SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped))) {
        bounds.bottom = bounds.top + (dropped.bottom - dropped.top);
    }
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&bounds), 2);
    return Rect{bounds.left, bounds.top, bounds.right, bounds.bottom};
}

}  // namespace

uint32_t WindowDpi(HWND window) {
    static const auto get_dpi =
        LaterSystemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    if (get_dpi != nullptr && window != nullptr) {
        if (const UINT dpi = get_dpi(window); dpi != 0) {
            return dpi;
        }
    }
    return SystemDpi();
}

int SystemMetricForDpi(int index, uint32_t dpi) {
    static const auto get_metric =
        LaterSystemFunction<GetSystemMetricsForDpiFunction>(L"user32.dll", "GetSystemMetricsForDpi");
    if (get_metric != nullptr) {
        return get_metric(index, dpi);
    }
    return ScaleForDpi(GetSystemMetrics(index), dpi, SystemDpi());
}

HBITMAP LoadMappedBitmapForDpi(HINSTANCE instance, int base_id, uint32_t dpi, std::span<COLORMAP> colours) {
    return CreateMappedBitmap(instance, ImageVariantId(base_id, dpi), 0, colours.data(), int(colours.size()));
}

HBITMAP LoadBitmapForDpi(HINSTANCE instance, int base_id, uint32_t dpi) {
    return static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(ImageVariantId(base_id, dpi)),
                                           IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

HICON LoadIconForDpi(HINSTANCE instance, int id, int size_metric, uint32_t dpi) {
    const int size = SystemMetricForDpi(size_metric, dpi);
    // The common controls shrink a larger frame smoothly where the icon has none of this size;
    // the plain loader, where they lack that, takes the nearest frame as it is.
    static const auto load_scaled_down =
        LaterSystemFunction<LoadIconWithScaleDownFunction>(L"comctl32.dll", "LoadIconWithScaleDown");
    HICON icon = nullptr;
    if (load_scaled_down != nullptr &&
        SUCCEEDED(load_scaled_down(instance, MAKEINTRESOURCEW(id), size, size, &icon))) {
        return icon;
    }
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

DpiScaling::~DpiScaling() {
    DeleteMadeFonts();
}

void DpiScaling::Record(HWND dialog) {
    DeleteMadeFonts();
    controls_.clear();
    fonts_.clear();
    recorded_dpi_ = dpi_ = WindowDpi(dialog);
    static const auto set_dialog_scaling =
        LaterSystemFunction<SetDialogDpiChangeBehaviorFunction>(L"user32.dll", "SetDialogDpiChangeBehavior");
    if (set_dialog_scaling != nullptr) {
        set_dialog_scaling(dialog, DialogScalingDisableAll, DialogScalingDisableAll);
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RecordedControl control{child, ChildRect(dialog, child), -1};
        if (const auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
            font != nullptr) {
            const auto known = std::find_if(fonts_.begin(), fonts_.end(), [&](const RecordedFont& recorded) {
                return recorded.handle == font;
            });
            if (known != fonts_.end()) {
                control.font = int(known - fonts_.begin());
            } else if (LOGFONTW description; GetObjectW(font, sizeof(description), &description) != 0) {
                control.font = int(fonts_.size());
                fonts_.push_back({font, description});
            }
        }
        controls_.push_back(control);
    }
    made_fonts_.assign(fonts_.size(), nullptr);
    recorded_ = true;
}

void DpiScaling::ScaleControls(HWND dialog, uint32_t dpi) {
    const uint32_t previous_dpi = dpi_;
    dpi_ = dpi;
    std::vector<HFONT> made(fonts_.size(), nullptr);
    if (dpi != recorded_dpi_) {
        for (size_t i = 0; i < fonts_.size(); ++i) {
            LOGFONTW description = fonts_[i].description;
            description.lfHeight = ScaleForDpi(description.lfHeight, dpi, recorded_dpi_);
            description.lfWidth = ScaleForDpi(description.lfWidth, dpi, recorded_dpi_);
            made[i] = CreateFontIndirectW(&description);
        }
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const auto control =
            std::find_if(controls_.begin(), controls_.end(),
                         [&](const RecordedControl& recorded) { return recorded.window == child; });
        Rect rect;
        if (control != controls_.end()) {
            rect = ScaleForDpi(control->rect, dpi, recorded_dpi_);
            if (control->font >= 0) {
                // At the recorded DPI, or when no font could be made: the recorded font itself.
                const HFONT font = made[size_t(control->font)] != nullptr
                                       ? made[size_t(control->font)]
                                       : fonts_[size_t(control->font)].handle;
                // Before the move: a drop-down list sizes its field by its font.
                SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            }
        } else {
            rect = ScaleForDpi(ChildRect(dialog, child), dpi, previous_dpi);
        }
        MoveWindow(child, rect.left, rect.top, rect.Width(), rect.Height(), FALSE);
    }
    // The controls have let go of the fonts made for the previous DPI.
    DeleteMadeFonts();
    made_fonts_ = std::move(made);
}

void DpiScaling::DeleteMadeFonts() {
    for (HFONT& font : made_fonts_) {
        if (font != nullptr) {
            DeleteObject(font);
            font = nullptr;
        }
    }
}

}  // namespace ui
