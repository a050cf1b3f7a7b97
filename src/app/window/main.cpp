// quillmar: the application shell. Start-up in order (application, title, main window), then the
// message loop until the main window closes; what escapes is shown and ends the program.
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/window/MainForm.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/FileSystem.h"
#include "platform/windows/Display.h"

int main(int argc, char** argv) {
    // A write past the file-size limit fails that file with its reason instead of ending the window.
    std::signal(SIGXFSZ, SIG_IGN);
    std::string Reason;
    if (!DisplayAvailable(Reason)) {
        std::fprintf(stderr, "quillmar: %s\n", Reason.c_str());
        return 2;
    }
    try {
        Application->Initialize();
        Application->SetTitle(u"Quillmar");
        Application->CreateForm(Main_form);
        // Files named on the command line join the job list as if added with Add files.
        std::vector<WideString> Files;
        for (int i = 1; i < argc; ++i)
            Files.push_back(PathToText(AbsoluteFilePath(argv[i])));
        if (!Files.empty()) Main_form->AddSourceFiles(Files);
        Application->Run();
    } catch (const std::exception& E) {
        Application->ShowException(E);
        return 1;
    } catch (...) {
        Application->ShowException(Exception(""));
        return 1;
    }
    return 0;
}
