// Pictures decoded ahead on a thread of their own: what the loaders take from there is
// exactly what they would have decoded themselves, from the same bytes only, once.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "content/DecodeAhead.h"
#include "content/ImageCodecs.h"
#include "support/TestPlatform.h"

namespace {

class DecodeAheadTest : public ::testing::Test {
protected:
    void SetUp() override { Os = CreateTestPlatform(MakeTempDir("ahead")); }

    // The decoder's own result for these bytes, decoded here and now.
    static bool DecodeHere(const TDecodeAhead::TSource& s, TPicture& pic) {
        return s.Type == "JPG" ? DecodeJpeg(s.View.Data, s.View.Size, pic)
                               : DecodeBmp(s.View.Data, s.View.Size, pic);
    }
    static void ExpectSame(const TPicture& a, const TPicture& b, const std::string& what) {
        EXPECT_EQ(a.Width, b.Width) << what;
        EXPECT_EQ(a.Height, b.Height) << what;
        EXPECT_EQ(a.BitsPerPixel, b.BitsPerPixel) << what;
        EXPECT_TRUE(a.Pixels == b.Pixels) << what;
    }
    std::unique_ptr<TPlatform> Os;
};

TEST_F(DecodeAheadTest, TheStartsPicturesAreThoseTheLoadersWouldDecode) {
    const std::vector<TDecodeAhead::TSource> sources =
        TDecodeAhead::Find(*Os, kStartPictures, kStartPictureCount);
    if (sources.empty()) GTEST_SKIP() << "this build's platform carries no resources";
    ASSERT_EQ(sources.size(), kStartPictureCount) << "every picture of the start is there";
    TDecodeAhead ahead(sources);
    // Taken last first: the loader waits for whichever it asks for.
    for (size_t i = sources.size(); i-- > 0;) {
        const TDecodeAhead::TSource& s = sources[i];
        TPicture taken, here;
        bool decoded = false;
        ASSERT_TRUE(ahead.Take(s.Type, s.View, taken, decoded)) << kStartPictures[i].Name;
        EXPECT_EQ(decoded, DecodeHere(s, here));
        EXPECT_TRUE(decoded) << kStartPictures[i].Name;
        ExpectSame(taken, here, kStartPictures[i].Name);
        // Handed over once: a second load decodes for itself.
        EXPECT_FALSE(ahead.Take(s.Type, s.View, taken, decoded)) << kStartPictures[i].Name;
    }
}

TEST_F(DecodeAheadTest, APictureAddedLaterIsTakenLikeTheOthers) {
    TResourceView base, face;
    if (!Os->FindResourceData("JPG", "Base", base) || !Os->FindResourceData("JPG", "C022", face))
        GTEST_SKIP() << "this build's platform carries no resources";
    TDecodeAhead ahead({{"JPG", base}});
    TPicture first;
    bool decoded = false;
    // The thread may well be idle by now: the addition wakes it.
    ASSERT_TRUE(ahead.Take("JPG", base, first, decoded));
    ahead.Add({"JPG", face});
    ahead.Add({"JPG", base});  // the same bytes again: a second picture of them
    TPicture taken, here, again;
    ASSERT_TRUE(ahead.Take("JPG", face, taken, decoded));
    EXPECT_TRUE(decoded);
    ASSERT_TRUE(DecodeJpeg(face.Data, face.Size, here));
    ExpectSame(taken, here, "C022");
    ASSERT_TRUE(ahead.Take("JPG", base, again, decoded));
    ExpectSame(again, first, "Base");
}

TEST_F(DecodeAheadTest, WorkGivenToDoFirstRunsOnceOnTheHelperThread) {
    TResourceView base;
    if (!Os->FindResourceData("JPG", "Base", base))
        GTEST_SKIP() << "this build's platform carries no resources";
    std::atomic<int> runs(0);
    std::atomic<bool> ownThread(false);
    const std::thread::id test = std::this_thread::get_id();
    {
        TDecodeAhead ahead({{"JPG", base}}, [&] {
            ownThread = std::this_thread::get_id() != test;
            ++runs;
        });
        // Taken only once the work has run: a loader that comes sooner decodes the picture
        // itself, which the next test covers.
        while (runs == 0) std::this_thread::yield();
        TPicture pic;
        bool decoded = false;
        ASSERT_TRUE(ahead.Take("JPG", base, pic, decoded));
        EXPECT_TRUE(decoded);
        TPicture here;
        DecodeHere({"JPG", base}, here);
        ExpectSame(pic, here, "Base");
    }
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(ownThread);
}

TEST_F(DecodeAheadTest, APictureTheThreadHasNotComeToIsDecodedByTheLoaderItself) {
    TResourceView base, face;
    if (!Os->FindResourceData("JPG", "Base", base) || !Os->FindResourceData("JPG", "C022", face))
        GTEST_SKIP() << "this build's platform carries no resources";
    // The thread is held in its first work until the loader has its picture: waiting for
    // the thread would never end.
    std::atomic<bool> go(false);
    TDecodeAhead ahead({{"JPG", face}, {"JPG", base}}, [&] {
        while (!go) std::this_thread::yield();
    });
    TPicture taken, here;
    bool decoded = false;
    ASSERT_TRUE(ahead.Take("JPG", base, taken, decoded));
    go = true;
    EXPECT_TRUE(decoded);
    ASSERT_TRUE(DecodeJpeg(base.Data, base.Size, here));
    ExpectSame(taken, here, "Base");
    EXPECT_FALSE(ahead.Take("JPG", base, taken, decoded)) << "handed over once";
    // The thread goes on with the rest.
    ASSERT_TRUE(ahead.Take("JPG", face, taken, decoded));
    EXPECT_EQ(taken.Width, 340);
}

TEST_F(DecodeAheadTest, OnlyTheSameBytesWithTheSameDecoderAreTaken) {
    TResourceView base, other;
    if (!Os->FindResourceData("JPG", "Base", base) || !Os->FindResourceData("JPG", "C022", other))
        GTEST_SKIP() << "this build's platform carries no resources";
    TDecodeAhead ahead({{"JPG", base}});
    TPicture pic;
    bool decoded = false;
    EXPECT_FALSE(ahead.Take("JPG", other, pic, decoded)) << "another picture";
    TResourceView shorter = base;
    --shorter.Size;
    EXPECT_FALSE(ahead.Take("JPG", shorter, pic, decoded)) << "the same start, cut short";
    EXPECT_FALSE(ahead.Take("BMP", base, pic, decoded)) << "another decoder";
    EXPECT_TRUE(pic.Empty());
    EXPECT_TRUE(ahead.Take("JPG", base, pic, decoded));
    EXPECT_EQ(pic.Width, 737);
}

TEST_F(DecodeAheadTest, DamagedBytesEndAsTheDecoderLeavesThem) {
    TResourceView base, mask;
    if (!Os->FindResourceData("JPG", "Base", base) || !Os->FindResourceData("BMP", "BaseMsk", mask))
        GTEST_SKIP() << "this build's platform carries no resources";
    // A JPEG cut off in its data, and a bitmap without its pixels.
    const std::string cut(reinterpret_cast<const char*>(base.Data), base.Size / 2);
    const std::string header(reinterpret_cast<const char*>(mask.Data), 60);
    const std::vector<TDecodeAhead::TSource> sources = {
        {"JPG", {reinterpret_cast<const uint8_t*>(cut.data()), cut.size()}},
        {"BMP", {reinterpret_cast<const uint8_t*>(header.data()), header.size()}},
    };
    TDecodeAhead ahead(sources);
    for (const TDecodeAhead::TSource& s : sources) {
        TPicture taken, here;
        bool decoded = true;
        ASSERT_TRUE(ahead.Take(s.Type, s.View, taken, decoded)) << s.Type;
        EXPECT_FALSE(decoded) << s.Type;
        EXPECT_EQ(DecodeHere(s, here), decoded) << s.Type;
        ExpectSame(taken, here, s.Type);
        EXPECT_TRUE(taken.Empty()) << s.Type;
    }
}

TEST_F(DecodeAheadTest, EndingUntakenStopsTheThread) {
    const std::vector<TDecodeAhead::TSource> sources =
        TDecodeAhead::Find(*Os, kStartPictures, kStartPictureCount);
    {
        TDecodeAhead ahead(sources);
        TDecodeAhead second(sources);
    }
    // Nothing is found: nothing to decode, and nothing on offer but the object itself.
    TDecodeAhead none(TDecodeAhead::Find(*Os, nullptr, 0));
    TPicture pic;
    bool decoded = false;
    TResourceView base;
    if (Os->FindResourceData("JPG", "Base", base)) {
        EXPECT_FALSE(none.Take("JPG", base, pic, decoded));
    }
}

}  // namespace
