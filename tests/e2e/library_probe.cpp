// Loads the help viewer's library by its bare name, as a program that trusts the default
// search does, and exits with 0 when something was loaded. It shows that a look-alike placed
// beside a program is picked up that way, so a test that finds no trace of it proves something.
#include <windows.h>

int main() {
    return LoadLibraryW(L"hhctrl.ocx") != nullptr ? 0 : 1;
}
