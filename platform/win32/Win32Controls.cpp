// The four card labels (STATIC controls) and the wish box (a multi-line EDIT): real
// child controls, so screen readers and input methods work with them, subclassed so that
// their mouse presses and keys reach the window's handlers.
#include "platform/win32/Win32Platform.h"

#include <imm.h>
#include <windowsx.h>

namespace {
// The faces the labels may use, best first. MS Gothic, the face the layout was made
// with, under its Japanese name ("ＭＳ ゴシック": full-width M and S, a space, katakana
// go-shi-k-ku) and its English one: an optional font outside Japanese Windows. Then
// faces with Japanese glyphs that every Windows 10 and 11 carries (Yu Gothic UI, Yu
// Gothic, 游ゴシック), and the older Meiryo (メイリオ) and MS UI Gothic.
const wchar_t* const kJapaneseFaces[] = {
    L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF",
    L"MS Gothic",
    L"Yu Gothic UI",
    L"Yu Gothic",
    L"\x6E38\x30B4\x30B7\x30C3\x30AF",
    L"Meiryo",
    L"\x30E1\x30A4\x30EA\x30AA",
    L"MS UI Gothic",
};
constexpr int kFirstLabelId = 100;
constexpr int kMemoId = 200;
constexpr DWORD kAlignBits = SS_TYPEMASK | SS_CENTERIMAGE;

DWORD LabelAlignStyle(const TLabelStyle& style) {
    DWORD bits = 0;
    if (style.Centred)
        bits |= SS_CENTER;
    else
        bits |= style.WordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
    // For text, SS_CENTERIMAGE means one line centred vertically.
    if (style.VCentred) bits |= SS_CENTERIMAGE;
    return bits;
}
}  // namespace

TWin32Platform::TChild* TWin32Platform::Child(TControl id) {
    // A control destroyed with the window is gone, as its handle is: nothing may reach
    // a handle Windows can give to another window.
    auto it = FChildren.find(id);
    return it == FChildren.end() || !it->second->Hwnd ? nullptr : it->second;
}

TWin32Platform::TChild& TWin32Platform::NewChild(TControl id, HWND hwnd, const TLabelStyle& style) {
    auto* child = new TChild;
    child->Owner = this;
    child->Id = id;
    child->Hwnd = hwnd;
    child->Style = style;
    FChildren[id] = child;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(child));
    child->OldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChildProc)));
    return *child;
}

std::wstring PickJapaneseFace(const std::vector<std::wstring>& installed) {
    for (const wchar_t* face : kJapaneseFaces)
        for (const std::wstring& have : installed)
            if (CompareStringOrdinal(face, -1, have.c_str(), -1, TRUE) == CSTR_EQUAL) return face;
    return std::wstring();
}

namespace {
int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM lp) {
    auto* faces = reinterpret_cast<std::vector<std::wstring>*>(lp);
    // "@" names the same face turned for vertical writing.
    if (font->lfFaceName[0] != L'@') faces->push_back(font->lfFaceName);
    return 1;
}

struct TFaceQuery {
    const wchar_t* Asked;
    bool Found;
};

// Stops the enumeration of one asked face at its first font listed by that very name.
int CALLBACK MatchFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM lp) {
    auto* query = reinterpret_cast<TFaceQuery*>(lp);
    query->Found = CompareStringOrdinal(font->lfFaceName, -1, query->Asked, -1, TRUE) == CSTR_EQUAL;
    return query->Found ? 0 : 1;
}

HFONT CreateJapaneseFont(int lfHeight, const wchar_t* face) {
    return CreateFontW(lfHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, face);
}
}  // namespace

std::vector<std::wstring> InstalledJapaneseFaces() {
    std::vector<std::wstring> faces;
    HDC dc = GetDC(nullptr);
    if (!dc) return faces;
    LOGFONTW query = {};
    query.lfCharSet = SHIFTJIS_CHARSET;
    EnumFontFamiliesExW(dc, &query, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
    ReleaseDC(nullptr, dc);
    return faces;
}

std::wstring FirstInstalledJapaneseFace() {
    HDC dc = GetDC(nullptr);
    if (!dc) return std::wstring();
    // Each face of the list is asked for by name, best first: the same choice as
    // PickJapaneseFace over every installed face, without listing them all, which takes
    // long on a system with many fonts.
    std::wstring found;
    for (const wchar_t* face : kJapaneseFaces) {
        LOGFONTW wanted = {};
        wanted.lfCharSet = SHIFTJIS_CHARSET;
        lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
        TFaceQuery query = {face, false};
        EnumFontFamiliesExW(dc, &wanted, MatchFace, reinterpret_cast<LPARAM>(&query), 0);
        if (query.Found) {
            found = face;
            break;
        }
    }
    ReleaseDC(nullptr, dc);
    return found;
}

namespace {
// What the labels show besides Japanese: the card number and Latin names. A face made
// only for CJK (a fallback font) would draw these as empty boxes.
bool DrawsTheLabelsText(HDC dc, const std::wstring& face) {
    static const wchar_t kSample[] = L"CARD.0123456789 Sablewick \x5360\x3044\x3042\x30A2\x2606";
    HFONT font = CreateJapaneseFont(-12, face.c_str());
    if (!font) return false;
    HGDIOBJ old = SelectObject(dc, font);
    constexpr int n = static_cast<int>(sizeof kSample / sizeof kSample[0]) - 1;
    WORD glyphs[n] = {};
    bool all = GetGlyphIndicesW(dc, kSample, n, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == n;
    for (WORD glyph : glyphs) all = all && glyph != 0xFFFF;
    SelectObject(dc, old);
    DeleteObject(font);
    return all;
}
}  // namespace

const std::wstring& TWin32Platform::JapaneseFace() {
    if (!FFace.empty()) return FFace;
    FFace = FirstInstalledJapaneseFace();
    HDC dc = FFace.empty() ? GetDC(nullptr) : nullptr;
    if (dc) {
        const std::vector<std::wstring> installed = InstalledJapaneseFaces();
        // None of ours: the face Windows itself picks for Shift-JIS text, when it draws
        // everything the labels show; else the first face that does.
        HFONT probe = CreateJapaneseFont(-12, L"");
        if (probe) {
            HGDIOBJ old = SelectObject(dc, probe);
            wchar_t mapped[LF_FACESIZE] = {};
            if (GetTextFaceW(dc, LF_FACESIZE, mapped) > 0) FFace = mapped;
            SelectObject(dc, old);
            DeleteObject(probe);
        }
        if (FFace.empty() || !DrawsTheLabelsText(dc, FFace)) {
            for (const std::wstring& face : installed) {
                if (DrawsTheLabelsText(dc, face)) {
                    FFace = face;
                    break;
                }
            }
        }
        ReleaseDC(nullptr, dc);
    }
    // Named, so that every size of the labels' font is the same face.
    if (FFace.empty()) FFace = kJapaneseFaces[0];
    return FFace;
}

HFONT TWin32Platform::GothicFont(int lfHeight) {
    auto it = FFonts.find(lfHeight);
    if (it != FFonts.end()) return it->second;
    HFONT font = CreateJapaneseFont(lfHeight, JapaneseFace().c_str());
    if (font) FFonts[lfHeight] = font;
    return font;
}

void TWin32Platform::ApplyFont(TChild& child, int lfHeight) {
    HFONT font = GothicFont(lfHeight);
    if (font && font != child.Font) {
        child.Font = font;
        SendMessageW(child.Hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

void TWin32Platform::ApplyLabelStyle(TChild& child, const TLabelStyle& style) {
    if (!child.Background || style.Background != child.Style.Background) {
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(style.Background));
        if (brush) {
            if (child.Background) DeleteObject(child.Background);
            child.Background = brush;
        }
    }
    child.Style = style;
    // The font is made at the monitor's scale, so Windows draws the text at its full
    // resolution instead of the picture being stretched.
    const int height = FScale.Length(style.CellHeight);
    if (child.Id == TControl::Memo1) {
        // The wish box's size is a character height, as the box is laid out; the labels
        // are given cell heights (internal leading included, a positive height).
        ApplyFont(child, -height);
    } else {
        const LONG_PTR old = GetWindowLongPtrW(child.Hwnd, GWL_STYLE);
        const LONG_PTR wanted = (old & ~static_cast<LONG_PTR>(kAlignBits)) | LabelAlignStyle(style);
        if (wanted != old) SetWindowLongPtrW(child.Hwnd, GWL_STYLE, wanted);
        ApplyFont(child, height);
    }
    InvalidateRect(child.Hwnd, nullptr, TRUE);
}

HBRUSH TWin32Platform::ColourControl(HWND control, HDC dc) {
    auto* child = reinterpret_cast<TChild*>(GetWindowLongPtrW(control, GWLP_USERDATA));
    if (!child || child->Owner != this || !child->Background) return nullptr;
    SetTextColor(dc, static_cast<COLORREF>(child->Style.TextColor));
    SetBkColor(dc, static_cast<COLORREF>(child->Style.Background));
    SetBkMode(dc, OPAQUE);
    return child->Background;
}

void TWin32Platform::CreateLabel(TControl id, int x, int y, int w, int h,
                                 const TLabelStyle& style) {
    if (!FMain || Child(id)) return;
    // SS_NOTIFY: the label takes mouse input instead of letting it through to the
    // window; SS_NOPREFIX: an "&" in a card text is shown, not taken for an accelerator.
    const DWORD styleBits =
        WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | LabelAlignStyle(style);
    HWND hwnd = CreateWindowExW(
        0, L"STATIC", L"", styleBits, x, y, w, h, FMain,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstLabelId + static_cast<int>(id))),
        FInstance, nullptr);
    if (!hwnd) ThrowWin32Error("CreateWindowEx(STATIC)");
    TChild& child = NewChild(id, hwnd, style);
    child.X = x;
    child.Y = y;
    child.W = w;
    child.H = h;
    if (!FScale.Identity()) PlaceChild(child);
    ApplyLabelStyle(child, style);
}

void TWin32Platform::SetLabelStyle(TControl id, const TLabelStyle& style) {
    if (TChild* child = Child(id)) ApplyLabelStyle(*child, style);
}

void TWin32Platform::SetLabelText(TControl id, const std::string& text) {
    if (TChild* child = Child(id)) SetWindowTextW(child->Hwnd, SjisToWide(text).c_str());
}

void TWin32Platform::SetLabelVisible(TControl id, bool visible) {
    if (TChild* child = Child(id)) ShowWindow(child->Hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

void TWin32Platform::CreateMemo(int x, int y, int w, int h, int maxLength,
                                const TLabelStyle& style) {
    if (!FMain || Child(TControl::Memo1)) return;
    // No border, no scroll bars; read-only and hidden until the program says otherwise.
    const DWORD styleBits = WS_CHILD | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
    HWND hwnd =
        CreateWindowExW(0, L"EDIT", L"", styleBits, x, y, w, h, FMain,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMemoId)), FInstance, nullptr);
    if (!hwnd) ThrowWin32Error("CreateWindowEx(EDIT)");
    TChild& child = NewChild(TControl::Memo1, hwnd, style);
    FReportedMemoText.clear();
    child.X = x;
    child.Y = y;
    child.W = w;
    child.H = h;
    if (!FScale.Identity()) PlaceChild(child);
    SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(maxLength > 0 ? maxLength : 0), 0);
    // The input method follows the thread's default context; make sure nothing left the
    // box without one.
    ImmAssociateContextEx(hwnd, nullptr, IACE_DEFAULT);
    ApplyLabelStyle(child, style);
}

void TWin32Platform::SetMemoStyle(const TLabelStyle& style) {
    if (TChild* memo = Child(TControl::Memo1)) ApplyLabelStyle(*memo, style);
}

std::string TWin32Platform::MemoText() {
    TChild* memo = Child(TControl::Memo1);
    if (!memo) return std::string();
    const int n = GetWindowTextLengthW(memo->Hwnd);
    if (n <= 0) return std::string();
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(memo->Hwnd, &text[0], n + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return WideToSjis(text);
}

// A multi-line edit does not report WM_SETTEXT as a change (the documented exception
// for ES_MULTILINE), while the program counts a change set by itself like a typed one:
// the control's own notification is held back and the change reported exactly once.
void TWin32Platform::SetMemoText(const std::string& text) {
    TChild* memo = Child(TControl::Memo1);
    // Setting the text the box already holds is no change: nothing is reported.
    if (!memo || MemoText() == text) return;
    FSettingMemoText = true;
    SetWindowTextW(memo->Hwnd, SjisToWide(text).c_str());
    FSettingMemoText = false;
    FReportedMemoText = MemoText();
    Deliver([this] { FEvents->Memo1Change(); });
}

bool TWin32Platform::MemoReadOnly() {
    TChild* memo = Child(TControl::Memo1);
    return memo && (GetWindowLongW(memo->Hwnd, GWL_STYLE) & ES_READONLY) != 0;
}

void TWin32Platform::SetMemoReadOnly(bool readOnly) {
    if (TChild* memo = Child(TControl::Memo1))
        SendMessageW(memo->Hwnd, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void TWin32Platform::SetMemoVisible(bool visible) {
    TChild* memo = Child(TControl::Memo1);
    if (!memo) return;
    // A hidden window keeps the keyboard focus if nobody moves it, and would go on
    // taking typed characters; the window itself takes the keys while the box is away.
    if (!visible && GetFocus() == memo->Hwnd && FMain) SetFocus(FMain);
    ShowWindow(memo->Hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

void TWin32Platform::FocusMemo() {
    TChild* memo = Child(TControl::Memo1);
    if (memo && IsWindowVisible(memo->Hwnd)) SetFocus(memo->Hwnd);
}

int TWin32Platform::MemoCaret() {
    TChild* memo = Child(TControl::Memo1);
    if (!memo) return 0;
    DWORD start = 0, end = 0;
    SendMessageW(memo->Hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void TWin32Platform::SetMemoCaret(int pos) {
    TChild* memo = Child(TControl::Memo1);
    if (!memo) return;
    if (pos < 0) pos = 0;
    SendMessageW(memo->Hwnd, EM_SETSEL, static_cast<WPARAM>(pos), static_cast<LPARAM>(pos));
    SendMessageW(memo->Hwnd, EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK TWin32Platform::ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* child = reinterpret_cast<TChild*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!child) return DefWindowProcW(hwnd, msg, wp, lp);
    TWin32Platform* self = child->Owner;
    ++self->FDispatchDepth;
    const LRESULT result = self->HandleChild(*child, msg, wp, lp);
    --self->FDispatchDepth;
    return result;
}

LRESULT TWin32Platform::HandleChild(TChild& child, UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = child.Hwnd;
    const WNDPROC old = child.OldProc;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        child.Hwnd = nullptr;
        return CallWindowProcW(old, hwnd, msg, wp, lp);
    }
    if (msg == WM_SETCURSOR && SetCursorFor(hwnd, lp)) return TRUE;

    if (child.Id != TControl::Memo1) {
        switch (msg) {
            case WM_NCHITTEST:
                return HTCLIENT;
            // The STATIC class takes double clicks; for the program a quick second press
            // is a press like any other.
            case WM_LBUTTONDBLCLK:
                ForwardMouse(child.Id, hwnd, WM_LBUTTONDOWN, wp, lp);
                return 0;
            case WM_RBUTTONDBLCLK:
                ForwardMouse(child.Id, hwnd, WM_RBUTTONDOWN, wp, lp);
                return 0;
            case WM_MBUTTONDBLCLK:
                ForwardMouse(child.Id, hwnd, WM_MBUTTONDOWN, wp, lp);
                return 0;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
            case WM_MBUTTONUP:
            case WM_MOUSEMOVE:
                // Coordinates arrive relative to the label, as the handlers expect.
                ForwardMouse(child.Id, hwnd, msg, wp, lp);
                return 0;
            case WM_CAPTURECHANGED:
                if (FMain) SendMessageW(FMain, WM_CAPTURECHANGED, wp, lp);
                return 0;
            default:
                break;
        }
        return CallWindowProcW(old, hwnd, msg, wp, lp);
    }

    // The wish box.
    switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            // Key preview: the window sees the key first and may swallow it by zeroing it.
            int key = static_cast<int>(wp);
            Deliver([&] { FEvents->FormKeyDown(TControl::Memo1, key, ShiftFromKeyboard()); });
            if (key == 0) {
                if (IsWindow(hwnd)) DropTypedCharacter(hwnd);
                return 0;
            }
            // The handler may have closed the window and taken the box with it.
            if (!IsWindow(hwnd)) return 0;
            return CallWindowProcW(old, hwnd, msg, static_cast<WPARAM>(key), lp);
        }
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            int key = static_cast<int>(wp);
            Deliver([&] { FEvents->FormKeyUp(TControl::Memo1, key, ShiftFromKeyboard()); });
            if (key == 0 || !IsWindow(hwnd)) return 0;
            return CallWindowProcW(old, hwnd, msg, static_cast<WPARAM>(key), lp);
        }
        case WM_CHAR:
            // Enter (CR, or LF with Ctrl) never breaks the line, and Escape, which empties
            // the box, is not typed into it either.
            if (wp == L'\r' || wp == L'\n' || wp == 0x1B) return 0;
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: {
            TMouseButton button = TMouseButton::Left;
            if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK) button = TMouseButton::Right;
            if (msg == WM_MBUTTONDOWN || msg == WM_MBUTTONDBLCLK) button = TMouseButton::Middle;
            TShiftState shift;
            shift.Shift = (wp & MK_SHIFT) != 0;
            shift.Ctrl = (wp & MK_CONTROL) != 0;
            shift.Alt = GetKeyState(VK_MENU) < 0;
            int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
            ToProgramPoint(TControl::Memo1, x, y);
            Deliver([&] { FEvents->Memo1MouseDown(button, shift, x, y); });
            if (!IsWindow(hwnd)) return 0;
            break;
        }
        case WM_SETFOCUS: {
            FWindowHasFocus = false;
            ImmAssociateContextEx(hwnd, nullptr, IACE_DEFAULT);
            const LRESULT result = CallWindowProcW(old, hwnd, msg, wp, lp);
            // A wish is typed in Japanese: the input method is switched on as the box
            // gets the focus, whatever state the user left it in.
            if (HIMC context = ImmGetContext(hwnd)) {
                ImmSetOpenStatus(context, TRUE);
                ImmReleaseContext(hwnd, context);
            }
            return result;
        }
        default:
            break;
    }
    return CallWindowProcW(old, hwnd, msg, wp, lp);
}
