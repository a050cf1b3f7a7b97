#pragma once
// The small persistent value classes of the control set: indents and four-sided margins (the
// panel's inner margins) and the two-number margins a label keeps from its associate.
//
// The names TNxMargins and TMargins also exist elsewhere (the edit kinds have their own
// TNxMargins), so these live in the namespace NxCollection.

#include "platform/runtime/Object.h"
#include "platform/runtime/Types.h"

namespace NxCollection {

// Left and Top. Every setter stores the value, even an unchanged one, and then calls DoChange.
class TNxIndent : public TPersistent {
public:
    TNxIndent() = default;

    int GetLeft() const { return FLeft; }
    void SetLeft(int Value);
    int GetTop() const { return FTop; }
    void SetTop(int Value);

    // Copies the values of another indent (and of margins, their Right and Bottom too), then
    // calls DoChange once. Anything else raises the assignment error.
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

protected:
    // Fires OnChange when one is set.
    virtual void DoChange();

    int FLeft = 9;
    int FTop = 5;
};

// Four margins; the class defaults are Left 9, Top 5, Right 8, Bottom 4.
class TNxMargins : public TNxIndent {
public:
    TNxMargins() = default;

    int GetBottom() const { return FBottom; }
    void SetBottom(int Value);
    int GetRight() const { return FRight; }
    void SetRight(int Value);

    // Sets all four, then calls DoChange once.
    void SetRect(int ALeft, int ATop, int ARight, int ABottom);
    // (Left, Top) to (Width - Right, Height - Bottom).
    TRect AsRect(int Width, int Height) const;

    void Assign(const TPersistent* Source) override;

private:
    int FBottom = 4;
    int FRight = 8;
};

// Horizontal and vertical distances. A setter given the current value does nothing; otherwise it
// stores the value and fires OnUpdate.
class TMargins : public TPersistent {
public:
    TMargins() = default;

    int GetHorizontal() const { return FHorizontal; }
    void SetHorizontal(int Value);
    int GetVertical() const { return FVertical; }
    void SetVertical(int Value);

    // Copies both numbers, each through its setter.
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnUpdate;

private:
    int FHorizontal = 0;
    int FVertical = 0;
};

} // namespace NxCollection
