#include "ui/settings_store.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace ui {
namespace {

// A string value of an open registry key; empty when it is absent or not a string.
std::wstring ReadStringValue(HKEY key, const wchar_t* name) {
    for (int attempt = 0; attempt < 3; ++attempt) {  // the value may change between the calls
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return {};
        }
        // Room for a terminator the stored value may lack.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD read = DWORD(buffer.size() * sizeof(wchar_t));
        const LSTATUS status =
            RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return {};
        }
        return std::wstring(buffer.data(), wcsnlen(buffer.data(), read / sizeof(wchar_t)));
    }
    return {};
}

void WriteStringValue(HKEY key, const wchar_t* name, const std::wstring& value) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

std::wstring SettingsStore::SectionPath() const {
    return key_path_ + L'\\' + SettingsSectionName;
}

StoredSettings SettingsStore::Read() const {
    StoredSettings stored;
    HKEY key = nullptr;
    if (key_path_.empty() ||
        RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return stored;
    }
    stored.window_rect = ReadStringValue(key, WindowRectValueName);
    stored.check_boxes = ReadStringValue(key, CheckBoxesValueName);
    stored.combo_boxes = ReadStringValue(key, ComboBoxesValueName);
    RegCloseKey(key);
    return stored;
}

void SettingsStore::Write(const StoredSettings& settings) const {
    HKEY key = nullptr;
    if (key_path_.empty() || RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath().c_str(), 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    WriteStringValue(key, WindowRectValueName, settings.window_rect);
    WriteStringValue(key, CheckBoxesValueName, settings.check_boxes);
    WriteStringValue(key, ComboBoxesValueName, settings.combo_boxes);
    RegCloseKey(key);
}

std::wstring SettingsStore::ReadValue(const wchar_t* name) const {
    HKEY key = nullptr;
    if (key_path_.empty() ||
        RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return {};
    }
    std::wstring value = ReadStringValue(key, name);
    RegCloseKey(key);
    return value;
}

void SettingsStore::WriteValue(const wchar_t* name, const std::wstring& value) const {
    HKEY key = nullptr;
    if (key_path_.empty() || RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath().c_str(), 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    WriteStringValue(key, name, value);
    RegCloseKey(key);
}

}  // namespace ui
