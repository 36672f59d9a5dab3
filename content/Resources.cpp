// Resource loaders: every picture, sound and the card text come out of the program's
// own module by type and name.
#include "app/MainUnit.h"
#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "content/DecodeAhead.h"
#include "content/ImageCodecs.h"

// A missing picture, sound or pointer resource is an error the callers do not catch.
static TResourceView OpenResource(TPlatform& os, const std::string& type, const std::string& name) {
    TResourceView view;
    if (!os.FindResourceData(type, name, view))
        throw EResNotFound(Format(sjis::kResNotFound, name.c_str()));
    return view;
}

// A picture decoded ahead from the same bytes is taken when there is one
// (content/DecodeAhead.h).
bool TOrvaneFM::LoadJpegResource(const std::string& name, TPicture& picture) {
    TResourceView view = OpenResource(Os, "JPG", name);
    picture.Release();
    bool decoded = false;
    if (Ahead && Ahead->Take("JPG", view, picture, decoded)) return decoded;
    // A file that does not decode leaves the empty picture in place; drawing an empty
    // picture draws nothing.
    return DecodeJpeg(view.Data, view.Size, picture);
}

bool TOrvaneFM::LoadBitmapResource(const std::string& name, TPicture& picture) {
    TResourceView view = OpenResource(Os, "BMP", name);
    picture.Release();
    bool decoded = false;
    if (Ahead && Ahead->Take("BMP", view, picture, decoded)) return decoded;
    return DecodeBmp(view.Data, view.Size, picture);
}

bool TOrvaneFM::LoadBitmapCopy(const std::string& name, TPicture& picture) {
    // Every BMP resource is used as a copy in the program's own 32-bit format, whatever
    // the file's depth. The decoder writes that format's pixels already, so the decoded
    // picture is that copy once it is tagged 32-bit: it is not drawn a second time.
    picture.Release();
    const bool ok = LoadBitmapResource(name, picture);
    picture.BitsPerPixel = 32;
    return ok;
}

bool TOrvaneFM::LoadTextResource(const std::string& name, std::vector<std::string>& lines) {
    lines.clear();
    TResourceView view;
    if (!Os.FindResourceData("TXT", name, view)) return false;
    // A line ends at CR LF, CR or LF; a last line without a line break counts too.
    const char* p = reinterpret_cast<const char*>(view.Data);
    const char* end = p + view.Size;
    std::string line;
    while (p < end) {
        char c = *p++;
        if (c == '\r' || c == '\n') {
            if (c == '\r' && p < end && *p == '\n') ++p;
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return true;
}

void TOrvaneFM::LoadSoundResource(const std::string& name, int slot) {
    // The slot holds a view of the resource bytes, which stay valid for the life of the
    // process: nothing is copied, so playback can read them while the program goes on.
    SoundTable[slot] = OpenResource(Os, "WAV", name);
}

void TOrvaneFM::LoadAllSounds() {
    for (int i = kCueOpening; i < kCueCreator; ++i) LoadSoundResource("A" + ZeroPad(i, 2), i);
    for (int i = kCueCreator; i <= kSoundSlots; ++i)
        LoadSoundResource("B" + ZeroPad(i - kCueCreator, 2), i);
}

void TOrvaneFM::FreeAllSounds() {
    for (int i = 1; i <= kSoundSlots; ++i) SoundTable[i] = TResourceView();
}
