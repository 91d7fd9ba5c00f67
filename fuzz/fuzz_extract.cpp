// libFuzzer target: any bytes as an archive image, extracted by name, with and
// without a password, then walked entry by entry as the tool's test does (every
// entry decoded through a sink that checks it never gets more than declared). The
// last input byte picks the name and the password so the fuzzer can steer both
// (an archive ignores bytes after its last block).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "archive/extract_log.h"
#include "archive/rar_reader.h"

// The extraction log is formatted as always but kept in memory, so a run makes no
// system call and touches no folder of the user's.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    keep_extract_log_in_memory(true);
    return 0;
}

namespace {

struct Counted {
    uint64_t bytes;
    uint32_t declared;
};

bool count_bytes(void* context, const uint8_t* bytes, size_t count) {
    Counted& c = *static_cast<Counted*>(context);
    volatile uint8_t sink = 0;
    for (size_t i = 0; i < count; ++i) sink = sink ^ bytes[i];
    (void)sink;
    c.bytes += count;
    if (c.bytes > c.declared) abort();
    return true;
}

// Every entry in archive order; the headers-only listing sees the same names.
void walk_all(const uint8_t* data, size_t size, const char* password) {
    size_t listed = 0, walked = 0;
    if (walk_open_memory(data, size, password)) {
        walk_headers_only();
        WalkEntry e;
        while (walk_next(&e) > 0) ++listed;
        walk_close();
    }
    if (walk_open_memory(data, size, password)) {
        WalkEntry e;
        int r;
        while ((r = walk_next(&e)) > 0) {
            ++walked;
            if (e.name[e.name_size] != 0) abort();
            Counted c{0, e.unpacked};
            if (walk_unpack(count_bytes, &c) && c.bytes != e.unpacked) abort();
        }
        walk_close();
        // A walk that decodes may stop earlier (an unsupported entry in a solid
        // archive), never later.
        if (walked > listed) abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const names[] = {"a", "B.DAT", "dir\\c", "x"};
    static const char* const passwords[] = {nullptr, "", "pw", "a longer password"};
    uint8_t pick = size > 0 ? data[size - 1] : 0;
    uint8_t* block = nullptr;
    uint32_t length = 0;
    int ok = extract_from_memory(&block, &length, names[pick & 3], data, size, passwords[(pick >> 2) & 3]);
    if (ok) {
        // Touch every byte so the sanitizers see the whole block.
        volatile uint8_t sink = 0;
        for (uint32_t i = 0; i < length; ++i) sink = sink ^ block[i];
        (void)sink;
    } else if (block != nullptr || length != 0) {
        abort();
    }
    free(block);
    walk_all(data, size, passwords[(pick >> 2) & 3]);
    return 0;
}
