#include "platform/runtime/IniFiles.h"

#include <sys/stat.h>

#include <cmath>
#include <vector>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/RtlConsts.h"
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

}  // namespace

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

AnsiString TCustomIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
    return WideToAnsi(ReadString(AnsiToWide(Section), AnsiToWide(Ident), AnsiToWide(Default)));
}
void TCustomIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
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
void TCustomIniFile::EraseSection(const AnsiString& Section) { EraseSection(AnsiToWide(Section)); }
bool TCustomIniFile::SectionExists(const AnsiString& Section) { return SectionExists(AnsiToWide(Section)); }
bool TCustomIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) {
    return ValueExists(AnsiToWide(Section), AnsiToWide(Ident));
}

// ---------------------------------------------------------------------------------------------
// TMemIniFile

struct TMemIniFile::Impl {
    struct Line {
        bool IsValue = false;
        WideString Name;   // the ident of a value line
        WideString Value;  // the value, or the whole text of another line
    };
    struct Section {
        WideString Name;
        std::vector<Line> Lines;
    };
    std::vector<Line> Preamble;  // lines before the first section
    std::vector<Section> Sections;

    Section* Find(const WideString& name) {
        for (auto& s : Sections)
            if (AnsiSameText(s.Name, name)) return &s;
        return nullptr;
    }
    static Line* FindValue(Section& s, const WideString& ident) {
        for (auto& l : s.Lines)
            if (l.IsValue && AnsiSameText(l.Name, ident)) return &l;
        return nullptr;
    }

    void Parse(const WideString& text) {
        Preamble.clear();
        Sections.clear();
        TStringList lines;
        lines.SetText(text);
        for (int i = 0; i < lines.GetCount(); ++i) {
            WideString raw = lines.Get(i);
            WideString s = Trim(raw);
            if (s.empty()) continue;
            if (s.front() == u'[' && s.back() == u']') {
                WideString name = Trim(s.substr(1, s.size() - 2));
                if (!Find(name)) Sections.push_back({name, {}});
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
            std::vector<Line>& target = Sections.empty() ? Preamble : Sections.back().Lines;
            // A repeated ident in one section: the first one counts, as readers of the format expect.
            if (line.IsValue && !Sections.empty() && FindValue(Sections.back(), line.Name)) continue;
            target.push_back(line);
        }
    }

    static WideString LineText(const Line& l) {
        if (!l.IsValue) return l.Value;
        WideString v = l.Value;
        bool guard = !v.empty() && (v.front() <= u' ' || v.back() <= u' ' || (v.front() == u'"' && v.back() == u'"'));
        return l.Name + u"=" + (guard ? u"\"" + v + u"\"" : v);
    }

    void ToLines(TStrings& out) const {
        out.BeginUpdate();
        out.Clear();
        for (const auto& l : Preamble) out.Add(LineText(l));
        for (size_t i = 0; i < Sections.size(); ++i) {
            if (i > 0 || !Preamble.empty()) out.Add(WideString());
            out.Add(u"[" + Sections[i].Name + u"]");
            for (const auto& l : Sections[i].Lines) out.Add(LineText(l));
        }
        out.EndUpdate();
    }
};

TMemIniFile::TMemIniFile(const std::string& FileName) : TCustomIniFile(FileName), FImpl(std::make_unique<Impl>()) {
    LoadValues();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::LoadValues() {
    FImpl->Preamble.clear();
    FImpl->Sections.clear();
    const std::string& name = GetFileName();
    struct stat st;
    if (name.empty() || ::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    TFileStream stream(name, fmOpenRead | fmShareDenyWrite);
    FImpl->Parse(ReadText(stream, teDefault));
    FModified = false;
}

WideString TMemIniFile::ReadString(const WideString& Section, const WideString& Ident, const WideString& Default) {
    Impl::Section* s = FImpl->Find(Section);
    if (!s) return Default;
    Impl::Line* l = Impl::FindValue(*s, Ident);
    return l ? l->Value : Default;
}

void TMemIniFile::WriteString(const WideString& Section, const WideString& Ident, const WideString& Value) {
    Impl::Section* s = FImpl->Find(Section);
    if (!s) {
        FImpl->Sections.push_back({Section, {}});
        s = &FImpl->Sections.back();
    }
    if (Impl::Line* l = Impl::FindValue(*s, Ident))
        l->Value = Value;
    else
        s->Lines.push_back({true, Ident, Value});
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
    for (const auto& s : FImpl->Sections) Strings.Add(s.Name);
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
    auto& sections = FImpl->Sections;
    for (auto it = sections.begin(); it != sections.end(); ++it)
        if (AnsiSameText(it->Name, Section)) {
            sections.erase(it);
            FModified = true;
            return;
        }
}

void TMemIniFile::DeleteKey(const WideString& Section, const WideString& Ident) {
    Impl::Section* s = FImpl->Find(Section);
    if (!s) return;
    for (auto it = s->Lines.begin(); it != s->Lines.end(); ++it)
        if (it->IsValue && AnsiSameText(it->Name, Ident)) {
            s->Lines.erase(it);
            FModified = true;
            return;
        }
}

bool TMemIniFile::SectionExists(const WideString& Section) { return FImpl->Find(Section) != nullptr; }

bool TMemIniFile::ValueExists(const WideString& Section, const WideString& Ident) {
    Impl::Section* s = FImpl->Find(Section);
    return s && Impl::FindValue(*s, Ident);
}

void TMemIniFile::UpdateFile() {
    TStringList lines;
    FImpl->ToLines(lines);
    try {
        TFileStream stream(GetFileName(), fmCreate);
        lines.SaveToStream(stream, teUTF8, false);
    } catch (const EStreamError&) {
        throw EIniFileException(Format(SIniFileWriteError, {GetFileName()}));
    }
    FModified = false;
}

void TMemIniFile::GetStrings(TStrings& List) { FImpl->ToLines(List); }

void TMemIniFile::SetStrings(const TStrings& List) {
    FImpl->Parse(List.GetText());
    FModified = true;
}

void TMemIniFile::Clear() {
    FImpl->Preamble.clear();
    FImpl->Sections.clear();
    FModified = true;
}

void TMemIniFile::Rename(const std::string& FileName, bool Reload) {
    SetFileName(FileName);
    if (Reload) LoadValues();
}

// ---------------------------------------------------------------------------------------------
// TIniFile

void TIniFile::WriteString(const WideString& Section, const WideString& Ident, const WideString& Value) {
    TMemIniFile::WriteString(Section, Ident, Value);
    UpdateFile();
}

void TIniFile::EraseSection(const WideString& Section) {
    TMemIniFile::EraseSection(Section);
    UpdateFile();
}

void TIniFile::DeleteKey(const WideString& Section, const WideString& Ident) {
    TMemIniFile::DeleteKey(Section, Ident);
    UpdateFile();
}
