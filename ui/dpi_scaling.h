// Showing the dialogs sharp and in proportion on every display. The program declares itself
// aware of each monitor's DPI (per-monitor awareness v2, in its manifest), so the system never
// stretches its windows as bitmaps; in return a dialog that moves to a display of another scale
// is told so (WM_DPICHANGED) and must redraw itself for it: new fonts, its controls moved and
// sized, images drawn for the new scale. DpiScaling is the part every dialog shares; the
// arithmetic is dpi_math.*, and DialogWindow (dialog_window.*) runs it. Windows only.
//
// The functions that know a window's own DPI came with later systems (Windows 10); where they
// are missing the system's DPI stands for every window, as the system then has only that one.
#pragma once

#include <windows.h>
// COLORMAP; after the Windows headers.
#include <commctrl.h>

#include <cstdint>
#include <span>
#include <vector>

#include "ui/rect.h"

namespace ui {

// The DPI `window` is shown at.
uint32_t WindowDpi(HWND window);

// The system metric `index` (SM_CXICON and the like) as it is at `dpi`.
int SystemMetricForDpi(int index, uint32_t dpi);

// Bitmap `base_id` (its 100 % resource) as drawn for `dpi` (ImageVariantId), with `colours`
// mapped as CreateMappedBitmap maps them; null when it cannot be loaded.
HBITMAP LoadMappedBitmapForDpi(HINSTANCE instance, int base_id, uint32_t dpi, std::span<COLORMAP> colours);

// Bitmap `base_id` as drawn for `dpi`, as it is; null when it cannot be loaded.
HBITMAP LoadBitmapForDpi(HINSTANCE instance, int base_id, uint32_t dpi);

// Icon `id` in the size of the system metric `size_metric` (SM_CXICON, SM_CXSMICON) at `dpi`,
// from the frame of that size, or else the next larger one shrunk; null when it cannot be loaded.
HICON LoadIconForDpi(HINSTANCE instance, int id, int size_metric, uint32_t dpi);

// A dialog's controls as they were recorded at one DPI, carried to any other: every control's
// rectangle and font are always worked out from the recording, never from the previous DPI, so
// moving the window back and forth accumulates no rounding.
class DpiScaling {
  public:
    DpiScaling() = default;
    // Deletes the fonts it made; the controls that showed them are gone by then.
    ~DpiScaling();
    DpiScaling(const DpiScaling&) = delete;
    DpiScaling& operator=(const DpiScaling&) = delete;

    // Records the dialog's child controls (their rectangles in client coordinates and their
    // fonts) at the dialog's current DPI, and turns off the system's own scaling of the dialog,
    // which would otherwise move the controls as well. Called once, when the controls have their
    // fonts and before the window is moved anywhere.
    void Record(HWND dialog);
    bool recorded() const { return recorded_; }

    // The DPI of the recording, and the one the dialog is shown at now; both 0 until the
    // recording.
    uint32_t recorded_dpi() const { return recorded_dpi_; }
    uint32_t dpi() const { return dpi_; }

    // The first part of following a new DPI: `dpi` becomes the current one, every control gets
    // its recorded font made anew for it (or the recorded one itself at the recorded DPI) and its
    // recorded rectangle scaled to it, without repainting. A control created after the recording
    // keeps its font and has its rectangle scaled from the previous DPI. The dialog's window
    // itself is left where it is.
    void ScaleControls(HWND dialog, uint32_t dpi);

  private:
    struct RecordedControl {
        HWND window;
        Rect rect;
        int font;  // index into fonts_, or -1 for none
    };
    struct RecordedFont {
        HFONT handle;  // the font shown at the recorded DPI; owned by whoever set it
        LOGFONTW description;
    };

    void DeleteMadeFonts();

    bool recorded_ = false;
    uint32_t recorded_dpi_ = 0;
    uint32_t dpi_ = 0;
    std::vector<RecordedControl> controls_;
    std::vector<RecordedFont> fonts_;
    std::vector<HFONT> made_fonts_;  // the recorded fonts made for the current DPI, by index
};

}  // namespace ui
