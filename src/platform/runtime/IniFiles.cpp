#include "platform/runtime/IniFiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SafeFileStream.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

namespace {

// Shortest text that reads back as the same double, in the invariant form.
WideString FloatText(double value) {
    static const TFormatSettings invariant = TFormatSettings::Invariant();
    for (int precision = 15; precision <= 17; ++precision) {
        WideString text = FloatToStrF(value, ffGeneral, precision, 0, invariant);
        double back;
        if (TryStrToFloat(text, back, invariant) && back == value) return text;
    }
    return FloatToStrF(value, ffGeneral, 17, 0, invariant);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TCustomIniFile

bool TCustomIniFile::SectionExists(const WideString& Section) {
    TStringList idents;
    ReadSection(Section, idents);
    return idents.GetCount() > 0;
}

bool TCustomIniFile::ValueExists(const WideString& Section, const WideString& Ident) {
    TStringList idents;
    ReadSection(Section, idents);
    return idents.IndexOf(Ident) >= 0;
}

int32_t TCustomIniFile::ReadInteger(const WideString& Section, const WideString& Ident, int32_t Default) {
    WideString s = Trim(ReadString(Section, Ident, WideString()));
    return s.empty() ? Default : StrToIntDef(s, Default);
}

void TCustomIniFile::WriteInteger(const WideString& Section, const WideString& Ident, int32_t Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const WideString& Section, const WideString& Ident, bool Default) {
    WideString s = Trim(ReadString(Section, Ident, WideString()));
    if (s.empty()) return Default;
    int32_t n;
    if (TryStrToInt(s, n)) return n != 0;
    bool b;
    return TryStrToBool(s, b) ? b : Default;
}

void TCustomIniFile::WriteBool(const WideString& Section, const WideString& Ident, bool Value) {
    WriteString(Section, Ident, Value ? u"1" : u"0");
}

double TCustomIniFile::ReadFloat(const WideString& Section, const WideString& Ident, double Default) {
    WideString s = Trim(ReadString(Section, Ident, WideString()));
    double v;
    return !s.empty() && TryStrToFloat(s, v, TFormatSettings::Invariant()) ? v : Default;
}

void TCustomIniFile::WriteFloat(const WideString& Section, const WideString& Ident, double Value) {
    WriteString(Section, Ident, FloatText(Value));
}

AnsiString TCustomIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident,
                                      const AnsiString& Default) {
    return WideToAnsi(ReadString(AnsiToWide(Section), AnsiToWide(Ident), AnsiToWide(Default)));
}
void TCustomIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident,
                                 const AnsiString& Value) {
    WriteString(AnsiToWide(Section), AnsiToWide(Ident), AnsiToWide(Value));
}
int32_t TCustomIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int32_t Default) {
    return ReadInteger(AnsiToWide(Section), AnsiToWide(Ident), Default);
}
void TCustomIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int32_t Value) {
    WriteInteger(AnsiToWide(Section), AnsiToWide(Ident), Value);
}
bool TCustomIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
    return ReadBool(AnsiToWide(Section), AnsiToWide(Ident), Default);
}
void TCustomIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
    WriteBool(AnsiToWide(Section), AnsiToWide(Ident), Value);
}
void TCustomIniFile::EraseSection(const AnsiString& Section) {
    EraseSection(AnsiToWide(Section));
}
bool TCustomIniFile::SectionExists(const AnsiString& Section) {
    return SectionExists(AnsiToWide(Section));
}
bool TCustomIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) {
    return ValueExists(AnsiToWide(Section), AnsiToWide(Ident));
}

// ---------------------------------------------------------------------------------------------
// TMemIniFile

// Names compare ignoring case; the indexes hold them folded.
namespace {
WideString Folded(const WideString& s) {
    return AnsiLowerCase(AnsiUpperCase(s));
}
} // namespace

struct TMemIniFile::Impl {
    struct Line {
        bool IsValue = false;
        WideString Name;  // the ident of a value line
        WideString Value; // the value, or the whole text of another line
    };
    struct Section {
        WideString Name;
        std::vector<Line> Lines;
        std::unordered_map<WideString, size_t> Index; // folded ident -> line

        Line* FindValue(const WideString& ident) {
            auto it = Index.find(Folded(ident));
            return it == Index.end() ? nullptr : &Lines[it->second];
        }
        void Add(const Line& line) {
            if (line.IsValue) Index.emplace(Folded(line.Name), Lines.size());
            Lines.push_back(line);
        }
        bool Delete(const WideString& ident) {
            auto it = Index.find(Folded(ident));
            if (it == Index.end()) return false;
            Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(it->second));
            Index.clear();
            for (size_t i = 0; i < Lines.size(); ++i)
                if (Lines[i].IsValue) Index.emplace(Folded(Lines[i].Name), i);
            return true;
        }
    };
    std::vector<Line> Preamble; // lines before the first section
    std::vector<Section> Sections;
    std::unordered_map<WideString, size_t> Index; // folded section name -> section

    Section* Find(const WideString& name) {
        auto it = Index.find(Folded(name));
        return it == Index.end() ? nullptr : &Sections[it->second];
    }
    Section& Ensure(const WideString& name) {
        if (Section* s = Find(name)) return *s;
        Index.emplace(Folded(name), Sections.size());
        Sections.push_back({name, {}, {}});
        return Sections.back();
    }
    bool Erase(const WideString& name) {
        auto it = Index.find(Folded(name));
        if (it == Index.end()) return false;
        Sections.erase(Sections.begin() + static_cast<std::ptrdiff_t>(it->second));
        Index.clear();
        for (size_t i = 0; i < Sections.size(); ++i)
            Index.emplace(Folded(Sections[i].Name), i);
        return true;
    }
    void Clear() {
        Preamble.clear();
        Sections.clear();
        Index.clear();
    }

    void Parse(const WideString& text) {
        Clear();
        Section* current = nullptr;
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = pos;
            while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
                ++end;
            WideString s = Trim(text.substr(pos, end - pos));
            pos = end;
            if (pos < text.size() && text[pos] == u'\r') ++pos;
            if (pos < text.size() && text[pos] == u'\n') ++pos;
            if (s.empty()) continue;
            if (s.front() == u'[' && s.back() == u']') {
                // A section named twice continues the first one.
                current = &Ensure(Trim(s.substr(1, s.size() - 2)));
                continue;
            }
            Line line;
            size_t eq = s.find(u'=');
            if (s.front() != u';' && eq != WideString::npos) {
                line.IsValue = true;
                line.Name = Trim(s.substr(0, eq));
                WideString value = Trim(s.substr(eq + 1));
                // Quotes guard blanks at the ends of a value.
                if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
                    value = value.substr(1, value.size() - 2);
                line.Value = value;
            } else {
                line.Value = s;
            }
            if (!current) {
                Preamble.push_back(line);
                continue;
            }
            // A repeated ident in one section: the first one counts, as readers of the format expect.
            if (line.IsValue && current->FindValue(line.Name)) continue;
            current->Add(line);
        }
    }

    static WideString LineText(const Line& l) {
        if (!l.IsValue) return l.Value;
        const WideString& v = l.Value;
        bool guard =
            !v.empty() && (v.front() <= u' ' || v.back() <= u' ' || (v.front() == u'"' && v.back() == u'"'));
        return l.Name + u"=" + (guard ? u"\"" + v + u"\"" : v);
    }

    template <typename F> void ForEachLine(F&& emit) const {
        for (const auto& l : Preamble)
            emit(LineText(l));
        for (size_t i = 0; i < Sections.size(); ++i) {
            if (i > 0 || !Preamble.empty()) emit(WideString());
            emit(u"[" + Sections[i].Name + u"]");
            for (const auto& l : Sections[i].Lines)
                emit(LineText(l));
        }
    }

    void ToLines(TStrings& out) const {
        out.BeginUpdate();
        out.Clear();
        ForEachLine([&](const WideString& line) { out.Add(line); });
        out.EndUpdate();
    }

    // The file's bytes: UTF-8 lines ending in CR LF.
    std::string ToUtf8() const {
        std::string bytes;
        ForEachLine([&](const WideString& line) {
            bytes += WideToUtf8(line);
            bytes += "\r\n";
        });
        return bytes;
    }
};

TMemIniFile::TMemIniFile(const std::string& FileName)
    : TCustomIniFile(FileName), FImpl(std::make_unique<Impl>()) {
    LoadValues();
}

TMemIniFile::~TMemIniFile() = default;

namespace {
// INI files of this process with changes not yet written.
std::vector<TIniFile*>& PendingFiles() {
    static std::vector<TIniFile*> files;
    return files;
}
} // namespace

void TMemIniFile::LoadValues() {
    // Changes another object of this process holds for the file go there first.
    for (TIniFile* pending : std::vector<TIniFile*>(PendingFiles())) {
        if (pending == this || !pending->FModified || pending->GetFileName() != GetFileName()) continue;
        try {
            pending->UpdateFile();
        } catch (const Exception&) {
            // The reader sees the file as it is; the writer reports the failure on its own update.
        }
    }
    FImpl->Clear();
    const std::string& name = GetFileName();
    struct stat st;
    if (name.empty() || ::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    TFileStream stream(name, fmOpenRead | fmShareDenyWrite);
    FImpl->Parse(ReadText(stream, teDefault));
    FModified = false;
}

WideString TMemIniFile::ReadString(const WideString& Section, const WideString& Ident,
                                   const WideString& Default) {
    Impl::Section* s = FImpl->Find(Section);
    if (!s) return Default;
    Impl::Line* l = s->FindValue(Ident);
    return l ? l->Value : Default;
}

void TMemIniFile::WriteString(const WideString& Section, const WideString& Ident, const WideString& Value) {
    Impl::Section& s = FImpl->Ensure(Section);
    if (Impl::Line* l = s.FindValue(Ident))
        l->Value = Value;
    else
        s.Add({true, Ident, Value});
    FModified = true;
}

void TMemIniFile::ReadSection(const WideString& Section, TStrings& Strings) {
    Strings.BeginUpdate();
    Strings.Clear();
    if (Impl::Section* s = FImpl->Find(Section))
        for (const auto& l : s->Lines)
            if (l.IsValue) Strings.Add(l.Name);
    Strings.EndUpdate();
}

void TMemIniFile::ReadSections(TStrings& Strings) {
    Strings.BeginUpdate();
    Strings.Clear();
    for (const auto& s : FImpl->Sections)
        Strings.Add(s.Name);
    Strings.EndUpdate();
}

void TMemIniFile::ReadSectionValues(const WideString& Section, TStrings& Strings) {
    Strings.BeginUpdate();
    Strings.Clear();
    if (Impl::Section* s = FImpl->Find(Section))
        for (const auto& l : s->Lines)
            if (l.IsValue) Strings.Add(l.Name + u"=" + l.Value);
    Strings.EndUpdate();
}

void TMemIniFile::EraseSection(const WideString& Section) {
    if (FImpl->Erase(Section)) FModified = true;
}

void TMemIniFile::DeleteKey(const WideString& Section, const WideString& Ident) {
    Impl::Section* s = FImpl->Find(Section);
    if (s && s->Delete(Ident)) FModified = true;
}

bool TMemIniFile::SectionExists(const WideString& Section) {
    return FImpl->Find(Section) != nullptr;
}

bool TMemIniFile::ValueExists(const WideString& Section, const WideString& Ident) {
    Impl::Section* s = FImpl->Find(Section);
    return s && s->FindValue(Ident);
}

void TMemIniFile::UpdateFile() {
    std::string bytes = FImpl->ToUtf8();
    try {
        // Beside the file and renamed over it when whole: a full disk leaves the old file as it was.
        TSafeFileStream stream(GetFileName());
        stream.WriteAnsiString(bytes);
        stream.Commit();
    } catch (const EStreamError&) {
        throw EIniFileException(Format(SIniFileWriteError, {GetFileName()}));
    }
    FModified = false;
}

void TMemIniFile::GetStrings(TStrings& List) {
    FImpl->ToLines(List);
}

void TMemIniFile::SetStrings(const TStrings& List) {
    FImpl->Parse(List.GetText());
    FModified = true;
}

void TMemIniFile::Clear() {
    FImpl->Clear();
    FModified = true;
}

void TMemIniFile::Rename(const std::string& FileName, bool Reload) {
    SetFileName(FileName);
    if (Reload) LoadValues();
}

// ---------------------------------------------------------------------------------------------
// TIniFile

TIniFile::TIniFile(const std::string& FileName) : TMemIniFile(FileName) {
    PendingFiles().push_back(this);
}

TIniFile::~TIniFile() {
    if (FModified) {
        try {
            TMemIniFile::UpdateFile();
        } catch (const Exception&) {
            // Nothing can report it from here; UpdateFile does.
        }
    }
    auto& files = PendingFiles();
    files.erase(std::remove(files.begin(), files.end(), this), files.end());
}

void TIniFile::UpdateFile() {
    TMemIniFile::UpdateFile();
}
