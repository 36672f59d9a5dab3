#include "content/DecodeAhead.h"

#include <utility>

#include "content/ImageCodecs.h"

namespace {
bool Decode(const std::string& type, const TResourceView& view, TPicture& picture) {
    return type == "JPG" ? DecodeJpeg(view.Data, view.Size, picture)
                         : DecodeBmp(view.Data, view.Size, picture);
}
}  // namespace

std::vector<TDecodeAhead::TSource> TDecodeAhead::Find(TPlatform& os, const TWanted* wanted,
                                                      size_t count) {
    std::vector<TSource> sources;
    for (size_t i = 0; i < count; ++i) {
        TSource source;
        source.Type = wanted[i].Type;
        if (os.FindResourceData(source.Type, wanted[i].Name, source.View) && source.View.Data)
            sources.push_back(source);
    }
    return sources;
}

TDecodeAhead::TDecodeAhead(std::vector<TSource> sources, std::function<void()> first)
    : FFirst(std::move(first)) {
    for (TSource& source : sources) {
        FEntries.emplace_back();
        FEntries.back().Source = std::move(source);
    }
    FThread = std::thread([this] { Run(); });
}

TDecodeAhead::~TDecodeAhead() {
    {
        std::lock_guard<std::mutex> hold(FLock);
        FStop = true;
    }
    FWork.notify_one();
    FThread.join();
}

void TDecodeAhead::Add(const TSource& source) {
    {
        std::lock_guard<std::mutex> hold(FLock);
        FEntries.emplace_back();
        FEntries.back().Source = source;
    }
    FWork.notify_one();
}

void TDecodeAhead::Run() {
    if (FFirst) FFirst();
    for (size_t next = 0;; ++next) {
        TEntry* entry = nullptr;
        {
            std::unique_lock<std::mutex> hold(FLock);
            FWork.wait(hold, [&] { return FStop || next < FEntries.size(); });
            if (FStop) return;
            // Entries are only ever added at the end, which leaves this one in place.
            entry = &FEntries[next];
            if (entry->Started) continue;  // a loader got there first
            entry->Started = true;
        }
        // An entry's source never changes, and its picture is touched only once it is done.
        TPicture picture;
        const bool decoded = Decode(entry->Source.Type, entry->Source.View, picture);
        {
            std::lock_guard<std::mutex> hold(FLock);
            entry->Picture = std::move(picture);
            entry->Decoded = decoded;
            entry->Done = true;
        }
        FProgress.notify_all();
    }
}

bool TDecodeAhead::Take(const std::string& type, const TResourceView& view, TPicture& picture,
                        bool& decoded) {
    std::unique_lock<std::mutex> hold(FLock);
    for (TEntry& entry : FEntries) {
        if (entry.Taken || entry.Source.Type != type || entry.Source.View.Data != view.Data ||
            entry.Source.View.Size != view.Size)
            continue;
        entry.Taken = true;
        if (!entry.Started) {
            entry.Started = true;
            hold.unlock();
            decoded = Decode(type, view, picture);
            return true;
        }
        FProgress.wait(hold, [&entry] { return entry.Done; });
        picture = std::move(entry.Picture);
        decoded = entry.Decoded;
        return true;
    }
    return false;
}
