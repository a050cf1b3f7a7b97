#pragma once
// What the main window's tests share: a dialog provider that answers from queues the test fills, and a
// fixture that shows a fresh main window with that provider installed.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "app/window/MainForm.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/TestSupport.h"

// Answers the window's dialogs from queues the test fills; records every message box.
class TMainFormDialogs : public TDialogProvider {
public:
    std::vector<std::vector<WideString>> FileChoices; // one entry per open-file dialog; empty = cancel
    std::vector<WideString> FolderChoices;            // one per folder browser; empty = cancel
    std::vector<std::pair<WideString, WideString>> Messages;
    std::vector<WideString> Opened;
    std::vector<TOpenFileRequest> FileRequests;
    std::vector<TBrowseFolderRequest> FolderRequests;

    int MessageBox(const WideString& Text, const WideString& Caption, UINT) override {
        Messages.emplace_back(Text, Caption);
        return IDOK;
    }
    bool OpenFiles(const TOpenFileRequest& Request, std::vector<WideString>& Files) override {
        FileRequests.push_back(Request);
        if (FileChoices.empty()) return false;
        Files = FileChoices.front();
        FileChoices.erase(FileChoices.begin());
        return !Files.empty();
    }
    bool BrowseForFolder(const TBrowseFolderRequest& Request, WideString& Path) override {
        FolderRequests.push_back(Request);
        if (FolderChoices.empty()) return false;
        Path = FolderChoices.front();
        FolderChoices.erase(FolderChoices.begin());
        return !Path.empty();
    }
    bool OpenDocument(const WideString& Path) override {
        Opened.push_back(Path);
        return true;
    }
};

// Handles the window's messages until its run has ended (the worker's last report written).
inline bool WaitForRunEnd(TMain_form* Form) {
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (Form->IsRunning()) {
        if (std::chrono::steady_clock::now() > Deadline) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class TMainFormFixture : public ::testing::Test {
protected:
    void SetUp() override {
        auto Owned = std::make_unique<TMainFormDialogs>();
        Dialogs = Owned.get();
        Previous = SetDialogProvider(std::move(Owned));
        Form = new TMain_form(nullptr);
        Form->AfterConstruction();
        ASSERT_TRUE(ShowAndWait(Form));
    }
    void TearDown() override {
        delete Form;
        SetDialogProvider(std::move(Previous));
    }
    TMain_form* Form = nullptr;
    TMainFormDialogs* Dialogs = nullptr;
    std::unique_ptr<TDialogProvider> Previous;
};
