#include "TestUtil.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace testutil {

TempDir::TempDir() {
    std::random_device rd;
    for (int i = 0; i < 100; ++i) {
        auto p = std::filesystem::temp_directory_path() / ("orbitlist-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(p)) {
            dir_ = p;
            return;
        }
    }
    throw std::runtime_error("no temporary directory");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
}

size_t TempDir::Entries() const {
    return static_cast<size_t>(
        std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()));
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

int InChild(bool asNobody, const std::function<int()>& body, unsigned seconds) {
    const pid_t child = ::fork();
    if (child < 0) return -2;
    if (child == 0) {
        if (asNobody && ::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(99);
        ::alarm(seconds);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) return 97;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

EnvVar::EnvVar(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

EnvVar::~EnvVar() {
    if (old_)
        ::setenv(name_.c_str(), old_->c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

} // namespace testutil
