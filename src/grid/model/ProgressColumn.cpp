#include "grid/model/ProgressColumn.h"

#include <algorithm>
#include <cmath>

#include "platform/runtime/SysUtils.h"

TNxProgressColumn::TNxProgressColumn(TObject* AOwner) : TNxCustomColumn(AOwner) {
    SetDefaultValue(u"0");
    SetSortType(stNumeric);
    SetColumnType(ctFloat);
}

void TNxProgressColumn::Assign(const TPersistent* Source) {
    TNxCustomColumn::Assign(Source);
    if (auto* Progress = dynamic_cast<const TNxProgressColumn*>(Source)) {
        SetBorderColor(Progress->FBorderColor);
        SetMargin(Progress->FMargin);
        SetMax(Progress->FMax);
        SetProgressColor(Progress->FProgressColor);
        SetProgressStyle(Progress->FProgressStyle);
        SetTextPosition(Progress->FTextPosition);
        SetShowText(Progress->FShowText);
    }
}

TColor TNxProgressColumn::GetValueColor(double Value) const {
    if (Value >= FHighValueBound) return FHighValueColor;
    if (Value > FLowValueBound) return FProgressColor;
    return FLowValueColor;
}

WideString TNxProgressColumn::GetPercentText(double Value) const {
    double Percent = FMax > 0 ? Value / FMax * 100 : 0;
    if (!std::isfinite(Percent)) Percent = 0;
    // A negative or huge Precision would ask the conversion for nonsense digits.
    return FloatToStrF(Percent, ffFixed, 15, std::clamp(FPrecision, 0, 18)) + u"%";
}

void TNxProgressColumn::SetHideWhenEmpty(bool Value) {
    FHideWhenEmpty = Value;
    Refresh(gaBody);
}

void TNxProgressColumn::SetHighValueBound(int Value) {
    FHighValueBound = Value;
    Refresh(gaNone);
}

void TNxProgressColumn::SetHighValueColor(TColor Value) {
    FHighValueColor = Value;
    Refresh(gaNone);
}

void TNxProgressColumn::SetLowValueBound(int Value) {
    FLowValueBound = Value;
    Refresh(gaNone);
}

void TNxProgressColumn::SetLowValueColor(TColor Value) {
    FLowValueColor = Value;
    Refresh(gaNone);
}

void TNxProgressColumn::SetMargin(int Value) {
    FMargin = Value;
    Refresh(gaNone);
}

void TNxProgressColumn::SetMax(int Value) {
    FMax = Value;
    Refresh(gaNone);
}

void TNxProgressColumn::SetPrecision(int Value) {
    FPrecision = Value;
    Refresh(gaNone);
}

void TNxProgressColumn::SetProgressColor(TColor Value) {
    FProgressColor = Value;
    Refresh(gaBody);
}

void TNxProgressColumn::SetProgressHeight(int Value) {
    FProgressHeight = Value;
    Refresh(gaBody);
}

void TNxProgressColumn::SetProgressStyle(TProgressStyle Value) {
    FProgressStyle = Value;
    Refresh(gaBody);
}

void TNxProgressColumn::SetRoundCorners(bool Value) {
    FRoundCorners = Value;
    Refresh(gaNone);
}

void TNxProgressColumn::SetShowText(bool Value) {
    FShowText = Value;
    Refresh(gaNone);
}

void TNxProgressColumn::SetTextPosition(TProgressTextPosition Value) {
    FTextPosition = Value;
    Refresh(gaNone);
}

void TNxProgressColumn::SetTransparent(bool Value) {
    FTransparent = Value;
    Refresh(gaNone);
}
