#pragma once
// The system's 8-bit code page and conversions between it, UTF-16 wide strings and UTF-8.
//
// The 8-bit code page is the Windows code page that matches the locale's language (from LC_ALL,
// LC_CTYPE or LANG): Windows-1252 unless the language calls for another. Characters the code page
// cannot hold become '?'. Every byte 0..255 converts to a wide character and back unchanged: the
// few bytes a code page leaves undefined stand for the control character of the same value.

#include <string>
#include <string_view>

#include "platform/runtime/Types.h"

// Windows code page numbers the conversions know.
enum class TCodePage : int {
    cp874 = 874,   // Thai
    cp1250 = 1250, // Central European
    cp1251 = 1251, // Cyrillic
    cp1252 = 1252, // Western European (the default)
    cp1253 = 1253, // Greek
    cp1254 = 1254, // Turkish
    cp1255 = 1255, // Hebrew
    cp1256 = 1256, // Arabic
    cp1257 = 1257, // Baltic
    cp1258 = 1258, // Vietnamese
};

// The process's 8-bit code page. Chosen once from the locale unless set explicitly.
TCodePage SystemCodePage();
// Replaces the process's 8-bit code page (tests, or a program that knows better than the locale).
void SetSystemCodePage(TCodePage codePage);
// The code page Windows uses for a locale name such as "ru_RU.UTF-8", "de", "C" or "" (cp1252).
TCodePage CodePageForLocale(std::string_view localeName);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view text);

// 8-bit text in the given (default: system) code page to and from wide text.
WideString AnsiToWide(std::string_view text);
WideString AnsiToWide(std::string_view text, TCodePage codePage);
AnsiString WideToAnsi(std::u16string_view text);
AnsiString WideToAnsi(std::u16string_view text, TCodePage codePage);

// UTF-8 to and from wide text. Malformed UTF-8 sequences and unpaired surrogates become U+FFFD.
WideString Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::u16string_view text);

// UTF-8 to and from 8-bit text in the given (default: system) code page.
AnsiString Utf8ToAnsi(std::string_view text);
AnsiString Utf8ToAnsi(std::string_view text, TCodePage codePage);
// As Utf8ToAnsi and WideToAnsi in the system code page, but false when a character has no byte in
// it (or the text is malformed), where those would put '?': for text such as a key, which a
// replaced character would silently change. out holds the conversion either way.
bool Utf8ToAnsiExact(std::string_view text, AnsiString& out);
bool WideToAnsiExact(std::u16string_view text, AnsiString& out);

std::string AnsiToUtf8(std::string_view text);
std::string AnsiToUtf8(std::string_view text, TCodePage codePage);
