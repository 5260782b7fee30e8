// Shared helpers of the database tests.
#pragma once

#include "format/DataFile.h"

#include <filesystem>
#include <functional>
#include <optional>
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
    // How many entries the folder holds.
    size_t Entries() const;

private:
    std::filesystem::path dir_;
};

std::vector<uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// The ordinary user a root test run drops to ("nobody").
inline constexpr unsigned kNobody = 65534;

// Runs `body` in a child process and returns its exit status: -1 when it
// died of a signal, 97 when it ran longer than `seconds`. With `asNobody` a
// root process first becomes "nobody" (99 when it could not).
int InChild(bool asNobody, const std::function<int()>& body, unsigned seconds = 20);

// Sets an environment variable (unsets it for nullptr) for as long as the
// object lives.
class EnvVar {
public:
    EnvVar(const char* name, const char* value);
    ~EnvVar();
    EnvVar(const EnvVar&) = delete;
    EnvVar& operator=(const EnvVar&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

} // namespace testutil
