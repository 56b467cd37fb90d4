/* Counts the frames a program presents, from outside it: loaded with
 * LD_PRELOAD, it wraps glXSwapBuffers (OpenGL) and XPutImage (the
 * engine's software renderer) and keeps a count and the times of the
 * frames in a small file named by KAVENNA_FRAME_LOG, which the benchmark
 * maps and reads while the program runs. Without that variable it only
 * forwards the calls. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

/* The layout the benchmark reads, native 64-bit numbers: the frame
 * count, the CLOCK_MONOTONIC time of the first frame, how many frames
 * came through OpenGL, then the times of the latest frames, frame n at
 * times[n % FRAME_LOG_TIMES]. */
#define FRAME_LOG_TIMES 4096
struct frame_log {
    uint64_t count;
    uint64_t first_ns;
    uint64_t gl_count;
    uint64_t times[FRAME_LOG_TIMES];
};

static struct frame_log* frame_log_map(void) {
    static struct frame_log* log;
    static int tried;
    if (tried)
        return log;
    tried = 1;
    const char* path = getenv("KAVENNA_FRAME_LOG");
    if (!path)
        return log;
    const int fd = open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return log;
    void* map = mmap(NULL, sizeof *log, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    if (map != MAP_FAILED)
        log = map;
    return log;
}

static void count_frame(int through_gl) {
    struct frame_log* log = frame_log_map();
    if (!log)
        return;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ns = (uint64_t)now.tv_sec * 1000000000u + (uint64_t)now.tv_nsec;
    if (log->count == 0)
        log->first_ns = ns;
    log->times[log->count % FRAME_LOG_TIMES] = ns;
    log->gl_count += (uint64_t)through_gl;
    /* Written last, so a reader that sees the new count sees its time. */
    __atomic_store_n(&log->count, log->count + 1, __ATOMIC_RELEASE);
}

/* Mesa's software GL may present a swap with XPutImage itself; that
 * image is part of the swap, not a frame of its own. Cursor images,
 * which Xcursor uploads with XPutImage too, are far smaller than any
 * window the benchmark watches. */
#define SMALLEST_FRAME_SIDE 200u
static __thread int inside_swap;

void glXSwapBuffers(Display* display, unsigned long drawable) {
    static void (*real)(Display*, unsigned long);
    if (!real)
        real = (void (*)(Display*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
    inside_swap = 1;
    real(display, drawable);
    inside_swap = 0;
    count_frame(1);
}

int XPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int src_x, int src_y,
              int dest_x, int dest_y, unsigned int width, unsigned int height) {
    static int (*real)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned int,
                       unsigned int);
    if (!real)
        real = (int (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned int,
                        unsigned int))dlsym(RTLD_NEXT, "XPutImage");
    const int result =
        real(display, drawable, gc, image, src_x, src_y, dest_x, dest_y, width, height);
    if (!inside_swap && width >= SMALLEST_FRAME_SIDE && height >= SMALLEST_FRAME_SIDE)
        count_frame(0);
    return result;
}
