// Writes the bundled sample Channel data file (rerunnable):
//   make-sample OUT.bin
#include "SampleData.h"

#include "format/DataFile.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make-sample OUT.bin\n";
        return 2;
    }
    auto db = sample::BuildSample();
    if (dbase::Status s = dbase::SaveImage(*db, dbase::SaveMode::Channel, argv[1], {true, true}); !s) {
        std::cerr << s.message() << '\n';
        return 1;
    }
    return 0;
}
