#include "grid/model/Column.h"

#include <algorithm>

#include "controls/NxEdit.h"
#include "grid/model/Columns.h"
#include "grid/model/GridHost.h"
#include "platform/graphics/Canvas.h"
#include "platform/runtime/ScopedChange.h"

// ---------------------------------------------------------------------------------------------
// TColumnPart

TColumnPart::TColumnPart(TNxCustomColumn* AColumn, TColor DefaultColor)
    : FColumn(AColumn), FColor(DefaultColor), FGlyph(std::make_unique<TBitmap>()) {
    FGlyph->OnChange = [this] { GlyphChanged(); };
}

TColumnPart::~TColumnPart() {
    FGlyph->OnChange = nullptr;
}

void TColumnPart::Assign(const TPersistent* Source) {
    if (auto* Part = dynamic_cast<const TColumnPart*>(Source)) {
        SetCaption(Part->GetCaption());
        SetColor(Part->GetColor());
        SetDisplayMode(Part->GetDisplayMode());
        SetGlyph(Part->GetGlyph());
        return;
    }
    TPersistent::Assign(Source);
}

void TColumnPart::DoChange() {
    if (OnChange) OnChange(this);
}

void TColumnPart::SetCaption(const WideString& Value) {
    FCaption = Value;
    if (FColumn) {
        FColumn->Notify(cnCaptionChange);
        FColumn->Refresh(gaNone);
    }
}

void TColumnPart::SetColor(TColor Value) {
    FColor = Value;
    if (FColumn) FColumn->Refresh(gaNone);
}

void TColumnPart::SetDisplayMode(TDisplayMode Value) {
    FDisplayMode = Value;
    DoChange();
}

void TColumnPart::SetGlyph(const TBitmap* Value) {
    // Assign raises the bitmap's change notification, which makes it transparent and reports.
    FGlyph->Assign(Value);
}

// The glyph is drawn transparent in the color of its bottom-left pixel.
void TColumnPart::GlyphChanged() {
    if (FGlyphUpdating) return;
    {
        // Making it transparent changes the bitmap again; that change is part of this one.
        TScopedChange Updating(FGlyphUpdating, true);
        if (!FGlyph->GetEmpty()) {
            FGlyph->SetTransparentMode(tmAuto);
            FGlyph->SetTransparent(true);
        }
    }
    DoChange();
}

// ---------------------------------------------------------------------------------------------
// TColumnFooter

TColumnFooter::TColumnFooter(TNxCustomColumn* AColumn) : TColumnPart(AColumn, clWindow) {}

void TColumnFooter::Assign(const TPersistent* Source) {
    if (auto* Footer = dynamic_cast<const TColumnFooter*>(Source)) {
        SetAlignment(Footer->GetAlignment());
        SetFormulaKind(Footer->GetFormulaKind());
        SetFormatMask(Footer->GetFormatMask());
        SetTextAfter(Footer->GetTextAfter());
        SetTextBefore(Footer->GetTextBefore());
        return;
    }
    TColumnPart::Assign(Source);
}

void TColumnFooter::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    if (GetColumn()) GetColumn()->Refresh(gaFooter);
}

void TColumnFooter::SetFormulaKind(TFormulaKind Value) {
    FFormulaKind = Value;
    DoChange();
}

void TColumnFooter::SetFormatMask(const AnsiString& Value) {
    FFormatMask = Value;
    DoChange();
}

void TColumnFooter::SetFormatMaskKind(TFormatMaskKind Value) {
    FFormatMaskKind = Value;
    DoChange();
}

void TColumnFooter::SetTextAfter(const WideString& Value) {
    FTextAfter = Value;
    DoChange();
}

void TColumnFooter::SetTextBefore(const WideString& Value) {
    FTextBefore = Value;
    DoChange();
}

void TColumnFooter::SetFormulaValue(double Value) {
    FFormulaValue = Value;
    DoChange();
}

// ---------------------------------------------------------------------------------------------
// TColumnHeader

TColumnHeader::TColumnHeader(TNxCustomColumn* AColumn) : TColumnPart(AColumn, clBtnFace) {}

void TColumnHeader::Assign(const TPersistent* Source) {
    if (auto* Header = dynamic_cast<const TColumnHeader*>(Source)) {
        SetAlignment(Header->GetAlignment());
        SetCaption(Header->GetCaption());
        SetColor(Header->GetColor());
        SetDisplayMode(Header->GetDisplayMode());
        SetGlyph(Header->GetGlyph());
        SetHint(Header->GetHint());
        SetMultiLine(Header->GetMultiLine());
        SetOrientation(Header->GetOrientation());
        return;
    }
    TColumnPart::Assign(Source);
}

void TColumnHeader::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    if (GetColumn()) GetColumn()->Refresh(gaHeader);
}

void TColumnHeader::SetHideArrow(bool Value) {
    FHideArrow = Value;
    if (GetColumn()) GetColumn()->Refresh(gaHeader);
}

void TColumnHeader::SetMultiLine(bool Value) {
    FMultiLine = Value;
    if (GetColumn()) GetColumn()->Refresh(gaHeader);
}

void TColumnHeader::SetOrientation(THeaderOrientation Value) {
    FOrientation = Value;
    if (GetColumn()) GetColumn()->Refresh(gaHeader);
}

// ---------------------------------------------------------------------------------------------
// TNxSlideBounds

void TNxSlideBounds::Assign(const TPersistent* Source) {
    if (auto* Bounds = dynamic_cast<const TNxSlideBounds*>(Source)) {
        SetLeft(Bounds->GetLeft());
        SetTop(Bounds->GetTop());
        SetWidth(Bounds->GetWidth());
        SetHeight(Bounds->GetHeight());
        return;
    }
    TPersistent::Assign(Source);
}

void TNxSlideBounds::Changed() {
    if (FColumn) FColumn->NotifyColumnChange(ccSlideChanged);
}

void TNxSlideBounds::SetLeft(int Value) {
    FLeft = Value;
    Changed();
}

void TNxSlideBounds::SetTop(int Value) {
    FTop = Value;
    Changed();
}

void TNxSlideBounds::SetWidth(int Value) {
    if (Value == FWidth) return;
    FWidth = Value;
    Changed();
}

void TNxSlideBounds::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    Changed();
}

// ---------------------------------------------------------------------------------------------
// TNxCustomColumn: life

TNxCustomColumn::TNxCustomColumn(TObject* AOwner)
    : TComponent(dynamic_cast<TComponent*>(AOwner)), FOwner(AOwner) {
    FFont = std::make_unique<TFont>();
    FFont->OnChange = [this] { FontChanged(); };
    FFooter = std::make_unique<TColumnFooter>(this);
    FFooter->OnChange = [this](TObject*) { PartChanged(); };
    FHeader = std::make_unique<TColumnHeader>(this);
    FHeader->OnChange = [this](TObject*) { PartChanged(); };
    FSlideBounds = std::make_unique<TNxSlideBounds>(this);
    SetColumnType(ctString);
}

TNxCustomColumn::~TNxCustomColumn() {
    if (FCollection) FCollection->Remove(this);
    // The parts must not report into a column that is going away.
    FFont->OnChange = nullptr;
    FFooter->OnChange = nullptr;
    FHeader->OnChange = nullptr;
    FCellEditor.reset();
}

void TNxCustomColumn::EnsureViewObjects() {
    if (FViewObjectsMade) return;
    FViewObjectsMade = true;
    FCellEditor = CreateCellEditor();
    FDisplay = CreateColumnDisplay();
    FPlay = CreateColumnPlay();
}

namespace {
TNxCustomColumn::TColumnDisplayFactory gColumnDisplayFactory = nullptr;
TNxCustomColumn::TColumnDisplayFactory gColumnPlayFactory = nullptr;
} // namespace

void TNxCustomColumn::SetColumnPlayFactory(TColumnDisplayFactory Factory) {
    gColumnPlayFactory = Factory;
}

std::unique_ptr<TObject> TNxCustomColumn::CreateColumnPlay() {
    return gColumnPlayFactory ? gColumnPlayFactory(*this) : nullptr;
}

void TNxCustomColumn::SetColumnDisplayFactory(TColumnDisplayFactory Factory) {
    gColumnDisplayFactory = Factory;
}

std::unique_ptr<TObject> TNxCustomColumn::CreateColumnDisplay() {
    return gColumnDisplayFactory ? gColumnDisplayFactory(*this) : nullptr;
}

TObject* TNxCustomColumn::GetColumnDisplay() {
    EnsureViewObjects();
    return FDisplay.get();
}

TObject* TNxCustomColumn::GetColumnPlay() {
    EnsureViewObjects();
    return FPlay.get();
}

TObject* TNxCustomColumn::GetCellEditor() {
    EnsureViewObjects();
    return FCellEditor.get();
}

// ---------------------------------------------------------------------------------------------
// Change reporting

void TNxCustomColumn::NotifyColumnChange(TColumnChangeKind Kind, int Param) {
    if (FCollection) FCollection->DoColumnChange(this, Kind, Param);
}

void TNxCustomColumn::Refresh(TGridArea Area) {
    if (FCollection) FCollection->UpdateColumn(this, Area);
}

void TNxCustomColumn::Notify(TColumnNotifyOperation Operation) {
    if (!FListeners) return;
    // A listener may unregister itself while being told; work on a copy.
    auto Listeners = *FListeners;
    for (auto& Entry : Listeners)
        if (Entry.second) Entry.second(this, Operation);
}

void TNxCustomColumn::RegisterNotification(const void* Key, TColumnNotifyProc Proc) {
    if (!FListeners) FListeners = std::make_unique<std::vector<std::pair<const void*, TColumnNotifyProc>>>();
    FListeners->emplace_back(Key, std::move(Proc));
}

void TNxCustomColumn::UnregisterNotification(const void* Key) {
    if (!FListeners) return;
    std::erase_if(*FListeners, [Key](const auto& Entry) { return Entry.first == Key; });
}

void TNxCustomColumn::TryUpdateColumns(bool UpdatePositions) {
    if (FCollection) FCollection->UpdateColumns(UpdatePositions);
}

bool TNxCustomColumn::InReadingState() const {
    return FReading || (FCollection && FCollection->IsReadingState());
}

void TNxCustomColumn::PartChanged() {
    NotifyColumnChange(ccUndefined);
}

// ---------------------------------------------------------------------------------------------
// Collection membership and geometry

int TNxCustomColumn::GetIndex() const {
    return FCollection ? FCollection->IndexOf(this) : -1;
}

void TNxCustomColumn::SetIndex(int Value) {
    int Old = GetIndex();
    if (FCollection && Old != Value) FCollection->Move(Old, Value);
}

TNxGridHost* TNxCustomColumn::GetGridComponent() const {
    return FCollection ? FCollection->GetOwner() : nullptr;
}

int TNxCustomColumn::GetAbsoluteLeft() const {
    TNxGridHost* Grid = GetGridComponent();
    bool Fixed = FCollection && FPosition < FCollection->GetFixedCols();
    return FLeft - (Grid && !Fixed ? Grid->GetHorzScrollPos() : 0);
}

TRect TNxCustomColumn::GetMemberRect(TColumnMemberKind Kind) const {
    TNxGridHost* Grid = GetGridComponent();
    if (!Grid) return {};
    TGridArea Area;
    switch (Kind) {
    case ckFooter:
        Area = gaFooter;
        break;
    case ckHeader:
        Area = gaHeader;
        break;
    case ckInput:
        Area = gaInput;
        break;
    default:
        return {};
    }
    TRect AreaRect = Grid->GetAreaRect(Area);
    int Left = GetAbsoluteLeft();
    return {Left, AreaRect.Top, Left + FWidth, AreaRect.Bottom};
}

bool TNxCustomColumn::IsAlone() const {
    return FCollection && FCollection->VisibleCount() == 1;
}

bool TNxCustomColumn::IsClipped() const {
    return FCollection && FCollection->Clipped(this);
}

TColumnLocation TNxCustomColumn::GetLocation() const {
    int Count = FCollection ? FCollection->VisibleCount() : 0;
    if (Count == 1) return clAlone;
    if (FVisibleIndex == 0) return clLeftSide;
    if (FVisibleIndex >= 0 && FVisibleIndex == Count - 1) return clRightSide;
    return clMiddle;
}

bool TNxCustomColumn::GetFirst() const {
    return FCollection && FCollection->IsFirstEnabled(this);
}
bool TNxCustomColumn::GetLast() const {
    return FCollection && FCollection->IsLastEnabled(this);
}

TNxCustomColumn* TNxCustomColumn::GetNextColumn() const {
    auto* Self = const_cast<TNxCustomColumn*>(this);
    return FCollection ? FCollection->GetNextColumn(Self) : Self;
}

TNxCustomColumn* TNxCustomColumn::GetPrevColumn() const {
    auto* Self = const_cast<TNxCustomColumn*>(this);
    return FCollection ? FCollection->GetPrevColumn(Self) : Self;
}

bool TNxCustomColumn::GetFocused() const {
    TNxGridHost* Grid = GetGridComponent();
    return Grid && Grid->GetFocusedColumn() == this;
}

bool TNxCustomColumn::GetHover() const {
    TNxGridHost* Grid = GetGridComponent();
    return Grid && Grid->GetHoverColumn() == this;
}

bool TNxCustomColumn::GetSelected() const {
    TNxGridHost* Grid = GetGridComponent();
    return Grid && FCollection && Grid->GetSelectedColumn() == GetIndex();
}

TRect TNxCustomColumn::GetSlideRect() const {
    return {FSlideBounds->GetLeft(), FSlideBounds->GetTop(), FSlideBounds->GetRight(),
            FSlideBounds->GetBottom()};
}

int TNxCustomColumn::GetCellBestFit(const WideString& Text) {
    return std::max(MeasureCanvas()->TextWidth(Text) + 6, 8);
}

TCanvas* TNxCustomColumn::MeasureCanvas() {
    if (!FMeasureBitmap) FMeasureBitmap = std::make_unique<TBitmap>(1, 1);
    TCanvas* Canvas = FMeasureBitmap->GetCanvas();
    Canvas->SetFont(*FFont);
    return Canvas;
}

void TNxCustomColumn::BeginEditing() {
    auto* Editor = dynamic_cast<NxEdit::TNxCustomEdit*>(GetCellEditor());
    if (!Editor) return;
    Editor->SetEditorUpdating(true);
    Editor->SetAlignment(FAlignment);
    Editor->SetBorderStyle(bsNone);
    Editor->SetBorderWidth(0);
    Editor->GetEditMargins()->SetLeft(1);
}

TColumnState TNxCustomColumn::GetColumnState() const {
    if (!FEnabled) return {};
    if (!GetColumnStyle().Contains(csCanEdit) && !FInplaceEdit) return {};
    TColumnState State;
    if (FOptions.Contains(coEditing)) State.Include(ceEditable);
    if (FOptions.Contains(coCanInput)) State.Include(ceCanInput);
    return State;
}

// ---------------------------------------------------------------------------------------------
// Reading from a form description

void TNxCustomColumn::SetName(const std::string& Value) {
    if (Value == GetName()) return;
    TComponent::SetName(Value);
    Notify(cnNameChange);
}

void TNxCustomColumn::SetParentComponent(TNxGridHost* Grid) {
    if (!Grid) return;
    if (TNxColumns* Columns = Grid->GetColumns()) Columns->JoinWhileReading(this);
}

void TNxCustomColumn::ReadState(const std::function<void(TNxCustomColumn*)>& ReadProperties) {
    {
        TScopedChange Reading(FReading, true);
        if (ReadProperties) ReadProperties(this);
    }
    if (FCollection) {
        FCollection->UpdatePositionList(this);
        FCollection->UpdateColumns(false);
    }
}

void TNxCustomColumn::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent && AComponent == FInplaceEdit) FInplaceEdit = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Properties

void TNxCustomColumn::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Notify(ccAlignChange);
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::SetBiDiMode(TBiDiMode Value) {
    FBiDiMode = Value;
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::SetColor(TColor Value) {
    FColor = Value;
    Notify(cnColorChange);
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::SetCursor(TCursor Value) {
    FCursor = Value;
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::SetDrawingOptions(TDrawingOptions Value) {
    FDrawingOptions = Value;
    Notify(ccDrawingChange);
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::SetFont(const TFont* Value) {
    if (!Value) return;
    {
        TScopedChange Assigning(FFontAssigning, true);
        FFont->Assign(*Value);
    }
    // A font given to the column is the user's, even when it equals the one it had.
    FParentFont = false;
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::FontChanged() {
    // A copy of the grid's font runs under the lock and is no change by the user.
    if (FFontLock) return;
    FParentFont = false;
    if (!FFontAssigning) NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::CopyGridFont() {
    CopyGridFont(GetGridComponent());
}

void TNxCustomColumn::CopyGridFont(TNxGridHost* Grid) {
    TFont* GridFont = Grid ? Grid->GetGridFont() : nullptr;
    if (!GridFont) return;
    TScopedChange Lock(FFontLock, true);
    FFont->Assign(*GridFont);
}

void TNxCustomColumn::TakeGridFont() {
    if (FParentFont) CopyGridFont();
}

void TNxCustomColumn::SetFooter(const TColumnFooter* Value) {
    if (Value && Value != FFooter.get()) FFooter->Assign(Value);
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::SetHeader(const TColumnHeader* Value) {
    if (Value && Value != FHeader.get()) FHeader->Assign(Value);
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::SetInplaceEdit(TComponent* Value) {
    if (Value == FInplaceEdit) return;
    if (FInplaceEdit) RemoveFreeNotification(FInplaceEdit);
    FInplaceEdit = Value;
    if (FInplaceEdit) FreeNotification(FInplaceEdit);
}

void TNxCustomColumn::SetInputCaption(const WideString& Value) {
    FInputCaption = Value;
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::SetInputValue(const WideString& Value) {
    FInputValue = Value;
    NotifyColumnChange(ccInputChange);
}

void TNxCustomColumn::SetOptions(TColumnOptions Value) {
    if (Value.Contains(coSearchColumn) && !FOptions.Contains(coSearchColumn) && FCollection) {
        // At most one column is searched; the others lose the option quietly.
        for (int i = 0; i < FCollection->Count(); ++i) {
            TNxCustomColumn* Other = FCollection->GetItem(i);
            if (Other != this) Other->FOptions.Exclude(coSearchColumn);
        }
    }
    bool AutoSizeKept = FOptions.Contains(coAutoSize) && Value.Contains(coAutoSize);
    FOptions = Value;
    if (!FCollection || InReadingState()) return;
    if (!AutoSizeKept) FCollection->ResizeColumns(this, true);
    NotifyColumnChange(ccUndefined);
    Notify(cnOptionsChange);
}

void TNxCustomColumn::SetEditing(bool Value) {
    TColumnOptions Options = FOptions;
    if (Value)
        Options.Include(coEditing);
    else
        Options.Exclude(coEditing);
    SetOptions(Options);
}

void TNxCustomColumn::SetPadding(int Value) {
    FPadding = Value;
    Refresh(gaBody);
}

void TNxCustomColumn::SetParentCellColor(bool Value) {
    FParentCellColor = Value;
    Refresh(gaBody);
}

void TNxCustomColumn::SetParentFont(bool Value) {
    FParentFont = Value;
    if (Value && GetGridComponent()) {
        CopyGridFont();
        NotifyColumnChange(ccUndefined);
    }
}

void TNxCustomColumn::SetPosition(int Value) {
    if (FCollection && !FReading && !FCollection->IsReadingState()) {
        FCollection->ChangePosition(FPosition, Value);
        NotifyColumnChange(ccPosition, -1);
    }
    FPosition = Value;
}

void TNxCustomColumn::SetSlideBounds(const TNxSlideBounds* Value) {
    if (Value && Value != FSlideBounds.get()) FSlideBounds->Assign(Value);
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::SetSlideCaption(const AnsiString& Value) {
    FSlideCaption = Value;
    Refresh(gaNone);
}

void TNxCustomColumn::SetSlideCaptionLocation(TSlideCatpionLocation Value) {
    FSlideCaptionLocation = Value;
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::SetSorted(bool Value) {
    if (GetColumnStyle().Contains(csDisableSorting)) return;
    if (Value && FCollection) {
        for (int i = 0; i < FCollection->Count(); ++i) {
            TNxCustomColumn* Other = FCollection->GetItem(i);
            if (Other != this && Other->FSorted) Other->SetSorted(false);
        }
    }
    FSorted = Value;
    NotifyColumnChange(Value ? ccSorted : ccUnsorted);
}

void TNxCustomColumn::SetSortKind(TSortKind Value) {
    FSortKind = Value;
    NotifyColumnChange(ccSortTypeChange);
}

void TNxCustomColumn::SetSortType(TSortType Value) {
    FSortType = Value;
    NotifyColumnChange(ccSortTypeChange);
}

void TNxCustomColumn::Resort() {
    NotifyColumnChange(ccSorted);
}

void TNxCustomColumn::SetVerticalAlignment(TVerticalAlignment Value) {
    FVerticalAlignment = Value;
    NotifyColumnChange(ccUndefined);
}

void TNxCustomColumn::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    Notify(ccVisibleChange);
    NotifyColumnChange(ccVisible);
    if (FCollection && !InReadingState()) {
        FCollection->UpdateColumns(false);
        FCollection->ResizeColumns(nullptr, false);
    }
}

void TNxCustomColumn::SetWidth(int Value) {
    SetSilentWidth(Value);
    if (FCollection) {
        FCollection->ResizeColumns(this, false);
        TNxGridHost* Grid = GetGridComponent();
        if (Grid && Grid->IsDesigning()) FDefaultWidth = FWidth;
    }
}

void TNxCustomColumn::SetSilentWidth(int Value) {
    int Old = FWidth;
    FWidth = std::min(std::max(Value, FMinWidth), kMaxColumnWidth);
    if (FCollection && !InReadingState()) FCollection->UpdateColumns(false);
    NotifyColumnChange(ccWidth, FWidth - Old);
}

void TNxCustomColumn::SetWrapKind(TWrapKind Value) {
    FWrapKind = Value;
    Refresh(gaBody);
}

void TNxCustomColumn::Assign(const TPersistent* Source) {
    auto* Column = dynamic_cast<const TNxCustomColumn*>(Source);
    if (!Column) {
        TPersistent::Assign(Source);
        return;
    }
    SetAlignment(Column->GetAlignment());
    SetColor(Column->GetColor());
    SetCursor(Column->GetCursor());
    SetDefaultValue(Column->GetDefaultValue());
    SetDrawingOptions(Column->GetDrawingOptions());
    SetFont(Column->GetFont());
    FFooter->Assign(Column->GetFooter());
    FHeader->Assign(Column->GetHeader());
    SetInputCaption(Column->GetInputCaption());
    SetInputValue(Column->FInputValue);
    SetOptions(Column->GetOptions());
    SetParentFont(Column->GetParentFont());
    SetPosition(Column->GetPosition());
    SetSlideBounds(Column->GetSlideBounds());
    SetSorted(Column->GetSorted());
    SetSortKind(Column->GetSortKind());
    SetVerticalAlignment(Column->GetVerticalAlignment());
    SetVisible(Column->GetVisible());
    SetWidth(Column->GetWidth());
    SetWrapKind(Column->GetWrapKind());
}
