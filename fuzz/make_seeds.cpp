// Writes the seed inputs of the fuzz targets into the folder given:
//   make-seeds DIR                  the data-file seeds of fuzz_open
//   make-seeds --ini DIR INI_DIR    the .ini seeds of fuzz_ini, from the files in INI_DIR
//   make-seeds --link DIR           the loader scripts of fuzz_link
//   make-seeds --batch DIR          the scripts of fuzz_batch
//   make-seeds --recovery DIR       the recovery copies of fuzz_recovery
//   make-seeds --find DIR           the filter texts and find command lines of fuzz_find
//   make-seeds --csv DIR            the lists of fuzz_csv
// Each seed starts with the byte(s) that select how the target reads it.
#include "LinkCase.h"
#include "SampleData.h"

#include "base/Files.h"
#include "editing/Lists.h"
#include "format/Container.h"
#include "format/DataFile.h"
#include "format/Image.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

void Write(const std::string& path, uint8_t how, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.put(static_cast<char>(how));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteIni(const std::string& path, uint8_t how, uint8_t sat, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.put(static_cast<char>(how));
    out.put(static_cast<char>(sat));
    out << text;
}

// Each real file into the sample (saved and reopened) and into a full
// database, and a few small files at the reader's edges.
int IniSeeds(const std::string& dir, const std::string& iniDir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(iniDir, ec)) {
        if (entry.path().extension() != ".ini") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string stem = entry.path().stem().string();
        WriteIni(dir + "/" + stem + "-sample", 6, 1, text);
        WriteIni(dir + "/" + stem + "-full", 1, 7, text);
    }
    if (ec) {
        std::cerr << "make-seeds: " << iniDir << ": " << ec.message() << '\n';
        return 1;
    }
    const std::string head = "[SATTYPE]\r\n1=0192\r\n2=Example Sat,19.2E\r\n\r\n[DVB]\r\n0=3\r\n";
    WriteIni(dir + "/small", 6, 0, head + "1=11000,H,27500,34\r\n2=12000,L,22000,56,S2,8PSK\r\n3=3730,r,3840\r\n");
    WriteIni(dir + "/small-into-full", 7, 63, head + "1=11000,H,27500,34\r\n");
    WriteIni(dir + "/no-transponders", 0, 5, head);
    WriteIni(dir + "/bad-numbers", 2, 2, head + "1=16384,H,27500\r\n2=x,V,1\r\n3=11000,V,65536\r\n4=0,h,0\r\n");
    WriteIni(dir + "/west-update", 2, 3,
             "[UPDATE]\n0=Nov 11, "
             "2019\n[SATTYPE]\n1=3300\n2=Hispasat\n[DVB]\n0=1\n1=10730,V,27500,34\n[UPDATE]\n1=x\n");
    WriteIni(dir + "/bad-position", 0, 1, "[SATTYPE]\n1=19.25\n2=X\n[DVB]\n0=0\n");
    WriteIni(dir + "/no-slot", 2, 0xF9, head + "1=11000,H,27500,34\r\n");
    std::string many = head;
    for (int i = 1; i <= 151; ++i) many += std::to_string(i) + "=" + std::to_string(10700 + i) + ",V,27500,34\r\n";
    WriteIni(dir + "/151-transponders", 2, 4, many);
    return 0;
}

// Scripts with every command, undo and redo, quoting, and the usual mistakes.
int BatchSeeds(const std::string& dir) {
    const std::pair<const char*, const char*> scripts[] = {
        {"reorder", "sort tv name\nsort radio fav\nsort tv tp\nswap prog 3 4\nswap sat 0 1\nswap tp 0 1\n"},
        {"marks", "mark 5 fav:2\nmark 5 lock\nmark 6 skip\nfav-lock 3 1\nfav-name 2 'Kids & Co'\nundo\nredo\n"},
        {"deletes", "delete-program 7\ndelete-tp 3\nreset-sat 1\ndelete-empty-tps --sat 0\nundo\nundo\n"},
        {"editors", "edit-program 3 --name \"News 24\" --vid 100 --lock 1 --fav 0000000000000101\n"
                    "add-program 5 radio --name R --vid 0 --aud 101 --pcr 100\n"
                    "edit-tp 2 --freq 11000 --pol V --fec 3/4\nadd-tp 1 --freq 12000 --sym 27500 --pol H --fec Auto\n"
                    "edit-sat 0 --name Astra --type single --low 05750 --22k on --longitude 19.2\n"},
        {"mistakes", "# comment\n\nundo\nsort tv size\nedit-program 1 --name 'open\nfrobnicate\n"},
        {"history", "mark 1 lock\nmark 2 lock\nundo\nundo\nredo\nmark 3 skip\nredo\n"},
        {"blocks", "move tv 30 1\nmove radio 1 5 --count 2\nmove sat 2 1\nmove tp 0 1 3 --count 2\n"
                   "set-mark lock 1 3 4\nset-mark fav:6 0 30\ndelete-programs 2 5 9\nundo\nmove tv 1 40\n"},
    };
    for (const auto& [name, text] : scripts)
        for (uint8_t db : {0, 1}) {
            std::ofstream out(dir + "/" + name + (db ? "-full" : "-sample"), std::ios::binary | std::ios::trunc);
            out.put(static_cast<char>(db));
            out << text;
        }
    return 0;
}

void WriteCase(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Every exchange answered correctly, and the same with each fault of the PC's
// side; a newer exchange taking over while one connects and while one sends.
int LinkSeeds(const std::string& dir) {
    using namespace linkcase;
    const auto& channel = sample::SampleFile(true);
    const auto& standard = sample::SampleFile(false);
    WriteCase(dir + "/read-default", CleanCase(0, 0, standard));
    WriteCase(dir + "/read-channel", CleanCase(kRead256K, 0, channel));
    WriteCase(dir + "/write-default", CleanCase(kWrite, 0, {}));
    WriteCase(dir + "/write-channel", CleanCase(kWrite | kRead256K, 0, {}));
    WriteCase(dir + "/read-cancelled", CleanCase(kCancel, 40, standard));
    WriteCase(dir + "/write-cancelled", CleanCase(kWrite | kCancel, 200, {}));
    WriteCase(dir + "/read-port-fails", CleanCase(kWriteFails, 30, standard));
    WriteCase(dir + "/write-port-fails", CleanCase(kWrite | kWriteFails, 200, {}));
    WriteCase(dir + "/no-port", CleanCase(kOpenFails, 0, standard));
    WriteCase(dir + "/damaged-file", CleanCase(kWrite | kDamagedFile, 0, {}));
    // Taken over at the first message: the newer read-back gets the whole script.
    WriteCase(dir + "/taken-over-connecting", CleanCase(kTakeOver, 1, standard));
    // A write taken over after its second block: its first four answers, then
    // a whole read-back for the newer exchange.
    auto write = FirstSegments(CleanCase(kWrite | kTakeOver, 5, {}), 4);
    const auto read = CleanCase(0, 0, standard);
    write.insert(write.end(), read.begin() + 2, read.end());
    WriteCase(dir + "/taken-over-writing", write);
    return 0;
}

} // namespace

// Copies of an empty file, a short text and a whole data file.
int RecoverySeeds(const std::string& dir) {
    dbase::RecoveryRecord r;
    r.path = "/home/user/settings/ORBITLIST.ini";
    WriteCase(dir + "/empty", dbase::EncodeRecoveryRecord(r));
    r.path = "/tmp/a";
    r.device = 2049;
    r.inode = 1234567;
    const std::string text = "[ORBITLIST_Tavrinex]\r\nLast_File_Name1=/data/chan.bin\r\n";
    r.oldBytes.assign(text.begin(), text.end());
    WriteCase(dir + "/text", dbase::EncodeRecoveryRecord(r));
    r.path = "/media/receiver/channel.bin";
    r.oldBytes = sample::SampleFile(false);
    WriteCase(dir + "/data-file", dbase::EncodeRecoveryRecord(r));
    return 0;
}

// Filter texts with their conditions, and find command lines.
int FindSeeds(const std::string& dir) {
    const std::pair<const char*, std::string> seeds[] = {
        {"name", std::string("\x00\x00\x00\x00", 4) + "nord"},
        {"latin1", std::string("\x00\x00\x00\x00", 4) + "caf\xC3\xA9 \xE2\x84\xAA\xCE\x9C"},
        {"number", std::string("\x00\x00\x00\x00", 4) + "1091"},
        {"conditions", std::string("\x00\xFF\x05\x80", 4) + "a"},
        {"not-utf8", std::string("\x00\x00\x00\x00", 4) + "\xE9t\xE9"},
        {"cli-text", std::string("\x02", 1) + "radio\n--kind\nradio\n--json"},
        {"cli-conditions", std::string("\x02", 1) + "--scrambled\n--lock\n1\n--sat\n0\n--tp\n3\n--fav\n2"},
        {"cli-numbers", std::string("\x02", 1) + "--sid\n1091\n--pid\n1250\n--skip\n0"},
        {"cli-mistakes", std::string("\x02", 1) + "--scrambled\n--free\n--lock\n2"},
    };
    for (const auto& [name, bytes] : seeds)
        for (uint8_t db : {0, 1}) {
            std::ofstream out(dir + "/" + name + (db ? "-full" : "-sample"), std::ios::binary | std::ios::trunc);
            out.put(static_cast<char>(bytes[0] | db));
            out << bytes.substr(1);
        }
    return 0;
}

// The sample's own list; lists as spreadsheets save them (a byte-order mark,
// CRLF, quoted fields with commas, quotes and line breaks, columns in another
// order); the head of the full database's list; and broken ones.
int CsvSeeds(const std::string& dir) {
    auto write = [&](const std::string& name, uint8_t how, const std::string& text) {
        std::ofstream out(dir + "/" + name, std::ios::binary | std::ios::trunc);
        out.put(static_cast<char>(how));
        out << text;
    };
    const std::string sample = dbase::ExportListCsv(*sample::BuildSample());
    write("sample-export", 2 | 4, sample);
    write("sample-export-marks-only", 0, sample);
    const std::string full = dbase::ExportListCsv(*sample::BuildFull(1));
    size_t cut = 0;
    for (int line = 0; line < 30; ++line) cut = full.find("\r\n", cut) + 2;
    write("full-head", 1 | 2, full.substr(0, cut));
    const std::string sheet =
        "\xEF\xBB\xBF\"Name\",\"Kind\",\"Longitude\",\"Frequency\",\"Polarisation\",\"Service_ID\","
        "\"Note, with comma\",\"Lock\",\"Skip\",\"Favourites\"\r\n"
        "\"Kanal Sieben\",\"tv\",\"19.2\",\"12480\",\"v\",\"1021\",\"say \"\"hi\"\",\r\nok\",1,,\"3 1\"\r\n"
        "\"Alpen TV\",\"TV\",\"19.20\",\"011361\",\"H\",\"1000\",,0,1,\"16\"\r\n"
        "\"Radio Alpina\",\"radio\",\"19.2\",\"99999\",\"H\",\"1\",,,,\r\n"
        ",,,,,,,,,\r\n";
    write("spreadsheet", 2, sheet);
    write("spreadsheet-lf", 0,
          "kind,longitude,frequency,polarisation,service_id,name\nradio,19.2,12109,h,5001,Klassik FM\n");
    write("broken-quote", 0, "kind,longitude,frequency,polarisation,service_id\ntv,\"19.2,11361,H,1000\n");
    write("broken-fields", 0, "kind,longitude,frequency,polarisation,service_id\ntv,19.2,11361\n");
    write("bad-marks", 0,
          "kind,longitude,frequency,polarisation,service_id,lock,skip,favourites\ntv,19.2,11361,H,1000,2,x,17 0\n");
    write("bad-name", 2,
          "kind,longitude,frequency,polarisation,service_id,name\ntv,19.2,11361,H,1000,Sixteen letters!\n");
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--ini") return IniSeeds(argv[2], argv[3]);
    if (argc == 3 && std::string(argv[1]) == "--link") return LinkSeeds(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--batch") return BatchSeeds(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--recovery") return RecoverySeeds(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--find") return FindSeeds(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--csv") return CsvSeeds(argv[2]);
    if (argc != 2) {
        std::cerr << "usage: make-seeds DIR | make-seeds --ini DIR INI_DIR | make-seeds --link DIR | "
                     "make-seeds --batch DIR | make-seeds --recovery DIR | make-seeds --find DIR | "
                     "make-seeds --csv DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    for (const std::string name : {"sample", "full"}) {
        auto db = name == "sample" ? sample::BuildSample() : sample::BuildFull(1);
        const auto image = dbase::BuildImage(*db);
        std::vector<uint8_t> stream, file128, file256;
        if (!dbase::CompressImage(image, stream)) return 1;
        if (!dbase::BuildSaveBytes(*db, dbase::SaveMode::Default, file128)) return 1;
        Write(dir + "/" + name + "-file128", 0, file128);
        Write(dir + "/" + name + "-stream", 1, stream);
        Write(dir + "/" + name + "-image", 2, image);
        // The same, edited after the open.
        Write(dir + "/" + name + "-file128-edited", 0x80, file128);
        Write(dir + "/" + name + "-image-edited", 0x82, image);
    }
    return 0;
}
