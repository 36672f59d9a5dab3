// The wallpaper maker: the current card, framed as the window shows it, on a black sky
// strewn with bluish stars, written beside the program and made the desktop wallpaper.
#include "app/MainUnit.h"
#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"
#include "content/ImageCodecs.h"

int BrightenChannel(int c, int amount, int offset) {
    int p = amount + offset;
    if (p < 1) p = 1;
    if (p > 100) p = 100;
    return c + (255 - c) * p / 100;
}

void TOrvaneFM::LightenPixel(int x, int y, int amount) {
    TPicture& work = CardSlot[0];
    // A neighbour of a star on the edge lies outside the picture: nothing is written.
    if (!work.Contains(x, y)) return;
    const uint32_t p = work.GetPixel(x, y);
    work.SetPixel(x, y,
                  MakePixel(BrightenChannel(PixelRed(p), amount, WallOffsetR),
                            BrightenChannel(PixelGreen(p), amount, WallOffsetG),
                            BrightenChannel(PixelBlue(p), amount, WallOffsetB)));
}

void TOrvaneFM::StampStar(int x, int y, int shape, int amount) {
    ++StarsStamped;
    if (shape == 0 && amount > 75) {
        if (Random.Next(6) == 0) {
            WallOffsetR -= 25;
            WallOffsetG -= 25;
            WallOffsetB = Random.Next(26) + 25;
        }
        LightenPixel(x - 1, y, amount / 2);
        LightenPixel(x + 1, y, amount / 2);
        LightenPixel(x, y - 1, amount / 2);
        LightenPixel(x, y + 1, amount / 2);
        LightenPixel(x - 1, y - 1, amount / 3);
        LightenPixel(x + 1, y - 1, amount / 3);
        LightenPixel(x - 1, y + 1, amount / 3);
        LightenPixel(x + 1, y + 1, amount / 3);
    }
    LightenPixel(x, y, amount);
}

void TOrvaneFM::CopyFrameStrip(int a, int b, int width, int height) {
    CopyRect(BackBuffer, a, 12 + b, width, height, CardSlot[0], WallOffX + a, WallOffY + b);
}

void TOrvaneFM::MakeWallpaper() {
    SetPointer(kPointerHourglass);
    int sw = 0, sh = 0;
    Os.GetScreenSize(sw, sh);
    sw = sw < 0 ? 0 : sw;
    sh = sh < 0 ? 0 : sh;
    WallOffX = (sw - 412) / 2;
    WallOffY = (sh - 572) / 2 - 7;
    // The work picture borrows card slot 0 (the card back) until the end.
    TPicture& work = CardSlot[0];
    work.Release();
    work.SetSize(sw, sh);

    StarsStamped = 0;
    WallOffsetR = -30;
    WallOffsetG = -30;
    WallOffsetB = 0;
    const long dimStars = static_cast<long>(sw / 5) * (sh / 5) + 1;
    for (long i = 0; i < dimStars; ++i) {
        const int amount = Random.Next(25) + 1;
        const int y = Random.Next(sh);
        const int x = Random.Next(sw);
        StampStar(x, y, -1, amount);
    }
    const long brightStars = static_cast<long>(sw / 20) * (sh / 20) + 1;
    for (long i = 0; i < brightStars; ++i) {
        WallOffsetR = WallOffsetG = WallOffsetB = 0;
        if (Random.Next(5) == 0) {
            WallOffsetR = Random.Next(61) - 30;
            WallOffsetG = Random.Next(61) - 30;
            WallOffsetB = Random.Next(61) - 30;
        }
        const int amount = Random.Next(80) + 21;
        const int shape = Random.Next(4);
        const int y = Random.Next(sh);
        const int x = Random.Next(sw);
        StampStar(x, y, shape, amount);
    }

    // The frame block, its four corners cut off diagonally by 17 pixels.
    CopyFrameStrip(0, 17, 412, 538);
    for (int i = 1; i <= 17; ++i) {
        CopyFrameStrip(i, 17 - i, 412 - 2 * i, 1);
        CopyFrameStrip(i, 554 + i, 412 - 2 * i, 1);
    }

    work.BitsPerPixel = 24;
    const std::string path = ProgramDir + "WallOrvane.bmp";
    // Written beside and moved into place, so a failed save leaves an earlier wallpaper
    // file whole.
    const std::string temporary = path + ".new";
    if (!Os.WriteFile(temporary, EncodeBmp24(work)) || !Os.ReplaceFile(temporary, path)) {
        Os.DeleteFile(temporary);
        // The card back goes back into its slot before the next card turn draws it.
        LoadCardPicture(kCardBack, 0);
        NormalPointer();
        throw EError(Format(sjis::kCannotCreateFile, Os.Utf8ToSjis(path).c_str()));
    }
    Os.SetDesktopWallpaper(path);
    LoadCardPicture(kCardBack, 0);
    NormalPointer();
}
