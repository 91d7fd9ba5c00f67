// The extraction debug log: where it lives, its header and its records.
#include "archive/extract_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archive/log_clock.h"

namespace {

bool logging_on = false;
uint32_t start_tick = 0;
char log_path[4096];

bool in_memory = false;
char memory_log[65536];
size_t memory_used = 0;  // bytes before the terminating zero

// Appends to the in-memory log, starting it over when text would not fit.
void memory_append(const char* text, size_t length) {
    if (length >= sizeof memory_log) return;
    if (memory_used + length >= sizeof memory_log) memory_used = 0;
    memcpy(memory_log + memory_used, text, length);
    memory_used += length;
    memory_log[memory_used] = '\0';
}

// Writes all of text to fd; false when any of it could not be written.
bool write_all(int fd, const char* text, size_t length) {
    while (length > 0) {
        ssize_t n = write(fd, text, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text += n;
        length -= size_t(n);
    }
    return true;
}

// Makes sure dir exists as a real folder of ours; creates it with mode 0700.
// private_only also refuses a folder that others may write or enter.
bool ensure_folder(const char* dir, bool private_only) {
    if (mkdir(dir, 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (lstat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (private_only && (st.st_uid != geteuid() || (st.st_mode & 0077) != 0)) return false;
    return true;
}

}  // namespace

bool extract_log_path(char* out, size_t capacity) {
    char base[4096];
    const char* state = getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        if (snprintf(base, sizeof base, "%s", state) >= int(sizeof base)) return false;
        if (!ensure_folder(base, false)) return false;
    } else {
        const char* home = getenv("HOME");
        if (home == nullptr || home[0] != '/') return false;
        char local[4096];
        if (snprintf(local, sizeof local, "%s/.local", home) >= int(sizeof local)) return false;
        if (!ensure_folder(local, false)) return false;
        if (snprintf(base, sizeof base, "%s/.local/state", home) >= int(sizeof base)) return false;
        if (!ensure_folder(base, false)) return false;
    }
    char dir[4096];
    if (snprintf(dir, sizeof dir, "%s/kelvora", base) >= int(sizeof dir)) return false;
    if (!ensure_folder(dir, true)) return false;
    return snprintf(out, capacity, "%s/debug_unrar.txt", dir) < int(capacity);
}

void open_extract_log(const char* path) {
    start_tick = extract_log_ticks();
    logging_on = false;
    if (in_memory) {
        memory_used = 0;
        memory_log[0] = '\0';
        logging_on = true;
        return;
    }
    if (path == nullptr || snprintf(log_path, sizeof log_path, "%s", path) >= int(sizeof log_path))
        return;
    int fd = open(log_path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return;
    logging_on = true;
    char header[256];
    int n = snprintf(header, sizeof header,
                     "Debug log of Morvit's RARFileLib\n~^~~~~~~~~~~~~~~~~~~~~~~~~~~~~^~\n"
                     "(executable compiled on %s at %s)\n\n",
                     __DATE__, __TIME__);
    write_all(fd, header, size_t(n));
    close(fd);
}

void start_extract_log() {
    if (in_memory) {
        open_extract_log(nullptr);
        return;
    }
    char path[4096];
    if (extract_log_path(path, sizeof path)) open_extract_log(path);
}

void log_line(const char* message, const char* source_file, unsigned line) {
    if (!logging_on) return;
    char record[2048];
    uint32_t elapsed = extract_log_ticks() - start_tick;  // wraps modulo 2^32
    int n = snprintf(record, sizeof record, " %8u ms (line %u in %s):\n              - %s\n",
                     elapsed, line, source_file, message);
    if (n >= int(sizeof record)) {
        // An over-long message is cut, but the record still ends its line.
        n = int(sizeof record) - 1;
        record[n - 1] = '\n';
    }
    if (n <= 0) return;
    if (in_memory) {
        memory_append(record, size_t(n));
        return;
    }
    int fd = open(log_path, O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return;
    write_all(fd, record, size_t(n));
    close(fd);
}

void log_linef(const char* source_file, unsigned line, const char* format, ...) {
    if (!logging_on) return;
    char message[1536];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    const char* slash = strrchr(source_file, '/');
    log_line(message, slash ? slash + 1 : source_file, line);
}

void close_extract_log() { logging_on = false; }

void keep_extract_log_in_memory(bool on) {
    in_memory = on;
    logging_on = false;
}

const char* extract_log_memory() { return memory_log; }
