// Prints the digests Orvendal.exe shows for a file named on its command line, one line per
// ticked algorithm in orvendal-cli's form "TAG (FILE) = digest", so that a script can check the
// dialog against independent implementations on inputs too large to keep in a test (5 GiB), and
// time the dialog's Calculate (bench/run.sh).
//
// Usage: dialog_digests [--one-core] [--time] ALGORITHMS FILE
//   --one-core  the program may run on one core only (its affinity), where it feeds the
//               algorithms in turn on one thread
//   --time      FILE is typed into the data edit rather than given on the command line, and
//               Calculate is timed: a last line "seconds: S" gives how long it took
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
    bool one_core = false;
    bool timed = false;
    int first = 1;
    for (; first < argc && argv[first][0] == '-'; ++first) {
        const std::string option = argv[first];
        if (option == "--one-core") {
            one_core = true;
        } else if (option == "--time") {
            timed = true;
        } else {
            first = argc;  // a usage error
        }
    }
    if (argc - first != 2) {
        std::fprintf(stderr, "usage: dialog_digests [--one-core] [--time] ALGORITHMS FILE\n");
        return 2;
    }
    const char* const algorithms = argv[first];
    const char* const file_name = argv[first + 1];
    std::wstring ticks(ui::DialogRowCount + 1, L'0');  // HMAC first, then each row
    std::string names = std::string(algorithms) + ",";
    for (size_t start = 0, comma; (comma = names.find(',', start)) != std::string::npos; start = comma + 1) {
        const std::string name = names.substr(start, comma - start);
        const int row = ui::DialogRowOf(hashlib::FindAlgorithmByCommandName(name));
        if (row < 0) {
            std::fprintf(stderr, "dialog_digests: the dialog offers no algorithm '%s'\n", name.c_str());
            return 2;
        }
        ticks[size_t(row) + 1] = L'1';
    }

    DWORD_PTR affinity = 0;
    if (one_core) {
        DWORD_PTR system = 0;
        GetProcessAffinityMask(GetCurrentProcess(), &affinity, &system);
        affinity &= ~affinity + 1;  // the lowest core
    }

    RegDeleteTreeW(HKEY_CURRENT_USER, ProductKey);
    SetStringValue(SettingsKey, L"CheckBoxes", ticks);
    const std::wstring file = Widen(file_name);
    ProgramUnderTest program(ProgramPath(), timed ? L"" : Quoted(file), L"", affinity);
    if (!program.started()) {
        return Fail("the program did not start");
    }
    const HWND dialog = program.WaitForDialog(CalculationTimeoutMs);
    if (dialog == nullptr) {
        return Fail("the dialog did not appear");
    }
    // The file on the command line is being calculated in the background as the window shows.
    if (!WaitForCalculationEnd(dialog, CalculationTimeoutMs)) {
        return Fail("the dialog did not finish its calculation");
    }
    double seconds = 0;
    if (timed) {
        // File is the first data format, the one shown without stored settings.
        SetTextOf(GetDlgItem(dialog, DataEdit), file);
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        // Looked at every 2 ms: the end is seen within a few milliseconds of the calculation's.
        const bool calculated =
            TrySend(dialog, WM_COMMAND, IDOK, 0) && WaitForCalculationEnd(dialog, CalculationTimeoutMs, 2);
        QueryPerformanceCounter(&end);
        if (!calculated) {
            return Fail("the dialog did not finish its calculation");
        }
        seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    }
    if (program.FindOwnedDialog(dialog) != nullptr) {
        return Fail("the program showed a message instead of results");
    }

    std::string lines;
    bool complete = true;
    for (size_t row = 0; row < Rows.size(); ++row) {
        if (ticks[row + 1] != L'1') {
            continue;
        }
        const std::wstring shown = TextOf(GetDlgItem(dialog, Rows[row].result));
        complete = complete && !shown.empty();
        lines += std::string(hashlib::Algorithms[size_t(Rows[row].algorithm)].tag_name) + " (" + file_name +
                 ") = " + Narrow(shown) + "\n";
    }
    std::fputs(lines.c_str(), stdout);
    if (timed) {
        std::printf("seconds: %.6f\n", seconds);
    }

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
