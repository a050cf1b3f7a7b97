#pragma once
// Which display paints which column kind. The grid registers this with the model when it is made,
// so every kind's GetColumnDisplay hands the painter the display that fits it.

#include <memory>

class TNxCustomColumn;
class TColumnDisplay;

// A new display for the column's kind: the most derived kind decides; a kind without one of its own
// is painted as text.
std::unique_ptr<TColumnDisplay> CreateKindDisplay(TNxCustomColumn& Column);

// Registers CreateKindDisplay as the columns' display factory (idempotent).
void RegisterKindDisplays();
