// Displays that paint pictures: check boxes, images of an image list, attached graphics, rating
// glyphs, and list items with their images.

#include "grid/view/ColumnDisplayImage.h"

#include <algorithm>

#include "drawing/Providers.h"
#include "drawing/SharedCommon.h"
#include "drawing/ThemesSupport.h"

using NxSharedCommon::TCalcProvider;
using NxSharedCommon::TGraphicsProvider;

void TCheckBoxColumnDisplay::Paint() {
    TGraphicsProvider::DrawCheckBox(GetCanvas(), GetCellRect(), GetColumn()->GetAlignment(),
                                    GetColumn()->GetVerticalAlignment(), GetAsBoolean(), false, false, 0,
                                    GetHandle());
}

int TCheckBoxColumnDisplay::GetContentWidth() { return NxThemesSupport::IsThemed() ? 13 : 11; }

TBitmap* TImageColumnDisplay::CurrentImage() const {
    auto* Images = dynamic_cast<const TImageColumnSettings*>(GetColumn());
    const int Index = GetAsInteger();
    if (!Images || Index < 0 || Index >= Images->GetImageCount()) return nullptr;
    return Images->GetImage(Index);
}

void TImageColumnDisplay::Paint() {
    TBitmap* Image = CurrentImage();
    if (!Image || Image->GetEmpty()) return;
    const TPoint P = TCalcProvider::PosInRect(Image->GetWidth(), Image->GetHeight(), 2, GetCellRect(),
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
    auto* Settings = dynamic_cast<const TGraphicColumnSettings*>(GetColumn());
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
    auto* Settings = dynamic_cast<const TRateColumnSettings*>(GetColumn());
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
    auto* Settings = dynamic_cast<const TRateColumnSettings*>(GetColumn());
    TBitmap* Glyph = Settings ? Settings->GetGlyph() : nullptr;
    return Glyph ? Glyph->GetWidth() * std::max(Settings->GetMax(), 0) : 0;
}

void TCustomStringsColumnDisplay::Paint() {
    auto* Settings = dynamic_cast<const TStringsColumnSettings*>(GetColumn());
    const TCellInfo Info = MakeCellInfo();
    const TDisplayMode Mode = Settings ? Settings->GetDisplayMode() : dmTextOnly;
    TBitmap* Image = Settings && Mode != dmTextOnly ? Settings->GetCellImage(Info) : nullptr;
    TRect TextRect = GetTextRect();
    if (Image && !Image->GetEmpty()) {
        const TRect& R = GetCellRect();
        NxSharedCommon::ApplyBitmap(GetCanvas(), R.Left + 2, R.Top + (R.Height() - Image->GetHeight()) / 2, Image);
        TextRect.Left += Image->GetWidth() + 4;
    }
    if (Mode != dmImageOnly) DrawTextRect(GetColumn()->GetDrawText(Info), TextRect);
}
