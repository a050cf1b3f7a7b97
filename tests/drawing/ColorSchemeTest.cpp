// The color scheme table, the process-wide scheme, the scheme component and the visual styles.
#include <gtest/gtest.h>

#include <QApplication>

#include <vector>

#include "drawing/DrawingTestSupport.h"
#include "drawing/SharedDraw.h"
#include "drawing/ThemesSupport.h"
#include "platform/windows/Controls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/Themes.h"

using namespace NxThemesSupport;
using DrawingTest::Hex;

namespace {

// Restores the process-wide scheme and the theme state after each test.
class ColorSchemeTest : public ::testing::Test {
protected:
    void TearDown() override {
        ColorScheme = csBlue;
        InitThemes();
        SetThemesEnabled(true);
    }
};

struct RoleRow {
    TColorSchemeElement Role;
    // csBlack, csBlue, csSilver, csBlue2010, csSilver2010, csBlack2010 as #RRGGBB.
    uint32_t Colors[6];
};

// Every role of every scheme, in the order of the role enumeration.
const RoleRow ExpectedTable[] = {
    {seBackgroundGradientStart, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000}},
    {seBackgroundGradientEnd, {0x0A0A0A, 0x6692CE, 0x9B9FA6, 0x6692CE, 0x9B9FA6, 0x9B9FA6}},
    {seBorder, {0x4C535C, 0x6593CF, 0x6F7074, 0x849DBD, 0xA5ACB5, 0x3B3B3B}},
    {seBtnFace, {0xF0F1F2, 0xE3EFFF, 0xF0F1F2, 0xBFD0E5, 0xD6DBE0, 0x858585}},
    {seBtnFaceDark, {0xD2D6E1, 0xC2D9F0, 0xD2D6E1, 0xC2D9F0, 0xD2D6E1, 0xD2D6E1}},
    {seDown, {0xFB8C3C, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000}},
    {seGridHeaderGradientStart, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xEFF5FB, 0xF5F7F9, 0xF5F7F9}},
    {seGridHeaderGradientEnd, {0xBDC2C9, 0xAFD2FF, 0xDADFE7, 0xE1ECFA, 0xEFF2F6, 0xEFF2F6}},
    {seGroupHeader, {0xEBEBEB, 0xDDE7EE, 0xEBEBEB, 0xF0F2F5, 0xEBEBEB, 0xF0F2F5}},
    {seHeaderFont, {0x000000, 0x15428B, 0x15428B, 0x15428B, 0x15428B, 0x15428B}},
    {seHeaderDivider, {0x9199A4, 0x9AC6FF, 0x6E6D8F, 0x849DBD, 0xA5ACB5, 0xA5ACB5}},
    {seHeaderGradientEnd, {0xBDC2C9, 0xAFD2FF, 0xDADFE7, 0xDADFE7, 0xDADFE7, 0xDADFE7}},
    {seHeaderGradientStart, {0xF0F1F2, 0xE3EFFF, 0xF6F7F8, 0xF6F7F8, 0xF6F7F8, 0xF6F7F8}},
    {seHeaderShadow, {0xA7ADB6, 0x6593CF, 0x6F7074, 0x849DBD, 0xA5ACB5, 0x3B3B3B}},
    {seHighlight, {0xA7B0C9, 0xA7B0C9, 0xA7B0C9, 0xA7CDF0, 0xA7CDF0, 0xA7CDF0}},
    {seHover, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000}},
    {seHighlightHoverFore, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000}},
    {seHighlightDownFore, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000}},
    {seInactiveDockCaption, {0x9EA0A0, 0xB8CFE9, 0xB2B7C2, 0xB2B7C2, 0xB2B7C2, 0xB2B7C2}},
    {seMenuHighlight, {0xFFE7A2, 0xFFE7A2, 0xFFEEC2, 0xFFEEC2, 0xFFEEC2, 0xFFEEC2}},
    {seMenuSelectionBorder, {0xFFBD69, 0xFFBD69, 0xFFC06F, 0xFFC06F, 0xFFC06F, 0xFFC06F}},
    {seMenuSelectionBorderDown, {0xFB8C3C, 0xFB8C3C, 0xFE803E, 0xFE803E, 0xFE803E, 0xFE803E}},
    {seSplitterGradientStart, {0xF0F1F2, 0xE3EFFF, 0xA8A7BF, 0xA8A7BF, 0xA8A7BF, 0xA8A7BF}},
    {seSplitterGradientEnd, {0xC4C8CE, 0xB6D6FF, 0x787797, 0x787797, 0x787797, 0x787797}},
};

const TColorScheme TableSchemes[6] = {csBlack, csBlue, csSilver, csBlue2010, csSilver2010, csBlack2010};

TEST_F(ColorSchemeTest, EveryRoleOfEverySchemeMatchesTheTable) {
    ASSERT_EQ(std::size(ExpectedTable), static_cast<size_t>(SchemeElementCount));
    for (size_t i = 0; i < std::size(ExpectedTable); ++i) {
        const RoleRow& row = ExpectedTable[i];
        ASSERT_EQ(static_cast<int>(row.Role), static_cast<int>(i));
        for (int s = 0; s < 6; ++s) {
            const TColor expected = Hex(row.Colors[s]);
            EXPECT_EQ(SchemeColor(row.Role, TableSchemes[s]), expected)
                << "role " << i << " scheme " << TableSchemes[s];
            EXPECT_EQ(ShemeColors[TableSchemes[s]][row.Role], expected);
        }
        EXPECT_EQ(ShemeColors[csDefault][row.Role], clBlack) << "csDefault row, role " << i;
    }
}

TEST_F(ColorSchemeTest, StoredColorsAreBgrAndNeverSystemColors) {
    EXPECT_EQ(ShemeColors[csBlue][seBorder], 0xCF9365u);
    for (int s = 0; s < ColorSchemeCount; ++s)
        for (int e = 0; e < SchemeElementCount; ++e)
            EXPECT_FALSE(IsSystemColor(ShemeColors[s][e]));
}

TEST_F(ColorSchemeTest, DefaultFollowsTheProcessWideScheme) {
    EXPECT_EQ(ColorScheme, csBlue); // the start value
    EXPECT_EQ(SchemeColor(seBorder, csDefault), Hex(0x6593CF));
    ColorScheme = csSilver2010;
    EXPECT_EQ(SchemeColor(seBorder, csDefault), Hex(0xA5ACB5));
    EXPECT_EQ(SchemeColor(seHeaderShadow), SchemeColor(seBorder));
    // A scheme named explicitly ignores the process-wide one.
    EXPECT_EQ(SchemeColor(seBorder, csBlack), Hex(0x4C535C));
    EXPECT_NE(SchemeColor(seHeaderShadow, csBlack), SchemeColor(seBorder, csBlack));
    // The variable itself at csDefault reads the black row.
    ColorScheme = csDefault;
    EXPECT_EQ(SchemeColor(seBtnFace, csDefault), clBlack);
    EXPECT_EQ(SchemeColor(seMenuHighlight), clBlack);
    ColorScheme = csBlue;
    EXPECT_EQ(SchemeColor(seBtnFace), Hex(0xE3EFFF));
}

// A control that counts the repaint requests it gets.
class CountingControl : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void Invalidate() override {
        ++Invalidations;
        TGraphicControl::Invalidate();
    }
    int Invalidations = 0;
};

TEST_F(ColorSchemeTest, SchemeComponentSetsTheSchemeAndRepaintsRegisteredControls) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    CountingControl a(&form), b(&form), unregistered(&form);
    a.SetParent(&form);
    b.SetParent(&form);
    unregistered.SetParent(&form);
    SchemeNotification(&a);
    SchemeNotification(&b);
    a.Invalidations = b.Invalidations = unregistered.Invalidations = 0;

    TNxColorScheme scheme(nullptr);
    EXPECT_EQ(scheme.GetColorScheme(), csBlue);
    std::vector<TObject*> senders;
    scheme.OnChange = [&](TObject* sender) { senders.push_back(sender); };

    scheme.SetColorScheme(csSilver);
    EXPECT_EQ(ColorScheme, csSilver);
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], &scheme);
    EXPECT_EQ(a.Invalidations, 1);
    EXPECT_EQ(b.Invalidations, 1);
    EXPECT_EQ(unregistered.Invalidations, 0);

    // The scheme already in force: no change event, but the controls are still repainted.
    scheme.SetColorScheme(csSilver);
    EXPECT_EQ(senders.size(), 1u);
    EXPECT_EQ(a.Invalidations, 2);

    // A second component starts from the current scheme.
    TNxColorScheme later(nullptr);
    EXPECT_EQ(later.GetColorScheme(), csSilver);

    RemoveSchemeNotification(&a);
    RemoveSchemeNotification(&a); // not listed any more: nothing happens
    later.SetColorScheme(csBlack2010);
    EXPECT_EQ(a.Invalidations, 2);
    EXPECT_EQ(b.Invalidations, 3);
    RemoveSchemeNotification(&b);

    EXPECT_THROW(scheme.SetColorScheme(csDefault), ERangeError);
    EXPECT_EQ(ColorScheme, csBlack2010);
}

class SchemeWindow : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
};

TEST_F(ColorSchemeTest, WindowedControlsAreInvalidatedWithTheirFrame) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    SchemeWindow window(&form);
    window.SetParent(&form);
    window.SetBounds(10, 10, 50, 30);
    form.Show();
    window.HandleNeeded();
    window.ValidateRect(nullptr);
    ASSERT_FALSE(window.HasPendingPaint());
    SchemeNotification(&window);
    TNxColorScheme scheme(nullptr);
    scheme.SetColorScheme(csBlue);
    EXPECT_TRUE(window.HasPendingPaint());
    RemoveSchemeNotification(&window);
}

// A bordered window that notes where its frame is painted.
class FramedSchemeWindow : public TCustomControl {
public:
    explicit FramedSchemeWindow(TComponent* AOwner) : TCustomControl(AOwner) { SetBorderStyle(bsSingle); }
    std::vector<TRect> FrameClips;
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_NCPAINT && m.WParam)
            FrameClips.push_back(reinterpret_cast<TCanvas*>(m.WParam)->GetClipRect());
        TCustomControl::WndProc(m);
    }
};

TEST_F(ColorSchemeTest, SchemeChangeRepaintsTheFrameOfWindowedControls) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    FramedSchemeWindow window(&form);
    window.SetParent(&form);
    window.SetBounds(10, 10, 50, 30);
    form.Show();
    window.HandleNeeded();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    window.FrameClips.clear();
    SchemeNotification(&window);
    TNxColorScheme scheme(nullptr);
    scheme.SetColorScheme(csSilver);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    RemoveSchemeNotification(&window);
    // The whole window, border included, not only the client area inside it.
    ASSERT_FALSE(window.FrameClips.empty());
    bool wholeFrame = false;
    for (const TRect& clip : window.FrameClips)
        wholeFrame |= clip == Rect(0, 0, 50, 30);
    EXPECT_TRUE(wholeFrame);
}

TEST_F(ColorSchemeTest, IsThemedFollowsTheDesktopAndTheLibrary) {
    EXPECT_TRUE(IsThemed());
    SetThemesEnabled(false);
    EXPECT_FALSE(IsThemed()); // computed afresh at every call
    SetThemesEnabled(true);
    EXPECT_TRUE(IsThemed());

    // Without the library: false, never an exception.
    ReleaseThemes();
    EXPECT_EQ(ThemeLibrary, nullptr);
    EXPECT_EQ(NxThemesSupport::OpenThemeData, nullptr);
    EXPECT_NO_THROW(EXPECT_FALSE(IsThemed()));
    InitThemes();
    EXPECT_TRUE(IsThemed());

    // A library that lacks an entry point fails with the themes error.
    NxThemesSupport::IsAppThemed = nullptr;
    try {
        IsThemed();
        FAIL() << "expected an exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Error in Themes");
    }
    ReleaseThemes();
    InitThemes();
    NxThemesSupport::IsThemeActive = []() -> bool { throw Exception("broken"); };
    EXPECT_THROW(IsThemed(), Exception);
    ReleaseThemes();
    InitThemes();
}

TEST_F(ColorSchemeTest, ThemeRectDrawsKnownClassesOnly) {
    DrawingTest::Surface edit(40, 20, Hex(0x123456));
    ThemeRect(nullptr, edit.Canvas(), Rect(5, 5, 35, 15), u"edit", 1, 0);
    EXPECT_NE(edit.Ink(), TRect()) << "the themed edit background is drawn";
    EXPECT_EQ(edit.Ink(Rect(0, 0, 40, 5)), TRect()) << "nothing outside the rectangle";

    DrawingTest::Surface unknown(40, 20, Hex(0x123456));
    ThemeRect(nullptr, unknown.Canvas(), Rect(5, 5, 35, 15), u"nosuchclass", 1, 0);
    EXPECT_EQ(unknown.Ink(), TRect());

    ReleaseThemes();
    DrawingTest::Surface unloaded(40, 20, Hex(0x123456));
    ThemeRect(nullptr, unloaded.Canvas(), Rect(5, 5, 35, 15), u"edit", 1, 0);
    EXPECT_EQ(unloaded.Ink(), TRect());
}

// Counts the handles the theme stand-ins open and close.
int OpenedThemes = 0;
int ClosedThemes = 0;

TEST_F(ColorSchemeTest, ThemeRectClosesTheThemeEvenWhenDrawingFails) {
    static int handle = 0;
    OpenedThemes = ClosedThemes = 0;
    NxThemesSupport::OpenThemeData = [](HWND, const WideString&) -> HTHEME {
        ++OpenedThemes;
        return reinterpret_cast<HTHEME>(&handle);
    };
    NxThemesSupport::CloseThemeData = [](HTHEME theme) -> HRESULT {
        EXPECT_EQ(theme, reinterpret_cast<HTHEME>(&handle));
        ++ClosedThemes;
        return 0;
    };
    NxThemesSupport::DrawThemeBackground = [](HTHEME, TCanvas*, int, int, const TRect*,
                                              const TRect*) -> HRESULT { throw Exception("drawing failed"); };
    DrawingTest::Surface s(10, 10, clWhite);
    EXPECT_THROW(ThemeRect(nullptr, s.Canvas(), Rect(0, 0, 10, 10), u"edit", 1, 0), Exception);
    EXPECT_EQ(OpenedThemes, 1);
    EXPECT_EQ(ClosedThemes, 1);
    // Without a drawing entry the theme is still opened and closed once.
    NxThemesSupport::DrawThemeBackground = nullptr;
    ThemeRect(nullptr, s.Canvas(), Rect(0, 0, 10, 10), u"edit", 1, 0);
    EXPECT_EQ(ClosedThemes, 2);
    ReleaseThemes();
    InitThemes();
}

TEST_F(ColorSchemeTest, SystemDerivedColorsDependOnVisualStyles) {
    using namespace NxSharedDraw;
    EXPECT_EQ(GetColor(ceMenuHighlight), RGB(255, 238, 194));
    EXPECT_EQ(GetColor(ceToolbarFromColor), clInactiveCaptionText);
    EXPECT_EQ(GetColor(ceToolbarToColor), BlendColor(clHighlight, clInactiveCaptionText, 132));
    EXPECT_EQ(GetColor(ceToolBtnDFromColor), RGB(254, 145, 78));
    EXPECT_EQ(GetColor(ceToolBtnBorder), ColorToRGB(clHotLight));
    EXPECT_FALSE(IsSystemColor(GetColor(ceToolBtnBorder)));

    SetThemesEnabled(false);
    EXPECT_EQ(GetColor(ceMenuHighlight), BlendColor(clHighlight, clWindow, 80));
    EXPECT_EQ(GetColor(ceTaskPaneHeadFromColor), cl3DLight);
    EXPECT_EQ(GetColor(ceToolbarFromColor), clWindow);
    EXPECT_EQ(GetColor(ceToolbarToColor), clBtnFace);
    EXPECT_EQ(GetColor(ceToolBtnDFromColor), RGB(254, 145, 178));
    EXPECT_EQ(GetColor(ceWhidbeyTabBorder), clGrayText);
    EXPECT_EQ(GetColor(ceToolBtnFromColor), RGB(255, 213, 140));
    EXPECT_EQ(GetColor(static_cast<TColorElement>(13)), clNone);
}

} // namespace
