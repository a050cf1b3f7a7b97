#pragma once
// Dialogs and shell services: the open-file dialog, the folder browser, message boxes and opening
// a document with the desktop's default application.
//
// Every one of them goes through the one dialog provider. The default provider shows the
// platform's dialogs; tests install their own (SetDialogProvider) to answer without a modal loop.

#include <memory>
#include <string>
#include <vector>

#include "platform/windows/Component.h"
#include "platform/windows/Controls.h"

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
    ofDontAddToRecent,
    ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;

// One entry of a dialog filter "Description|Pattern|Description|Pattern".
struct TFileFilter {
    WideString Description;
    WideString Pattern; // ";"-separated patterns, e.g. "*.txt;*.log"
};
// Splits a filter string into its entries; a trailing description without a pattern is dropped.
std::vector<TFileFilter> ParseFileFilter(const WideString& Filter);

struct TOpenFileRequest {
    WideString Title;
    std::vector<TFileFilter> Filters;
    int FilterIndex = 1; // 1-based, as the dialog's FilterIndex
    WideString InitialDir;
    WideString FileName;
    TOpenOptions Options;
};

struct TBrowseFolderRequest {
    WideString Title;
    UINT Flags = 0;
    HWND Owner = nullptr;
};

class TDialogProvider {
public:
    virtual ~TDialogProvider() = default;
    // Shows a modal message box; returns the button pressed (IDOK, IDCANCEL, IDYES, IDNO).
    virtual int MessageBox(const WideString& Text, const WideString& Caption, UINT Flags) = 0;
    // Paths are path texts (PathToText): every byte of a name survives, shown escaped.
    // Full paths of the chosen files, in order; false when cancelled.
    virtual bool OpenFiles(const TOpenFileRequest& Request, std::vector<WideString>& Files) = 0;
    // The chosen folder's full path; false when cancelled or when the choice has no path.
    // Without an owner the browser disables no window (they keep taking input while it waits) and
    // is cancelled when the main window closes; with one it is modal to it. A request while a
    // browser is open brings that one to the front and returns false.
    virtual bool BrowseForFolder(const TBrowseFolderRequest& Request, WideString& Path) = 0;
    // Opens a document (a path text) with the desktop's default application for it.
    virtual bool OpenDocument(const WideString& Path) = 0;
};

TDialogProvider& GetDialogProvider();
// Installs a provider and returns the previous one; null restores the platform's dialogs.
std::unique_ptr<TDialogProvider> SetDialogProvider(std::unique_ptr<TDialogProvider> Provider);

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    // Shows the dialog; true when the user chose files (FileName, Files).
    virtual bool Execute();
    const WideString& GetFilter() const { return FFilter; }
    void SetFilter(const WideString& Value) { FFilter = Value; }
    int GetFilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    TOpenOptions GetOptions() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }
    const WideString& GetTitle() const { return FTitle; }
    void SetTitle(const WideString& Value) { FTitle = Value; }
    const WideString& GetInitialDir() const { return FInitialDir; }
    void SetInitialDir(const WideString& Value) { FInitialDir = Value; }
    // The first chosen file.
    const WideString& GetFileName() const { return FFileName; }
    void SetFileName(const WideString& Value) { FFileName = Value; }
    // Every chosen file, full paths in the order the dialog returned them.
    const std::vector<WideString>& GetFiles() const { return FFiles; }

private:
    WideString FFilter;
    int FFilterIndex = 1;
    TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
    WideString FTitle;
    WideString FInitialDir;
    WideString FFileName;
    std::vector<WideString> FFiles;
};

// A modal message box with one OK button (or the buttons Flags names), through the provider.
int MessageBox(HWND Owner, const WideString& Text, const WideString& Caption, UINT Flags);
void ShowMessage(const WideString& Text);

// The folder browser, in the shell's calling form. Paths are 8-bit text in the system code page.
constexpr int MAX_PATH = 260;
constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;
constexpr UINT BIF_STATUSTEXT = 0x0004;
constexpr UINT BIF_EDITBOX = 0x0010;
constexpr UINT BIF_NEWDIALOGSTYLE = 0x0040;
constexpr UINT BIF_BROWSEFORCOMPUTER = 0x1000;
struct TItemIdList;
using PItemIDList = TItemIdList*;
using BrowseCallbackProc = int (*)(HWND, UINT, LPARAM, LPARAM);
struct TBrowseInfoA {
    HWND hwndOwner = nullptr;
    PItemIDList pidlRoot = nullptr;
    char* pszDisplayName = nullptr; // MAX_PATH bytes, receives the chosen item's name
    const char* lpszTitle = nullptr;
    UINT ulFlags = 0;
    BrowseCallbackProc lpfn = nullptr;
    LPARAM lParam = 0;
    int iImage = 0;
};
// Null when cancelled; free the result with CoTaskMemFree.
PItemIDList SHBrowseForFolderA(TBrowseInfoA* Info);
// Writes the item's path (at most MAX_PATH bytes with the terminating zero); false when the item
// has no file-system path or the path does not fit.
bool SHGetPathFromIDListA(PItemIDList Item, char* Path);
void CoTaskMemFree(void* Item);

// Opening a document: Operation "open" hands File to the desktop's default application.
// Returns a value above 32 on success, as the shell does; 2 (file not found) or 31 otherwise.
constexpr int SW_SHOWNORMAL = 1;
intptr_t ShellExecuteA(HWND Owner, const char* Operation, const char* File, const char* Parameters,
                       const char* Directory, int ShowCmd);
intptr_t ShellExecuteW(HWND Owner, const WideString& Operation, const WideString& File,
                       const WideString& Parameters, const WideString& Directory, int ShowCmd);
