// The device path of the communication dialog's "Other port..." row, kept
// in the settings file beside the recent files (key "Other_Port" of the
// same section), so that it is offered again the next time.
#pragma once

#include "base/Status.h"

#include <string>
#include <string_view>

namespace dbase {

inline constexpr const char* kOtherPortKey = "Other_Port";
inline constexpr size_t kMaxDevicePath = 1024;

// Whether `text` can name a serial device: not empty, at most
// kMaxDevicePath bytes, no control characters, no blank at either end, and
// (except on Windows) an absolute path.
bool IsDevicePath(std::string_view text);

// The remembered device path from the settings file at `path`; empty when
// there is none, or when what is there can not be a device path.
std::string ReadOtherPort(const std::string& path);

// Remembers `device` (a device path) in the settings file at `path`,
// creating the file when it is missing and keeping every other line.
Status WriteOtherPort(const std::string& path, const std::string& device);

} // namespace dbase
