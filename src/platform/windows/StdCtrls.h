#pragma once
// Standard controls: push button, single-line edit (with password masking), memo, group box
// and label.

#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/StringList.h"
#include "platform/windows/Controls.h"

// Edit messages that the component set sends to edits.
constexpr UINT EM_SETMARGINS = 0x00D3;
constexpr UINT EM_GETMARGINS = 0x00D4;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr WPARAM EC_LEFTMARGIN = 0x1;
constexpr WPARAM EC_RIGHTMARGIN = 0x2;
// Edit window styles read from CreateParams when the editor is made.
constexpr uint32_t ES_LEFT = 0x0000u;
constexpr uint32_t ES_CENTER = 0x0001u;
constexpr uint32_t ES_RIGHT = 0x0002u;
constexpr uint32_t ES_PASSWORD = 0x0020u;
constexpr uint32_t ES_AUTOVSCROLL = 0x0040u;
constexpr uint32_t ES_AUTOHSCROLL = 0x0080u;

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);
    ~TButton() override;
    void Click() override;
    bool GetDefault() const { return FDefault; }
    void SetDefault(bool Value) { FDefault = Value; }
    bool GetCancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    int GetModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }

protected:
    bool IsNativeWindow() const override { return true; }
    void CreateNativeWindow() override;
    void CreateWnd() override;
    void SetTextValue(const WideString& Value) override;
    void DefaultHandler(TMessage& Message) override;

private:
    bool FDefault = false;
    bool FCancel = false;
    int FModalResult = 0;
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A single-line edit. With a PasswordChar each character shows as that character, Text still
// returns the real text, and copying or cutting masked text to the clipboard is refused.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    WideChar GetPasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(WideChar Value);
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // Reading order: every mode but bdLeftToRight lays the text and caret out from the right.
    TBiDiMode GetBiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool GetAutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    bool GetHideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value) { FHideSelection = Value; }
    bool GetModified() const;
    void SetModified(bool Value);

    // Selection, in characters.
    int GetSelStart() const;
    void SetSelStart(int Value);
    int GetSelLength() const;
    void SetSelLength(int Value);
    WideString GetSelText() const;
    void SetSelText(const WideString& Value);
    void SelectAll();
    void ClearSelection();
    void Clear();

    // Clipboard and undo. Copy and cut do nothing while a PasswordChar is set.
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    bool GetCanUndo() const;
    void Undo();
    void ClearUndo();

    // The text margins in pixels, as set by EM_SETMARGINS.
    int GetLeftMargin() const { return FLeftMargin; }
    int GetRightMargin() const { return FRightMargin; }
    void SetMargins(int Left, int Right);
    // What the box shows (the mask characters when masked).
    WideString GetDisplayText() const;

    TNotifyEvent OnChange;
    virtual void Change();

    void DefaultHandler(TMessage& Message) override;

protected:
    bool IsNativeWindow() const override { return true; }
    void CreateNativeWindow() override;
    // Adds the alignment style (ES_LEFT, ES_CENTER, ES_RIGHT) and ES_AUTOHSCROLL; the editor is
    // made with the alignment of the style it was created with.
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    WideString GetTextValue() const override;
    void SetTextValue(const WideString& Value) override;
    void CMFontChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;

private:
    void ApplyNative();
    WideChar FPasswordChar = 0;
    int FMaxLength = 0;
    bool FReadOnly = false;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSelect = true;
    bool FHideSelection = true;
    int FLeftMargin = 0;
    int FRightMargin = 0;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomMemo;
// The lines of a memo, read and written through the memo's editor.
class TMemoLines : public TStrings {
public:
    explicit TMemoLines(TCustomMemo* Memo) : FMemo(Memo) {}
    WideString Get(int Index) const override; // raises EListError out of range
    void Put(int Index, const WideString& S) override;
    int GetCount() const override;
    void Insert(int Index, const WideString& S) override;
    void Delete(int Index) override;
    void Clear() override;

private:
    TCustomMemo* FMemo;
};

class TCustomMemo : public TWinControl {
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;
    TMemoLines* GetLines() { return &FLines; }
    TScrollStyle GetScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TNotifyEvent OnChange;

protected:
    friend class TMemoLines;
    bool IsNativeWindow() const override { return true; }
    void CreateNativeWindow() override;
    void CreateWnd() override;
    WideString GetTextValue() const override;
    void SetTextValue(const WideString& Value) override;
    void DefaultHandler(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void DestroyWnd() override;

private:
    void ApplyNative();
    TMemoLines FLines{this};
    std::vector<WideString> FOffline; // the lines while there is no window
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FReadOnly = false;
};

class TMemo : public TCustomMemo {
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// A frame with a caption on its top edge; children sit inside.
class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* AOwner);
    void AdjustClientRect(TRect& Rect) override;

protected:
    void Paint() override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
};

enum TTextLayout { tlTop, tlCenter, tlBottom };

// A text label without a window. "&" marks the accelerator character (drawn underlined)
// unless ShowAccelChar is off; "&&" is a literal ampersand.
class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout GetLayout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool GetShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TWinControl* GetFocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    void SetAutoSize(bool Value) override;
    // The caption as drawn (accelerator marks removed when ShowAccelChar is on).
    WideString GetLabelText() const;
    // The accelerator character (upper case), or 0.
    WideChar GetAccelChar() const;

protected:
    void Paint() override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    // Measures (Calc) or draws the caption in R with the label's flags.
    virtual void DoDrawText(TRect& R, UINT Flags);
    void AdjustBounds();

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    bool FWordWrap = false;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};
