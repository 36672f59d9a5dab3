// What a screen reader finds of the painted window through ATK: the drawing widget's
// accessible, a container accessible of its own, answers one AtkObject per painted
// button, index cell and the reading beside its real children (the labels and the wish
// box, which GTK makes accessible itself). Each painted object has its role, name and
// states, AtkComponent (where it is, taking the focus) and AtkAction ("click", which goes
// down the road of a click). Changes reach the screen reader as ATK's signals.
#include <gtk/gtk-a11y.h>

#include <algorithm>

#include "platform/gtk/GtkPlatform.h"

// ---- One painted object ---------------------------------------------------------------

struct SwPainted {
    AtkObject Parent;
    TGtkPlatform* Owner;
    TAccessible Info;
};
struct SwPaintedClass {
    AtkObjectClass ParentClass;
};

static void sw_painted_component_init(AtkComponentIface* iface);
static void sw_painted_action_init(AtkActionIface* iface);
G_DEFINE_TYPE_WITH_CODE(SwPainted, sw_painted, ATK_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT, sw_painted_component_init)
                            G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, sw_painted_action_init))

namespace {
SwPainted* Painted(gpointer object) {
    return reinterpret_cast<SwPainted*>(object);
}

AtkRole RoleOf(TAccessRole role) {
    switch (role) {
        case TAccessRole::PushButton:
            return ATK_ROLE_PUSH_BUTTON;
        case TAccessRole::ListItem:
            return ATK_ROLE_LIST_ITEM;
        case TAccessRole::Reading:
            return ATK_ROLE_STATUSBAR;
    }
    return ATK_ROLE_UNKNOWN;
}
}  // namespace

static void sw_painted_init(SwPainted* self) {
    self->Owner = nullptr;
    new (&self->Info) TAccessible();
}

static void sw_painted_finalize(GObject* object) {
    Painted(object)->Info.~TAccessible();
    G_OBJECT_CLASS(sw_painted_parent_class)->finalize(object);
}

static AtkStateSet* sw_painted_ref_state_set(AtkObject* object) {
    AtkStateSet* set = ATK_OBJECT_CLASS(sw_painted_parent_class)->ref_state_set(object);
    const SwPainted* self = Painted(object);
    if (!self->Owner) {
        // Its window is gone; so is it.
        atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
        return set;
    }
    const TAccessible& a = self->Info;
    atk_state_set_add_state(set, ATK_STATE_VISIBLE);
    atk_state_set_add_state(set, ATK_STATE_SHOWING);
    if (!a.Unavailable) {
        atk_state_set_add_state(set, ATK_STATE_ENABLED);
        atk_state_set_add_state(set, ATK_STATE_SENSITIVE);
    }
    if (a.Pressed) atk_state_set_add_state(set, ATK_STATE_PRESSED);
    if (a.Focusable) atk_state_set_add_state(set, ATK_STATE_FOCUSABLE);
    if (a.Focused && self->Owner->PaintedHaveKeyboard())
        atk_state_set_add_state(set, ATK_STATE_FOCUSED);
    if (a.Role == TAccessRole::ListItem) {
        atk_state_set_add_state(set, ATK_STATE_SELECTABLE);
        if (a.Selected) atk_state_set_add_state(set, ATK_STATE_SELECTED);
    }
    return set;
}

static gint sw_painted_get_index_in_parent(AtkObject* object) {
    const SwPainted* self = Painted(object);
    return self->Owner ? self->Owner->AccessibleIndex(object) : -1;
}

// The reading is a polite live region: a screen reader reads its new text out without
// the focus moving there.
static AtkAttributeSet* sw_painted_get_attributes(AtkObject* object) {
    AtkAttributeSet* attributes = nullptr;
    if (Painted(object)->Info.Role != TAccessRole::Reading) return attributes;
    auto add = [&](const char* name, const char* value) {
        auto* attribute = static_cast<AtkAttribute*>(g_malloc(sizeof(AtkAttribute)));
        attribute->name = g_strdup(name);
        attribute->value = g_strdup(value);
        attributes = g_slist_append(attributes, attribute);
    };
    add("live", "polite");
    add("container-live", "polite");
    add("atomic", "true");
    return attributes;
}

static void sw_painted_class_init(SwPaintedClass* klass) {
    G_OBJECT_CLASS(klass)->finalize = sw_painted_finalize;
    AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
    atk->ref_state_set = sw_painted_ref_state_set;
    atk->get_index_in_parent = sw_painted_get_index_in_parent;
    atk->get_attributes = sw_painted_get_attributes;
}

static void sw_painted_get_extents(AtkComponent* component, gint* x, gint* y, gint* width,
                                   gint* height, AtkCoordType coords) {
    const SwPainted* self = Painted(component);
    *x = *y = *width = *height = -1;
    if (self->Owner) self->Owner->AccessibleExtents(self->Info, coords, *x, *y, *width, *height);
}

static gboolean sw_painted_grab_focus(AtkComponent* component) {
    SwPainted* self = Painted(component);
    if (!self->Owner || !self->Info.Focusable) return FALSE;
    self->Owner->FocusAccessibleFromReader(self->Info.Id);
    return TRUE;
}

static void sw_painted_component_init(AtkComponentIface* iface) {
    iface->get_extents = sw_painted_get_extents;
    iface->grab_focus = sw_painted_grab_focus;
}

static gint sw_painted_get_n_actions(AtkAction* action) {
    return Painted(action)->Info.Role == TAccessRole::Reading ? 0 : 1;
}

static gboolean sw_painted_do_action(AtkAction* action, gint i) {
    SwPainted* self = Painted(action);
    if (i != 0 || !self->Owner || self->Info.Role == TAccessRole::Reading) return FALSE;
    self->Owner->ActOnAccessibleFromReader(self->Info.Id);
    return TRUE;
}

static const gchar* sw_painted_get_action_name(AtkAction*, gint i) {
    return i == 0 ? "click" : nullptr;
}

static void sw_painted_action_init(AtkActionIface* iface) {
    iface->get_n_actions = sw_painted_get_n_actions;
    iface->do_action = sw_painted_do_action;
    iface->get_name = sw_painted_get_action_name;
}

// ---- The drawing widget's accessible ---------------------------------------------------

struct SwLayoutAccessible {
    GtkContainerAccessible Parent;
};
struct SwLayoutAccessibleClass {
    GtkContainerAccessibleClass ParentClass;
};
G_DEFINE_TYPE(SwLayoutAccessible, sw_layout_accessible, GTK_TYPE_CONTAINER_ACCESSIBLE)

namespace {
TGtkPlatform* OwnerOf(AtkObject* accessible) {
    GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible));
    return widget ? static_cast<TGtkPlatform*>(g_object_get_data(G_OBJECT(widget), "sablewick"))
                  : nullptr;
}
}  // namespace

static void sw_layout_accessible_init(SwLayoutAccessible*) {}

// The real children first, as GTK counts them, then the painted ones.
static gint sw_layout_accessible_get_n_children(AtkObject* object) {
    const gint real = ATK_OBJECT_CLASS(sw_layout_accessible_parent_class)->get_n_children(object);
    TGtkPlatform* owner = OwnerOf(object);
    return real + (owner ? owner->PaintedAccessibleCount() : 0);
}

static AtkObject* sw_layout_accessible_ref_child(AtkObject* object, gint i) {
    const gint real = ATK_OBJECT_CLASS(sw_layout_accessible_parent_class)->get_n_children(object);
    if (i < real) return ATK_OBJECT_CLASS(sw_layout_accessible_parent_class)->ref_child(object, i);
    TGtkPlatform* owner = OwnerOf(object);
    AtkObject* painted = owner ? owner->PaintedAccessible(i - real) : nullptr;
    return painted ? ATK_OBJECT(g_object_ref(painted)) : nullptr;
}

static void sw_layout_accessible_class_init(SwLayoutAccessibleClass* klass) {
    AtkObjectClass* atk = ATK_OBJECT_CLASS(klass);
    atk->get_n_children = sw_layout_accessible_get_n_children;
    atk->ref_child = sw_layout_accessible_ref_child;
}

// ---- The drawing widget: a GtkLayout whose accessible is the one above ------------------

struct SwLayout {
    GtkLayout Parent;
};
struct SwLayoutClass {
    GtkLayoutClass ParentClass;
};
G_DEFINE_TYPE(SwLayout, sw_layout, GTK_TYPE_LAYOUT)

static void sw_layout_init(SwLayout*) {}

static void sw_layout_class_init(SwLayoutClass* klass) {
    gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(klass), sw_layout_accessible_get_type());
}

GtkWidget* NewAccessibleLayout(TGtkPlatform* owner) {
    GtkWidget* layout = GTK_WIDGET(g_object_new(sw_layout_get_type(), nullptr));
    g_object_set_data(G_OBJECT(layout), "sablewick", owner);
    return layout;
}

// ---- The platform's side ----------------------------------------------------------------

int TGtkPlatform::PaintedAccessibleCount() const {
    return static_cast<int>(FPainted.size());
}

AtkObject* TGtkPlatform::PaintedAccessible(int index) const {
    return index >= 0 && index < PaintedAccessibleCount() ? FPainted[index] : nullptr;
}

int TGtkPlatform::AccessibleIndex(AtkObject* painted) const {
    const auto at = std::find(FPainted.begin(), FPainted.end(), painted);
    if (at == FPainted.end() || !FLayout) return -1;
    AtkObject* container = gtk_widget_get_accessible(FLayout);
    const gint real =
        ATK_OBJECT_CLASS(sw_layout_accessible_parent_class)->get_n_children(container);
    return real + static_cast<int>(at - FPainted.begin());
}

void TGtkPlatform::AccessibleExtents(const TAccessible& a, AtkCoordType coords, int& x, int& y,
                                     int& w, int& h) {
    if (!FLayout || !gtk_widget_get_realized(FLayout)) return;
    // GTK's logical pixels are the program's own (GetWindowSize): only the origin moves.
    GdkWindow* bin = gtk_layout_get_bin_window(GTK_LAYOUT(FLayout));
    int ox = 0, oy = 0;
    if (coords == ATK_XY_SCREEN) {
        gdk_window_get_origin(bin, &ox, &oy);
    } else if (coords == ATK_XY_WINDOW) {
        gdk_window_get_origin(bin, &ox, &oy);
        int wx = 0, wy = 0;
        gdk_window_get_origin(gtk_widget_get_window(FWindow), &wx, &wy);
        ox -= wx;
        oy -= wy;
    }
    x = ox + a.X;
    y = oy + a.Y;
    w = a.W;
    h = a.H;
}

void TGtkPlatform::ActOnAccessibleFromReader(int id) {
    // A screen reader's request arrives in the middle of its own call: the press is made
    // at the main loop's next turn, as a click would come.
    struct TRequest {
        TGtkPlatform* Self;
        int Id;
    };
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        +[](gpointer p) {
            auto* request = static_cast<TRequest*>(p);
            TGtkPlatform* self = request->Self;
            const int id = request->Id;
            self->Deliver([self, id] { self->FEvents->AccessibleAction(id); });
            return G_SOURCE_REMOVE;
        },
        new TRequest{this, id}, +[](gpointer p) { delete static_cast<TRequest*>(p); });
}

void TGtkPlatform::FocusAccessibleFromReader(int id) {
    Deliver([this, id] { FEvents->AccessibleFocus(id); });
}

void TGtkPlatform::PublishAccessibles(const std::vector<TAccessible>& objects) {
    if (!FLayout) return;
    AtkObject* container = gtk_widget_get_accessible(FLayout);
    const gint real =
        ATK_OBJECT_CLASS(sw_layout_accessible_parent_class)->get_n_children(container);
    // Objects gone: removed from the end first, so the indices told stay true.
    for (int i = PaintedAccessibleCount() - 1; i >= 0; --i) {
        const int id = Painted(FPainted[i])->Info.Id;
        const bool kept = std::any_of(objects.begin(), objects.end(),
                                      [id](const TAccessible& a) { return a.Id == id; });
        if (kept) continue;
        AtkObject* gone = FPainted[i];
        FPainted.erase(FPainted.begin() + i);
        g_signal_emit_by_name(container, "children-changed::remove", real + i, gone);
        Painted(gone)->Owner = nullptr;
        atk_object_notify_state_change(gone, ATK_STATE_DEFUNCT, TRUE);
        g_object_unref(gone);
    }
    // The objects kept tell what changed about them; new ones are added where they
    // stand. The order of the kept ones never changes between two publications.
    for (size_t n = 0; n < objects.size(); ++n) {
        const TAccessible& want = objects[n];
        auto at = std::find_if(FPainted.begin(), FPainted.end(),
                               [&](AtkObject* o) { return Painted(o)->Info.Id == want.Id; });
        if (at == FPainted.end()) {
            auto* painted = static_cast<SwPainted*>(g_object_new(sw_painted_get_type(), nullptr));
            painted->Owner = this;
            painted->Info = want;
            AtkObject* object = ATK_OBJECT(painted);
            atk_object_set_role(object, RoleOf(want.Role));
            atk_object_set_name(object, SjisToUtf8(want.Name).c_str());
            atk_object_set_parent(object, container);
            const size_t index = std::min(n, FPainted.size());
            FPainted.insert(FPainted.begin() + index, object);
            g_signal_emit_by_name(container, "children-changed::add",
                                  real + static_cast<gint>(index), object);
            continue;
        }
        AtkObject* object = *at;
        TAccessible& had = Painted(object)->Info;
        if (had == want) continue;
        const TAccessible old = had;
        had = want;
        if (old.Name != want.Name) atk_object_set_name(object, SjisToUtf8(want.Name).c_str());
        if (old.Unavailable != want.Unavailable) {
            atk_object_notify_state_change(object, ATK_STATE_ENABLED, !want.Unavailable);
            atk_object_notify_state_change(object, ATK_STATE_SENSITIVE, !want.Unavailable);
        }
        if (old.Pressed != want.Pressed)
            atk_object_notify_state_change(object, ATK_STATE_PRESSED, want.Pressed);
        if (old.Focusable != want.Focusable)
            atk_object_notify_state_change(object, ATK_STATE_FOCUSABLE, want.Focusable);
        if (old.Selected != want.Selected)
            atk_object_notify_state_change(object, ATK_STATE_SELECTED, want.Selected);
        if (old.Focused != want.Focused)
            atk_object_notify_state_change(object, ATK_STATE_FOCUSED, want.Focused);
        if (old.X != want.X || old.Y != want.Y || old.W != want.W || old.H != want.H) {
            AtkRectangle bounds = {want.X, want.Y, want.W, want.H};
            g_signal_emit_by_name(object, "bounds-changed", &bounds);
        }
    }
}

void TGtkPlatform::ForgetAccessibles() {
    for (AtkObject* object : FPainted) {
        Painted(object)->Owner = nullptr;
        atk_object_notify_state_change(object, ATK_STATE_DEFUNCT, TRUE);
        g_object_unref(object);
    }
    FPainted.clear();
}

bool TGtkPlatform::KeyboardCuesShown() {
    return FWindow && gtk_window_get_focus_visible(GTK_WINDOW(FWindow));
}
