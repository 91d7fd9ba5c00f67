// Registry of unfinished files; see cleanup.h.
#include "cleanup.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>

// Fixed storage so that the signal handler touches nothing but plain memory.
constexpr int MAX_PENDING = 16;
static char pending[MAX_PENDING][PATH_MAX];
static volatile sig_atomic_t used[MAX_PENDING];

void cleanup_register(const std::string& path) {
    if (path.size() >= PATH_MAX) return;
    for (int i = 0; i < MAX_PENDING; ++i)
        if (!used[i]) {
            memcpy(pending[i], path.c_str(), path.size() + 1);
            used[i] = 1;
            return;
        }
}

void cleanup_forget(const std::string& path) {
    for (int i = 0; i < MAX_PENDING; ++i)
        if (used[i] && path == pending[i]) used[i] = 0;
}

// Files first, then folders (a folder goes once the files in it are gone); unlink
// and rmdir are safe in a signal handler.
static void remove_pending() {
    for (int i = 0; i < MAX_PENDING; ++i)
        if (used[i] && unlink(pending[i]) == 0) used[i] = 0;
    for (int i = 0; i < MAX_PENDING; ++i)
        if (used[i]) rmdir(pending[i]);
}

void cleanup_remove_all() {
    remove_pending();
    for (int i = 0; i < MAX_PENDING; ++i) used[i] = 0;
}

static void on_signal(int) {
    remove_pending();
    _exit(130);
}

void cleanup_install_signal_handlers() {
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}
