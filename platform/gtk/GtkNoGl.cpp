// GDK without OpenGL: GDK reads GDK_GL once, when GTK is initialised.
#include "platform/gtk/GtkNoGl.h"

#include <cstdlib>
#include <cstring>

namespace {
const char kVariable[] = "GDK_GL";
const char kDisable[] = "disable";
}  // namespace

bool KeepGdkFromGl() {
    // Set at all, even empty, is the user's choice.
    if (std::getenv(kVariable)) return false;
    return ::setenv(kVariable, kDisable, 0) == 0;
}

void ForgetGdkGlSetting(bool ours) {
    if (!ours) return;
    // Only the value we put there: anything else was set after us, on purpose.
    const char* now = std::getenv(kVariable);
    if (now && std::strcmp(now, kDisable) == 0) ::unsetenv(kVariable);
}
