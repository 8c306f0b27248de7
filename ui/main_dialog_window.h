// The main dialog's window: creates it from the dialog template and turns its messages into
// MainDialog's handlers. Windows only.
#pragma once

#include <windows.h>

#include "ui/about_box.h"
#include "ui/main_dialog.h"
#include "ui/settings_store.h"

namespace ui {

// Shows the main dialog over `dialog` and runs it until it is closed, with its own message
// loop so F1 is seen before the key is dispatched. `program` is named by the About box and the
// web link; `settings` are read when the dialog opens and written when it closes. Returns -1
// when the window could not be created, else 0.
int RunMainDialog(HINSTANCE instance, MainDialog& dialog, const ProgramIdentity& program,
                  const SettingsStore& settings);

}  // namespace ui
