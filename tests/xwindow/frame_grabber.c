/* Keeps pictures of the frames a program presents, from outside it:
 * loaded with LD_PRELOAD, it wraps glXSwapBuffers (OpenGL, reading the
 * back buffer just before it is shown) and XPutImage (the engine's
 * software renderer) and writes, into the folder KAVENNA_GRAB_DIR, the
 * first frame as first.ppm and the first one shown KAVENNA_GRAB_LATER_MS
 * milliseconds or more after it as later.ppm, each followed by a file
 * first.txt or later.txt naming the way it came, "opengl" or "software",
 * and the X drawable it was shown on (its id in hexadecimal).
 * Without KAVENNA_GRAB_DIR it only forwards the calls. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#define GL_PACK_ALIGNMENT 0x0D05
#define GL_RGB 0x1907
#define GL_UNSIGNED_BYTE 0x1401
#define GL_VIEWPORT 0x0BA2
/* Cursor images go through XPutImage too, and are far smaller. */
#define SMALLEST_FRAME_SIDE 200

static long long first_ms = -1;
static int later_taken;
static __thread int inside_swap;

static long long now_ms(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

/* Which frame this is: "first", "later" or none worth keeping. */
static const char* frame_name(void) {
    const char* dir = getenv("KAVENNA_GRAB_DIR");
    if (!dir)
        return NULL;
    const long long now = now_ms();
    if (first_ms < 0) {
        first_ms = now;
        return "first";
    }
    const char* later = getenv("KAVENNA_GRAB_LATER_MS");
    if (!later_taken && now - first_ms >= (later ? atoll(later) : 1500)) {
        later_taken = 1;
        return "later";
    }
    return NULL;
}

static FILE* open_in_dir(const char* name, const char* extension) {
    char path[4096];
    snprintf(path, sizeof path, "%s/%s.%s", getenv("KAVENNA_GRAB_DIR"), name, extension);
    return fopen(path, "wb");
}

/* Rows of RGB bytes, the top row first, and then the note that they are
 * whole. */
static void write_frame(const char* name, const char* way, unsigned long drawable, int width,
                        int height, const unsigned char* rgb, int bottom_up) {
    FILE* out = open_in_dir(name, "ppm");
    if (!out)
        return;
    fprintf(out, "P6\n%d %d\n255\n", width, height);
    for (int y = 0; y < height; ++y)
        fwrite(rgb + (size_t)(bottom_up ? height - 1 - y : y) * width * 3, 3, (size_t)width, out);
    fclose(out);
    FILE* note = open_in_dir(name, "txt");
    if (note) {
        fprintf(note, "%s 0x%lx\n", way, drawable);
        fclose(note);
    }
}

/* The engine draws its whole window as the viewport; the drawable may
 * be a GLX window, which X cannot measure. */
static void grab_back_buffer(unsigned long drawable, const char* name) {
    typedef void (*PixelStore)(unsigned, int);
    typedef void (*GetIntegers)(unsigned, int*);
    typedef void (*ReadPixels)(int, int, int, int, unsigned, unsigned, void*);
    /* Looked up, not linked: the library is loaded into whatever the
     * test starts. */
    PixelStore store = (PixelStore)dlsym(RTLD_DEFAULT, "glPixelStorei");
    GetIntegers get = (GetIntegers)dlsym(RTLD_DEFAULT, "glGetIntegerv");
    ReadPixels read = (ReadPixels)dlsym(RTLD_DEFAULT, "glReadPixels");
    int viewport[4] = {0, 0, 0, 0};
    if (!store || !get || !read)
        return;
    get(GL_VIEWPORT, viewport);
    const int width = viewport[2], height = viewport[3];
    unsigned char* rgb = width > 0 && height > 0 ? malloc((size_t)width * height * 3) : NULL;
    if (!rgb)
        return;
    store(GL_PACK_ALIGNMENT, 1);
    read(viewport[0], viewport[1], width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    write_frame(name, "opengl", drawable, width, height, rgb, 1);
    free(rgb);
}

static int shift_of(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

static void grab_image(Drawable drawable, XImage* image, int x, int y, unsigned width,
                       unsigned height, const char* name) {
    unsigned char* rgb = malloc((size_t)width * height * 3);
    if (!rgb)
        return;
    const int red = shift_of(image->red_mask), green = shift_of(image->green_mask),
              blue = shift_of(image->blue_mask);
    unsigned char* at = rgb;
    for (unsigned row = 0; row < height; ++row)
        for (unsigned column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, x + (int)column, y + (int)row);
            *at++ = (unsigned char)(pixel >> red);
            *at++ = (unsigned char)(pixel >> green);
            *at++ = (unsigned char)(pixel >> blue);
        }
    write_frame(name, "software", drawable, (int)width, (int)height, rgb, 0);
    free(rgb);
}

void glXSwapBuffers(Display* display, unsigned long drawable) {
    static void (*real)(Display*, unsigned long);
    if (!real)
        real = (void (*)(Display*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
    const char* name = frame_name();
    if (name)
        grab_back_buffer(drawable, name);
    inside_swap = 1;
    real(display, drawable);
    inside_swap = 0;
}

int XPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int src_x, int src_y,
              int dest_x, int dest_y, unsigned int width, unsigned int height) {
    static int (*real)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned int,
                       unsigned int);
    if (!real)
        real = (int (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned int,
                        unsigned int))dlsym(RTLD_NEXT, "XPutImage");
    if (!inside_swap && width >= SMALLEST_FRAME_SIDE && height >= SMALLEST_FRAME_SIDE) {
        const char* name = frame_name();
        if (name)
            grab_image(drawable, image, src_x, src_y, width, height, name);
    }
    return real(display, drawable, gc, image, src_x, src_y, dest_x, dest_y, width, height);
}
