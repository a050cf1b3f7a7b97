#pragma once
// A tab control whose tabs hold palettes of image buttons, with a hint window for the buttons.

#include <functional>
#include <memory>
#include <vector>

#include "drawing/ThemesSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/windows/Controls.h"
#include "platform/windows/Forms.h"

namespace NxStdCtrls {

enum TTabsBackgroundStyle { tbsSolid, tbsVertGradient };

class TNxTabButtons;

// One image button on a tab's palette.
class TNxPalleteButton : public TPersistent {
public:
    explicit TNxPalleteButton(TNxTabButtons* Owner) : FOwner(Owner) {}

    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    const WideString& GetHint() const { return FHint; }
    void SetHint(const WideString& Value) { FHint = Value; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    intptr_t GetTag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }
    TNxTabButtons* GetButtons() const { return FOwner; }

private:
    TNxTabButtons* FOwner;
    int FImageIndex = -1;
    WideString FHint;
    bool FEnabled = true;
    intptr_t FTag = 0;
};

// One tab: its caption and its palette of buttons.
class TNxTabButtons : public TPersistent {
public:
    TNxTabButtons(std::function<void()> Changed, const WideString& Caption)
        : FChanged(std::move(Changed)), FCaption(Caption) {}

    const WideString& GetCaption() const { return FCaption; }
    void SetCaption(const WideString& Value);
    int GetCount() const { return static_cast<int>(FButtons.size()); }
    // Raises EListError for an index out of range.
    TNxPalleteButton* GetItem(int Index) const;
    TNxPalleteButton* Add(int ImageIndex, const WideString& Hint = {});
    void Delete(int Index);
    void Clear();
    void Changed() {
        if (FChanged) FChanged();
    }

private:
    std::function<void()> FChanged;
    WideString FCaption;
    std::vector<std::unique_ptr<TNxPalleteButton>> FButtons;
};

// The hint window the tab control shows over a button.
class TNxButtonHint : public THintWindow {
public:
    using THintWindow::THintWindow;
};

using TNxButtonClickEvent = std::function<void(TObject* Sender, TNxPalleteButton* Button)>;

class TNxTabControl : public TCustomControl {
public:
    explicit TNxTabControl(TComponent* AOwner);
    ~TNxTabControl() override;

    // Tabs.
    int GetTabCount() const { return static_cast<int>(FTabs.size()); }
    TNxTabButtons* GetTab(int Index) const;
    TNxTabButtons* AddTab(const WideString& Caption);
    void DeleteTab(int Index);

    // -1 when there are no tabs; setting clamps to the tabs there are.
    int GetActiveIndex() const { return FActiveIndex; }
    void SetActiveIndex(int Value);
    TTabsBackgroundStyle GetBackgroundStyle() const { return FBackgroundStyle; }
    void SetBackgroundStyle(TTabsBackgroundStyle Value);
    int GetButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value);
    int GetButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    // The images the buttons show by index; not owned.
    const std::vector<TBitmap*>* GetImages() const { return FImages; }
    void SetImages(const std::vector<TBitmap*>* Value);
    int GetLeftIndent() const { return FLeftIndent; }
    void SetLeftIndent(int Value);
    int GetMargin() const { return FMargin; }
    void SetMargin(int Value);
    int GetTabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int GetTopIndent() const { return FTopIndent; }
    void SetTopIndent(int Value);

    // Geometry, in client coordinates.
    TRect GetTabRect(int Index);
    TRect GetButtonRect(int Index) const;
    int GetTabAtPos(const TPoint& P);
    // The active tab's button under the point, or -1.
    int GetButtonAtPos(const TPoint& P) const;
    int GetHoverButton() const { return FHoverButton; }
    TNxButtonHint* GetButtonHint() const { return FButtonHint.get(); }

    TNxButtonClickEvent OnButtonClick;
    TNotifyEvent OnChange;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;

protected:
    void Paint() override;
    virtual void DoButtonClick(TNxPalleteButton* Button);
    virtual void DoChange();

private:
    void SetHoverButton(int Index);
    std::vector<std::unique_ptr<TNxTabButtons>> FTabs;
    int FActiveIndex = -1;
    TTabsBackgroundStyle FBackgroundStyle = tbsSolid;
    int FButtonHeight = 24;
    int FButtonWidth = 24;
    const std::vector<TBitmap*>* FImages = nullptr;
    int FLeftIndent = 2;
    int FMargin = 2;
    int FTabHeight = 21;
    int FTopIndent = 2;
    int FHoverButton = -1;
    int FDownButton = -1;
    std::unique_ptr<TNxButtonHint> FButtonHint;
};

} // namespace NxStdCtrls
