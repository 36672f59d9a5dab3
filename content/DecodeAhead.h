#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/Picture.h"
#include "platform/Platform.h"

// Pictures the start will need, decoded on a thread of their own while the main thread
// builds the window. LoadJpegResource and LoadBitmapResource take a picture from here
// when it was decoded from the very bytes they would decode, with the same decoder, and
// decode it themselves otherwise: what the program ends up with never depends on it.
// The program is handed the object when it is built (TOrvaneFM's constructor); a picture
// is handed over once.
class TDecodeAhead {
public:
    struct TWanted {
        const char* Type;  // "JPG" or "BMP"
        const char* Name;
    };
    struct TSource {
        std::string Type;
        TResourceView View;
    };
    // The resources' bytes, looked up now; a missing one is left out (the loaders report
    // it when they come to it).
    static std::vector<TSource> Find(TPlatform& os, const TWanted* wanted, size_t count);
    // Starts decoding the sources in the order given. Their bytes must outlive the object.
    // `first`, when given, runs on the same thread before them: other work the start can
    // do ahead, kept from competing with the decoding for the processors.
    explicit TDecodeAhead(std::vector<TSource> sources,
                          std::function<void()> first = std::function<void()>());
    // Stops after the picture under way and waits for the thread.
    ~TDecodeAhead();
    // One more picture, decoded after those before it.
    void Add(const TSource& source);
    TDecodeAhead(const TDecodeAhead&) = delete;
    TDecodeAhead& operator=(const TDecodeAhead&) = delete;

    // When these bytes were to be decoded ahead as `type`: moves the picture into
    // `picture`, sets `decoded` to the decoder's result and returns true. A picture under
    // way is waited for; one the thread has not come to yet (a busy machine) is decoded
    // here and now instead.
    bool Take(const std::string& type, const TResourceView& view, TPicture& picture, bool& decoded);

private:
    struct TEntry {
        TSource Source;
        bool Started = false;  // by the thread, or by a loader that would not wait for it
        bool Done = false;
        bool Taken = false;
        bool Decoded = false;
        TPicture Picture;
    };
    void Run();

    std::function<void()> FFirst;
    std::deque<TEntry> FEntries;  // only ever added to at the end
    std::mutex FLock;
    std::condition_variable FWork;      // an entry added, or the end
    std::condition_variable FProgress;  // an entry done
    bool FStop = false;
    std::thread FThread;
};

// What FormCreate loads before anything else can show, in its order (app/Lifecycle.cpp).
extern const TDecodeAhead::TWanted kStartPictures[];
extern const size_t kStartPictureCount;
