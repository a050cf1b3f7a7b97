#pragma once
// A grid shown on a form of its own under the offscreen platform, for benchmarks that measure the
// grid through its public API as a program uses it.

#include <QApplication>

#include <memory>
#include <string>

#include "grid/view/NextGrid.h"
#include "platform/windows/Forms.h"

// Creates the application once per process, offscreen unless a platform was chosen.
inline void EnsureBenchApplication(const char* Name) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int Argc = 1;
    static std::string Program = Name;
    static char* Argv[] = {Program.data(), nullptr};
    static QApplication Application(Argc, Argv);
}

// The form is FormWidth x FormHeight with the grid 20 pixels smaller each way; add the columns,
// then Show().
struct TBenchShownGrid {
    std::unique_ptr<TForm> Form;
    TNextGrid* Grid = nullptr;

    TBenchShownGrid(const char* Program, int FormWidth, int FormHeight) {
        EnsureBenchApplication(Program);
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, FormWidth, FormHeight);
        Grid = new TNextGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, FormWidth - 20, FormHeight - 20);
    }
    void Show() {
        Form->Show();
        Grid->HandleNeeded();
    }
};
