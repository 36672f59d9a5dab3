#pragma once

// The window's event handlers running now, one inside another (a menu's or a box's loop
// runs handlers of its own). A close asked for inside one destroys the window only once
// the outermost has returned: code still running there may use the window. Shared by the
// backends that destroy the window themselves (GTK, headless); Windows posts the
// destruction to its loop instead.
class TNestedHandlers {
public:
    bool Running() const { return FDepth > 0; }
    // Destroys at once outside every handler, else once the outermost returns.
    template <typename Destroy>
    void Close(Destroy&& destroy) {
        if (FDepth > 0)
            FPending = true;
        else
            destroy();
    }
    template <typename Handler, typename Destroy>
    void Run(Handler&& handler, Destroy&& destroy) {
        ++FDepth;
        handler();
        --FDepth;
        if (FDepth == 0 && FPending) {
            FPending = false;
            destroy();
        }
    }
    // The window is being destroyed: a close asked for before is done.
    void Destroying() { FPending = false; }

private:
    int FDepth = 0;
    bool FPending = false;
};
