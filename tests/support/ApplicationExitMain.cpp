// A program the way quillmar runs: the platform makes the application object, a form opens and is
// closed, the loop ends and main returns. It must exit with 0, not crash in static teardown.
#include <QTimer>
#include <cstdlib>

#include "platform/windows/Forms.h"

int main() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    TForm* Form = nullptr;
    Application->CreateForm(Form);
    Form->Show();
    QTimer::singleShot(0, [Form] { Form->Close(); });
    Application->Run();
    return 0;
}
