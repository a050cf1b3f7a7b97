#pragma once
// A grid column: what is the same for every cell of a column (type, alignment, colors, font,
// width and position, header, footer, sort and edit settings). Concrete column kinds derive
// from TNxCustomColumn; the base names no display, so only kinds are created.

#include <functional>
#include <memory>
#include <vector>

#include "grid/model/ColumnTypes.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/runtime/Object.h"
#include "platform/windows/Component.h"

class TCanvas;
class TNxColumns;
class TNxCustomColumn;
class TNxGridHost;

using TColumnNotifyProc = std::function<void(TNxCustomColumn* Sender, TColumnNotifyOperation Operation)>;
using TColumnChangeEvent =
    std::function<void(TObject* Sender, TNxCustomColumn* AColumn, TColumnChangeKind ChangeKind, int Param)>;
using TColumnsChangeEvent =
    std::function<void(TObject* Sender, TColumnsOperation ChangeOpearation, int Value1, int Value2)>;

// The common part of header and footer.
class TColumnPart : public TPersistent {
public:
    explicit TColumnPart(TNxCustomColumn* AColumn, TColor DefaultColor);
    ~TColumnPart() override;

    void Assign(const TPersistent* Source) override;

    WideString GetCaption() const { return FCaption; }
    void SetCaption(const WideString& Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TDisplayMode GetDisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TDisplayMode Value);
    TBitmap* GetGlyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    WideString GetHint() const { return FHint; }
    void SetHint(const WideString& Value) { FHint = Value; }
    TNxCustomColumn* GetColumn() const { return FColumn; }

    TNotifyEvent OnChange;

protected:
    void DoChange();

private:
    void GlyphChanged();

    TNxCustomColumn* FColumn;
    WideString FCaption;
    TColor FColor;
    TDisplayMode FDisplayMode = dmTextOnly;
    std::unique_ptr<TBitmap> FGlyph;
    WideString FHint;
    bool FGlyphUpdating = false;
};

class TColumnFooter : public TColumnPart {
public:
    explicit TColumnFooter(TNxCustomColumn* AColumn);

    // Copies the footer's own settings, nothing of the common part.
    void Assign(const TPersistent* Source) override;

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TFormulaKind GetFormulaKind() const { return FFormulaKind; }
    void SetFormulaKind(TFormulaKind Value);
    AnsiString GetFormatMask() const { return FFormatMask; }
    void SetFormatMask(const AnsiString& Value);
    TFormatMaskKind GetFormatMaskKind() const { return FFormatMaskKind; }
    void SetFormatMaskKind(TFormatMaskKind Value);
    WideString GetTextAfter() const { return FTextAfter; }
    void SetTextAfter(const WideString& Value);
    WideString GetTextBefore() const { return FTextBefore; }
    void SetTextBefore(const WideString& Value);
    double GetFormulaValue() const { return FFormulaValue; }
    void SetFormulaValue(double Value);

private:
    TAlignment FAlignment = taLeftJustify;
    TFormulaKind FFormulaKind = fkNone;
    AnsiString FFormatMask;
    TFormatMaskKind FFormatMaskKind = mkText;
    WideString FTextAfter;
    WideString FTextBefore;
    double FFormulaValue = 0;
};

class TColumnHeader : public TColumnPart {
public:
    explicit TColumnHeader(TNxCustomColumn* AColumn);

    void Assign(const TPersistent* Source) override;

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool GetHideArrow() const { return FHideArrow; }
    void SetHideArrow(bool Value);
    bool GetMultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    THeaderOrientation GetOrientation() const { return FOrientation; }
    void SetOrientation(THeaderOrientation Value);

private:
    TAlignment FAlignment = taLeftJustify;
    bool FHideArrow = true;
    bool FMultiLine = false;
    THeaderOrientation FOrientation = hoHorizontal;
};

// Where the column's value sits inside a slide.
class TNxSlideBounds : public TPersistent {
public:
    explicit TNxSlideBounds(TNxCustomColumn* AColumn) : FColumn(AColumn) {}

    void Assign(const TPersistent* Source) override;

    int GetLeft() const { return FLeft; }
    void SetLeft(int Value);
    int GetTop() const { return FTop; }
    void SetTop(int Value);
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);
    int GetRight() const { return FLeft + FWidth; }
    int GetBottom() const { return FTop + FHeight; }

private:
    void Changed();

    TNxCustomColumn* FColumn;
    int FLeft = 8;
    int FTop = 8;
    int FWidth = 80;
    int FHeight = 16;
};

// The widest a column can be, whatever a program or a saved layout asks: far beyond any screen,
// and small enough that an edge plus a width never leaves the grid's 32-bit coordinates.
constexpr int kMaxColumnWidth = 1 << 16;

// A column is a component so that a form owning it finds it by name. Either owner may free it
// first: the destructor leaves the collection, and the component base leaves the form.
class TNxCustomColumn : public TComponent {
public:
    // AOwner is what frees the column: its collection, or a form (a component owner, which
    // then lists the column among its components).
    explicit TNxCustomColumn(TObject* AOwner = nullptr);
    ~TNxCustomColumn() override;
    TNxCustomColumn(const TNxCustomColumn&) = delete;
    TNxCustomColumn& operator=(const TNxCustomColumn&) = delete;

    // --- overridable operations of the kinds
    // The view objects a kind uses (editor, display, play), made when first asked for, so they
    // are always those of the most derived kind. A kind's constructor must not ask for them.
    virtual std::unique_ptr<TObject> CreateCellEditor() { return nullptr; }
    // By default the display the view registered for this kind (SetColumnDisplayFactory), if any.
    virtual std::unique_ptr<TObject> CreateColumnDisplay();
    // By default the play the view registered for this kind (SetColumnPlayFactory); none for
    // kinds that take no input inside their cells.
    virtual std::unique_ptr<TObject> CreateColumnPlay();
    virtual TColumnState GetColumnState() const;
    virtual TColumnStyle GetColumnStyle() const { return {}; }
    virtual void SetColumnType(TColumnType Value) { FColumnType = Value; }
    // Width that fits Text in the column's font, plus 6, at least 8. Measures on one canvas kept
    // by the column, so sizing a column over many rows allocates nothing per call.
    virtual int GetCellBestFit(const WideString& Text);
    virtual TDisplayOptions GetDisplayOptions() const { return {}; }
    virtual WideString GetDrawText(const TCellInfo& CellInfo) { return CellInfo.AsString; }
    virtual WideString GetHintText(const TCellInfo& CellInfo) { return GetDrawText(CellInfo); }
    virtual WideString GetInputDrawText() { return FInputValue; }
    virtual WideString GetInputValue() { return FInputValue; }
    // Whether a typed character (any UTF-16 unit, not only Latin ones) may start editing.
    virtual bool IsKeyValid(WideChar /*Key*/) { return false; }
    virtual void AdjustEditRect(int /*ARow*/, TRect& /*Rect*/) {}
    virtual void ApplyEditing(WideString& /*Value*/) {}
    // Prepares the column's own editor (an edit of the edit-box family) before the grid shows it:
    // updating mode on, the column's Alignment, no border, border width 0, left margin 1. The grid
    // takes the editor out of updating mode afterwards. Nothing without an own editor.
    virtual void BeginEditing();
    virtual void UpdateEdit() {}
    // The grid opens an editor on a cell of this column whose text is CellText (empty for the
    // input row), before the editor is filled or typed into; base: nothing.
    virtual void PrepareCellEdit(const WideString& /*CellText*/) {}
    // Value source of virtual cells; the virtual column kind answers them.
    virtual void DoGetText(int /*ACol*/, int /*ARow*/, WideString& /*Value*/) {}
    virtual void DoSetText(int /*ACol*/, int /*ARow*/, const WideString& /*Value*/) {}

    void Assign(const TPersistent* Source) override;

    // --- change reporting
    void NotifyColumnChange(TColumnChangeKind Kind, int Param = 0);
    void Refresh(TGridArea Area);
    void Notify(TColumnNotifyOperation Operation);
    // Listeners are told in registration order. Unregistering removes every entry with the
    // same key; the key is what identifies a listener, since functions cannot be compared.
    void RegisterNotification(const void* Key, TColumnNotifyProc Proc);
    void UnregisterNotification(const void* Key);
    void TryUpdateColumns(bool UpdatePositions);

    // --- collection membership and geometry
    TNxColumns* GetCollection() const { return FCollection; }
    int GetIndex() const;
    void SetIndex(int Value);
    int GetAbsoluteLeft() const;
    TRect GetMemberRect(TColumnMemberKind Kind) const;
    bool IsAlone() const;
    bool IsClipped() const;
    int GetLeft() const { return FLeft; }
    int GetVisibleIndex() const { return FVisibleIndex; }
    TColumnLocation GetLocation() const;
    bool GetFirst() const;
    bool GetLast() const;
    TNxCustomColumn* GetNextColumn() const;
    TNxCustomColumn* GetPrevColumn() const;
    bool GetFocused() const;
    bool GetHover() const;
    bool GetSelected() const;
    TNxGridHost* GetGridComponent() const;
    TRect GetSlideRect() const;
    int GetSlideWidth() const { return FSlideBounds->GetWidth(); }

    // --- component vocabulary
    // What frees the column: the collection, a form, or nothing.
    TObject* GetComponentOwner() const { return FOwner; }
    // Renames (the component base refuses a name the owner already has) and tells listeners.
    void SetName(const std::string& Value) override;
    bool IsReading() const { return FReading; }
    // Reading from a form description: SetParentComponent joins the grid's collection (index
    // order only); ReadState applies the read properties and then places the column in
    // display order by its Position.
    void SetParentComponent(TNxGridHost* Grid);
    TNxGridHost* GetParentComponent() const { return GetGridComponent(); }
    bool HasParent() const { return true; }
    void ReadState(const std::function<void(TNxCustomColumn*)>& ReadProperties);
    // A linked component (the in-place editor) is going away: the column forgets it.
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // --- published properties
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBiDiMode GetBiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    WideString GetDefaultValue() const { return FDefaultValue; }
    void SetDefaultValue(const WideString& Value) { FDefaultValue = Value; }
    int GetDefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value) { FDefaultWidth = Value; }
    TDrawingOptions GetDrawingOptions() const { return FDrawingOptions; }
    void SetDrawingOptions(TDrawingOptions Value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(const TFont* Value);
    TColumnFooter* GetFooter() const { return FFooter.get(); }
    void SetFooter(const TColumnFooter* Value);
    TColumnHeader* GetHeader() const { return FHeader.get(); }
    void SetHeader(const TColumnHeader* Value);
    // An editor the program assigns instead of the kind's own. The column asks to hear of its
    // destruction and then drops it, so the grid never reaches a freed editor.
    TComponent* GetInplaceEdit() const { return FInplaceEdit; }
    void SetInplaceEdit(TComponent* Value);
    WideString GetInputCaption() const { return FInputCaption; }
    void SetInputCaption(const WideString& Value);
    void SetInputValue(const WideString& Value);
    // The column's cell in the input row is being edited (the view sets and clears it).
    bool GetInputEditing() const { return FInputEditing; }
    void SetInputEditing(bool Value) { FInputEditing = Value; }
    int GetMinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value) { FMinWidth = Value; }
    TColumnOptions GetOptions() const { return FOptions; }
    virtual void SetOptions(TColumnOptions Value);
    int GetPadding() const { return FPadding; }
    void SetPadding(int Value);
    bool GetParentCellColor() const { return FParentCellColor; }
    void SetParentCellColor(bool Value);
    bool GetParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    int GetPosition() const { return FPosition; }
    void SetPosition(int Value);
    TNxSlideBounds* GetSlideBounds() const { return FSlideBounds.get(); }
    void SetSlideBounds(const TNxSlideBounds* Value);
    AnsiString GetSlideCaption() const { return FSlideCaption; }
    void SetSlideCaption(const AnsiString& Value);
    TSlideCatpionLocation GetSlideCaptionLocation() const { return FSlideCaptionLocation; }
    void SetSlideCaptionLocation(TSlideCatpionLocation Value);
    bool GetSorted() const { return FSorted; }
    void SetSorted(bool Value);
    TSortKind GetSortKind() const { return FSortKind; }
    void SetSortKind(TSortKind Value);
    TSortType GetSortType() const { return FSortType; }
    void SetSortType(TSortType Value);
    void Resort();
    AnsiString GetStyleClass() const { return FStyleClass; }
    void SetStyleClass(const AnsiString& Value) { FStyleClass = Value; }
    TVerticalAlignment GetVerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    int GetWidth() const { return FWidth; }
    // Kept within MinWidth and kMaxColumnWidth (a minimum above that maximum yields the maximum).
    void SetWidth(int Value);
    // The width without resizing the auto-size columns; automatic sizing uses it. Kept within the
    // same bounds.
    void SetSilentWidth(int Value);
    TWrapKind GetWrapKind() const { return FWrapKind; }
    void SetWrapKind(TWrapKind Value);

    TColumnType GetColumnType() const { return FColumnType; }
    bool GetEditing() const { return FOptions.Contains(coEditing); }
    void SetEditing(bool Value);

    // The view objects, made on first use from the Create* operations above.
    TObject* GetColumnDisplay();
    // How the view makes a kind's display: the model names no view classes. Set once by the view
    // before any column is painted; columns that made their display already keep it.
    using TColumnDisplayFactory = std::unique_ptr<TObject> (*)(TNxCustomColumn& Column);
    static void SetColumnDisplayFactory(TColumnDisplayFactory Factory);
    // The same for plays, the input counterparts of displays; a factory may answer null.
    static void SetColumnPlayFactory(TColumnDisplayFactory Factory);
    // The play, null for kinds without one.
    TObject* GetColumnPlay();
    TObject* GetCellEditor();

    // The grid's font reaches a column with ParentFont through this.
    void TakeGridFont();

private:
    friend class TNxColumns;
    void FontChanged();
    void PartChanged();
    void CopyGridFont();
    // The same from a grid given, for a column not yet in a collection.
    void CopyGridFont(TNxGridHost* Grid);
    void EnsureViewObjects();
    bool InReadingState() const;

protected:
    // A canvas in the column's font for measuring text.
    TCanvas* MeasureCanvas();

private:
    TObject* FOwner;
    bool FReading = false;

    TAlignment FAlignment = taLeftJustify;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TColor FColor = clWindow;
    TCursor FCursor = 0;
    WideString FDefaultValue;
    int FDefaultWidth = 80;
    TDrawingOptions FDrawingOptions = doNormal;
    bool FEnabled = true;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TColumnFooter> FFooter;
    std::unique_ptr<TColumnHeader> FHeader;
    TComponent* FInplaceEdit = nullptr;
    bool FInputEditing = false;
    WideString FInputCaption;
    WideString FInputValue;
    int FMinWidth = 8;
    TColumnOptions FOptions{coCanClick, coCanInput, coCanSort, coPublicUsing};
    int FPadding = 0;
    bool FParentCellColor = false;
    bool FParentFont = true;
    int FPosition = -1;
    std::unique_ptr<TNxSlideBounds> FSlideBounds;
    AnsiString FSlideCaption;
    TSlideCatpionLocation FSlideCaptionLocation = clTop;
    bool FSorted = false;
    TSortKind FSortKind = skAscending;
    TSortType FSortType = stAlphabetic;
    AnsiString FStyleClass;
    TVerticalAlignment FVerticalAlignment = taVerticalCenter;
    bool FVisible = true;
    int FWidth = 80;
    TWrapKind FWrapKind = wkEllipsis;

    TColumnType FColumnType = ctString;
    TNxColumns* FCollection = nullptr;
    int FLeft = 0;
    int FVisibleIndex = -1;
    bool FViewObjectsMade = false;
    std::unique_ptr<TObject> FCellEditor;
    std::unique_ptr<TObject> FDisplay;
    std::unique_ptr<TObject> FPlay;
    std::unique_ptr<std::vector<std::pair<const void*, TColumnNotifyProc>>> FListeners;
    bool FFontLock = false;
    // While SetFont copies a font, the copy's own change report waits for the setter's one.
    bool FFontAssigning = false;
    std::unique_ptr<TBitmap> FMeasureBitmap;
};
