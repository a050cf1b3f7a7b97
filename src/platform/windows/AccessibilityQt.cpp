// The bridge from controls' TAccessible answers to Qt's accessibility interfaces (and through them
// to the desktop's accessibility bus). Cells of a table get interfaces only when asked for.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <climits>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>

#include "platform/windows/Accessibility.h"
#include "platform/windows/AccessibilityQt.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TimerClock.h"
#include "platform/windows/WinControlQt.h"

namespace {

QString ToQt(const WideString& s) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(s.data()), static_cast<qsizetype>(s.size()));
}

class TControlInterface;

// Cell interfaces a table keeps at most; past it the kept ones are dropped (clients ask again).
constexpr size_t MaxCachedCells = 2048;

struct TBridgeState {
    std::unordered_map<TControl*, std::unique_ptr<TAccessible>> Answers;
    // Every live control interface, windowed ones included, so a dying control can detach it.
    std::unordered_map<TControl*, TControlInterface*> Interfaces;
    bool FactoryInstalled = false;
    // Whether any widget's interface was asked for yet; until then there is nothing to forget.
    bool Queried = false;
    // Where filtered events go instead of the desktop bus (tests); see SetAccessibleEventSink.
    QAccessible::UpdateHandler Sink = nullptr;
    // The pending cell announcements' timer: when it is due, and whether it runs on the manual clock.
    std::optional<uint64_t> FlushDue;
    bool ManualClock = false;
    QPointer<QTimer> FlushTimer;
};
TBridgeState& Bridge() {
    static TBridgeState s;
    return s;
}

QAccessible::Role RoleToQt(TAccessibleRole r) {
    switch (r) {
    case arWindow:
        return QAccessible::Window;
    case arGrouping:
        return QAccessible::Grouping;
    case arStaticText:
        return QAccessible::StaticText;
    case arEditableText:
        return QAccessible::EditableText;
    case arPushButton:
        return QAccessible::Button;
    case arTable:
        return QAccessible::Table;
    case arColumnHeader:
        return QAccessible::ColumnHeader;
    case arCell:
        return QAccessible::Cell;
    case arClient:
        break;
    }
    return QAccessible::Client;
}

QAccessible::State StateToQt(TAccessibleState s) {
    QAccessible::State q;
    q.focusable = s.Contains(asFocusable);
    q.focused = s.Contains(asFocused);
    q.disabled = s.Contains(asUnavailable);
    q.invisible = s.Contains(asInvisible);
    q.pressed = s.Contains(asPressed);
    q.selectable = s.Contains(asSelectable);
    q.selected = s.Contains(asSelected);
    q.multiSelectable = s.Contains(asMultiSelectable);
    q.passwordEdit = s.Contains(asProtected);
    q.readOnly = s.Contains(asReadOnly);
    q.active = s.Contains(asActive);
    return q;
}

QAccessibleInterface* InterfaceOf(TControl* c);

// Screen rectangle of a client rectangle of a control.
QRect ClientToScreenRect(TControl* c, const TRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return {};
    TPoint p = c->ClientToScreen({r.Left, r.Top});
    return QRect(p.X, p.Y, r.Width(), r.Height());
}

QRect ControlScreenRect(TControl* c) {
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (QWidget* frame = FrameWidgetOf(w); frame && w->HandleAllocated())
            return QRect(frame->mapToGlobal(QPoint(0, 0)), frame->size());
    }
    if (TWinControl* parent = c->GetParent()) {
        TPoint p = parent->ClientToScreen({c->GetLeft(), c->GetTop()});
        return QRect(p.X, p.Y, c->GetWidth(), c->GetHeight());
    }
    return QRect(c->GetLeft(), c->GetTop(), c->GetWidth(), c->GetHeight());
}

// A table cell (Row >= 0) or a column header (Row == -1), made on request.
class TCellInterface : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    TCellInterface(TControlInterface* table, int col, int row) : Table(table), Col(col), Row(row) {}
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override {
        return Row < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this)
                                                    : nullptr;
    }
    // Table cell.
    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return Col; }
    int rowIndex() const override { return Row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

    TControlInterface* Table;
    int Col, Row;
    // The text last announced, so rewriting a value unchanged stays quiet.
    std::optional<QString> Announced;
};

// A control. Windowed controls are tied to their client widget (a form to its frame); windowless
// ones are registered by themselves.
class TControlInterface : public QAccessibleInterface,
                          public QAccessibleActionInterface,
                          public QAccessibleTableInterface,
                          public QAccessibleTextInterface {
public:
    TControlInterface(TControl* c, QWidget* w) : Control(c), Widget(w) { Bridge().Interfaces[c] = this; }
    ~TControlInterface() override {
        DropCells();
        if (Control) {
            auto it = Bridge().Interfaces.find(Control);
            if (it != Bridge().Interfaces.end() && it->second == this) Bridge().Interfaces.erase(it);
        }
    }
    TAccessible* Answers() const { return Control ? GetAccessible(Control) : nullptr; }

    bool isValid() const override { return Control != nullptr; }
    QObject* object() const override { return Widget.data(); }
    QWindow* window() const override {
        TCustomForm* form = Control ? Control->GetParentForm() : nullptr;
        QWidget* frame = form ? FrameWidgetOf(form) : nullptr;
        return frame ? frame->windowHandle() : nullptr;
    }
    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> out;
        if (!Control) return out;
        if (match & QAccessible::Labelled) {
            if (TControl* target = Answers()->GetLabelFor())
                if (auto* i = InterfaceOf(target)) out.push_back({i, QAccessible::Labelled});
        }
        if (match & QAccessible::Label) {
            // A label elsewhere on the form whose associate is this control.
            for (auto& [c, iface] : Bridge().Interfaces)
                if (iface != this && GetAccessible(c)->GetLabelFor() == Control)
                    out.push_back({iface, QAccessible::Label});
        }
        return out;
    }
    QAccessibleInterface* focusChild() const override {
        int col, row;
        if (Control && Answers()->IsTable() && Answers()->GetFocusedCell(col, row) &&
            Answers()->GetState().Contains(asFocused))
            return cellAt(row, col);
        return nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (!Control) return nullptr;
        if (Answers()->IsTable()) {
            TPoint clientPt = Control->ScreenToClient({x, y});
            int col, row;
            if (Answers()->CellAtPos(clientPt, col, row)) return cellAt(row, col);
            return nullptr;
        }
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* c = child(i); c && c->rect().contains(x, y)) return c;
        return nullptr;
    }
    QAccessibleInterface* parent() const override {
        if (!Control) return nullptr;
        if (TWinControl* p = Control->GetParent()) return InterfaceOf(p);
        return QAccessible::queryAccessibleInterface(qApp);
    }
    // Tables: the column headers, then the cells row by row. Other controls: their children.
    int childCount() const override {
        if (!Control) return 0;
        if (Answers()->IsTable()) {
            long long n =
                static_cast<long long>(Answers()->GetColumnCount()) * (Answers()->GetRowCount() + 1);
            return static_cast<int>(std::min<long long>(n, INT_MAX));
        }
        auto* w = dynamic_cast<TWinControl*>(Control);
        return w ? w->GetControlCount() : 0;
    }
    QAccessibleInterface* child(int index) const override {
        if (!Control || index < 0) return nullptr;
        if (Answers()->IsTable()) {
            int cols = Answers()->GetColumnCount();
            if (cols <= 0 || index >= childCount()) return nullptr;
            return CellInterface(index % cols, index / cols - 1);
        }
        auto* w = dynamic_cast<TWinControl*>(Control);
        if (!w || index >= w->GetControlCount()) return nullptr;
        return InterfaceOf(w->GetControl(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!Control || !child) return -1;
        if (Answers()->IsTable()) {
            for (auto& [key, id] : Cells) {
                if (QAccessible::accessibleInterface(id) == child)
                    return (key.first + 1) * Answers()->GetColumnCount() + key.second;
            }
            return -1;
        }
        auto* w = dynamic_cast<TWinControl*>(Control);
        for (int i = 0; w && i < w->GetControlCount(); ++i)
            if (InterfaceOf(w->GetControl(i)) == child) return i;
        return -1;
    }
    QString text(QAccessible::Text t) const override {
        if (!Control) return {};
        switch (t) {
        case QAccessible::Name:
            return ToQt(Answers()->GetName());
        case QAccessible::Description:
            return ToQt(Answers()->GetDescription());
        case QAccessible::Value:
            return Answers()->GetState().Contains(asProtected) ? QString() : ToQt(Answers()->GetValue());
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return Control ? ControlScreenRect(Control) : QRect(); }
    QAccessible::Role role() const override {
        return Control ? RoleToQt(Answers()->GetRole()) : QAccessible::NoRole;
    }
    QAccessible::State state() const override {
        if (!Control) return {};
        QAccessible::State s = StateToQt(Answers()->GetState());
        if (Answers()->GetRole() == arEditableText) s.editable = !s.readOnly;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (!Control) return nullptr;
        if (t == QAccessible::ActionInterface && !actionNames().isEmpty())
            return static_cast<QAccessibleActionInterface*>(this);
        if (t == QAccessible::TableInterface && Answers()->IsTable())
            return static_cast<QAccessibleTableInterface*>(this);
        if (t == QAccessible::TextInterface && Answers()->HasText())
            return static_cast<QAccessibleTextInterface*>(this);
        return nullptr;
    }

    // Actions: a button's press; focus for whatever can take it (the bus's grab-focus asks for it).
    QStringList actionNames() const override {
        QStringList names;
        if (!Control) return names;
        if (Answers()->GetRole() == arPushButton) names << pressAction();
        if (Answers()->GetState().Contains(asFocusable)) names << setFocusAction();
        return names;
    }
    void doAction(const QString& name) override {
        if (!Control) return;
        if (name == setFocusAction()) {
            TControl* c = Control;
            GuardedCall(c, [&] { GetAccessible(c)->TakeFocus(); });
            return;
        }
        if (name != pressAction() || Answers()->GetRole() != arPushButton) return;
        // The press runs from the event loop, so the client's call returns at once even when the
        // command opens a message box or works for long.
        QObject* context = Widget ? static_cast<QObject*>(Widget.data()) : qApp;
        QMetaObject::invokeMethod(
            context,
            [c = Control] {
                if (Bridge().Answers.count(c)) GuardedCall(c, [&] { GetAccessible(c)->DoDefaultAction(); });
            },
            Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        QStringList keys;
        if (!Control || name != pressAction()) return keys;
        for (const WideString& key : Answers()->GetKeyBindings())
            keys << ToQt(key);
        return keys;
    }

    // Text: what the field shows, masks for a masked one; read-only to clients.
    QString ShownText() const { return Control ? ToQt(Answers()->GetShownText()) : QString(); }
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        int start = 0, length = 0;
        if (Control && selectionIndex == 0) Answers()->GetTextSelection(start, length);
        if (length <= 0) return;
        *startOffset = start;
        *endOffset = start + length;
    }
    int selectionCount() const override {
        int start = 0, length = 0;
        if (Control) Answers()->GetTextSelection(start, length);
        return length > 0 ? 1 : 0;
    }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return Control ? Answers()->GetCaretOffset() : 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override {
        QString shown = ShownText();
        startOffset = std::clamp(startOffset, 0, static_cast<int>(shown.size()));
        endOffset = endOffset < 0 ? static_cast<int>(shown.size())
                                  : std::clamp(endOffset, startOffset, static_cast<int>(shown.size()));
        return shown.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(ShownText().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }

    // Table.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (!Control || row < 0 || column < 0 || row >= Answers()->GetRowCount() ||
            column >= Answers()->GetColumnCount())
            return nullptr;
        return CellInterface(column, row);
    }
    int selectedCellCount() const override { return selectedRowCount() * columnCount(); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> out;
        for (int row : selectedRows())
            for (int col = 0; col < columnCount(); ++col)
                out.push_back(CellInterface(col, row));
        return out;
    }
    QString columnDescription(int column) const override {
        return Control ? ToQt(Answers()->GetColumnHeader(column)) : QString();
    }
    // The row's cell texts, as the row is read out when the table takes the focus.
    QString rowDescription(int row) const override {
        QStringList texts;
        if (!Control || row < 0 || row >= rowCount()) return {};
        for (int col = 0; col < columnCount(); ++col)
            texts << ToQt(Answers()->GetCellText(col, row));
        return texts.join(QStringLiteral(", "));
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    int columnCount() const override { return Control ? Answers()->GetColumnCount() : 0; }
    int rowCount() const override { return Control ? Answers()->GetRowCount() : 0; }
    QList<int> selectedColumns() const override { return {}; }
    // Bounded, so a selection of a million rows is not copied out whole.
    QList<int> selectedRows() const override {
        if (!Control) return {};
        std::vector<int> rows = Answers()->GetSelectedRows(1000);
        return QList<int>(rows.begin(), rows.end());
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override { return Control && Answers()->IsRowSelected(row); }
    bool selectRow(int row) override {
        if (!Control) return false;
        TControl* c = Control;
        bool done = false;
        GuardedCall(c, [&] { done = GetAccessible(c)->SelectRow(row); });
        return done;
    }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // Rows moved or went away: the kept cells no longer sit where they claim.
    void modelChange(QAccessibleTableModelChangeEvent*) override { DropCells(); }

    // The cell's interface if it was made already, else null (col, row: -1 row for a header).
    QAccessibleInterface* ExistingCell(int col, int row) const {
        auto it = Cells.find({row, col});
        return it == Cells.end() ? nullptr : QAccessible::accessibleInterface(it->second);
    }
    QAccessibleInterface* CellInterface(int col, int row) const {
        if (QAccessibleInterface* i = ExistingCell(col, row)) return i;
        if (Cells.size() >= MaxCachedCells) DropCells();
        auto* cell = new TCellInterface(const_cast<TControlInterface*>(this), col, row);
        Cells[{row, col}] = QAccessible::registerAccessibleInterface(cell);
        return cell;
    }
    void DropCells() const {
        auto cells = std::move(Cells);
        Cells.clear();
        for (auto& [key, id] : cells)
            QAccessible::deleteAccessibleInterface(id);
    }
    size_t CachedCellCount() const { return Cells.size(); }

    TControl* Control;
    QPointer<QWidget> Widget;
    mutable std::map<std::pair<int, int>, QAccessible::Id> Cells; // (row, col) -> id
    QAccessible::Id OwnId = 0; // windowless controls: registered by the bridge
    // When each cell's text was last told, and the cells whose newest text waits for its turn.
    std::map<std::pair<int, int>, uint64_t> LastTold; // (row, col) -> bridge clock
    std::set<std::pair<int, int>> Pending;
};

bool TCellInterface::isValid() const {
    return Table && Table->Control;
}
QAccessibleInterface* TCellInterface::parent() const {
    return Table;
}
QAccessibleInterface* TCellInterface::table() const {
    return Table;
}
QString TCellInterface::text(QAccessible::Text t) const {
    if (!isValid()) return {};
    TAccessible* a = Table->Answers();
    if (t == QAccessible::Name) return ToQt(Row < 0 ? a->GetColumnHeader(Col) : a->GetCellText(Col, Row));
    // The focused cell describes its whole row.
    int col, row;
    if (t == QAccessible::Description && Row >= 0 && a->GetFocusedCell(col, row) && col == Col && row == Row)
        return Table->rowDescription(Row);
    return {};
}
QRect TCellInterface::rect() const {
    if (!isValid()) return {};
    TAccessible* a = Table->Answers();
    return ClientToScreenRect(Table->Control, Row < 0 ? a->GetHeaderRect(Col) : a->GetCellRect(Col, Row));
}
QAccessible::State TCellInterface::state() const {
    if (!isValid()) return {};
    if (Row < 0) return {};
    TAccessible* a = Table->Answers();
    QAccessible::State s = StateToQt(a->GetCellState(Col, Row));
    if (rect().isEmpty()) s.invisible = true;
    // One cell has the focus, the table's focused one, and only while the table has it.
    int col, row;
    s.focusable = true;
    s.focused = a->GetState().Contains(asFocused) && a->GetFocusedCell(col, row) && col == Col && row == Row;
    return s;
}
bool TCellInterface::isSelected() const {
    return isValid() && Row >= 0 && Table->Answers()->IsRowSelected(Row);
}
QList<QAccessibleInterface*> TCellInterface::columnHeaderCells() const {
    if (!isValid() || Row < 0) return {};
    return {Table->CellInterface(Col, -1)};
}

// The widget a windowed control is known by: a top-level window's frame, else its client.
QWidget* KeyWidgetOf(TWinControl* w) {
    if (!w->HandleAllocated()) return nullptr;
    return w->GetWindowPrivate()->TopLevel ? FrameWidgetOf(w) : ClientWidgetOf(w);
}

// Qt's own interface for a native editor is found before ours; replace it with ours, so the
// control answers (a masked field keeps quiet, its label names it).
QAccessibleInterface* TakeOver(TWinControl* c, QWidget* key) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(key);
    if (dynamic_cast<TControlInterface*>(iface)) return iface;
    if (iface) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    auto* own = new TControlInterface(c, key);
    QAccessible::registerAccessibleInterface(own);
    return own;
}

QAccessibleInterface* InterfaceOf(TControl* c) {
    if (!c) return nullptr;
    Bridge().Queried = true;
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (QWidget* key = KeyWidgetOf(w)) return TakeOver(w, key);
    }
    auto it = Bridge().Interfaces.find(c);
    if (it != Bridge().Interfaces.end()) return it->second;
    // Windowless (or not yet shown): an interface of its own.
    auto* iface = new TControlInterface(c, nullptr);
    iface->OwnId = QAccessible::registerAccessibleInterface(iface);
    return iface;
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
    Bridge().Queried = true;
    auto* widget = qobject_cast<QWidget*>(object);
    TWinControl* c = widget ? ControlOfWidget(widget) : nullptr;
    if (!c || KeyWidgetOf(c) != widget) return nullptr;
    // A windowless stand-in made before the window existed gives way to the window's interface.
    auto it = Bridge().Interfaces.find(c);
    if (it != Bridge().Interfaces.end() && it->second->OwnId) {
        QAccessible::Id id = it->second->OwnId;
        it->second->Control = nullptr;
        Bridge().Interfaces.erase(it);
        QAccessible::deleteAccessibleInterface(id);
    }
    return new TControlInterface(c, widget);
}

void FilterUpdate(QAccessibleEvent* e);

// The update handler installed in this process, if any (Qt has no getter). The bridge's own filter
// does not count: it stands for the desktop bus.
QAccessible::UpdateHandler InstalledHandler() {
    QAccessible::UpdateHandler h = QAccessible::installUpdateHandler(nullptr);
    QAccessible::installUpdateHandler(h);
    return h == FilterUpdate ? nullptr : h;
}

// Hands an event past the filter: to the sink, else to the desktop bus.
void Forward(QAccessibleEvent* e) {
    if (QAccessible::UpdateHandler sink = Bridge().Sink) {
        sink(e);
        return;
    }
    QAccessible::UpdateHandler h = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(e);
    QAccessible::installUpdateHandler(h);
}

// Every event on its way to the bus. A native editor reports typed text itself: for a masked
// field the text becomes masks. A table taking the focus also moves it to its focused cell, so
// the current row is read out.
void FilterUpdate(QAccessibleEvent* e) {
    if (!QAccessible::isActive() && !Bridge().Sink) return;
    auto* own = dynamic_cast<TControlInterface*>(e->accessibleInterface());
    if (own && own->Control && own->Answers()->GetState().Contains(asProtected)) {
        auto masks = [&](const QString& text) { return QString(text.size(), QChar(u'*')); };
        switch (e->type()) {
        case QAccessible::TextInserted: {
            auto* t = static_cast<QAccessibleTextInsertEvent*>(e);
            QAccessibleTextInsertEvent masked(own, t->changePosition(), masks(t->textInserted()));
            masked.setCursorPosition(own->cursorPosition());
            Forward(&masked);
            return;
        }
        case QAccessible::TextRemoved: {
            auto* t = static_cast<QAccessibleTextRemoveEvent*>(e);
            QAccessibleTextRemoveEvent masked(own, t->changePosition(), masks(t->textRemoved()));
            masked.setCursorPosition(own->cursorPosition());
            Forward(&masked);
            return;
        }
        case QAccessible::TextUpdated: {
            auto* t = static_cast<QAccessibleTextUpdateEvent*>(e);
            QAccessibleTextUpdateEvent masked(own, t->changePosition(), masks(t->textRemoved()),
                                              masks(t->textInserted()));
            masked.setCursorPosition(own->cursorPosition());
            Forward(&masked);
            return;
        }
        case QAccessible::ValueChanged: {
            QAccessibleValueChangeEvent masked(own, QVariant());
            Forward(&masked);
            return;
        }
        default:
            break;
        }
    }
    Forward(e);
    // Qt's bus adaptor leaves a table's selection changes unsaid.
    if (e->type() == QAccessible::SelectionWithin && own && own->Control && own->Answers()->IsTable() &&
        QAccessible::isActive())
        AnnounceSelectionOnBus(own);
    int col, row;
    if (e->type() == QAccessible::Focus && own && own->Control && own->Answers()->IsTable() &&
        own->Answers()->GetFocusedCell(col, row)) {
        if (QAccessibleInterface* cell = own->cellAt(row, col)) {
            QAccessibleEvent focus(cell, QAccessible::Focus);
            Forward(&focus);
        }
    }
}

// Qt hands events on only while a desktop client is active; a handler installed in the process
// (an embedded client, the tests) hears them as well.
void Deliver(QAccessibleEvent& e) {
    if (QAccessible::isActive()) {
        QAccessible::updateAccessibility(&e);
        return;
    }
    if (Bridge().Sink) {
        FilterUpdate(&e);
        return;
    }
    if (QAccessible::UpdateHandler h = InstalledHandler()) h(&e);
}

// The clock of cell announcements: the manual one while a test drives it.
uint64_t BridgeNow() {
    if (ManualTimerClockActive()) return ManualTimerNow();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

// Tells a cell's text if it changed since last told; false when nothing was said.
bool TellCell(TControlInterface* table, int Col, int Row) {
    // Only cells a client already holds, or that are on screen, are worth a word.
    QAccessibleInterface* found = table->ExistingCell(Col, Row);
    if (!found && !table->Answers()->GetCellRect(Col, Row).IsEmpty()) found = table->cellAt(Row, Col);
    auto* cell = static_cast<TCellInterface*>(found);
    if (!cell) return false;
    QString text = cell->text(QAccessible::Name);
    if (cell->Announced == text) return false;
    cell->Announced = text;
    QAccessibleEvent e(cell, QAccessible::NameChanged);
    Deliver(e);
    return true;
}

void FlushCells();

// Runs FlushCells in Delay ms unless it runs sooner already.
void ArmFlush(uint64_t Now, uint64_t Delay) {
    TBridgeState& state = Bridge();
    Delay = std::clamp<uint64_t>(Delay, 1, AccessibleCellInterval);
    if (state.FlushDue && *state.FlushDue <= Now + Delay) return;
    state.FlushDue = Now + Delay;
    if (state.ManualClock) {
        StartManualTimer(&state, 1, static_cast<UINT>(Delay), FlushCells);
        return;
    }
    if (!state.FlushTimer) {
        state.FlushTimer = new QTimer(qApp);
        state.FlushTimer->setSingleShot(true);
        QObject::connect(state.FlushTimer, &QTimer::timeout, FlushCells);
    }
    state.FlushTimer->start(static_cast<int>(Delay));
}

// Tells the waiting cells whose turn came; the others wait for the next run.
void FlushCells() {
    TBridgeState& state = Bridge();
    StopManualTimer(&state, 1);
    state.FlushDue.reset();
    const uint64_t now = BridgeNow();
    std::optional<uint64_t> next;
    std::vector<TControlInterface*> tables;
    for (auto& [c, iface] : state.Interfaces)
        if (!iface->Pending.empty()) tables.push_back(iface);
    for (TControlInterface* table : tables) {
        for (auto it = table->Pending.begin(); it != table->Pending.end();) {
            uint64_t due = table->LastTold[*it] + AccessibleCellInterval;
            if (due > now) {
                next = std::min(next.value_or(due), due);
                ++it;
                continue;
            }
            auto [row, col] = *it;
            it = table->Pending.erase(it);
            if (TellCell(table, col, row)) table->LastTold[{row, col}] = now;
            // Telling may have run a client's handler that changed the bridge: start over later.
            if (!state.Interfaces.count(table->Control)) break;
        }
    }
    if (next) ArmFlush(now, *next - now);
}

// A cell's text changed: told now, or once its interval since the last telling is over.
void AnnounceCell(TControlInterface* table, int Col, int Row) {
    TBridgeState& state = Bridge();
    if (state.ManualClock != ManualTimerClockActive()) {
        // Times of one clock mean nothing on the other.
        state.ManualClock = ManualTimerClockActive();
        state.FlushDue.reset();
        for (auto& [c, iface] : state.Interfaces)
            iface->LastTold.clear();
    }
    const uint64_t now = BridgeNow();
    std::pair<int, int> key{Row, Col};
    if (auto it = table->LastTold.find(key);
        it != table->LastTold.end() && now < it->second + AccessibleCellInterval) {
        table->Pending.insert(key);
        ArmFlush(now, it->second + AccessibleCellInterval - now);
        return;
    }
    if (!TellCell(table, Col, Row)) return;
    if (table->LastTold.size() >= MaxCachedCells)
        std::erase_if(table->LastTold, [&](const auto& told) {
            return told.second + AccessibleCellInterval <= now && !table->Pending.count(told.first);
        });
    table->LastTold[key] = now;
}

} // namespace

// Qt's own widget interfaces are installed by QApplication; ours go after them so they are asked
// first. The filter sees every event before the bus does.
void InstallAccessibilityBridge() {
    if (Bridge().FactoryInstalled || !qApp) return;
    Bridge().FactoryInstalled = true;
    QAccessible::installFactory(Factory);
    HookAccessibilityBus();
    // Someone (a test) listening already keeps listening.
    if (QAccessible::UpdateHandler theirs = QAccessible::installUpdateHandler(FilterUpdate))
        QAccessible::installUpdateHandler(theirs);
}

void SetAccessibleEventSink(void (*Sink)(QAccessibleEvent*)) {
    Bridge().Sink = Sink;
}

void HandAccessibleEvent(QAccessibleEvent* Event) {
    FilterUpdate(Event);
}

TAccessible* GetAccessible(TControl* Control) {
    auto& answers = Bridge().Answers;
    auto it = answers.find(Control);
    if (it != answers.end()) return it->second.get();
    return answers.emplace(Control, Control->CreateAccessible()).first->second.get();
}

bool AccessibilityActive() {
    return QAccessible::isActive() || Bridge().Sink || InstalledHandler() != nullptr;
}

void AccessibleNotify(TControl* Control, TAccessibleEvent Event, int Col, int Row) {
    if (!Control || !AccessibilityActive()) return;
    QAccessibleInterface* iface = InterfaceOf(Control);
    auto* table = dynamic_cast<TControlInterface*>(iface);
    switch (Event) {
    case aeFocus: {
        QAccessibleInterface* target = iface;
        if (table && Col >= 0 && Row >= 0) target = table->cellAt(Row, Col);
        if (!target) return;
        QAccessibleEvent e(target, QAccessible::Focus);
        Deliver(e);
        return;
    }
    case aeNameChanged: {
        QAccessibleEvent e(iface, QAccessible::NameChanged);
        Deliver(e);
        return;
    }
    case aeValueChanged: {
        // A masked field's value is not carried.
        QVariant value = iface->state().passwordEdit ? QVariant() : QVariant(iface->text(QAccessible::Value));
        QAccessibleValueChangeEvent e(iface, value);
        Deliver(e);
        return;
    }
    case aeStateChanged: {
        QAccessible::State changed;
        changed.disabled = changed.invisible = changed.focused = changed.pressed = true;
        QAccessibleStateChangeEvent e(iface, changed);
        Deliver(e);
        return;
    }
    case aeShown:
    case aeHidden: {
        QAccessibleEvent e(iface, Event == aeShown ? QAccessible::ObjectShow : QAccessible::ObjectHide);
        Deliver(e);
        return;
    }
    case aeSelectionChanged: {
        QAccessibleEvent e(iface, QAccessible::SelectionWithin);
        Deliver(e);
        return;
    }
    case aeCellChanged: {
        if (table) AnnounceCell(table, Col, Row);
        return;
    }
    case aeRowsInserted:
    case aeRowsRemoved:
    case aeTableReset: {
        if (!table) return;
        auto kind = Event == aeRowsInserted  ? QAccessibleTableModelChangeEvent::RowsInserted
                    : Event == aeRowsRemoved ? QAccessibleTableModelChangeEvent::RowsRemoved
                                             : QAccessibleTableModelChangeEvent::ModelReset;
        QAccessibleTableModelChangeEvent e(iface, kind);
        if (Event != aeTableReset) {
            e.setFirstRow(Row);
            e.setLastRow(Row + std::max(Col, 1) - 1);
        }
        table->modelChange(&e);
        Deliver(e);
        return;
    }
    }
}

void AccessibleControlDestroyed(TControl* Control) {
    auto& state = Bridge();
    if (auto it = state.Interfaces.find(Control); it != state.Interfaces.end()) {
        TControlInterface* iface = it->second;
        state.Interfaces.erase(it);
        iface->DropCells();
        iface->Control = nullptr;
        if (iface->OwnId) QAccessible::deleteAccessibleInterface(iface->OwnId);
    }
    state.Answers.erase(Control);
}

void ForgetAccessibleWidget(QWidget* Widget) {
    if (!Widget || !Bridge().Queried) return;
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(Widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}
