// Light effects: sixteen sparkles stream from the light origin. They are drawn on the
// window only, never into the back buffer: each step rebuilds the light area from the
// back buffer and draws the sparkles on top, so nothing needs erasing sparkle by sparkle.
#include "render/LightEffects.h"

#include <cmath>

#include "app/MainUnit.h"

namespace {
constexpr int kAreaBaseX = 161;
constexpr int kAreaBaseY = 253;
constexpr int kCentre = 44;
constexpr int kLongestLife = 43;
constexpr double kTwoPi = 6.283185307179586;
}  // namespace

void DrawSparkle(TPicture& target, const TPicture& star, int radius, double angle, int age,
                 int crossSteps, int centre) {
    const int px = centre + static_cast<int>(std::trunc(radius * std::sin(angle)));
    const int py = centre + static_cast<int>(std::trunc(radius * std::cos(angle)));
    if (age < crossSteps) {
        CopyRect(star, 1, 0, 1, 3, target, px + 1, py);  // middle column
        CopyRect(star, 0, 1, 3, 1, target, px, py + 1);  // middle row
    } else {
        CopyRect(star, 1, 1, 1, 1, target, px, py);  // centre pixel
    }
}

void TOrvaneFM::RespawnSparkle(int index) {
    Sparkle& s = Sparkles[index];
    s.Angle = Random.NextReal() * kTwoPi;
    s.Radius = -Random.Next(10);
    s.Age = 0;
    s.Lifetime = kLongestLife - Random.Next(10);
    s.CrossSteps = kLongestLife - 15 - Random.Next(15);
}

void TOrvaneFM::RespawnAllSparkles() {
    for (int i = 0; i < kSparkles; ++i) RespawnSparkle(i);
}

void TOrvaneFM::StepLightEffect() {
    const int left = kAreaBaseX + StarX, top = kAreaBaseY + StarY;
    // Parts of the area outside the back buffer stay black in the scratch picture and
    // are clipped away again when it is shown.
    FillRect(LightScratch, 0, 0, kLightAreaSize, kLightAreaSize, 0);
    CopyRect(BackBuffer, left, top, kLightAreaSize, kLightAreaSize, LightScratch, 0, 0);
    if (Options.LightShow || CurrentCard == 0) {
        for (int i = 0; i < kSparkles; ++i) {
            Sparkle& s = Sparkles[i];
            if (s.Age < s.Lifetime) {
                ++s.Age;
                ++s.Radius;
                if (s.Radius > 1)
                    DrawSparkle(LightScratch, StarPic, s.Radius, s.Angle, s.Age, s.CrossSteps,
                                kCentre);
            } else {
                RespawnSparkle(i);
            }
        }
    }
    // Only the part of the area that lies on the window is shown.
    int sx = 0, sy = 0, w = kLightAreaSize, h = kLightAreaSize, dx = left, dy = top;
    if (ClipCopy(sx, sy, w, h, kLightAreaSize, kLightAreaSize, dx, dy, kWindowWidth, kWindowHeight))
        Os.Present(LightScratch, sx, sy, w, h, dx, dy);
}

void TOrvaneFM::EraseLightArea() {
    FlushRect(kAreaBaseX + StarX, kAreaBaseY + StarY, kLightAreaSize, kLightAreaSize);
}

void TOrvaneFM::SetLightOrigin(int x, int y) {
    StarX = x;
    StarY = y;
}

void TOrvaneFM::SetLightOriginFromPoint(int px, int py) {
    StarX = px - kAreaBaseX - kCentre - 1;
    StarY = py - kAreaBaseY - kCentre - 1;
}
