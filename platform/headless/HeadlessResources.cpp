// The embedded resources, some of which a test may have taken away.
#include "common/MySysU.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/posix/EmbeddedResources.h"

std::string THeadlessPlatform::ResourceNameAt(const uint8_t* data) const {
    for (int i = 0; i < kEmbeddedResourceCount; ++i)
        if (kEmbeddedResources[i].Begin == data) return kEmbeddedResources[i].Name;
    return std::string();
}

bool THeadlessPlatform::FindResourceData(const std::string& type, const std::string& name,
                                         TResourceView& out) {
    if (HiddenResources.count(AsciiUpper(name))) return false;
    return TPosixPlatform::FindResourceData(type, name, out);
}
