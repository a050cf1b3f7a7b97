// The grid's gesture state: which GridState member and pressed column each gesture shows.
#include "grid/view/GridGesture.h"

using namespace GridGesture;

TGridState GestureState(const TGridGesture& Gesture) {
    if (std::holds_alternative<THeaderPress>(Gesture)) return TGridState{gtColumnHeaderDown};
    if (std::holds_alternative<TColumnResize>(Gesture)) return TGridState{gtColumnResizing};
    if (std::holds_alternative<TColumnMove>(Gesture)) return TGridState{gtColumnMoving};
    if (std::holds_alternative<TRowMove>(Gesture)) return TGridState{gtRowMoving};
    return {};
}

TNxCustomColumn* GesturePressedColumn(const TGridGesture& Gesture) {
    if (auto* Press = std::get_if<THeaderPress>(&Gesture)) return Press->Column;
    if (auto* Move = std::get_if<TColumnMove>(&Gesture)) return Move->Column;
    return nullptr;
}

bool GestureIsDrag(const TGridGesture& Gesture) {
    return std::holds_alternative<TColumnResize>(Gesture) || std::holds_alternative<TRowResize>(Gesture) ||
           std::holds_alternative<TColumnMove>(Gesture) || std::holds_alternative<TRowMove>(Gesture);
}
