// The visual-styles stand-in: themed parts drawn with the platform's widget style.
#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <set>

#include "platform/windows/Themes.h"
#include "platform/windows/WinControlQt.h"

struct TThemeData {
    WideString ClassName;
};

namespace {
bool gThemesEnabled = true;
std::set<TThemeData*>& OpenThemes() {
    static std::set<TThemeData*> themes;
    return themes;
}

const char16_t* const kKnownClasses[] = {u"edit",        u"header",   u"scrollbar", u"treeview", u"listview",
                                         u"button",      u"progress", u"tab",       u"toolbar",  u"window",
                                         u"rebar",       u"status",   u"combobox",  u"spin",     u"trackbar",
                                         u"explorerbar", u"menu",     u"tooltip"};

WideString Lower(WideString s) {
    for (auto& c : s)
        if (c >= u'A' && c <= u'Z') c = WideChar(c - u'A' + u'a');
    return s;
}

WideString Trim(const WideString& s) {
    size_t a = 0, b = s.size();
    while (a < b && s[a] == u' ')
        ++a;
    while (b > a && s[b - 1] == u' ')
        --b;
    return s.substr(a, b - a);
}

// Draws one part into an image of the rectangle's size with the widget style.
QImage RenderPart(const WideString& cls, int part, int state, QSize size) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    QStyle* style = QApplication::style();
    QRect r(QPoint(0, 0), size);
    QPalette pal = QApplication::palette();
    auto stateFlags = [&](bool hot, bool pressed, bool disabled) {
        QStyle::State s = disabled ? QStyle::State_None : QStyle::State_Enabled;
        if (hot) s |= QStyle::State_MouseOver;
        if (pressed) s |= QStyle::State_Sunken;
        return s;
    };
    if (cls == u"edit" || cls == u"listview" || cls == u"combobox" || cls == u"spin") {
        QStyleOptionFrame opt;
        opt.rect = r;
        opt.palette = pal;
        opt.lineWidth = 1;
        opt.state = QStyle::State_Enabled | QStyle::State_Sunken;
        p.fillRect(r.adjusted(1, 1, -1, -1), pal.color(QPalette::Base));
        style->drawPrimitive(QStyle::PE_FrameLineEdit, &opt, &p);
    } else if (cls == u"header") {
        QStyleOptionHeader opt;
        opt.rect = r;
        opt.palette = pal;
        opt.state =
            stateFlags(state == 2, state == 3, false) | QStyle::State_Raised | QStyle::State_Horizontal;
        style->drawControl(QStyle::CE_HeaderSection, &opt, &p);
    } else if (cls == u"scrollbar") {
        QStyleOptionSlider opt;
        opt.rect = r;
        opt.palette = pal;
        int kind = (state - 1) % 4; // normal, hot, pressed, disabled
        opt.state = stateFlags(kind == 1, kind == 2, kind == 3);
        if (part == 1) {
            // Arrow buttons: up, down, left, right in blocks of four states.
            QStyle::PrimitiveElement arrows[] = {QStyle::PE_IndicatorArrowUp, QStyle::PE_IndicatorArrowDown,
                                                 QStyle::PE_IndicatorArrowLeft,
                                                 QStyle::PE_IndicatorArrowRight};
            int dir = std::clamp((state - 1) / 4, 0, 3);
            QStyleOptionButton b;
            b.rect = r;
            b.palette = pal;
            b.state = opt.state | (kind == 2 ? QStyle::State_Sunken : QStyle::State_Raised);
            style->drawPrimitive(QStyle::PE_PanelButtonBevel, &b, &p);
            QStyleOption a;
            a.rect = r.adjusted(r.width() / 4, r.height() / 4, -r.width() / 4, -r.height() / 4);
            a.palette = pal;
            a.state = opt.state;
            style->drawPrimitive(arrows[dir], &a, &p);
        } else if (part == 2 || part == 3) {
            QStyleOptionButton b;
            b.rect = r;
            b.palette = pal;
            b.state = opt.state | QStyle::State_Raised;
            style->drawPrimitive(QStyle::PE_PanelButtonBevel, &b, &p);
        } else if (part >= 4 && part <= 7) {
            p.fillRect(r, pal.color(kind == 2 ? QPalette::Dark : QPalette::Midlight));
        } else if (part == 8 || part == 9) {
            QPen pen(pal.color(QPalette::Dark));
            p.setPen(pen);
            QPoint c = r.center();
            for (int i = -2; i <= 2; i += 2) {
                if (part == 9)
                    p.drawLine(c.x() - 3, c.y() + i, c.x() + 3, c.y() + i);
                else
                    p.drawLine(c.x() + i, c.y() - 3, c.x() + i, c.y() + 3);
            }
        } else {
            p.fillRect(r, pal.color(QPalette::Button));
        }
    } else if (cls == u"button") {
        if (part == 3 || part == 2) {
            QStyleOptionButton b;
            b.rect = r;
            b.palette = pal;
            int kind = (state - 1) % 4;
            int check = (state - 1) / 4;
            b.state = stateFlags(kind == 1, kind == 2, kind == 3) | (check == 1   ? QStyle::State_On
                                                                     : check == 2 ? QStyle::State_NoChange
                                                                                  : QStyle::State_Off);
            style->drawPrimitive(part == 3 ? QStyle::PE_IndicatorCheckBox : QStyle::PE_IndicatorRadioButton,
                                 &b, &p);
        } else {
            QStyleOptionButton b;
            b.rect = r;
            b.palette = pal;
            b.state = stateFlags(state == 2, state == 3, state == 4) |
                      (state == 3 ? QStyle::State_Sunken : QStyle::State_Raised);
            style->drawControl(QStyle::CE_PushButtonBevel, &b, &p);
        }
    } else if (cls == u"treeview" && part == 2) {
        QStyleOption o;
        o.rect = r;
        o.palette = pal;
        o.state = QStyle::State_Enabled | QStyle::State_Children |
                  (state == 2 ? QStyle::State_Open : QStyle::State_None);
        style->drawPrimitive(QStyle::PE_IndicatorBranch, &o, &p);
    } else if (cls == u"progress") {
        p.fillRect(r, part == 3 || part == 5 ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
        if (part == 1 || part == 2) {
            QStyleOptionFrame f;
            f.rect = r;
            f.palette = pal;
            f.lineWidth = 1;
            f.state = QStyle::State_Enabled | QStyle::State_Sunken;
            style->drawPrimitive(QStyle::PE_Frame, &f, &p);
        }
    } else {
        QStyleOptionFrame f;
        f.rect = r;
        f.palette = pal;
        f.lineWidth = 1;
        f.state = QStyle::State_Enabled;
        p.fillRect(r, pal.color(QPalette::Window));
        style->drawPrimitive(QStyle::PE_Frame, &f, &p);
    }
    return img;
}
} // namespace

HTHEME OpenThemeData(HWND, const WideString& ClassList) {
    if (!gThemesEnabled) return nullptr;
    WideString list = Lower(ClassList);
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(u';', start);
        if (end == WideString::npos) end = list.size();
        WideString cls = Trim(list.substr(start, end - start));
        for (const char16_t* known : kKnownClasses)
            if (cls == known) {
                auto* t = new TThemeData{cls};
                OpenThemes().insert(t);
                return t;
            }
        start = end + 1;
    }
    return nullptr;
}

HRESULT CloseThemeData(HTHEME Theme) {
    if (!Theme) return S_OK;
    auto& open = OpenThemes();
    auto it = open.find(Theme);
    if (it == open.end()) return E_HANDLE;
    open.erase(it);
    delete Theme;
    return S_OK;
}

HRESULT DrawThemeBackground(HTHEME Theme, TCanvas* DC, int PartId, int StateId, const TRect* Rect,
                            const TRect* ClipRect) {
    if (!Theme || !OpenThemes().count(Theme)) return E_HANDLE;
    if (!DC || !Rect || Rect->IsEmpty()) return E_FAIL;
    QImage img = RenderPart(Theme->ClassName, PartId, StateId, QSize(Rect->Width(), Rect->Height()));
    QRegion clip;
    if (ClipRect) {
        // The clip is in the canvas's logical coordinates, as the rectangle.
        TPoint org = DC->GetWindowOrg();
        clip = QRegion(RectToQt(*ClipRect).translated(-org.X, -org.Y));
    }
    TCanvasPainter painter(DC->GetImpl(), ClipRect ? &clip : nullptr);
    if (!painter.Active()) return S_OK;
    painter->drawImage(QPoint(Rect->Left, Rect->Top), img);
    return S_OK;
}

HRESULT DrawThemeEdge(HTHEME Theme, TCanvas* DC, int, int, const TRect* DestRect, UINT Edge, UINT Flags,
                      TRect* ContentRect) {
    if (!Theme || !OpenThemes().count(Theme)) return E_HANDLE;
    if (!DC || !DestRect) return E_FAIL;
    TRect r = *DestRect;
    auto line = [&](bool outer) {
        bool raised = outer ? (Edge & BDR_RAISEDOUTER) : (Edge & BDR_RAISEDINNER);
        bool sunken = outer ? (Edge & BDR_SUNKENOUTER) : (Edge & BDR_SUNKENINNER);
        if (!raised && !sunken) return;
        TColor tl = raised ? (outer ? cl3DLight : clBtnHighlight) : (outer ? clBtnShadow : cl3DDkShadow);
        TColor br = raised ? (outer ? cl3DDkShadow : clBtnShadow) : (outer ? clBtnHighlight : cl3DLight);
        DC->GetPen()->SetWidth(1);
        if (Flags & BF_TOP) {
            DC->GetPen()->SetColor(tl);
            DC->MoveTo(r.Left, r.Top);
            DC->LineTo(r.Right, r.Top);
        }
        if (Flags & BF_LEFT) {
            DC->GetPen()->SetColor(tl);
            DC->MoveTo(r.Left, r.Top);
            DC->LineTo(r.Left, r.Bottom);
        }
        if (Flags & BF_BOTTOM) {
            DC->GetPen()->SetColor(br);
            DC->MoveTo(r.Left, r.Bottom - 1);
            DC->LineTo(r.Right, r.Bottom - 1);
        }
        if (Flags & BF_RIGHT) {
            DC->GetPen()->SetColor(br);
            DC->MoveTo(r.Right - 1, r.Top);
            DC->LineTo(r.Right - 1, r.Bottom);
        }
        if (Flags & BF_LEFT) r.Left++;
        if (Flags & BF_TOP) r.Top++;
        if (Flags & BF_RIGHT) r.Right--;
        if (Flags & BF_BOTTOM) r.Bottom--;
    };
    line(true);
    line(false);
    if (ContentRect) *ContentRect = r;
    return S_OK;
}

int GetThemeSysSize(HTHEME, int SizeId) {
    return GetSystemMetrics(SizeId);
}

bool IsThemeActive() {
    return gThemesEnabled;
}
bool IsAppThemed() {
    return gThemesEnabled;
}

WideString GetThemeClassName(HTHEME Theme) {
    return Theme && OpenThemes().count(Theme) ? Theme->ClassName : WideString();
}

void SetThemesEnabled(bool Enabled) {
    if (gThemesEnabled == Enabled) return;
    gThemesEnabled = Enabled;
    for (TWinControl* w : AllWindows())
        GuardedCall(w, [&] { w->Perform(WM_THEMECHANGED); });
}
