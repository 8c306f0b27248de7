// Prints the digests Orvendal.exe shows for a file named on its command line, one line per
// ticked algorithm in orvendal-cli's form "TAG (FILE) = digest", so that a script can check the
// dialog against independent implementations on inputs too large to keep in a test (5 GiB).
//
// Usage: dialog_digests ALGORITHMS FILE
//   ALGORITHMS  command names separated by commas (md5,sha1,...): the ticks stored before start
//   FILE        passed to the program as it is, from this program's current directory
// Exit status 0 when the dialog showed a result for every ticked algorithm and closed normally.
// The program's stored settings are removed before and after.
#include <cstdio>
#include <string>

#include "dialog_fixture.h"

using namespace e2e;

namespace {

constexpr DWORD CalculationTimeoutMs = 15 * 60 * 1000;

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) {
        narrow += c < 0x80 ? char(c) : '?';
    }
    return narrow;
}

int Fail(const char* message) {
    std::fprintf(stderr, "dialog_digests: %s\n", message);
    RegDeleteTreeW(HKEY_CURRENT_USER, ProductKey);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: dialog_digests ALGORITHMS FILE\n");
        return 2;
    }
    std::wstring ticks(size_t(hashlib::AlgorithmCount) + 1, L'0');  // HMAC first, then each algorithm
    std::string names = std::string(argv[1]) + ",";
    for (size_t start = 0, comma; (comma = names.find(',', start)) != std::string::npos; start = comma + 1) {
        const std::string name = names.substr(start, comma - start);
        const int found = hashlib::FindAlgorithmByCommandName(name);
        if (found < 0) {
            std::fprintf(stderr, "dialog_digests: unknown algorithm '%s'\n", name.c_str());
            return 2;
        }
        ticks[size_t(found) + 1] = L'1';
    }

    RegDeleteTreeW(HKEY_CURRENT_USER, ProductKey);
    SetStringValue(SettingsKey, L"CheckBoxes", ticks);
    const std::wstring file = Widen(argv[2]);
    ProgramUnderTest program(ProgramPath(), Quoted(file), L"");
    if (!program.started()) {
        return Fail("the program did not start");
    }
    const HWND dialog = program.WaitForDialog(CalculationTimeoutMs);
    if (dialog == nullptr) {
        return Fail("the dialog did not appear");
    }
    // Where the window shows before its initialisation ends (Wine drawing its own frames), the
    // dialog answers only once the calculation is over.
    // A plain wait: a send that gives up on a "hung" window would give up on a busy one.
    const bool answered = WaitUntil(
        [&] {
            DWORD_PTR result = 0;
            return SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0 ||
                   WaitForSingleObject(program.process(), 0) != WAIT_TIMEOUT;
        },
        CalculationTimeoutMs);
    if (!answered || !IsWindow(dialog)) {
        return Fail("the dialog did not finish its calculation");
    }
    if (program.FindOwnedDialog(dialog) != nullptr) {
        return Fail("the program showed a message instead of results");
    }

    std::string lines;
    bool complete = true;
    for (int id = 0; id < hashlib::AlgorithmCount; ++id) {
        if (ticks[size_t(id) + 1] != L'1') {
            continue;
        }
        const std::wstring shown = TextOf(GetDlgItem(dialog, Rows[id].result));
        complete = complete && !shown.empty();
        lines +=
            std::string(hashlib::Algorithms[id].tag_name) + " (" + argv[2] + ") = " + Narrow(shown) + "\n";
    }
    std::fputs(lines.c_str(), stdout);

    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    const std::optional<DWORD> code = program.WaitForExit();
    RegDeleteTreeW(HKEY_CURRENT_USER, ProductKey);
    if (!complete) {
        return Fail("a ticked algorithm showed no result");
    }
    if (!code.has_value() || *code != 0) {
        return Fail("the program did not end normally after Close");
    }
    return 0;
}
