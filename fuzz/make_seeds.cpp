// Writes the seed inputs of the fuzz targets into the folder given:
//   make-seeds DIR
// Each seed starts with the byte that selects how the target reads it.
#include "SampleData.h"

#include "dbase/Container.h"
#include "dbase/DataFile.h"
#include "dbase/Image.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

void Write(const std::string& path, uint8_t how, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.put(static_cast<char>(how));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-seeds DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    for (const std::string name : {"sample", "full"}) {
        auto db = name == "sample" ? sample::BuildSample() : sample::BuildFull(1);
        const auto image = dbase::BuildImage(*db);
        std::vector<uint8_t> stream, file128, file256;
        if (!dbase::CompressImage(image, stream)) return 1;
        db->Is256K = false;
        if (!dbase::BuildSaveBytes(*db, dbase::SaveMode::Default, file128)) return 1;
        Write(dir + "/" + name + "-file128", 0, file128);
        Write(dir + "/" + name + "-stream", 1, stream);
        Write(dir + "/" + name + "-image", 2, image);
    }
    return 0;
}
