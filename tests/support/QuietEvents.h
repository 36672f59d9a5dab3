#pragma once
#include "platform/Platform.h"

// A window that takes every event and does nothing with it: for tests of a backend that
// need a window but no program behind it.
struct TQuietEvents : TWindowEvents {
    void FormPaint() override {}
    void Timer1Timer() override {}
    void FormMouseDown(TControl, TMouseButton, TShiftState, int, int) override {}
    void FormMouseMove(TControl, TShiftState, int, int) override {}
    void FormMouseUp(TControl, TMouseButton, TShiftState, int, int) override {}
    void FormKeyDown(TControl, int&, TShiftState) override {}
    void FormKeyUp(TControl, int&, TShiftState) override {}
    void AccessibleAction(int) override {}
    void AccessibleFocus(int) override {}
    void Memo1Change() override {}
    void Memo1MouseDown(TMouseButton, TShiftState, int, int) override {}
    void FormCloseQuery() override {}
    void FormDestroy() override {}
    void FormEndSession() override {}
};
