#pragma once
// The tree column: string cells drawn inside the row tree, with lines and expand buttons.

#include "grid/model/Column.h"
#include "platform/runtime/List.h"

class TNxTreeColumn : public TNxCustomColumn {
public:
    explicit TNxTreeColumn(TObject* AOwner = nullptr);
    // A TNxEdit.
    std::unique_ptr<TObject> CreateCellEditor() override;

    void Assign(const TPersistent* Source) override;
    // Sorting would tear the tree apart.
    TColumnStyle GetColumnStyle() const override {
        return {csClickable, csCanEdit, csDisableSorting, csFitToLargest};
    }

    // Rows cannot be expanded or collapsed by the user.
    bool GetExpandLock() const { return FExpandLock; }
    void SetExpandLock(bool Value) { FExpandLock = Value; }
    bool GetHighlightButton() const { return FHighlightButton; }
    void SetHighlightButton(bool Value);
    // A list of TBitmap* the program keeps; the column does not own it.
    TList* GetImages() const { return FImages; }
    void SetImages(TList* Value);
    bool GetShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    bool GetShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);

private:
    bool FExpandLock = false;
    bool FHighlightButton = false;
    TList* FImages = nullptr;
    bool FShowButtons = true;
    bool FShowLines = false;
};
