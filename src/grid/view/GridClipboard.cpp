// Copying the selected rows as tab-separated text, the shape spreadsheets paste.
#include "grid/view/NextGrid.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/runtime/LargeMemory.h"
#include "platform/runtime/TwoThreads.h"
#include "platform/windows/Clipboard.h"

namespace {
// A field with a tab, a line break or a quote is quoted, its quotes doubled, so that a paste
// keeps it in one cell. The text between quotes goes in whole, so pairs of units stay together.
void AppendField(TTextBuffer& Out, std::u16string_view Field) {
    if (Out.AppendPlainField(Field)) return;
    Out.Append(u'"');
    for (size_t Quote = Field.find(u'"'); Quote != std::u16string_view::npos; Quote = Field.find(u'"')) {
        Out.Append(Field.substr(0, Quote + 1));
        Out.Append(u'"');
        Field.remove_prefix(Quote + 1);
    }
    Out.Append(Field);
    Out.Append(u'"');
}

// Rows whose text sizes the buffer before the rest is written.
constexpr size_t kSampleRows = 256;
constexpr size_t kMostExpectedBytes = size_t{256} << 20;
// Selections of at least this many rows are written by two threads.
constexpr size_t kParallelRows = size_t{1} << 16;
} // namespace

std::vector<TTextBuffer> TNxCustomGrid::SelectionText() {
    std::vector<int> Columns;
    TNxColumns* All = GetColumns();
    for (int Pos = 0; Pos < All->Count(); ++Pos)
        if (All->GetPositionItem(Pos)->GetVisible()) Columns.push_back(All->GetPositionItem(Pos)->GetIndex());
    std::vector<TTextBuffer> Parts;
    if (Columns.empty()) return Parts;
    TCells* Store = GetCellStore();
    TLargeVector<int> Rows;
    if (IsMultiSelect()) {
        Rows.reserve(static_cast<size_t>(GetSelectedCount()));
        for (int Row = GetNextSelected(0); Row >= 0; Row = GetNextSelected(Row + 1))
            Rows.push_back(Row);
    } else if (GetSelectedRow() >= 0 && GetSelectedRow() < GetRowCount()) {
        Rows.push_back(GetSelectedRow());
    }
    // Each cell's text is made once. The first rows are written into a small buffer that then
    // sizes the whole text from their average, with room to spare; past that the large block
    // grows by moving its pages, never by copying the text. The rows of a sorted grid lie
    // scattered in memory, so the cells of rows a little ahead are fetched while one is written.
    auto WriteRows = [&](TTextBuffer& To, size_t First, size_t Last, auto CellAt) {
        constexpr size_t kCellsAhead = 12, kValuesAhead = 6;
        WideString Field;
        for (size_t r = First; r < Last; ++r) {
            if (r + kCellsAhead < Last) Store->PrefetchRow(Columns, Rows[r + kCellsAhead], false);
            if (r + kValuesAhead < Last) Store->PrefetchRow(Columns, Rows[r + kValuesAhead], true);
            for (size_t i = 0; i < Columns.size(); ++i) {
                if (i > 0) To.Append(u'\t');
                Field.clear();
                CellAt(Columns[i], Rows[r])->AppendAsString(Field);
                AppendField(To, Field);
            }
            To.Append(u"\r\n");
        }
    };
    auto Current = [Store](int Col, int Row) { return Store->GetCell(Col, Row); };
    auto Apart = [Store](int Col, int Row) { return Store->PeekCell(Col, Row); };
    const size_t Sampled = std::min(Rows.size(), kSampleRows);
    TTextBuffer Sample;
    WriteRows(Sample, 0, Sampled, Current);
    if (Sampled == Rows.size()) {
        Parts.push_back(std::move(Sample));
        return Parts;
    }
    // Capped: long first rows must not ask for more address space than the system grants.
    const size_t PerRow = Sample.Size() / Sampled;
    auto Room = [&](size_t Count) { return std::min(PerRow * Count / 4 * 5, kMostExpectedBytes); };
    TTextBuffer Out(Room(Rows.size()));
    Out.Append(Sample);
    if (Rows.size() < kParallelRows || !Store->ReadsApart()) {
        WriteRows(Out, Sampled, Rows.size(), Current);
        Parts.push_back(std::move(Out));
        return Parts;
    }
    // Cells that answer without the current coordinates are read by two threads, each writing
    // half of the rows into its own part; the second part follows the first, never copied after it.
    // Each part is written in its thread's own frame: two buffers side by side, or a buffer beside
    // what the other thread reads, would share a cache line that one thread writes on every field.
    const size_t Middle = Sampled + (Rows.size() - Sampled) / 2;
    TTextBuffer Second;
    OnTwoThreadsRaising(
        [&] {
            TTextBuffer Part = std::move(Out);
            WriteRows(Part, Sampled, Middle, Apart);
            Out = std::move(Part);
        },
        [&] {
            TTextBuffer Part(Room(Rows.size() - Middle));
            WriteRows(Part, Middle, Rows.size(), Apart);
            Second = std::move(Part);
        });
    Parts.push_back(std::move(Out));
    Parts.push_back(std::move(Second));
    return Parts;
}

WideString TNxCustomGrid::GetSelectionText() {
    const std::vector<TTextBuffer> Parts = SelectionText();
    const size_t Units = UnitsOf(Parts);
    // Room on huge pages before it is filled: the text of a million rows is hundreds of megabytes.
    WideString Text;
    Text.reserve(Units);
    AdviseHugePages(Text.data(), Units * sizeof(char16_t));
    Text.resize(Units);
    DecodeParts(Parts, Text.data());
    return Text;
}

void TNxCustomGrid::CopyToClipboard() {
    std::vector<TTextBuffer> Parts = SelectionText();
    if (std::any_of(Parts.begin(), Parts.end(), [](const TTextBuffer& Part) { return !Part.Empty(); }))
        SetClipboardText(std::move(Parts));
}
