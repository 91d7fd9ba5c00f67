// libFuzzer target: any bytes as an archive image, extracted by two names, with
// and without a password. The last input byte picks the name and the password so
// the fuzzer can steer both (an archive ignores bytes after its last block).
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
    return 0;
}
