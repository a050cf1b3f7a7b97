#pragma once
// Cells of the grid's cell store: one native value per kind, converted on the fly by the five
// typed accessors. A cell does not know its coordinates; it answers with the store's current
// coordinates, so every use of a cell follows its own GetCell.

#include <cstdint>
#include <functional>
#include <memory>

#include "grid/model/CellText.h"
#include "grid/model/ColumnTypes.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Guid.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/SlabPool.h"

class TCells;
class TCell;
class TNxCustomColumn;

enum TNxCellStateItem { cstEmpty, cstLocked };
using TNxCellState = TSet<TNxCellStateItem>;

using TCellChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TCompareEvent = std::function<void(TObject* Sender, TCell* Cell1, TCell* Cell2, int& Compare)>;

// Cells live in their store's pool and leave through TCells::FreeCell.
class TCell : public TObject, public TSlabPooled {
public:
    explicit TCell(TCells* ACells);
    ~TCell() override = default;

    virtual TColor GetActualColor() const;
    virtual TColor GetActualFontColor() const;

    virtual bool GetAsBoolean() const = 0;
    virtual TDateTime GetAsDateTime() const = 0;
    virtual double GetAsFloat() const = 0;
    virtual int32_t GetAsInteger() const = 0;
    virtual WideString GetAsString() const = 0;

    virtual void Changed();

    // Every kind stores first and then calls these, so each assignment reports a change.
    virtual void SetAsBoolean(bool Value);
    virtual void SetAsDateTime(TDateTime Value);
    virtual void SetAsFloat(double Value);
    virtual void SetAsInteger(int32_t Value);
    virtual void SetAsString(const WideString& Value);

    virtual void Clear();

    // Appends GetAsString's text to Out; the kinds holding text or a number spare the string in
    // between.
    virtual void AppendAsString(WideString& Out) const;
    // Characters of the text the cell holds, without making it: 0 for the kinds that hold no
    // text and form it only when asked.
    virtual size_t GetHeldTextLength() const { return 0; }
    // Asks the processor to fetch memory the value lives in outside the cell, ahead of a read.
    virtual void PrefetchValue() const {}

    TCells* GetOwner() const;

    TObject* GetObjectReference() const;
    void SetObjectReference(TObject* Value);

    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TFontStyles GetFontStyle() const { return TFontStyles::FromBits(FFontStyleBits); }
    void SetFontStyle(TFontStyles Value);
    WideString GetHint() const;
    void SetHint(const WideString& Value);

    TNxCellState GetState() const { return TNxCellState::FromBits(FStateBits); }
    bool GetLocked() const { return GetState().Contains(cstLocked); }
    void SetLocked(bool Value);
    bool GetEmpty() const { return GetState().Contains(cstEmpty); }
    void SetEmpty(bool Value);

    int GetColumnIndex() const;
    int GetRowIndex() const;
    bool GetHighlighted() const;

private:
    friend class TCells;
    void DropEmptyExtras();

    // The store by its number among the live stores (0: none), and the two small sets and three
    // flags in bits: a cell is 16 bytes before its value, so a text or number cell takes 24.
    uint16_t FOwnerId;
    uint8_t FFontStyleBits = 0;
    uint8_t FStateBits : 2 = static_cast<uint8_t>(TNxCellState{cstLocked}.Bits());
    // Set while the store keeps a hint or an object reference for the cell: few cells carry them.
    uint8_t FHasExtras : 1 = 0;
    // Which of the store's pools the cell's slot is in, and whether its value follows the store's
    // current coordinates.
    uint8_t FSlotKind : 2 = 0;
    TColor FColor = clWindow;
};

class TBooleanCell : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override { return FValue; }
    TDateTime GetAsDateTime() const override { return 0; }
    double GetAsFloat() const override { return FValue ? 1 : 0; }
    int32_t GetAsInteger() const override { return FValue ? 1 : 0; }
    WideString GetAsString() const override;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int32_t Value) override;
    void SetAsString(const WideString& Value) override;
    void Clear() override;

private:
    bool FValue = false;
};

class TDateTimeCell : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override { return false; }
    TDateTime GetAsDateTime() const override { return FValue; }
    double GetAsFloat() const override { return FValue; }
    int32_t GetAsInteger() const override;
    WideString GetAsString() const override;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int32_t Value) override;
    void SetAsString(const WideString& Value) override;
    void Clear() override;

private:
    TDateTime FValue = 0;
};

class TFloatCell : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override { return false; }
    TDateTime GetAsDateTime() const override { return FValue; }
    double GetAsFloat() const override { return FValue; }
    int32_t GetAsInteger() const override;
    WideString GetAsString() const override;
    void AppendAsString(WideString& Out) const override;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int32_t Value) override;
    void SetAsString(const WideString& Value) override;
    void Clear() override;

private:
    double FValue = 0;
};

class TIntegerCell : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override { return FValue > 0; }
    TDateTime GetAsDateTime() const override { return 0; }
    double GetAsFloat() const override { return FValue; }
    int32_t GetAsInteger() const override { return FValue; }
    WideString GetAsString() const override;
    void AppendAsString(WideString& Out) const override;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int32_t Value) override;
    void SetAsString(const WideString& Value) override;
    void Clear() override;

private:
    int32_t FValue = 0;
};

// Its text lives in the store's text pool (short Latin-1 texts in the cell itself).
class TStringCell : public TCell {
public:
    using TCell::TCell;
    ~TStringCell() override;
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    int32_t GetAsInteger() const override;
    WideString GetAsString() const override { return FValue.ToString(); }
    void AppendAsString(WideString& Out) const override { FValue.AppendTo(Out); }
    size_t GetHeldTextLength() const override { return FValue.Length(); }
    void PrefetchValue() const override { FValue.Prefetch(); }
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int32_t Value) override;
    void SetAsString(const WideString& Value) override;
    void Clear() override;

private:
    void Store(const WideString& Value);
    TCellText FValue;
};

// Holds nothing: its value is the number of the row it is looked up in, counted from 1. Value
// assignments store nothing but still report a change, as every assignment does; Clear is silent.
class TIncrementCell : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override { return false; }
    TDateTime GetAsDateTime() const override { return 0; }
    double GetAsFloat() const override { return GetRowIndex() + 1; }
    int32_t GetAsInteger() const override { return GetRowIndex() + 1; }
    WideString GetAsString() const override;
    void SetAsBoolean(bool) override { Changed(); }
    void SetAsDateTime(TDateTime) override { Changed(); }
    void SetAsFloat(double) override { Changed(); }
    void SetAsInteger(int32_t) override { Changed(); }
    void SetAsString(const WideString&) override { Changed(); }
    void Clear() override {}
};

class TGuidCell : public TCell {
public:
    explicit TGuidCell(TCells* ACells);
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    int32_t GetAsInteger() const override;
    WideString GetAsString() const override;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int32_t Value) override;
    void SetAsString(const WideString& Value) override;
    void Clear() override;

    TGUID GetAsGuid() const { return FValue; }
    // Writes the GUID directly; reports no change.
    void SetAsGuid(const TGUID& Value) { FValue = Value; }

private:
    TGUID FValue{};
};

// Holds no value: reads and writes go to its column's text handlers.
class TVirtualCell : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    int32_t GetAsInteger() const override;
    WideString GetAsString() const override;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int32_t Value) override;
    void SetAsString(const WideString& Value) override;
    void Clear() override;

    void SetColumn(TNxCustomColumn* Value) { FColumn = Value; }
    TNxCustomColumn* GetColumn() const { return FColumn; }

private:
    TNxCustomColumn* FColumn = nullptr;
};
