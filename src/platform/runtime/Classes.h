#pragma once
// The container and stream classes in one include: TObject, TPersistent, TList, TObjectList,
// TStrings, TStringList and the streams.

#include "platform/runtime/List.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/StringList.h"
