/* The least a GTK 3 window costs, which the native program's start and memory are held
 * against: a plain undecorated top-level of Sablewick's size (737 x 584), nothing in
 * it, no visual asked for, and GDK kept from OpenGL (GDK_GL=disable, as the program
 * keeps it). Titled "SablewickBaseline"; ends on SIGTERM or when its window is closed. */
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <stdlib.h>

static gboolean Quit(gpointer data) {
    (void)data;
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

int main(int argc, char** argv) {
    setenv("GDK_GL", "disable", 1);
    if (!gtk_init_check(&argc, &argv)) return 3;
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "SablewickBaseline");
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_window_set_default_size(GTK_WINDOW(window), 737, 584);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    g_unix_signal_add(SIGTERM, Quit, NULL);
    gtk_widget_show(window);
    gtk_main();
    return 0;
}
