// The resources built into a native program, found as Windows finds a module's own: by
// type and name, whatever their case, as views of bytes that last as long as the process.
#include "platform/posix/EmbeddedResources.h"

#include "common/MySysU.h"
#include "platform/posix/PosixPlatform.h"

int FindEmbeddedResource(const std::string& type, const std::string& name) {
    const std::string wantType = AsciiUpper(type), wantName = AsciiUpper(name);
    for (int i = 0; i < kEmbeddedResourceCount; ++i)
        if (wantType == kEmbeddedResources[i].Type && wantName == kEmbeddedResources[i].Name)
            return i;
    return -1;
}

bool TPosixPlatform::FindResourceData(const std::string& type, const std::string& name,
                                      TResourceView& out) {
    const int index = FindEmbeddedResource(type, name);
    if (index < 0) return false;
    const TEmbeddedResource& r = kEmbeddedResources[index];
    out.Data = ResourceBytes(index);
    out.Size = static_cast<size_t>(r.End - r.Begin);
    return true;
}

const unsigned char* TPosixPlatform::ResourceBytes(int index) {
    return kEmbeddedResources[index].Begin;
}
