// Xvfb sessions and child processes for the tests of the real platform; see
// xsession_x11.h.
#include "xsession_x11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

using Clock = std::chrono::steady_clock;

static void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool have_program(const char* name) {
    const char* path = getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    return false;
}

bool soon(const std::function<bool()>& condition, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (condition()) return true;
        if (Clock::now() > deadline) return false;
        sleep_ms(10);
    }
}

static std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

Child::~Child() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
    if (!out_path_.empty()) unlink(out_path_.c_str());
    if (!err_path_.empty()) unlink(err_path_.c_str());
}

static std::string temp_file(int* fd) {
    char name[] = "/tmp/kelvora-test-XXXXXX";
    *fd = mkstemp(name);
    return *fd >= 0 ? name : "";
}

bool Child::start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                  const std::string& cwd) {
    int out_fd = -1, err_fd = -1;
    out_path_ = temp_file(&out_fd);
    err_path_ = temp_file(&err_fd);
    if (out_fd < 0 || err_fd < 0) return false;

    // Everything the child needs is built before fork: only exec-safe calls after it.
    std::vector<std::string> envs;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        const std::string key = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string& change : env)
            if (change.substr(0, change.find('=')) == key) replaced = true;
        if (!replaced) envs.push_back(entry);
    }
    for (const std::string& change : env)
        if (change.find('=') != std::string::npos) envs.push_back(change);
    std::vector<char*> cargv, cenv;
    for (const std::string& a : argv) cargv.push_back(const_cast<char*>(a.c_str()));
    cargv.push_back(nullptr);
    for (std::string& e : envs) cenv.push_back(e.data());
    cenv.push_back(nullptr);

    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
        dup2(out_fd, 1);
        dup2(err_fd, 2);
        const int null_fd = open("/dev/null", O_RDONLY);
        if (null_fd >= 0) dup2(null_fd, 0);
        setpgid(0, 0);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        execvpe(cargv[0], cargv.data(), cenv.data());
        _exit(127);
    }
    close(out_fd);
    close(err_fd);
    return true;
}

bool Child::running() {
    if (pid_ <= 0 || reaped_) return false;
    if (waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
    return !reaped_;
}

ChildResult Child::wait(int timeout_ms) {
    ChildResult r;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (running() && Clock::now() < deadline) sleep_ms(10);
    if (running()) {
        r.timed_out = true;
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
        reaped_ = true;
    }
    if (pid_ > 0 && reaped_ && WIFEXITED(status_) && !r.timed_out) r.exit_code = WEXITSTATUS(status_);
    r.out = read_file(out_path_);
    r.err = read_file(err_path_);
    return r;
}

ChildResult run_program(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                        int timeout_ms) {
    Child c;
    if (!c.start(argv, env)) return {};
    return c.wait(timeout_ms);
}

// Windows come and go while a test looks at them; an error about one that just went
// is no failure of the test.
static int ignore_x_error(Display*, XErrorEvent*) { return 0; }

#define DPY static_cast<Display*>(dpy_)

XSession::~XSession() {
    if (dpy_) XCloseDisplay(DPY);
    if (server_pid_ > 0) {
        kill(server_pid_, SIGTERM);
        int status = 0;
        const auto deadline = Clock::now() + std::chrono::seconds(3);
        while (waitpid(server_pid_, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                kill(server_pid_, SIGKILL);
                waitpid(server_pid_, &status, 0);
                break;
            }
            sleep_ms(10);
        }
    }
}

bool XSession::start(int w, int h) {
    if (!have_program("Xvfb")) {
        why_ = "Xvfb is not installed";
        return false;
    }
    // Xvfb picks a free display itself and writes its number to this pipe when ready.
    int fds[2];
    if (pipe(fds) != 0) {
        why_ = "no pipe";
        return false;
    }
    const std::string fd_text = std::to_string(fds[1]);
    const std::string screen = std::to_string(w) + "x" + std::to_string(h) + "x24";
    server_pid_ = fork();
    if (server_pid_ == 0) {
        close(fds[0]);
        const int null_fd = open("/dev/null", O_RDWR);
        if (null_fd >= 0) {
            dup2(null_fd, 0);
            dup2(null_fd, 1);
            dup2(null_fd, 2);
        }
        setpgid(0, 0);
        execlp("Xvfb", "Xvfb", "-displayfd", fd_text.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(15);
    while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buf[32];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        number.append(buf, size_t(n));
    }
    close(fds[0]);
    if (number.empty() || number.find('\n') == std::string::npos) {
        why_ = "Xvfb did not start";
        return false;
    }
    display_ = ":" + number.substr(0, number.find('\n'));
    XSetErrorHandler(ignore_x_error);
    dpy_ = XOpenDisplay(display_.c_str());
    if (!dpy_) {
        why_ = "cannot connect to " + display_;
        return false;
    }
    // The cursor image can be asked for only after the version was agreed on.
    int event_base = 0, error_base = 0, major = 6, minor = 0;
    if (XFixesQueryExtension(DPY, &event_base, &error_base)) XFixesQueryVersion(DPY, &major, &minor);
    return true;
}

std::vector<std::string> XSession::child_env() const {
    // GTK and the GL driver keep memory to the end; a real fault must not pass for
    // the exit code 1 the tests expect, so it gets a code of its own. Later options
    // win, so these go after whatever the caller set.
    std::string asan = "ASAN_OPTIONS=";
    if (const char* a = getenv("ASAN_OPTIONS")) asan += std::string(a) + ":";
    asan += "detect_leaks=0:exitcode=86";
    return {"DISPLAY=" + display_, "NO_AT_BRIDGE=1", "GTK_A11Y=none", asan, "WAYLAND_DISPLAY",
            "SDL_VIDEODRIVER=x11"};
}

bool XSession::add_modes() {
    Display* d = DPY;
    const Window root = DefaultRootWindow(d);
    XRRScreenResources* res = XRRGetScreenResources(d, root);
    if (!res || res->noutput < 1) return false;
    static const int sizes[3][2] = {{320, 200}, {640, 480}, {1280, 960}};
    for (const auto& s : sizes) {
        char name[32];
        snprintf(name, sizeof name, "%dx%d", s[0], s[1]);
        XRRModeInfo m;
        memset(&m, 0, sizeof m);
        m.width = unsigned(s[0]);
        m.height = unsigned(s[1]);
        m.hTotal = m.width;
        m.vTotal = m.height;
        m.dotClock = uint64_t(m.width) * m.height * 60;  // 60 Hz
        m.name = name;
        m.nameLength = unsigned(strlen(name));
        const RRMode id = XRRCreateMode(d, root, &m);
        XRRAddOutputMode(d, res->outputs[0], id);
    }
    XRRFreeScreenResources(res);
    XSync(d, False);
    res = XRRGetScreenResources(d, root);
    const bool ok = res && res->nmode >= 4;
    if (res) XRRFreeScreenResources(res);
    return ok;
}

std::pair<int, int> XSession::current_mode() {
    Display* d = DPY;
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(d, DefaultRootWindow(d));
    std::pair<int, int> size{0, 0};
    if (res && res->ncrtc > 0) {
        if (XRRCrtcInfo* c = XRRGetCrtcInfo(d, res, res->crtcs[0])) {
            size = {int(c->width), int(c->height)};
            XRRFreeCrtcInfo(c);
        }
    }
    if (res) XRRFreeScreenResources(res);
    return size;
}

// True when the window's WM_NAME is exactly this ASCII title, whatever encoding the
// toolkit labelled it with (STRING, UTF8_STRING, COMPOUND_TEXT agree on ASCII).
static bool has_title(Display* d, Window w, const char* title) {
    XTextProperty name;
    if (!XGetWMName(d, w, &name) || !name.value) return false;
    const bool match = name.nitems == strlen(title) && memcmp(name.value, title, name.nitems) == 0;
    XFree(name.value);
    return match;
}

static unsigned long search(Display* d, Window w, const char* title, int depth) {
    XWindowAttributes a;
    if (has_title(d, w, title) && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable)
        return w;
    if (depth == 0) return 0;
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &n)) return 0;
    unsigned long found = 0;
    for (unsigned i = 0; i < n && !found; ++i) found = search(d, children[i], title, depth - 1);
    if (children) XFree(children);
    return found;
}

unsigned long XSession::find_window(const char* title) {
    return search(DPY, DefaultRootWindow(DPY), title, 2);
}

std::tuple<int, int, int, int> XSession::window_rect(unsigned long window) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(DPY, window, &a)) return {0, 0, 0, 0};
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(DPY, window, DefaultRootWindow(DPY), 0, 0, &x, &y, &child);
    return {x, y, a.width, a.height};
}

unsigned long XSession::wait_window(const char* title, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (unsigned long w = find_window(title)) return w;
        if (Clock::now() > deadline) return 0;
        sleep_ms(20);
    }
}

bool XSession::wait_mode(int w, int h, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (current_mode() == std::make_pair(w, h)) return true;
        if (Clock::now() > deadline) return false;
        sleep_ms(20);
    }
}

void XSession::close_window(unsigned long window) {
    Display* d = DPY;
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, NoEventMask, &e);
    XSync(d, False);
}

void XSession::focus(unsigned long window) {
    XSetInputFocus(DPY, window, RevertToParent, CurrentTime);
    XSync(DPY, False);
}

void XSession::move_pointer(int x, int y) {
    XWarpPointer(DPY, None, DefaultRootWindow(DPY), 0, 0, 0, 0, x, y);
    XSync(DPY, False);
}

bool XSession::cursor_hidden() {
    XFixesCursorImage* c = XFixesGetCursorImage(DPY);
    if (!c) return false;
    bool visible = false;
    for (size_t i = 0; i < size_t(c->width) * c->height; ++i)
        if (c->pixels[i] >> 24) visible = true;  // alpha in the top byte
    XFree(c);
    return !visible;
}

bool XSession::wait_cursor(bool hidden, int timeout_ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (cursor_hidden() == hidden) return true;
        if (Clock::now() > deadline) return false;
        sleep_ms(20);
    }
}

std::vector<uint32_t> XSession::pixels(int x, int y, int w, int h) {
    std::vector<uint32_t> out;
    XImage* img = XGetImage(DPY, DefaultRootWindow(DPY), x, y, unsigned(w), unsigned(h), AllPlanes,
                            ZPixmap);
    if (!img) return out;
    out.reserve(size_t(w) * size_t(h));
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) out.push_back(uint32_t(XGetPixel(img, i, j)) & 0xFFFFFFu);
    XDestroyImage(img);
    return out;
}

bool XSession::xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_program(argv, child_env(), 10000).exit_code == 0;
}

void XSession::kill_server() {
    if (dpy_) XCloseDisplay(DPY);
    dpy_ = nullptr;
    if (server_pid_ <= 0) return;
    kill(server_pid_, SIGKILL);
    int status = 0;
    waitpid(server_pid_, &status, 0);
    server_pid_ = -1;
}
