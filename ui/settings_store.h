// The main dialog's settings in the registry: the three string values of the settings section
// below the program's key under the current user. What they mean is settings_format.h's and
// the dialog's; this only reads and writes them. Windows only.
#pragma once

#include <string>
#include <utility>

#include "ui/settings_format.h"

namespace ui {

class SettingsStore {
  public:
    // `settings_key_path`: the program's settings key under the current user (the section is a
    // key below it). Empty: nothing is read or written.
    explicit SettingsStore(std::wstring settings_key_path) : key_path_(std::move(settings_key_path)) {}

    // Each value as stored; empty when it, or the section, is absent or not a string.
    StoredSettings Read() const;
    // Creates the section when needed. A failure is ignored: the next run keeps its defaults.
    void Write(const StoredSettings& settings) const;

    // Another string value of the section (the checking window's place), read and written alone:
    // empty when absent or not a string; a failure to write is ignored.
    std::wstring ReadValue(const wchar_t* name) const;
    void WriteValue(const wchar_t* name, const std::wstring& value) const;

  private:
    std::wstring SectionPath() const;

    std::wstring key_path_;
};

}  // namespace ui
