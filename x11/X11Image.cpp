#include "x11/X11Image.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xutil.h>

#include <cstdlib>

namespace {
// The one object Xlib's process-wide error handler reports to.
CX11Errors* g_errors = nullptr;
}  // namespace

CX11Errors::CX11Errors(Display* display) : m_display(display) {
    g_errors = this;
    XSetErrorHandler(&CX11Errors::OnError);
}

CX11Errors::~CX11Errors() {
    if (g_errors == this) g_errors = nullptr;
}

bool CX11Errors::EndTrap() {
    XSync(m_display, False);
    m_trapping = false;
    return m_trapped == 0;
}

int CX11Errors::OnError(Display*, XErrorEvent* event) {
    if (g_errors == nullptr) return 0;
    if (g_errors->m_trapping) ++g_errors->m_trapped;
    if ((event->error_code == BadWindow || event->error_code == BadDrawable) && event->resourceid == g_errors->m_watched)
        g_errors->m_watchedGone = true;
    return 0;
}

CX11Image::CX11Image(Display* display, Visual* visual, int depth, bool tryShm, CX11Errors& errors)
    : m_display(display), m_visual(visual), m_depth(depth), m_errors(errors),
      m_useShm(tryShm && XShmQueryExtension(display)) {
    // The server's pixel size and byte order at this depth.
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    for (int i = 0; formats != nullptr && i < count; ++i) {
        if (formats[i].depth == depth) m_bitsPerPixel = formats[i].bits_per_pixel;
    }
    if (formats != nullptr) XFree(formats);
    const int one = 1;
    const bool hostLsbFirst = *reinterpret_cast<const char*>(&one) == 1;
    m_swapBytes = (ImageByteOrder(display) == LSBFirst) != hostLsbFirst;
}

CX11Image::~CX11Image() { Free(); }

void CX11Image::Free() {
    if (m_image == nullptr) return;
    if (m_useShm) {
        XShmDetach(m_display, &m_shm);
        XSync(m_display, False);
        m_image->data = nullptr;
        XDestroyImage(m_image);
        shmdt(m_shm.shmaddr);
        m_shm = XShmSegmentInfo{};
    } else {
        XDestroyImage(m_image);  // frees the pixels too
    }
    m_image = nullptr;
    m_capacityWidth = m_capacityHeight = 0;
}

bool CX11Image::Create(int width, int height) {
    Free();
    if (m_useShm) {
        m_image = XShmCreateImage(m_display, m_visual, m_depth, ZPixmap, nullptr, &m_shm, width, height);
        if (m_image != nullptr) {
            const std::size_t bytes = static_cast<std::size_t>(m_image->bytes_per_line) * height;
            m_shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
            if (m_shm.shmid >= 0) {
                m_shm.shmaddr = m_image->data = static_cast<char*>(shmat(m_shm.shmid, nullptr, 0));
                m_shm.readOnly = False;
                bool attached = false;
                if (m_shm.shmaddr != reinterpret_cast<char*>(-1)) {
                    m_errors.BeginTrap();
                    XShmAttach(m_display, &m_shm);
                    attached = m_errors.EndTrap();
                }
                // Marked for removal now: the segment goes with the last
                // detach, however the program ends.
                shmctl(m_shm.shmid, IPC_RMID, nullptr);
                if (attached) {
                    m_capacityWidth = width;
                    m_capacityHeight = height;
                    return true;
                }
                if (m_shm.shmaddr != reinterpret_cast<char*>(-1)) shmdt(m_shm.shmaddr);
            }
            m_image->data = nullptr;
            XDestroyImage(m_image);
            m_image = nullptr;
        }
        // The server cannot attach our memory (a remote display): plain images from now on.
        m_useShm = false;
        m_shm = XShmSegmentInfo{};
    }
    m_image = XCreateImage(m_display, m_visual, m_depth, ZPixmap, 0, nullptr, width, height, 32, 0);
    if (m_image == nullptr) return false;
    m_image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(m_image->bytes_per_line) * height));
    if (m_image->data == nullptr) {
        XDestroyImage(m_image);
        m_image = nullptr;
        return false;
    }
    m_capacityWidth = width;
    m_capacityHeight = height;
    return true;
}

ImageBuffer CX11Image::Reserve(int left, int top, int width, int height) {
    m_current = ImageBuffer{nullptr, 0, m_bitsPerPixel, left, top, width, height};
    if (width <= 0 || height <= 0) return m_current;
    if (m_image == nullptr || width > m_capacityWidth || height > m_capacityHeight) {
        const int w = width > m_capacityWidth ? width : m_capacityWidth;
        const int h = height > m_capacityHeight ? height : m_capacityHeight;
        if (!Create(w, h)) return m_current;
    }
    m_current.data = reinterpret_cast<unsigned char*>(m_image->data);
    m_current.stride = static_cast<std::size_t>(m_image->bytes_per_line);
    m_current.bitsPerPixel = m_image->bits_per_pixel;
    return m_current;
}

void CX11Image::Put(Drawable target, GC gc) {
    if (m_image == nullptr || m_current.data == nullptr) return;
    const ImageBuffer& b = m_current;
    if (m_useShm) {
        XShmPutImage(m_display, target, gc, m_image, 0, 0, b.left, b.top, b.width, b.height, False);
        XSync(m_display, False);
    } else {
        XPutImage(m_display, target, gc, m_image, 0, 0, b.left, b.top, b.width, b.height);
        XFlush(m_display);
    }
}
