#pragma once
// Shared helpers of the window tests: a probe control that records what reaches it, a dialog
// provider that answers from a script, and showing forms on the offscreen platform.

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWidget>
#include <deque>
#include <string>
#include <vector>

#include "platform/windows/Controls.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Forms.h"
#include "platform/windows/WinControlQt.h"

// Records paints (with the clip box), messages and input.
class TProbe : public TCustomControl {
public:
    explicit TProbe(TComponent* owner) : TCustomControl(owner) {
        SetBounds(0, 0, 100, 80);
        SetTabStop(true);
    }
    std::vector<TRect> PaintClips;
    std::vector<std::string> Log;
    std::vector<UINT> Messages;
    std::vector<uintptr_t> Timers;
    std::vector<int> HScroll, VScroll; // scroll codes
    bool WantTab = false;
    // Paints each row y in a color made from y, so moved pixels can be recognised.
    bool Stripes = true;

    static TColor RowColor(int y) { return RGB(uint8_t(y * 3), uint8_t(255 - y), 128); }

    void WndProc(TMessage& m) override {
        Messages.push_back(m.Msg);
        TCustomControl::WndProc(m);
    }

protected:
    void Paint() override {
        TCanvas* c = GetCanvas();
        PaintClips.push_back(c->GetClipRect());
        if (Stripes) {
            for (int y = 0; y < GetClientHeight(); ++y) {
                c->GetBrush()->SetColor(RowColor(y));
                c->FillRect({0, y, GetClientWidth(), y + 1});
            }
        }
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        Log.push_back("down " + std::to_string(int(b)) + (s.Contains(ssDouble) ? " dbl" : "") +
                      (s.Contains(ssShift) ? " shift" : "") + " " + std::to_string(x) + "," +
                      std::to_string(y));
        TCustomControl::MouseDown(b, s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
        Log.push_back("up " + std::to_string(int(b)) + " " + std::to_string(x) + "," + std::to_string(y));
        TCustomControl::MouseUp(b, s, x, y);
    }
    void MouseMove(TShiftState s, int x, int y) override {
        if (s.Contains(ssLeft)) Log.push_back("drag " + std::to_string(x) + "," + std::to_string(y));
        TCustomControl::MouseMove(s, x, y);
    }
    void KeyDown(Word& k, TShiftState s) override {
        Log.push_back("keydown " + std::to_string(k) + (s.Contains(ssShift) ? " shift" : "") +
                      (s.Contains(ssCtrl) ? " ctrl" : ""));
        TCustomControl::KeyDown(k, s);
    }
    void KeyPress(WideChar& k) override {
        Log.push_back(std::string("char ") + char(k));
        TCustomControl::KeyPress(k);
    }
    void WMTimer(TMessage& m) override { Timers.push_back(m.WParam); }
    void WMHScroll(TMessage& m) override { HScroll.push_back(LoWord(m.WParam)); }
    void WMVScroll(TMessage& m) override { VScroll.push_back(LoWord(m.WParam)); }
    void WMGetDlgCode(TMessage& m) override { m.Result = DLGC_WANTARROWS | (WantTab ? DLGC_WANTTAB : 0); }
};

// Answers dialogs from queued answers and records what was asked.
class TScriptedDialogs : public TDialogProvider {
public:
    struct Box {
        WideString Text, Caption;
        UINT Flags;
    };
    std::vector<Box> Boxes;
    std::vector<TOpenFileRequest> OpenRequests;
    std::deque<std::vector<WideString>> OpenAnswers; // empty vector: cancel
    std::deque<WideString> FolderAnswers;            // empty: cancel
    std::vector<TBrowseFolderRequest> FolderRequests;
    std::vector<WideString> Opened;

    int MessageBox(const WideString& Text, const WideString& Caption, UINT Flags) override {
        Boxes.push_back({Text, Caption, Flags});
        return IDOK;
    }
    bool OpenFiles(const TOpenFileRequest& r, std::vector<WideString>& files) override {
        OpenRequests.push_back(r);
        if (OpenAnswers.empty()) return false;
        files = OpenAnswers.front();
        OpenAnswers.pop_front();
        return !files.empty();
    }
    bool BrowseForFolder(const TBrowseFolderRequest& r, WideString& path) override {
        FolderRequests.push_back(r);
        if (FolderAnswers.empty()) return false;
        path = FolderAnswers.front();
        FolderAnswers.pop_front();
        return !path.empty();
    }
    bool OpenDocument(const WideString& path) override {
        Opened.push_back(path);
        return true;
    }
};

// Installs a scripted provider for the scope of a test.
class TDialogScope {
public:
    TDialogScope() {
        auto p = std::make_unique<TScriptedDialogs>();
        Script = p.get();
        FOld = SetDialogProvider(std::move(p));
    }
    ~TDialogScope() { SetDialogProvider(std::move(FOld)); }
    TScriptedDialogs* Script;

private:
    std::unique_ptr<TDialogProvider> FOld;
};

inline QWidget* Client(TWinControl* c) {
    return ClientWidgetOf(c);
}
inline QWidget* Frame(TWinControl* c) {
    return FrameWidgetOf(c);
}

// Shows the form and waits until the window system has exposed and activated it.
inline bool ShowAndWait(TCustomForm* f) {
    f->Show();
    QWidget* w = FrameWidgetOf(f);
    if (!w) return false;
    w->activateWindow();
    QApplication::setActiveWindow(w);
    return QTest::qWaitForWindowExposed(w) && QTest::qWaitForWindowActive(w);
}

// Lets queued paints and posted messages run.
inline void Pump() {
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

inline std::string OutDir() {
    QByteArray d = qgetenv("QUILLMAR_TEST_OUT");
    std::string dir =
        d.isEmpty() ? std::string(QUILLMAR_BINARY_DIR) + "/test-output" : std::string(d.constData());
    QDir().mkpath(QString::fromStdString(dir));
    return dir;
}
