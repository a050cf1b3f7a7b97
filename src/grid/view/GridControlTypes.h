#pragma once
// Enumerations, sets and event types of the grid control, shared by its painters and input.

#include <functional>

#include "grid/model/ColumnTypes.h"
#include "platform/graphics/Colors.h"
#include "platform/windows/Messages.h"

enum TGridStyle { gsReport, gsSlides };
enum TGridLinesStyle { lsNormal, lsActiveHorzOnly, lsActiveRows, lsFramed, lsHorizontalOnly, lsVerticalOnly };
enum TGridLinePosition { lpLeft, lpTop, lpRight, lpBottom, lpTopBottom };
enum TSelectionMoveDirection { mdNone, mdUp, mdDown, mdLeft, mdRight };

enum TAppearanceOption {
    ao3DGridLines,
    aoAlphaBlendedSelection,
    aoBoldTextSelection,
    aoDontFillCells,
    aoHideFocus,
    aoHideSelection,
    aoHighlightSlideCells,
    aoHintMarks,
    aoIndicateSelectedCell,
    aoIndicateSortedColumn
};
using TAppearanceOptions = TSet<TAppearanceOption>;

enum TGridOption {
    goCanHideColumn,
    goDisableColumnMoving,
    goDisableKeys,
    goEscClearEdit,
    goFooter,
    goGrid,
    goHeader,
    goIndicator,
    goInput,
    goLockFixedCols,
    goMultiSelect,
    goRowResizing,
    goRowMoving,
    goSecondClickEdit,
    goSelectFullRow,
    goUseDefaultValues,
    goInplaceEditEvents
};
using TGridOptions = TSet<TGridOption>;

enum THeaderStyle { hsAuto, hsFlatBorders, hsOffice2007, hsOffice2010, hsOldStyle, hsOutlook, hsVista };
enum TSortedStyle { soDefault, soDarker, soWhite };
enum TSlideOption { soFrame, soHideSelection };
using TSlideOptions = TSet<TSlideOption>;

enum TCellStateItem { csBoldTextSelection, csEmpty, csFocused, csSelected };
using TCellState = TSet<TCellStateItem>;
enum TSlideStateItem { stFocused, stSelected };
using TSlideState = TSet<TSlideStateItem>;
using TSlideColoringEvent = std::function<void(TObject* Sender, int Index, TColor& SlideColor,
                                               TColor& GridColor, TSlideState SlideState)>;

enum TGridStateItem {
    gtColumnResizing,
    gtColumnHeaderDown,
    gtColumnMoving,
    gtEdit,
    gtEditorMoving,
    gtIndicatorMouseDown,
    gtInput,
    gtMultiSelect,
    gtRolling,
    gtRowMoving,
    gtHorzScrolling,
    gtUpdating
};
using TGridState = TSet<TGridStateItem>;

enum TInputEnterMode { imAllways, imEditing };
enum THomeEndBehaviour { hebTopBottom, hebLeftRight };
enum TMoveSelectionKey { mkUndefined, mkArrows, mkTab, mkEnter };
enum TDataChange { dcAddColumn, dcAddRow, dcInsertColumn, dcInsertRow, dcDeleteColumn, dcDeleteRow };
enum TRowOperation { roAdd, roClear, roDelete, roInsert, roMove, roReserve, roRowHeight };
enum TBestFitMode { bfBoth, bfCells, bfHeader };

// Events of the grid (Sender first, as everywhere in the control set).
using TCellEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TCellAcceptEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& Accept)>;
using TColumnEvent = std::function<void(TObject* Sender, int ACol)>;
using TColumnMoveEvent = std::function<void(TObject* Sender, int ACol, int FromPos, int ToPos)>;
using TSortColumnEvent = std::function<void(TObject* Sender, int ACol, bool Ascending)>;
using TCellColoringEvent = std::function<void(TObject* Sender, int ACol, int ARow, TColor& CellColor,
                                              TColor& GridColor, TCellState CellState)>;
using TDrawCellBackgroundEvent = std::function<void(
    TObject* Sender, int ACol, int ARow, const TRect& CellRect, TCellState CellState, bool& DefaultDrawing)>;
using TCustomDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const TRect& CellRect, TCellState CellState)>;
using TCellHintEvent = std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value)>;
// A cell's text on its way somewhere (an editor, the text-fit hint), which the handler may change.
using TEditValueEvent = std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value)>;
using TDataChangeEvent = std::function<void(TObject* Sender, TDataChange AChangeType, int AIndex)>;
using TChangeRowHeightEvent = std::function<void(TObject* Sender, int Index, int Height)>;
using TMeasuringRowHeightEvent = std::function<void(TObject* Sender, int Index, int& RowHeight)>;
