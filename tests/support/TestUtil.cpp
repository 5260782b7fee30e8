#include "TestUtil.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

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

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace testutil
