#include "ui/about_dialog_window.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "ui/dialog_window.h"
#include "ui/dpi_scaling.h"
#include "ui/resource.h"

namespace ui {
namespace {

// The banner and the logo are drawn in black, silver and teal; shown, black becomes a deep
// blue and teal a grey, silver stays. The mapping works on the bitmaps' colour tables.
HBITMAP LoadBannerBitmap(HINSTANCE instance, int id, uint32_t dpi) {
    COLORMAP colours[] = {
        {RGB(0, 0, 0), COLORREF(AboutBannerBlue)},
        {RGB(192, 192, 192), RGB(192, 192, 192)},
        {RGB(0, 128, 128), RGB(128, 128, 128)},
    };
    return LoadMappedBitmapForDpi(instance, id, dpi, colours);
}

class AboutDialog final : public DialogWindow {
  public:
    AboutDialog(HINSTANCE instance, const ProgramIdentity& identity)
        : DialogWindow(instance, AboutBoxLinks, identity.product_word), identity_(identity) {}
    ~AboutDialog() override;

    void Run(HWND owner) { RunModal(IDD_ABOUT_BOX, owner); }

  private:
    INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnDpiChanged() override { SetImages(); }

    void OnInitDialog();
    void SetImages();
    void PlaceBannerAndLogo();
    void SetFonts();
    INT_PTR OnControlColour(HDC dc, HWND control, WPARAM wparam, LPARAM lparam);
    void SetFont(int id, HFONT font);

    const ProgramIdentity& identity_;
    HFONT bold_font_ = nullptr;
    HFONT link_font_ = nullptr;
    HBRUSH banner_fill_ = nullptr;
};

AboutDialog::~AboutDialog() {
    // The box and its controls are gone by now.
    for (HGDIOBJ object : {HGDIOBJ(bold_font_), HGDIOBJ(link_font_), HGDIOBJ(banner_fill_)}) {
        if (object != nullptr) {
            DeleteObject(object);
        }
    }
}

INT_PTR AboutDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;  // the default button takes the focus
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
                EndDialog(hwnd(), LOWORD(wparam));
                return TRUE;
            }
            return FALSE;
        case WM_SIZE:  // after a change of DPI
            PlaceBannerAndLogo();
            return FALSE;
        case WM_CTLCOLORSTATIC:
            return OnControlColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam), wparam,
                                   lparam);
        default:
            return FALSE;
    }
}

void AboutDialog::OnInitDialog() {
    SetImages();
    PlaceBannerAndLogo();
    SetFonts();
    SetDlgItemTextW(hwnd(), IDC_ABOUT_PRODUCT, AboutProductLine(identity_).c_str());
    SetDlgItemTextW(hwnd(), IDC_ABOUT_VERSION, AboutVersionLine(identity_).c_str());
    FollowDpiChanges();
}

// The images drawn for the display's scale, again at every change of it. The logo and the
// picture controls take their images' sizes; the banner keeps its own and centres its image.
void AboutDialog::SetImages() {
    SetImage(IDC_ABOUT_BANNER, LoadBannerBitmap(instance(), IDB_ABOUT_BANNER, Dpi()));
    SetImage(IDC_ABOUT_LOGO, LoadBannerBitmap(instance(), IDB_ABOUT_LOGO, Dpi()));
    SetImage(IDC_ABOUT_PICTURE, LoadBitmapForDpi(instance(), IDB_ABOUT_PICTURE, Dpi()));
}

void AboutDialog::PlaceBannerAndLogo() {
    const std::optional<Rect> banner = ControlRect(IDC_ABOUT_BANNER);
    const std::optional<Rect> logo = ControlRect(IDC_ABOUT_LOGO);
    if (!banner || !logo) {
        return;
    }
    RECT window;
    GetWindowRect(hwnd(), &window);
    MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&window), 2);
    const BannerPlacement placement =
        PlaceBanner(Rect{window.left, window.top, window.right, window.bottom}, *banner, *logo);
    const Rect& b = placement.banner;
    const Rect& l = placement.logo;
    SetWindowPos(Item(IDC_ABOUT_BANNER), nullptr, b.left, b.top, b.Width(), b.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The logo lies on the banner: it goes above it, and the banner clips it out when painting.
    SetWindowPos(Item(IDC_ABOUT_LOGO), HWND_TOP, l.left, l.top, l.Width(), l.Height(), SWP_NOACTIVATE);
}

void AboutDialog::SetFonts() {
    const auto dialog_font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    LOGFONTW description = {};
    if (dialog_font == nullptr || GetObjectW(dialog_font, sizeof(description), &description) == 0) {
        return;
    }
    description.lfWeight = FW_BOLD;
    bold_font_ = CreateFontIndirectW(&description);
    description.lfWeight = FW_NORMAL;
    description.lfUnderline = TRUE;
    link_font_ = CreateFontIndirectW(&description);
    for (const int id : {IDC_ABOUT_PRODUCT, IDC_ABOUT_VERSION, IDC_ABOUT_TRANSLATOR}) {
        SetFont(id, bold_font_);
    }
    for (const int id : {IDC_ABOUT_ADDRESS, IDC_ABOUT_LIBRARY}) {
        SetFont(id, link_font_);
    }
}

INT_PTR AboutDialog::OnControlColour(HDC dc, HWND control, WPARAM wparam, LPARAM lparam) {
    // The banner's image is centred on it; what it does not cover continues its background.
    if (GetDlgCtrlID(control) == IDC_ABOUT_BANNER) {
        if (banner_fill_ == nullptr) {
            banner_fill_ = CreateSolidBrush(COLORREF(AboutBannerBlue));
        }
        if (banner_fill_ != nullptr) {
            return reinterpret_cast<INT_PTR>(banner_fill_);
        }
    }
    const INT_PTR brush = INT_PTR(DefWindowProcW(hwnd(), WM_CTLCOLORSTATIC, wparam, lparam));
    // Under a scheme with coloured window text, the scheme's colours stay.
    if (GetSysColor(COLOR_WINDOWTEXT) != RGB(0, 0, 0)) {
        return brush;
    }
    if (const std::optional<uint32_t> colour = AboutTextColour(GetDlgCtrlID(control))) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, COLORREF(*colour));
    }
    return brush;
}

void AboutDialog::SetFont(int id, HFONT font) {
    if (font != nullptr) {
        SendDlgItemMessageW(hwnd(), id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

}  // namespace

void RunAboutDialog(HINSTANCE instance, HWND owner, const ProgramIdentity& identity) {
    AboutDialog window(instance, identity);
    window.Run(owner);
}

}  // namespace ui
