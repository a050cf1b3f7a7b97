#pragma once
// Which display paints, and which play takes the input of, which column kind. The grid registers
// this with the model when it is made, so every kind's GetColumnDisplay and GetColumnPlay hand the
// view the objects that fit it.

#include <memory>

class TNxCustomColumn;
class TColumnDisplay;
class TColumnPlay;

// A new display for the column's kind: the most derived kind decides; a kind without one of its own
// is painted as text.
std::unique_ptr<TColumnDisplay> CreateKindDisplay(TNxCustomColumn& Column);

// A new play for the column's kind; null for kinds that take no input inside their cells.
std::unique_ptr<TColumnPlay> CreateKindPlay(TNxCustomColumn& Column);

// Registers CreateKindDisplay and CreateKindPlay as the columns' factories (idempotent).
void RegisterKindDisplays();
