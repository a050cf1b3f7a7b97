// The input counterparts of the displays: check box, rate, hyperlink, markup and tree plays.
#include "grid/view/ColumnPlay.h"

#include <algorithm>

#include "drawing/Providers.h"
#include "drawing/SharedCommon.h"
#include "drawing/ThemesSupport.h"
#include "grid/model/CheckBoxColumn.h"
#include "grid/model/HtmlColumn.h"
#include "grid/model/HyperlinkColumn.h"
#include "grid/model/ImageColumn.h"
#include "grid/model/TreeColumn.h"
#include "grid/view/ColumnDisplayMarkup.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Forms.h"

using NxSharedCommon::TCalcProvider;

namespace {
bool Inside(const TRect& R, int X, int Y) {
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

// The cell in cell coordinates less the column's Padding at both sides: where displays put values.
TRect ContentRect(const TColumnPlay& Play) {
    const int Padding = Play.GetColumn()->GetPadding();
    return Rect(Padding, 0, Play.GetCellRect().Width() - Padding, Play.GetCellRect().Height());
}

// Measuring and layout use the font the cell is painted in.
void UseColumnFont(const TColumnPlay& Play) {
    if (TCanvas* Canvas = Play.GetCanvas()) Canvas->SetFont(Play.GetColumn()->GetFont());
}
} // namespace

// ---------------------------------------------------------------------------------------------
// Geometry

TRect TreeExpandButtonRect(int ContentLeft, int Top, int Height, int Level) {
    const int Left = ContentLeft + Level * TreeLevelIndent + 2;
    const int ButtonTop = Top + Height / 2 - 5;
    return Rect(Left, ButtonTop, Left + 9, ButtonTop + 9);
}

TRect CheckBoxPlayRect(int Width, int Height, TAlignment Alignment, TVerticalAlignment VerticalAlignment) {
    const int Size = NxThemesSupport::IsThemed() ? 13 : 11;
    const TPoint P = TCalcProvider::PosInRect(Size, Size, 2, Rect(-1, -1, Width + 1, Height + 1), Alignment,
                                              VerticalAlignment);
    return Rect(P.X, P.Y, P.X + Size, P.Y + Size);
}

int RateGlyphAt(int X, const TRect& Content, int GlyphWidth, int GlyphHeight, int Max, TAlignment Alignment,
                TVerticalAlignment VerticalAlignment) {
    if (GlyphWidth <= 0 || Max <= 0) return 0;
    const TPoint P =
        TCalcProvider::PosInRect(GlyphWidth * Max, GlyphHeight, 0, Content, Alignment, VerticalAlignment);
    if (X < P.X || X >= P.X + GlyphWidth * Max) return 0;
    return (X - P.X) / GlyphWidth + 1;
}

void TextSpan(const TRect& Content, int TextWidth, TAlignment Alignment, int& Left, int& Right) {
    const int RoomLeft = Content.Left + 2, RoomRight = Content.Right - 2;
    switch (Alignment) {
    case taRightJustify:
        Left = RoomRight - TextWidth;
        break;
    case taCenter:
        Left = RoomLeft + (RoomRight - RoomLeft - TextWidth) / 2;
        break;
    default:
        Left = RoomLeft;
        break;
    }
    Right = Left + TextWidth;
    // Text longer than the room is cut off at the cell's side.
    Left = std::max(Left, RoomLeft);
    Right = std::min(Right, RoomRight);
}

// ---------------------------------------------------------------------------------------------
// TColumnPlay

void TColumnPlay::Show() {
    auto* Display = dynamic_cast<TColumnDisplay*>(GetColumn()->GetColumnDisplay());
    if (!Display || !GetCanvas()) return;
    SetAsBoolean(Display->GetAsBoolean());
    Display->SetCanvas(GetCanvas());
    Display->SetCellRect(GetCellRect());
    Display->Paint();
}

void TColumnPlay::DoChange() {
    if (OnChange) OnChange(this);
}

void TColumnPlay::DoExpand() {
    if (OnExpand) OnExpand(this);
}

// ---------------------------------------------------------------------------------------------
// Check box

TRect TCheckBoxColumnPlay::GetCheckBoxRect() const {
    return CheckBoxPlayRect(CellWidth(), CellHeight(), GetColumn()->GetAlignment(),
                            GetColumn()->GetVerticalAlignment());
}

void TCheckBoxColumnPlay::Toggle() {
    SetAsBoolean(!GetAsBoolean());
    SetAsString(BoolToStr(GetAsBoolean(), true));
    DoChange();
}

void TCheckBoxColumnPlay::DoChange() {
    const bool Wanted = GetAsBoolean();
    TColumnPlay::DoChange();
    // The grid puts the cell's value back into the play when the edit was refused; the column
    // hears only of changes that happened.
    if (GetAsBoolean() != Wanted) return;
    if (auto* Column = dynamic_cast<TNxCheckBoxColumn*>(GetColumn())) Column->DoChange();
}

void TCheckBoxColumnPlay::KeyPress(WideChar& Key) {
    if (Key == u' ') Toggle();
}

void TCheckBoxColumnPlay::MouseUp(TMouseButton Button, TShiftState /*Shift*/, int X, int Y) {
    if (Button == mbLeft && Inside(GetCheckBoxRect(), X, Y)) Toggle();
}

// ---------------------------------------------------------------------------------------------
// Rate

int TRateColumnPlay::GetMax() const {
    auto* Column = dynamic_cast<TNxRateColumn*>(GetColumn());
    return Column ? std::max(Column->GetMax(), 0) : 0;
}

void TRateColumnPlay::SetValue(int Value) {
    if (Value < 0 || Value > GetMax() || Value == GetAsInteger()) return;
    SetAsInteger(Value);
    SetAsString(IntToStr(Value));
    DoChange();
}

int TRateColumnPlay::GetGlyphAt(int X, int /*Y*/) const {
    auto* Column = dynamic_cast<TNxRateColumn*>(GetColumn());
    if (!Column) return 0;
    TBitmap* Glyph = Column->GetGlyph();
    if (!Glyph || Glyph->GetEmpty()) Glyph = Column->GetEmptyGlyph();
    if (!Glyph || Glyph->GetEmpty()) return 0;
    return RateGlyphAt(X, ContentRect(*this), Glyph->GetWidth(), Glyph->GetHeight(), GetMax(),
                       Column->GetAlignment(), Column->GetVerticalAlignment());
}

void TRateColumnPlay::MouseDown(TMouseButton Button, TShiftState /*Shift*/, int X, int Y) {
    if (Button != mbLeft) return;
    if (const int Star = GetGlyphAt(X, Y); Star > 0) SetValue(Star);
}

void TRateColumnPlay::KeyPress(WideChar& Key) {
    if (Key == u'+')
        SetValue(std::min(GetAsInteger() + 1, GetMax()));
    else if (Key == u'-')
        SetValue(std::max(GetAsInteger() - 1, 0));
    else if (Key >= u'0' && Key <= u'9')
        SetValue(Key - u'0');
}

// ---------------------------------------------------------------------------------------------
// Hyperlink

bool THyperlinkColumnPlay::IsOverLink(int X, int Y) const {
    if (Y < 0 || Y >= CellHeight() || GetAsString().empty() || !GetCanvas()) return false;
    UseColumnFont(*this);
    // The display measures the text it draws; the link is where that text lands.
    int Width = GetCanvas()->TextWidth(GetAsString());
    if (auto* Display = dynamic_cast<TColumnDisplay*>(GetColumn()->GetColumnDisplay())) {
        Display->SetCanvas(GetCanvas());
        Display->SetCellRect(ContentRect(*this));
        Display->SetAsString(GetAsString());
        Width = Display->GetContentWidth();
    }
    int Left = 0, Right = 0;
    TextSpan(ContentRect(*this), Width, GetColumn()->GetAlignment(), Left, Right);
    return X >= Left && X < Right;
}

void THyperlinkColumnPlay::MouseMove(TShiftState /*Shift*/, int X, int Y) {
    Screen->SetCursor(IsOverLink(X, Y) ? crHandPoint : GetColumn()->GetCursor());
}

void THyperlinkColumnPlay::MouseLeave() {
    Screen->SetCursor(crDefault);
}

void THyperlinkColumnPlay::MouseUp(TMouseButton Button, TShiftState /*Shift*/, int X, int Y) {
    if (Button != mbLeft || !IsOverLink(X, Y)) return;
    if (auto* Column = dynamic_cast<TNxHyperlinkColumn*>(GetColumn()))
        Column->DoClick(GetCol(), GetRow(), GetAsString(), this);
}

// ---------------------------------------------------------------------------------------------
// Markup

bool THtmlColumnPlay::LinkAt(int X, int Y, WideString& Href) const {
    if (!GetCanvas()) return false;
    WideString Markup = GetAsString();
    if (auto* Settings = dynamic_cast<const THtmlColumnSettings*>(GetColumn()))
        Markup = Settings->GetMarkupPrefix() + Markup + Settings->GetMarkupSuffix();
    UseColumnFont(*this);
    // Laid out as the display paints it, without painting.
    const NxSharedCommon::THtmlInfo Info =
        NxSharedCommon::ProcessHTML(GetCanvas(), ContentRect(*this), Markup, Point(X, Y), {2, 1}, false);
    if (!Info.LinkAtPoint) return false;
    Href = Info.HrefAtPoint;
    return true;
}

void THtmlColumnPlay::MouseMove(TShiftState /*Shift*/, int X, int Y) {
    WideString Href;
    Screen->SetCursor(LinkAt(X, Y, Href) ? crHandPoint : GetColumn()->GetCursor());
}

void THtmlColumnPlay::MouseLeave() {
    // The screen cursor outranks every control's: the hand must not outlive the cell.
    Screen->SetCursor(crDefault);
}

void THtmlColumnPlay::MouseUp(TMouseButton Button, TShiftState /*Shift*/, int X, int Y) {
    WideString Href;
    if (Button != mbLeft || !LinkAt(X, Y, Href)) return;
    if (auto* Column = dynamic_cast<TNxHtmlColumn*>(GetColumn())) Column->DoClick(this, Href);
}

// ---------------------------------------------------------------------------------------------
// Tree

TRect TTreeColumnPlay::GetButtonRect() const {
    return TreeExpandButtonRect(GetColumn()->GetPadding(), 0, CellHeight(), GetLevel());
}

bool TTreeColumnPlay::Locked() const {
    auto* Column = dynamic_cast<TNxTreeColumn*>(GetColumn());
    return Column && Column->GetExpandLock();
}

void TTreeColumnPlay::KeyPress(WideChar& Key) {
    if ((Key == u'+' || Key == u'-') && !Locked()) DoExpand();
}

void TTreeColumnPlay::MouseUp(TMouseButton Button, TShiftState /*Shift*/, int X, int Y) {
    if (Button == mbLeft && Inside(GetButtonRect(), X, Y) && !Locked()) DoExpand();
}
