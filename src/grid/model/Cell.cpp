#include "grid/model/Cell.h"

#include <charconv>
#include <exception>
#include <limits>
#include <new>

#include "grid/model/Cells.h"
#include "grid/model/Column.h"
#include "grid/model/GridHost.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SlabPool.h"
#include "platform/runtime/SysUtils.h"

// ---------------------------------------------------------------------------------------------
// TCell

TCell::TCell(TCells* ACells) : FOwnerId(ACells ? ACells->FStoreId : 0) {}

TCells* TCell::GetOwner() const {
    return TCells::StoreOf(FOwnerId);
}

TColor TCell::GetActualColor() const {
    TNxGridHost* Grid = GetOwner() ? GetOwner()->GetGrid() : nullptr;
    return Grid ? Grid->GetActualCellColor(GetColumnIndex(), GetRowIndex()) : FColor;
}

TColor TCell::GetActualFontColor() const {
    TNxGridHost* Grid = GetOwner() ? GetOwner()->GetGrid() : nullptr;
    return Grid ? Grid->GetActualCellFontColor(GetColumnIndex(), GetRowIndex()) : clWindowText;
}

void TCell::Changed() {
    if (TCells* Owner = GetOwner()) Owner->Changed();
}

void TCell::SetAsBoolean(bool) {
    Changed();
}
void TCell::SetAsDateTime(TDateTime) {
    Changed();
}
void TCell::SetAsFloat(double) {
    Changed();
}
void TCell::SetAsInteger(int32_t) {
    Changed();
}
void TCell::SetAsString(const WideString&) {
    Changed();
}
void TCell::Clear() {
    Changed();
}

void TCell::SetColor(TColor Value) {
    FColor = Value;
    if (!GetLocked()) Changed();
}

void TCell::SetFontStyle(TFontStyles Value) {
    FFontStyleBits = static_cast<uint8_t>(Value.Bits());
    if (!GetLocked()) Changed();
}

void TCell::AppendAsString(WideString& Out) const {
    Out += GetAsString();
}

TObject* TCell::GetObjectReference() const {
    return FHasExtras ? GetOwner()->ExtrasOf(this).ObjectReference : nullptr;
}

WideString TCell::GetHint() const {
    return FHasExtras ? GetOwner()->ExtrasOf(this).Hint : WideString();
}

void TCell::DropEmptyExtras() {
    if (!FHasExtras) return;
    const TCells::TCellExtras& Extras = GetOwner()->ExtrasOf(this);
    if (!Extras.ObjectReference && Extras.Hint.empty()) GetOwner()->DropExtras(this);
}

void TCell::SetObjectReference(TObject* Value) {
    if (Value || FHasExtras) GetOwner()->ExtrasFor(this).ObjectReference = Value;
    DropEmptyExtras();
}

void TCell::SetHint(const WideString& Value) {
    if (!Value.empty() || FHasExtras) GetOwner()->ExtrasFor(this).Hint = Value;
    DropEmptyExtras();
    if (!GetLocked()) Changed();
}

void TCell::SetLocked(bool Value) {
    FStateBits =
        static_cast<uint8_t>((Value ? GetState().Include(cstLocked) : GetState().Exclude(cstLocked)).Bits()) &
        3;
}

void TCell::SetEmpty(bool Value) {
    FStateBits =
        static_cast<uint8_t>((Value ? GetState().Include(cstEmpty) : GetState().Exclude(cstEmpty)).Bits()) &
        3;
    Changed();
}

int TCell::GetColumnIndex() const {
    return GetOwner() ? GetOwner()->GetCurrentColumn() : -1;
}
int TCell::GetRowIndex() const {
    return GetOwner() ? GetOwner()->GetCurrentRow() : -1;
}

bool TCell::GetHighlighted() const {
    TNxGridHost* Grid = GetOwner() ? GetOwner()->GetGrid() : nullptr;
    return Grid && Grid->IsCellHighlighted(GetColumnIndex(), GetRowIndex());
}

// ---------------------------------------------------------------------------------------------
// TBooleanCell

WideString TBooleanCell::GetAsString() const {
    return BoolToStr(FValue, true);
}

void TBooleanCell::SetAsBoolean(bool Value) {
    FValue = Value;
    TCell::SetAsBoolean(Value);
}

void TBooleanCell::SetAsDateTime(TDateTime Value) {
    FValue = false;
    TCell::SetAsDateTime(Value);
}

void TBooleanCell::SetAsFloat(double Value) {
    FValue = Value != 0;
    TCell::SetAsFloat(Value);
}

void TBooleanCell::SetAsInteger(int32_t Value) {
    FValue = Value != 0;
    TCell::SetAsInteger(Value);
}

void TBooleanCell::SetAsString(const WideString& Value) {
    // Only "1" and "true" in any case of A-Z count; everything else, "yes" and "-1" too, is false.
    FValue = Value == u"1" || LowerCase(Value) == u"true";
    TCell::SetAsString(Value);
}

void TBooleanCell::Clear() {
    FValue = false;
    TCell::Clear();
}

// ---------------------------------------------------------------------------------------------
// Shared conversions

namespace {

// A value truncated or rounded for an integer accessor must fit 32 bits; anything else would be
// a wrapped, meaningless number.
int32_t CheckedInt32(int64_t Value, double Source) {
    if (Value < std::numeric_limits<int32_t>::min() || Value > std::numeric_limits<int32_t>::max())
        throw EConvertError(Format(SInvalidInteger, {FloatToStr(Source)}));
    return static_cast<int32_t>(Value);
}

int32_t RoundedInt32(double Value) {
    return CheckedInt32(Round(Value), Value);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TDateTimeCell

int32_t TDateTimeCell::GetAsInteger() const {
    return CheckedInt32(Trunc(FValue), FValue);
}

WideString TDateTimeCell::GetAsString() const {
    return DateTimeToStr(FValue);
}

void TDateTimeCell::SetAsBoolean(bool Value) {
    FValue = Date();
    TCell::SetAsBoolean(Value);
}

void TDateTimeCell::SetAsDateTime(TDateTime Value) {
    FValue = Value;
    TCell::SetAsDateTime(Value);
}

void TDateTimeCell::SetAsFloat(double Value) {
    FValue = Value;
    TCell::SetAsFloat(Value);
}

void TDateTimeCell::SetAsInteger(int32_t Value) {
    FValue = Value;
    TCell::SetAsInteger(Value);
}

void TDateTimeCell::SetAsString(const WideString& Value) {
    TDateTime Parsed = 0;
    if (Value.empty() || !TryStrToDateTime(Value, Parsed)) Parsed = 0;
    FValue = Parsed;
    TCell::SetAsString(Value);
}

void TDateTimeCell::Clear() {
    FValue = 0;
    TCell::Clear();
}

// ---------------------------------------------------------------------------------------------
// TFloatCell

int32_t TFloatCell::GetAsInteger() const {
    return RoundedInt32(FValue);
}

WideString TFloatCell::GetAsString() const {
    return FloatToStr(FValue);
}

void TFloatCell::AppendAsString(WideString& Out) const {
    AppendFloatToStr(Out, FValue);
}

void TFloatCell::SetAsBoolean(bool Value) {
    FValue = 0;
    TCell::SetAsBoolean(Value);
}

void TFloatCell::SetAsDateTime(TDateTime Value) {
    FValue = Value;
    TCell::SetAsDateTime(Value);
}

void TFloatCell::SetAsFloat(double Value) {
    FValue = Value;
    TCell::SetAsFloat(Value);
}

void TFloatCell::SetAsInteger(int32_t Value) {
    FValue = Value;
    TCell::SetAsInteger(Value);
}

void TFloatCell::SetAsString(const WideString& Value) {
    FValue = StrToFloat(Value);
    TCell::SetAsString(Value);
}

void TFloatCell::Clear() {
    FValue = 0;
    TCell::Clear();
}

// ---------------------------------------------------------------------------------------------
// TIntegerCell

WideString TIntegerCell::GetAsString() const {
    return IntToStr(FValue);
}

void TIntegerCell::AppendAsString(WideString& Out) const {
    char Digits[16];
    const char* End = std::to_chars(Digits, Digits + sizeof Digits, FValue).ptr;
    for (const char* P = Digits; P < End; ++P)
        Out += static_cast<char16_t>(*P);
}

void TIntegerCell::SetAsBoolean(bool Value) {
    FValue = Value ? 1 : 0;
    TCell::SetAsBoolean(Value);
}

void TIntegerCell::SetAsDateTime(TDateTime Value) {
    FValue = 0;
    TCell::SetAsDateTime(Value);
}

void TIntegerCell::SetAsFloat(double Value) {
    FValue = RoundedInt32(Value);
    TCell::SetAsFloat(Value);
}

void TIntegerCell::SetAsInteger(int32_t Value) {
    FValue = Value;
    TCell::SetAsInteger(Value);
}

void TIntegerCell::SetAsString(const WideString& Value) {
    FValue = Value.empty() ? 0 : StrToInt(Value);
    TCell::SetAsString(Value);
}

void TIntegerCell::Clear() {
    FValue = 0;
    TCell::Clear();
}

// ---------------------------------------------------------------------------------------------
// TStringCell

TStringCell::~TStringCell() {
    GetOwner()->TextPool().Release(FValue);
}

void TStringCell::Store(const WideString& Value) {
    GetOwner()->TextPool().Assign(FValue, Value);
}

bool TStringCell::GetAsBoolean() const {
    return StrToBool(GetAsString());
}

TDateTime TStringCell::GetAsDateTime() const {
    return FValue.IsEmpty() ? 0 : StrToDateTime(GetAsString());
}

double TStringCell::GetAsFloat() const {
    return StrToFloat(GetAsString());
}

int32_t TStringCell::GetAsInteger() const {
    return StrToInt(GetAsString());
}

void TStringCell::SetAsBoolean(bool Value) {
    Store(BoolToStr(Value, true));
    TCell::SetAsBoolean(Value);
}

void TStringCell::SetAsDateTime(TDateTime Value) {
    Store(DateTimeToStr(Value));
    TCell::SetAsDateTime(Value);
}

void TStringCell::SetAsFloat(double Value) {
    Store(FloatToStr(Value));
    TCell::SetAsFloat(Value);
}

void TStringCell::SetAsInteger(int32_t Value) {
    Store(IntToStr(Value));
    TCell::SetAsInteger(Value);
}

void TStringCell::SetAsString(const WideString& Value) {
    Store(Value);
    TCell::SetAsString(Value);
}

void TStringCell::Clear() {
    GetOwner()->TextPool().Release(FValue);
    TCell::Clear();
}

// ---------------------------------------------------------------------------------------------
// TIncrementCell

WideString TIncrementCell::GetAsString() const {
    return IntToStr(GetRowIndex() + 1);
}

// ---------------------------------------------------------------------------------------------
// TGuidCell

TGuidCell::TGuidCell(TCells* ACells) : TCell(ACells), FValue(NewGUID()) {}

bool TGuidCell::GetAsBoolean() const {
    return StrToBool(GetAsString());
}
TDateTime TGuidCell::GetAsDateTime() const {
    return StrToDateTime(GetAsString());
}
double TGuidCell::GetAsFloat() const {
    return StrToFloat(GetAsString());
}
int32_t TGuidCell::GetAsInteger() const {
    return StrToInt(GetAsString());
}
WideString TGuidCell::GetAsString() const {
    return GUIDToString(FValue);
}

// The other setters convert through SetAsString, which raises for text that is no GUID, so the
// GUID stays and nothing is reported; they report once from there and once more themselves.
void TGuidCell::SetAsBoolean(bool Value) {
    SetAsString(BoolToStr(Value, true));
    TCell::SetAsBoolean(Value);
}

void TGuidCell::SetAsDateTime(TDateTime Value) {
    SetAsString(DateTimeToStr(Value));
    TCell::SetAsDateTime(Value);
}

void TGuidCell::SetAsFloat(double Value) {
    SetAsString(FloatToStr(Value));
    TCell::SetAsFloat(Value);
}

void TGuidCell::SetAsInteger(int32_t Value) {
    SetAsString(IntToStr(Value));
    TCell::SetAsInteger(Value);
}

void TGuidCell::SetAsString(const WideString& Value) {
    FValue = StringToGUID(Value);
    TCell::SetAsString(Value);
}

void TGuidCell::Clear() {
    TCell::Clear();
}

// ---------------------------------------------------------------------------------------------
// TVirtualCell

bool TVirtualCell::GetAsBoolean() const {
    return StrToBool(GetAsString());
}
TDateTime TVirtualCell::GetAsDateTime() const {
    return StrToDateTime(GetAsString());
}
double TVirtualCell::GetAsFloat() const {
    return StrToFloat(GetAsString());
}
int32_t TVirtualCell::GetAsInteger() const {
    return StrToInt(GetAsString());
}

WideString TVirtualCell::GetAsString() const {
    WideString Value;
    if (FColumn) FColumn->DoGetText(GetColumnIndex(), GetRowIndex(), Value);
    return Value;
}

void TVirtualCell::SetAsBoolean(bool Value) {
    SetAsString(BoolToStr(Value, true));
    TCell::SetAsBoolean(Value);
}

void TVirtualCell::SetAsDateTime(TDateTime Value) {
    SetAsString(DateTimeToStr(Value));
    TCell::SetAsDateTime(Value);
}

void TVirtualCell::SetAsFloat(double Value) {
    SetAsString(FloatToStr(Value));
    TCell::SetAsFloat(Value);
}

void TVirtualCell::SetAsInteger(int32_t Value) {
    SetAsString(IntToStr(Value));
    TCell::SetAsInteger(Value);
}

void TVirtualCell::SetAsString(const WideString& Value) {
    if (FColumn) FColumn->DoSetText(GetColumnIndex(), GetRowIndex(), Value);
    TCell::SetAsString(Value);
}

void TVirtualCell::Clear() {
    TCell::Clear();
}
