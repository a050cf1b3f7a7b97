#pragma once
// Columns that hold no plain value: GUID cells, and virtual cells whose text the program supplies.

#include "grid/model/Column.h"

// Texts around the value shared by the GUID and virtual kinds.
class TNxAffixedColumn : public TNxCustomColumn {
public:
    explicit TNxAffixedColumn(TObject* AOwner = nullptr);
    // A TNxEdit.
    std::unique_ptr<TObject> CreateCellEditor() override;

    void Assign(const TPersistent* Source) override;
    TColumnStyle GetColumnStyle() const override { return {csCanEdit, csFitToLargest, csTextFitHint}; }
    // TextBefore + the value + TextAfter.
    WideString GetDrawText(const TCellInfo& CellInfo) override;

    bool GetAutoExecute() const { return FAutoExecute; }
    void SetAutoExecute(bool Value) { FAutoExecute = Value; }
    WideString GetTextAfter() const { return FTextAfter; }
    void SetTextAfter(const WideString& Value);
    WideString GetTextBefore() const { return FTextBefore; }
    void SetTextBefore(const WideString& Value);

private:
    bool FAutoExecute = false;
    WideString FTextAfter;
    WideString FTextBefore;
};

// GUID cells; a new cell gets a new GUID.
class TNxGuidColumn : public TNxAffixedColumn {
public:
    explicit TNxGuidColumn(TObject* AOwner = nullptr);
};

using TGetTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value)>;
using TSetTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, const WideString& Value)>;

// Virtual cells: reading asks OnGetText, writing hands the text to OnSetText.
class TNxVirtualColumn : public TNxAffixedColumn {
public:
    explicit TNxVirtualColumn(TObject* AOwner = nullptr);

    bool IsKeyValid(WideChar Key) override { return Key > 32; }
    // Without a handler Value stays as it is, resp. nothing happens.
    void DoGetText(int ACol, int ARow, WideString& Value) override;
    void DoSetText(int ACol, int ARow, const WideString& Value) override;

    TGetTextEvent OnGetText;
    TSetTextEvent OnSetText;
};
