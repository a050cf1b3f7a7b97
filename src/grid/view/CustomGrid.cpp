// TNxCustomGrid's window: creation, the wheel, focus, activation and the scroll requests.
#include "grid/view/CustomGrid.h"

#include <vector>

#include "controls/NxEdit.h"
#include "grid/view/GridDragBox.h"

TNxCustomGrid::TNxCustomGrid(TComponent* AOwner) : TNxCustomGridControl(AOwner) {
    SetParentColor(false);
    SetColor(clWindow);
    SetControlStyle(GetControlStyle() + TControlStyle{csDoubleClicks, csReplicatable});
    FDragBox = new TColumnDragBox(this);
    FDragBox->OnDragBoxMove = [this](TObject* Sender, int X, int Y) { DoDragBoxMove(Sender, X, Y); };
    FDragBox->OnDragBoxDrop = [this](TObject* Sender, int X, int Y) { DoDragBoxDrop(Sender, X, Y); };
    FTopArrow = new TDragArrow(this);
    FBottomArrow = new TDragArrow(this);
}

TNxCustomGrid::~TNxCustomGrid() {
    FDragBox->OnDragBoxMove = nullptr;
    FDragBox->OnDragBoxDrop = nullptr;
    // Borrowed editors belong to their columns or the application: leaving them parented here
    // would let the window teardown free them a second time.
    std::vector<TControl*> Editors;
    for (int I = 0; I < GetControlCount(); ++I)
        if (dynamic_cast<NxEdit::TNxCustomEdit*>(GetControl(I))) Editors.push_back(GetControl(I));
    FInplaceEdit = nullptr;
    for (TControl* Editor : Editors) {
        auto* Edit = static_cast<NxEdit::TNxCustomEdit*>(Editor);
        Edit->OnChange = nullptr;
        Edit->OnEnter = nullptr;
        Edit->OnExit = nullptr;
        Edit->OnKeyDown = nullptr;
        Edit->OnKeyPress = nullptr;
        Edit->OnKeyUp = nullptr;
        Edit->SetParent(nullptr);
    }
    HideHint();
}

void TNxCustomGrid::CreateWnd() {
    GetHorzScrollBar()->SetSmallChange(5);
    GetHorzScrollBar()->SetLargeChange(10);
    GetVertScrollBar()->SetLargeChange(10);
    TNxCustomGridControl::CreateWnd();
    FTopArrow->SetArrowKind(akDown);
    FBottomArrow->SetArrowKind(akUp);
}

bool TNxCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool Handled = TNxCustomGridControl::DoMouseWheelDown(Shift, MousePos);
    if (!Handled || !GetMouseWheelEnabled() || FGridState.Contains(gtEdit)) return Handled;
    TNxScrollBar* Vert = GetVertScrollBar();
    TNxScrollBar* Horz = GetHorzScrollBar();
    bool Ctrl = Shift.Contains(ssCtrl);
    if (Vert->GetMax() >= 1 && Vert->GetPosition() < Vert->GetMax()) {
        if (Ctrl)
            Vert->PageDown();
        else
            Vert->Next();
    } else if (GetGridStyle() == gsReport && Horz->GetMax() >= 1 && !Vert->GetVisible()) {
        if (Ctrl)
            Horz->PageDown();
        else
            Horz->Next();
    }
    return Handled;
}

bool TNxCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool Handled = TNxCustomGridControl::DoMouseWheelUp(Shift, MousePos);
    if (!Handled || !GetMouseWheelEnabled() || FGridState.Contains(gtEdit)) return Handled;
    TNxScrollBar* Vert = GetVertScrollBar();
    TNxScrollBar* Horz = GetHorzScrollBar();
    bool Ctrl = Shift.Contains(ssCtrl);
    if (Vert->GetMax() >= 1) {
        if (Ctrl)
            Vert->PageUp();
        else
            Vert->Prior();
    } else if (GetGridStyle() == gsReport && Horz->GetMax() >= 1) {
        if (Ctrl)
            Horz->PageUp();
        else
            Horz->Prior();
    }
    return Handled;
}

void TNxCustomGrid::DoEnter() {
    TNxCustomGridControl::DoEnter();
    if (GetRowCount() > 0) {
        RefreshSelectedCells();
        // Slides carry their selection on the slide itself.
        if (GetGridStyle() == gsSlides) RefreshArea(gaBody);
    } else if (GetOptions().Contains(goInput)) {
        SetInputSelectedDirect(true);
        RefreshArea(gaInput);
    }
    PostEditorFocus();
}

void TNxCustomGrid::DoExit() {
    if (TNxCustomColumn* Pressed = GetFocusedColumn()) RefreshColumn(Pressed, gaHeader);
    CancelGestures();
    TNxCustomGridControl::DoExit();
    HideHint();
    RefreshSelectedCells();
    if (GetOptions().Contains(goHeader) && FHoverColumn) RefreshColumn(FHoverColumn, gaHeader);
    FHoverColumn = nullptr;
    EndGesture();
}

void TNxCustomGrid::WndProc(TMessage& Message) {
    if (EditorFocusMessage(Message)) return;
    if (Message.Msg == WM_ACTIVATEAPP) ApplicationActivated(Message.WParam != 0);
    TNxCustomGridControl::WndProc(Message);
}

void TNxCustomGrid::ApplicationActivated(bool Active) {
    if (!Active) {
        if (TNxCustomColumn* Pressed = GetFocusedColumn()) RefreshColumn(Pressed, gaHeader);
        CancelGestures();
        EndGesture();
        SetCursor(crDefault);
    }
    RefreshSelectedCells();
}

void TNxCustomGrid::CMMouseLeave(TMessage& Message) {
    TNxCustomGridControl::CMMouseLeave(Message);
    FHintKind = hkNone;
    HideHint();
    FHeaderHintColumn = nullptr;
    // A play's screen cursor would otherwise stay over the whole application.
    MouseLeaveCell();
    FLastHoverCell = TPoint{-1, -1};
    FHoverCell = TPoint{-1, -1};
    FPreviousHover = TPoint{-1, -1};
    if (FHoverColumn) {
        TNxCustomColumn* Old = FHoverColumn;
        FHoverColumn = nullptr;
        RefreshColumn(Old, gaHeader);
    }
}

void TNxCustomGrid::WMHScroll(TMessage& Message) {
    ApplyEditing();
    EndEditing();
    TNxCustomGridControl::WMHScroll(Message);
    // The focus rectangle travelled with the shifted pixels, cut where the uncovered strip was
    // painted anew: its row is painted again whole, the rectangle once at its new place.
    if (GetGridStyle() == gsReport) RefreshRow(GetSelectedRow());
}

void TNxCustomGrid::WMVScroll(TMessage& Message) {
    if (FGridState.Contains(gtEdit)) {
        ApplyEditing();
        EndEditing();
    }
    UpdateVertScrollBar();
    TNxCustomGridControl::WMVScroll(Message);
}

void TNxCustomGrid::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (FWantTabs && GetColumns()->VisibleCount() > 0 && (GetRowCount() > 0 || GetInputSelected()))
        Message.Result |= DLGC_WANTTAB;
}
