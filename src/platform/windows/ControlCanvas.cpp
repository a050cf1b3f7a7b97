// TControlCanvas and the binding of control canvases to what a window paints.
#include "platform/windows/ControlCanvas.h"

#include <algorithm>

#include "platform/windows/WinControlQt.h"

namespace {
// Outside a paint: the kept pixels of a painted window; nothing for a native editor.
void BindOutsidePaint(TWinControlPrivate& p, TControlCanvas& canvas) {
    if (!p.Client || p.Native || p.Pixels.isNull()) {
        DetachCanvas(canvas);
        return;
    }
    QPointer<QWidget> client = p.Client;
    TCanvasSurfaceHooks hooks;
    hooks.AfterChange = [client] {
        if (client) client->update();
    };
    AttachCanvas(canvas, &p.Pixels, nullptr, std::move(hooks));
}
} // namespace

TControlCanvas::TControlCanvas() = default;

TControlCanvas::TControlCanvas(TWinControl* Control) {
    SetControl(Control);
}

TControlCanvas::~TControlCanvas() {
    SetControl(nullptr);
}

void TControlCanvas::SetControl(TWinControl* Value) {
    if (Value == FControl) return;
    if (FControl) {
        auto& list = FControl->GetWindowPrivate()->ControlCanvases;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        DetachCanvas(*this);
    }
    FControl = Value;
    if (FControl) {
        TWinControlPrivate& p = *FControl->GetWindowPrivate();
        p.ControlCanvases.push_back(this);
        SetFont(*FControl->GetFont());
        BindOutsidePaint(p, *this);
    }
}

void ReleaseControlCanvases(TWinControlPrivate& p) {
    for (TControlCanvas* c : p.ControlCanvases) {
        DetachCanvas(*c);
        c->FControl = nullptr;
    }
    p.ControlCanvases.clear();
}

void BindControlCanvases(TWinControlPrivate& p, QImage* image, const QRegion* limit) {
    for (TControlCanvas* c : p.ControlCanvases) {
        if (image)
            AttachCanvas(*c, image, limit);
        else
            BindOutsidePaint(p, *c);
    }
}

void BindControlCanvases(TWinControlPrivate& p, QPainter* painter) {
    for (TControlCanvas* c : p.ControlCanvases)
        AttachCanvas(*c, painter);
}
