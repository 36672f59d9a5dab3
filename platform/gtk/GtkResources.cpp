// The embedded resources, each handed out from a mapping of its own.
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

#include "platform/gtk/GtkPlatform.h"
#include "platform/posix/EmbeddedResources.h"

namespace {
// The resources are built into the program, but each is handed out from a mapping of its
// own bytes of the program's file rather than from the program's image. The kernel maps a
// file's pages into a process in large runs where it can; within the image, touching one
// picture or sound would bring a couple of megabytes of neighbouring resources into the
// process's memory, where a mapping of its own brings in only its own pages.
class TResourceMaps {
public:
    // The resource's bytes: from a mapping of its own where the program's file can be
    // mapped, from the image otherwise. Kept for the life of the process.
    const unsigned char* Bytes(int index) {
        const TEmbeddedResource& r = kEmbeddedResources[index];
        std::lock_guard<std::mutex> hold(FLock);
        if (!FOpened) Open();
        auto it = FMapped.find(index);
        if (it != FMapped.end()) return it->second;
        const unsigned char* bytes = r.Begin;
        off_t offset = 0;
        const size_t size = static_cast<size_t>(r.End - r.Begin);
        if (FFile >= 0 && size > 0 && FileOffset(r.Begin, size, offset)) {
            const off_t page = static_cast<off_t>(sysconf(_SC_PAGESIZE));
            const off_t start = offset / page * page;
            const size_t length = static_cast<size_t>(offset - start) + size;
            void* map = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, FFile, start);
            // /proc/self/exe is the file this process runs, even if it has been replaced
            // on disk since: its bytes at that offset are the resource's.
            if (map != MAP_FAILED)
                bytes = static_cast<const unsigned char*>(map) + (offset - start);
        }
        FMapped[index] = bytes;
        return bytes;
    }

private:
    struct TSegment {
        uintptr_t Address;
        size_t FileSize;
        off_t Offset;
    };

    void Open() {
        FOpened = true;
        FFile = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
        if (FFile < 0) return;
        // Where the program's loadable segments lie in memory and in its file.
        dl_iterate_phdr(
            [](dl_phdr_info* info, size_t, void* data) -> int {
                auto* self = static_cast<TResourceMaps*>(data);
                for (int i = 0; i < info->dlpi_phnum; ++i) {
                    const ElfW(Phdr)& p = info->dlpi_phdr[i];
                    if (p.p_type == PT_LOAD)
                        self->FSegments.push_back({info->dlpi_addr + p.p_vaddr,
                                                   static_cast<size_t>(p.p_filesz),
                                                   static_cast<off_t>(p.p_offset)});
                }
                return 1;  // the program itself comes first; the libraries are not ours
            },
            this);
    }

    bool FileOffset(const unsigned char* at, size_t size, off_t& offset) const {
        const uintptr_t address = reinterpret_cast<uintptr_t>(at);
        for (const TSegment& s : FSegments)
            if (address >= s.Address && address + size <= s.Address + s.FileSize) {
                offset = s.Offset + static_cast<off_t>(address - s.Address);
                return true;
            }
        return false;
    }

    std::mutex FLock;
    bool FOpened = false;
    int FFile = -1;
    std::vector<TSegment> FSegments;
    std::map<int, const unsigned char*> FMapped;
};

TResourceMaps& ResourceMaps() {
    static TResourceMaps maps;
    return maps;
}
}  // namespace

const unsigned char* TGtkPlatform::ResourceBytes(int index) {
    return ResourceMaps().Bytes(index);
}
