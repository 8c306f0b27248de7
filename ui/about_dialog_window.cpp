#include "ui/about_dialog_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <iterator>
#include <optional>
#include <string>

#include "ui/resource.h"
#include "ui/web_and_help.h"

namespace ui {
namespace {

// The banner and the logo are drawn in black, silver and teal; shown, black becomes a deep
// blue and teal a grey, silver stays. The mapping works on the bitmaps' colour tables.
HBITMAP LoadBannerBitmap(HINSTANCE instance, int id) {
    COLORMAP colours[] = {
        {RGB(0, 0, 0), COLORREF(AboutBannerBlue)},
        {RGB(192, 192, 192), RGB(192, 192, 192)},
        {RGB(0, 128, 128), RGB(128, 128, 128)},
    };
    return CreateMappedBitmap(instance, id, 0, colours, int(std::size(colours)));
}

class AboutDialog {
  public:
    AboutDialog(HINSTANCE instance, const ProgramIdentity& identity)
        : instance_(instance), identity_(identity) {}
    ~AboutDialog();
    AboutDialog(const AboutDialog&) = delete;
    AboutDialog& operator=(const AboutDialog&) = delete;

    void Run(HWND owner) {
        DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_ABOUT_BOX), owner, DialogProc,
                        reinterpret_cast<LPARAM>(this));
    }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

    void OnInitDialog();
    void SetBannerImages();
    void PlaceBannerAndLogo();
    void SetFonts();
    INT_PTR OnControlColour(HDC dc, HWND control, WPARAM wparam, LPARAM lparam);
    bool OnSetCursor();
    void OnLeftButtonDown(int x, int y);

    std::optional<WebLink> LinkUnder(int x, int y) const;
    std::optional<Rect> ControlRect(int32_t id) const;
    void SetImage(int id, HBITMAP bitmap);
    void SetFont(int id, HFONT font);

    HINSTANCE instance_;
    const ProgramIdentity& identity_;
    HWND hwnd_ = nullptr;
    HBITMAP banner_ = nullptr;
    HBITMAP logo_ = nullptr;
    HFONT bold_font_ = nullptr;
    HFONT link_font_ = nullptr;
    HBRUSH banner_fill_ = nullptr;
};

AboutDialog::~AboutDialog() {
    // The box and its controls are gone by now.
    for (HGDIOBJ object : {HGDIOBJ(banner_), HGDIOBJ(logo_), HGDIOBJ(bold_font_), HGDIOBJ(link_font_),
                           HGDIOBJ(banner_fill_)}) {
        if (object != nullptr) {
            DeleteObject(object);
        }
    }
}

INT_PTR CALLBACK AboutDialog::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<AboutDialog*>(lparam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
        window->hwnd_ = hwnd;
        window->OnInitDialog();
        return TRUE;  // the default button takes the focus
    }
    auto* window = reinterpret_cast<AboutDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return window != nullptr ? window->HandleMessage(message, wparam, lparam) : FALSE;
}

INT_PTR AboutDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
                EndDialog(hwnd_, LOWORD(wparam));
                return TRUE;
            }
            return FALSE;
        case WM_CTLCOLORSTATIC:
            return OnControlColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam), wparam,
                                   lparam);
        case WM_SETCURSOR:
            if (LOWORD(lparam) == HTCLIENT && OnSetCursor()) {
                SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        case WM_LBUTTONDOWN:
            OnLeftButtonDown(short(LOWORD(lparam)), short(HIWORD(lparam)));
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
            hwnd_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void AboutDialog::OnInitDialog() {
    SetBannerImages();
    PlaceBannerAndLogo();
    SetFonts();
    SetDlgItemTextW(hwnd_, IDC_ABOUT_PRODUCT, AboutProductLine(identity_).c_str());
    SetDlgItemTextW(hwnd_, IDC_ABOUT_VERSION, AboutVersionLine(identity_).c_str());
}

void AboutDialog::SetBannerImages() {
    banner_ = LoadBannerBitmap(instance_, IDB_ABOUT_BANNER);
    logo_ = LoadBannerBitmap(instance_, IDB_ABOUT_LOGO);
    SetImage(IDC_ABOUT_BANNER, banner_);
    SetImage(IDC_ABOUT_LOGO, logo_);
}

void AboutDialog::PlaceBannerAndLogo() {
    const std::optional<Rect> banner = ControlRect(IDC_ABOUT_BANNER);
    const std::optional<Rect> logo = ControlRect(IDC_ABOUT_LOGO);
    if (!banner || !logo) {
        return;
    }
    RECT window;
    GetWindowRect(hwnd_, &window);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&window), 2);
    const BannerPlacement placement =
        PlaceBanner(Rect{window.left, window.top, window.right, window.bottom}, *banner, *logo);
    const Rect& b = placement.banner;
    const Rect& l = placement.logo;
    SetWindowPos(GetDlgItem(hwnd_, IDC_ABOUT_BANNER), nullptr, b.left, b.top, b.Width(), b.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The logo lies on the banner: it goes above it, and the banner clips it out when painting.
    SetWindowPos(GetDlgItem(hwnd_, IDC_ABOUT_LOGO), HWND_TOP, l.left, l.top, l.Width(), l.Height(),
                 SWP_NOACTIVATE);
}

void AboutDialog::SetFonts() {
    const auto dialog_font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
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
    const INT_PTR brush = INT_PTR(DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, wparam, lparam));
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

bool AboutDialog::OnSetCursor() {
    return ShowHandCursorOverLink(hwnd_, [this](int x, int y) { return LinkUnder(x, y).has_value(); });
}

void AboutDialog::OnLeftButtonDown(int x, int y) {
    if (const std::optional<WebLink> link = LinkUnder(x, y)) {
        OpenWebPage(link->page_word, identity_.product_word);
    }
}

std::optional<WebLink> AboutDialog::LinkUnder(int x, int y) const {
    return LinkAt(x, y, AboutBoxLinks, [this](int32_t id) { return ControlRect(id); });
}

std::optional<Rect> AboutDialog::ControlRect(int32_t id) const {
    const HWND control = GetDlgItem(hwnd_, id);
    if (control == nullptr) {
        return std::nullopt;
    }
    RECT bounds;
    GetWindowRect(control, &bounds);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&bounds), 2);
    return Rect{bounds.left, bounds.top, bounds.right, bounds.bottom};
}

void AboutDialog::SetImage(int id, HBITMAP bitmap) {
    if (bitmap == nullptr) {
        return;
    }
    // The control hands back the bitmap it loaded from the template; nothing else owns it.
    const auto previous = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageW(hwnd_, id, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous != nullptr && previous != bitmap) {
        DeleteObject(previous);
    }
}

void AboutDialog::SetFont(int id, HFONT font) {
    if (font != nullptr) {
        SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

}  // namespace

void RunAboutDialog(HINSTANCE instance, HWND owner, const ProgramIdentity& identity) {
    AboutDialog window(instance, identity);
    window.Run(owner);
}

void OpenWebPage(std::wstring_view page_word, std::wstring_view product_word) {
    const std::wstring address = BuildWebAddress(page_word, product_word);
    // Shown normally: a browser started with the hidden show command may open no visible window.
    ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace ui
