/* For scripts/bench: watches the top-level windows of the X display and prints
 * one line per event, the time in ms since the epoch first:
 *   <ms> map <window>            a window was mapped
 *   <ms> move <window> <x> <y>   a window was configured (moved or resized)
 * for at most SECONDS.   xwatch SECONDS */
#include <X11/Xlib.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char* argv[]) {
    if (argc != 2)
        return 2;
    Display* d = XOpenDisplay(NULL);
    if (!d)
        return 1;
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);
    printf("%.3f ready\n", now_ms());
    fflush(stdout);
    const double end = now_ms() + atof(argv[1]) * 1e3;
    struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
    for (double t = now_ms(); t < end; t = now_ms()) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            const double at = now_ms();
            if (e.type == MapNotify)
                printf("%.3f map 0x%lx\n", at, e.xmap.window);
            else if (e.type == ConfigureNotify)
                printf("%.3f move 0x%lx %d %d\n", at, e.xconfigure.window, e.xconfigure.x, e.xconfigure.y);
        }
        fflush(stdout);
        poll(&p, 1, (int)(end - t) + 1);
    }
    XCloseDisplay(d);
    return 0;
}
