#pragma once
// The control set's single-line edit box: TNxCustomEdit (information area with glyph and preview
// box, text margins and alignment, typed accessors, the grid's editing hooks) and TNxEdit (the
// left select-all zone, the themed border, border rings, margins kept on size and font changes).
//
// The platform edit supplies caret, selection, clipboard, undo and masking. With a PasswordChar
// the box shows one mask character per character, Text and the typed accessors still return the
// real text, and the text never leaves the box by clipboard, drag, undo after a clear or an error
// message.

#include <functional>
#include <memory>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exception.h"
#include "platform/windows/ControlCanvas.h"
#include "platform/windows/StdCtrls.h"

namespace NxEdit {

class TNxCustomEdit;

// The screen cursor number of the reversed arrow shown over the left select-all zone.
constexpr TCursor crReversedArrow = 1000;

// Left and right text margins of an edit, in pixels. Writing either applies the margins again and
// recreates the owner's window (the text is kept).
class TNxEditMargins : public TPersistent {
public:
    explicit TNxEditMargins(TNxCustomEdit* AOwner) : FOwner(AOwner) {}

    int GetLeft() const { return FLeft; }
    void SetLeft(int Value);
    int GetRight() const { return FRight; }
    void SetRight(int Value);

    void Assign(const TPersistent* Source) override;

private:
    TNxCustomEdit* FOwner; // not owned
    int FLeft = 0;
    int FRight = 0;
};

// Four margins of the other edit kinds; writing any of them recreates the owner's window.
// (Not the panel's margins, which are NxCollection::TNxMargins.)
class TNxMargins : public TPersistent {
public:
    explicit TNxMargins(TWinControl* AOwner) : FOwner(AOwner) {}

    int GetTop() const { return FTop; }
    void SetTop(int Value);
    int GetLeft() const { return FLeft; }
    void SetLeft(int Value);
    int GetBottom() const { return FBottom; }
    void SetBottom(int Value);
    int GetRight() const { return FRight; }
    void SetRight(int Value);

    void Assign(const TPersistent* Source) override;

private:
    void Changed();
    TWinControl* FOwner; // not owned; may be null
    int FTop = 0, FLeft = 0, FBottom = 0, FRight = 0;
};

// The information area: a child window at the left of the edit, inside its border, showing the
// glyph and the preview box on the edit's color.
class TNxEditInfo : public TCustomControl {
public:
    // Owned by the edit and placed on it.
    explicit TNxEditInfo(TNxCustomEdit* AEdit);

    TNxCustomEdit* GetEdit() const { return FEdit; }
    // The preview box in the area's coordinates, before the gray frame is taken off; empty when
    // the preview is not shown.
    TRect GetPreviewBox() const;
    // Where a click counts as a click on the glyph; empty without a glyph.
    TRect GetGlyphHitRect() const;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TNxCustomEdit* FEdit;
};

using TNxPreviewDrawEvent = std::function<void(TObject* Sender, const TRect& PreviewRect)>;

class TNxCustomEdit : public TCustomEdit {
public:
    // 121 x 20, clWindow, single border, AutoSize, TabStop; registers the reversed arrow cursor
    // under crReversedArrow.
    explicit TNxCustomEdit(TComponent* AOwner);
    ~TNxCustomEdit() override;

    // ---- appearance

    // Alignment (inherited): writing a new value recreates the window; the text is kept.
    TNxEditMargins* GetEditMargins() const { return FEditMargins.get(); }
    void SetEditMargins(const TNxEditMargins* Value) { FEditMargins->Assign(Value); }
    // The glyph shown in the information area. Writing copies the bitmap; the glyph becomes
    // transparent with its bottom-left pixel, the margins are applied and the window recreated.
    TBitmap* GetGlyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    bool GetPreviewBorder() const { return FPreviewBorder; }
    void SetPreviewBorder(bool Value);
    bool GetShowPreview() const { return FShowPreview; }
    void SetShowPreview(bool Value);
    // Tab stays in the box instead of moving the focus.
    bool GetWantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    TEditCharCase GetCharCase() const { return FCharCase; }
    // Converts the current text at once; later text (typed, pasted or set) follows.
    void SetCharCase(TEditCharCase Value);
    // With AutoSize and a single border the height follows the font: text height + 8 (6 without
    // Ctl3D).
    int GetAutoHeight() const;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;

    // ---- typed accessors. Reading raises EConvertError when the text is not a valid value;
    // for a masked box the message shows mask characters instead of the text.
    virtual bool GetAsBoolean() const;
    virtual TDateTime GetAsDateTime() const; // 0 for an empty box
    virtual double GetAsFloat() const;
    virtual int GetAsInteger() const;
    virtual WideString GetAsString() const;
    virtual void SetAsBoolean(bool Value); // "True" or "False"
    virtual void SetAsDateTime(TDateTime Value);
    virtual void SetAsFloat(double Value);
    virtual void SetAsInteger(int Value);
    virtual void SetAsString(const WideString& Value);

    // ---- geometry (edit client coordinates)

    // True: the platform draws the text. A descendant returning false paints in Paint.
    virtual bool GetDefaultDrawing() const { return true; }
    // The client rectangle narrowed to the preview box.
    virtual TRect GetPreviewRect() const;
    // The right edge of the information area while it is shown, otherwise 0.
    int GetEditLeft() const;
    // The information area's width: glyph width + 4 with a glyph, + 20 with the preview.
    int GetInfoWidth() const;
    // The information area's rectangle, inside the border.
    TRect GetInfoRect() const;
    TNxEditInfo* GetEditInfo() const { return FEditInfo; }
    // A canvas bound to the edit's window, for descendants that paint themselves.
    TCanvas* GetCanvas() const { return FCanvas.get(); }

    // ---- updates

    // Applies EditMargins (moved for the information area) to the platform edit.
    void UpdateEditRect();
    // Places, shows or hides the information area.
    void UpdateInfoRect();
    void UpdateGlyph();
    void RefreshPreview();
    // Repaints the themed border (at once inside a non-client paint, otherwise on the next one).
    void RedrawBorder();

    // ---- editing hooks of the grid's cell editing
    //
    // The grid borrows an edit as its cell editor: it marks it with SetInplaceEditor, fills it
    // while SetEditorUpdating is on, then calls BeginEditing; when the edit is applied it calls
    // ApplyEditing and reads Text; EndEditing when the editor closes. PressKey types one
    // character into the box, as if from the keyboard (the key replaces a selection).
    virtual void BeginEditing() {}
    virtual void EndEditing() {}
    virtual void ApplyEditing() {}
    void SetInplaceEditor(bool Value) { FInplaceEditor = Value; }
    bool GetInplaceEditor() const { return FInplaceEditor; }
    void SetEditorUpdating(bool Value) { FEditorUpdating = Value; }
    bool GetEditorUpdating() const { return FEditorUpdating; }
    void PressKey(WideChar Key);

    TNxPreviewDrawEvent OnCustomPreviewDraw;
    TNotifyEvent OnGlyphClick;

    // Painting of the preview box; descendants draw their previews here.
    virtual void PaintPreview(TCanvas* Canvas, const TRect& Rect);
    virtual void DoEditInfoMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoGlyphClick();

protected:
    friend class TNxEditMargins;
    friend class TNxEditInfo;

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void SetTextValue(const WideString& Value) override;
    void Change() override;
    // Turns EditMargins into the margins actually applied: with the preview left becomes
    // 2 * left + 25; with a glyph it grows by the glyph width + 4.
    virtual void UpdateEditMargins(int& Left, int& Right);
    // Paints the client area when GetDefaultDrawing is false, on GetCanvas().
    virtual void Paint() {}
    virtual void DoCustomPreviewDraw(const TRect& Rect);
    // Applies the margins again and recreates the window, keeping the text.
    void RecreateKeepingText();

    void WMGetDlgCode(TMessage& Message) override;
    void WMChar(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMWindowPosChanged(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

private:
    WideString ApplyCharCase(const WideString& Value) const;
    [[noreturn]] void RaiseMasked(const EConvertError& E) const;

    std::unique_ptr<TControlCanvas> FCanvas;
    TNxEditInfo* FEditInfo = nullptr; // owned through the component tree
    std::unique_ptr<TNxEditMargins> FEditMargins;
    bool FEditorUpdating = false;
    std::unique_ptr<TBitmap> FGlyph;
    bool FInplaceEditor = false;
    bool FPreviewBorder = true;
    bool FShowPreview = false;
    bool FWantTabs = false;
    TEditCharCase FCharCase = ecNormal;
    bool FUpdatingGlyph = false;
    bool FCasing = false;
    // The selection kept while the focus is elsewhere.
    int FKeptSelStart = 0;
    int FKeptSelLength = 0;
};

class TNxEdit : public TNxCustomEdit {
public:
    explicit TNxEdit(TComponent* AOwner);

    // Puts the caret after the last character.
    void BeginEditing() override;
    void SetAsString(const WideString& Value) override;

    // The left select-all zone: the first three pixels right of the information area, or inside
    // the border when the area is hidden; the border itself is not part of it.
    bool InLeftZone(int X) const;

    // The rectangles framed by the border rings (BorderWidth of them, in the edit's Color),
    // outermost first, in window coordinates.
    std::vector<TRect> GetBorderRings() const;

    // Called after every text change, after OnChange; does nothing here.
    virtual void DoTextChange() {}

protected:
    void Change() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Border rings before the platform edit paints; a descendant without default drawing paints
    // after it.
    void WMPaint(TMessage& Message) override;
    // The themed border over the platform's frame.
    void WMNCPaint(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

    void PaintBorderRings(TCanvas* Canvas);

private:
    bool FInLeftZone = false;
    TCursor FTextCursor = crIBeam;
};

} // namespace NxEdit
