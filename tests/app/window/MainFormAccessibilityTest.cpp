// The main window as a screen reader meets it, through Qt's accessibility interfaces: the tool bar
// buttons by name, the key field that never tells the key, the job list as a table, and what a run
// announces.
#include <gtest/gtest.h>

#include <QAccessible>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

#include "MainFormTestSupport.h"
#include "app/window/MainForm.h"
#include "controls/NxEdit.h"
#include "controls/NxPanel.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/CodePage.h"
#include "platform/windows/Accessibility.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/TestSupport.h"
#include "platform/windows/TimerClock.h"

namespace {

namespace fs = std::filesystem;

// Chooses the given files in the open-file dialog and records message boxes.
struct TAnnounced {
    QAccessible::Event Type;
    QString Name;
    int Col, Row;
};
std::vector<TAnnounced>& Announced() {
    static std::vector<TAnnounced> a;
    return a;
}
void Record(QAccessibleEvent* e) {
    QAccessibleInterface* i = e->accessibleInterface();
    QAccessibleTableCellInterface* cell = i ? i->tableCellInterface() : nullptr;
    Announced().push_back({e->type(), i ? i->text(QAccessible::Name) : QString(),
                           cell ? cell->columnIndex() : -1, cell ? cell->rowIndex() : -1});
}

class MainFormAccessibilityTest : public TMainFormFixture {
protected:
    QAccessibleInterface* Root() { return QAccessible::queryAccessibleInterface(Frame(Form)); }
    // Depth first; tables are not entered (their cells are asked for by position).
    void Collect(QAccessibleInterface* i, std::vector<QAccessibleInterface*>& Out) {
        if (!i) return;
        Out.push_back(i);
        if (i->role() == QAccessible::Table) return;
        for (int c = 0; c < i->childCount(); ++c)
            Collect(i->child(c), Out);
    }
    std::vector<QAccessibleInterface*> All() {
        std::vector<QAccessibleInterface*> Out;
        Collect(Root(), Out);
        return Out;
    }
    QAccessibleInterface* First(QAccessible::Role Role) {
        for (QAccessibleInterface* i : All())
            if (i->role() == Role) return i;
        return nullptr;
    }
    void ClickToolButton(TSpeedButton* Button) {
        QPoint Center(Button->GetLeft() + Button->GetWidth() / 2, Button->GetTop() + Button->GetHeight() / 2);
        QTest::mouseClick(Client(Form->NxPanel1), Qt::LeftButton, Qt::NoModifier, Center);
        Pump();
        if (Button == Form->decript_but) ASSERT_TRUE(WaitForRunEnd(Form));
    }
    void TypeKey(const std::string& Key) {
        Form->Edit1->SetFocus();
        QTest::keyClicks(Client(Form->Edit1), QString::fromStdString(Key));
        Pump();
    }
};

TEST_F(MainFormAccessibilityTest, TreeNamesTheToolBarKeyFieldAndJobList) {
    TypeKey("my secret key 42");
    QAccessibleInterface* Root = this->Root();
    ASSERT_NE(Root, nullptr);
    EXPECT_EQ(Root->role(), QAccessible::Window);
    EXPECT_EQ(Root->text(QAccessible::Name), "Quillmar 1.3");

    QAccessibleInterface* ToolBar = First(QAccessible::Grouping);
    ASSERT_NE(ToolBar, nullptr);
    QStringList Shown, Hidden;
    for (int i = 0; i < ToolBar->childCount(); ++i) {
        QAccessibleInterface* b = ToolBar->child(i);
        if (b->role() != QAccessible::Button) continue;
        (b->state().invisible ? Hidden : Shown) << b->text(QAccessible::Name);
        EXPECT_FALSE(b->rect().isEmpty());
    }
    Shown.sort();
    EXPECT_EQ(Shown, QStringList({"Folder to upload files", "Open file", "Run", "Upload files"}));
    // Stop waits for a run; the prime test button stays hidden.
    Hidden.sort();
    EXPECT_EQ(Hidden, QStringList({"Test RSA", QString::fromUtf8("Остановить декрипт")}));

    QAccessibleInterface* Key = First(QAccessible::EditableText);
    ASSERT_NE(Key, nullptr);
    EXPECT_EQ(Key->object(), Client(Form->Edit1));
    EXPECT_TRUE(Key->state().passwordEdit);
    EXPECT_TRUE(Key->state().focused);
    EXPECT_EQ(Key->text(QAccessible::Name), "Key for decode");
    EXPECT_EQ(Key->text(QAccessible::Description), QString::fromUtf8("Ключ для декодирования"));
    EXPECT_EQ(Key->text(QAccessible::Value), "");
    // One mask per typed character, so a reader can tell how many were typed.
    ASSERT_NE(Key->textInterface(), nullptr);
    EXPECT_EQ(Key->textInterface()->text(0, -1), QString(16, u'*'));
    for (QAccessibleInterface* i : All())
        for (auto t : {QAccessible::Name, QAccessible::Description, QAccessible::Value, QAccessible::Help})
            EXPECT_FALSE(i->text(t).contains("secret")) << i->text(QAccessible::Name).toStdString();
    // The focus event Qt raises for the field is ours too: it names the field and keeps the key.
    QAccessibleInterface* Focused = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
    EXPECT_EQ(Focused, Key);

    QAccessibleInterface* Grid = First(QAccessible::Table);
    ASSERT_NE(Grid, nullptr);
    EXPECT_EQ(Grid->text(QAccessible::Name), QString::fromUtf8("Файлы"));
    QAccessibleTableInterface* Table = Grid->tableInterface();
    ASSERT_NE(Table, nullptr);
    ASSERT_EQ(Table->columnCount(), 4);
    QStringList Headers;
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(Grid->child(c)->role(), QAccessible::ColumnHeader);
        Headers << Grid->child(c)->text(QAccessible::Name);
    }
    EXPECT_EQ(Headers, QStringList({"Source files", "Status", "Progress", "Decoded files"}));
    EXPECT_EQ(Table->rowCount(), 0);
}

TEST_F(MainFormAccessibilityTest, ARunAnnouncesStatusAndProgressAndAClickedRowIsSelected) {
    fs::path Folder = fs::path(QUILLMAR_BINARY_DIR) / "test-work" / "a11y-run";
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    fs::path Samples = fs::path(QUILLMAR_SOURCE_DIR) / "samples";
    std::vector<WideString> Files;
    for (const char* Name : {"letter.txt", "notes.txt"}) {
        fs::copy_file(Samples / "texts" / Name, Folder / Name);
        Files.push_back(Utf8ToWide((Folder / Name).string()));
    }
    Dialogs->FileChoices = {Files};
    ClickToolButton(Form->open_files_but);
    ASSERT_EQ(Form->NextGrid1->GetRowCount(), 2);
    std::ifstream KeyFile(Samples / "key.txt", std::ios::binary);
    std::string Key((std::istreambuf_iterator<char>(KeyFile)), {});
    while (!Key.empty() && (Key.back() == '\n' || Key.back() == '\r'))
        Key.pop_back();
    TypeKey(Key);

    QAccessibleInterface* Grid = First(QAccessible::Table);
    ASSERT_NE(Grid, nullptr);
    QAccessibleTableInterface* Table = Grid->tableInterface();
    EXPECT_EQ(Table->cellAt(1, 1)->text(QAccessible::Name), "Not decoded");

    Announced().clear();
    QAccessible::UpdateHandler Saved = QAccessible::installUpdateHandler(Record);
    {
        // Cells told within the interval are told once it is over: the last texts come then.
        TManualTimerClock Clock;
        ClickToolButton(Form->decript_but);
        Clock.Advance(AccessibleCellInterval);
    }
    QAccessible::installUpdateHandler(Saved);
    ASSERT_TRUE(Dialogs->Messages.empty());

    EXPECT_EQ(Table->cellAt(1, 1)->text(QAccessible::Name), "Decoded");
    EXPECT_EQ(Table->cellAt(1, 2)->text(QAccessible::Name), "100%");
    auto Said = [](int Col, int Row, const QString& Name) {
        for (const TAnnounced& a : Announced())
            if (a.Type == QAccessible::NameChanged && a.Col == Col && a.Row == Row && a.Name == Name)
                return true;
        return false;
    };
    for (int Row = 0; Row < 2; ++Row) {
        EXPECT_TRUE(Said(1, Row, "Decoding")) << Row;
        EXPECT_TRUE(Said(1, Row, "Decoded")) << Row;
        EXPECT_TRUE(Said(2, Row, "100%")) << Row;
        EXPECT_TRUE(Said(3, Row, Table->cellAt(Row, 3)->text(QAccessible::Name))) << Row;
    }
    // Progress is written after every byte; only changes of the shown percentage are announced.
    int ProgressWords = 0;
    for (const TAnnounced& a : Announced())
        ProgressWords += a.Type == QAccessible::NameChanged && a.Col == 2;
    EXPECT_LE(ProgressWords, 2 * 101);

    TRect Cell = Form->NextGrid1->GetCellRect(0, 1);
    QTest::mouseClick(Client(Form->NextGrid1), Qt::LeftButton, Qt::NoModifier,
                      QPoint(Cell.Left + 10, Cell.Top + 4));
    Pump();
    EXPECT_EQ(Table->selectedRows(), QList<int>{1});
    EXPECT_TRUE(Table->cellAt(1, 3)->state().selected);
    EXPECT_FALSE(Table->cellAt(0, 3)->state().selected);
}

TEST_F(MainFormAccessibilityTest, EveryToolBarCommandRunsByItsKeyAndTheButtonNamesIt) {
    const std::map<QString, QStringList> Keys = {
        {"Upload files", {"Ctrl+O"}},
        {"Folder to upload files", {"Ctrl+Shift+O"}},
        {"Run", {"F5", "Ctrl+R"}},
        {"Open file", {"Ctrl+Enter"}},
        {QString::fromUtf8("Остановить декрипт"), {"Esc"}},
    };
    int Buttons = 0;
    for (QAccessibleInterface* i : All()) {
        if (i->role() != QAccessible::Button || i->text(QAccessible::Name) == "Test RSA") continue;
        ++Buttons;
        auto Expected = Keys.find(i->text(QAccessible::Name));
        ASSERT_NE(Expected, Keys.end()) << i->text(QAccessible::Name).toStdString();
        EXPECT_EQ(i->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
                  Expected->second);
    }
    EXPECT_EQ(Buttons, 5);

    // The keys work wherever the focus is in the window, here in the key field.
    Form->Edit1->SetFocus();
    QWidget* Focus = Client(Form->Edit1);
    QTest::keyClick(Focus, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Dialogs->FileRequests.size(), 1u);
    QTest::keyClick(Focus, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Dialogs->FolderRequests.size(), 1u);
    QTest::keyClick(Focus, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(Focus, Qt::Key_Escape); // no run to stop
    QTest::keyClick(Focus, Qt::Key_F5);
    QTest::keyClick(Focus, Qt::Key_R, Qt::ControlModifier);
    QApplication::processEvents(); // the run's messages open once Run has returned
    std::vector<WideString> Said;
    for (auto& [Text, Caption] : Dialogs->Messages)
        Said.push_back(Text);
    // Open file without a selected row; Run twice with no key typed.
    EXPECT_EQ(Said, (std::vector<WideString>{u"File is not selected!", u"Decoding key is not correct!",
                                             u"Decoding key is not correct!"}));
    EXPECT_EQ(Form->Edit1->GetText(), u"") << "no key reached the field";
}

} // namespace
