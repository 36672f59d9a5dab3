// What a screen reader finds of the painted window through MSAA: the window answers
// WM_GETOBJECT for its client area with one IAccessible of ours. Its real children (the
// labels and the wish box) are the system's own, taken from the standard client object;
// the painted buttons, the open index's cells and the reading follow them as simple
// elements, child ids after the real ones, answered by the parent (name, role, state,
// location, hit test, navigation, focus, default action). Changes go out as WinEvents.
// NVDA reads MSAA itself; Narrator reaches it through Windows' MSAA-to-UIA proxy.
//
// oleacc and oleaut32 are loaded when a screen reader first asks: a start without one
// pays nothing for them.
#include "platform/win32/Win32Platform.h"
// After the platform's header, which undoes the A/W macros that clash with its names.
#include <oleacc.h>

#include <algorithm>

namespace {
// {618736E0-3C3D-11CF-810C-00AA00389B71}, spelled here so that nothing links oleacc.
const IID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
// Windows 8's live-region event: Narrator and NVDA read the object's new name.
constexpr DWORD kEventLiveRegionChanged = 0x8019;

struct TOleAcc {
    HMODULE Module = nullptr;
    HMODULE Automation = nullptr;
    LRESULT(WINAPI* LresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
    HRESULT(WINAPI* CreateStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
    BSTR(WINAPI* SysAllocString)(const OLECHAR*) = nullptr;
    bool Ready() const { return LresultFromObject && CreateStdAccessibleObject && SysAllocString; }
};

template <typename T>
void Load(T& fn, HMODULE module, const char* name) {
    fn = reinterpret_cast<T>(SystemFunction(module, name));
}

const TOleAcc& OleAcc() {
    static TOleAcc acc = [] {
        TOleAcc a;
        a.Module = LoadSystemLibrary(L"oleacc.dll");
        a.Automation = LoadSystemLibrary(L"oleaut32.dll");
        Load(a.LresultFromObject, a.Module, "LresultFromObject");
        Load(a.CreateStdAccessibleObject, a.Module, "CreateStdAccessibleObject");
        Load(a.SysAllocString, a.Automation, "SysAllocString");
        return a;
    }();
    return acc;
}

LONG RoleOf(TAccessRole role) {
    switch (role) {
        case TAccessRole::PushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case TAccessRole::ListItem:
            return ROLE_SYSTEM_LISTITEM;
        case TAccessRole::Reading:
            return ROLE_SYSTEM_STATICTEXT;
    }
    return ROLE_SYSTEM_CLIENT;
}

LONG StateOf(const TAccessible& a, bool windowHasFocus) {
    LONG state = 0;
    if (a.Unavailable) state |= STATE_SYSTEM_UNAVAILABLE;
    if (a.Pressed) state |= STATE_SYSTEM_PRESSED;
    if (a.Focusable) state |= STATE_SYSTEM_FOCUSABLE;
    if (a.Focused && windowHasFocus) state |= STATE_SYSTEM_FOCUSED;
    if (a.Role == TAccessRole::ListItem) {
        state |= STATE_SYSTEM_SELECTABLE;
        if (a.Selected) state |= STATE_SYSTEM_SELECTED;
    }
    if (a.Role == TAccessRole::Reading) state |= STATE_SYSTEM_READONLY;
    return state;
}
}  // namespace

// The client area's accessible object. It lives while a screen reader holds it; once the
// window is gone, every call says so.
class TClientAccessible final : public IAccessible {
public:
    TClientAccessible(TWin32Platform* owner, IAccessible* standard)
        : Owner(owner), Standard(standard) {}

    void Disconnect() {
        Owner = nullptr;
        if (Standard) Standard->Release();
        Standard = nullptr;
    }

    // ---- IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, kIidAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&Refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&Refs);
        if (left == 0) {
            Disconnect();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // ---- IDispatch: screen readers call the vtable; nothing is scripted.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // ---- IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!Standard) return RPC_E_DISCONNECTED;
        return Standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!Standard || !count) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        *count = RealChildren() + static_cast<long>(Owner->FAccessibles.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!Standard || !out) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        *out = nullptr;
        if (Painted(child)) return S_FALSE;  // a simple element: the parent answers for it
        return Standard->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!Standard || !name) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        if (const TAccessible* a = Painted(child)) return Text(SjisToWide(a->Name), name);
        return Standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!Standard || !value) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        if (Painted(child)) {
            *value = nullptr;
            return S_FALSE;
        }
        return Standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (!Standard || !text) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        if (Painted(child)) {
            *text = nullptr;
            return S_FALSE;
        }
        return Standard->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!Standard || !role) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        if (const TAccessible* a = Painted(child)) {
            role->vt = VT_I4;
            role->lVal = RoleOf(a->Role);
            return S_OK;
        }
        return Standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!Standard || !state) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        if (const TAccessible* a = Painted(child)) {
            state->vt = VT_I4;
            state->lVal = StateOf(*a, GetFocus() == Owner->FMain);
            return S_OK;
        }
        return Standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        if (help) *help = nullptr;
        return Standard ? S_FALSE : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return Standard ? S_FALSE : RPC_E_DISCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        if (!Standard || !keys) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        if (Painted(child)) {
            *keys = nullptr;
            return S_FALSE;
        }
        return Standard->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!Standard || !focus) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        // The window itself has the keyboard while a painted button has the focus.
        if (GetFocus() == Owner->FMain) {
            const auto& list = Owner->FAccessibles;
            for (size_t i = 0; i < list.size(); ++i) {
                if (!list[i].Focused) continue;
                focus->vt = VT_I4;
                focus->lVal = RealChildren() + 1 + static_cast<long>(i);
                return S_OK;
            }
        }
        return Standard->get_accFocus(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!Standard || !selection) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        selection->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!Standard || !action) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        if (const TAccessible* a = Painted(child)) {
            if (a->Role == TAccessRole::Reading) {
                *action = nullptr;
                return S_FALSE;
            }
            // "押す" (press), in the program's own language as its names are.
            return Text(L"\x62BC\x3059", action);
        }
        return Standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        if (!Standard) return RPC_E_DISCONNECTED;
        if (const TAccessible* a = Painted(child)) {
            if (!(flags & SELFLAG_TAKEFOCUS) || !a->Focusable) return S_FALSE;
            Owner->PostAccessibleRequest(a->Id, false);
            return S_OK;
        }
        return Standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h,
                                          VARIANT child) override {
        if (!Standard || !x || !y || !w || !h) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        if (const TAccessible* a = Painted(child)) {
            RECT r = Owner->ScreenRectOf(*a);
            *x = r.left;
            *y = r.top;
            *w = r.right - r.left;
            *h = r.bottom - r.top;
            return S_OK;
        }
        return Standard->accLocation(x, y, w, h, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* end) override {
        if (!Standard || !end) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        const long real = RealChildren();
        const long count = static_cast<long>(Owner->FAccessibles.size());
        const bool self = start.vt == VT_I4 && start.lVal == CHILDID_SELF;
        long to = -1;
        if (self && dir == NAVDIR_LASTCHILD && count > 0) to = real + count;
        if (Painted(start)) {
            const long at = start.lVal;
            if ((dir == NAVDIR_NEXT || dir == NAVDIR_DOWN || dir == NAVDIR_RIGHT) &&
                at < real + count)
                to = at + 1;
            if ((dir == NAVDIR_PREVIOUS || dir == NAVDIR_UP || dir == NAVDIR_LEFT) && at > 1)
                to = at - 1;
            if (to >= 0 && to <= real) {
                // Back among the real children: the standard object tells those.
                end->vt = VT_I4;
                end->lVal = to;
                return S_OK;
            }
        }
        if (to > real) {
            end->vt = VT_I4;
            end->lVal = to;
            return S_OK;
        }
        if (Painted(start)) {
            end->vt = VT_EMPTY;
            return S_FALSE;
        }
        // From the last real child on, the painted elements follow.
        HRESULT hr = Standard->accNavigate(dir, start, end);
        if (hr != S_OK && !self && start.vt == VT_I4 && start.lVal == real && dir == NAVDIR_NEXT &&
            count > 0) {
            end->vt = VT_I4;
            end->lVal = real + 1;
            return S_OK;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (!Standard || !hit) return Standard ? E_POINTER : RPC_E_DISCONNECTED;
        const auto& list = Owner->FAccessibles;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].Role == TAccessRole::Reading) continue;  // the labels lie under it
            const RECT r = Owner->ScreenRectOf(list[i]);
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
                hit->vt = VT_I4;
                hit->lVal = RealChildren() + 1 + static_cast<long>(i);
                return S_OK;
            }
        }
        return Standard->accHitTest(x, y, hit);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!Standard) return RPC_E_DISCONNECTED;
        if (const TAccessible* a = Painted(child)) {
            if (a->Role == TAccessRole::Reading) return DISP_E_MEMBERNOTFOUND;
            // The press arrives as a posted message, as a click would, not inside the
            // screen reader's call.
            Owner->PostAccessibleRequest(a->Id, true);
            return S_OK;
        }
        return Standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // The standard client object counts the window's child controls.
    long RealChildren() {
        long n = 0;
        if (Standard && Standard->get_accChildCount(&n) != S_OK) n = 0;
        return n;
    }
    const TAccessible* Painted(const VARIANT& child) {
        if (!Owner || child.vt != VT_I4) return nullptr;
        const long index = child.lVal - RealChildren() - 1;
        if (child.lVal <= 0 || index < 0 || index >= static_cast<long>(Owner->FAccessibles.size()))
            return nullptr;
        return &Owner->FAccessibles[static_cast<size_t>(index)];
    }
    static HRESULT Text(const std::wstring& text, BSTR* out) {
        *out = OleAcc().SysAllocString(text.c_str());
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    LONG Refs = 1;
    TWin32Platform* Owner;
    IAccessible* Standard;
};

LRESULT TWin32Platform::AnswerGetObject(WPARAM wp, LPARAM lp) {
    if (static_cast<LONG>(lp) != OBJID_CLIENT || !FMain)
        return DefWindowProcW(FMain, WM_GETOBJECT, wp, lp);
    const TOleAcc& acc = OleAcc();
    if (!acc.Ready()) return DefWindowProcW(FMain, WM_GETOBJECT, wp, lp);
    // Marshalling the object to another process needs this thread in an apartment.
    EnterComApartment();
    if (!FAccessible) {
        IAccessible* standard = nullptr;
        if (FAILED(acc.CreateStdAccessibleObject(FMain, OBJID_CLIENT, kIidAccessible,
                                                 reinterpret_cast<void**>(&standard))) ||
            !standard)
            return DefWindowProcW(FMain, WM_GETOBJECT, wp, lp);
        FAccessible = new TClientAccessible(this, standard);
    }
    return acc.LresultFromObject(kIidAccessible, wp, static_cast<IAccessible*>(FAccessible));
}

void TWin32Platform::ForgetAccessible() {
    if (!FAccessible) return;
    FAccessible->Disconnect();
    FAccessible->Release();
    FAccessible = nullptr;
}

RECT TWin32Platform::ScreenRectOf(const TAccessible& a) const {
    // The physical pixels that show the program's rectangle, on the screen.
    RECT r = {FScale.Edge(a.X), FScale.Edge(a.Y), FScale.Edge(a.X + a.W), FScale.Edge(a.Y + a.H)};
    if (FMain) MapWindowPoints(FMain, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void TWin32Platform::PostAccessibleRequest(int id, bool action) {
    if (FMain) PostMessageW(FMain, kAccessibleRequest, static_cast<WPARAM>(action), id);
}

void TWin32Platform::OnAccessibleRequest(WPARAM action, LPARAM id) {
    const int which = static_cast<int>(id);
    if (action)
        Deliver([this, which] { FEvents->AccessibleAction(which); });
    else
        Deliver([this, which] { FEvents->AccessibleFocus(which); });
}

void TWin32Platform::PublishAccessibles(const std::vector<TAccessible>& objects) {
    if (!FMain) {
        FAccessibles = objects;
        return;
    }
    // Child ids follow the real children; WinEvents name them as they are now.
    LONG real = 0;
    for (HWND c = GetWindow(FMain, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++real;
    const std::vector<TAccessible> before = std::move(FAccessibles);
    FAccessibles = objects;
    auto childId = [&](size_t index) { return real + 1 + static_cast<LONG>(index); };
    bool reordered = before.size() != objects.size();
    for (size_t i = 0; i < before.size(); ++i) {
        const int id = before[i].Id;
        if (std::none_of(objects.begin(), objects.end(),
                         [id](const TAccessible& a) { return a.Id == id; })) {
            NotifyWinEvent(EVENT_OBJECT_DESTROY, FMain, OBJID_CLIENT, childId(i));
            reordered = true;
        }
    }
    const bool windowHasFocus = GetFocus() == FMain;
    for (size_t i = 0; i < objects.size(); ++i) {
        const TAccessible& now = objects[i];
        const auto was = std::find_if(before.begin(), before.end(),
                                      [&](const TAccessible& a) { return a.Id == now.Id; });
        if (was == before.end()) {
            NotifyWinEvent(EVENT_OBJECT_CREATE, FMain, OBJID_CLIENT, childId(i));
            reordered = true;
            continue;
        }
        if (static_cast<size_t>(was - before.begin()) != i) reordered = true;
        if (was->Name != now.Name) {
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, FMain, OBJID_CLIENT, childId(i));
            if (now.Role == TAccessRole::Reading && !now.Name.empty())
                NotifyWinEvent(kEventLiveRegionChanged, FMain, OBJID_CLIENT, childId(i));
        }
        if (StateOf(*was, true) != StateOf(now, true))
            NotifyWinEvent(EVENT_OBJECT_STATECHANGE, FMain, OBJID_CLIENT, childId(i));
        if (was->X != now.X || was->Y != now.Y || was->W != now.W || was->H != now.H)
            NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, FMain, OBJID_CLIENT, childId(i));
        if (now.Focused && !was->Focused && windowHasFocus)
            NotifyWinEvent(EVENT_OBJECT_FOCUS, FMain, OBJID_CLIENT, childId(i));
    }
    if (reordered) NotifyWinEvent(EVENT_OBJECT_REORDER, FMain, OBJID_CLIENT, CHILDID_SELF);
}

void TWin32Platform::FocusWindow() {
    if (!FMain) return;
    // The focus event of the painted button follows with the objects published next.
    FWindowHasFocus = true;
    if (GetFocus() != FMain) SetFocus(FMain);
}

bool TWin32Platform::KeyboardCuesShown() {
    // The window's UI state, as the system keeps it: focus rectangles hidden until the
    // keyboard is used, unless the user asked Windows to show them always.
    if (FMain && !(SendMessageW(FMain, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) return true;
    BOOL always = FALSE;
    return SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0) && always;
}
