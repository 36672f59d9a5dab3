// What a screen reader would find: the objects the program publishes, kept as they are,
// and each new reading, announced as the real backends announce it.
#include "platform/headless/HeadlessPlatform.h"

void THeadlessPlatform::PublishAccessibles(const std::vector<TAccessible>& objects) {
    // The reading on show is announced when it changes, not when it is first published
    // at start (the window itself is what a reader meets then).
    auto readingOf = [](const std::vector<TAccessible>& list) -> const TAccessible* {
        for (const TAccessible& a : list)
            if (a.Role == TAccessRole::Reading) return &a;
        return nullptr;
    };
    const TAccessible* before = readingOf(Accessibles);
    const TAccessible* after = readingOf(objects);
    if (AccessiblePublications > 0 && after && !after->Name.empty() &&
        (!before || before->Name != after->Name))
        Announcements.push_back(after->Name);
    Accessibles = objects;
    ++AccessiblePublications;
}

const TAccessible* THeadlessPlatform::Accessible(int id) const {
    for (const TAccessible& a : Accessibles)
        if (a.Id == id) return &a;
    return nullptr;
}
