#pragma once
// TNextGrid, the grid component windows place on a form: the data half (NextGridData.h: rows and
// cells over the cell store, input, sorting, export), in-place editing (GridEditing.h) and the
// dragging of columns and rows (GridDragging.h), joined in one class.

#include "grid/view/GridDragging.h"

class TNextGrid : public TNxDraggingGrid {
public:
    explicit TNextGrid(TComponent* AOwner) : TNxDraggingGrid(AOwner) {}
};
