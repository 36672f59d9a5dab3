// The window's events reach its handlers here, and an error escaping one is shown here.
#include "app/WindowEvents.h"

#include <exception>

#include "app/MainUnit.h"

template <typename F>
void TWindowEventsGuard::Guard(F&& handler) {
    try {
        handler();
        // Whatever the event changed, a screen reader hears of it.
        Form.PublishAccessibles();
    } catch (const std::exception& e) {
        Form.Os.ShowErrorBox(kAppTitle, e.what());
    } catch (...) {
        Form.Os.ShowErrorBox(kAppTitle, "unexpected error");
    }
}

void TWindowEventsGuard::FormPaint() {
    Guard([&] { Form.FormPaint(); });
}

void TWindowEventsGuard::Timer1Timer() {
    Guard([&] { Form.Timer1Timer(); });
}

void TWindowEventsGuard::FormMouseDown(TControl sender, TMouseButton button, TShiftState shift,
                                       int x, int y) {
    Guard([&] { Form.FormMouseDown(sender, button, shift, x, y); });
}

void TWindowEventsGuard::FormMouseMove(TControl sender, TShiftState shift, int x, int y) {
    Guard([&] { Form.FormMouseMove(sender, shift, x, y); });
}

void TWindowEventsGuard::FormMouseUp(TControl sender, TMouseButton button, TShiftState shift, int x,
                                     int y) {
    Guard([&] { Form.FormMouseUp(sender, button, shift, x, y); });
}

void TWindowEventsGuard::FormKeyDown(TControl sender, int& key, TShiftState shift) {
    Guard([&] { Form.FormKeyDown(sender, key, shift); });
}

void TWindowEventsGuard::FormKeyUp(TControl sender, int& key, TShiftState shift) {
    Guard([&] { Form.FormKeyUp(sender, key, shift); });
}

void TWindowEventsGuard::AccessibleAction(int id) {
    Guard([&] { Form.AccessibleAction(id); });
}

void TWindowEventsGuard::AccessibleFocus(int id) {
    Guard([&] { Form.AccessibleFocus(id); });
}

void TWindowEventsGuard::Memo1Change() {
    Guard([&] { Form.Memo1Change(); });
}

void TWindowEventsGuard::Memo1MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    Guard([&] { Form.Memo1MouseDown(button, shift, x, y); });
}

void TWindowEventsGuard::FormCloseQuery() {
    Guard([&] { Form.FormCloseQuery(); });
}

void TWindowEventsGuard::FormDestroy() {
    Guard([&] { Form.FormDestroy(); });
}

void TWindowEventsGuard::FormEndSession() {
    // Nothing may be shown while the session ends: the handler keeps its own errors.
    Guard([&] { Form.FormEndSession(); });
}
