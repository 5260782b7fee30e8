// The PC side of the receiver link against a loader that sends whatever the
// input says, whenever it says (see tools/LinkCase.h for the input's form).
// Every exchange must end, and end correctly: a file received whole or not at
// all, a write that succeeds having sent exactly the file, an exchange that a
// newer one took over showing nothing more.
#include "LinkCase.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

const linkcase::Files& TheFiles() {
    // A memory-backed folder when there is one: every read-back that succeeds
    // writes its file.
    std::error_code ec;
    static const linkcase::Files files(std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "");
    return files;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto outcome = linkcase::Run({data, size}, TheFiles());
    if (!outcome.fault.empty()) {
        std::fprintf(stderr, "fuzz_link: %s\n", outcome.fault.c_str());
        std::abort();
    }
    return 0;
}
