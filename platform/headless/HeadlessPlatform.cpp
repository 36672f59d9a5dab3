// The headless backend: the real program on a pretend desktop.
#include "platform/headless/HeadlessPlatform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "platform/posix/EmbeddedResources.h"
#include "platform/WindowScale.h"
#include "platform/headless/RegionSet.h"

namespace {
TRegionSet* AsRegion(TRegionHandle h) {
    return static_cast<TRegionSet*>(h);
}

}  // namespace

THeadlessPlatform::THeadlessPlatform(const std::string& programDir) : Dir(programDir) {
    if (!Dir.empty() && Dir.back() != '/') Dir.push_back('/');
}

THeadlessPlatform::~THeadlessPlatform() {
    if (WindowRegion) DeleteRegion(WindowRegion);
}

std::string THeadlessPlatform::ProgramPath() {
    return Dir + "Sablewick.exe";
}

bool THeadlessPlatform::ActivateRunningInstance(const std::string& caption) {
    if (!OtherInstanceRunning || caption != "Sablewick") return false;
    OtherInstanceMinimised = false;
    OtherInstanceActivated = true;
    return true;
}

void THeadlessPlatform::SetApplicationTitle(const std::string& title) {
    AppTitle = title;
}

void THeadlessPlatform::CreateMainWindow(TWindowEvents* events, int width, int height) {
    Events = events;
    Width = width;
    Height = height;
    WindowCreated = true;
    Surface.SetSize(width, height);
}

void THeadlessPlatform::ShowMainWindow() {
    WindowShown = true;
    // The wish box is first in the tab order: a shown window gives it the focus.
    if (Memo.Visible) MemoFocused = true;
    // Showing the window asks it to paint itself.
    if (Events) Events->FormPaint();
}

void THeadlessPlatform::RunMessageLoop() {
    if (LoopBody) LoopBody();
    // Whatever ended the loop, it ends with the window: asked to close as the system
    // asks (the close button's path), and destroyed if it still is not.
    if (WindowCreated && Events) Dispatch([this] { Events->FormCloseQuery(); });
    DestroyWindow();
}

void THeadlessPlatform::CloseMainWindow() {
    if (!WindowCreated) return;
    CloseRequested = true;
    if (DispatchDepth > 0)
        DestroyPending = true;
    else
        DestroyWindow();
}

void THeadlessPlatform::Dispatch(const std::function<void()>& handler) {
    if (!WindowCreated || !Events) return;
    // An error escaping a handler never gets here: the program shows it itself.
    ++DispatchDepth;
    handler();
    --DispatchDepth;
    if (DispatchDepth == 0 && DestroyPending) {
        DestroyPending = false;
        DestroyWindow();
    }
}

void THeadlessPlatform::DestroyWindow() {
    if (!WindowCreated) return;
    DestroyPending = false;
    if (Events) {
        ++DispatchDepth;
        Events->FormDestroy();
        --DispatchDepth;
    }
    // The children go with their parent, after its destroy handler.
    auto gone = [](TLabel& control) {
        control.Exists = false;
        control.Visible = false;
        control.Text.clear();
    };
    for (auto& kv : Labels) gone(kv.second);
    gone(Memo);
    MemoFocused = false;
    MemoCaretPos = 0;
    MemoIsReadOnly = true;
    WindowCreated = false;
    WindowShown = false;
    TimerInterval = 0;
    if (WindowRegion) DeleteRegion(WindowRegion);
    WindowRegion = nullptr;
    Events = nullptr;
}

void THeadlessPlatform::EndSession() {
    if (!WindowCreated || !Events) return;
    EndSessionQueried = true;  // the program never refuses
    Events->FormEndSession();
}

void THeadlessPlatform::SetWindowPos(int left, int top) {
    Left = left;
    Top = top;
}

void THeadlessPlatform::GetWindowPos(int& left, int& top) {
    left = Left;
    top = Top;
}

void THeadlessPlatform::SetTopmost(bool topmost) {
    if (Topmost != topmost) ++TopmostChanges;
    Topmost = topmost;
}

void THeadlessPlatform::SetWindowRegion(TRegionHandle region) {
    if (WindowRegion) DeleteRegion(WindowRegion);
    WindowRegion = region;
}

bool THeadlessPlatform::InShape(int x, int y) {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return false;
    return WindowRegion == nullptr || AsRegion(WindowRegion)->Contains(x, y);
}

void THeadlessPlatform::GetScreenSize(int& width, int& height) {
    width = ScreenWidth;
    height = ScreenHeight;
}

void THeadlessPlatform::PointerAt(int x, int y) {
    // Worked out in 64 bits: the window may have been put anywhere an int reaches.
    auto screen = [](int64_t v) {
        return static_cast<int>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, v)));
    };
    MouseX = screen(int64_t{Left} + x);
    MouseY = screen(int64_t{Top} + y);
}

void THeadlessPlatform::RelativeTo(TControl control, int& x, int& y) {
    if (control == TControl::Form || control == TControl::Memo1) return;
    x -= Labels[control].X;
    y -= Labels[control].Y;
}

void THeadlessPlatform::PressMouse(TMouseButton button, int x, int y, TShiftState shift) {
    PointerAt(x, y);
    // Outside the window's shape the press reaches the window below, not the program.
    if (!WindowCreated || !InShape(x, y)) return;
    auto hit = [&](const TLabel& l) {
        return l.Exists && l.Visible && PointInRect(l.X, l.Y, l.W, l.H, x, y);
    };
    TControl target = TControl::Form;
    if (hit(Memo)) {
        target = TControl::Memo1;
    } else {
        for (const auto& kv : Labels)
            if (hit(kv.second)) target = kv.first;
    }
    Captured = true;
    Capture = target;
    if (target == TControl::Memo1) {
        // The box takes the focus and puts the caret where it was pressed (its end).
        MemoFocused = true;
        MemoCaretPos = SjisLength(Memo.Text);
        Dispatch([&] { Events->Memo1MouseDown(button, shift, x - Memo.X, y - Memo.Y); });
        return;
    }
    int rx = x, ry = y;
    RelativeTo(target, rx, ry);
    Dispatch([&] { Events->FormMouseDown(target, button, shift, rx, ry); });
}

void THeadlessPlatform::ReleaseMouse(TMouseButton button, int x, int y, TShiftState shift) {
    PointerAt(x, y);
    if (!WindowCreated) return;
    // A release belongs to the press: one that pressed nothing of the program's
    // (outside its shape) is not the program's either.
    if (!Captured) return;
    Captured = false;
    const TControl target = Capture;
    if (target == TControl::Memo1) return;  // the wish box keeps its releases
    int rx = x, ry = y;
    RelativeTo(target, rx, ry);
    Dispatch([&] { Events->FormMouseUp(target, button, shift, rx, ry); });
}

void THeadlessPlatform::MoveMouse(int x, int y, TShiftState shift) {
    PointerAt(x, y);
    if (!WindowCreated) return;
    TControl target = TControl::Form;
    if (Captured) {
        target = Capture;
    } else {
        for (const auto& kv : Labels)
            if (kv.second.Exists && kv.second.Visible &&
                PointInRect(kv.second.X, kv.second.Y, kv.second.W, kv.second.H, x, y))
                target = kv.first;
    }
    if (target == TControl::Memo1) return;  // the wish box keeps its moves
    int rx = x, ry = y;
    RelativeTo(target, rx, ry);
    Dispatch([&] { Events->FormMouseMove(target, shift, rx, ry); });
}

void THeadlessPlatform::PressKey(int code, TShiftState shift) {
    if (!WindowCreated) return;
    const TControl sender = MemoFocused ? TControl::Memo1 : TControl::Form;
    int key = code;
    Dispatch([&] { Events->FormKeyDown(sender, key, shift); });
    // Then the focused wish box gets the key: editing keys only (text arrives typed);
    // Enter inserts no line break.
    if (key == 0 || !WindowCreated || !MemoFocused || MemoIsReadOnly || !Memo.Visible) return;
    std::string& text = Memo.Text;
    const int length = SjisLength(text);
    auto offset = [&](int chars) { return SjisByteOffset(text, chars); };
    if (key == kKeyBackspace && MemoCaretPos > 0) {
        const size_t from = offset(MemoCaretPos - 1), to = offset(MemoCaretPos);
        text.erase(from, to - from);
        --MemoCaretPos;
        Dispatch([&] { Events->Memo1Change(); });
    } else if (key == kKeyDelete && MemoCaretPos < length) {
        const size_t from = offset(MemoCaretPos), to = offset(MemoCaretPos + 1);
        text.erase(from, to - from);
        Dispatch([&] { Events->Memo1Change(); });
    } else if (key == kKeyLeft && MemoCaretPos > 0) {
        --MemoCaretPos;
    } else if (key == kKeyRight && MemoCaretPos < length) {
        ++MemoCaretPos;
    }
}

bool THeadlessPlatform::TypeText(const std::string& sjis) {
    bool accepted = false;
    if (!WindowCreated) return false;
    Dispatch([&] { accepted = PasteIntoMemo(sjis); });
    return accepted;
}

void THeadlessPlatform::AdvanceClock(int ms) {
    for (int t = 0; t + 10 <= ms; t += 10) {
        Tick += 10;
        FireTimer();
    }
    Tick += static_cast<uint32_t>(ms % 10);
}

void THeadlessPlatform::FireTimer() {
    if (!WindowCreated || TimerInterval == 0) return;
    Dispatch([&] { Events->Timer1Timer(); });
}

std::vector<TScreenRect> THeadlessPlatform::MonitorWorkAreas() {
    if (!Monitors.empty()) return Monitors;
    TScreenRect screen;
    screen.Right = ScreenWidth;
    screen.Bottom = ScreenHeight;
    return {screen};
}

TScreenRect THeadlessPlatform::NearestWorkArea(const TScreenRect& rect) {
    return NearestArea(rect, MonitorWorkAreas());
}

void THeadlessPlatform::GetMousePos(int& x, int& y) {
    x = MouseX;
    y = MouseY;
}

void THeadlessPlatform::Present(const TPicture& pic, int sx, int sy, int w, int h, int dx, int dy) {
    CopyRect(pic, sx, sy, w, h, Surface, dx, dy);
}

void THeadlessPlatform::Place(TLabel& control, int x, int y, int w, int h,
                              const TLabelStyle& style) {
    control.X = x;
    control.Y = y;
    control.W = w;
    control.H = h;
    control.Style = style;
    control.Exists = true;
}

void THeadlessPlatform::CreateLabel(TControl id, int x, int y, int w, int h,
                                    const TLabelStyle& style) {
    Place(Labels[id], x, y, w, h, style);
}

// A label that does not exist (never created, or destroyed with the window) takes
// nothing, as a window handle that names no window.
void THeadlessPlatform::SetLabelStyle(TControl id, const TLabelStyle& style) {
    if (Labels[id].Exists) Labels[id].Style = style;
}

void THeadlessPlatform::SetLabelText(TControl id, const std::string& text) {
    if (Labels[id].Exists) Labels[id].Text = text;
}

void THeadlessPlatform::SetLabelVisible(TControl id, bool visible) {
    if (Labels[id].Exists) Labels[id].Visible = visible;
}

void THeadlessPlatform::CreateMemo(int x, int y, int w, int h, int maxLength,
                                   const TLabelStyle& style) {
    Place(Memo, x, y, w, h, style);
    Memo.Visible = false;
    MemoIsReadOnly = true;
    MemoMaxLength = maxLength;
}

void THeadlessPlatform::SetMemoText(const std::string& text) {
    // Setting the text the box already holds is no change: nothing is reported.
    if (!Memo.Exists || Memo.Text == text) return;
    Memo.Text = text;
    // Setting the text puts the caret at the start, as an edit control does.
    MemoCaretPos = 0;
    if (Events) Events->Memo1Change();
}

void THeadlessPlatform::SetMemoVisible(bool visible) {
    if (!Memo.Exists) return;
    Memo.Visible = visible;
    if (!visible) MemoFocused = false;
}

void THeadlessPlatform::SetMemoCaret(int pos) {
    if (!Memo.Exists) return;
    MemoCaretPos = std::max(0, std::min(pos, SjisLength(Memo.Text)));
}

bool THeadlessPlatform::PasteIntoMemo(const std::string& text) {
    if (!Memo.Exists || MemoIsReadOnly || !Memo.Visible) return false;
    // Only as much as fits within the box's character limit is inserted.
    const int room = MemoMaxLength - SjisLength(Memo.Text);
    if (room <= 0) return true;
    const std::string insert = text.substr(0, SjisByteOffset(text, room));
    const size_t at = SjisByteOffset(Memo.Text, MemoCaretPos);
    Memo.Text.insert(at, insert);
    MemoCaretPos += SjisLength(insert);
    if (Events && !insert.empty()) Events->Memo1Change();
    return true;
}

int THeadlessPlatform::TrackPopupMenu(int, int, const TMenuEntry* entries, int count) {
    ++MenuOpenings;
    LastMenu.assign(entries, entries + count);
    const int choice = PendingMenuChoice;
    PendingMenuChoice = -1;
    if (choice < 0 || choice >= count || !entries[choice].Enabled) return -1;
    return choice;
}

std::string THeadlessPlatform::ResourceNameAt(const uint8_t* data) const {
    for (int i = 0; i < kEmbeddedResourceCount; ++i)
        if (kEmbeddedResources[i].Begin == data) return kEmbeddedResources[i].Name;
    return std::string();
}

void THeadlessPlatform::PlaySoundBytes(const TResourceView& wav) {
    const std::string name = ResourceNameAt(wav.Data);
    Sounds.push_back(name.empty() ? "?" : name);
}

void THeadlessPlatform::LoadPointer(int number, const std::string& name) {
    TResourceView view;
    // A missing pointer is a missing resource, as on Windows.
    if (!FindResourceData("CURSOR", name, view))
        throw EResNotFound(Format(sjis::kResNotFound, name.c_str()));
    LoadedPointers[number] = AsciiUpper(name);
}

TRegionHandle THeadlessPlatform::CreateRectRegion(int left, int top, int right, int bottom) {
    ++LiveRegions;
    return new TRegionSet(TRegionSet::FromRect(left, top, right, bottom));
}

TRegionHandle THeadlessPlatform::CreateRegionFromRects(const TRegionRect* rects, size_t count) {
    if (!rects && count > 0) return nullptr;
    ++LiveRegions;
    return new TRegionSet(TRegionSet::FromRects(rects, count));
}

bool THeadlessPlatform::CombineRegionOr(TRegionHandle dest, TRegionHandle a, TRegionHandle b) {
    if (!dest || !a || !b) return false;
    *AsRegion(dest) = TRegionSet::Union(*AsRegion(a), *AsRegion(b));
    return true;
}

bool THeadlessPlatform::CopyRegion(TRegionHandle dest, TRegionHandle src) {
    if (!dest || !src) return false;
    *AsRegion(dest) = *AsRegion(src);
    return true;
}

void THeadlessPlatform::DeleteRegion(TRegionHandle region) {
    if (!region) return;
    --LiveRegions;
    delete AsRegion(region);
}

bool THeadlessPlatform::RegionContains(TRegionHandle region, int x, int y) {
    return region && AsRegion(region)->Contains(x, y);
}

bool THeadlessPlatform::FindResourceData(const std::string& type, const std::string& name,
                                         TResourceView& out) {
    if (HiddenResources.count(AsciiUpper(name))) return false;
    return TPosixPlatform::FindResourceData(type, name, out);
}

// A full disk: the bytes before FailWriteAt are written, the next write fails.
ssize_t THeadlessPlatform::WriteSome(int fd, const char* data, size_t size, size_t offset) {
    if (FailWriteAt >= 0 && offset + size > static_cast<size_t>(FailWriteAt)) {
        if (offset >= static_cast<size_t>(FailWriteAt)) {
            errno = ENOSPC;
            return -1;
        }
        size = static_cast<size_t>(FailWriteAt) - offset;
    }
    return TPosixPlatform::WriteSome(fd, data, size, offset);
}

bool THeadlessPlatform::ReplaceFile(const std::string& from, const std::string& to) {
    if (FailReplace) return false;
    return TPosixPlatform::ReplaceFile(from, to);
}

std::string THeadlessPlatform::FindExecutable(const std::string& file) {
    if (!FileExists(file)) return std::string();
    return BrowserForHtml;
}

void THeadlessPlatform::ShellOpen(const std::string& address) {
    ShellLaunches.push_back("open " + address);
}

void THeadlessPlatform::StartProcess(const std::string& application,
                                     const std::string& commandLine) {
    ShellLaunches.push_back(application + " " + commandLine);
}

void THeadlessPlatform::SetDesktopWallpaper(const std::string& path) {
    Wallpapers.push_back(path);
}

void THeadlessPlatform::ShowErrorBox(const std::string& title, const std::string& text) {
    Messages.push_back({title, text});
}
