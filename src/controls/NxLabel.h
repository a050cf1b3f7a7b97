#pragma once
// TNxLabel: the platform's label that can be tied to another control (its associate) and then
// keeps itself beside or inside it, following every move and size change of the associate.

#include <functional>
#include <memory>

#include "controls/NxCollection.h"
#include "platform/windows/StdCtrls.h"

namespace NxStdCtrls {

enum THorizontalPosition { hpLeft, hpCenter, hpRight };
enum TVerticalPosition { vpTop, vpMiddle, vpBottom };

class TNxLabel : public TLabel {
public:
    // Margins start at Horizontal 0, Vertical 2.
    explicit TNxLabel(TComponent* AOwner);
    // Gives a current associate back its window procedure.
    ~TNxLabel() override;

    // The control the label is placed against, not owned. Setting the current associate or the
    // label itself is ignored. While tied, the associate's WindowProc is replaced by a hook that
    // repositions the label on WM_MOVE and WM_SIZE and then passes the message on; untying (or
    // the associate's destruction) puts the saved procedure back. Positions are taken in the
    // common parent's client coordinates.
    TControl* GetAssociate() const { return FAssociate; }
    void SetAssociate(TControl* Value);
    // The following setters store the value and reposition, without comparing.
    bool GetInnerHorizontal() const { return FInnerHorizontal; }
    void SetInnerHorizontal(bool Value);
    bool GetInnerVertical() const { return FInnerVertical; }
    void SetInnerVertical(bool Value);
    THorizontalPosition GetHorizontalPosition() const { return FHorizontalPosition; }
    void SetHorizontalPosition(THorizontalPosition Value);
    TVerticalPosition GetVerticalPosition() const { return FVerticalPosition; }
    void SetVerticalPosition(TVerticalPosition Value);
    // The label's own margins; a change made on them repositions the label. Setting copies the
    // two numbers when either differs, then repositions.
    NxCollection::TMargins* GetInnerMargins() const { return FInnerMargins.get(); }
    void SetInnerMargins(const NxCollection::TMargins* Value);

    // Where the label belongs next to its associate (its current place without one).
    TPoint GetAssociatedPosition() const;
    // Moves the label there; nothing without an associate.
    void UpdatePosition();

    // Takes over another label's associate, positions and margins; the rest is refused by the
    // base class with the assignment error.
    void Assign(const TPersistent* Source) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMTextChanged(TMessage& Message) override;

private:
    void Unhook();

    TControl* FAssociate = nullptr;
    bool FInnerHorizontal = true;
    bool FInnerVertical = false;
    std::unique_ptr<NxCollection::TMargins> FInnerMargins;
    THorizontalPosition FHorizontalPosition = hpLeft;
    TVerticalPosition FVerticalPosition = vpTop;
    std::function<void(TMessage&)> FSavedWindowProc;
};

} // namespace NxStdCtrls
