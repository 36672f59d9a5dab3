// The painted objects for a screen reader: transparent buttons with names over their
// rectangles, and the reading read out in a polite live region.
#include <emscripten.h>

#include "platform/web/WebPlatform.h"

namespace {
EM_JS(void, sw_begin_accessibles, (), { SW.pendingAccessibles = []; });

EM_JS(void, sw_add_accessible,
      (int id, int role, const char* name, int nameSize, int x, int y, int w, int h, int flags), {
          SW.pendingAccessibles.push({
              id : id,
              role : role,
              name : SW.decode(HEAPU8.subarray(name, name + nameSize)),
              x : x,
              y : y,
              w : w,
              h : h,
              unavailable : (flags & 1) != 0,
              pressed : (flags & 2) != 0,
              focusable : (flags & 4) != 0,
              focused : (flags & 8) != 0,
              selected : (flags & 16) != 0
          });
      });

EM_JS(void, sw_end_accessibles, (), { SW.publishAccessibles(SW.pendingAccessibles); });
}  // namespace

void TWebPlatform::PublishAccessibles(const std::vector<TAccessible>& objects) {
    sw_begin_accessibles();
    for (const TAccessible& o : objects)
        sw_add_accessible(o.Id, static_cast<int>(o.Role), o.Name.data(),
                          static_cast<int>(o.Name.size()), o.X, o.Y, o.W, o.H,
                          (o.Unavailable ? 1 : 0) | (o.Pressed ? 2 : 0) | (o.Focusable ? 4 : 0) |
                              (o.Focused ? 8 : 0) | (o.Selected ? 16 : 0));
    sw_end_accessibles();
}
