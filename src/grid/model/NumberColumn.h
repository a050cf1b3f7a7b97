#pragma once
// Number column kinds: float cells shown through a format mask, edited with a spin edit or a
// calculator.

#include "grid/model/TextColumn.h"

class TNxCustomNumberColumn : public TNxCustomColumn {
public:
    explicit TNxCustomNumberColumn(TObject* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;
    TColumnStyle GetColumnStyle() const override { return {csCanEdit, csFitToLargest, csTextFitHint}; }
    // EmptyCaption for 0 when HideWhenEmpty; otherwise TextBefore + the value (by FormatMask, or
    // in the shortest general form) + TextAfter.
    WideString GetDrawText(const TCellInfo& CellInfo) override;

    TEditOptions GetEditOptions() const { return FEditOptions; }
    void SetEditOptions(TEditOptions Value) { FEditOptions = Value; }
    WideString GetEmptyCaption() const { return FEmptyCaption; }
    void SetEmptyCaption(const WideString& Value);
    WideString GetFormatMask() const { return FFormatMask; }
    void SetFormatMask(const WideString& Value);
    bool GetHideWhenEmpty() const { return FHideWhenEmpty; }
    void SetHideWhenEmpty(bool Value);
    // Limits for the editor; both 0 means none.
    double GetMax() const { return FMax; }
    void SetMax(double Value) { FMax = Value; }
    double GetMin() const { return FMin; }
    void SetMin(double Value) { FMin = Value; }
    WideString GetTextAfter() const { return FTextAfter; }
    void SetTextAfter(const WideString& Value);
    WideString GetTextBefore() const { return FTextBefore; }
    void SetTextBefore(const WideString& Value);

private:
    TEditOptions FEditOptions;
    WideString FEmptyCaption;
    WideString FFormatMask;
    bool FHideWhenEmpty = false;
    double FMax = 0;
    double FMin = 0;
    WideString FTextAfter;
    WideString FTextBefore;
};

// A number column edited with a spin edit that steps by Increment.
class TNxNumberColumn : public TNxCustomNumberColumn {
public:
    explicit TNxNumberColumn(TObject* AOwner = nullptr);
    // A TNxSpinEdit stepping by Increment, within Min..Max, with Precision decimals.
    std::unique_ptr<TObject> CreateCellEditor() override;
    void BeginEditing() override;

    void Assign(const TPersistent* Source) override;

    double GetIncrement() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    // Decimals the editor keeps.
    int GetPrecision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }
    bool GetSpinButtons() const { return FSpinButtons; }
    void SetSpinButtons(bool Value) { FSpinButtons = Value; }

private:
    double FIncrement = 1;
    int FPrecision = 0;
    bool FSpinButtons = true;
};

// A number column edited with a calculator.
class TNxCalcColumn : public TNxCustomNumberColumn {
public:
    explicit TNxCalcColumn(TObject* AOwner = nullptr);
    // A TNxCalcEdit within Min..Max.
    std::unique_ptr<TObject> CreateCellEditor() override;
    void BeginEditing() override;
};
