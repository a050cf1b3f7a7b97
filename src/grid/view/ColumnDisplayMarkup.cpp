// Displays with a layout of their own: markup text and the tree column's lines and buttons.

#include "grid/view/ColumnDisplayMarkup.h"

#include <optional>

#include "drawing/SharedCommon.h"
#include "drawing/ThemesSupport.h"
#include "grid/model/TreeColumn.h"

WideString THtmlColumnDisplay::MarkupText() const {
    if (auto* Settings = dynamic_cast<const THtmlColumnSettings*>(GetColumn()))
        return Settings->GetMarkupPrefix() + GetAsString() + Settings->GetMarkupSuffix();
    return GetAsString();
}

void THtmlColumnDisplay::Paint() {
    GetCanvas()->GetBrush()->SetStyle(bsClear);
    NxSharedCommon::ProcessHTML(GetCanvas(), GetCellRect(), MarkupText(), Point(-1, -1), {2, 1}, true);
    GetCanvas()->GetBrush()->SetStyle(bsSolid);
}

int THtmlColumnDisplay::GetContentWidth() {
    return NxSharedCommon::ProcessHTML(GetCanvas(), GetCellRect(), MarkupText(), Point(-1, -1), {2, 1}, false)
        .Width;
}

int THtmlColumnDisplay::GetContentHeight() {
    return NxSharedCommon::ProcessHTML(GetCanvas(), GetCellRect(), MarkupText(), Point(-1, -1), {2, 1}, false)
        .Height;
}

namespace {
class TTreeKindReader : public TTreeColumnSettings {
public:
    explicit TTreeKindReader(const TNxTreeColumn& Column) : C(Column) {}
    bool GetShowButtons() const override { return C.GetShowButtons(); }
    bool GetShowLines() const override { return C.GetShowLines(); }
    TList* GetImages() const override { return C.GetImages(); }

private:
    const TNxTreeColumn& C;
};

const TTreeColumnSettings* TreeSettings(const TNxCustomColumn* Column, std::optional<TTreeKindReader>& Slot) {
    if (auto* Own = dynamic_cast<const TTreeColumnSettings*>(Column)) return Own;
    if (auto* Kind = dynamic_cast<const TNxTreeColumn*>(Column)) return &Slot.emplace(*Kind);
    return nullptr;
}
} // namespace

TRect TTreeColumnDisplay::GetButtonRect() const {
    std::optional<TTreeKindReader> Reader;
    auto* Settings = TreeSettings(GetColumn(), Reader);
    const TTreeRowData& Row = GetTreeRowData();
    if (!Settings || !Settings->GetShowButtons() || Row.ChildCount == 0) return {};
    const TRect& R = GetCellRect();
    return TreeExpandButtonRect(R.Left, R.Top, R.Height(), Row.Level);
}

void TTreeColumnDisplay::DrawLines(const TTreeColumnSettings& Settings) {
    if (!Settings.GetShowLines()) return;
    TCanvas* Canvas = GetCanvas();
    const TTreeRowData& Row = GetTreeRowData();
    const TRect& R = GetCellRect();
    // Through the middle of the button.
    const int X = R.Left + Row.Level * LevelIndent + 6;
    const int MidY = R.Top + R.Height() / 2;
    Canvas->GetPen()->SetColor(clGrayText);
    // Up to the parent unless this is the tree's first row, down to the next sibling unless last.
    Canvas->MoveTo(X, Row.Level == 0 && Row.FirstVisible ? MidY : R.Top);
    Canvas->LineTo(X, Row.LastSibling ? MidY + 1 : R.Bottom);
    Canvas->MoveTo(X, MidY);
    Canvas->LineTo(X + LevelIndent / 2, MidY);
}

void TTreeColumnDisplay::Paint() {
    std::optional<TTreeKindReader> Reader;
    auto* Settings = TreeSettings(GetColumn(), Reader);
    const TTreeRowData& Row = GetTreeRowData();
    if (Settings) DrawLines(*Settings);
    if (const TRect Button = GetButtonRect(); !Button.IsEmpty()) {
        TCanvas* Canvas = GetCanvas();
        if (NxThemesSupport::IsThemed()) {
            // Glyph parts 2 of "treeview": state 1 collapsed, 2 expanded.
            NxThemesSupport::ThemeRect(GetHandle(), Canvas, Button, u"treeview", 2, Row.Expanded ? 2 : 1);
        } else {
            Canvas->GetPen()->SetColor(clGray);
            Canvas->GetBrush()->SetStyle(bsSolid);
            Canvas->GetBrush()->SetColor(clWindow);
            Canvas->Rectangle(Button);
            Canvas->GetPen()->SetColor(clWindowText);
            const int MidX = Button.Left + 4, MidY = Button.Top + 4;
            Canvas->MoveTo(Button.Left + 2, MidY);
            Canvas->LineTo(Button.Right - 2, MidY);
            if (!Row.Expanded) {
                Canvas->MoveTo(MidX, Button.Top + 2);
                Canvas->LineTo(MidX, Button.Bottom - 2);
            }
        }
    }
    TRect Text = GetTextRect();
    Text.Left += (Row.Level + 1) * LevelIndent + 4;
    // The row's image stands between the button and the text.
    if (TBitmap* Image = RowImage(Settings)) {
        const TRect& R = GetCellRect();
        NxSharedCommon::ApplyBitmap(GetCanvas(), Text.Left, R.Top + (R.Height() - Image->GetHeight()) / 2,
                                    Image);
        Text.Left += Image->GetWidth() + 2;
    }
    DrawTextRect(GetColumn()->GetDrawText(MakeCellInfo()), Text);
}

TBitmap* TTreeColumnDisplay::RowImage(const TTreeColumnSettings* Settings) const {
    TList* Images = Settings ? Settings->GetImages() : nullptr;
    const int Index = GetImageIndex();
    if (!Images || Index < 0 || Index >= Images->GetCount()) return nullptr;
    auto* Image = static_cast<TBitmap*>(Images->Get(Index));
    return Image && !Image->GetEmpty() ? Image : nullptr;
}

int TTreeColumnDisplay::GetContentWidth() {
    std::optional<TTreeKindReader> Reader;
    TBitmap* Image = RowImage(TreeSettings(GetColumn(), Reader));
    return TColumnDisplay::GetContentWidth() + (GetTreeRowData().Level + 1) * LevelIndent + 4 +
           (Image ? Image->GetWidth() + 2 : 0);
}
