#pragma once
// Enumerations, sets and small records shared by columns, the column collection and the cell store.

#include <cstdint>

#include "platform/runtime/Types.h"

class TObject;

enum TColumnType {
    ctAutoInc,
    ctBoolean,
    ctNone,
    ctDate,
    ctFloat,
    ctGraphic,
    ctGuid,
    ctInteger,
    ctString,
    ctLookup,
    ctMemo,
    ctVirtual
};

enum TColumnChangeKind {
    ccFieldName,
    ccInputChange,
    ccPosition,
    ccSlideChanged,
    ccSorted,
    ccSortTypeChange,
    ccUndefined,
    ccVisible,
    ccUnsorted,
    ccWidth
};

// What a listener registered on a column is told.
enum TColumnNotifyOperation {
    ccAlignChange,
    cnCaptionChange,
    cnColorChange,
    ccDrawingChange,
    cnNameChange,
    cnOptionsChange,
    ccVisibleChange
};

enum TColumnLocation { clAlone, clLeftSide, clMiddle, clRightSide };

enum TColumnStateItem { ceEditable, ceCanInput };
using TColumnState = TSet<TColumnStateItem>;

enum TColumnStyleItem {
    csClickable,
    csCanEdit,
    csDisableSorting,
    csFitToLargest,
    csRedrawInplaceEdit,
    csTextFitHint,
    csWantReturns
};
using TColumnStyle = TSet<TColumnStyleItem>;

enum TColumnOption {
    coAutoSize,
    coCanClick,
    coCanInput,
    coCanSort,
    coDisableMoving,
    coDontHighlight,
    coEditing,
    coEditorAutoSelect,
    coFixedSize,
    coImageForIcon,
    coPublicUsing,
    coFullResort,
    coSearchColumn,
    coShowTextFitHint,
    coTextForCaption
};
using TColumnOptions = TSet<TColumnOption>;

enum TColumnMemberKind { ckFooter, ckHeader, ckInactiveHeader, ckIndicator, ckInput };

enum TDisplayMode { dmImageOnly, dmTextAndImage, dmTextOnly };

enum TDisplayOption { doMultiLine };
using TDisplayOptions = TSet<TDisplayOption>;

enum TFormulaKind { fkNone, fkAverage, fkCount, fkDistinct, fkMaximum, fkMinimum, fkSum, fkCustom };

enum TFormatMaskKind { mkText, mkFloat };

enum THeaderOrientation { hoHorizontal, hoVertical };

enum TSlideCatpionLocation { clLeft, clTop };

enum TSortKind { skAscending, skDescending };

enum TSortType { stAlphabetic, stBoolean, stCaseInsensitive, stCustom, stNumeric, stDate, stIP };

enum TColumnsOperation { opAdd, opDelete, opClear, opInsert, opMove };

enum TWrapKind { wkNone, wkEllipsis, wkPathEllipsis, wkWordWrap };

// How a progress cell draws its filled part and where its percentage goes; read by the progress
// column kind and its display alike. Scoped, since the pen styles already own psSolid.
enum class TProgressStyle { psSolid, psBoxes, psGradient, psCylinder };
enum class TProgressTextPosition { tpInside, tpBeside };

enum TDrawingOptions { doNormal, doBackgroundOnly, doCustom, doCustomOnly };

// The parts of the grid, for hit testing and repaint requests; gaNone is the whole client area.
enum TGridArea { gaNone, gaBody, gaFooter, gaHeader, gaIndicator, gaInput };

// One value slot per column type; only the slot of the column's type is filled.
struct TCellInfo {
    bool AsBoolean = false;
    double AsDateTime = 0.0;
    double AsFloat = 0.0;
    int32_t AsInteger = 0;
    WideString AsString;
    TObject* ObjectReference = nullptr;
};
