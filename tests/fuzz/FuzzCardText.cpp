// The card text resource: any bytes as CARDT. The loader splits them into lines without
// losing or inventing a byte; the program starts with them or shows an error, and a run
// of clicks over the card panel either works or ends in a message box, never a crash.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "app/MainUnit.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/FormAccess.h"

namespace {
template <typename F>
bool Handler(TFuzzPlatform& os, F f) {
    // As the message loop does: an error escaping a handler is shown and the program
    // goes on.
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        os.ShowErrorBox(kAppTitle, e.what());
        return false;
    }
}

void CheckLines(const std::string& text, const std::vector<std::string>& lines) {
    std::string joined, expected;
    size_t breaks = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            ++breaks;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            expected += c;
        }
    }
    for (const std::string& l : lines) {
        FUZZ_CHECK(l.find_first_of("\r\n") == std::string::npos);
        joined += l;
    }
    FUZZ_CHECK(joined == expected);
    const bool tail = !text.empty() && text.back() != '\r' && text.back() != '\n';
    FUZZ_CHECK(lines.size() == breaks + (tail ? 1 : 0));
}

uint32_t HashOf(const std::string& text) {
    uint32_t h = 2166136261u;
    for (unsigned char c : text) h = (h ^ c) * 16777619u;
    return h;
}

// The cards an input is tried on: the title card, the last, the cards on either side of
// where the text runs out (seven lines to a card), and one the input's own bytes pick.
// Trying all fifty on every input would cost most of the run and find nothing the edges
// do not. The replay of the corpus tries them all.
std::vector<int> CardsToTry(uint32_t hash, size_t lineCount) {
    std::vector<int> cards = {0, MaxCard, static_cast<int>(hash % (MaxCard + 1))};
#ifdef SABLEWICK_REPLAY
    for (int c = 1; c < MaxCard; ++c) cards.push_back(c);
#endif
    const int whole = static_cast<int>(lineCount / 7);
    for (int c : {whole - 1, whole, whole + 1})
        if (c >= 0 && c <= MaxCard) cards.push_back(c);
    std::sort(cards.begin(), cards.end());
    cards.erase(std::unique(cards.begin(), cards.end()), cards.end());
    return cards;
}

// One window for the whole run: building it for every input would cost most of the run.
struct TProgram {
    TFuzzPlatform Os;
    TOrvaneFM Form{Os};
    TProgram() { Os.ReplaceCardText = true; }

    // Gives back all an input allocated, so every input frees as much as it takes: the
    // fuzzer runs a whole leak check after any input that does not.
    void Settle() {
        std::vector<std::string>().swap(TFormAccess::CardText(Form));
        std::string().swap(Os.CardText);
        for (auto& label : Os.Labels) std::string().swap(label.second.Text);
        std::vector<THeadlessPlatform::TMessage>().swap(Os.Messages);
        std::vector<std::string>().swap(Os.Sounds);
        std::vector<std::string>().swap(Os.ShellLaunches);
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TProgram p;
    TFuzzPlatform& os = p.Os;
    TOrvaneFM& form = p.Form;
    os.CardText.assign(reinterpret_cast<const char*>(data), size);
    TFormAccess::Restart(form);
    {
        std::vector<std::string> lines;
        FUZZ_CHECK(TFormAccess::LoadTextResource(form, "CardT", lines));
        CheckLines(os.CardText, lines);

        // Every reader of the card words, with no card seen or all seen (the input's bytes
        // pick which; the replay tries both): each either works or raises the error the
        // message loop shows.
        TFormAccess::CardText(form) = lines;
        const uint32_t hash = HashOf(os.CardText);
#ifdef SABLEWICK_REPLAY
        const int firstPass = 0;
#else
        const int firstPass = static_cast<int>((hash >> 16) & 1u);
#endif
        for (int pass = firstPass; pass < 2; ++pass) {
            if (pass == 1) TFormAccess::SeeAll(form);
            TFormAccess::CheckAllSeen(form);
            TFormAccess::ShowAlternate(form) = pass == 1;
            for (int card : CardsToTry(hash, lines.size())) {
                TFormAccess::SetCurrentCard(form, card);
                if (Handler(os, [&] { TFormAccess::SetCardPanel(form, card); }) && pass == 1)
                    FUZZ_CHECK(os.Labels[TControl::LabelTittle].Text == lines[7 * card + 1]);
                Handler(os, [&] { TFormAccess::ShowCardLabels(form, true); });
                Handler(os, [&] { TFormAccess::ShowCreatorComment(form, card); });
                Handler(os, [&] { TFormAccess::HideCreatorComment(form, card); });
                Handler(os, [&] { TFormAccess::UpdateHeartButton(form); });
                Handler(os, [&] {
                    TFormAccess::OpenLink(form, form.CardLine(card, FieldLink).substr(0, 255));
                });
            }
        }
    }
#ifdef SABLEWICK_REPLAY
    // The replay also starts a whole program of its own on the text, which is too slow to
    // fuzz: it starts or shows an error, and clicks over the card panel never crash it.
    const int card = size > 0 ? data[size - 1] % 50 : 0;
    TFuzzPlatform ros;
    ros.ReplaceCardText = true;
    ros.CardText = os.CardText;
    ros.Files[std::string(TFuzzPlatform::kDir) + kIniName] =
        "[Orvane.ini]\r\nResumeOk=1\r\nCardNum=" + std::to_string(card) +
        "\r\nCardOK=" + std::string(49, 'l') + "\r\n";
    {
        TOrvaneFM form(ros);
        if (form.FormCreate()) {
            FUZZ_CHECK(ros.Messages.empty());
            ros.ShowMainWindow();
            auto press = [&](int x, int y) {
                Handler(ros, [&] {
                    form.Events.FormMouseDown(TControl::Form, TMouseButton::Left, {}, x, y);
                });
                Handler(ros, [&] {
                    form.Events.FormMouseUp(TControl::Form, TMouseButton::Left, {}, x, y);
                });
            };
            auto idle = [&] {
                for (int i = 0; i < 40 && form.State().AnimStep != 0; ++i) {
                    ros.Tick += FrameInterval;
                    Handler(ros, [&] { form.Events.Timer1Timer(); });
                }
            };
            // The creator button, the heart, the link button and a random draw.
            press(460, 552);
            press(690, 240);
            idle();
            press(616, 552);
            idle();
            press(590, 240);
            idle();
            form.Events.FormCloseQuery();
        } else {
            FUZZ_CHECK(!ros.Messages.empty());
        }
        form.Events.FormDestroy();
    }
#endif
    p.Settle();
    return 0;
}
