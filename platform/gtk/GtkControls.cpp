// The four card labels (GtkLabel in an event box that paints the background and takes
// the mouse) and the wish box (a GtkTextView): real widgets, so input methods and screen
// readers work with them, placed at the program's pixel rectangles.
#include <cstdio>
#include <cstring>

#include "platform/gtk/GtkPlatform.h"

#include <pango/pangofc-font.h>

namespace {
// Japanese faces, best first: IPAGothic has the fixed-pitch metrics the layout was made
// with; the Noto CJK faces are what most desktops carry.
const char* const kJapaneseFamilies[] = {
    "IPAGothic",   "Noto Sans Mono CJK JP", "Noto Sans CJK JP",
    "IPAexGothic", "TakaoGothic",           "VL Gothic",
    "IPAPGothic",  "Source Han Sans JP",
};

const char* const kControlKey = "sablewick-control";

std::string CssColour(uint32_t packed) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", packed & 0xFF, (packed >> 8) & 0xFF,
                  (packed >> 16) & 0xFF);
    return text;
}

TControl ControlOf(GtkWidget* w) {
    return static_cast<TControl>(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(w), kControlKey)));
}

// Windows counts a line break in an edit box as two characters (CR LF); so does the
// program, in the wish's bytes and in caret positions.
std::string ToCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

std::string FromCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out.push_back(text[i]);
    return out;
}

// A face at 100 pixels, for its metrics.
PangoFont* LoadAt100(PangoContext* context, const std::string& families) {
    PangoFontDescription* desc = pango_font_description_from_string(families.c_str());
    pango_font_description_set_absolute_size(desc, 100 * PANGO_SCALE);
    PangoFont* font = pango_context_load_font(context, desc);
    pango_font_description_free(desc);
    return font;
}

// The program gives the labels' fonts as cell heights (ascent plus descent); CSS sizes
// are em sizes. The ratio is the face's own; 0 when the face's metrics make no sense.
double CellRatio(PangoFont* font) {
    const int cell = FontCellHeight(font);
    return cell > 10 * PANGO_SCALE ? 100.0 * PANGO_SCALE / cell : 0;
}

// A label that asks for no room of its own. Every label sits in a box of a fixed size,
// which hands the label the whole of it whatever the label would like; asked, GTK's label
// lays its text out again and again (on one long line, one character wide, and for the
// box's width) only to report sizes nobody uses. It still lays the text out once for the
// width it is given, and draws it exactly as before.
void NoWidth(GtkWidget*, gint* minimum, gint* natural) {
    *minimum = *natural = 0;
}
void NoWidthFor(GtkWidget*, gint, gint* minimum, gint* natural) {
    *minimum = *natural = 0;
}
void NoHeightAndBaselineFor(GtkWidget*, gint, gint* minimum, gint* natural, gint* minimumBaseline,
                            gint* naturalBaseline) {
    *minimum = *natural = 0;
    if (minimumBaseline) *minimumBaseline = -1;
    if (naturalBaseline) *naturalBaseline = -1;
}

GType BoxedLabelType() {
    static GType type = 0;
    if (!type)
        type = g_type_register_static_simple(
            GTK_TYPE_LABEL, "SablewickBoxedLabel", sizeof(GtkLabelClass),
            [](gpointer klass, gpointer) {
                GtkWidgetClass* widget = GTK_WIDGET_CLASS(klass);
                widget->get_preferred_width = NoWidth;
                widget->get_preferred_height = NoWidth;
                widget->get_preferred_width_for_height = NoWidthFor;
                widget->get_preferred_height_for_width = NoWidthFor;
                widget->get_preferred_height_and_baseline_for_width = NoHeightAndBaselineFor;
            },
            sizeof(GtkLabel), nullptr, static_cast<GTypeFlags>(0));
    return type;
}

const char* WantedFamily(const char* name) {
    for (const char* wanted : kJapaneseFamilies)
        if (name && g_ascii_strcasecmp(name, wanted) == 0) return wanted;
    return nullptr;
}
}  // namespace

int FontCellHeight(PangoFont* font) {
    // A fontconfig face's ascent and descent are its ascender and descender, each rounded
    // up to whole pixels where metrics are hinted: that much of Pango's metrics is read
    // here. All of them would also lay a sample text out at the font's size to guess a
    // character width, which at 100 pixels is most of the measuring's cost.
    if (PANGO_IS_FC_FONT(font)) {
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        PangoFcFont* fc = PANGO_FC_FONT(font);
        const bool transformed = fc->is_transformed;
        const bool hinted = fc->is_hinted;
        G_GNUC_END_IGNORE_DEPRECATIONS
        FcMatrix* matrix = nullptr;
        if (!transformed && FcPatternGetMatrix(pango_fc_font_get_pattern(fc), FC_MATRIX, 0,
                                               &matrix) != FcResultMatch) {
            hb_font_extents_t extents;
            hb_font_get_extents_for_direction(pango_font_get_hb_font(font), HB_DIRECTION_LTR,
                                              &extents);
            int ascent = extents.ascender, descent = -extents.descender;
            if (hinted) {
                ascent = PANGO_PIXELS_CEIL(ascent) * PANGO_SCALE;
                descent = PANGO_PIXELS_CEIL(descent) * PANGO_SCALE;
            }
            return ascent + descent;
        }
    }
    PangoFontMetrics* metrics = pango_font_get_metrics(font, nullptr);
    const int cell =
        pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics);
    pango_font_metrics_unref(metrics);
    return cell;
}

const std::string& TGtkPlatform::FontFamily() {
    if (!FFamily.empty()) return FFamily;
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoContext* context = pango_font_map_create_context(map);
    // Fontconfig ranks a family list in its order, so one load of the whole list finds
    // the first face the system has, and is the load the cell height needs anyway.
    // Listing every family of the system instead costs more than the start-up can spare.
    std::string list;
    for (const char* wanted : kJapaneseFamilies) {
        if (!list.empty()) list.push_back(',');
        list += wanted;
    }
    if (PangoFont* font = LoadAt100(context, list)) {
        PangoFontDescription* desc = pango_font_describe(font);
        if (const char* found = WantedFamily(pango_font_description_get_family(desc))) {
            FFamily = found;
            if (FCellToEm <= 0) FCellToEm = CellRatio(font);
        }
        pango_font_description_free(desc);
        g_object_unref(font);
    }
    g_object_unref(context);
    if (FFamily.empty()) {
        // Another face came first (no Japanese face, or a desktop's alias put one of
        // its own before ours): the families the system lists, by their exact names.
        PangoFontFamily** families = nullptr;
        int n = 0;
        pango_font_map_list_families(map, &families, &n);
        for (const char* wanted : kJapaneseFamilies) {
            for (int i = 0; i < n && FFamily.empty(); ++i)
                if (g_ascii_strcasecmp(pango_font_family_get_name(families[i]), wanted) == 0)
                    FFamily = wanted;
            if (!FFamily.empty()) break;
        }
        g_free(families);
    }
    if (FFamily.empty()) {
        // Whatever the system has: text may show as boxes, but the program works.
        std::fprintf(stderr,
                     "sablewick: no Japanese font found (fonts-noto-cjk or "
                     "fonts-ipafont-gothic); Japanese text may not show\n");
        FFamily = "Sans";
    }
    return FFamily;
}

double TGtkPlatform::CellToEm() {
    if (FCellToEm > 0) return FCellToEm;
    // The face chosen, measured with its choice when that was one load.
    const std::string& family = FontFamily();
    if (FCellToEm > 0) return FCellToEm;
    FCellToEm = 1.0;
    PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    if (PangoFont* font = LoadAt100(context, family)) {
        if (const double ratio = CellRatio(font)) FCellToEm = ratio;
        g_object_unref(font);
    }
    g_object_unref(context);
    return FCellToEm;
}

TGtkPlatform::TChild* TGtkPlatform::Child(TControl id) {
    // A control destroyed with the window is gone: nothing reaches it any more.
    auto it = FChildren.find(id);
    return it == FChildren.end() || !it->second->Outer ? nullptr : it->second;
}

TGtkPlatform::TChild& TGtkPlatform::AddChild(TControl id, GtkWidget* outer, GtkWidget* inner, int x,
                                             int y, int w, int h) {
    auto* child = new TChild;
    child->Id = id;
    child->Outer = outer;
    child->Inner = inner;
    child->X = x;
    child->Y = y;
    child->W = w;
    child->H = h;
    child->Css = gtk_css_provider_new();
    FChildren[id] = child;
    g_object_set_data(G_OBJECT(outer), kControlKey, GINT_TO_POINTER(static_cast<int>(id)));
    gtk_widget_set_size_request(outer, w, h);
    gtk_layout_put(GTK_LAYOUT(FLayout), outer, x, y);
    for (GtkWidget* w2 : {outer, inner})
        gtk_style_context_add_provider(gtk_widget_get_style_context(w2),
                                       GTK_STYLE_PROVIDER(child->Css),
                                       GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
    return *child;
}

void TGtkPlatform::PlaceChildren() {
    // Every control gets exactly its rectangle, whatever its text would like: a long
    // text is cut off at the bottom, as the program's layout expects.
    for (auto& entry : FChildren) {
        TChild* c = entry.second;
        if (!c->Outer || !gtk_widget_get_visible(c->Outer)) continue;
        GtkAllocation a = {c->X, c->Y, c->W, c->H};
        gtk_widget_size_allocate(c->Outer, &a);
    }
}

void TGtkPlatform::ApplyStyle(TChild& child, const TLabelStyle& style) {
    child.Style = style;
    const bool memo = child.Id == TControl::Memo1;
    // The wish box is given a character height, the labels cell heights.
    const double px = memo ? style.CellHeight : style.CellHeight * CellToEm();
    char size[32];
    std::snprintf(size, sizeof size, "%.2fpx", px);
    const std::string css = std::string("* { font-family: \"") + FontFamily() +
                            "\"; font-size: " + size + "; color: " + CssColour(style.TextColor) +
                            "; background-color: " + CssColour(style.Background) +
                            "; background-image: none; padding: 0; margin: 0; border: none;"
                            " min-height: 0; min-width: 0; box-shadow: none; }";
    // The program styles its controls again once they are built; loading the same
    // style would only parse it and restyle the widgets for nothing.
    if (css != child.CssText) {
        gtk_css_provider_load_from_data(child.Css, css.c_str(), -1, nullptr);
        child.CssText = css;
    }
    if (memo) return;
    GtkLabel* label = GTK_LABEL(child.Inner);
    gtk_label_set_xalign(label, style.Centred ? 0.5f : 0.0f);
    gtk_label_set_yalign(label, style.VCentred ? 0.5f : 0.0f);
    gtk_label_set_justify(label, style.Centred ? GTK_JUSTIFY_CENTER : GTK_JUSTIFY_LEFT);
    gtk_label_set_line_wrap(label, style.WordWrap);
    gtk_label_set_line_wrap_mode(label, PANGO_WRAP_WORD_CHAR);
}

void TGtkPlatform::CreateLabel(TControl id, int x, int y, int w, int h, const TLabelStyle& style) {
    if (!FLayout || Child(id)) return;
    GtkWidget* box = gtk_event_box_new();
    GtkWidget* label = GTK_WIDGET(g_object_new(BoxedLabelType(), "label", "", nullptr));
    gtk_container_add(GTK_CONTAINER(box), label);
    gtk_widget_add_events(
        box, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
    TChild& child = AddChild(id, box, label, x, y, w, h);
    // Presses, moves and releases on a label reach the window's handlers, measured from
    // the label's own corner.
    g_signal_connect(box, "button-press-event", G_CALLBACK(OnLabelButton), this);
    g_signal_connect(box, "button-release-event", G_CALLBACK(OnLabelButton), this);
    g_signal_connect(box, "motion-notify-event", G_CALLBACK(OnLabelMotion), this);
    g_signal_connect(box, "realize", G_CALLBACK(OnRealize), this);
    ApplyStyle(child, style);
    gtk_widget_show(label);
    gtk_widget_show(box);
}

gboolean TGtkPlatform::OnLabelButton(GtkWidget* box, GdkEventButton* e, gpointer p) {
    auto* self = static_cast<TGtkPlatform*>(p);
    const TControl id = ControlOf(box);
    if (TChild* c = self->Child(id)) self->MouseButton(id, c, e, e->type != GDK_BUTTON_RELEASE);
    return TRUE;
}

gboolean TGtkPlatform::OnLabelMotion(GtkWidget* box, GdkEventMotion* e, gpointer p) {
    auto* self = static_cast<TGtkPlatform*>(p);
    const TControl id = ControlOf(box);
    if (TChild* c = self->Child(id)) self->MouseMove(id, c, e);
    return TRUE;
}

void TGtkPlatform::SetLabelStyle(TControl id, const TLabelStyle& style) {
    if (TChild* child = Child(id)) ApplyStyle(*child, style);
}

void TGtkPlatform::SetLabelText(TControl id, const std::string& text) {
    if (TChild* child = Child(id))
        gtk_label_set_text(GTK_LABEL(child->Inner), SjisToUtf8(text).c_str());
}

void TGtkPlatform::SetLabelVisible(TControl id, bool visible) {
    if (TChild* child = Child(id)) {
        child->Visible = visible;
        gtk_widget_set_visible(child->Outer, visible);
    }
}

void TGtkPlatform::CreateMemo(int x, int y, int w, int h, int maxLength, const TLabelStyle& style) {
    if (!FLayout || Child(TControl::Memo1)) return;
    GtkWidget* view = gtk_text_view_new();
    GtkTextView* text = GTK_TEXT_VIEW(view);
    gtk_text_view_set_wrap_mode(text, GTK_WRAP_WORD_CHAR);
    gtk_text_view_set_accepts_tab(text, FALSE);
    gtk_text_view_set_left_margin(text, 1);
    gtk_text_view_set_right_margin(text, 1);
    gtk_text_view_set_input_purpose(text, GTK_INPUT_PURPOSE_FREE_FORM);
    FMemoMaxLength = maxLength;
    TChild& child = AddChild(TControl::Memo1, view, view, x, y, w, h);
    SetMemoReadOnly(true);
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(text);
    g_signal_connect(buffer, "changed", G_CALLBACK(+[](GtkTextBuffer*, gpointer p) {
                         auto* self = static_cast<TGtkPlatform*>(p);
                         // SetMemoText reports its own change once.
                         if (!self->FSettingMemoText)
                             self->Deliver([self] { self->FEvents->Memo1Change(); });
                     }),
                     this);
    // At most maxLength characters: an insertion is cut to what still fits.
    g_signal_connect(
        buffer, "insert-text",
        G_CALLBACK(+[](GtkTextBuffer* b, GtkTextIter* at, gchar* text, gint length, gpointer p) {
            auto* self = static_cast<TGtkPlatform*>(p);
            if (self->FSettingMemoText || self->FMemoMaxLength <= 0) return;
            const glong have = gtk_text_buffer_get_char_count(b);
            const glong adding = g_utf8_strlen(text, length);
            const glong room = self->FMemoMaxLength - have;
            if (adding <= room) return;
            g_signal_stop_emission_by_name(b, "insert-text");
            if (room <= 0) return;
            const gchar* end = g_utf8_offset_to_pointer(text, room);
            self->FSettingMemoText = true;
            gtk_text_buffer_insert(b, at, text, static_cast<gint>(end - text));
            self->FSettingMemoText = false;
            self->Deliver([self] { self->FEvents->Memo1Change(); });
        }),
        this);
    g_signal_connect(view, "preedit-changed",
                     G_CALLBACK(+[](GtkTextView*, gchar* preedit, gpointer p) {
                         static_cast<TGtkPlatform*>(p)->FPreedit = preedit && *preedit;
                     }),
                     this);
    g_signal_connect(view, "button-press-event",
                     G_CALLBACK(+[](GtkWidget*, GdkEventButton* e, gpointer p) {
                         auto* self = static_cast<TGtkPlatform*>(p);
                         if (e->type != GDK_BUTTON_PRESS) return FALSE;
                         TMouseButton button = TMouseButton::Left;
                         if (e->button == 2) button = TMouseButton::Middle;
                         if (e->button == 3) button = TMouseButton::Right;
                         const TShiftState shift = self->ShiftFrom(e->state);
                         const int x = static_cast<int>(e->x);
                         const int y = static_cast<int>(e->y);
                         self->Deliver([&] { self->FEvents->Memo1MouseDown(button, shift, x, y); });
                         // The handler may have closed the window and the box with it.
                         return self->Child(TControl::Memo1) ? FALSE : TRUE;
                     }),
                     this);
    g_signal_connect(view, "realize", G_CALLBACK(OnRealize), this);
    ApplyStyle(child, style);
    child.Visible = false;
}

void TGtkPlatform::SetMemoStyle(const TLabelStyle& style) {
    if (TChild* memo = Child(TControl::Memo1)) ApplyStyle(*memo, style);
}

std::string TGtkPlatform::MemoText() {
    TChild* memo = Child(TControl::Memo1);
    if (!memo) return std::string();
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(memo->Inner));
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    gchar* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
    const std::string utf8 = text ? text : "";
    g_free(text);
    return Utf8ToSjis(ToCrLf(utf8));
}

void TGtkPlatform::SetMemoText(const std::string& text) {
    TChild* memo = Child(TControl::Memo1);
    // Setting the text the box already holds is no change: nothing is reported.
    if (!memo || MemoText() == text) return;
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(memo->Inner));
    const std::string utf8 = FromCrLf(SjisToUtf8(text));
    FSettingMemoText = true;
    gtk_text_buffer_set_text(buffer, utf8.c_str(), static_cast<gint>(utf8.size()));
    // The caret goes to the start, as an edit box's does.
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(buffer, &start);
    gtk_text_buffer_place_cursor(buffer, &start);
    FSettingMemoText = false;
    Deliver([this] { FEvents->Memo1Change(); });
}

bool TGtkPlatform::MemoReadOnly() {
    return Child(TControl::Memo1) && FMemoReadOnly;
}

void TGtkPlatform::SetMemoReadOnly(bool readOnly) {
    TChild* memo = Child(TControl::Memo1);
    if (!memo) return;
    FMemoReadOnly = readOnly;
    gtk_text_view_set_editable(GTK_TEXT_VIEW(memo->Inner), !readOnly);
    gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(memo->Inner), !readOnly);
    // The text view puts its own pointer back when it changes state.
    ApplyPointer();
}

void TGtkPlatform::SetMemoVisible(bool visible) {
    TChild* memo = Child(TControl::Memo1);
    if (!memo) return;
    memo->Visible = visible;
    // GTK moves the keyboard focus off a hidden widget: the window itself takes the
    // keys while the box is away.
    gtk_widget_set_visible(memo->Outer, visible);
}

void TGtkPlatform::FocusMemo() {
    TChild* memo = Child(TControl::Memo1);
    if (memo && memo->Visible) gtk_widget_grab_focus(memo->Inner);
}

void TGtkPlatform::FocusWindow() {
    if (FLayout) gtk_widget_grab_focus(FLayout);
}

int TGtkPlatform::MemoCaret() {
    TChild* memo = Child(TControl::Memo1);
    if (!memo) return 0;
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(memo->Inner));
    GtkTextIter caret, start;
    gtk_text_buffer_get_iter_at_mark(buffer, &caret, gtk_text_buffer_get_insert(buffer));
    gtk_text_buffer_get_start_iter(buffer, &start);
    gchar* before = gtk_text_buffer_get_text(buffer, &start, &caret, FALSE);
    int count = 0;
    for (const gchar* p = before; p && *p; p = g_utf8_next_char(p)) count += *p == '\n' ? 2 : 1;
    g_free(before);
    return count;
}

void TGtkPlatform::SetMemoCaret(int pos) {
    TChild* memo = Child(TControl::Memo1);
    if (!memo) return;
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(memo->Inner));
    GtkTextIter at;
    gtk_text_buffer_get_start_iter(buffer, &at);
    // Counted as the program counts: a line break is two characters.
    int left = pos < 0 ? 0 : pos;
    while (left > 0 && !gtk_text_iter_is_end(&at)) {
        left -= gtk_text_iter_get_char(&at) == '\n' ? 2 : 1;
        gtk_text_iter_forward_char(&at);
    }
    gtk_text_buffer_place_cursor(buffer, &at);
    gtk_text_view_scroll_mark_onscreen(GTK_TEXT_VIEW(memo->Inner),
                                       gtk_text_buffer_get_insert(buffer));
}
