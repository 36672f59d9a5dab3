// The script driver: the real program, driven line by line on the pretend desktop.
#include "platform/headless/main/ScriptDriver.h"

#include <exception>
#include <sstream>
#include <vector>

#include "app/MainUnit.h"
#include "common/MySysU.h"
#include "content/ImageCodecs.h"

namespace {
const char* const kMenuNames[] = {"PopCenter",         "MStayOnTop",       "MuteOnChange",
                                  "FezPenBlackChange", "FezPenDownChange", "LightShowChange",
                                  "LightPointChange",  "CardUndo",         "PopSaigen",
                                  "NextResume",        "WallMakeClick"};

std::string Json(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
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

const char* Bool(bool b) {
    return b ? "true" : "false";
}

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

TOrvaneFM* TScriptDriver::Form() const {
    return ProgramOf(Os.Events);
}

// Every event travels through the pretend desktop's dispatch, as a window message does.
template <typename F>
void TScriptDriver::Dispatch(F f) {
    Os.Dispatch(f);
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
    // The message loop of the pretend desktop: commands until the window is destroyed.
    std::string line;
    while (Os.WindowCreated && std::getline(In, line)) {
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
        for (int i = 0; i < 100000 && Os.WindowCreated && Form()->State().AnimStep != 0; ++i)
            Tick(10);
    } else if (cmd == "down" || cmd == "up") {
        const int button = w.size() >= 4 ? ParseButton(w[1]) : -1;
        if (button < 0 || !ParseInt(w[2], a) || !ParseInt(w[3], b))
            return fail("down|up L|R|M X Y");
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
    } else if (cmd == "key" || cmd == "keydown" || cmd == "keyup") {
        if (w.size() < 2 || !ParseInt(w[1], a)) return fail(cmd + " CODE");
        const TShiftState shift = ParseMods(w, 2);
        // "key" is a whole keystroke, down and up; the other two hold or let go.
        if (cmd != "keyup") Os.PressKey(a, shift);
        if (cmd != "keydown") Os.ReleaseKey(a, shift);
    } else if (cmd == "act" || cmd == "focus") {
        if (w.size() < 2 || !ParseInt(w[1], a)) return fail(cmd + " ID");
        if (!Os.Accessible(a)) Out << "{\"" << cmd << "\": \"no such object\"}\n";
        if (cmd == "act")
            Os.ActOnAccessible(a);
        else
            Os.FocusAccessible(a);
    } else if (cmd == "type") {
        const size_t at = line.find("type");
        std::string text = line.substr(at + 4);
        if (!text.empty() && text[0] == ' ') text.erase(0, 1);
        if (!Os.TypeText(Os.Utf8ToSjis(Unescape(text)))) Out << "{\"type\": \"refused\"}\n";
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
            if (l.Exists && l.Visible)
                FillRect(shot, l.X, l.Y, l.W, l.H, ColorToPixel(l.Style.Background));
        };
        for (const auto& kv : Os.Labels) fill(kv.second);
        fill(Os.Memo);
        if (!Os.WriteFile(w[1], EncodeBmp24(shot))) return fail("cannot write the shot");
    } else if (cmd == "close") {
        Dispatch([&] { Os.Events->FormCloseQuery(); });
    } else if (cmd == "endsession") {
        Os.EndSession();
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
    Os.AdvanceClock(ms);
}

void TScriptDriver::MouseDown(int button, int x, int y, const TShiftState& shift) {
    LastX = x;
    LastY = y;
    Os.PressMouse(ToButton(button), x, y, shift);
}

void TScriptDriver::MouseUp(int button, int x, int y, const TShiftState& shift) {
    LastX = x;
    LastY = y;
    Os.ReleaseMouse(ToButton(button), x, y, shift);
}

void TScriptDriver::MouseMove(int x, int y) {
    LastX = x;
    LastY = y;
    Os.MoveMouse(x, y);
}

void TScriptDriver::StateJson() {
    std::ostringstream o;
    TOrvaneFM* f = (Started && !Ended) ? Form() : nullptr;
    o << "{\"running\": " << Bool(f != nullptr);
    if (Ended) o << ", \"exit\": " << ExitCode;
    if (Os.OtherInstanceActivated) o << ", \"activatedOther\": true";
    if (f) {
        const TFormState st = f->State();
        o << ", \"AnimStep\": " << st.AnimStep << ", \"CurrentCard\": " << st.CurrentCard
          << ", \"PreviousCard\": " << st.PreviousCard << ", \"Fate\": " << st.Fate
          << ", \"SeenCards\": " << Json(st.SeenCards)
          << ", \"AllCardsSeen\": " << Bool(st.Collection.AllCardsSeen)
          << ", \"ReadingMade\": " << Bool(st.ReadingMade)
          << ", \"IndexMode\": " << Bool(st.IndexMode)
          << ", \"LoadedIndexPage\": " << st.LoadedIndexPage
          << ", \"ShowAlternate\": " << Bool(st.ShowAlternate) << ", \"StarX\": " << st.StarX
          << ", \"StarY\": " << st.StarY << ", \"Closing\": " << Bool(st.Closing)
          << ", \"StayOnTop\": " << Bool(st.Options.StayOnTop)
          << ", \"MuteOn\": " << Bool(st.Options.MuteOn)
          << ", \"FezPenBlack\": " << Bool(st.Options.FezPenBlack)
          << ", \"FezPenDown\": " << Bool(st.Options.FezPenDown)
          << ", \"LightShow\": " << Bool(st.Options.LightShow)
          << ", \"ResumeOk\": " << Bool(st.Options.ResumeOk)
          << ", \"OldDate\": " << Json(FormatDate(st.OldDate))
          << ", \"SavedCard\": " << st.SavedCard;
        o << ", \"buttons\": {";
        for (int i = kFirstButton; i <= kLastButton; ++i)
            o << (i == kFirstButton ? "" : ", ") << "\"" << i << "\": " << st.Buttons[i].State;
        o << "}, \"menu\": {";
        for (int i = 0; i < kMenuItemCount; ++i)
            o << (i ? ", " : "") << "\"" << kMenuNames[i]
              << "\": {\"enabled\": " << Bool(st.Menu[i].Enabled)
              << ", \"checked\": " << Bool(st.Menu[i].Checked) << "}";
        o << "}";
    }
    o << ", \"labels\": {";
    bool first = true;
    for (const auto& kv : Os.Labels) {
        o << (first ? "" : ", ") << "\"" << ControlName(kv.first)
          << "\": {\"text\": " << Json(Os.SjisToUtf8(kv.second.Text))
          << ", \"visible\": " << Bool(kv.second.Visible) << "}";
        first = false;
    }
    o << "}, \"Memo1\": {\"text\": " << Json(Os.SjisToUtf8(Os.Memo.Text))
      << ", \"visible\": " << Bool(Os.Memo.Visible) << ", \"readOnly\": " << Bool(Os.MemoIsReadOnly)
      << ", \"caret\": " << Os.MemoCaretPos << ", \"focused\": " << Bool(Os.MemoFocused) << "}";
    o << ", \"accessibles\": [";
    for (size_t i = 0; i < Os.Accessibles.size(); ++i) {
        const TAccessible& a = Os.Accessibles[i];
        static const char* const kRoles[] = {"button", "listitem", "status"};
        o << (i ? ", " : "") << "{\"id\": " << a.Id << ", \"role\": \""
          << kRoles[static_cast<int>(a.Role)] << "\", \"name\": " << Json(Os.SjisToUtf8(a.Name))
          << ", \"rect\": [" << a.X << ", " << a.Y << ", " << a.W << ", " << a.H
          << "], \"states\": [";
        const char* sep = "";
        auto state = [&](bool on, const char* name) {
            if (!on) return;
            o << sep << "\"" << name << "\"";
            sep = ", ";
        };
        state(a.Unavailable, "unavailable");
        state(a.Pressed, "pressed");
        state(a.Focusable, "focusable");
        state(a.Focused, "focused");
        state(a.Selected, "selected");
        o << "]}";
    }
    o << "]";
    o << ", \"window\": {\"left\": " << Os.Left << ", \"top\": " << Os.Top
      << ", \"width\": " << Os.Width << ", \"height\": " << Os.Height
      << ", \"shown\": " << Bool(Os.WindowShown) << ", \"minimised\": " << Bool(Os.Minimised)
      << ", \"topmost\": " << Bool(Os.Topmost)
      << ", \"shaped\": " << Bool(Os.WindowRegion != nullptr) << "}";
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
    list("wallpaper", Os.Wallpapers, false);  // paths are UTF-8 already
    list("announced", Os.Announcements, true);
    Os.Announcements.clear();
    o << ", \"messages\": [";
    for (size_t i = 0; i < Os.Messages.size(); ++i)
        o << (i ? ", " : "") << "{\"title\": " << Json(Os.SjisToUtf8(Os.Messages[i].Title))
          << ", \"text\": " << Json(Os.SjisToUtf8(Os.Messages[i].Text)) << "}";
    o << "]}";
    Out << o.str() << "\n";
    Out.flush();
}
