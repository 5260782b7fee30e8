// Shared helpers of the database tests.
#pragma once

#include "dbase/DataFile.h"

#include <filesystem>
#include <string>
#include <vector>

namespace testutil {

// A fresh empty directory under the system's temporary directory, removed
// when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    const std::filesystem::path& dir() const { return dir_; }

private:
    std::filesystem::path dir_;
};

std::vector<uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace testutil
