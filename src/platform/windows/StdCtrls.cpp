// Standard controls: push button, edit, memo, group box and label.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>

#include "platform/runtime/CodePage.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/WinControlQt.h"

namespace {
QString ToQ(const WideString& s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}
WideString FromQ(const QString& s) {
    return WideString(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
}

void ApplyFont(QWidget* w, const TFont& font, TColor textColor, TColor baseColor) {
    if (!w) return;
    w->setFont(FontToQt(font));
    QPalette pal = w->palette();
    pal.setColor(QPalette::Text, ColorToQt(textColor));
    pal.setColor(QPalette::WindowText, ColorToQt(textColor));
    pal.setColor(QPalette::ButtonText, ColorToQt(textColor));
    if (baseColor != clNone) pal.setColor(QPalette::Base, ColorToQt(baseColor));
    w->setPalette(pal);
}

// Sends a key message that came from code (not from the keyboard) to the native editor.
bool ForwardKeyMessage(TWinControlPrivate* p, const TMessage& m) {
    // The message made from the current Qt event reaches the editor as that event.
    if (!p || !p->Client || p->CurrentMessage == &m) return false;
    QKeyEvent* ev = nullptr;
    if (m.Msg == WM_CHAR) {
        QChar ch(char16_t(m.WParam));
        int key = 0;
        if (ch == QChar('\b'))
            key = Qt::Key_Backspace;
        else if (ch == QChar('\r'))
            key = Qt::Key_Return;
        ev = new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, key == 0 ? QString(ch) : QString());
    } else if (m.Msg == WM_KEYDOWN || m.Msg == WM_KEYUP) {
        int key = QtKeyFromVirtualKey(Word(m.WParam));
        if (!key) return false;
        ev = new QKeyEvent(m.Msg == WM_KEYDOWN ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier);
    } else {
        return false;
    }
    p->ForwardingToNative = true;
    QCoreApplication::sendEvent(p->Client, ev);
    p->ForwardingToNative = false;
    delete ev;
    return true;
}

// Shows a chosen character for each masked character.
class TMaskStyle : public QProxyStyle {
public:
    explicit TMaskStyle(QChar ch) : FChar(ch) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_LineEdit_PasswordCharacter) return FChar.unicode();
        if (hint == QStyle::SH_LineEdit_PasswordMaskDelay) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar FChar;
};

// Masked text may be neither copied nor cut: the editor would delete the selection on a cut
// even though it copies nothing, so the keys are taken away before it sees them.
class TMaskGuard : public QObject {
public:
    explicit TMaskGuard(QLineEdit* parent) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        // Asks the editor, not the control: this also runs while the control is going away.
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (!edit || edit->echoMode() == QLineEdit::Normal) return false;
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride) {
            auto* ke = static_cast<QKeyEvent*>(e);
            if (ke->matches(QKeySequence::Cut) || ke->matches(QKeySequence::Copy)) {
                e->accept();
                return e->type() == QEvent::KeyPress;
            }
        }
        return false;
    }
};

QLineEdit* EditOf(const TWinControl* c) {
    return qobject_cast<QLineEdit*>(ClientWidgetOf(const_cast<TWinControl*>(c)));
}
QPlainTextEdit* MemoOf(const TWinControl* c) {
    return qobject_cast<QPlainTextEdit*>(ClientWidgetOf(const_cast<TWinControl*>(c)));
}
} // namespace

// ---------------------------------------------------------------------------------------------
// TButton

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle.Exclude(csClickEvents);
    FControlStyle.Exclude(csAcceptsControls);
    SetBounds(0, 0, 75, 25);
    FTabStop = true;
}

TButton::~TButton() = default;

void TButton::CreateNativeWindow() {
    TWinControlPrivate* p = GetWindowPrivate();
    auto* b = new QPushButton(ToQ(FText), p->ParentWidget);
    b->setAutoDefault(false);
    b->setDefault(FDefault);
    p->Client = b;
    ApplyFont(b, *FFont, FFont->GetColor(), clNone);
    QObject::connect(b, &QPushButton::clicked, b, [this] { GuardedCall(this, [this] { Click(); }); });
}

void TButton::CreateWnd() {
    TWinControl::CreateWnd();
}

void TButton::SetTextValue(const WideString& Value) {
    TWinControl::SetTextValue(Value);
    if (auto* b = qobject_cast<QPushButton*>(ClientWidgetOf(this))) b->setText(ToQ(Value));
}

void TButton::Click() {
    TWinControl::Click();
}

void TButton::DefaultHandler(TMessage& Message) {
    if ((Message.Msg == WM_KEYDOWN || Message.Msg == WM_KEYUP || Message.Msg == WM_CHAR) &&
        ForwardKeyMessage(GetWindowPrivate(), Message))
        return;
    if (Message.Msg == CM_FONTCHANGED) ApplyFont(ClientWidgetOf(this), *FFont, FFont->GetColor(), clNone);
    TWinControl::DefaultHandler(Message);
}

// ---------------------------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle.Exclude(csAcceptsControls);
    FControlStyle.Exclude(csSetCaption);
    SetBounds(0, 0, 121, 21);
    FTabStop = true;
    FColor = clWindow;
    FParentColor = false;
    FBorderStyle = bsSingle;
    FCursor = crIBeam;
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    // The editor draws its own frame.
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    Params.Style &= ~WS_BORDER;
    Params.Style |= ES_AUTOHSCROLL;
    Params.Style |= FAlignment == taRightJustify ? ES_RIGHT : FAlignment == taCenter ? ES_CENTER : ES_LEFT;
}

void TCustomEdit::CreateNativeWindow() {
    TWinControlPrivate* p = GetWindowPrivate();
    auto* e = new QLineEdit(p->ParentWidget);
    p->Client = e;
    e->installEventFilter(new TMaskGuard(e));
    e->setText(ToQ(FText));
    ApplyNative();
    QObject::connect(e, &QLineEdit::textChanged, e, [this](const QString&) {
        GuardedCall(this, [this] {
            Perform(CM_TEXTCHANGED);
            Change();
        });
    });
}

void TCustomEdit::CreateWnd() {
    TWinControl::CreateWnd();
}

void TCustomEdit::ApplyNative() {
    QLineEdit* e = EditOf(this);
    if (!e) return;
    ApplyFont(e, *FFont, FFont->GetColor(), FColor);
    e->setFrame(FBorderStyle != bsNone);
    e->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
    e->setReadOnly(FReadOnly);
    uint32_t align = GetWindowPrivate()->Params.Style & (ES_CENTER | ES_RIGHT);
    e->setAlignment(align == ES_RIGHT    ? Qt::AlignRight
                    : align == ES_CENTER ? Qt::AlignHCenter
                                         : Qt::AlignLeft);
    e->setTextMargins(FLeftMargin, 0, FRightMargin, 0);
    e->setLayoutDirection(FBiDiMode == bdLeftToRight ? Qt::LeftToRight : Qt::RightToLeft);
    if (FPasswordChar != 0) {
        auto* style = new TMaskStyle(QChar(FPasswordChar));
        style->setParent(e);
        e->setStyle(style);
        e->setEchoMode(QLineEdit::Password);
    } else {
        e->setEchoMode(QLineEdit::Normal);
    }
}

void TCustomEdit::SetBiDiMode(TBiDiMode Value) {
    FBiDiMode = Value;
    ApplyNative();
}

void TCustomEdit::SetPasswordChar(WideChar Value) {
    if (FPasswordChar == Value) return;
    FPasswordChar = Value;
    ApplyNative();
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = Value < 0 ? 0 : Value;
    ApplyNative();
}

void TCustomEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    ApplyNative();
}

void TCustomEdit::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

bool TCustomEdit::GetModified() const {
    QLineEdit* e = EditOf(this);
    return e && e->isModified();
}

void TCustomEdit::SetModified(bool Value) {
    if (QLineEdit* e = EditOf(this)) e->setModified(Value);
}

int TCustomEdit::GetSelStart() const {
    QLineEdit* e = EditOf(this);
    if (!e) return 0;
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}

void TCustomEdit::SetSelStart(int Value) {
    if (QLineEdit* e = EditOf(this)) e->setCursorPosition(Value);
}

int TCustomEdit::GetSelLength() const {
    QLineEdit* e = EditOf(this);
    return e ? int(e->selectionLength()) : 0;
}

void TCustomEdit::SetSelLength(int Value) {
    if (QLineEdit* e = EditOf(this)) e->setSelection(GetSelStart(), Value);
}

WideString TCustomEdit::GetSelText() const {
    QLineEdit* e = EditOf(this);
    return e ? FromQ(e->selectedText()) : WideString();
}

void TCustomEdit::SetSelText(const WideString& Value) {
    if (QLineEdit* e = EditOf(this)) e->insert(ToQ(Value));
}

void TCustomEdit::SelectAll() {
    if (QLineEdit* e = EditOf(this)) e->selectAll();
}

void TCustomEdit::ClearSelection() {
    if (QLineEdit* e = EditOf(this); e && e->hasSelectedText()) e->del();
}

void TCustomEdit::Clear() {
    SetText(u"");
}

void TCustomEdit::CopyToClipboard() {
    // Masked text never reaches the clipboard.
    if (FPasswordChar != 0) return;
    if (QLineEdit* e = EditOf(this)) e->copy();
}

void TCustomEdit::CutToClipboard() {
    if (FPasswordChar != 0) return;
    if (QLineEdit* e = EditOf(this)) e->cut();
}

void TCustomEdit::PasteFromClipboard() {
    if (QLineEdit* e = EditOf(this)) e->paste();
}

bool TCustomEdit::GetCanUndo() const {
    QLineEdit* e = EditOf(this);
    return e && e->isUndoAvailable();
}

void TCustomEdit::Undo() {
    if (QLineEdit* e = EditOf(this)) e->undo();
}

void TCustomEdit::ClearUndo() {
    if (QLineEdit* e = EditOf(this)) {
        QString t = e->text();
        QSignalBlocker block(e);
        e->setText(t);
    }
}

void TCustomEdit::SetMargins(int Left, int Right) {
    FLeftMargin = Left;
    FRightMargin = Right;
    if (QLineEdit* e = EditOf(this)) e->setTextMargins(Left, 0, Right, 0);
}

WideString TCustomEdit::GetDisplayText() const {
    if (QLineEdit* e = EditOf(this)) return FromQ(e->displayText());
    return FPasswordChar ? WideString(FText.size(), FPasswordChar) : FText;
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

WideString TCustomEdit::GetTextValue() const {
    if (QLineEdit* e = EditOf(this)) return FromQ(e->text());
    return FText;
}

void TCustomEdit::SetTextValue(const WideString& Value) {
    FText = Value;
    if (QLineEdit* e = EditOf(this)) e->setText(ToQ(Value));
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
    TWinControl::CMFontChanged(Message);
    ApplyNative();
}

void TCustomEdit::CMColorChanged(TMessage& Message) {
    TWinControl::CMColorChanged(Message);
    ApplyNative();
}

void TCustomEdit::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case EM_SETMARGINS: {
        int l = FLeftMargin, r = FRightMargin;
        if (Message.WParam & EC_LEFTMARGIN) l = LoWord(uintptr_t(Message.LParam));
        if (Message.WParam & EC_RIGHTMARGIN) r = HiWord(uintptr_t(Message.LParam));
        SetMargins(l, r);
        return;
    }
    case EM_GETMARGINS:
        Message.Result = LRESULT(MakeWParam(uint16_t(FLeftMargin), uint16_t(FRightMargin)));
        return;
    case EM_SETPASSWORDCHAR:
        SetPasswordChar(WideChar(Message.WParam));
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        if (ForwardKeyMessage(GetWindowPrivate(), Message)) return;
        break;
    default:
        break;
    }
    TWinControl::DefaultHandler(Message);
}

// ---------------------------------------------------------------------------------------------
// TMemoLines and TCustomMemo

WideString TMemoLines::Get(int Index) const {
    if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
    if (QPlainTextEdit* m = MemoOf(FMemo)) return FromQ(m->document()->findBlockByNumber(Index).text());
    return FMemo->FOffline[size_t(Index)];
}

int TMemoLines::GetCount() const {
    if (QPlainTextEdit* m = MemoOf(FMemo)) {
        QTextDocument* d = m->document();
        if (d->blockCount() == 1 && d->firstBlock().text().isEmpty()) return 0;
        return d->blockCount();
    }
    return int(FMemo->FOffline.size());
}

void TMemoLines::Put(int Index, const WideString& S) {
    if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
    if (QPlainTextEdit* m = MemoOf(FMemo)) {
        QTextCursor c(m->document()->findBlockByNumber(Index));
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        c.insertText(ToQ(S));
        return;
    }
    FMemo->FOffline[size_t(Index)] = S;
}

void TMemoLines::Insert(int Index, const WideString& S) {
    int n = GetCount();
    if (Index < 0 || Index > n) Error("List index out of bounds (%d)", Index);
    if (QPlainTextEdit* m = MemoOf(FMemo)) {
        QTextDocument* d = m->document();
        if (n == 0) {
            m->setPlainText(ToQ(S));
        } else if (Index == n) {
            m->appendPlainText(ToQ(S));
        } else {
            QTextCursor c(d->findBlockByNumber(Index));
            c.insertText(ToQ(S) + QChar('\n'));
        }
        return;
    }
    FMemo->FOffline.insert(FMemo->FOffline.begin() + Index, S);
}

void TMemoLines::Delete(int Index) {
    int n = GetCount();
    if (Index < 0 || Index >= n) Error("List index out of bounds (%d)", Index);
    if (QPlainTextEdit* m = MemoOf(FMemo)) {
        QTextDocument* d = m->document();
        if (n == 1) {
            m->clear();
            return;
        }
        QTextCursor c(d->findBlockByNumber(Index));
        c.select(QTextCursor::BlockUnderCursor);
        if (Index == 0) {
            c.movePosition(QTextCursor::StartOfBlock);
            c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        }
        c.removeSelectedText();
        return;
    }
    FMemo->FOffline.erase(FMemo->FOffline.begin() + Index);
}

void TMemoLines::Clear() {
    if (QPlainTextEdit* m = MemoOf(FMemo)) {
        m->clear();
        return;
    }
    FMemo->FOffline.clear();
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle.Exclude(csAcceptsControls);
    FControlStyle.Exclude(csSetCaption);
    SetBounds(0, 0, 185, 89);
    FTabStop = true;
    FColor = clWindow;
    FParentColor = false;
    FBorderStyle = bsSingle;
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateNativeWindow() {
    TWinControlPrivate* p = GetWindowPrivate();
    auto* m = new QPlainTextEdit(p->ParentWidget);
    p->Client = m;
    QStringList lines;
    for (const WideString& s : FOffline)
        lines << ToQ(s);
    m->setPlainText(lines.join('\n'));
    FOffline.clear();
    ApplyNative();
    QObject::connect(m, &QPlainTextEdit::textChanged, m, [this] {
        GuardedCall(this, [this] {
            if (OnChange) OnChange(this);
        });
    });
}

void TCustomMemo::CreateWnd() {
    TWinControl::CreateWnd();
}

void TCustomMemo::ApplyNative() {
    QPlainTextEdit* m = MemoOf(this);
    if (!m) return;
    ApplyFont(m, *FFont, FFont->GetColor(), FColor);
    bool h = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    bool v = FScrollBars == ssVertical || FScrollBars == ssBoth;
    m->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // A horizontal scroll bar means lines are not wrapped.
    m->setLineWrapMode(FWordWrap && !h ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    m->setReadOnly(FReadOnly);
    m->setFrameShape(FBorderStyle == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    ApplyNative();
}

void TCustomMemo::SetWordWrap(bool Value) {
    FWordWrap = Value;
    ApplyNative();
}

void TCustomMemo::SetReadOnly(bool Value) {
    FReadOnly = Value;
    ApplyNative();
}

WideString TCustomMemo::GetTextValue() const {
    return FLines.GetText();
}

void TCustomMemo::SetTextValue(const WideString& Value) {
    FLines.SetText(Value);
}

void TCustomMemo::DestroyWnd() {
    // The lines outlive the editor (a new parent, a recreated window).
    if (MemoOf(this)) {
        std::vector<WideString> lines;
        for (int i = 0, n = FLines.GetCount(); i < n; ++i)
            lines.push_back(FLines.Get(i));
        FOffline = std::move(lines);
    }
    TWinControl::DestroyWnd();
}

void TCustomMemo::CMFontChanged(TMessage& Message) {
    TWinControl::CMFontChanged(Message);
    ApplyNative();
}

void TCustomMemo::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
        return;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        if (ForwardKeyMessage(GetWindowPrivate(), Message)) return;
        break;
    default:
        break;
    }
    TWinControl::DefaultHandler(Message);
}

// ---------------------------------------------------------------------------------------------
// TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents,
                     csSetCaption,      csDoubleClicks, csReplicatable};
    SetBounds(0, 0, 185, 105);
    FColor = clBtnFace;
}

void TGroupBox::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    TCanvas* c = GetCanvas();
    c->SetFont(*FFont);
    Rect.Top += c->TextHeight(WideString(u"0"));
    InflateRect(Rect, -1, -1);
    if (FCtl3D) InflateRect(Rect, -1, -1);
}

void TGroupBox::Paint() {
    TCanvas* c = GetCanvas();
    c->SetFont(*FFont);
    int h = c->TextHeight(WideString(u"0"));
    TRect r{0, h / 2 - 1, GetClientWidth(), GetClientHeight()};
    c->GetBrush()->SetColor(FColor);
    c->FillRect(GetClientRect());
    auto frame = [&](TRect fr, TColor color) {
        c->GetBrush()->SetColor(color);
        c->FrameRect(fr);
    };
    if (FCtl3D) {
        TRect inner = r;
        inner.Left += 1;
        inner.Top += 1;
        frame(inner, clBtnHighlight);
        TRect outer = r;
        outer.Right -= 1;
        outer.Bottom -= 1;
        frame(outer, clBtnShadow);
    } else {
        frame(r, clWindowFrame);
    }
    WideString text = GetText();
    if (!text.empty()) {
        TRect tr{8, 0, 0, h};
        c->DrawText(text, tr, DT_CALCRECT | DT_SINGLELINE);
        c->GetBrush()->SetColor(FColor);
        c->GetBrush()->SetStyle(bsSolid);
        c->SetBkMode(OPAQUE);
        c->DrawText(text, tr, DT_SINGLELINE);
    }
}

void TGroupBox::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

void TGroupBox::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    Realign();
}

// ---------------------------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csOpaque);
    FControlStyle.Include(csReplicatable);
    FLeft = 0;
    FTop = 0;
    FWidth = 65;
    FHeight = 17;
    FAutoSize = true;
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    if (Value)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl) RemoveFreeNotification(FFocusControl);
    FFocusControl = Value;
    if (Value) FreeNotification(Value);
}

void TCustomLabel::SetAutoSize(bool Value) {
    TGraphicControl::SetAutoSize(Value);
    AdjustBounds();
}

WideString TCustomLabel::GetLabelText() const {
    WideString text = GetText();
    if (!FShowAccelChar) return text;
    WideString out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size()) out += text[++i];
        } else {
            out += text[i];
        }
    }
    return out;
}

WideChar TCustomLabel::GetAccelChar() const {
    if (!FShowAccelChar) return 0;
    WideString text = GetText();
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] == u'&') {
                ++i;
                continue;
            }
            WideChar c = text[i + 1];
            if (c >= u'a' && c <= u'z') c = WideChar(c - u'a' + u'A');
            return c;
        }
    }
    return 0;
}

void TCustomLabel::DoDrawText(TRect& R, UINT Flags) {
    TCanvas* c = GetCanvas();
    WideString text = GetText();
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == u"&"))) text += u' ';
    if (!FShowAccelChar) Flags |= DT_NOPREFIX;
    c->SetFont(*FFont);
    if (!IsEnabledInTree() && !(Flags & DT_CALCRECT)) {
        OffsetRect(R, 1, 1);
        c->GetFont()->SetColor(clBtnHighlight);
        c->DrawText(text, R, Flags);
        OffsetRect(R, -1, -1);
        c->GetFont()->SetColor(clBtnShadow);
        c->DrawText(text, R, Flags);
    } else {
        c->DrawText(text, R, Flags);
    }
}

void TCustomLabel::Paint() {
    TCanvas* c = GetCanvas();
    TRect r = GetClientRect();
    if (!FTransparent) {
        c->GetBrush()->SetColor(FColor);
        c->GetBrush()->SetStyle(bsSolid);
        c->FillRect(r);
    }
    c->GetBrush()->SetStyle(bsClear);
    UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0);
    flags |= FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    if (FLayout != tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int dy = FLayout == tlBottom ? r.Height() - calc.Height() : (r.Height() - calc.Height()) / 2;
        r.Top += dy;
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (IsLoading() || !FAutoSize) return;
    TRect r = GetClientRect();
    if (!FWordWrap) r.Right = r.Left + 32767;
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0);
    DoDrawText(r, flags);
    int x = FLeft;
    if (FAlignment == taRightJustify)
        x = FLeft + FWidth - r.Width();
    else if (FAlignment == taCenter)
        x = FLeft + (FWidth - r.Width()) / 2;
    SetBounds(x, FTop, r.Width(), r.Height());
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
    Invalidate();
    AdjustBounds();
    TGraphicControl::CMTextChanged(Message);
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
    TGraphicControl::CMFontChanged(Message);
    AdjustBounds();
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}
