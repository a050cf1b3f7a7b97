// Pictures of the column kinds in a real grid: one column of every kind holding values, and every
// kind's editor opened over its cell by a click, dropped where it drops something. Written to
// the test output folder for looking at; the checks catch a kind that paints nothing or an
// editor that lands outside its cell.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QTest>

#include <array>

#include "controls/NxButtonEdit.h"
#include "grid/model/ColumnKinds.h"
#include "grid/view/NextGrid.h"
#include "platform/runtime/DateTime.h"
#include "platform/windows/TestSupport.h"

using namespace NxEdit;

namespace {

std::unique_ptr<TBitmap> Swatch(int W, int H, TColor Color, TColor Edge) {
    auto B = std::make_unique<TBitmap>(W, H, pf24bit);
    B->GetCanvas()->GetBrush()->SetColor(Color);
    B->GetCanvas()->GetPen()->SetColor(Edge);
    B->GetCanvas()->Rectangle(0, 0, W, H);
    return B;
}

struct TKindPictures : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TNextGrid* Grid = nullptr;
    std::unique_ptr<TBitmap> Star = Swatch(10, 10, RGB(0xFF, 0xC0, 0x00), RGB(0xA0, 0x60, 0x00));
    std::unique_ptr<TBitmap> Hollow = Swatch(10, 10, clWhite, clGray);
    std::unique_ptr<TBitmap> Picture = Swatch(30, 16, RGB(0x40, 0x90, 0xE0), clNavy);
    TList Images;

    void MakeGrid(int Width, int Height) {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(20, 20, Width + 20, Height + 20);
        Grid = new TNextGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, Width, Height);
        Grid->GetFont()->SetName("DejaVu Sans");
        Grid->GetFont()->SetHeight(-11);
        Grid->SetHeaderStyle(hsOffice2010);
        Images.Add(Star.get());
    }
    template <typename Kind> Kind* Add(const WideString& Caption, int Width) {
        auto* C = Grid->GetColumns()->Add<Kind>(Caption);
        C->SetWidth(Width);
        C->SetOptions(C->GetOptions() + TColumnOptions{coEditing});
        return C;
    }
    // Every kind, with values in Rows rows; returns the number of columns.
    int AddEveryKind(int Rows) {
        Add<TNxTextColumn>(u"Text", 70);
        Add<TNxTreeColumn>(u"Tree", 60);
        Add<TNxTimeColumn>(u"Time", 64);
        Add<TNxButtonColumn>(u"Button", 70);
        Add<TNxMemoColumn>(u"Memo", 80);
        Add<TNxCheckBoxColumn>(u"Check", 46);
        Add<TNxHtmlColumn>(u"HTML", 80);
        Add<TNxImageColumn>(u"Image", 46)->SetImages(&Images);
        auto* Rate = Add<TNxRateColumn>(u"Rate", 64);
        Rate->SetGlyph(Star.get());
        Rate->SetEmptyGlyph(Hollow.get());
        Add<TNxPopupColumn>(u"Popup", 60);
        Add<TNxStringsColumn>(u"Strings", 60);
        auto* Combo = Add<TNxComboBoxColumn>(u"Combo", 70);
        auto* List = Add<TNxListColumn>(u"List", 60);
        for (const char16_t* S : {u"red", u"green", u"blue", u"yellow"}) {
            Combo->GetItems()->Add(S);
            List->GetItems()->Add(S);
        }
        Add<TNxNumberColumn>(u"Number", 60);
        Add<TNxCalcColumn>(u"Calc", 60);
        Add<TNxDateColumn>(u"Date", 78);
        Add<TNxIncrementColumn>(u"Inc", 36);
        Add<TNxGraphicColumn>(u"Graphic", 50);
        Add<TNxHyperlinkColumn>(u"Link", 96);
        Add<TNxColorColumn>(u"Color", 80);
        Add<TNxGuidColumn>(u"GUID", 80);
        auto* Virtual = Add<TNxVirtualColumn>(u"Virtual", 60);
        Virtual->OnGetText = [](TObject*, int, int ARow, WideString& Value) {
            Value = u"v" + WideString(1, char16_t(u'0' + ARow));
        };
        Add<TNxProgressColumn>(u"Progress", 70)->SetShowText(true);

        Grid->AddRow(Rows);
        for (int R = 0; R < Rows; ++R) {
            int C = 0;
            Grid->GetCell(C++, R)->SetAsString(
                std::array<WideString, 3>{u"plain", u"Row text", u"more"}[R % 3]);
            Grid->GetCell(C++, R)->SetAsString(u"node");
            Grid->GetCell(C++, R)->SetAsDateTime(EncodeTime(6 + R, 15 * R, 0, 0));
            Grid->GetCell(C++, R)->SetAsString(u"press");
            Grid->GetCell(C++, R)->SetAsString(u"memo line one\nline two");
            Grid->GetCell(C++, R)->SetAsBoolean(R % 2 == 0);
            Grid->GetCell(C++, R)->SetAsString(u"<b>bold</b> and <i>it</i>");
            Grid->GetCell(C++, R)->SetAsInteger(R % 2 ? -1 : 0);
            Grid->GetCell(C++, R)->SetAsInteger(R + 2);
            Grid->GetCell(C++, R)->SetAsString(u"popup");
            Grid->GetCell(C++, R)->SetAsString(u"strings");
            Grid->GetCell(C++, R)->SetAsString(u"green");
            Grid->GetCell(C++, R)->SetAsInteger(R % 4);
            Grid->GetCell(C++, R)->SetAsFloat(12.5 * (R + 1));
            Grid->GetCell(C++, R)->SetAsFloat(1.25 + R);
            Grid->GetCell(C++, R)->SetAsDateTime(EncodeDate(2024, 5, 10 + R));
            ++C; // increment: the row number
            Grid->GetCell(C++, R)->SetObjectReference(Picture.get());
            Grid->GetCell(C++, R)->SetAsString(u"www.example.org");
            Grid->GetCell(C++, R)->SetAsString(
                std::array<WideString, 3>{u"#FF0000", u"#00A000", u"#0000FF"}[R % 3]);
            Grid->GetCell(C++, R)->SetAsString(u"{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
            ++C; // virtual: asks its handler
            Grid->GetCell(C++, R)->SetAsFloat(std::array<double, 3>{25, 60, 100}[R % 3]);
        }
        return Grid->GetColumns()->Count();
    }
    void Show() {
        ASSERT_TRUE(ShowAndWait(Form.get()));
        Grid->SetFocus();
        Pump();
        Grid->Invalidate();
        Grid->Update();
    }
    const QImage& Pixels() const { return Grid->GetWindowPrivate()->Pixels; }
    static void Save(const QImage& Image, const std::string& Name) {
        ASSERT_TRUE(Image.save(QString::fromStdString(OutDir() + "/" + Name)));
    }
    // The grid as painted, with the open editor and its dropped window laid where the screen
    // shows them; the picture grows downwards to hold a popup.
    QImage Composite(int ExtraHeight) {
        Pump();
        Grid->Update();
        const QImage& Body = Pixels();
        QImage Out(Body.width(), Body.height() + ExtraHeight, QImage::Format_RGB32);
        Out.fill(Qt::darkGray);
        QPainter P(&Out);
        P.drawImage(0, 0, Body);
        const QPoint Origin = Client(Grid)->mapToGlobal(QPoint(0, 0));
        if (auto* Editor = Grid->GetInplaceEdit()) {
            QWidget* W = Frame(Editor);
            P.drawImage(W->mapToGlobal(QPoint(0, 0)) - Origin, W->grab().toImage());
            if (auto* Popup = dynamic_cast<TNxPopupEdit*>(Editor); Popup && Popup->GetDroppedDown()) {
                QWidget* PW = Frame(Popup->GetPopup());
                P.drawImage(PW->mapToGlobal(QPoint(0, 0)) - Origin, PW->grab().toImage());
            }
        }
        return Out;
    }
    static QRgb Rgb(uint32_t RGB) { return qRgb(int(RGB >> 16), int(RGB >> 8) & 0xFF, int(RGB) & 0xFF); }
    // Pixels of one color inside a cell.
    int Colored(int Col, int Row, QRgb Color) {
        TRect R = Grid->GetCellRect(Col, Row);
        int N = 0;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                N += Pixels().pixel(X, Y) == Color;
        return N;
    }
    // Pixels of a cell other than the cell's background.
    int Inked(int Col, int Row) {
        TRect R = Grid->GetCellRect(Col, Row);
        const QRgb Back = Pixels().pixel(R.Right - 2, R.Top + 1);
        int N = 0;
        for (int Y = R.Top + 1; Y < R.Bottom - 1; ++Y)
            for (int X = R.Left + 1; X < R.Right - 1; ++X)
                N += Pixels().pixel(X, Y) != Back;
        return N;
    }
};

TEST_F(TKindPictures, GridWithOneColumnOfEveryKindPaintsEveryValue) {
    MakeGrid(1560, 110);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions{goIndicator});
    const int Count = AddEveryKind(3);
    Show();
    Save(Pixels(), "kinds_every_kind.png");
    for (int C = 0; C < Count; ++C) {
        SCOPED_TRACE(C);
        EXPECT_GT(Inked(C, 0), 8) << "column " << C << " painted nothing";
        // Office 2010 headers: a light blue divider at each column's right edge but the last,
        // whose edge is the darker border.
        const TRect Cell = Grid->GetCellRect(C, 0);
        EXPECT_EQ(Pixels().pixel(Cell.Right - 1, 5), C + 1 < Count ? Rgb(0x9AC6FF) : Rgb(0x6593CF));
        EXPECT_EQ(Pixels().pixel(Cell.Left + 1, 17), Rgb(0x6593CF));
    }
    // Values that show as colors: the star image only where the index names it, more rate stars
    // for a higher rate, the color column's own colors, progress bars as long as their values.
    const QRgb Star = Rgb(0xFFC000);
    EXPECT_GT(Colored(7, 0, Star), 20);
    EXPECT_EQ(Colored(7, 1, Star), 0);
    EXPECT_EQ(Colored(8, 1, Star) * 2, Colored(8, 0, Star) * 3) << "three stars against two";
    EXPECT_GT(Colored(19, 0, Rgb(0xFF0000)), 20);
    EXPECT_GT(Colored(19, 1, Rgb(0x00A000)), 20);
    EXPECT_EQ(Colored(19, 0, Rgb(0x00A000)), 0);
    // The full bar's color, from inside the 100 % bar near its right end.
    const TRect Full = Grid->GetCellRect(22, 2);
    const QRgb BarColor = Pixels().pixel(Full.Right - 6, (Full.Top + Full.Bottom) / 2);
    auto Bar = [&](int Row) {
        const TRect Cell = Grid->GetCellRect(22, Row);
        int N = 0;
        for (int X = Cell.Left; X < Cell.Right; ++X)
            N += Pixels().pixel(X, (Cell.Top + Cell.Bottom) / 2) == BarColor;
        return N;
    };
    ASSERT_GT(Bar(2), 20);
    EXPECT_NEAR(Bar(0), Bar(2) * 0.25, 2.0) << "25 against 100";
    EXPECT_NEAR(Bar(1), Bar(2) * 0.6, 2.0) << "60 against 100";
}

TEST_F(TKindPictures, EveryEditorOpenOverItsCell) {
    MakeGrid(1560, 110);
    const int Count = AddEveryKind(3);
    Show();
    std::vector<QImage> Shots;
    int Opened = 0;
    for (int C = 0; C < Count; ++C) {
        TNxCustomColumn* Column = Grid->GetColumns()->GetItem(C);
        if (!Column->GetCellEditor()) continue;
        SCOPED_TRACE(C);
        Grid->ScrollToColumn(Column);
        Pump();
        TRect Cell = Grid->GetCellRect(C, 0);
        QTest::mouseClick(Client(Grid), Qt::LeftButton, Qt::NoModifier,
                          QPoint(Cell.Left + 10, (Cell.Top + Cell.Bottom) / 2));
        Pump();
        auto* Editor = Grid->GetInplaceEdit();
        ASSERT_NE(Editor, nullptr);
        ++Opened;
        TRect Bounds = Editor->GetBoundsRect();
        EXPECT_GE(Bounds.Left, Cell.Left);
        EXPECT_LE(Bounds.Right, Cell.Right);
        EXPECT_GE(Bounds.Top, Cell.Top);
        EXPECT_LE(Bounds.Bottom, Cell.Bottom);
        if (auto* Popup = dynamic_cast<TNxPopupEdit*>(Editor)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::AltModifier);
            Pump();
            EXPECT_TRUE(Popup->GetDroppedDown());
        }
        QImage Shot = Composite(200);
        const int Left = std::max(0, Cell.Left - 40);
        Shots.push_back(Shot.copy(Left, 0, std::min(300, Shot.width() - Left), Shot.height()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        Pump();
        if (Grid->GetInplaceEdit()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            Pump();
        }
        EXPECT_EQ(Grid->GetInplaceEdit(), nullptr);
    }
    EXPECT_EQ(Opened, 15);
    // Three pictures a row.
    const int W = 300, H = Shots.empty() ? 0 : Shots[0].height();
    QImage Sheet(W * 3, H * int((Shots.size() + 2) / 3), QImage::Format_RGB32);
    Sheet.fill(Qt::white);
    QPainter P(&Sheet);
    for (size_t I = 0; I < Shots.size(); ++I)
        P.drawImage(int(I % 3) * W, int(I / 3) * H, Shots[I]);
    P.end();
    Save(Sheet, "kinds_editors_open.png");
}

} // namespace
