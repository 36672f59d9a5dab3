#pragma once
// GDK opens OpenGL (libGL, a DRI driver and, with Mesa, LLVM) when it opens an X display,
// only to learn which visuals GL could draw on. This program paints with Cairo alone, so
// the libraries would cost tens of megabytes and part of the start for nothing.

// Before gtk_init: tells GDK to leave GL alone (its GDK_GL=disable), unless the user set
// GDK_GL themselves, whose value then stands. Returns whether the variable is ours.
bool KeepGdkFromGl();

// After the display is open (GDK has read the variable by then): our own value goes
// again, so the programs started from here (a browser, a desktop tool) get the user's
// environment. Call it before any thread of ours starts: it changes the environment.
void ForgetGdkGlSetting(bool ours);
