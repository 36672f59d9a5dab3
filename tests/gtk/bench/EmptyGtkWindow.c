/* An empty GTK 3 window as GTK makes it by default, shown beside the plain baseline
 * (PlainGtkWindow.c): an undecorated window of Sablewick's size holding a drawing area,
 * titled "SablewickBaseline", with GDK left to load OpenGL where a driver is installed.
 * Ends on SIGTERM or when its window is closed. */
#include <glib-unix.h>
#include <gtk/gtk.h>

static gboolean Quit(gpointer data) {
    (void)data;
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

int main(int argc, char** argv) {
    if (!gtk_init_check(&argc, &argv)) return 3;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "SablewickBaseline");
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    GtkWidget* area = gtk_drawing_area_new();
    gtk_widget_set_size_request(area, 737, 584);
    gtk_container_add(GTK_CONTAINER(window), area);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    g_unix_signal_add(SIGTERM, Quit, NULL);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
