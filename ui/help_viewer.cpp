#include "ui/help_viewer.h"

#include "ui/system_library.h"

namespace ui {
namespace {

constexpr UINT DisplayTopicCommand = 0x0000;  // HH_DISPLAY_TOPIC

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

HtmlHelpFunction FindHtmlHelp() {
    // Looked up once; the library stays loaded, since the windows it opens live on.
    static const HtmlHelpFunction function = []() -> HtmlHelpFunction {
        const HMODULE viewer = LoadSystemLibrary(L"hhctrl.ocx");
        if (viewer == nullptr) {
            return nullptr;
        }
        // Through the generic function type, which every function pointer may be cast to and from.
        return reinterpret_cast<HtmlHelpFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(viewer, "HtmlHelpW")));
    }();
    return function;
}

}  // namespace

HWND DisplayHelpTopic(const std::wstring& topic) {
    const HtmlHelpFunction html_help = FindHtmlHelp();
    if (html_help == nullptr) {
        return nullptr;
    }
    return html_help(nullptr, topic.c_str(), DisplayTopicCommand, 0);
}

}  // namespace ui
