// Controls as assistive technology sees them through Qt's accessibility interfaces: the tree of a
// form, names, roles and states, the masked edit, tables described on demand and announcements.
#include <gtest/gtest.h>

#include <QAccessible>
#include <algorithm>
#include <map>
#include <memory>

#include "TestSupport.h"
#include "platform/windows/Accessibility.h"
#include "platform/windows/AccessibilityQt.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TimerClock.h"

namespace {

// Records what Qt would hand to the desktop's accessibility bus.
struct TEventLog {
    struct TEntry {
        QAccessible::Event Type;
        QAccessible::Role Role;
        QString Name;
        QVariant Value;
        int Col = -1, Row = -1;
    };
    static std::vector<TEntry>& Entries() {
        static std::vector<TEntry> e;
        return e;
    }
    static void Handler(QAccessibleEvent* e) {
        QAccessibleInterface* i = e->accessibleInterface();
        TEntry entry{
            e->type(), i ? i->role() : QAccessible::NoRole, i ? i->text(QAccessible::Name) : QString(), {}};
        if (e->type() == QAccessible::ValueChanged)
            entry.Value = static_cast<QAccessibleValueChangeEvent*>(e)->value();
        if (auto* cell = i ? i->tableCellInterface() : nullptr) {
            entry.Col = cell->columnIndex();
            entry.Row = cell->rowIndex();
        }
        Entries().push_back(entry);
    }
    TEventLog() {
        Entries().clear();
        Previous = QAccessible::installUpdateHandler(Handler);
    }
    ~TEventLog() { QAccessible::installUpdateHandler(Previous); }
    QAccessible::UpdateHandler Previous;
};

// A table that counts the cells it is asked about.
class TBigTable : public TCustomControl {
public:
    explicit TBigTable(TComponent* owner) : TCustomControl(owner) {}
    int Rows = 1000000;
    int Version = 0; // shown in every cell's text
    mutable std::map<std::pair<int, int>, int> Asked;
    std::unique_ptr<TAccessible> CreateAccessible() override;
};

class TBigTableAccessible : public TAccessible {
public:
    using TAccessible::TAccessible;
    TBigTable* Table() const { return static_cast<TBigTable*>(GetControl()); }
    TAccessibleRole GetRole() const override { return arTable; }
    bool IsTable() const override { return true; }
    int GetRowCount() const override { return Table()->Rows; }
    int GetColumnCount() const override { return 4; }
    WideString GetColumnHeader(int Col) const override {
        return u"Col " + WideString(1, char16_t(u'A' + Col));
    }
    WideString GetCellText(int Col, int Row) const override {
        ++Table()->Asked[{Col, Row}];
        std::string s = std::to_string(Row) + ":" + std::to_string(Col);
        if (Table()->Version) s += " v" + std::to_string(Table()->Version);
        return WideString(s.begin(), s.end());
    }
    TRect GetCellRect(int Col, int Row) const override {
        return Row < 3 ? TRect{Col * 20, Row * 10, Col * 20 + 20, Row * 10 + 10} : TRect{};
    }
    bool IsRowSelected(int Row) const override { return Row == 2; }
    std::vector<int> GetSelectedRows(int) const override { return {2}; }
    // Whole rows are selected; their cells all say so, the table tells which one has the focus.
    TAccessibleState GetCellState(int, int Row) const override {
        return Row == 2 ? TAccessibleState{asSelectable, asSelected, asFocused}
                        : TAccessibleState{asSelectable};
    }
    bool GetFocusedCell(int& Col, int& Row) const override {
        Col = 0;
        Row = 2;
        return true;
    }
};

std::unique_ptr<TAccessible> TBigTable::CreateAccessible() {
    return std::make_unique<TBigTableAccessible>(this);
}

struct AccessibilityTest : ::testing::Test {
    std::unique_ptr<TForm> form;
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(40, 40, 400, 300);
        form->SetCaption(u"Probe window");
    }
    template <typename T> T* Add(TWinControl* parent, int l, int t, int w, int h) {
        auto* c = new T(form.get());
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        return c;
    }
    QAccessibleInterface* FormInterface() { return QAccessible::queryAccessibleInterface(Frame(form.get())); }
    QAccessibleInterface* Find(QAccessibleInterface* root, QAccessible::Role role, const QString& name = {}) {
        if (!root) return nullptr;
        if (root->role() == role && (name.isEmpty() || root->text(QAccessible::Name) == name)) return root;
        if (root->role() == QAccessible::Table) return nullptr; // cells are not walked
        for (int i = 0; i < root->childCount(); ++i)
            if (auto* found = Find(root->child(i), role, name)) return found;
        return nullptr;
    }
    // Every text the tree below root tells, cells excluded.
    QStringList AllTexts(QAccessibleInterface* root) {
        QStringList out;
        if (!root) return out;
        for (auto t : {QAccessible::Name, QAccessible::Description, QAccessible::Value, QAccessible::Help})
            out << root->text(t);
        if (root->role() == QAccessible::Table) return out;
        for (int i = 0; i < root->childCount(); ++i)
            out << AllTexts(root->child(i));
        return out;
    }
};

TEST_F(AccessibilityTest, FormTreeNamesButtonsGroupsLabelsAndHidesTheMaskedText) {
    auto* panel = Add<TPanel>(form.get(), 0, 0, 400, 40);
    auto* button = Add<TSpeedButton>(panel, 4, 4, 30, 30);
    button->SetHint(u"Upload files");
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    auto* label = Add<TLabel>(form.get(), 10, 60, 100, 16);
    label->SetCaption(u"Key for &decode");
    auto* edit = Add<TEdit>(form.get(), 120, 56, 150, 21);
    edit->SetPasswordChar(u'*');
    edit->SetHint(u"Secret key");
    label->SetFocusControl(edit);
    edit->SetText(u"topsecret-123");
    ASSERT_TRUE(ShowAndWait(form.get()));

    QAccessibleInterface* root = FormInterface();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->role(), QAccessible::Window);
    EXPECT_EQ(root->text(QAccessible::Name), "Probe window");
    EXPECT_EQ(root->parent(), QAccessible::queryAccessibleInterface(qApp));

    QAccessibleInterface* group = Find(root, QAccessible::Grouping);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->parent(), root);
    ASSERT_EQ(group->childCount(), 1);
    QAccessibleInterface* b = group->child(0);
    EXPECT_EQ(b->role(), QAccessible::Button);
    EXPECT_EQ(b->text(QAccessible::Name), "Upload files");
    EXPECT_EQ(b->text(QAccessible::Description), "");
    EXPECT_EQ(b->parent(), group);
    EXPECT_EQ(group->indexOfChild(b), 0);
    EXPECT_EQ(b->rect(), QRect(button->ClientToScreen({0, 0}).X, button->ClientToScreen({0, 0}).Y, 30, 30));
    EXPECT_EQ(group->childAt(b->rect().center().x(), b->rect().center().y()), b);
    ASSERT_NE(b->actionInterface(), nullptr);
    // The press waits for the event loop: the client's call returns before the command runs.
    b->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 0);
    Pump();
    EXPECT_EQ(clicks, 1);
    button->SetEnabled(false);
    EXPECT_TRUE(b->state().disabled);
    b->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    Pump();
    EXPECT_EQ(clicks, 1) << "a disabled button is not pressed through assistive technology";
    // A button has no widget of its own to tell its state: enabling and hiding it are told for it.
    {
        TEventLog log;
        button->SetEnabled(true);
        button->SetVisible(false);
        const auto& events = TEventLog::Entries();
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[0].Type, QAccessible::StateChanged);
        EXPECT_EQ(events[1].Type, QAccessible::ObjectHide);
        EXPECT_EQ(events[1].Name, "Upload files");
        EXPECT_TRUE(b->state().invisible);
    }
    button->SetVisible(true);

    QAccessibleInterface* l = Find(root, QAccessible::StaticText);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->text(QAccessible::Name), "Key for decode");

    QAccessibleInterface* e = Find(root, QAccessible::EditableText);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->object(), Client(edit));
    EXPECT_TRUE(e->state().passwordEdit);
    EXPECT_TRUE(e->state().editable);
    EXPECT_EQ(e->text(QAccessible::Name), "Key for decode");
    EXPECT_EQ(e->text(QAccessible::Description), "Secret key");
    EXPECT_EQ(e->text(QAccessible::Value), "");
    ASSERT_NE(e->textInterface(), nullptr);
    EXPECT_EQ(e->textInterface()->text(0, -1), QString(13, u'*'));
    EXPECT_TRUE(root->state().active);
    for (const QString& t : AllTexts(root))
        EXPECT_FALSE(t.contains("topsecret")) << t.toStdString();
    auto labelled = l->relations(QAccessible::Labelled);
    ASSERT_EQ(labelled.size(), 1);
    EXPECT_EQ(labelled[0].first, e);
    auto labels = e->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first, l);

    // Unmasked, the field tells its text (and still takes its name from the label, not the text).
    edit->SetPasswordChar(0);
    EXPECT_EQ(e->text(QAccessible::Value), "topsecret-123");
    EXPECT_EQ(e->text(QAccessible::Name), "Key for decode");
}

TEST_F(AccessibilityTest, AnnouncementsCarryNoMaskedTextAndDeadControlsGoQuiet) {
    auto* edit = Add<TEdit>(form.get(), 10, 10, 150, 21);
    edit->SetPasswordChar(u'*');
    auto* button = Add<TSpeedButton>(form.get(), 200, 10, 30, 30);
    button->SetHint(u"Run");
    ASSERT_TRUE(ShowAndWait(form.get()));
    {
        TEventLog log;
        ASSERT_TRUE(AccessibilityActive());
        edit->SetText(u"topsecret-123");
        AccessibleNotify(edit, aeValueChanged);
        AccessibleNotify(button, aeFocus);
        ASSERT_EQ(TEventLog::Entries().size(), 2u);
        EXPECT_EQ(TEventLog::Entries()[0].Type, QAccessible::ValueChanged);
        EXPECT_FALSE(TEventLog::Entries()[0].Value.toString().contains("topsecret"));
        EXPECT_EQ(TEventLog::Entries()[1].Type, QAccessible::Focus);
        EXPECT_EQ(TEventLog::Entries()[1].Name, "Run");
    }
    EXPECT_FALSE(AccessibilityActive());

    QAccessibleInterface* b = Find(FormInterface(), QAccessible::Button, "Run");
    ASSERT_NE(b, nullptr);
    QAccessible::Id id = QAccessible::uniqueId(b);
    delete button;
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
    EXPECT_EQ(FormInterface()->childCount(), 1);
}

// Records what the bridge hands on to the bus.
struct TSinkLog {
    static std::vector<std::pair<QAccessible::Event, QString>>& Entries() {
        static std::vector<std::pair<QAccessible::Event, QString>> e;
        return e;
    }
    static void Sink(QAccessibleEvent* e) {
        QString text;
        if (e->type() == QAccessible::TextInserted)
            text = static_cast<QAccessibleTextInsertEvent*>(e)->textInserted();
        if (e->type() == QAccessible::Focus || e->type() == QAccessible::NameChanged)
            text = e->accessibleInterface()->text(QAccessible::Name) + "|" +
                   e->accessibleInterface()->text(QAccessible::Description);
        Entries().push_back({e->type(), text});
    }
    TSinkLog() {
        Entries().clear();
        SetAccessibleEventSink(Sink);
    }
    ~TSinkLog() { SetAccessibleEventSink(nullptr); }
    int Count(QAccessible::Event type) const {
        return static_cast<int>(
            std::count_if(Entries().begin(), Entries().end(), [&](auto& e) { return e.first == type; }));
    }
};

TEST_F(AccessibilityTest, TypingInAMaskedFieldTellsMasksAndTheFieldTakesFocusByAction) {
    auto* edit = Add<TEdit>(form.get(), 10, 10, 150, 21);
    edit->SetPasswordChar(u'*');
    auto* other = Add<TEdit>(form.get(), 10, 40, 150, 21);
    ASSERT_TRUE(ShowAndWait(form.get()));
    other->SetFocus();
    QAccessibleInterface* e = Find(FormInterface(), QAccessible::EditableText);
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->object(), Client(edit));
    ASSERT_NE(e->actionInterface(), nullptr);
    e->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_TRUE(edit->Focused());

    QTest::keyClicks(Client(edit), "topsecret");
    // What the editor reports as the text goes in (Qt drops it while no client listens).
    TSinkLog log;
    QAccessibleTextInsertEvent typed(Client(edit), 0, "topsecret");
    HandAccessibleEvent(&typed);
    QAccessibleTextCursorEvent caret(Client(edit), 9);
    HandAccessibleEvent(&caret);
    QAccessibleTextInterface* text = e->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 9);
    EXPECT_EQ(text->text(0, 9), "*********");
    EXPECT_EQ(text->cursorPosition(), 9);
    ASSERT_EQ(TSinkLog::Entries().size(), 2u);
    EXPECT_EQ(TSinkLog::Entries()[0], std::make_pair(QAccessible::TextInserted, QString("*********")));
    EXPECT_EQ(TSinkLog::Entries()[1].first, QAccessible::TextCaretMoved);
}

TEST_F(AccessibilityTest, OneCellHasTheFocusAndTheTableTakingItReadsTheRow) {
    auto* table = Add<TBigTable>(form.get(), 0, 0, 200, 100);
    table->SetTabStop(true);
    ASSERT_TRUE(ShowAndWait(form.get()));
    QAccessibleInterface* t = Find(FormInterface(), QAccessible::Table);
    ASSERT_NE(t, nullptr);
    TSinkLog log;
    table->SetFocus();
    QAccessibleEvent focus(Client(table), QAccessible::Focus);
    HandAccessibleEvent(&focus);
    QAccessibleTableInterface* ti = t->tableInterface();
    int focused = 0;
    for (int col = 0; col < 4; ++col)
        focused += ti->cellAt(2, col)->state().focused;
    EXPECT_EQ(focused, 1);
    EXPECT_TRUE(ti->cellAt(2, 0)->state().focused);
    EXPECT_EQ(t->focusChild(), ti->cellAt(2, 0));
    auto& said = TSinkLog::Entries();
    auto lastFocus =
        std::find_if(said.rbegin(), said.rend(), [](auto& e) { return e.first == QAccessible::Focus; });
    ASSERT_NE(lastFocus, said.rend());
    EXPECT_EQ(lastFocus->second, "2:0|2:0, 2:1, 2:2, 2:3") << "the focused cell, describing its row";
}

TEST_F(AccessibilityTest, ACellIsToldAtMostEveryIntervalAndItsLastTextAlways) {
    auto* table = Add<TBigTable>(form.get(), 0, 0, 200, 100);
    ASSERT_TRUE(ShowAndWait(form.get()));
    TManualTimerClock clock;
    TSinkLog log;
    auto change = [&] {
        ++table->Version;
        AccessibleNotify(table, aeCellChanged, 1, 0);
        AccessibleNotify(table, aeCellChanged, 2, 0);
    };
    // A burst: the first change is told at once, the last once the interval is over.
    for (int i = 0; i < 50; ++i)
        change();
    EXPECT_EQ(log.Count(QAccessible::NameChanged), 2);
    clock.Advance(AccessibleCellInterval);
    ASSERT_EQ(log.Count(QAccessible::NameChanged), 4);
    EXPECT_EQ(TSinkLog::Entries().back().second, "0:2 v50|");
    // A change every 10 ms for two seconds: about ten a second for each cell.
    TSinkLog steady;
    for (int i = 0; i < 200; ++i) {
        change();
        clock.Advance(10);
    }
    clock.Advance(AccessibleCellInterval);
    EXPECT_GE(steady.Count(QAccessible::NameChanged), 2 * 19);
    EXPECT_LE(steady.Count(QAccessible::NameChanged), 2 * 21);
    EXPECT_EQ(TSinkLog::Entries().back().second, "0:2 v250|");
    // Text written again unchanged says nothing.
    const int told = steady.Count(QAccessible::NameChanged);
    AccessibleNotify(table, aeCellChanged, 1, 0);
    clock.Advance(AccessibleCellInterval);
    AccessibleNotify(table, aeCellChanged, 1, 0);
    EXPECT_EQ(steady.Count(QAccessible::NameChanged), told);
}

TEST_F(AccessibilityTest, TablesDescribeOnlyTheCellsAskedFor) {
    auto* table = Add<TBigTable>(form.get(), 0, 0, 200, 100);
    ASSERT_TRUE(ShowAndWait(form.get()));
    QAccessibleInterface* t = Find(FormInterface(), QAccessible::Table);
    ASSERT_NE(t, nullptr);
    QAccessibleTableInterface* ti = t->tableInterface();
    ASSERT_NE(ti, nullptr);
    EXPECT_EQ(ti->rowCount(), 1000000);
    EXPECT_EQ(ti->columnCount(), 4);
    EXPECT_EQ(t->childCount(), 4 * 1000001);
    EXPECT_TRUE(table->Asked.empty());

    // Headers come first among the children, then cells row by row.
    EXPECT_EQ(t->child(1)->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(t->child(1)->text(QAccessible::Name), "Col B");
    QAccessibleInterface* last = ti->cellAt(999999, 3);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->text(QAccessible::Name), "999999:3");
    EXPECT_EQ(t->indexOfChild(last), 4 * 1000000 + 3);
    EXPECT_EQ(last->tableCellInterface()->rowIndex(), 999999);
    EXPECT_EQ(last->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name), "Col D");
    EXPECT_TRUE(last->state().invisible);
    EXPECT_EQ(ti->cellAt(1000000, 0), nullptr);
    EXPECT_EQ(ti->cellAt(0, 4), nullptr);
    EXPECT_EQ(table->Asked.size(), 1u);

    EXPECT_EQ(ti->selectedRows(), QList<int>{2});
    QAccessibleInterface* onScreen = ti->cellAt(2, 1);
    EXPECT_TRUE(onScreen->tableCellInterface()->isSelected());
    EXPECT_FALSE(onScreen->state().invisible);
    EXPECT_EQ(ti->cellAt(2, 1), onScreen) << "a cell asked twice is the same object";

    // Walking many cells keeps a bounded number of them alive.
    QAccessible::Id first = QAccessible::uniqueId(ti->cellAt(0, 0));
    for (int row = 0; row < 5000; ++row)
        ti->cellAt(row, 0);
    EXPECT_EQ(QAccessible::accessibleInterface(first), nullptr);

    // A row removal drops the cells kept, as their places changed.
    TEventLog log;
    QAccessible::Id kept = QAccessible::uniqueId(ti->cellAt(4999, 0));
    table->Rows = 10;
    AccessibleNotify(table, aeRowsRemoved, 999990, 10);
    EXPECT_EQ(QAccessible::accessibleInterface(kept), nullptr);
    ASSERT_EQ(TEventLog::Entries().size(), 1u);
    EXPECT_EQ(TEventLog::Entries()[0].Type, QAccessible::TableModelChanged);
}

TEST(AccessibleText, AcceleratorMarksAreTakenOut) {
    EXPECT_EQ(StripAccelerator(u"Key for &decode"), u"Key for decode");
    EXPECT_EQ(StripAccelerator(u"Save && &quit"), u"Save & quit");
    EXPECT_EQ(StripAccelerator(u"trailing&"), u"trailing");
}

} // namespace
