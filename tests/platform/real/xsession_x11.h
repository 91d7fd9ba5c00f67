// A private X server for one test: Xvfb on a free display, child processes that
// run on it with bounded waits, and what a user sees and does there (windows by
// title, screen pixels, the display mode, the cursor, a close box, keys).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// True when a program of this name is found on PATH.
bool have_program(const char* name);

// Polls the condition every 10 ms for up to timeout_ms; true as soon as it holds.
// What a test reads back from the server arrives over another connection than the
// one that drew it, so a picture is waited for, not expected at once.
bool soon(const std::function<bool()>& condition, int timeout_ms = 2000);

struct ChildResult {
    int exit_code = -1;      // -1 when killed by a signal or by the timeout
    bool timed_out = false;  // killed because it ran past its time
    std::string out, err;    // what it wrote to stdout and stderr
};

// A child process with stdout and stderr captured to files; killed if still running
// when destroyed.
class Child {
public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child();
    // Starts argv[0] (searched on PATH) with the environment changed by env ("NAME=value"
    // sets, "NAME" alone removes), in the folder cwd when it is not empty. False when
    // it could not be started.
    bool start(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
               const std::string& cwd = "");
    // True while the process has not ended.
    bool running();
    // Waits at most timeout_ms for the end, then kills it; returns code and output.
    ChildResult wait(int timeout_ms);

private:
    int pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    std::string out_path_, err_path_;
};

// Starts a program, waits at most timeout_ms and gives its result.
ChildResult run_program(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                        int timeout_ms);

class XSession {
public:
    XSession() = default;
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;
    ~XSession();
    // Starts Xvfb with one w x h x 24 screen on a free display and connects to it.
    // False when it could not; why() says what went wrong.
    bool start(int w, int h);
    const std::string& why() const { return why_; }
    // ":N", for DISPLAY.
    const std::string& display() const { return display_; }
    // The environment entries a child needs to run on this server (DISPLAY, no
    // accessibility bus, no leak check of GUI libraries under the sanitizers).
    std::vector<std::string> child_env() const;

    // Offers 320x200, 640x480 and 1280x960 besides the screen's own mode; they stay
    // while this session lives. False when the server refuses.
    bool add_modes();
    // Width and height of the mode the screen shows now.
    std::pair<int, int> current_mode();

    // The mapped top-level window with exactly this title, 0 when there is none.
    unsigned long find_window(const char* title);
    // Position and size of a top-level window on the screen: x, y, width, height.
    std::tuple<int, int, int, int> window_rect(unsigned long window);
    // Polls for that window up to timeout_ms; 0 when it did not appear.
    unsigned long wait_window(const char* title, int timeout_ms);
    // Polls until the screen shows a w x h mode, up to timeout_ms.
    bool wait_mode(int w, int h, int timeout_ms);
    // Asks the window to close, as a window manager's close box does.
    void close_window(unsigned long window);
    // Gives the window the keyboard focus.
    void focus(unsigned long window);
    // Moves the pointer to screen position x, y.
    void move_pointer(int x, int y);
    // True when the cursor shown now has no visible pixel.
    bool cursor_hidden();
    // Polls until the cursor is hidden (or shown) up to timeout_ms; false if it never was.
    bool wait_cursor(bool hidden, int timeout_ms);
    // The screen's pixels in the rectangle, 0x00RRGGBB, row by row.
    std::vector<uint32_t> pixels(int x, int y, int w, int h);
    // Runs xdotool on this display with these arguments; true when it succeeded.
    bool xdotool(const std::vector<std::string>& args);
    // Kills the X server at once, as a crash or a lost remote connection would end
    // it; this session's own connection is closed first. Nothing else works after.
    void kill_server();

private:
    void* dpy_ = nullptr;  // Display*
    int server_pid_ = -1;
    std::string display_, why_;
};
