#pragma once
// The one mouse gesture a grid follows at a time: what a press started, what the moves track and
// what the release (or Esc, focus loss, deactivation) ends.

#include <variant>

#include "grid/view/GridControlTypes.h"

class TNxCustomColumn;

namespace GridGesture {
// Nothing held.
struct TIdle {};
// A left press on the header of a column with coCanClick: drawn pressed, clicked at the release,
// moved once the pointer has left the press by more than the threshold.
struct THeaderPress {
    TNxCustomColumn* Column;
};
// Column's header grip is dragged: two inverted guides show the edges; Delta is the width change.
struct TColumnResize {
    TNxCustomColumn* Column;
    int GuideLeft;
    int GuideRight;
    int Delta = 0;
};
// Row's grip in the indicator is dragged: one inverted guide at GuideY.
struct TRowResize {
    int Row;
    int GuideY;
};
// The drag box carries Column; it holds the pointer capture until the drop.
struct TColumnMove {
    TNxCustomColumn* Column;
};
// A left press on Row of a grid with goRowMoving; a row move once the pointer leaves Down.
struct TRowPress {
    int Row;
    TPoint Down;
};
// Row is dragged; DropRow is where the marker shows (-1 none).
struct TRowMove {
    int Row;
    int DropRow = -1;
};
} // namespace GridGesture

using TGridGesture = std::variant<GridGesture::TIdle, GridGesture::THeaderPress, GridGesture::TColumnResize,
                                  GridGesture::TRowResize, GridGesture::TColumnMove, GridGesture::TRowPress,
                                  GridGesture::TRowMove>;

// One handler per gesture for std::visit.
template <class... Ts> struct TOverloaded : Ts... { using Ts::operator()...; };

// The GridState member a gesture shows (gtColumnHeaderDown, gtColumnResizing, gtColumnMoving,
// gtRowMoving); empty for the others.
TGridState GestureState(const TGridGesture& Gesture);
// The column drawn pressed: the pressed header's, also while it is moved.
TNxCustomColumn* GesturePressedColumn(const TGridGesture& Gesture);
// Esc cancels a drag (a resize or a move); a press only ends at its release.
bool GestureIsDrag(const TGridGesture& Gesture);
