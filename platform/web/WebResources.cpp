// The resources built into the page's program, found as Windows finds a module's own.
#include "platform/posix/EmbeddedResources.h"
#include "platform/web/WebPlatform.h"

bool TWebPlatform::FindResourceData(const std::string& type, const std::string& name,
                                    TResourceView& out) {
    const int index = FindEmbeddedResource(type, name);
    if (index < 0) return false;
    const TEmbeddedResource& r = kEmbeddedResources[index];
    out.Data = r.Begin;
    out.Size = static_cast<size_t>(r.End - r.Begin);
    return true;
}
