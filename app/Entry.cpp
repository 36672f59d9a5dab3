// The program's entry: one instance per desktop, then the main window's life.
#include "app/MainUnit.h"

int RunProgram(TPlatform& os, TDecodeAhead* ahead) {
    // The title is set only after the search, so an instance never finds itself.
    if (os.ActivateRunningInstance(kAppTitle)) return 0;
    os.SetApplicationTitle(kAppTitle);
    TOrvaneFM form(os, ahead);
    if (!form.FormCreate()) {
        // The error has been shown. Nothing after the failing step was built, so the
        // window never runs its loop and the settings are left as they were.
        os.CloseMainWindow();
        return 1;
    }
    os.ShowMainWindow();
    form.FormShown();
    // The window's destruction, inside the loop, runs FormDestroy while the window and
    // its wish box still exist.
    os.RunMessageLoop();
    return 0;
}
