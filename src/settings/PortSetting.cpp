#include "settings/PortSetting.h"

#include "settings/RecentFiles.h"

#include <algorithm>

namespace dbase {

bool IsDevicePath(std::string_view text) {
    if (text.empty() || text.size() > kMaxDevicePath) return false;
    // The settings file drops blanks around a value.
    if (text.front() == ' ' || text.back() == ' ') return false;
    if (std::any_of(text.begin(), text.end(), [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u < 0x20 || u == 0x7F;
        }))
        return false;
#ifdef _WIN32
    return true;
#else
    return text.front() == '/';
#endif
}

std::string ReadOtherPort(const std::string& path) {
    std::string value = ReadProfileString(path, kRecentSection, kOtherPortKey);
    return IsDevicePath(value) ? value : std::string();
}

Status WriteOtherPort(const std::string& path, const std::string& device) {
    if (!IsDevicePath(device)) return Status::Error(StatusCode::Invalid, "Not a device path: " + device);
    return WriteProfileString(path, kRecentSection, kOtherPortKey, device);
}

} // namespace dbase
