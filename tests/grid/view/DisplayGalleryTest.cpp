// The gallery: one grid per header style with every column kind, a selected row with its focus
// rectangle, a sorted column, footer and indicator; and the job list as the main window shows
// it. Written to the test output folder for looking at.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "grid/view/DisplayGridSupport.h"

namespace {

std::unique_ptr<TBitmap> Swatch(int W, int H, TColor Color, TColor Edge) {
    auto B = std::make_unique<TBitmap>(W, H, pf24bit);
    B->GetCanvas()->GetBrush()->SetColor(Color);
    B->GetCanvas()->GetPen()->SetColor(Edge);
    B->GetCanvas()->Rectangle(0, 0, W, H);
    return B;
}

template <typename Kind, typename Display>
Kind* AddKind(TNextGrid* Grid, const WideString& Caption, int Width = 72) {
    auto* C = Grid->GetColumns()->Add<TWithDisplay<Kind, Display>>(Caption);
    C->SetWidth(Width);
    C->GetFooter()->SetCaption(Caption);
    return C;
}

TColor Hex(uint32_t RGB) {
    return ::RGB(uint8_t(RGB >> 16), uint8_t(RGB >> 8), uint8_t(RGB));
}

std::string OutFile(const std::string& Name) {
    return OutDir() + "/" + Name;
}

} // namespace

TEST(Gallery, EveryHeaderStyleWithEveryColumnKind) {
    ShownGrid S(1230, 140);
    TNextGrid* G = S.Grid;
    UseJobListLook(G);
    G->SetOptions({goHeader, goGrid, goIndicator, goFooter, goSelectFullRow});
    auto Star = Swatch(10, 10, RGB(0xFF, 0xC0, 0x00), RGB(0xA0, 0x60, 0x00));
    auto Hollow = Swatch(10, 10, clWhite, clGray);
    auto Picture = Swatch(30, 20, RGB(0x40, 0x90, 0xE0), clNavy);
    TList Images;
    Images.Add(Star.get());

    auto* Text = AddKind<TNxTextColumn, TTextColumnDisplay>(G, u"Text", 90);
    Text->SetSorted(true);
    Text->GetHeader()->SetHideArrow(false);
    AddKind<TNxNumberColumn, TNumberColumnDisplay>(G, u"Number", 60);
    AddKind<TNxDateColumn, TDateColumnDisplay>(G, u"Date", 80);
    AddKind<TNxTimeColumn, TTimeColumnDisplay>(G, u"Time", 60);
    AddKind<TNxCheckBoxColumn, TCheckBoxColumnDisplay>(G, u"Check", 50);
    auto* Progress = AddJobProgressColumn(G, u"Progress");
    Progress->SetWidth(80);
    AddKind<TNxIncrementColumn, TIncrementColumnDisplay>(G, u"Inc", 40);
    AddKind<TNxImageColumn, TImageColumnDisplay>(G, u"Image", 50)->SetImages(&Images);
    auto* Rate = AddKind<TNxRateColumn, TRateColumnDisplay>(G, u"Rate", 70);
    Rate->SetGlyph(Star.get());
    Rate->SetEmptyGlyph(Hollow.get());
    AddKind<TNxColorColumn, TNxColorColumnDisplay>(G, u"Color", 80);
    AddKind<TNxHyperlinkColumn, THyperlinkColumnDisplay>(G, u"Link", 90);
    AddKind<TNxHtmlColumn, THtmlColumnDisplay>(G, u"HTML", 80);
    AddKind<TNxGuidColumn, TNxGuidColumnDisplay>(G, u"GUID", 70);
    AddKind<TNxMemoColumn, TMemoColumnDisplay>(G, u"Memo", 70);
    auto* List = AddKind<TNxListColumn, TStringsColumnDisplay>(G, u"List", 60);
    List->GetItems()->Add(u"first");
    List->GetItems()->Add(u"second");
    AddKind<TNxTreeColumn, TTreeColumnDisplay>(G, u"Tree", 60);
    AddKind<TNxGraphicColumn, TGraphicColumnDisplay>(G, u"Graphic", 50);

    const int Rows = 4;
    G->AddRow(Rows);
    for (int R = 0; R < Rows; ++R) {
        int C = 0;
        G->GetCell(C++, R)->SetAsString(R == 0 ? u"A caption far too long for its cell" : u"Row text");
        G->GetCell(C++, R)->SetAsFloat(12.5 * R);
        G->GetCell(C++, R)->SetAsDateTime(45000 + R);
        G->GetCell(C++, R)->SetAsDateTime(0.25 + R / 24.0);
        G->GetCell(C++, R)->SetAsBoolean(R % 2 == 0);
        G->GetCell(C++, R)->SetAsFloat(std::array<double, 4>{0, 37, 100, 150}[R]);
        ++C;
        G->GetCell(C++, R)->SetAsInteger(R % 2 ? 0 : -1);
        G->GetCell(C++, R)->SetAsInteger(R + 1);
        G->GetCell(C++, R)->SetAsString(std::array<WideString, 4>{u"red", u"#00A000", u"", u"navy"}[R]);
        G->GetCell(C++, R)->SetAsString(u"www.example.org");
        G->GetCell(C++, R)->SetAsString(u"<b>bold</b> and plain");
        G->GetCell(C++, R)->SetAsString(u"{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
        G->GetCell(C++, R)->SetAsString(u"memo text over lines");
        G->GetCell(C++, R)->SetAsInteger(R % 2);
        G->GetCell(C++, R)->SetAsString(u"node");
        G->GetCell(C++, R)->SetObjectReference(Picture.get());
    }
    ASSERT_TRUE(S.Show());
    G->SetFocus();
    Pump();
    G->SetSelectedRow(1);

    const THeaderStyle Styles[] = {hsAuto,     hsFlatBorders, hsOffice2007, hsOffice2010,
                                   hsOldStyle, hsOutlook,     hsVista};
    const QSize Size = S.Pixels().size();
    QImage Gallery(Size.width(), Size.height() * 7, QImage::Format_RGB32);
    QPainter Painter(&Gallery);
    std::vector<QImage> Shots;
    for (int I = 0; I < 7; ++I) {
        G->SetHeaderStyle(Styles[I]);
        G->Invalidate();
        S.Paint();
        Shots.push_back(S.Pixels().copy());
        Painter.drawImage(0, Size.height() * I, Shots.back());
    }
    Painter.end();
    ASSERT_TRUE(Gallery.save(QString::fromStdString(OutFile("grid_gallery.png"))));

    // Each style draws its own header band; the body is the same under every style.
    for (int I = 1; I < 7; ++I) {
        EXPECT_NE(Shots[I].copy(0, 0, Size.width(), 18), Shots[0].copy(0, 0, Size.width(), 18)) << I;
        EXPECT_EQ(Shots[I].copy(12, 40, 600, 60), Shots[0].copy(12, 40, 600, 60)) << I;
    }
    // What each style shows, from its colors: the Number header spans 102..161 right of the
    // 12-pixel indicator and the sorted Text header; headers are 18 high.
    struct TLook {
        int Shot;
        QPoint At;
        TColor Color;
    };
    const TColor Divider = Hex(0x9AC6FF), Border = Hex(0x6593CF), Gray = clGrayText;
    for (const TLook& Look : {
             TLook{3, {104, 0}, Hex(0xFFFFFF)},
             TLook{3, {104, 9}, Hex(0xD7E8FF)},
             TLook{3, {161, 2}, Divider},
             TLook{3, {161, 14}, Divider},
             TLook{3, {104, 17}, Border},
             TLook{2, {104, 0}, Hex(0xFFFFFF)},
             TLook{2, {161, 2}, Divider},
             TLook{2, {104, 17}, Border},
             TLook{1, {104, 3}, clBtnFace},
             TLook{1, {161, 9}, Gray},
             TLook{1, {104, 17}, Gray},
             TLook{4, {104, 3}, clBtnFace},
             TLook{4, {104, 0}, clBtnHighlight},
             TLook{6, {104, 3}, Hex(0xF0F0F0)},
             TLook{6, {14, 0}, Hex(0xAFDCF0)},
         }) {
        EXPECT_EQ(Shots[Look.Shot].pixel(Look.At), ShownGrid::Qt(Look.Color))
            << "style " << Look.Shot << " at " << Look.At.x() << "," << Look.At.y();
    }
    // The Office 2010 sort arrow on the Text header: filled #A5ACB5, its rows from R.top + 9 - 4
    // down 4 more, pointing up for ascending; the 2007 style draws its own arrow instead.
    auto Fill = [&](const QImage& Shot, int Row) {
        int N = 0;
        for (int X = 12; X < 102; ++X)
            N += Shot.pixel(X, Row) == ShownGrid::Qt(Hex(0xA5ACB5));
        return N;
    };
    int Top = -1, Bottom = -1;
    for (int Y = 0; Y < 18; ++Y)
        if (Fill(Shots[3], Y) > 0) {
            if (Top < 0) Top = Y;
            Bottom = Y;
        }
    ASSERT_GE(Top, 0) << "no sort arrow";
    EXPECT_GE(Top, 5);
    EXPECT_LE(Bottom, 9);
    EXPECT_LT(Fill(Shots[3], Top), Fill(Shots[3], Bottom)) << "the arrow points up";
    for (int Y = 0; Y < 18; ++Y)
        EXPECT_EQ(Fill(Shots[2], Y), 0) << Y;
    // The selected row shows in the highlight color, the others in the window color.
    const TRect Selected = G->GetCellRect(1, 1), Plain = G->GetCellRect(1, 2);
    EXPECT_EQ(Shots[3].pixel(Selected.Left + 3, Selected.Top + 3), ShownGrid::Qt(clHighlight));
    EXPECT_EQ(Shots[3].pixel(Plain.Left + 3, Plain.Top + 3), ShownGrid::Qt(clWindow));
}

TEST(Gallery, JobListAsTheMainWindowShowsIt) {
    ShownGrid S(560, 110);
    TNextGrid* G = S.Grid;
    UseJobListLook(G);
    G->SetOptions({goHeader, goGrid, goSelectFullRow});
    auto* Source = G->GetColumns()->Add<TTestTextColumn>(u"Source files");
    Source->SetWidth(180);
    Source->GetHeader()->SetAlignment(taCenter);
    auto* Status = G->GetColumns()->Add<TTestTextColumn>(u"Status");
    Status->SetWidth(80);
    Status->SetAlignment(taCenter);
    Status->GetHeader()->SetAlignment(taCenter);
    AddJobProgressColumn(G, u"Progress")->SetWidth(100);
    auto* Decoded = G->GetColumns()->Add<TTestTextColumn>(u"Decoded files");
    Decoded->SetWidth(196);
    Decoded->GetHeader()->SetAlignment(taCenter);
    const double Values[] = {0, 37, 100};
    const WideString States[] = {u"Waiting", u"Decoding", u"Decoded"};
    G->AddRow(3);
    for (int R = 0; R < 3; ++R) {
        G->GetCell(0, R)->SetAsString(u"/home/user/texts/letter-" + Wide(std::to_string(R + 1)) + u".txt");
        G->GetCell(1, R)->SetAsString(States[R]);
        G->GetCell(2, R)->SetAsFloat(Values[R]);
        if (R == 2) G->GetCell(3, R)->SetAsString(u"/home/user/texts/Decript/letter-3(dec1).txt");
    }
    ASSERT_TRUE(S.Show());
    G->SetFocus();
    Pump();
    G->SetSelectedRow(1);
    G->Invalidate();
    S.Paint();
    // The picture with the window's border: one pixel in the scheme's border color (#6593CF, blue).
    const QImage Framed = Frame(G)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(Framed.save(QString::fromStdString(OutFile("grid_joblist.png"))));
    const int W = Framed.width(), H = Framed.height();
    for (QPoint P : {QPoint(0, H / 2), QPoint(W - 1, H / 2), QPoint(W / 2, 0), QPoint(W / 2, H - 1)})
        EXPECT_EQ(Framed.pixel(P), qRgb(0x65, 0x93, 0xCF)) << P.x() << "," << P.y();
    EXPECT_EQ(Framed.pixel(1, H / 2), S.At(0, H / 2 - 1)) << "the client starts inside the border";

    // The bars: none at 0, 37 % of the inner width at 37, all of it at 100.
    auto BarColumns = [&](int Row) {
        const TRect Cell = G->GetCellRect(2, Row);
        int N = 0;
        for (int X = Cell.Left + 2; X < Cell.Right - 3; ++X)
            N += S.At(X, Cell.Bottom - 3) != ShownGrid::Qt(clWindow);
        return N;
    };
    const int Inner = 100 - 1 - 4;
    EXPECT_EQ(BarColumns(0), 0);
    EXPECT_NEAR(BarColumns(1), Inner * 37 / 100.0, 2);
    EXPECT_GE(BarColumns(2), Inner - 1);
    // Header edges at 180, 260, 360 and 556: light blue dividers, the border after the last.
    for (int Right : {180, 260, 360})
        EXPECT_EQ(S.At(Right - 1, 5), ShownGrid::Qt(Hex(0x9AC6FF))) << Right;
    EXPECT_EQ(S.At(555, 5), ShownGrid::Qt(Hex(0x6593CF)));
    EXPECT_EQ(S.At(557, 5), ShownGrid::Qt(clWindow));
    // Grid lines, selected row (focused) highlighted, the row below it in the window color.
    const TRect StatusCell = G->GetCellRect(1, 1);
    EXPECT_EQ(S.At(StatusCell.Left + 3, StatusCell.Top + 2), ShownGrid::Qt(clHighlight));
    EXPECT_EQ(S.At(StatusCell.Left + 3, G->GetCellRect(1, 2).Top + 2), ShownGrid::Qt(clWindow));
}
