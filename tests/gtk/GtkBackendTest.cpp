// The GTK backend's own rules: the WAVE and cursor readers it plays and shows the
// program's resources with, and what its real widgets do with the program's texts and
// pictures. Runs on an X server (tests/gtk/run_gtk_tests.sh).
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/CursorImage.h"
#include "platform/gtk/GtkPlatform.h"
#include "platform/gtk/GtkSound.h"
#include "platform/gtk/WavData.h"
#include "platform/posix/EmbeddedResources.h"
#include "support/TestPlatform.h"

namespace {

// A back-buffer pixel, 0x00RRGGBB.
uint32_t Px(int r, int g, int b) {
    return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
           static_cast<uint32_t>(b);
}

std::vector<uint8_t> Resource(TPlatform& os, const char* type, const char* name) {
    TResourceView v;
    if (!os.FindResourceData(type, name, v)) return {};
    return std::vector<uint8_t>(v.Data, v.Data + v.Size);
}

class GtkBackend : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = MakeTempDir("gtk");
        Os = CreateTestPlatform(Dir);
    }
    // Lets GTK do what it has queued (mapping, drawing) until nothing is left.
    static void Settle() {
        for (int round = 0; round < 50; ++round) {
            while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
            g_usleep(2000);
        }
    }
    std::string Dir;
    std::unique_ptr<TPlatform> Os;
};

// ---- WAVE files ------------------------------------------------------------------------

TEST_F(GtkBackend, TheProgramsSoundsAreReadInPlace) {
    TResourceView v;
    ASSERT_TRUE(Os->FindResourceData("WAV", "A01", v));
    EXPECT_EQ(RiffFileSize(v.Data), v.Size);
    TWavView wav;
    ASSERT_TRUE(ParseWav(v.Data, v.Size, wav));
    EXPECT_EQ(wav.Channels, 1);
    EXPECT_EQ(wav.Rate, 22050);
    EXPECT_EQ(wav.BitsPerSample, 16);
    // A view into the resource itself, ending where the file ends.
    EXPECT_GT(wav.Samples, v.Data);
    EXPECT_EQ(wav.Samples + wav.SampleBytes, v.Data + v.Size);
}

// Each resource is handed out from a mapping of its own bytes of the program's file: the
// bytes must be the built-in ones, for every resource, and the view must stay the same.
TEST_F(GtkBackend, EveryResourceIsItsBuiltInBytesAndStaysPut) {
    for (int i = 0; i < kEmbeddedResourceCount; ++i) {
        const TEmbeddedResource& r = kEmbeddedResources[i];
        TResourceView first, again;
        ASSERT_TRUE(Os->FindResourceData(r.Type, r.Name, first)) << r.Name;
        ASSERT_TRUE(Os->FindResourceData(r.Type, r.Name, again)) << r.Name;
        EXPECT_EQ(first.Data, again.Data) << r.Name;
        ASSERT_EQ(first.Size, static_cast<size_t>(r.End - r.Begin)) << r.Name;
        EXPECT_EQ(std::memcmp(first.Data, r.Begin, first.Size), 0) << r.Name;
    }
}

TEST_F(GtkBackend, BadWaveFilesAreRefusedOrCutToTheirBytes) {
    std::vector<uint8_t> a = Resource(*Os, "WAV", "A09");
    ASSERT_GT(a.size(), 100u);
    TWavView wav;
    // Every cut inside the headers is refused; a cut inside the samples plays what is
    // there, in whole frames.
    for (size_t n = 0; n < 44; ++n) EXPECT_FALSE(ParseWav(a.data(), n, wav)) << n;
    ASSERT_TRUE(ParseWav(a.data(), 101, wav));
    EXPECT_EQ(wav.SampleBytes, 56u);
    // Compressed formats are not ours to play.
    std::vector<uint8_t> adpcm = a;
    adpcm[20] = 2;
    EXPECT_FALSE(ParseWav(adpcm.data(), adpcm.size(), wav));
    // A chunk claiming more than the file holds before the samples.
    std::vector<uint8_t> huge = a;
    huge[16] = 0xFF;
    huge[17] = 0xFF;
    EXPECT_FALSE(ParseWav(huge.data(), huge.size(), wav));
    EXPECT_EQ(RiffFileSize(reinterpret_cast<const uint8_t*>("RIFX....WAVE")), 0u);
}

// ---- Sound -----------------------------------------------------------------------------

// What SDL's disk driver has written so far: the device's output, byte for byte.
std::string Recording(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

// Waits (at most 20 s, the disk driver writing in real time) until the recording holds
// `piece`; its place in the recording, or npos.
size_t WaitFor(const std::string& path, const std::string& piece) {
    for (int i = 0; i < 2000; ++i) {
        const size_t at = Recording(path).find(piece);
        if (at != std::string::npos) return at;
        g_usleep(10000);
    }
    return std::string::npos;
}

TEST_F(GtkBackend, ANewSoundCutsOffTheOneBeforeAndStopSilencesIt) {
    const std::string file = Dir + "/sound.raw";
    g_setenv("SDL_AUDIODRIVER", "disk", TRUE);
    g_setenv("SDL_DISKAUDIOFILE", file.c_str(), TRUE);
    TResourceView a01, a02;
    ASSERT_TRUE(Os->FindResourceData("WAV", "A01", a01));
    ASSERT_TRUE(Os->FindResourceData("WAV", "A02", a02));
    TWavView opening, fortune;
    ASSERT_TRUE(ParseWav(a01.Data, a01.Size, opening));
    ASSERT_TRUE(ParseWav(a02.Data, a02.Size, fortune));
    auto piece = [](const TWavView& w, size_t from) {
        return std::string(reinterpret_cast<const char*>(w.Samples) + from, 8000);
    };
    {
        TGtkSound sound;
        sound.Play(a01.Data);
        const size_t first = WaitFor(file, piece(opening, 0));
        ASSERT_NE(first, std::string::npos) << "the opening cue never reached the device";
        sound.Play(a02.Data);
        const size_t second = WaitFor(file, piece(fortune, 0));
        ASSERT_NE(second, std::string::npos) << "the second cue never reached the device";
        // The 6-second opening cue is cut off: the next starts long before its end.
        EXPECT_LT(second, first + opening.SampleBytes);
        sound.Stop();
        const size_t stopped = Recording(file).size();
        while (Recording(file).size() < stopped + 44100) g_usleep(10000);
    }
    const std::string all = Recording(file);
    EXPECT_EQ(all.find(piece(opening, opening.SampleBytes - 8000)), std::string::npos)
        << "the opening cue played to its end";
    // The second cue is a second long: stopped as soon as it started, its end never
    // plays, and the device goes on with silence.
    EXPECT_EQ(all.find(piece(fortune, fortune.SampleBytes - 8000)), std::string::npos)
        << "Stop did not cut the cue off";
    EXPECT_EQ(all.substr(all.size() - 8000), std::string(8000, '\0'));
}

TEST_F(GtkBackend, WithoutASoundDeviceSoundsAreSilent) {
    g_setenv("SDL_AUDIODRIVER", "none-such", TRUE);
    TResourceView a09;
    ASSERT_TRUE(Os->FindResourceData("WAV", "A09", a09));
    TGtkSound sound;
    sound.Play(a09.Data);
    sound.Stop();
    sound.Play(a09.Data);
    // Nothing to hear and nothing to wait for: the player ends with its owner.
}

// ---- Fonts -----------------------------------------------------------------------------

// The labels' sizes come from a face's cell height, which the backend reads without
// Pango's whole metrics: it must be Pango's own, for every face and size, hinted or not.
TEST_F(GtkBackend, FontCellHeightsAreThoseOfPangosMetrics) {
    PangoFontMap* map = pango_cairo_font_map_get_default();
    int compared = 0;
    for (bool hinted : {true, false}) {
        PangoContext* context = pango_font_map_create_context(map);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(
            options, hinted ? CAIRO_HINT_METRICS_ON : CAIRO_HINT_METRICS_OFF);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        for (const char* family : {"IPAGothic", "Noto Sans CJK JP", "DejaVu Sans", "Sans"})
            for (double px : {100.0, 37.5, 24.0, 11.72, 12.0}) {
                PangoFontDescription* desc = pango_font_description_from_string(family);
                pango_font_description_set_absolute_size(desc, px * PANGO_SCALE);
                PangoFont* font = pango_context_load_font(context, desc);
                pango_font_description_free(desc);
                if (!font) continue;
                PangoFontMetrics* metrics = pango_font_get_metrics(font, nullptr);
                EXPECT_EQ(FontCellHeight(font), pango_font_metrics_get_ascent(metrics) +
                                                    pango_font_metrics_get_descent(metrics))
                    << family << " at " << px << (hinted ? " px, hinted" : " px");
                pango_font_metrics_unref(metrics);
                g_object_unref(font);
                ++compared;
            }
        g_object_unref(context);
    }
    EXPECT_GT(compared, 0);
}

// ---- Cursor files ----------------------------------------------------------------------

TEST_F(GtkBackend, PointersKeepTheirHotSpotsAndTransparency) {
    struct Case {
        const char* name;
        int hotX, hotY;
    } cases[] = {{"cr1", 8, 8}, {"cr2", 0, 0}, {"cr4", 4, 31}, {"cr8", 15, 15}};
    for (const Case& c : cases) {
        std::vector<uint8_t> cur = Resource(*Os, "CURSOR", c.name);
        TCursorImage image;
        ASSERT_TRUE(DecodeCursorImage(cur.data(), cur.size(), image)) << c.name;
        EXPECT_EQ(image.Width, 32) << c.name;
        EXPECT_EQ(image.Height, 32) << c.name;
        EXPECT_EQ(image.HotX, c.hotX) << c.name;
        EXPECT_EQ(image.HotY, c.hotY) << c.name;
        int opaque = 0, clear = 0;
        for (size_t i = 3; i < image.Rgba.size(); i += 4) (image.Rgba[i] ? opaque : clear)++;
        // A drawing on a see-through background.
        EXPECT_GT(opaque, 20) << c.name;
        EXPECT_GT(clear, 500) << c.name;
    }
}

// The pointers are made from images the backend fills itself: their pixels must be those
// GDK makes of the same picture as a pixbuf, for every alpha and colour value.
TEST_F(GtkBackend, PointerPixelsArePremultipliedAsGdkDoesIt) {
    const int width = 256, height = 64;
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(y * 4 + 3);
            p[1] = static_cast<uint8_t>(255 - y * 4);
            p[2] = static_cast<uint8_t>(x ^ (y * 7));
            p[3] = static_cast<uint8_t>(x);  // every alpha
        }
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_data(rgba.data(), GDK_COLORSPACE_RGB, TRUE, 8, width,
                                                 height, width * 4, nullptr, nullptr);
    cairo_surface_t* gdk = gdk_cairo_surface_create_from_pixbuf(pixbuf, 1, nullptr);
    cairo_surface_flush(gdk);
    const unsigned char* data = cairo_image_surface_get_data(gdk);
    const int stride = cairo_image_surface_get_stride(gdk);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t want = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
            if (PremultipliedArgb(&rgba[(static_cast<size_t>(y) * width + x) * 4]) != want) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    cairo_surface_destroy(gdk);
    g_object_unref(pixbuf);
}

TEST_F(GtkBackend, CutOrDamagedCursorFilesAreRefused) {
    std::vector<uint8_t> cur = Resource(*Os, "CURSOR", "cr2");
    TCursorImage image;
    for (size_t n = 0; n < cur.size(); n += 7)
        EXPECT_FALSE(DecodeCursorImage(cur.data(), n, image)) << n;
    std::vector<uint8_t> icon = cur;
    icon[2] = 1;  // an icon, not a cursor
    EXPECT_FALSE(DecodeCursorImage(icon.data(), icon.size(), image));
    std::vector<uint8_t> far = cur;
    far[18] = 0xFF;  // the image lies past the end of the file
    EXPECT_FALSE(DecodeCursorImage(far.data(), far.size(), image));
}

// The window's icon is read by our own decoder; it must show what the desktop's own
// reader (gdk-pixbuf) makes of the same file, pixel for pixel.
TEST_F(GtkBackend, TheWindowIconReadsAsGdkPixbufReadsIt) {
    std::vector<uint8_t> ico = Resource(*Os, "ICON", "MAINICON");
    ASSERT_FALSE(ico.empty());
    TCursorImage image;
    ASSERT_TRUE(DecodeIconImage(ico.data(), ico.size(), image));
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("ico", nullptr);
    ASSERT_NE(loader, nullptr);
    ASSERT_TRUE(gdk_pixbuf_loader_write(loader, ico.data(), ico.size(), nullptr));
    ASSERT_TRUE(gdk_pixbuf_loader_close(loader, nullptr));
    GdkPixbuf* theirs = gdk_pixbuf_loader_get_pixbuf(loader);
    ASSERT_NE(theirs, nullptr);
    ASSERT_TRUE(gdk_pixbuf_get_has_alpha(theirs));
    ASSERT_EQ(image.Width, gdk_pixbuf_get_width(theirs));
    ASSERT_EQ(image.Height, gdk_pixbuf_get_height(theirs));
    EXPECT_EQ(image.Width, 48) << "the largest picture of the file";
    const guchar* pixels = gdk_pixbuf_read_pixels(theirs);
    const int stride = gdk_pixbuf_get_rowstride(theirs);
    int differ = 0;
    for (int y = 0; y < image.Height; ++y)
        differ += std::memcmp(&image.Rgba[static_cast<size_t>(y) * image.Width * 4],
                              pixels + static_cast<size_t>(y) * stride, image.Width * 4) != 0;
    EXPECT_EQ(differ, 0) << "rows that differ";
    g_object_unref(loader);
}

TEST_F(GtkBackend, CutOrDamagedIconFilesAreRefused) {
    std::vector<uint8_t> ico = Resource(*Os, "ICON", "MAINICON");
    TCursorImage image;
    // Cut anywhere before the last picture's end, the largest picture is missing or
    // incomplete; a smaller whole one may still be read, never a damaged one.
    for (size_t n = 0; n < ico.size(); n += 13) {
        if (DecodeIconImage(ico.data(), n, image)) {
            EXPECT_LT(image.Width, 48) << n;
            EXPECT_EQ(image.Rgba.size(), static_cast<size_t>(image.Width) * image.Height * 4);
        }
    }
    std::vector<uint8_t> cursor = ico;
    cursor[2] = 2;  // a cursor, not an icon
    EXPECT_FALSE(DecodeIconImage(cursor.data(), cursor.size(), image));
    EXPECT_FALSE(DecodeIconImage(ico.data(), 6, image)) << "a directory without its entries";
}

// ---- The window and its widgets ------------------------------------------------------

struct TCounter : TWindowEvents {
    int Changes = 0;
    int Paints = 0;
    void FormPaint() override { ++Paints; }
    void Timer1Timer() override {}
    void FormMouseDown(TControl, TMouseButton, TShiftState, int, int) override {}
    void FormMouseMove(TControl, TShiftState, int, int) override {}
    void FormMouseUp(TControl, TMouseButton, TShiftState, int, int) override {}
    void FormKeyDown(TControl, int&, TShiftState) override {}
    void FormKeyUp(TControl, int&, TShiftState) override {}
    void AccessibleAction(int) override {}
    void AccessibleFocus(int) override {}
    void Memo1Change() override { ++Changes; }
    void Memo1MouseDown(TMouseButton, TShiftState, int, int) override {}
    void FormCloseQuery() override {}
    void FormDestroy() override {}
    void FormEndSession() override {}
};

GtkTextView* FindTextView(GtkWidget* w) {
    if (GTK_IS_TEXT_VIEW(w)) return GTK_TEXT_VIEW(w);
    if (!GTK_IS_CONTAINER(w)) return nullptr;
    GtkTextView* found = nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(w));
    for (GList* c = children; c && !found; c = c->next) found = FindTextView(GTK_WIDGET(c->data));
    g_list_free(children);
    return found;
}

// The program's window once it is on the screen (nullptr before).
GdkWindow* MappedWindow() {
    GdkWindow* window = nullptr;
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* w = toplevels; w; w = w->next)
        if (gtk_widget_get_mapped(GTK_WIDGET(w->data)))
            window = gtk_widget_get_window(GTK_WIDGET(w->data));
    g_list_free(toplevels);
    return window;
}

GtkTextView* TheWishBox() {
    GtkTextView* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w && !found; w = w->next) found = FindTextView(GTK_WIDGET(w->data));
    g_list_free(windows);
    return found;
}

TEST_F(GtkBackend, TheWishBoxKeepsLineBreaksAsTheProgramCountsThem) {
    TCounter events;
    Os->CreateMainWindow(&events, 737, 584);
    Os->CreateMemo(463, 82, 228, 121, 380, TLabelStyle());
    Os->SetMemoReadOnly(false);
    // The wish's bytes pick the card: a line break is CR LF, as a Windows edit box has it.
    Os->SetMemoText("a\r\n\x90\xE8");
    EXPECT_EQ(Os->MemoText(), "a\r\n\x90\xE8");
    Os->SetMemoCaret(3);
    EXPECT_EQ(Os->MemoCaret(), 3);
    Os->SetMemoCaret(99);
    EXPECT_EQ(Os->MemoCaret(), 4);
    Os->CloseMainWindow();
}

TEST_F(GtkBackend, TypingOrPastingStopsAtTheLimit) {
    TCounter events;
    Os->CreateMainWindow(&events, 737, 584);
    Os->CreateMemo(463, 82, 228, 121, 380, TLabelStyle());
    Os->SetMemoReadOnly(false);
    Os->SetMemoVisible(true);
    GtkTextView* view = TheWishBox();
    ASSERT_NE(view, nullptr);
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(view);
    const int before = events.Changes;
    // 400 characters of three bytes each: what fits goes in, cut at a character.
    std::string paste;
    for (int i = 0; i < 400; ++i) paste += "\xE5\x8D\xA0";
    gtk_text_buffer_insert_at_cursor(buffer, paste.c_str(), -1);
    EXPECT_EQ(gtk_text_buffer_get_char_count(buffer), 380);
    EXPECT_EQ(Os->MemoText().size(), 760u);
    EXPECT_GT(events.Changes, before);
    gtk_text_buffer_insert_at_cursor(buffer, "x", -1);
    EXPECT_EQ(gtk_text_buffer_get_char_count(buffer), 380);
    // The program's own text is not cut: the limit is the user's.
    Os->SetMemoText(std::string(500, 'w'));
    EXPECT_EQ(Os->MemoText().size(), 500u);
    Os->CloseMainWindow();
}

TEST_F(GtkBackend, PresentedRectanglesReachTheScreenUnconverted) {
    TCounter events;
    Os->CreateMainWindow(&events, 737, 584);
    Os->SetWindowPos(10, 20);
    TPicture pic;
    pic.SetSize(100, 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) pic.SetPixel(x, y, Px(x * 2, y * 3, 200));
    Os->ShowMainWindow();
    // A rectangle of the picture at another place, and one hanging over the window's
    // edge, which is cut.
    Os->Present(pic, 10, 5, 50, 40, 300, 200);
    Os->Present(pic, 0, 0, 100, 80, 700, 550);
    Settle();
    GdkWindow* window = MappedWindow();
    ASSERT_NE(window, nullptr);
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(window, 0, 0, 737, 584);
    ASSERT_NE(shot, nullptr);
    auto at = [shot](int x, int y) {
        const guchar* p = gdk_pixbuf_get_pixels(shot) + y * gdk_pixbuf_get_rowstride(shot) +
                          x * gdk_pixbuf_get_n_channels(shot);
        return Px(p[0], p[1], p[2]);
    };
    EXPECT_EQ(at(300, 200), pic.GetPixel(10, 5));
    EXPECT_EQ(at(349, 239), pic.GetPixel(59, 44));
    EXPECT_EQ(at(736, 583), pic.GetPixel(36, 33));
    EXPECT_EQ(at(700, 550), pic.GetPixel(0, 0));
    EXPECT_EQ(at(350, 200), 0u);  // just right of the first rectangle: nothing drawn
    g_object_unref(shot);
    Os->CloseMainWindow();
}

// A card turn presents the same area step after step while the window may still be
// painting the step before: every step must land whole, and the screen end on the last.
TEST_F(GtkBackend, AQuickRunOfPresentsEndsOnTheLastWhole) {
    TCounter events;
    Os->CreateMainWindow(&events, 737, 584);
    Os->SetWindowPos(10, 20);
    Os->ShowMainWindow();
    Settle();
    TPicture back;
    back.SetSize(737, 584);
    for (int step = 0; step < 12; ++step) {
        for (int y = 0; y < 584; ++y)
            for (int x = 0; x < 737; ++x)
                back.SetPixel(x, y, Px((x + step * 17) & 255, (y * 3 + step) & 255, step * 20));
        Os->Present(back, 32, 44, 348, 508, 32, 44);
        // Only part of what the present queued is done before the next step comes.
        gtk_main_iteration_do(FALSE);
    }
    Settle();
    GdkWindow* window = MappedWindow();
    ASSERT_NE(window, nullptr);
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(window, 32, 44, 348, 508);
    ASSERT_NE(shot, nullptr);
    int wrong = 0;
    for (int y = 0; y < 508; ++y)
        for (int x = 0; x < 348; ++x) {
            const guchar* p = gdk_pixbuf_get_pixels(shot) + y * gdk_pixbuf_get_rowstride(shot) +
                              x * gdk_pixbuf_get_n_channels(shot);
            if (Px(p[0], p[1], p[2]) != back.GetPixel(32 + x, 44 + y)) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    g_object_unref(shot);
    Os->CloseMainWindow();
}

// The labels ask for no room of their own; each still gets its whole box, and a wrapped
// one lays its text out for the box's width, and a centred one centres it there.
TEST_F(GtkBackend, LabelsTakeTheirBoxesWholeAndWrapAtTheirWidth) {
    TCounter events;
    Os->CreateMainWindow(&events, 737, 584);
    TLabelStyle wrapped;
    wrapped.WordWrap = true;
    TLabelStyle centred;
    centred.Centred = centred.VCentred = true;
    centred.CellHeight = 24;
    Os->CreateLabel(TControl::LabelKaisetu, 463, 398, 228, 121, wrapped);
    Os->CreateLabel(TControl::LabelTittle, 439, 303, 276, 24, centred);
    std::string words;
    for (int i = 0; i < 40; ++i) words += "word ";
    Os->SetLabelText(TControl::LabelKaisetu, words);
    Os->SetLabelText(TControl::LabelTittle, "Title");
    Os->ShowMainWindow();
    Settle();
    std::vector<GtkLabel*> labels;
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* w = toplevels; w; w = w->next) {
        if (!gtk_widget_get_mapped(GTK_WIDGET(w->data))) continue;
        GtkWidget* layout = gtk_bin_get_child(GTK_BIN(w->data));
        GList* boxes = gtk_container_get_children(GTK_CONTAINER(layout));
        for (GList* b = boxes; b; b = b->next)
            if (GTK_IS_BIN(b->data))
                if (GtkWidget* inner = gtk_bin_get_child(GTK_BIN(b->data)))
                    if (GTK_IS_LABEL(inner)) labels.push_back(GTK_LABEL(inner));
        g_list_free(boxes);
    }
    g_list_free(toplevels);
    ASSERT_EQ(labels.size(), 2u);
    for (GtkLabel* label : labels) {
        GtkWidget* widget = GTK_WIDGET(label);
        const std::string text = gtk_label_get_text(label);
        PangoLayout* layout = gtk_label_get_layout(label);
        int x = 0, y = 0;
        gtk_label_get_layout_offsets(label, &x, &y);
        // The offsets are in the window the label draws in, as its allocation is.
        GtkAllocation box;
        gtk_widget_get_allocation(widget, &box);
        if (text == "Title") {
            EXPECT_EQ(gtk_widget_get_allocated_width(widget), 276);
            EXPECT_EQ(gtk_widget_get_allocated_height(widget), 24);
            PangoRectangle ink, logical;
            pango_layout_get_pixel_extents(layout, &ink, &logical);
            // Centred: as much room on the left of the text as on its right.
            EXPECT_NEAR((x - box.x) * 2 + logical.width, 276, 1);
        } else {
            EXPECT_EQ(gtk_widget_get_allocated_width(widget), 228);
            EXPECT_EQ(gtk_widget_get_allocated_height(widget), 121);
            EXPECT_EQ(pango_layout_get_width(layout), 228 * PANGO_SCALE);
            EXPECT_GT(pango_layout_get_line_count(layout), 2);
            EXPECT_EQ(x, box.x);
            EXPECT_EQ(y, box.y);
        }
    }
    Os->CloseMainWindow();
}

TEST_F(GtkBackend, KeysReachTheProgramAsWindowsKeyCodes) {
    EXPECT_EQ(VirtualKeyOf(GDK_KEY_Return), 13);
    EXPECT_EQ(VirtualKeyOf(GDK_KEY_KP_Enter), 13);
    EXPECT_EQ(VirtualKeyOf(GDK_KEY_Escape), 27);
    EXPECT_EQ(VirtualKeyOf(GDK_KEY_a), 'A');
    EXPECT_EQ(VirtualKeyOf(GDK_KEY_Z), 'Z');
    EXPECT_EQ(VirtualKeyOf(GDK_KEY_7), '7');
    EXPECT_EQ(VirtualKeyOf(GDK_KEY_Left), 37);
    EXPECT_EQ(VirtualKeyOf(GDK_KEY_F1), 112);
    EXPECT_NE(VirtualKeyOf(GDK_KEY_comma), 0);  // any key closes the card index
}

}  // namespace
