// The backend's life, the program's folder and the session's end.
#include <unistd.h>

#include "platform/gtk/GtkPlatform.h"
#include "platform/gtk/GtkSound.h"

TGtkPlatform::TGtkPlatform(const std::string& configDir) : FDir(configDir) {
    if (FDir.empty()) FDir = "./";
    if (FDir.back() != '/') FDir.push_back('/');
    // Made when missing; when it cannot be, the program's first write there fails and
    // says which file it could not create.
    FDirReady = g_mkdir_with_parents(FDir.c_str(), 0700) == 0;
}

TGtkPlatform::~TGtkPlatform() {
    if (FInstanceThread.joinable()) FInstanceThread.join();
    FEvents = nullptr;
    if (FWindow) gtk_widget_destroy(FWindow);
    if (FShape) cairo_region_destroy(FShape);
    for (GdkCursor*& cursor : FPointers)
        if (cursor) g_object_unref(cursor);
    FSound.reset();
    if (FInstanceWatch) g_source_remove(FInstanceWatch);
    if (FInstanceSocket >= 0) {
        ::close(FInstanceSocket);
        ::unlink(FInstanceSocketPath.c_str());
    }
    if (FApp) g_object_unref(FApp);
}

void TGtkPlatform::EndSession() {
    if (!FEvents || !FWindow) return;
    FEvents->FormEndSession();
    if (FSound) FSound->Stop();
}
