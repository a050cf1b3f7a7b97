#pragma once
// What assistive technology (screen readers) learns about a control: role, name, value, state and,
// for tables, rows, columns and cells described only when a client asks for them.
//
// A control answers through the TAccessible its CreateAccessible returns; the platform makes it on
// the first request, keeps it while the control lives and bridges it to the desktop's
// accessibility bus. Changes are announced with AccessibleNotify, which costs next to nothing
// while no client listens.

#include <memory>
#include <vector>

#include "platform/windows/Controls.h"

enum TAccessibleRole {
    arClient,
    arWindow,
    arGrouping,
    arStaticText,
    arEditableText,
    arPushButton,
    arTable,
    arColumnHeader,
    arCell
};

enum TAccessibleStateItem {
    asFocusable,
    asFocused,
    asUnavailable,
    asInvisible,
    asPressed,
    asSelectable,
    asSelected,
    asMultiSelectable,
    asProtected, // a password field: its value is never told
    asReadOnly,
    asActive // a window that is the active one
};
using TAccessibleState = TSet<TAccessibleStateItem>;

enum TAccessibleEvent {
    aeFocus, // Col/Row: the focused cell of a table, -1 for the control itself
    aeNameChanged,
    aeValueChanged,
    aeStateChanged,
    aeShown,            // the control became visible
    aeHidden,           // the control was hidden
    aeSelectionChanged, // a table's selected rows
    aeCellChanged,      // the text of cell (Col, Row); told at most every AccessibleCellInterval ms
                        // per cell, the last text always (later, by a timer)
    aeRowsInserted,     // Row: the first new row, Col: how many
    aeRowsRemoved,      // Row: the first removed row, Col: how many
    aeTableReset        // rows or columns changed wholesale
};

class TAccessible {
public:
    explicit TAccessible(TControl* AControl) : FControl(AControl) {}
    virtual ~TAccessible() = default;
    TAccessible(const TAccessible&) = delete;
    TAccessible& operator=(const TAccessible&) = delete;

    TControl* GetControl() const { return FControl; }

    // Defaults: a client area named by its caption (accelerator marks removed), else its hint.
    virtual TAccessibleRole GetRole() const { return arClient; }
    virtual WideString GetName() const;
    // The hint when it is not already the name.
    virtual WideString GetDescription() const;
    // What the control holds (a field's text); empty by default. Never the text of asProtected.
    virtual WideString GetValue() const { return {}; }
    // Visibility, availability and focus of the control.
    virtual TAccessibleState GetState() const;
    // The control this one names (a label's associate), or null.
    virtual TControl* GetLabelFor() const { return nullptr; }
    // Runs the control's default action (a button's click); false when it has none.
    virtual bool DoDefaultAction() { return false; }
    // The keys that run the default action, as people write them ("Ctrl+O"); by default the
    // parent form's shortcuts for the control.
    virtual std::vector<WideString> GetKeyBindings() const;
    // Moves the keyboard focus to the control; false when it cannot take it.
    virtual bool TakeFocus();

    // Text a reader may walk character by character (an edit's). A masked field shows one mask
    // character per character typed, never the characters.
    virtual bool HasText() const { return false; }
    virtual WideString GetShownText() const { return {}; }
    // Caret and selection as offsets into the shown text.
    virtual int GetCaretOffset() const { return 0; }
    virtual void GetTextSelection(int& Start, int& Length) const { Start = Length = 0; }

    // Tables. Cells are addressed by column and row of the data (0-based); headers by column.
    virtual bool IsTable() const { return false; }
    virtual int GetRowCount() const { return 0; }
    virtual int GetColumnCount() const { return 0; }
    virtual WideString GetColumnHeader(int /*Col*/) const { return {}; }
    // The text a cell shows on screen; empty outside the table.
    virtual WideString GetCellText(int /*Col*/, int /*Row*/) const { return {}; }
    virtual TAccessibleState GetCellState(int /*Col*/, int /*Row*/) const { return {}; }
    // Client rectangles; empty when the cell or header is not on screen.
    virtual TRect GetCellRect(int /*Col*/, int /*Row*/) const { return {}; }
    virtual TRect GetHeaderRect(int /*Col*/) const { return {}; }
    // Up to Max selected rows in ascending order.
    virtual std::vector<int> GetSelectedRows(int /*Max*/) const { return {}; }
    virtual bool IsRowSelected(int /*Row*/) const { return false; }
    // The focused cell (one cell, also when whole rows are selected); false when there is none.
    virtual bool GetFocusedCell(int& Col, int& Row) const {
        Col = Row = -1;
        return false;
    }
    // Selects one row as a click would; false when it cannot be selected.
    virtual bool SelectRow(int /*Row*/) { return false; }
    // The cell at a client point; false when the point is on no cell.
    virtual bool CellAtPos(const TPoint& /*Pos*/, int& Col, int& Row) const {
        Col = Row = -1;
        return false;
    }

private:
    TControl* FControl;
};

// The control's answers, made by its CreateAccessible on first request and kept while it lives.
TAccessible* GetAccessible(TControl* Control);
// Whether a client listens; controls may skip preparing announcements otherwise.
bool AccessibilityActive();
// Tells listening clients of a change (see TAccessibleEvent for Col and Row).
void AccessibleNotify(TControl* Control, TAccessibleEvent Event, int Col = -1, int Row = -1);
// Shortest time between two announcements of one cell's text, in milliseconds.
constexpr unsigned AccessibleCellInterval = 100;
// Called by ~TControl: forgets the control's answers and its bridge objects.
void AccessibleControlDestroyed(TControl* Control);
// Called as windowed controls are made: hooks the bridge in once the application exists.
void InstallAccessibilityBridge();

// Caption with the "&" accelerator marks taken out ("&&" stays one "&").
WideString StripAccelerator(const WideString& Caption);
