#pragma once
// Shared helpers of the runtime tests: fixed format settings, message capture, a temp folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/SysUtils.h"

// Day-month-year with dots, 24-hour clock, comma decimals: nothing in it matches the defaults.
inline TFormatSettings GermanSettings() {
    TFormatSettings fs = TFormatSettings::Invariant();
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
    fs.DateSeparator = u'.';
    fs.ShortDateFormat = u"dd/mm/yyyy";
    fs.LongTimeFormat = u"hh:nn:ss";
    fs.TrueBoolStrs = {u"Wahr", u"Ja"};
    fs.FalseBoolStrs = {u"Falsch", u"Nein"};
    return fs;
}

// The message of the exception of type E that the call raises ("" when none is raised).
template <typename E> std::string MessageOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

inline std::string U8(const WideString& s) {
    return WideToUtf8(s);
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder() {
        std::string templ = (std::filesystem::temp_directory_path() / "quillmar-runtime-XXXXXX").string();
        char* made = mkdtemp(templ.data());
        if (made) FPath = made;
    }
    ~TempFolder() {
        std::error_code ec;
        if (!FPath.empty()) std::filesystem::remove_all(FPath, ec);
    }
    const std::string& Path() const { return FPath; }
    std::string File(const std::string& name) const { return FPath + "/" + name; }

private:
    std::string FPath;
};
