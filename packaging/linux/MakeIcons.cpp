// Writes each picture of the program's icon (resources/MAINICON.ico) as a PNG of the
// hicolor icon theme: OUTDIR/NxN/apps/sablewick.png. Run by the build, so the desktop's
// icons are always the program's own.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
uint32_t Le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ICON.ico OUTDIR\n", argv[0]);
        return 2;
    }
    gchar* data = nullptr;
    gsize size = 0;
    if (!g_file_get_contents(argv[1], &data, &size, nullptr) || size < 6) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    const int count = bytes[4] | bytes[5] << 8;
    int written = 0;
    for (int i = 0; i < count && 6 + 16 * (i + 1) <= static_cast<int>(size); ++i) {
        const unsigned char* entry = bytes + 6 + 16 * i;
        const uint32_t length = Le32(entry + 8), offset = Le32(entry + 12);
        if (offset > size || length > size - offset) continue;
        // The loader takes the best picture of a file: each picture gets a file of its own.
        std::vector<unsigned char> one(bytes, bytes + 6);
        one[4] = 1;
        one[5] = 0;
        one.insert(one.end(), entry, entry + 16);
        const uint32_t at = 22;
        for (int b = 0; b < 4; ++b) one[6 + 12 + b] = static_cast<unsigned char>(at >> (8 * b));
        one.insert(one.end(), bytes + offset, bytes + offset + length);
        GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("ico", nullptr);
        GdkPixbuf* pixbuf = nullptr;
        if (loader && gdk_pixbuf_loader_write(loader, one.data(), one.size(), nullptr) &&
            gdk_pixbuf_loader_close(loader, nullptr))
            pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
        if (pixbuf) {
            const int n = gdk_pixbuf_get_width(pixbuf);
            const std::string dir =
                std::string(argv[2]) + "/" + std::to_string(n) + "x" + std::to_string(n) + "/apps";
            g_mkdir_with_parents(dir.c_str(), 0755);
            if (gdk_pixbuf_save(pixbuf, (dir + "/sablewick.png").c_str(), "png", nullptr, nullptr))
                ++written;
        }
        if (loader) g_object_unref(loader);
    }
    g_free(data);
    if (written == 0) {
        std::fprintf(stderr, "no picture of %s could be written\n", argv[1]);
        return 1;
    }
    return 0;
}
