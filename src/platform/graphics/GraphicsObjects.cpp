#include "platform/graphics/GraphicsObjects.h"

void TGraphicsObject::Changed() {
    if (OnChange) OnChange();
}

void TPen::SetColor(TColor v) {
    if (FColor == v) return;
    FColor = v;
    Changed();
}

void TPen::SetWidth(int v) {
    if (v < 0) v = 0;
    if (FWidth == v) return;
    FWidth = v;
    Changed();
}

void TPen::SetStyle(TPenStyle v) {
    if (FStyle == v) return;
    FStyle = v;
    Changed();
}

void TPen::SetMode(TPenMode v) {
    if (FMode == v) return;
    FMode = v;
    Changed();
}

void TPen::Assign(const TPen& source) {
    if (&source == this) return;
    FColor = source.FColor;
    FWidth = source.FWidth;
    FStyle = source.FStyle;
    FMode = source.FMode;
    Changed();
}

void TBrush::SetColor(TColor v) {
    if (FColor == v && FStyle != bsClear) return;
    FColor = v;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle v) {
    if (FStyle == v) return;
    FStyle = v;
    Changed();
}

void TBrush::Assign(const TBrush& source) {
    if (&source == this) return;
    FColor = source.FColor;
    FStyle = source.FStyle;
    Changed();
}

void TPen::Assign(const TPersistent* source) {
    if (auto* pen = dynamic_cast<const TPen*>(source)) {
        Assign(*pen);
        return;
    }
    TPersistent::Assign(source);
}

void TBrush::Assign(const TPersistent* source) {
    if (auto* brush = dynamic_cast<const TBrush*>(source)) {
        Assign(*brush);
        return;
    }
    TPersistent::Assign(source);
}
