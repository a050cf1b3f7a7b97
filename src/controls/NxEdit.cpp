// The control set's edit box: information area, margins, typed accessors, masking rules, the left
// select-all zone and the themed border.
#include "controls/NxEdit.h"

#include <cmath>

#include "drawing/SharedDraw.h"
#include "drawing/ThemesSupport.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/ScopedChange.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Forms.h"

namespace NxEdit {

namespace {

// Posted to the edit itself when it loses the focus, to show the selection again once the
// platform edit has dropped it.
constexpr UINT CM_NXSHOWSELECTION = WM_USER + 0x7E1;

// The width of the frame the platform edit draws inside its window.
constexpr int FrameWidth = 2;
constexpr int PreviewWidth = 20;

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
    if (what.empty()) return;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TNxEditMargins and TNxMargins

void TNxEditMargins::SetLeft(int Value) {
    FLeft = Value;
    if (FOwner) FOwner->RecreateKeepingText();
}

void TNxEditMargins::SetRight(int Value) {
    FRight = Value;
    if (FOwner) FOwner->RecreateKeepingText();
}

void TNxEditMargins::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TNxEditMargins*>(Source)) {
        FLeft = s->FLeft;
        FRight = s->FRight;
        if (FOwner) FOwner->RecreateKeepingText();
        return;
    }
    TPersistent::Assign(Source);
}

void TNxMargins::SetTop(int Value) {
    FTop = Value;
    Changed();
}

void TNxMargins::SetLeft(int Value) {
    FLeft = Value;
    Changed();
}

void TNxMargins::SetBottom(int Value) {
    FBottom = Value;
    Changed();
}

void TNxMargins::SetRight(int Value) {
    FRight = Value;
    Changed();
}

void TNxMargins::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TNxMargins*>(Source)) {
        FTop = s->FTop;
        FLeft = s->FLeft;
        FBottom = s->FBottom;
        FRight = s->FRight;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TNxMargins::Changed() {
    if (FOwner) FOwner->RecreateWnd();
}

// ---------------------------------------------------------------------------------------------
// TNxEditInfo

TNxEditInfo::TNxEditInfo(TNxCustomEdit* AEdit) : TCustomControl(AEdit), FEdit(AEdit) {
    SetTabStop(false);
    SetParent(AEdit);
}

TRect TNxEditInfo::GetPreviewBox() const {
    if (!FEdit->GetShowPreview()) return {};
    const TBitmap* glyph = FEdit->GetGlyph();
    const int x = glyph->GetEmpty() ? 0 : glyph->GetWidth() + 2;
    return {x, 0, x + PreviewWidth, GetClientHeight()};
}

TRect TNxEditInfo::GetGlyphHitRect() const {
    const TBitmap* glyph = FEdit->GetGlyph();
    if (glyph->GetEmpty()) return {};
    return {0, 0, glyph->GetWidth(), GetClientHeight()};
}

void TNxEditInfo::Paint() {
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(FEdit->GetColor());
    canvas->FillRect(GetClientRect());
    TBitmap* glyph = FEdit->GetGlyph();
    if (!glyph->GetEmpty()) {
        // Rounded to nearest, ties to even.
        const int y = int(std::nearbyint(GetClientHeight() / 2.0 - glyph->GetHeight() / 2.0));
        NxSharedDraw::ApplyBitmap(canvas, 0, y, glyph);
    }
    TRect box = GetPreviewBox();
    if (box.IsEmpty()) return;
    if (FEdit->GetPreviewBorder()) {
        canvas->GetBrush()->SetColor(clGray);
        canvas->FrameRect(box);
        InflateRect(box, -1, -1);
    }
    FEdit->PaintPreview(canvas, box);
}

void TNxEditInfo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (PtInRect(GetGlyphHitRect(), {X, Y})) FEdit->DoGlyphClick();
}

// ---------------------------------------------------------------------------------------------
// TNxCustomEdit

TNxCustomEdit::TNxCustomEdit(TComponent* AOwner)
    : TCustomEdit(AOwner), FEditMargins(std::make_unique<TNxEditMargins>(this)),
      FGlyph(std::make_unique<TBitmap>()) {
    FCanvas = std::make_unique<TControlCanvas>(this);
    TCustomEdit::SetAlignment(taLeftJustify);
    FEditInfo = new TNxEditInfo(this);
    FEditInfo->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        DoEditInfoMouseDown(Sender, Button, Shift, X, Y);
    };
    FEditInfo->SetVisible(false);
    FGlyph->OnChange = [this] { UpdateGlyph(); };
    SetAutoSize(true);
    SetBorderStyle(bsSingle);
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(GetLeft(), GetTop(), 121, 20);
    // Every edit registers it again; the screen keeps one entry per number.
    Screen->SetCursors(crReversedArrow, LoadCursor(HInstance, "REVERSEDARROW"));
}

TNxCustomEdit::~TNxCustomEdit() {
    FCanvas.reset();
    FGlyph->OnChange = nullptr;
}

void TNxCustomEdit::SetGlyph(const TBitmap* Value) {
    if (Value) {
        FGlyph->Assign(Value);
    } else {
        const TBitmap empty;
        FGlyph->Assign(empty);
    }
}

void TNxCustomEdit::SetPreviewBorder(bool Value) {
    FPreviewBorder = Value;
    FEditInfo->Invalidate();
}

void TNxCustomEdit::SetShowPreview(bool Value) {
    FShowPreview = Value;
    UpdateEditRect();
    UpdateInfoRect();
    FEditInfo->Invalidate();
    Invalidate();
}

void TNxCustomEdit::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
    const WideString text = GetText();
    const WideString cased = ApplyCharCase(text);
    if (cased != text) SetText(cased);
}

WideString TNxCustomEdit::ApplyCharCase(const WideString& Value) const {
    switch (FCharCase) {
    case ecUpperCase:
        return AnsiUpperCase(Value);
    case ecLowerCase:
        return AnsiLowerCase(Value);
    case ecNormal:
        break;
    }
    return Value;
}

int TNxCustomEdit::GetAutoHeight() const {
    TBitmap measure(1, 1);
    measure.GetCanvas()->SetFont(GetFont());
    return measure.GetCanvas()->GetTextMetrics().tmHeight + (GetCtl3D() ? 8 : 6);
}

bool TNxCustomEdit::CanAutoSize(int& NewWidth, int& NewHeight) {
    TCustomEdit::CanAutoSize(NewWidth, NewHeight);
    if (GetBorderStyle() == bsSingle) NewHeight = GetAutoHeight();
    return true;
}

// ---- typed accessors

[[noreturn]] void TNxCustomEdit::RaiseMasked(const EConvertError& E) const {
    std::string message = E.what();
    if (GetPasswordChar() != 0) {
        const WideString text = GetText();
        ReplaceAll(message, WideToUtf8(text), WideToUtf8(WideString(text.size(), GetPasswordChar())));
    }
    throw EConvertError(message);
}

bool TNxCustomEdit::GetAsBoolean() const {
    try {
        return StrToBool(GetText());
    } catch (const EConvertError& e) {
        RaiseMasked(e);
    }
}

TDateTime TNxCustomEdit::GetAsDateTime() const {
    const WideString text = GetText();
    if (text.empty()) return TDateTime(0);
    try {
        return StrToDateTime(text);
    } catch (const EConvertError& e) {
        RaiseMasked(e);
    }
}

double TNxCustomEdit::GetAsFloat() const {
    try {
        return StrToFloat(GetText());
    } catch (const EConvertError& e) {
        RaiseMasked(e);
    }
}

int TNxCustomEdit::GetAsInteger() const {
    try {
        return StrToInt(GetText());
    } catch (const EConvertError& e) {
        RaiseMasked(e);
    }
}

WideString TNxCustomEdit::GetAsString() const {
    return GetText();
}

void TNxCustomEdit::SetAsBoolean(bool Value) {
    SetText(BoolToStr(Value, true));
}
void TNxCustomEdit::SetAsDateTime(TDateTime Value) {
    SetText(DateTimeToStr(Value));
}
void TNxCustomEdit::SetAsFloat(double Value) {
    SetText(FloatToStr(Value));
}
void TNxCustomEdit::SetAsInteger(int Value) {
    SetText(IntToStr(Value));
}
// The text stays wide: narrowing it to the 8-bit code page would turn letters outside it into "?".
void TNxCustomEdit::SetAsString(const WideString& Value) {
    SetText(Value);
}

// ---- geometry

TRect TNxCustomEdit::GetInfoRect() const {
    const int inset = GetBorderStyle() == bsSingle ? FrameWidth : 0;
    const TRect client = GetClientRect();
    return {inset, inset, inset + GetInfoWidth(), std::max(inset, client.Bottom - inset)};
}

int TNxCustomEdit::GetInfoWidth() const {
    int width = FGlyph->GetEmpty() ? 0 : FGlyph->GetWidth() + 4;
    if (FShowPreview) width += PreviewWidth;
    return width;
}

int TNxCustomEdit::GetEditLeft() const {
    if (!FEditInfo || !FEditInfo->GetVisible()) return 0;
    return FEditInfo->GetLeft() + FEditInfo->GetWidth();
}

TRect TNxCustomEdit::GetPreviewRect() const {
    TRect r = GetInfoRect();
    if (!FGlyph->GetEmpty()) r.Left += FGlyph->GetWidth() + 4;
    r.Right = r.Left + PreviewWidth;
    return r;
}

// ---- updates

void TNxCustomEdit::UpdateEditMargins(int& Left, int& Right) {
    (void)Right;
    if (FShowPreview) Left = 2 * Left + 25;
    if (!FGlyph->GetEmpty()) Left += FGlyph->GetWidth() + 4;
}

void TNxCustomEdit::UpdateEditRect() {
    int left = FEditMargins->GetLeft();
    int right = FEditMargins->GetRight();
    UpdateEditMargins(left, right);
    Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MakeLParam(left, right));
}

void TNxCustomEdit::UpdateInfoRect() {
    if (!FEditInfo) return;
    const bool shown = FShowPreview || !FGlyph->GetEmpty();
    FEditInfo->SetBoundsRect(GetInfoRect());
    FEditInfo->BringToFront();
    FEditInfo->SetVisible(shown);
}

void TNxCustomEdit::UpdateGlyph() {
    if (FUpdatingGlyph) return;
    TScopedChange guard(FUpdatingGlyph, true);
    if (!FGlyph->GetEmpty()) {
        FGlyph->SetTransparent(true);
        FGlyph->SetTransparentColor(FGlyph->GetCanvas()->GetPixels(0, FGlyph->GetHeight() - 1));
    }
    UpdateInfoRect();
    RecreateKeepingText();
    FEditInfo->Invalidate();
}

void TNxCustomEdit::RefreshPreview() {
    if (FShowPreview) FEditInfo->Invalidate();
}

void TNxCustomEdit::RecreateKeepingText() {
    UpdateEditRect();
    // The platform carries the text over; CreateWnd applies margins and places the area again.
    RecreateWnd();
}

void TNxCustomEdit::RedrawBorder() {
    if (!NxThemesSupport::IsThemed() || GetBorderStyle() != bsSingle) return;
    TCanvas* canvas = GetPaintCanvas();
    if (!canvas) {
        RedrawWindow(nullptr, RDW_INVALIDATE | RDW_FRAME);
        return;
    }
    const TRect window{0, 0, GetWidth(), GetHeight()};
    TRect inner = window;
    InflateRect(inner, -FrameWidth, -FrameWidth);
    // Only the frame may be painted over.
    canvas->ExcludeClipRect(inner);
    NxThemesSupport::ThemeRect(this, canvas, window, u"edit", 1, 0);
}

void TNxCustomEdit::PressKey(WideChar Key) {
    Perform(WM_CHAR, Key, 0);
}

void TNxCustomEdit::PaintPreview(TCanvas* Canvas, const TRect& Rect) {
    (void)Canvas;
    DoCustomPreviewDraw(Rect);
}

void TNxCustomEdit::DoCustomPreviewDraw(const TRect& Rect) {
    if (OnCustomPreviewDraw) OnCustomPreviewDraw(this, Rect);
}

void TNxCustomEdit::DoEditInfoMouseDown(TObject*, TMouseButton, TShiftState, int, int) {}

void TNxCustomEdit::DoGlyphClick() {
    if (OnGlyphClick) OnGlyphClick(this);
}

// ---- window and messages

void TNxCustomEdit::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_CLIPCHILDREN;
}

void TNxCustomEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    UpdateEditRect();
    UpdateInfoRect();
    AdjustSize();
}

void TNxCustomEdit::SetTextValue(const WideString& Value) {
    TCustomEdit::SetTextValue(ApplyCharCase(Value));
}

void TNxCustomEdit::Change() {
    if (FCasing) return;
    if (FCharCase != ecNormal) {
        // Pasted text does not pass the typed-character conversion.
        const WideString text = GetText();
        const WideString cased = ApplyCharCase(text);
        if (cased != text) {
            TScopedChange guard(FCasing, true);
            const int caret = GetSelStart();
            TCustomEdit::SetTextValue(cased);
            SetSelStart(caret);
        }
    }
    // A masked box that was emptied forgets what it held: undo must not bring the secret back.
    if (GetPasswordChar() != 0 && GetText().empty()) ClearUndo();
    TCustomEdit::Change();
}

void TNxCustomEdit::WMGetDlgCode(TMessage& Message) {
    TCustomEdit::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTARROWS;
    if (FWantTabs)
        Message.Result |= DLGC_WANTTAB;
    else
        Message.Result &= ~DLGC_WANTTAB;
}

void TNxCustomEdit::WMChar(TMessage& Message) {
    // Ctrl and Alt combinations are commands (paste, ...), not typed characters.
    const TShiftState shift = GetKeyShiftState();
    if (FCharCase != ecNormal && Message.WParam != 0 && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
        const WideString cased = ApplyCharCase(WideString(1, WideChar(Message.WParam)));
        if (cased.size() == 1) Message.WParam = cased[0];
    }
    TCustomEdit::WMChar(Message);
}

void TNxCustomEdit::WMSetFocus(TMessage& Message) {
    TCustomEdit::WMSetFocus(Message);
    // Entered by keyboard or code; a click that brought the focus places the caret afterwards.
    if (GetAutoSelect()) SelectAll();
    if (FEditInfo->GetVisible()) FEditInfo->Invalidate();
}

void TNxCustomEdit::WMKillFocus(TMessage& Message) {
    FKeptSelStart = GetSelStart();
    FKeptSelLength = GetSelLength();
    TCustomEdit::WMKillFocus(Message);
    if (FEditInfo->GetVisible()) FEditInfo->Invalidate();
    // The platform edit handles the focus change after this message.
    if (!GetHideSelection() && HandleAllocated()) PostMessage(this, CM_NXSHOWSELECTION, 0, 0);
}

void TNxCustomEdit::WMSize(TMessage& Message) {
    TCustomEdit::WMSize(Message);
    UpdateInfoRect();
}

void TNxCustomEdit::WMWindowPosChanged(TMessage& Message) {
    TCustomEdit::WMWindowPosChanged(Message);
    if (IsDestroying()) return;
    Invalidate();
    FEditInfo->Invalidate();
    UpdateInfoRect();
}

void TNxCustomEdit::WMEraseBkgnd(TMessage& Message) {
    TCustomEdit::WMEraseBkgnd(Message);
    if (!GetDefaultDrawing()) Message.Result = 1;
}

void TNxCustomEdit::CMEnabledChanged(TMessage& Message) {
    TCustomEdit::CMEnabledChanged(Message);
    for (int i = 0; i < GetComponentCount(); ++i)
        if (auto* control = dynamic_cast<TControl*>(GetComponent(i))) control->Invalidate();
}

void TNxCustomEdit::CMFontChanged(TMessage& Message) {
    TCustomEdit::CMFontChanged(Message);
    AdjustSize();
}

void TNxCustomEdit::DefaultHandler(TMessage& Message) {
    if (Message.Msg == CM_NXSHOWSELECTION) {
        // The platform edit drops its selection when the focus leaves; it stays shown here.
        if (!Focused()) {
            SetSelStart(FKeptSelStart);
            SetSelLength(FKeptSelLength);
        }
        return;
    }
    TCustomEdit::DefaultHandler(Message);
}

// ---------------------------------------------------------------------------------------------
// TNxEdit

TNxEdit::TNxEdit(TComponent* AOwner) : TNxCustomEdit(AOwner) {}

void TNxEdit::BeginEditing() {
    SetSelStart(int(GetText().size()));
}

void TNxEdit::SetAsString(const WideString& Value) {
    TNxCustomEdit::SetAsString(Value);
}

void TNxEdit::Change() {
    TNxCustomEdit::Change();
    DoTextChange();
}

bool TNxEdit::InLeftZone(int X) const {
    // The window's client includes the frame the platform edit draws; the text area starts inside it.
    const int inset = GetBorderStyle() == bsSingle ? FrameWidth : 0;
    const int left = GetEditInfo() && GetEditInfo()->GetVisible() ? GetEditLeft() : inset;
    return X >= inset && X <= left + 2;
}

void TNxEdit::MouseMove(TShiftState Shift, int X, int Y) {
    const bool zone = InLeftZone(X);
    if (zone != FInLeftZone) {
        FInLeftZone = zone;
        if (zone) {
            FTextCursor = GetCursor();
            SetCursor(crReversedArrow);
        } else {
            SetCursor(FTextCursor);
        }
    }
    TNxCustomEdit::MouseMove(Shift, X, Y);
}

void TNxEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // The platform edit has placed the caret by now.
    TNxCustomEdit::MouseDown(Button, Shift, X, Y);
    if (InLeftZone(X)) SelectAll();
}

std::vector<TRect> TNxEdit::GetBorderRings() const {
    std::vector<TRect> rings;
    TRect r{0, 0, GetWidth(), GetHeight()};
    const int start = GetBorderStyle() == bsSingle ? -1 : 1;
    InflateRect(r, start, start);
    for (int i = 0; i < GetBorderWidth(); ++i) {
        InflateRect(r, -1, -1);
        rings.push_back(r);
    }
    return rings;
}

void TNxEdit::PaintBorderRings(TCanvas* Canvas) {
    if (GetBorderWidth() == 0 || !Canvas) return;
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(GetColor());
    for (const TRect& ring : GetBorderRings())
        Canvas->FrameRect(ring);
}

void TNxEdit::WMPaint(TMessage& Message) {
    PaintBorderRings(GetPaintCanvas());
    TNxCustomEdit::WMPaint(Message);
    if (!GetDefaultDrawing()) Paint();
}

void TNxEdit::WMNCPaint(TMessage& Message) {
    TNxCustomEdit::WMNCPaint(Message);
    if (NxThemesSupport::IsThemed()) RedrawBorder();
}

void TNxEdit::WMSize(TMessage& Message) {
    TNxCustomEdit::WMSize(Message);
    UpdateEditRect();
}

void TNxEdit::CMFontChanged(TMessage& Message) {
    TNxCustomEdit::CMFontChanged(Message);
    UpdateEditRect();
}

} // namespace NxEdit
