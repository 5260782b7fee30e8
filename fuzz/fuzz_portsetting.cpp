// Reading the remembered "Other port..." device from a settings file of
// arbitrary bytes, and remembering one in it. The input is the whole file.
//
// After the read: an empty text or a device path. After remembering a
// device: reading it gives that device back, and the recent files read as
// they did before. The input's own text, when it is a device path, goes
// through the same round trip.
#include "settings/PortSetting.h"
#include "settings/RecentFiles.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "fuzz_portsetting: %s %s\n", what, detail.c_str());
    std::abort();
}

const std::string& SettingsPath() {
    // A memory-backed folder when there is one: every input is written.
    std::error_code ec;
    static const std::string path =
        ((std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                        : std::filesystem::temp_directory_path()) /
         ("fuzz_portsetting-" + std::to_string(::getpid()) + ".ini"))
            .string();
    return path;
}

void RoundTrip(const std::string& path, const std::string& device) {
    const dbase::RecentFileList before = dbase::ReadRecentFiles(path);
    if (!dbase::WriteOtherPort(path, device)) Fail("a device path was not written", device);
    if (dbase::ReadOtherPort(path) != device) Fail("the device read back differs", device);
    if (dbase::ReadRecentFiles(path) != before) Fail("remembering a device changed the recent files");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = SettingsPath();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(text.data(), static_cast<std::streamsize>(size));

    const std::string read = dbase::ReadOtherPort(path);
    if (!read.empty() && !dbase::IsDevicePath(read)) Fail("a value that is no device path was read", read);

    RoundTrip(path, "/dev/serial/by-id/usb-0403_6001-if00-port0");
    if (dbase::IsDevicePath(text)) RoundTrip(path, std::string(text));
    return 0;
}
