// Reading a recovery copy (the old bytes of a file being written in place,
// kept in the data folder) from arbitrary bytes. A copy that is accepted
// names an absolute path and no more old bytes than a write in place keeps,
// and encodes back to exactly the bytes it was read from; anything else is
// refused without reading outside the input.
#include "base/Files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_recovery: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    dbase::RecoveryRecord record;
    if (!dbase::ParseRecoveryRecord(input, record)) return 0;
    if (record.path.empty() || record.path.front() != '/') Fail("a copy for a path that is not absolute");
    if (record.path.find('\0') != std::string::npos) Fail("a path with a NUL");
    if (record.oldBytes.size() > dbase::kMaxInPlaceBytes) Fail("more old bytes than a write in place keeps");
    const std::vector<uint8_t> again = dbase::EncodeRecoveryRecord(record);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data)) Fail("the copy does not encode back");
    return 0;
}
