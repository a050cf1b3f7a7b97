#pragma once
// Every column kind, for code that creates columns of any kind (forms, the grid's loaders, tests).

#include "grid/model/CheckBoxColumn.h"
#include "grid/model/GuidColumn.h"
#include "grid/model/HtmlColumn.h"
#include "grid/model/HyperlinkColumn.h"
#include "grid/model/ImageColumn.h"
#include "grid/model/IncrementColumn.h"
#include "grid/model/NumberColumn.h"
#include "grid/model/PopupColumn.h"
#include "grid/model/ProgressColumn.h"
#include "grid/model/TextColumn.h"
#include "grid/model/TreeColumn.h"
