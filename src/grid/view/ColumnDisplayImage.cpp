// Displays that paint pictures: check boxes, images of an image list, attached graphics, rating
// glyphs, and list items with their images.

#include "grid/view/ColumnDisplayImage.h"

#include <algorithm>
#include <optional>

#include "drawing/Providers.h"
#include "drawing/SharedCommon.h"
#include "drawing/ThemesSupport.h"
#include "grid/model/ImageColumn.h"
#include "grid/model/PopupColumn.h"

using NxSharedCommon::TCalcProvider;
using NxSharedCommon::TGraphicsProvider;

namespace {
// The picture kinds read through the settings their displays paint with.
class TImageKindReader : public TImageColumnSettings {
public:
    explicit TImageKindReader(const TNxImageColumn& Column) : C(Column) {}
    int GetImageCount() const override { return C.GetImageCount(); }
    TBitmap* GetImage(int Index) const override { return C.GetImage(Index); }

private:
    const TNxImageColumn& C;
};

class TGraphicKindReader : public TGraphicColumnSettings {
public:
    explicit TGraphicKindReader(const TNxGraphicColumn& Column) : C(Column) {}
    int GetBorderWidth() const override { return C.GetBorderWidth(); }
    int GetMargin() const override { return C.GetMargin(); }
    bool GetStretch() const override { return C.GetStretch(); }

private:
    const TNxGraphicColumn& C;
};

class TRateKindReader : public TRateColumnSettings {
public:
    explicit TRateKindReader(const TNxRateColumn& Column) : C(Column) {}
    TBitmap* GetGlyph() const override { return C.GetGlyph(); }
    TBitmap* GetEmptyGlyph() const override { return C.GetEmptyGlyph(); }
    bool GetHideWhenEmpty() const override { return C.GetHideWhenEmpty(); }
    int GetMax() const override { return C.GetMax(); }

private:
    const TNxRateColumn& C;
};

// Strings, combo box and list columns: the image of the cell's item, found by its index in Items
// (list columns hold the index itself).
class TStringsKindReader : public TStringsColumnSettings {
public:
    explicit TStringsKindReader(const TNxStringsColumn& Column) : C(Column) {}
    TDisplayMode GetDisplayMode() const override { return C.GetDisplayMode(); }
    TBitmap* GetCellImage(const TCellInfo& CellInfo) const override {
        TList* Images = C.GetImages();
        if (!Images) return nullptr;
        const int Index = dynamic_cast<const TNxListColumn*>(&C) ? CellInfo.AsInteger
                                                                 : C.GetItems()->IndexOf(CellInfo.AsString);
        if (Index < 0 || Index >= Images->GetCount()) return nullptr;
        return static_cast<TBitmap*>(Images->Get(Index));
    }

private:
    const TNxStringsColumn& C;
};

} // namespace

void TCheckBoxColumnDisplay::Paint() {
    // Placed as the check box play hits it: margin 2 in the cell grown by one pixel.
    TRect Room = GetCellRect();
    InflateRect(Room, 1, 1);
    TGraphicsProvider::DrawCheckBox(GetCanvas(), Room, GetColumn()->GetAlignment(),
                                    GetColumn()->GetVerticalAlignment(), GetAsBoolean(), false, false, 2,
                                    GetHandle());
}

int TCheckBoxColumnDisplay::GetContentWidth() {
    return NxThemesSupport::IsThemed() ? 13 : 11;
}

TBitmap* TImageColumnDisplay::CurrentImage() const {
    std::optional<TImageKindReader> Reader;
    auto* Images = SettingsOf<TImageColumnSettings, TNxImageColumn>(GetColumn(), Reader);
    const int Index = GetAsInteger();
    if (!Images || Index < 0 || Index >= Images->GetImageCount()) return nullptr;
    return Images->GetImage(Index);
}

void TImageColumnDisplay::Paint() {
    TBitmap* Image = CurrentImage();
    if (!Image || Image->GetEmpty()) return;
    const TPoint P =
        TCalcProvider::PosInRect(Image->GetWidth(), Image->GetHeight(), 2, GetCellRect(),
                                 GetColumn()->GetAlignment(), GetColumn()->GetVerticalAlignment());
    NxSharedCommon::ApplyBitmap(GetCanvas(), P.X, P.Y, Image);
}

int TImageColumnDisplay::GetContentWidth() {
    TBitmap* Image = CurrentImage();
    return Image ? Image->GetWidth() + 4 : 0;
}

int TImageColumnDisplay::GetContentHeight() {
    TBitmap* Image = CurrentImage();
    return Image ? Image->GetHeight() + 4 : 0;
}

TRect TGraphicColumnDisplay::GetPictureRect() const {
    auto* Picture = dynamic_cast<TBitmap*>(GetAsObject());
    std::optional<TGraphicKindReader> Reader;
    auto* Settings = SettingsOf<TGraphicColumnSettings, TNxGraphicColumn>(GetColumn(), Reader);
    if (!Picture || Picture->GetEmpty()) return {};
    TRect Room = GetCellRect();
    const int Inset = Settings ? Settings->GetMargin() + Settings->GetBorderWidth() : 0;
    InflateRect(Room, -Inset, -Inset);
    if (Room.IsEmpty()) return {};
    if (Settings && Settings->GetStretch()) return Room;
    int W = Picture->GetWidth(), H = Picture->GetHeight();
    if (W > Room.Width() || H > Room.Height()) {
        // Scale by the tighter side; 64-bit products keep large pictures exact.
        if (int64_t(W) * Room.Height() > int64_t(H) * Room.Width()) {
            H = std::max(1, int(int64_t(H) * Room.Width() / W));
            W = Room.Width();
        } else {
            W = std::max(1, int(int64_t(W) * Room.Height() / H));
            H = Room.Height();
        }
    }
    const int Left = Room.Left + (Room.Width() - W) / 2, Top = Room.Top + (Room.Height() - H) / 2;
    return Rect(Left, Top, Left + W, Top + H);
}

void TGraphicColumnDisplay::Paint() {
    const TRect Target = GetPictureRect();
    if (Target.IsEmpty()) return;
    GetCanvas()->StretchDraw(Target, dynamic_cast<TBitmap*>(GetAsObject()));
}

void TRateColumnDisplay::Paint() {
    std::optional<TRateKindReader> Reader;
    auto* Settings = SettingsOf<TRateColumnSettings, TNxRateColumn>(GetColumn(), Reader);
    if (!Settings) return;
    TBitmap* Full = Settings->GetGlyph();
    TBitmap* Empty = Settings->GetEmptyGlyph();
    const int Max = std::max(Settings->GetMax(), 0);
    const int Value = std::clamp(GetAsInteger(), 0, Max);
    if (Value == 0 && Settings->GetHideWhenEmpty()) return;
    TBitmap* Sample = Full && !Full->GetEmpty() ? Full : Empty;
    if (!Sample || Sample->GetEmpty() || Max == 0) return;
    const int W = Sample->GetWidth(), H = Sample->GetHeight();
    const TPoint P = TCalcProvider::PosInRect(W * Max, H, 0, GetCellRect(), GetColumn()->GetAlignment(),
                                              GetColumn()->GetVerticalAlignment());
    for (int I = 0; I < Max; ++I) {
        TBitmap* Glyph = I < Value ? Full : Empty;
        if (Glyph && !Glyph->GetEmpty()) NxSharedCommon::ApplyBitmap(GetCanvas(), P.X + I * W, P.Y, Glyph);
    }
}

int TRateColumnDisplay::GetContentWidth() {
    std::optional<TRateKindReader> Reader;
    auto* Settings = SettingsOf<TRateColumnSettings, TNxRateColumn>(GetColumn(), Reader);
    TBitmap* Glyph = Settings ? Settings->GetGlyph() : nullptr;
    return Glyph ? Glyph->GetWidth() * std::max(Settings->GetMax(), 0) : 0;
}

void TCustomStringsColumnDisplay::Paint() {
    std::optional<TStringsKindReader> Reader;
    auto* Settings = SettingsOf<TStringsColumnSettings, TNxStringsColumn>(GetColumn(), Reader);
    const TCellInfo Info = MakeCellInfo();
    const TDisplayMode Mode = Settings ? Settings->GetDisplayMode() : dmTextOnly;
    TBitmap* Image = Settings && Mode != dmTextOnly ? Settings->GetCellImage(Info) : nullptr;
    TRect TextRect = GetTextRect();
    if (Image && !Image->GetEmpty()) {
        const TRect& R = GetCellRect();
        NxSharedCommon::ApplyBitmap(GetCanvas(), R.Left + 2, R.Top + (R.Height() - Image->GetHeight()) / 2,
                                    Image);
        TextRect.Left += Image->GetWidth() + 4;
    }
    if (Mode != dmImageOnly) DrawTextRect(GetColumn()->GetDrawText(Info), TextRect);
}
