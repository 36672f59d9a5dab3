// The monkey: long seeded random sequences of presses, releases, moves, keys, typed
// text, menu choices and timer ticks, fed to the real program through the script driver.
// After every command the program must be in a state it can be in; a failure prints the
// seed and the shortest command sequence found that still fails, as a driver script.
//
// SABLEWICK_MONKEY_EVENTS (events per seed) and SABLEWICK_MONKEY_SEEDS (how many seeds)
// make the run longer; tests/robustness/run.sh uses them.
#include <cstdlib>
#include <sstream>
#include <streambuf>

#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "platform/headless/main/ScriptDriver.h"
#include "tests/headless/AppFixture.h"

namespace {

bool ValidAnimStep(int s) {
    return (s >= 0 && s <= 3) || (s >= 500 && s <= 507) || (s >= 550 && s <= 557) || s == 999 ||
           (s >= 1000 && s <= 1003) || (s >= 2000 && s <= 2006) || (s >= 3000 && s <= 3003) ||
           (s >= 4000 && s <= 4005);
}

// What is wrong with the running program's state; empty when nothing is.
std::string Violation(THeadlessPlatform& os, TOrvaneFM& f) {
    std::ostringstream why;
    const TFormState s = f.State();
    auto Button = [&](int id) -> const ButtonRecord& { return s.Buttons[id]; };
    auto label = [&](TControl c) -> const THeadlessPlatform::TLabel& { return os.Labels[c]; };
    if (!os.Messages.empty()) why << "message box: " << os.SjisToUtf8(os.Messages[0].Text) << "; ";
    if (!ValidAnimStep(s.AnimStep)) why << "AnimStep " << s.AnimStep << "; ";
    if (s.CurrentCard < 0 || s.CurrentCard > MaxCard)
        why << "CurrentCard " << s.CurrentCard << "; ";
    if (s.PreviousCard < 0 || s.PreviousCard > MaxCard)
        why << "PreviousCard " << s.PreviousCard << "; ";
    for (int id = kFirstButton; id <= kLastButton; ++id) {
        const int s = Button(id).State;
        const int top = id < CloseButton ? 1 : id == HeartButton ? 3 : 2;
        if (s < 0 || s > top) why << "button " << id << " in state " << s << "; ";
    }
    if (Button(CloseButton).State != 1 || Button(MinimiseButton).State != 1)
        why << "close or minimise button not in its one state; ";
    if (s.IndexMode == os.Memo.Visible) why << "index view and wish box both shown or hidden; ";
    if (Button(WishCaption).State != (s.IndexMode ? 1 : 0))
        why << "wish caption does not follow the index view; ";
    if (SjisLength(os.Memo.Text) > 380) why << "wish longer than the box allows; ";
    auto checkMark = [&](TMenuItem item, bool value, const char* name) {
        if (s.MenuEntry(item).Checked != value)
            why << name << " check mark differs from the option; ";
    };
    checkMark(TMenuItem::MuteOnChange, s.Options.MuteOn, "MuteOn");
    checkMark(TMenuItem::FezPenBlackChange, s.Options.FezPenBlack, "FezPenBlack");
    checkMark(TMenuItem::FezPenDownChange, s.Options.FezPenDown, "FezPenDown");
    checkMark(TMenuItem::LightShowChange, s.Options.LightShow, "LightShow");
    checkMark(TMenuItem::NextResume, s.Options.ResumeOk, "ResumeOk");
    checkMark(TMenuItem::MStayOnTop, s.Options.StayOnTop, "StayOnTop");
    if (os.Topmost != s.Options.StayOnTop) why << "topmost state differs from StayOnTop; ";
    if (os.LiveRegions > 2) why << os.LiveRegions << " live regions; ";

    const int step = s.AnimStep;
    if (step >= 999 && !os.MemoIsReadOnly) why << "wish box editable during a card turn; ";
    if (step >= 500 && step <= 507 &&
        (Button(PrevButton).State != 2 || Button(NextButton).State != 2 || !s.IndexMode))
        why << "index opening without both page buttons pressed; ";
    if (step >= 550 && step <= 557 && Button(HomepageButton).State != 2)
        why << "link run without its button pressed; ";
    if (step == 3) {
        if (!label(TControl::LabelCreator).Visible) why << "creator held but its label hidden; ";
        if (Button(CreatorButton).State != 2) why << "creator held but its button not pressed; ";
        if (Button(ExplanationCaption).State != 1) why << "creator held but caption not shown; ";
    }
    if (step <= 2) {
        // Idle, or dragging: the panel shows the current card as a finished turn left it.
        const int card = s.CurrentCard;
        const bool unseen = card >= 1 && !s.Collection.SeenCards[card];
        const std::string number = "CARD." + ZeroPad(card, 3);
        if (label(TControl::LabelNo).Text != number || !label(TControl::LabelNo).Visible)
            why << "number label '" << label(TControl::LabelNo).Text << "' for card " << card
                << "; ";
        const std::string title = unseen ? sjis::kUnseenTitle : f.CardLine(card, FieldTitle);
        if (label(TControl::LabelTittle).Text != title || !label(TControl::LabelTittle).Visible)
            why << "title label does not show card " << card << "; ";
        // An unseen card shows the unseen message, or its own explanation once the creator
        // button has been held and released on it.
        const std::string text = f.CardLine(card, FieldExplanation);
        const std::string& shown = label(TControl::LabelKaisetu).Text;
        if ((shown != text && !(unseen && shown == sjis::kUnseenMessage)) ||
            !label(TControl::LabelKaisetu).Visible)
            why << "explanation label does not show card " << card << "; ";
        if (label(TControl::LabelCreator).Visible) why << "creator label shown while idle; ";
        if (Button(ExplanationCaption).State != 0) why << "creator caption shown while idle; ";
        if (os.MemoIsReadOnly) why << "wish box read-only while idle; ";
        for (int id : {PrevButton, NextButton, RandomButton, CreatorButton, HomepageButton})
            if (Button(id).State != 1)
                why << "button " << id << " in state " << Button(id).State << " while idle; ";
        if (Button(FortuneButton).State > 1) why << "fortune button pressed while idle; ";
        bool all = true;
        for (int k = 1; k <= MaxCard; ++k) all = all && s.Collection.SeenCards[k];
        if (s.Collection.AllCardsSeen != all)
            why << "AllCardsSeen is " << s.Collection.AllCardsSeen << "; ";
        const int heart =
            s.Collection.AllCardsSeen && HasAlternateMarker(f.CardLine(card, FieldHeader))
                ? (s.ShowAlternate ? 1 : 3)
                : 0;
        if (Button(HeartButton).State != heart)
            why << "heart in state " << Button(HeartButton).State << ", expected " << heart << "; ";
        if (s.IndexMode && Button(FortuneButton).State != 0)
            why << "fortune button usable in the index view; ";
        if (s.IndexMode && s.LoadedIndexPage != card / 10)
            why << "index shows page " << s.LoadedIndexPage << " for card " << card << "; ";
    }
    return why.str();
}

// The stream the driver reads its script from: each time the driver asks for the next
// line, the command before it has run completely, so the state is checked right there.
class TCheckingScript : public std::streambuf {
public:
    TCheckingScript(THeadlessPlatform& os, const std::vector<std::string>& events)
        : Os(os), Events(events) {}
    long FailedAt = -1;  // index of the event after which the state was wrong
    std::string Why;
    long Ran = 0;

protected:
    int_type underflow() override {
        if (Next > 0 && FailedAt < 0) {
            // The window lives from its showing until it is closed.
            TOrvaneFM* form = Os.WindowShown && !Os.CloseRequested ? ProgramOf(Os.Events) : nullptr;
            if (form) {
                const std::string why = Violation(Os, *form);
                if (!why.empty()) {
                    FailedAt = static_cast<long>(Next) - 1;
                    Why = why;
                }
            }
        }
        if (FailedAt >= 0 || Next >= Events.size() ||
            (Next > 0 && (Os.CloseRequested || !Os.WindowShown)))
            return traits_type::eof();
        Line = Events[Next++] + "\n";
        ++Ran;
        setg(&Line[0], &Line[0], &Line[0] + Line.size());
        return traits_type::to_int_type(Line[0]);
    }

private:
    THeadlessPlatform& Os;
    const std::vector<std::string>& Events;
    size_t Next = 0;
    std::string Line;
};

struct TRun {
    long FailedAt = -1;
    std::string Why;
    long Ran = 0;
};

// The settings a seed starts from: none, everything seen and resumed, or the index
// view resumed with a few cards missing.
std::string SettingsFor(uint64_t seed) {
    switch (seed % 3) {
        case 1:
            return "[Orvane.ini]\r\nResumeOk=1\r\nCardNum=5\r\nCardOK=" +
                   std::string(MaxCard, 'l') + "\r\nWish=abc\r\nStarX=30\r\nStarY=-20\r\n";
        case 2:
            return "[Orvane.ini]\r\nResumeOk=1\r\nIndexMode=1\r\nCardNum=49\r\nCardOK=" +
                   std::string(45, 'l') + "\r\nLightShow=0\r\nFezPenDown=1\r\n";
        default:
            return std::string();
    }
}

TRun RunEvents(uint64_t seed, const std::vector<std::string>& events) {
    const std::string dir = MakeTempDir("monkey");
    TRun run;
    {
        THeadlessPlatform os(dir);
        os.Seed = seed;
        os.Tick = 1000;
        const std::string ini = SettingsFor(seed);
        if (!ini.empty()) os.WriteFile(dir + "Orvane.ini", ini);
        TCheckingScript script(os, events);
        std::istream in(&script);
        std::ostringstream out, err;
        TScriptDriver driver(os, in, out, err);
        const int code = driver.Run();
        run.FailedAt = script.FailedAt;
        run.Why = script.Why;
        run.Ran = script.Ran;
        if (run.FailedAt < 0 && (code != 0 || !err.str().empty())) {
            run.FailedAt = script.Ran - 1;
            run.Why = "driver exit " + std::to_string(code) + ": " + err.str();
        }
        if (run.FailedAt < 0) {
            // After the close: the settings were written, the seen record is whole, and
            // no half-written file is left.
            std::string text;
            if (!os.Messages.empty())
                run.Why = "message at close: " + os.SjisToUtf8(os.Messages[0].Text);
            else if (!os.ReadFile(dir + "Orvane.ini", text))
                run.Why = "no settings file after the close";
            else if (text.find("CardOk=") == std::string::npos &&
                     text.find("CardOK=") == std::string::npos)
                run.Why = "no seen record in the settings file";
            else if (os.FileExists(dir + "Orvane.ini.new"))
                run.Why = "a half-written settings file is left";
            if (!run.Why.empty()) run.FailedAt = static_cast<long>(events.size()) - 1;
        }
    }
    if (std::system(("rm -rf '" + dir + "'").c_str()) != 0)
        ADD_FAILURE() << "cannot remove " << dir;
    return run;
}

// A small deterministic generator of its own, so the sequences never change with the
// program's random generator.
struct TGen {
    uint64_t S;
    uint32_t Next() {
        S = S * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(S >> 33);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
};

std::vector<std::string> MakeEvents(uint64_t seed, long count) {
    static const int kSpots[][2] = {
        {550, 20},  {595, 20},  {520, 250}, {630, 250}, {530, 565}, {660, 565}, {705, 250},
        {685, 22},  {470, 80},  {520, 80},  {690, 190}, {600, 150}, {457, 63},  {696, 204},
        {206, 298}, {100, 100}, {370, 540}, {470, 295}, {570, 310}, {570, 450}, {720, 400},
        {0, 0},     {736, 583}, {40, 560},  {471, 233}, {460, 140},
    };
    static const char* const kTexts[] = {
        "abc",
        "旅の無事",
        "a\\nb",
        "ｱｲｳ ソ表",
        "x",
        "    ",
        "☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆",
        "long wish long wish long wish long wish long wish long wish long wish long wish ",
        "\\r\\n",
        "=[Orvane.ini]",
        "0123456789",
    };
    static const char* const kMenus[] = {"PopCenter",         "MStayOnTop",       "MuteOnChange",
                                         "FezPenBlackChange", "FezPenDownChange", "LightShowChange",
                                         "LightPointChange",  "CardUndo",         "PopSaigen",
                                         "NextResume"};
    static const int kKeys[] = {13, 13, 27, 8, 46, 37, 39, 65, 32, 112};
    static const int kTicks[] = {10, 20, 50, 60, 60, 100, 300, 1000};
    TGen g{seed * 0x9E3779B97F4A7C15ull + 1};
    std::vector<std::string> ev = {"start", "tick 10"};
    auto mods = [&] {
        std::string m;
        if (g.Below(10) == 0) m += " ctrl";
        if (g.Below(12) == 0) m += " shift";
        if (g.Below(15) == 0) m += " alt";
        return m;
    };
    auto point = [&] {
        if (g.Below(4) == 0)
            return std::to_string(g.Below(780) - 20) + " " + std::to_string(g.Below(630) - 20);
        const int* p = kSpots[g.Below(sizeof kSpots / sizeof kSpots[0])];
        return std::to_string(p[0] + g.Below(5) - 2) + " " + std::to_string(p[1] + g.Below(5) - 2);
    };
    while (static_cast<long>(ev.size()) < count) {
        const int r = g.Below(1000);
        if (r < 160) {
            ev.push_back("click " + point() + mods());
        } else if (r < 260) {
            const char* b = g.Below(6) == 0 ? "M" : g.Below(8) == 0 ? "R" : "L";
            ev.push_back(std::string(g.Below(2) ? "down " : "up ") + b + " " + point() + mods());
        } else if (r < 400) {
            ev.push_back("move " + point());
        } else if (r < 540) {
            ev.push_back("key " + std::to_string(kKeys[g.Below(10)]) + mods());
        } else if (r < 620) {
            ev.push_back(std::string("type ") + kTexts[g.Below(sizeof kTexts / sizeof kTexts[0])]);
        } else if (r < 690) {
            ev.push_back(std::string("menu ") + kMenus[g.Below(10)]);
        } else if (r < 691) {
            ev.push_back("menu WallMakeClick");
        } else if (r < 692) {
            ev.push_back("click 719 17");  // the close button ends the run
        } else if (r < 720) {
            ev.push_back("idle");
        } else {
            ev.push_back("tick " + std::to_string(kTicks[g.Below(8)]));
        }
    }
    ev.push_back("close");
    return ev;
}

// Deletes events while the run still fails the same way: chunks from half the
// sequence down to single events.
std::vector<std::string> Shrink(uint64_t seed, std::vector<std::string> events,
                                const std::string& why, int budget) {
    const std::string kind = why.substr(0, why.find_first_of("0123456789'"));
    for (size_t chunk = events.size() / 2; chunk >= 1 && budget > 0; chunk /= 2) {
        for (size_t at = 1; at + chunk <= events.size() && budget > 0;) {  // keep "start"
            std::vector<std::string> shorter(events.begin(),
                                             events.begin() + static_cast<long>(at));
            shorter.insert(shorter.end(), events.begin() + static_cast<long>(at + chunk),
                           events.end());
            --budget;
            const TRun r = RunEvents(seed, shorter);
            if (r.FailedAt >= 0 && r.Why.compare(0, kind.size(), kind) == 0) {
                shorter.resize(static_cast<size_t>(r.FailedAt) + 1);
                events = shorter;
            } else {
                at += chunk;
            }
        }
        if (chunk == 1) break;
    }
    return events;
}

long EnvNumber(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atol(v) : fallback;
}

}  // namespace

TEST(Monkey, RandomInputNeverLeavesTheProgramInAnImpossibleState) {
    const long perSeed = EnvNumber("SABLEWICK_MONKEY_EVENTS", 1500);
    const long seeds = EnvNumber("SABLEWICK_MONKEY_SEEDS", 6);
    long total = 0;
    for (uint64_t seed = 1; seed <= static_cast<uint64_t>(seeds); ++seed) {
        const std::vector<std::string> events = MakeEvents(seed, perSeed);
        const TRun run = RunEvents(seed, events);
        total += run.Ran;
        if (run.FailedAt < 0) continue;
        std::vector<std::string> failing(events.begin(), events.begin() + run.FailedAt + 1);
        const std::vector<std::string> shortest = Shrink(seed, failing, run.Why, 400);
        std::ostringstream script;
        for (const std::string& e : shortest) script << e << "\n";
        ADD_FAILURE() << "seed " << seed << ": after event " << run.FailedAt << " ("
                      << events[static_cast<size_t>(run.FailedAt)] << "): " << run.Why
                      << "\nshortest failing sequence (" << shortest.size()
                      << " commands; run it with sablewick-headless --seed " << seed
                      << " and the seed's settings file):\n"
                      << script.str();
    }
    std::printf("monkey: %ld events over %ld seeds\n", total, seeds);
    RecordProperty("events", std::to_string(total));
}

// Found by the monkey: releasing the creator button put the reading of a card the user
// has not met yet into the explanation label, while the title still said "？？？".
