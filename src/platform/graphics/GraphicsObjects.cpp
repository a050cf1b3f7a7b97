#include "platform/graphics/GraphicsObjects.h"

void TGraphicsObject::Changed() {
    if (OnChange) OnChange();
}

void TPen::SetColor(TColor v) {
    FColor = v;
    Changed();
}

void TPen::SetWidth(int v) {
    FWidth = v < 0 ? 0 : v;
    Changed();
}

void TPen::SetStyle(TPenStyle v) {
    FStyle = v;
    Changed();
}

void TPen::SetMode(TPenMode v) {
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
    FColor = v;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle v) {
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
