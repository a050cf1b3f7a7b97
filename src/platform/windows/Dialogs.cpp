// The dialog provider, the open-file dialog, message boxes, the folder browser and the shell.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>
#include <cstring>

#include "platform/runtime/CodePage.h"
#include "platform/runtime/FileSystem.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Forms.h"
#include "platform/windows/WinControlQt.h"

namespace {
QString ToQ(const WideString& s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

QWidget* OwnerWidget(HWND owner) {
    if (owner) return FrameWidgetOf(owner);
    if (TCustomForm* f = Screen->GetActiveForm()) return FrameWidgetOf(f);
    return nullptr;
}

// The platform's own dialogs.
class TPlatformDialogProvider : public TDialogProvider {
public:
    int MessageBox(const WideString& Text, const WideString& Caption, UINT Flags) override {
        QMessageBox box(OwnerWidget(nullptr));
        box.setWindowTitle(ToQ(Caption));
        box.setText(ToQ(Text));
        if ((Flags & 0xF0) == MB_ICONERROR)
            box.setIcon(QMessageBox::Critical);
        else if ((Flags & 0xF0) == MB_ICONWARNING)
            box.setIcon(QMessageBox::Warning);
        else if ((Flags & 0xF0) == MB_ICONINFORMATION)
            box.setIcon(QMessageBox::Information);
        switch (Flags & 0xF) {
        case MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MB_YESNO:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        }
        box.setWindowModality(Qt::ApplicationModal);
        switch (box.exec()) {
        case QMessageBox::Cancel:
            return IDCANCEL;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            return IDOK;
        }
    }

    bool OpenFiles(const TOpenFileRequest& Request, std::vector<WideString>& Files) override {
        QFileDialog dlg(OwnerWidget(nullptr), ToQ(Request.Title), ToQ(Request.InitialDir));
        QStringList filters;
        for (const TFileFilter& f : Request.Filters) {
            QString patterns = ToQ(f.Pattern);
            patterns.replace(';', ' ');
            filters << ToQ(f.Description) + " (" + patterns + ")";
        }
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            int i = std::clamp(Request.FilterIndex, 1, int(filters.size())) - 1;
            dlg.selectNameFilter(filters[i]);
        }
        dlg.setFileMode(Request.Options.Contains(ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                                     : QFileDialog::ExistingFile);
        if (!Request.FileName.empty()) dlg.selectFile(ToQ(Request.FileName));
        if (dlg.exec() != QDialog::Accepted) return false;
        Files.clear();
        for (const QString& f : dlg.selectedFiles())
            Files.push_back(PathTextOf(QFileInfo(f).absoluteFilePath()));
        return !Files.empty();
    }

    bool BrowseForFolder(const TBrowseFolderRequest& Request, WideString& Path) override {
        // One browser at a time: asking again while it is open brings it to the front.
        if (FOpenBrowser) {
            FOpenBrowser->raise();
            FOpenBrowser->activateWindow();
            return false;
        }
        QWidget* owner = Request.Owner ? FrameWidgetOf(Request.Owner) : nullptr;
        QFileDialog dlg(owner, ToQ(Request.Title));
        dlg.setFileMode(QFileDialog::Directory);
        dlg.setOption(QFileDialog::ShowDirsOnly);
        FOpenBrowser = &dlg;
        struct Clear {
            QFileDialog*& slot;
            ~Clear() { slot = nullptr; }
        } clear{FOpenBrowser};
        int result;
        if (owner) {
            dlg.setWindowModality(Qt::WindowModal);
            result = dlg.exec();
        } else {
            // Without an owner no window is disabled: the browser runs its own loop while every
            // window keeps taking input, and it goes when the main window closes.
            dlg.setWindowModality(Qt::NonModal);
            QEventLoop loop;
            QObject::connect(&dlg, &QDialog::finished, &loop, &QEventLoop::quit);
            CloseWithMainWindow watch(&dlg);
            dlg.show();
            loop.exec();
            result = dlg.result();
        }
        if (result != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
        Path = PathTextOf(QFileInfo(dlg.selectedFiles().first()).absoluteFilePath());
        return true;
    }

    bool OpenDocument(const WideString& Path) override {
        // The URL carries the path's own bytes, percent-encoded, whatever their encoding.
        const std::string Bytes = PathFromText(Path);
        const QByteArray Encoded = QByteArray(Bytes.data(), qsizetype(Bytes.size())).toPercentEncoding("/");
        return QDesktopServices::openUrl(QUrl::fromEncoded("file://" + Encoded, QUrl::StrictMode));
    }

private:
    // A file name as the file system holds it, as path text.
    static WideString PathTextOf(const QString& Path) {
        const QByteArray Bytes = QFile::encodeName(Path);
        return PathToText(std::string_view(Bytes.constData(), size_t(Bytes.size())));
    }

    // Rejects a browser when the application's main window is hidden for good (closed).
    class CloseWithMainWindow : public QObject {
    public:
        explicit CloseWithMainWindow(QDialog* Dialog) : FDialog(Dialog) {
            TCustomForm* main = Application->GetMainForm();
            FMain = main ? FrameWidgetOf(main) : nullptr;
            if (FMain) FMain->installEventFilter(this);
        }
        ~CloseWithMainWindow() override {
            if (FMain) FMain->removeEventFilter(this);
        }
        bool eventFilter(QObject* Watched, QEvent* Event) override {
            if (Watched == FMain && Event->type() == QEvent::Hide && !FMain->isVisible()) FDialog->reject();
            return false;
        }

    private:
        QDialog* FDialog;
        QPointer<QWidget> FMain;
    };

    QFileDialog* FOpenBrowser = nullptr;
};

std::unique_ptr<TDialogProvider>& ProviderSlot() {
    static std::unique_ptr<TDialogProvider> provider;
    return provider;
}
} // namespace

TDialogProvider& GetDialogProvider() {
    auto& slot = ProviderSlot();
    if (!slot) slot = std::make_unique<TPlatformDialogProvider>();
    return *slot;
}

std::unique_ptr<TDialogProvider> SetDialogProvider(std::unique_ptr<TDialogProvider> Provider) {
    auto& slot = ProviderSlot();
    std::unique_ptr<TDialogProvider> old = std::move(slot);
    slot = std::move(Provider);
    return old;
}

std::vector<TFileFilter> ParseFileFilter(const WideString& Filter) {
    std::vector<WideString> parts;
    WideString cur;
    for (WideChar c : Filter) {
        if (c == u'|') {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!Filter.empty()) parts.push_back(cur);
    std::vector<TFileFilter> out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
        out.push_back({parts[i], parts[i + 1]});
    return out;
}

// ---------------------------------------------------------------------------------------------
// TOpenDialog

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}
TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() {
    TOpenFileRequest req;
    req.Title = FTitle;
    req.Filters = ParseFileFilter(FFilter);
    req.FilterIndex = FFilterIndex;
    req.InitialDir = FInitialDir;
    req.FileName = FFileName;
    req.Options = FOptions;
    std::vector<WideString> files;
    Application->CancelHint();
    if (!GetDialogProvider().OpenFiles(req, files) || files.empty()) return false;
    // A single-selection dialog returns one file whatever the provider says.
    if (!FOptions.Contains(ofAllowMultiSelect)) files.resize(1);
    FFiles = std::move(files);
    FFileName = FFiles.front();
    return true;
}

int MessageBox(HWND, const WideString& Text, const WideString& Caption, UINT Flags) {
    return Application->MessageBox(Text, Caption, Flags);
}

void ShowMessage(const WideString& Text) {
    Application->MessageBox(Text, Application->GetTitle(), MB_OK);
}

// ---------------------------------------------------------------------------------------------
// Folder browser

struct TItemIdList {
    WideString Path;
};

PItemIDList SHBrowseForFolderA(TBrowseInfoA* Info) {
    TBrowseFolderRequest req;
    if (Info) {
        if (Info->lpszTitle) req.Title = AnsiToWide(Info->lpszTitle);
        req.Flags = Info->ulFlags;
        req.Owner = Info->hwndOwner;
    }
    WideString path;
    Application->CancelHint();
    if (!GetDialogProvider().BrowseForFolder(req, path)) return nullptr;
    if (Info && Info->pszDisplayName) {
        // The display name is the last part of the path, cut to the buffer.
        WideString name = path;
        while (name.size() > 1 && name.back() == u'/')
            name.pop_back();
        if (auto slash = name.find_last_of(u'/'); slash != WideString::npos && name.size() > 1)
            name = name.substr(slash + 1);
        AnsiString a = WideToAnsi(name);
        if (a.size() >= size_t(MAX_PATH)) a.resize(MAX_PATH - 1);
        std::memcpy(Info->pszDisplayName, a.c_str(), a.size() + 1);
    }
    return new TItemIdList{path};
}

bool SHGetPathFromIDListA(PItemIDList Item, char* Path) {
    if (!Item || !Path) return false;
    if (Item->Path.empty()) {
        Path[0] = 0;
        return false;
    }
    AnsiString a = WideToAnsi(Item->Path);
    // A path that does not fit the buffer is refused rather than cut or overrun.
    if (a.size() >= size_t(MAX_PATH)) {
        Path[0] = 0;
        return false;
    }
    std::memcpy(Path, a.c_str(), a.size() + 1);
    return true;
}

void CoTaskMemFree(void* Item) {
    delete static_cast<TItemIdList*>(Item);
}

// ---------------------------------------------------------------------------------------------
// Shell

intptr_t ShellExecuteW(HWND, const WideString& Operation, const WideString& File, const WideString&,
                       const WideString&, int) {
    if (File.empty()) return 2;
    WideString op = Operation;
    for (auto& c : op)
        c = WideChar(std::tolower(int(c)));
    if (!op.empty() && op != u"open") return 31;
    return GetDialogProvider().OpenDocument(File) ? 42 : 31;
}

intptr_t ShellExecuteA(HWND Owner, const char* Operation, const char* File, const char* Parameters,
                       const char* Directory, int ShowCmd) {
    auto w = [](const char* s) { return s ? AnsiToWide(s) : WideString(); };
    return ShellExecuteW(Owner, w(Operation), w(File), w(Parameters), w(Directory), ShowCmd);
}
