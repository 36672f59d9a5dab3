/* Starts a program and prints the milliseconds from its start to the mapping of its
 * first top-level window, as the X server reports it; then waits SETTLE_MS more (0 by
 * default), sends SIGTERM and waits for the program to end.
 *
 * usage: time_to_map [--settle MS] PROGRAM [ARGS...] */
#include <X11/Xlib.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
    int first = 1, settle = 0;
    if (argc > 2 && strcmp(argv[1], "--settle") == 0) {
        settle = atoi(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        fprintf(stderr, "usage: %s [--settle MS] PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "no X display\n");
        return 2;
    }
    /* Told of every window mapped on the root, before the program starts. */
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const double start = Now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[first], argv + first);
        _exit(127);
    }
    double mapped = -1;
    while (mapped < 0) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.type == MapNotify && !e.xmap.override_redirect) mapped = Now();
    }
    printf("%.1f\n", mapped - start);
    fflush(stdout);
    if (settle > 0) usleep((useconds_t)settle * 1000);
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    XCloseDisplay(display);
    return 0;
}
