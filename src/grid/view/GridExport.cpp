// TNextGrid's delimited text (memory, stream, text file) and XML export and import.

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "grid/model/Columns.h"
#include "grid/view/GridExport.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/SafeFileStream.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Forms.h"

namespace {

// Holds the grid in an update for the scope, so an import repaints once and not per cell.
class TGridUpdate {
public:
    explicit TGridUpdate(TNxCustomGridControl& Grid) : FGrid(Grid) { FGrid.BeginUpdate(); }
    ~TGridUpdate() { FGrid.EndUpdate(); }
    TGridUpdate(const TGridUpdate&) = delete;
    TGridUpdate& operator=(const TGridUpdate&) = delete;

private:
    TNxCustomGridControl& FGrid;
};

// Bytes gathered per row and handed on in large blocks.
constexpr size_t FlushSize = 64 * 1024;

// A cell as 8-bit text with every CR LF written as "%" CR LF.
void AppendMarkedText(AnsiString& Out, const WideString& Text) {
    AnsiString Bytes = WideToAnsi(Text);
    size_t From = 0;
    for (size_t At = Bytes.find("\r\n"); At != AnsiString::npos; At = Bytes.find("\r\n", At + 2)) {
        Out.append(Bytes, From, At - From);
        Out += '%';
        From = At;
    }
    Out.append(Bytes, From, AnsiString::npos);
}

// Writes the delimited text through Sink(const AnsiString&) in blocks.
template <typename TSink> void WriteDelimited(TNextGrid& Grid, char Separator, TSink&& Sink) {
    AnsiString Block(1, Separator);
    const int Rows = Grid.GetRowCount();
    const int Cols = Grid.GetColumns()->Count();
    for (int Row = 0; Row < Rows && Cols > 0; ++Row) {
        for (int Col = 0; Col < Cols; ++Col) {
            const size_t Before = Block.size();
            AppendMarkedText(Block, Grid.GetCells(Col, Row));
            if (Col < Cols - 1) Block += Separator;
            // A last row of one empty cell would be no text at all, and the reader would end
            // before it: a separator after it makes it a field.
            if (Cols == 1 && Row == Rows - 1 && Block.size() == Before) Block += Separator;
        }
        if (Row < Rows - 1) Block += AnsiString{Separator, '\r', '\n'};
        if (Block.size() >= FlushSize) {
            Sink(Block);
            Block.clear();
        }
    }
    if (!Block.empty()) Sink(Block);
}

// The 8-bit code page as a table: every byte is one character. Built per read, so a code page
// changed since the last one is honoured.
std::array<WideChar, 256> AnsiTable() {
    std::string Bytes(256, '\0');
    for (int b = 0; b < 256; ++b)
        Bytes[static_cast<size_t>(b)] = static_cast<char>(b);
    const WideString Chars = AnsiToWide(Bytes);
    std::array<WideChar, 256> Table{};
    for (int b = 0; b < 256; ++b)
        Table[static_cast<size_t>(b)] =
            Chars.size() == 256 ? Chars[static_cast<size_t>(b)] : static_cast<WideChar>(b);
    return Table;
}

// Field becomes the 8-bit text Bytes as characters, with every "%" CR LF back to CR LF.
void UnmarkLineBreaks(WideString& Field, std::string_view Bytes, const std::array<WideChar, 256>& Table) {
    Field.clear();
    auto Append = [&](std::string_view Part) {
        const size_t At = Field.size();
        Field.resize(At + Part.size());
        for (size_t i = 0; i < Part.size(); ++i)
            Field[At + i] = Table[static_cast<unsigned char>(Part[i])];
    };
    size_t From = 0;
    for (size_t At = Bytes.find("%\r\n"); At != std::string_view::npos; At = Bytes.find("%\r\n", From)) {
        Append(Bytes.substr(From, At - From));
        From = At + 1;
    }
    Append(Bytes.substr(From));
}

// How LoadFromTextFile turns the file's bytes into characters.
struct TByteChars {
    static constexpr size_t Width = 1;
    const std::array<WideChar, 256>* Table;
    WideChar At(const unsigned char* P) const { return (*Table)[*P]; }
};
struct TLowFirstUnits {
    static constexpr size_t Width = 2;
    static WideChar At(const unsigned char* P) { return static_cast<WideChar>(P[0] | (P[1] << 8)); }
};
struct THighFirstUnits {
    static constexpr size_t Width = 2;
    static WideChar At(const unsigned char* P) { return static_cast<WideChar>((P[0] << 8) | P[1]); }
};

// Walks the characters of Data[0, Size): runs of plain field text go to Run(First, Last) in one
// piece, each character the reader acts on to Act(Ch). A trailing partial unit is ignored.
template <typename TChars, typename TIsSpecial, typename TRun, typename TAct>
void ScanChars(const unsigned char* Data, size_t Size, const TChars& Chars, TIsSpecial&& IsSpecial,
               TRun&& Run, TAct&& Act) {
    constexpr size_t W = TChars::Width;
    const unsigned char* const End = Data + (Size - Size % W);
    const unsigned char* P = Data;
    while (P < End) {
        const unsigned char* First = P;
        while (P < End && !IsSpecial(Chars.At(P)))
            P += W;
        if (P > First) Run(First, P);
        if (P < End) {
            Act(Chars.At(P));
            P += W;
        }
    }
}

AnsiString ReadWholeFile(const WideString& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    AnsiString Bytes;
    int64_t Size = Stream.GetSize();
    if (Size > 0) {
        Bytes.resize(static_cast<size_t>(Size));
        Stream.ReadBuffer(Bytes.data(), Size);
    }
    return Bytes;
}

void AppendUnits(AnsiString& Out, const WideString& Text, TEncodingKind Encoding) {
    if (Encoding == ekAnsi) {
        // Plain ASCII, the common case, needs no code page lookup.
        const bool Ascii = std::all_of(Text.begin(), Text.end(), [](WideChar Ch) { return Ch < 0x80; });
        if (!Ascii) {
            Out += WideToAnsi(Text);
            return;
        }
        const size_t At = Out.size();
        Out.resize(At + Text.size());
        for (size_t i = 0; i < Text.size(); ++i)
            Out[At + i] = static_cast<char>(Text[i]);
        return;
    }
    const bool BigEndian = Encoding == ekUnicodeBigEndian;
    for (WideChar Ch : Text) {
        char Lo = static_cast<char>(Ch & 0xFF), Hi = static_cast<char>(Ch >> 8);
        Out += BigEndian ? Hi : Lo;
        Out += BigEndian ? Lo : Hi;
    }
}

// An import reads into a fresh store; unless it comes to its end, the rows, selection and view
// go back to what they were, so a value a column cannot take leaves no half-loaded grid.
class TImportScope {
public:
    explicit TImportScope(TNextGrid& Grid) : FGrid(Grid), FAside(Grid.SetRowsAside()) {}
    ~TImportScope() {
        if (!FDone) FGrid.RestoreRows(std::move(FAside));
    }
    TImportScope(const TImportScope&) = delete;
    TImportScope& operator=(const TImportScope&) = delete;
    void Done() { FDone = true; }

private:
    TNextGrid& FGrid;
    TNextGrid::TRowsAside FAside;
    bool FDone = false;
};

// A field with no column to go to fails the import, as storing it into the cell would; the
// message says where the text has it.
[[noreturn]] void FieldPastLastColumn(int Col, int Row, size_t Line) {
    throw Exception("Cell out of bounds (" + std::to_string(Col) + ", " + std::to_string(Row) + "): line " +
                    std::to_string(Line) + " has more fields than the grid has columns");
}

// SetTextStr's reading: replaces all rows by the delimited text (without its leading separator).
void ReadDelimited(TNextGrid& Grid, std::string_view Text, char Separator) {
    TImportScope Import(Grid);
    TGridUpdate Update(Grid);
    Grid.ClearRows();
    const size_t End = Text.size();
    const int Cols = Grid.GetColumns()->Count();
    const std::array<WideChar, 256> Table = AnsiTable();
    WideString Field;
    bool NewRow = true;
    int Col = -1, Row = -1;
    size_t P = 0;
    while (P < End) {
        size_t Stop = std::min(Text.find(Separator, P), End);
        if (NewRow) {
            NewRow = false;
            Grid.AddRow(1);
            ++Row;
            Col = 0;
        } else {
            ++Col;
        }
        if (Col >= Cols)
            FieldPastLastColumn(Col, Row,
                                1 + static_cast<size_t>(std::count(Text.begin(), Text.begin() + P, '\n')));
        UnmarkLineBreaks(Field, Text.substr(P, Stop - P), Table);
        Grid.SetCells(Col, Row, Field);
        P = Stop;
        if (P >= End) break;
        if (Text[P] == Separator) ++P;
        if (P + 1 < End && Text[P] == '\r' && Text[P + 1] == '\n') {
            NewRow = true;
            P += 2;
        }
    }
    Import.Done();
}

void AppendXmlLine(WideString& Out, const WideString& Line) {
    Out += Line;
    Out += u"\r\n";
}

// An ISO-8859-1 document as its declaration says: characters up to U+00FF as their byte, every
// other one as a character reference (the markup itself is ASCII), so nothing turns into another
// character or a "?".
void AppendLatin1(AnsiString& Out, const WideString& Text) {
    for (size_t i = 0; i < Text.size(); ++i) {
        uint32_t Code = Text[i];
        if (Code < 0x100) {
            Out += static_cast<char>(Code);
            continue;
        }
        if (Code >= 0xD800 && Code < 0xDC00 && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 &&
            Text[i + 1] <= 0xDFFF)
            Code = 0x10000 + ((Code - 0xD800) << 10) + (Text[++i] - 0xDC00u);
        Out += "&#" + std::to_string(Code) + ";";
    }
}

} // namespace

namespace GridExport {

AnsiString XmlElementName(const AnsiString& Caption, int Index) {
    // No colon: under the root's default namespace "a:b" would name an undeclared prefix.
    auto IsStart = [](char c) { return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    auto IsName = [&](char c) { return IsStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9'); };
    size_t P = 0;
    if (Caption.size() >= 3 && AnsiSameText(Caption.substr(0, 3), "XML")) P = 3;
    while (P < Caption.size() && !IsStart(Caption[P]))
        ++P;
    AnsiString Name;
    for (; P < Caption.size(); ++P)
        if (IsName(Caption[P])) Name += Caption[P];
    if (Name.empty()) Name = "Column" + std::to_string(Index);
    return Name;
}

// Whether a character (a byte of 8-bit text, or a UTF-16 unit that is no surrogate) may stand in
// an XML document.
bool XmlCanHold(uint32_t c) {
    return c >= 0x20 ? c < 0xFFFE : c == 0x09 || c == 0x0A || c == 0x0D;
}

enum class TEscapeFor { Content, Attribute, Html };

template <typename TString> TString EscapeXml(const TString& Text, TEscapeFor For = TEscapeFor::Content) {
    const bool Attribute = For == TEscapeFor::Attribute;
    using C = typename TString::value_type;
    constexpr bool Wide = sizeof(C) == 2;
    const C Replacement = Wide ? C(0xFFFD) : C('?');
    TString Out;
    Out.reserve(Text.size());
    for (size_t i = 0; i < Text.size(); ++i) {
        const C c = Text[i];
        const uint32_t u = static_cast<std::make_unsigned_t<C>>(c);
        if (Wide && u >= 0xD800 && u <= 0xDFFF) {
            // A pair stays; a surrogate on its own has no character to stand for.
            const bool High = u < 0xDC00;
            const uint32_t Next = i + 1 < Text.size() ? static_cast<std::make_unsigned_t<C>>(Text[i + 1]) : 0;
            if (High && Next >= 0xDC00 && Next <= 0xDFFF) {
                Out += c;
                Out += Text[++i];
            } else {
                Out += Replacement;
            }
            continue;
        }
        if (!XmlCanHold(u)) {
            Out += Replacement;
            continue;
        }
        // A reader turns a raw CR (with an LF after it or not) into LF, so it goes as a reference;
        // in attributes tab and LF too, which would otherwise read back as blanks.
        if (c == C('\r') || (Attribute && (c == C('\t') || c == C('\n')))) {
            const char* Ref = c == C('\t') ? "&#9;" : c == C('\n') ? "&#10;" : "&#13;";
            for (const char* P = Ref; *P; ++P)
                Out += C(*P);
            continue;
        }
        switch (c) {
        case C('&'):
            Out += TString{C('&'), C('a'), C('m'), C('p'), C(';')};
            break;
        case C('<'):
            Out += TString{C('&'), C('l'), C('t'), C(';')};
            break;
        case C('>'):
            Out += TString{C('&'), C('g'), C('t'), C(';')};
            break;
        case C('"'):
            Out += TString{C('&'), C('q'), C('u'), C('o'), C('t'), C(';')};
            break;
        case C('\''):
            if (For == TEscapeFor::Html)
                Out += c;
            else
                Out += TString{C('&'), C('a'), C('p'), C('o'), C('s'), C(';')};
            break;
        default:
            Out += c;
        }
    }
    return Out;
}

AnsiString XmlEscape(const AnsiString& Text) {
    return EscapeXml(Text);
}
WideString XmlEscape(const WideString& Text) {
    return EscapeXml(Text);
}
AnsiString XmlAttributeEscape(const AnsiString& Text) {
    return EscapeXml(Text, TEscapeFor::Attribute);
}
WideString HtmlEscape(const WideString& Text) {
    return EscapeXml(Text, TEscapeFor::Html);
}

AnsiString XmlDateTime(double Value) {
    const TFormatSettings FS = TFormatSettings::Invariant();
    if (Value > 3) {
        WideString Text = FormatDateTime(WideString(u"yyyy-mm-dd hh:nn:ss"), Value, FS);
        size_t Blank = Text.find(u' ');
        if (Blank != WideString::npos) Text[Blank] = u'T';
        return WideToAnsi(Text);
    }
    return WideToAnsi(FormatDateTime(WideString(u"hh:nn:ss"), Value, FS));
}

} // namespace GridExport

void TNextGrid::DoLoadProgress(int ACol, int ARow) {
    if (OnLoadProgress) OnLoadProgress(this, ACol, ARow);
}

AnsiString TNextGrid::GetTextStr(char Separator) {
    AnsiString Text;
    WriteDelimited(*this, Separator, [&](const AnsiString& Block) { Text += Block; });
    return Text;
}

void TNextGrid::SaveToStream(TStream& Stream, char Separator) {
    WriteDelimited(*this, Separator, [&](const AnsiString& Block) {
        Stream.WriteBuffer(Block.data(), static_cast<int64_t>(Block.size()));
    });
}

void TNextGrid::SetTextStr(const AnsiString& Text, char Separator) {
    ReadDelimited(*this, Text, Separator);
}

void TNextGrid::LoadFromStream(TStream& Stream) {
    const int64_t Size = Stream.GetSize();
    if (Size == 1 || Stream.GetPosition() >= Size) return;
    AnsiString Bytes = Stream.ReadAll();
    if (Bytes.empty()) return;
    TGridUpdate Update(*this);
    ReadDelimited(*this, std::string_view(Bytes).substr(1), Bytes[0]);
}

void TNextGrid::SaveToTextFile(const WideString& FileName, WideChar Separator, WideChar LineBreak,
                               TEncodingKind Encoding) {
    TSafeFileStream Stream(FileName);
    AnsiString Block;
    if (Encoding == ekUnicode) Block = "\xFF\xFE";
    if (Encoding == ekUnicodeBigEndian) Block = "\xFE\xFF";
    const int Rows = GetRowCount();
    const int Cols = GetColumns()->Count();
    WideString Field;
    AnsiString SeparatorBytes;
    AppendUnits(SeparatorBytes, WideString(1, Separator), Encoding);
    size_t FirstFieldEnd = 0;
    for (int Row = 0; Row < Rows; ++Row) {
        for (int Col = 0; Col < Cols; ++Col) {
            const WideString Text = GetCells(Col, Row);
            const bool Enclose =
                Text.find(Separator) != WideString::npos || Text.find(u'"') != WideString::npos;
            Field.clear();
            if (Enclose) Field += u'"';
            for (WideChar Ch : Text) {
                if (Ch == u'"')
                    Field += u"\"\"";
                else if (Ch == u'\r')
                    Field += LineBreak;
                else if (Ch != u'\n')
                    Field += Ch;
            }
            if (Enclose) Field += u'"';
            if (Col < Cols - 1) Field += Separator;
            AppendUnits(Block, Field, Encoding);
            if (Row == 0 && Col == 0)
                FirstFieldEnd = Block.size() - (Col < Cols - 1 ? SeparatorBytes.size() : 0);
        }
        // 8-bit text that begins like a byte order mark would read back as 16-bit text: the
        // first field goes in double quotes, which the reader takes off again.
        const auto Byte = [&](size_t i) { return static_cast<unsigned char>(Block[i]); };
        if (Row == 0 && Encoding == ekAnsi && Block.size() > 1 &&
            ((Byte(0) == 0xFF && Byte(1) == 0xFE) || (Byte(0) == 0xFE && Byte(1) == 0xFF))) {
            Block.insert(FirstFieldEnd, 1, '"');
            Block.insert(0, 1, '"');
        }
        AppendUnits(Block, u"\r\n", Encoding);
        if (Block.size() >= FlushSize) {
            Stream.WriteBuffer(Block.data(), static_cast<int64_t>(Block.size()));
            Block.clear();
        }
    }
    Stream.WriteBuffer(Block.data(), static_cast<int64_t>(Block.size()));
    Stream.Commit();
}

void TNextGrid::LoadFromTextFile(const WideString& FileName, WideChar Separator, WideChar LineBreak) {
    // Read whole before touching the rows: a file that cannot be read leaves the grid as it was.
    const AnsiString Bytes = ReadWholeFile(FileName);
    TImportScope Import(*this);
    ClearRows();
    // One repaint at the end instead of one per row and cell.
    std::optional<TGridUpdate> Update(std::in_place, *this);
    // Cells stored per row, for the change events raised once the whole file is in.
    std::vector<int> Stored;
    const auto* Data = reinterpret_cast<const unsigned char*>(Bytes.data());
    const size_t Size = Bytes.size();

    const int Cols = GetColumns()->Count();
    WideString Field;
    int Quotes = 0;
    bool NewRow = true;
    int Col = -1, Row = -1;
    size_t LinesEnded = 0;
    auto EndField = [&](bool LineEnd) {
        Quotes = 0;
        if (NewRow) {
            NewRow = false;
            AddRow(1);
            ++Row;
            Col = -1;
            Stored.push_back(0);
        }
        ++Col;
        if (Col >= Cols) FieldPastLastColumn(Col, Row, LinesEnded + 1);
        SetCells(Col, Row, Field);
        Stored.back() = Col + 1;
        DoLoadProgress(Col, Row);
        Field.clear();
        if (LineEnd) NewRow = true;
    };
    auto IsSpecial = [&](WideChar Ch) {
        return Ch == Separator || Ch == LineBreak || Ch == u'"' || Ch == u'\r' || Ch == u'\n';
    };
    // The rules in the order they are tried, so a separator or line-break character that is also
    // a quote, CR or LF acts as separator or line break.
    auto Act = [&](WideChar Ch) {
        if (Ch == Separator) {
            if (Quotes % 2 == 1)
                Field += Ch;
            else
                EndField(false);
        } else if (Ch == LineBreak) {
            Field += u"\r\n";
        } else if (Ch == u'"') {
            ++Quotes;
            if ((Quotes % 2 == 1 && !Field.empty()) || Quotes == 3) Field += u'"';
        } else if (Ch == u'\n') {
            EndField(true);
        }
        // CR is dropped.
        if (Ch == u'\n') ++LinesEnded;
    };
    auto Scan = [&](const unsigned char* From, size_t Count, const auto& Chars) {
        constexpr size_t W = std::remove_reference_t<decltype(Chars)>::Width;
        ScanChars(
            From, Count, Chars, IsSpecial,
            [&](const unsigned char* First, const unsigned char* Last) {
                const size_t At = Field.size();
                Field.resize(At + static_cast<size_t>(Last - First) / W);
                WideChar* Out = Field.data() + At;
                for (const unsigned char* P = First; P < Last; P += W)
                    *Out++ = Chars.At(P);
            },
            Act);
    };
    if (Size > 1 && Data[0] == 0xFF && Data[1] == 0xFE) {
        Scan(Data + 2, Size - 2, TLowFirstUnits{});
    } else if (Size > 1 && Data[0] == 0xFE && Data[1] == 0xFF) {
        Scan(Data + 2, Size - 2, THighFirstUnits{});
    } else {
        // Bytes are characters of the 8-bit code page the writer used, so 8-bit text reads back as written.
        const std::array<WideChar, 256> Table = AnsiTable();
        Scan(Data, Size, TByteChars{&Table});
    }
    if (!Field.empty()) {
        // A last line without its line end still lands in the next column of the current row.
        if (NewRow) {
            AddRow(1);
            ++Row;
            Col = -1;
            Stored.push_back(0);
        }
        ++Col;
        if (Col >= Cols) FieldPastLastColumn(Col, Row, LinesEnded + 1);
        SetCells(Col, Row, Field);
        Stored.back() = Col + 1;
    }
    Import.Done();
    Update.reset();
    // The cells were written while updating, which holds their OnChange back; the import being
    // all or nothing, each stored cell reports its change now, in the order it was read.
    for (int R = 0; R < static_cast<int>(Stored.size()); ++R)
        for (int C = 0; C < Stored[R]; ++C)
            DoChange(C, R);
}

void TNextGrid::SaveToXMLFile(const WideString& FileName, TUniEncoding Encoding) {
    const int Rows = GetRowCount();
    if (Rows == 0) {
        MessageBox(nullptr, u"Nothing to save", u"Save to XML", MB_OK | MB_ICONWARNING);
        return;
    }
    TSafeFileStream Stream(FileName);
    const int Cols = GetColumns()->Count();
    std::vector<WideString> Names(Cols);
    for (int Col = 0; Col < Cols; ++Col)
        Names[Col] = AnsiToWide(GridExport::XmlElementName(
            WideToAnsi(GetColumns()->GetItem(Col)->GetHeader()->GetCaption()), Col));

    auto Emit = [&](WideString& Text, bool First) {
        AnsiString Bytes;
        switch (Encoding) {
        case enISO_8859_1:
            AppendLatin1(Bytes, Text);
            break;
        case enUTF_16:
            if (First) Bytes = "\xFF\xFE";
            AppendUnits(Bytes, Text, ekUnicode);
            break;
        default:
            Bytes = WideToUtf8(Text);
            break;
        }
        Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
        Text.clear();
    };

    WideString Text;
    static const char16_t* const Declarations[] = {
        u"<?xml version=\"1.0\" ?>", u"<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>",
        u"<?xml version=\"1.0\" encoding=\"utf-16\" ?>", u"<?xml version=\"1.0\" encoding=\"utf-8\" ?>"};
    AppendXmlLine(Text, Declarations[Encoding]);
    AppendXmlLine(Text, u"<NxGrid xmlns=\"urn:" + AnsiToWide(GridExport::XmlAttributeEscape(GetName())) +
                            u"\" createdDate=\"" + AnsiToWide(GridExport::XmlDateTime(Now())) +
                            u"\" totalRows=\"" + AnsiToWide(std::to_string(Rows)) + u"\">");
    Emit(Text, true);
    for (int Row = 0; Row < Rows; ++Row) {
        AppendXmlLine(Text, u"<Row>");
        for (int Col = 0; Col < Cols; ++Col) {
            WideString WideValue;
            if (GetColumns()->GetItem(Col)->GetColumnType() == ctDate) {
                TCellInfo Info;
                GetCellInfo(Col, Row, Info);
                WideValue = AnsiToWide(GridExport::XmlDateTime(Info.AsDateTime));
            } else {
                // Every document keeps every character: the 8-bit one by character references.
                WideValue = GridExport::XmlEscape(GetCells(Col, Row));
            }
            AppendXmlLine(Text, u"  <" + Names[Col] + u">" + WideValue + u"</" + Names[Col] + u">");
        }
        AppendXmlLine(Text, u"</Row>");
        if (Text.size() >= FlushSize) Emit(Text, false);
    }
    AppendXmlLine(Text, u"</NxGrid>");
    Emit(Text, false);
    Stream.Commit();
}
