// The program's resources: the module's own resource section, found by type and name
// (Windows matches names without regard to case) and handed out in place.
#include <cctype>

#include "common/MySysU.h"
#include "platform/win32/Win32Platform.h"

bool TWin32Platform::FindResourceData(const std::string& type, const std::string& name,
                                      TResourceView& out) {
    out = TResourceView();
    if (type.empty() || name.empty()) return false;
    const std::string upperType = AsciiUpper(type);
    // The resource script writes pointers and the icon with the standard types; asked
    // for by those names, the group entry is the one that stands for the whole resource.
    std::wstring typeText;
    LPCWSTR typeId = nullptr;
    if (upperType == "CURSOR") {
        typeId = MAKEINTRESOURCEW(12);  // RT_GROUP_CURSOR
    } else if (upperType == "ICON") {
        typeId = MAKEINTRESOURCEW(14);  // RT_GROUP_ICON
    } else {
        typeText = SjisToWide(type);
        typeId = typeText.c_str();
    }
    const std::wstring wideName = SjisToWide(name);
    HRSRC info = FindResourceW(FInstance, wideName.c_str(), typeId);
    if (!info) return false;
    HGLOBAL loaded = LoadResource(FInstance, info);
    if (!loaded) return false;
    const void* bytes = LockResource(loaded);
    if (!bytes) return false;
    // Module resources are never unloaded while the process runs, so the view stays
    // valid as long as the program does.
    out.Data = static_cast<const uint8_t*>(bytes);
    out.Size = SizeofResource(FInstance, info);
    return true;
}
