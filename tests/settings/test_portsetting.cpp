// The remembered "Other port..." device in the settings file: what counts as
// a device path, reading a hostile value, and writing beside the recent files.
#include "settings/PortSetting.h"
#include "settings/RecentFiles.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace dbase;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

} // namespace

TEST(PortSetting, WhatCanBeADevicePath) {
    for (const char* good : {"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
                             "/dev/pts/7", "/dev/my port", "/dev/tty\xc3\xa9"})
        EXPECT_TRUE(IsDevicePath(good)) << good;
    for (const std::string& bad : {std::string(), std::string("ttyUSB0"), std::string(" /dev/ttyS0"),
                                   std::string("/dev/ttyS0 "), std::string("/dev/tty\tS0"), std::string("/dev/\x7f"),
                                   std::string("/dev/a\0b", 8), "/" + std::string(kMaxDevicePath, 'a')})
        EXPECT_FALSE(IsDevicePath(bad)) << bad;
    EXPECT_TRUE(IsDevicePath("/" + std::string(kMaxDevicePath - 1, 'a')));
}

TEST(PortSetting, IsWrittenBesideTheRecentFilesAndReadBack) {
    testutil::TempDir dir;
    const std::string ini = dir.path("ORBITLIST.ini");
    EXPECT_EQ(ReadOtherPort(ini), ""); // no file yet
    const std::string before = "[ORBITLIST_Tavrinex]\r\nLast_File_Name1=C:\\a.bin\r\nLast_File_Name2=\r\n"
                               "Last_File_Name3=\r\n; a comment\r\n[Other]\r\nOther_Port=/dev/ttyS9\r\n";
    Put(ini, before);
    EXPECT_EQ(ReadOtherPort(ini), ""); // only the recent files' section counts
    ASSERT_TRUE(WriteOtherPort(ini, "/dev/serial/by-id/usb-x-if00"));
    EXPECT_EQ(ReadOtherPort(ini), "/dev/serial/by-id/usb-x-if00");
    EXPECT_EQ(Slurp(ini), "[ORBITLIST_Tavrinex]\r\nLast_File_Name1=C:\\a.bin\r\nLast_File_Name2=\r\n"
                          "Last_File_Name3=\r\n; a comment\r\nOther_Port=/dev/serial/by-id/usb-x-if00\r\n"
                          "[Other]\r\nOther_Port=/dev/ttyS9\r\n");
    // A second choice replaces the first where it stands.
    ASSERT_TRUE(WriteOtherPort(ini, "/dev/ttyACM0"));
    EXPECT_EQ(ReadOtherPort(ini), "/dev/ttyACM0");
    EXPECT_EQ(ReadRecentFiles(ini)[0], "C:\\a.bin");
    // The recent files, written later, leave it in place.
    ASSERT_TRUE(WriteRecentFiles(ini, {"/x.bin", "C:\\a.bin", ""}));
    EXPECT_EQ(ReadOtherPort(ini), "/dev/ttyACM0");
    // Nothing but a device path is written.
    EXPECT_FALSE(WriteOtherPort(ini, "ttyUSB0"));
    EXPECT_EQ(ReadOtherPort(ini), "/dev/ttyACM0");
}

TEST(PortSetting, AValueThatCanNotBeADeviceIsIgnored) {
    testutil::TempDir dir;
    const std::string ini = dir.path("ORBITLIST.ini");
    for (const std::string& value : {std::string("ttyUSB0"), std::string("\"\""), std::string("C:relative"),
                                     std::string(5000, '/'), std::string("/dev/a\x01")}) {
        Put(ini, "[ORBITLIST_Tavrinex]\nOther_Port=" + value + "\n");
        EXPECT_EQ(ReadOtherPort(ini), "") << value;
    }
    // Quotes and blanks around a good value are the settings file's own.
    Put(ini, "[orbitlist_tavrinex]\n  other_port =  \"/dev/ttyUSB1\"  \n");
    EXPECT_EQ(ReadOtherPort(ini), "/dev/ttyUSB1");
}
