#pragma once
#include "platform/Platform.h"

class TOrvaneFM;
class TPlatform;

// What the operating system tells the main window, passed on to its handlers. An error
// that escapes a handler stops here, in one place for every backend: it is shown in the
// error box titled "Sablewick" and the program goes on, so no backend ever sees an
// exception (Windows could not pass one through its message dispatch).
class TWindowEventsGuard : public TWindowEvents {
public:
    explicit TWindowEventsGuard(TOrvaneFM& form) : Form(form) {}

    void FormPaint() override;
    void Timer1Timer() override;
    void FormMouseDown(TControl sender, TMouseButton button, TShiftState shift, int x,
                       int y) override;
    void FormMouseMove(TControl sender, TShiftState shift, int x, int y) override;
    void FormMouseUp(TControl sender, TMouseButton button, TShiftState shift, int x,
                     int y) override;
    void FormKeyDown(TControl sender, int& key, TShiftState shift) override;
    void FormKeyUp(TControl sender, int& key, TShiftState shift) override;
    void AccessibleAction(int id) override;
    void AccessibleFocus(int id) override;
    void Memo1Change() override;
    void Memo1MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void FormCloseQuery() override;
    void FormDestroy() override;
    void FormEndSession() override;

    TOrvaneFM& Form;

private:
    template <typename F>
    void Guard(F&& handler);
};

// The program whose window receives `events` (nullptr when none, or another kind).
inline TOrvaneFM* ProgramOf(TWindowEvents* events) {
    auto* guard = dynamic_cast<TWindowEventsGuard*>(events);
    return guard ? &guard->Form : nullptr;
}
