#include "grid/model/ImageColumn.h"

#include "platform/graphics/Bitmap.h"

// ---------------------------------------------------------------------------------------------
// TNxImageColumn

TNxImageColumn::TNxImageColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {
    SetDefaultValue(u"0");
    SetSortType(stNumeric);
    SetColumnType(ctInteger);
}

void TNxImageColumn::Assign(const TPersistent* Source) {
    TNxCustomColumn::Assign(Source);
    if (auto* Image = dynamic_cast<const TNxImageColumn*>(Source)) {
        FImages = Image->FImages;
        FTransparent = Image->FTransparent;
    }
}

void TNxImageColumn::SetImages(TList* Value) {
    FImages = Value;
    Refresh(gaBody);
}

TBitmap* TNxImageColumn::GetImage(int Index) const {
    if (!FImages || Index < 0 || Index >= FImages->Count()) return nullptr;
    return static_cast<TBitmap*>(FImages->Get(Index));
}

void TNxImageColumn::SetTransparent(bool Value) {
    FTransparent = Value;
    Refresh(gaBody);
}

// ---------------------------------------------------------------------------------------------
// TNxRateColumn

TNxRateColumn::TNxRateColumn(TObject* AOwner)
    : TNxCustomColumn(AOwner), FEmptyGlyph(std::make_unique<TBitmap>()), FGlyph(std::make_unique<TBitmap>()) {
    SetDefaultValue(u"0");
    SetSortType(stNumeric);
    SetColumnType(ctInteger);
}

TNxRateColumn::~TNxRateColumn() = default;

void TNxRateColumn::Assign(const TPersistent* Source) {
    TNxCustomColumn::Assign(Source);
    if (auto* Rate = dynamic_cast<const TNxRateColumn*>(Source)) {
        FEmptyGlyph->Assign(Rate->FEmptyGlyph.get());
        FGlyph->Assign(Rate->FGlyph.get());
        FHideWhenEmpty = Rate->FHideWhenEmpty;
        FMax = Rate->FMax;
        FTransparent = Rate->FTransparent;
    }
}

void TNxRateColumn::SetEmptyGlyph(const TBitmap* Value) {
    FEmptyGlyph->Assign(Value);
    Refresh(gaBody);
}

void TNxRateColumn::SetGlyph(const TBitmap* Value) {
    FGlyph->Assign(Value);
    Refresh(gaBody);
}

void TNxRateColumn::SetHideWhenEmpty(bool Value) {
    FHideWhenEmpty = Value;
    Refresh(gaBody);
}

void TNxRateColumn::SetMax(int Value) {
    FMax = Value;
    Refresh(gaBody);
}

void TNxRateColumn::SetTransparent(bool Value) {
    FTransparent = Value;
    Refresh(gaBody);
}

// ---------------------------------------------------------------------------------------------
// TNxGraphicColumn

TNxGraphicColumn::TNxGraphicColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {
    SetSortType(stAlphabetic);
    SetColumnType(ctGraphic);
}

void TNxGraphicColumn::Assign(const TPersistent* Source) {
    TNxCustomColumn::Assign(Source);
    if (auto* Graphic = dynamic_cast<const TNxGraphicColumn*>(Source)) {
        FBorderWidth = Graphic->FBorderWidth;
        FMargin = Graphic->FMargin;
        FStretch = Graphic->FStretch;
    }
}

void TNxGraphicColumn::SetBorderWidth(int Value) {
    FBorderWidth = Value;
    Refresh(gaBody);
}

void TNxGraphicColumn::SetMargin(int Value) {
    FMargin = Value;
    Refresh(gaBody);
}

void TNxGraphicColumn::SetStretch(bool Value) {
    FStretch = Value;
    Refresh(gaBody);
}
