#pragma once
// Text column kinds: plain wide-string cells, and the kinds that are text columns with another
// editor or look (button, memo, color) or another value (time).

#include "grid/model/Column.h"
#include "platform/runtime/DateTime.h"
#include "platform/windows/StdCtrls.h"

// A column of wide-string cells, drawn with optional texts around the value and optional masking.
class TNxTextColumn : public TNxCustomColumn {
public:
    explicit TNxTextColumn(TObject* AOwner = nullptr);
    // A TNxEdit.
    std::unique_ptr<TObject> CreateCellEditor() override;

    // Copies the base settings and, from another text column, its own ones (stored directly).
    void Assign(const TPersistent* Source) override;
    TColumnStyle GetColumnStyle() const override { return {csCanEdit, csFitToLargest, csTextFitHint}; }
    TDisplayOptions GetDisplayOptions() const override;
    // TextBefore + the text + TextAfter; with a PasswordChar, all of it masked.
    WideString GetDrawText(const TCellInfo& CellInfo) override;
    bool IsKeyValid(WideChar Key) override { return Key > 32; }
    // The text's width plus 5, without a minimum.
    int GetCellBestFit(const WideString& Text) override;
    // The base preparation, then the editor is marked as in-place and gets MaxLength and
    // PasswordChar.
    void BeginEditing() override;

    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool GetMultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    // An 8-bit character; #0 shows the text as it is.
    char GetPasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    WideString GetTextAfter() const { return FTextAfter; }
    void SetTextAfter(const WideString& Value);
    WideString GetTextBefore() const { return FTextBefore; }
    void SetTextBefore(const WideString& Value);

protected:
    // The text between TextBefore and TextAfter, masked when a PasswordChar is set.
    WideString Decorate(const WideString& Text) const;
    // PasswordChar as the wide character it stands for in the 8-bit code page.
    WideChar PasswordMask() const;

private:
    int FMaxLength = 0;
    bool FMultiLine = false;
    char FPasswordChar = '\0';
    WideString FTextAfter;
    WideString FTextBefore;
};

using TButtonClickEvent = std::function<void(TObject* Sender)>;

// Options handed to the editor a column opens; the grid itself reads none of them.
enum TEditOption { eoAllowAll, eoAllowFloat, eoAllowSigned, eoDisablePaste };
using TEditOptions = TSet<TEditOption>;

// A text column whose editor has a button; the button raises OnButtonClick.
class TNxButtonColumn : public TNxTextColumn {
public:
    explicit TNxButtonColumn(TObject* AOwner = nullptr);
    // A TNxButtonEdit whose button raises OnButtonClick.
    std::unique_ptr<TObject> CreateCellEditor() override;
    // The text preparation, then the button's caption and visibility.
    void BeginEditing() override;
    ~TNxButtonColumn() override;

    void Assign(const TPersistent* Source) override;

    WideString GetButtonCaption() const { return FButtonCaption; }
    void SetButtonCaption(const WideString& Value) { FButtonCaption = Value; }
    TEditOptions GetEditOptions() const { return FEditOptions; }
    void SetEditOptions(TEditOptions Value) { FEditOptions = Value; }
    TBitmap* GetGlyph() const { return FGlyph.get(); }
    // Copies the bitmap.
    void SetGlyph(const TBitmap* Value);
    bool GetShowButton() const { return FShowButton; }
    void SetShowButton(bool Value) { FShowButton = Value; }

    // The editor's button calls this.
    virtual void DoButtonClick();
    TButtonClickEvent OnButtonClick;

private:
    WideString FButtonCaption;
    TEditOptions FEditOptions;
    std::unique_ptr<TBitmap> FGlyph;
    bool FShowButton = true;
};

// A button column whose cells are edited and drawn over several lines.
class TNxMemoColumn : public TNxButtonColumn {
public:
    explicit TNxMemoColumn(TObject* AOwner = nullptr);
    // A TNxMemoInplaceEdit.
    std::unique_ptr<TObject> CreateCellEditor() override;
    void BeginEditing() override;

    void Assign(const TPersistent* Source) override;
    TColumnStyle GetColumnStyle() const override {
        return {csCanEdit, csFitToLargest, csRedrawInplaceEdit, csTextFitHint, csWantReturns};
    }
    // Always multi-line, whatever MultiLine says.
    TDisplayOptions GetDisplayOptions() const override { return {doMultiLine}; }

    TScrollStyle GetScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value) { FScrollBars = Value; }

private:
    TScrollStyle FScrollBars = ssNone;
};

// A text column whose text names a color, drawn beside a swatch of it.
class TNxColorColumn : public TNxTextColumn {
public:
    explicit TNxColorColumn(TObject* AOwner = nullptr);
    // A TNxColorPicker writing "#RRGGBB", as the cells hold colors.
    std::unique_ptr<TObject> CreateCellEditor() override;

    void Assign(const TPersistent* Source) override;

    // The swatch fills the whole cell.
    bool GetFullSize() const { return FFullSize; }
    void SetFullSize(bool Value);

private:
    bool FFullSize = false;
};

// A text column of date-time cells showing the time of day.
class TNxTimeColumn : public TNxTextColumn {
public:
    explicit TNxTimeColumn(TObject* AOwner = nullptr);
    // A TNxTimeEdit.
    std::unique_ptr<TObject> CreateCellEditor() override;
    // The grid fills the editor with the cell's date and time; the editor shows the time only.
    void UpdateEdit() override;
    // Keeps the date of the cell being edited, whether the edit was opened filled or typed.
    void PrepareCellEdit(const WideString& CellText) override;
    // The edited time goes back on the date the cell had: editing a time never drops the day.
    void ApplyEditing(WideString& Value) override;

    void Assign(const TPersistent* Source) override;
    // EmptyCaption for 0 when HideWhenEmpty; otherwise the time by FormatMask, or the platform's
    // time format without one.
    WideString GetDrawText(const TCellInfo& CellInfo) override;

    WideString GetEmptyCaption() const { return FEmptyCaption; }
    void SetEmptyCaption(const WideString& Value);
    WideString GetFormatMask() const { return FFormatMask; }
    void SetFormatMask(const WideString& Value);
    bool GetHideWhenEmpty() const { return FHideWhenEmpty; }
    void SetHideWhenEmpty(bool Value);

private:
    WideString FEmptyCaption;
    WideString FFormatMask;
    bool FHideWhenEmpty = false;
    TDateTime FEditDate = 0; // the date part of the value being edited
};
