// ASCII character rules shared by everything that reads hex digits, names or white space, for
// narrow and wide text alike. Only ASCII is ever folded or classified: a byte of a UTF-8 or
// code-page sequence and any other character are left as they are, whatever the locale.
#pragma once

#include <string>
#include <string_view>

namespace hashlib::ascii {

template <typename Char>
constexpr bool IsDigit(Char c) {
    return c >= Char('0') && c <= Char('9');
}

template <typename Char>
constexpr bool IsLetter(Char c) {
    return (c >= Char('A') && c <= Char('Z')) || (c >= Char('a') && c <= Char('z'));
}

// 0-9, A-F and a-f.
template <typename Char>
constexpr bool IsHexDigit(Char c) {
    return IsDigit(c) || (c >= Char('A') && c <= Char('F')) || (c >= Char('a') && c <= Char('f'));
}

// The value of a hex digit, or -1 for any other character.
template <typename Char>
constexpr int HexDigitValue(Char c) {
    if (IsDigit(c)) {
        return int(c - Char('0'));
    }
    if (c >= Char('A') && c <= Char('F')) {
        return int(c - Char('A')) + 10;
    }
    if (c >= Char('a') && c <= Char('f')) {
        return int(c - Char('a')) + 10;
    }
    return -1;
}

// Space or tab: what separates the fields of a line.
template <typename Char>
constexpr bool IsBlank(Char c) {
    return c == Char(' ') || c == Char('\t');
}

// Space, tab, line feed, carriage return, vertical tab and form feed.
template <typename Char>
constexpr bool IsWhiteSpace(Char c) {
    return IsBlank(c) || c == Char('\n') || c == Char('\r') || c == Char('\v') || c == Char('\f');
}

template <typename Char>
constexpr Char ToLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? Char(c - Char('A') + Char('a')) : c;
}

namespace detail {

template <typename Char>
constexpr bool EqualsIgnoringCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (ToLower(a[i]) != ToLower(b[i])) {
            return false;
        }
    }
    return true;
}

template <typename Char>
constexpr bool AllHexDigits(std::basic_string_view<Char> text) {
    for (const Char c : text) {
        if (!IsHexDigit(c)) {
            return false;
        }
    }
    return true;
}

template <typename Char>
constexpr std::basic_string_view<Char> Trimmed(std::basic_string_view<Char> text, bool (*trim)(Char)) {
    while (!text.empty() && trim(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && trim(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace detail

// Equal but for the case of ASCII letters.
constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return detail::EqualsIgnoringCase(a, b);
}
constexpr bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return detail::EqualsIgnoringCase(a, b);
}

constexpr bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

constexpr bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// True for the empty text too.
constexpr bool AllHexDigits(std::string_view text) {
    return detail::AllHexDigits(text);
}
constexpr bool AllHexDigits(std::wstring_view text) {
    return detail::AllHexDigits(text);
}

// Without the blanks (space, tab) at either end.
constexpr std::string_view TrimmedBlanks(std::string_view text) {
    return detail::Trimmed(text, &IsBlank<char>);
}

// Without the white space at either end.
constexpr std::string_view TrimmedWhiteSpace(std::string_view text) {
    return detail::Trimmed(text, &IsWhiteSpace<char>);
}
constexpr std::wstring_view TrimmedWhiteSpace(std::wstring_view text) {
    return detail::Trimmed(text, &IsWhiteSpace<wchar_t>);
}

// A copy with ASCII letters in lower case.
inline std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        c = ToLower(c);
    }
    return lowered;
}

}  // namespace hashlib::ascii
