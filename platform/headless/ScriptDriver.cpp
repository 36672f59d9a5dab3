// The script driver: the real program, driven line by line on the pretend desktop.
#include "platform/headless/ScriptDriver.h"

#include <exception>
#include <sstream>
#include <vector>

#include "app/MainUnit.h"
#include "common/MySysU.h"
#include "content/ImageCodecs.h"

namespace {
const char* const kMenuNames[] = {"PopCenter",        "MStayOnTop",       "MuteOnChange",
                                  "FezPenBlackChange", "FezPenDownChange", "LightShowChange",
                                  "LightPointChange",  "CardUndo",         "PopSaigen",
                                  "NextResume",        "WallMakeClick"};

const char* ControlName(TControl c) {
    switch (c) {
        case TControl::LabelNo: return "LabelNo";
        case TControl::LabelTittle: return "LabelTittle";
        case TControl::LabelCreator: return "LabelCreator";
        case TControl::LabelKaisetu: return "LabelKaisetu";
        case TControl::Memo1: return "Memo1";
        default: return "Form";
    }
}

std::string Json(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    return out + "\"";
}

const char* Bool(bool b) { return b ? "true" : "false"; }

// "\n", "\r" and "\\" escapes of the type command.
std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char n = s[i + 1];
            if (n == 'n' || n == 'r' || n == '\\') {
                out.push_back(n == 'n' ? '\n' : n == 'r' ? '\r' : '\\');
                ++i;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

bool ParseInt(const std::string& s, int& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    const long l = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0' || l < -1000000000L || l > 1000000000L) return false;
    v = static_cast<int>(l);
    return true;
}

TShiftState ParseMods(const std::vector<std::string>& words, size_t from) {
    TShiftState s;
    for (size_t i = from; i < words.size(); ++i) {
        if (words[i] == "shift") s.Shift = true;
        if (words[i] == "ctrl") s.Ctrl = true;
        if (words[i] == "alt") s.Alt = true;
    }
    return s;
}

int ParseButton(const std::string& w) {
    if (w == "L") return 0;
    if (w == "R") return 1;
    if (w == "M") return 2;
    return -1;
}

TMouseButton ToButton(int b) {
    return b == 1 ? TMouseButton::Right : b == 2 ? TMouseButton::Middle : TMouseButton::Left;
}
}  // namespace

TScriptDriver::TScriptDriver(THeadlessPlatform& os, std::istream& in, std::ostream& out,
                             std::ostream& err)
    : Os(os), In(in), Out(out), Err(err) {
    Os.LoopBody = [this] { LoopBody(); };
}

TOrvaneFM* TScriptDriver::Form() const { return dynamic_cast<TOrvaneFM*>(Os.Events); }

// Errors that escape an event handler are shown in a message box and the program goes
// on, as the application-level handler of the Windows build does.
template <typename F>
void TScriptDriver::Dispatch(F f) {
    try {
        f();
    } catch (const std::exception& e) {
        Os.ShowErrorBox(kAppTitle, e.what());
    }
}

int TScriptDriver::Run() {
    std::string line;
    while (!ScriptError && std::getline(In, line)) {
        ++LineNumber;
        if (!Command(line)) ScriptError = true;
    }
    if (ScriptError) return 2;
    return Started ? ExitCode : 0;
}

void TScriptDriver::LoopBody() {
    // The message loop of the pretend desktop: commands until the window closes.
    std::string line;
    while (!Os.CloseRequested && std::getline(In, line)) {
        ++LineNumber;
        if (!Command(line)) {
            ScriptError = true;
            return;
        }
    }
}

bool TScriptDriver::Command(const std::string& rawLine) {
    std::string line = rawLine;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words_in(line);
    std::vector<std::string> w;
    for (std::string word; words_in >> word;) w.push_back(word);
    if (w.empty() || w[0][0] == '#') return true;
    const std::string& cmd = w[0];
    auto fail = [&](const std::string& why) {
        Err << "line " << LineNumber << ": " << why << ": " << line << "\n";
        return false;
    };

    if (cmd == "start") {
        if (Started) return fail("already started");
        Started = true;
        ExitCode = RunProgram(Os);
        Ended = true;
        return !ScriptError;
    }
    if (cmd == "state") {
        StateJson();
        return true;
    }
    if (!Started || Ended || Form() == nullptr) return fail("the program is not running");

    int a = 0, b = 0;
    if (cmd == "tick") {
        if (w.size() < 2 || !ParseInt(w[1], a) || a < 0) return fail("tick MS");
        Tick(a);
    } else if (cmd == "idle") {
        // Timer events until the sequencer is idle, bounded.
        for (int i = 0; i < 100000 && Form()->AnimStep != 0 && !Os.CloseRequested; ++i) Tick(10);
    } else if (cmd == "down" || cmd == "up") {
        const int button = w.size() >= 4 ? ParseButton(w[1]) : -1;
        if (button < 0 || !ParseInt(w[2], a) || !ParseInt(w[3], b)) return fail("down|up L|R|M X Y");
        const TShiftState shift = ParseMods(w, 4);
        if (cmd == "down")
            MouseDown(button, a, b, shift);
        else
            MouseUp(button, a, b, shift);
    } else if (cmd == "move") {
        if (w.size() < 3 || !ParseInt(w[1], a) || !ParseInt(w[2], b)) return fail("move X Y");
        MouseMove(a, b);
    } else if (cmd == "click") {
        if (w.size() < 3 || !ParseInt(w[1], a) || !ParseInt(w[2], b)) return fail("click X Y");
        const TShiftState shift = ParseMods(w, 3);
        MouseDown(0, a, b, shift);
        MouseUp(0, a, b, shift);
    } else if (cmd == "key") {
        if (w.size() < 2 || !ParseInt(w[1], a)) return fail("key CODE");
        Key(a, ParseMods(w, 2));
    } else if (cmd == "type") {
        const size_t at = line.find("type");
        std::string text = line.substr(at + 4);
        if (!text.empty() && text[0] == ' ') text.erase(0, 1);
        const std::string sjis = Os.Utf8ToSjis(Unescape(text));
        bool accepted = false;
        Dispatch([&] { accepted = Os.PasteIntoMemo(sjis); });
        if (!accepted) Out << "{\"type\": \"refused\"}\n";
    } else if (cmd == "menu") {
        int index = -1;
        for (int i = 0; i < kMenuItemCount; ++i)
            if (w.size() >= 2 && w[1] == kMenuNames[i]) index = i;
        if (index < 0) return fail("menu NAME");
        const int openings = Os.MenuOpenings;
        Os.PendingMenuChoice = index;
        MouseDown(1, LastX, LastY, TShiftState());
        MouseUp(1, LastX, LastY, TShiftState());
        const bool opened = Os.MenuOpenings != openings;
        const bool chosen = opened && Os.LastMenu[index].Enabled;
        Os.PendingMenuChoice = -1;
        Out << "{\"menu\": " << Json(w[1]) << ", \"opened\": " << Bool(opened)
            << ", \"chosen\": " << Bool(chosen) << "}\n";
    } else if (cmd == "shot") {
        if (w.size() < 2) return fail("shot FILE.bmp");
        // Labels and the wish box are not rendered here; their background shows.
        TPicture shot = Os.Surface;
        auto fill = [&](const THeadlessPlatform::TLabel& l) {
            if (l.Exists && l.Visible) FillRect(shot, l.X, l.Y, l.W, l.H, ColorToPixel(l.Style.Background));
        };
        for (const auto& kv : Os.Labels) fill(kv.second);
        fill(Os.Memo);
        if (!Os.WriteFile(w[1], EncodeBmp24(shot))) return fail("cannot write the shot");
    } else if (cmd == "close") {
        Dispatch([&] { Os.Events->FormCloseQuery(); });
    } else if (cmd == "inshape") {
        if (w.size() < 3 || !ParseInt(w[1], a) || !ParseInt(w[2], b)) return fail("inshape X Y");
        Out << "{\"inshape\": " << Bool(Os.InShape(a, b)) << "}\n";
    } else {
        return fail("unknown command");
    }
    Out.flush();
    return true;
}

void TScriptDriver::Tick(int ms) {
    for (int t = 0; t + 10 <= ms; t += 10) {
        Os.Tick += 10;
        Dispatch([&] { Os.Events->Timer1Timer(); });
        if (Os.CloseRequested) return;
    }
    Os.Tick += static_cast<uint32_t>(ms % 10);
}

void TScriptDriver::MouseDown(int button, int x, int y, const TShiftState& shift) {
    LastX = x;
    LastY = y;
    Os.MouseX = Os.Left + x;
    Os.MouseY = Os.Top + y;
    // Outside the window's shape the press reaches the window below, not the program.
    if (!Os.InShape(x, y)) return;
    const THeadlessPlatform::TLabel& memo = Os.Memo;
    if (memo.Exists && memo.Visible && PointInRect(memo.X, memo.Y, memo.W, memo.H, x, y)) {
        Capture = TControl::Memo1;
        Captured = true;
        Os.MemoFocused = true;
        Os.MemoCaretPos = SjisLength(Os.Memo.Text);
        Dispatch([&] { Os.Events->Memo1MouseDown(ToButton(button), shift, x - memo.X, y - memo.Y); });
        return;
    }
    for (const auto& kv : Os.Labels) {
        const THeadlessPlatform::TLabel& l = kv.second;
        if (l.Exists && l.Visible && PointInRect(l.X, l.Y, l.W, l.H, x, y)) {
            Capture = kv.first;
            Captured = true;
            Dispatch([&] { Os.Events->FormMouseDown(kv.first, ToButton(button), shift, x - l.X, y - l.Y); });
            return;
        }
    }
    Capture = TControl::Form;
    Captured = true;
    Dispatch([&] { Os.Events->FormMouseDown(TControl::Form, ToButton(button), shift, x, y); });
}

void TScriptDriver::MouseUp(int button, int x, int y, const TShiftState& shift) {
    LastX = x;
    LastY = y;
    Os.MouseX = Os.Left + x;
    Os.MouseY = Os.Top + y;
    if (!Captured) return;
    Captured = false;
    if (Capture == TControl::Memo1) return;
    if (Capture == TControl::Form) {
        Dispatch([&] { Os.Events->FormMouseUp(TControl::Form, ToButton(button), shift, x, y); });
        return;
    }
    const THeadlessPlatform::TLabel& l = Os.Labels[Capture];
    const TControl c = Capture;
    Dispatch([&] { Os.Events->FormMouseUp(c, ToButton(button), shift, x - l.X, y - l.Y); });
}

void TScriptDriver::MouseMove(int x, int y) {
    LastX = x;
    LastY = y;
    Os.MouseX = Os.Left + x;
    Os.MouseY = Os.Top + y;
    TControl target = TControl::Form;
    if (Captured) {
        target = Capture;
    } else {
        for (const auto& kv : Os.Labels)
            if (kv.second.Exists && kv.second.Visible &&
                PointInRect(kv.second.X, kv.second.Y, kv.second.W, kv.second.H, x, y))
                target = kv.first;
    }
    if (target == TControl::Memo1) return;
    int rx = x, ry = y;
    if (target != TControl::Form) {
        rx -= Os.Labels[target].X;
        ry -= Os.Labels[target].Y;
    }
    Dispatch([&] { Os.Events->FormMouseMove(target, TShiftState(), rx, ry); });
}

void TScriptDriver::Key(int code, const TShiftState& shift) {
    const TControl sender = Os.MemoFocused ? TControl::Memo1 : TControl::Form;
    int key = code;
    Dispatch([&] { Os.Events->FormKeyDown(sender, key, shift); });
    // Then the focused wish box gets the key: editing keys only (text arrives by `type`);
    // Enter inserts no line break.
    if (key == 0 || !Os.MemoFocused || Os.MemoIsReadOnly || !Os.Memo.Visible) return;
    std::string& text = Os.Memo.Text;
    const int length = SjisLength(text);
    auto offset = [&](int chars) { return SjisByteOffset(text, chars); };
    if (key == 8 && Os.MemoCaretPos > 0) {  // Backspace
        const size_t from = offset(Os.MemoCaretPos - 1), to = offset(Os.MemoCaretPos);
        text.erase(from, to - from);
        --Os.MemoCaretPos;
        Dispatch([&] { Os.Events->Memo1Change(); });
    } else if (key == 46 && Os.MemoCaretPos < length) {  // Delete
        const size_t from = offset(Os.MemoCaretPos), to = offset(Os.MemoCaretPos + 1);
        text.erase(from, to - from);
        Dispatch([&] { Os.Events->Memo1Change(); });
    } else if (key == 37 && Os.MemoCaretPos > 0) {
        --Os.MemoCaretPos;
    } else if (key == 39 && Os.MemoCaretPos < length) {
        ++Os.MemoCaretPos;
    }
}

void TScriptDriver::StateJson() {
    std::ostringstream o;
    TOrvaneFM* f = (Started && !Ended) ? Form() : nullptr;
    o << "{\"running\": " << Bool(f != nullptr);
    if (Ended) o << ", \"exit\": " << ExitCode;
    if (Os.OtherInstanceActivated) o << ", \"activatedOther\": true";
    if (f) {
        o << ", \"AnimStep\": " << f->AnimStep << ", \"CurrentCard\": " << f->CurrentCard
          << ", \"PreviousCard\": " << f->PreviousCard << ", \"Fate\": " << f->Fate
          << ", \"SeenCards\": " << Json(f->EncodeSeenCards())
          << ", \"AllCardsSeen\": " << Bool(f->AllCardsSeen)
          << ", \"ReadingMade\": " << Bool(f->ReadingMade)
          << ", \"IndexMode\": " << Bool(f->IndexMode)
          << ", \"LoadedIndexPage\": " << f->LoadedIndexPage
          << ", \"ShowAlternate\": " << Bool(f->ShowAlternate)
          << ", \"StarX\": " << f->StarX << ", \"StarY\": " << f->StarY
          << ", \"Closing\": " << Bool(f->Closing)
          << ", \"StayOnTop\": " << Bool(f->StayOnTop) << ", \"MuteOn\": " << Bool(f->MuteOn)
          << ", \"FezPenBlack\": " << Bool(f->FezPenBlack)
          << ", \"FezPenDown\": " << Bool(f->FezPenDown)
          << ", \"LightShow\": " << Bool(f->LightShow) << ", \"ResumeOk\": " << Bool(f->ResumeOk)
          << ", \"OldDate\": " << Json(FormatDate(f->OldDate))
          << ", \"SavedCard\": " << f->SavedCard;
        o << ", \"buttons\": {";
        for (int i = kFirstButton; i <= kLastButton; ++i)
            o << (i == kFirstButton ? "" : ", ") << "\"" << i << "\": " << Button(i).State;
        o << "}, \"menu\": {";
        for (int i = 0; i < kMenuItemCount; ++i)
            o << (i ? ", " : "") << "\"" << kMenuNames[i] << "\": {\"enabled\": "
              << Bool(f->Menu[i].Enabled) << ", \"checked\": " << Bool(f->Menu[i].Checked) << "}";
        o << "}";
    }
    o << ", \"labels\": {";
    bool first = true;
    for (const auto& kv : Os.Labels) {
        o << (first ? "" : ", ") << "\"" << ControlName(kv.first) << "\": {\"text\": "
          << Json(Os.SjisToUtf8(kv.second.Text)) << ", \"visible\": " << Bool(kv.second.Visible)
          << "}";
        first = false;
    }
    o << "}, \"Memo1\": {\"text\": " << Json(Os.SjisToUtf8(Os.Memo.Text))
      << ", \"visible\": " << Bool(Os.Memo.Visible) << ", \"readOnly\": " << Bool(Os.MemoIsReadOnly)
      << ", \"caret\": " << Os.MemoCaretPos << ", \"focused\": " << Bool(Os.MemoFocused) << "}";
    o << ", \"window\": {\"left\": " << Os.Left << ", \"top\": " << Os.Top
      << ", \"width\": " << Os.Width << ", \"height\": " << Os.Height
      << ", \"shown\": " << Bool(Os.WindowShown) << ", \"minimised\": " << Bool(Os.Minimised)
      << ", \"topmost\": " << Bool(Os.Topmost) << ", \"shaped\": " << Bool(Os.WindowRegion != nullptr)
      << "}";
    o << ", \"pointer\": " << Os.Pointer;
    auto list = [&](const char* name, const std::vector<std::string>& items, bool utf8) {
        o << ", \"" << name << "\": [";
        for (size_t i = 0; i < items.size(); ++i)
            o << (i ? ", " : "") << Json(utf8 ? Os.SjisToUtf8(items[i]) : items[i]);
        o << "]";
    };
    list("sounds", Os.Sounds, false);
    Os.Sounds.clear();
    list("shell", Os.ShellLaunches, true);
    list("wallpaper", Os.Wallpapers, true);
    o << ", \"messages\": [";
    for (size_t i = 0; i < Os.Messages.size(); ++i)
        o << (i ? ", " : "") << "{\"title\": " << Json(Os.SjisToUtf8(Os.Messages[i].Title))
          << ", \"text\": " << Json(Os.SjisToUtf8(Os.Messages[i].Text)) << "}";
    o << "]}";
    Out << o.str() << "\n";
    Out.flush();
}
