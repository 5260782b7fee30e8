// The system's own message texts. "\r" is a carriage return; "\r\r" breaks a paragraph.
#pragma once

#include <string>

namespace dbase::msg {

inline constexpr const char* FileNull = "File is null!";
inline constexpr const char* DecompressError = "Decompress Error!";
inline constexpr const char* FileMissing = "Find an error, when opening this file,\r\rMaybe it inexistent!";
inline constexpr const char* SizeSmall = "File length can not be matched!\r\rPlease select the 256K normal data!";
inline constexpr const char* SizeLarge = "File length can not be matched!\r\rPlease select the 128K default data!";
inline constexpr const char* OverwriteQuestion = "The file has existed, are you sure to cover it?";
inline constexpr const char* ExitQuestion = "Setting not saved, exit anyway?";
inline constexpr const char* OpenAnotherQuestion = "Setting not saved, open another file anyway?";
inline constexpr const char* Opening = "File is being opened now. Please wait......";
inline constexpr const char* Saving = "File is being save now. Please wait......";
inline constexpr const char* IllegalData = "Illegal Data!";
inline constexpr const char* EmptyField = "It can not be empty!";
inline constexpr const char* OpeningReceived = "File is being opened now, Please wait!";

// Adding, deleting and resetting entries.
inline constexpr const char* MaxTransponders =
    "The max number of Transponder is 2,200,\r\rThe Transponder can not be added!";
inline constexpr const char* MaxTranspondersPerSat =
    "The max number of Transponder every Satellite is 150,\r\rSo Transponder can not be added on this Satellite!";
inline constexpr const char* MaxPrograms = "The max number of Program is 3,000,\r\rThe Program can not be added!";
inline constexpr const char* MaxProgramsPerTp =
    "The max number of Program every Transponder is 120,\r\rSo Program can not be added on this Transponder!";
inline constexpr const char* DeleteTpQuestion =
    "The data can not be restored after be deleted,\r\rAre you sure to delete this transponder?";
inline constexpr const char* DeleteEmptyTpsQuestion =
    "The data can not be restored after be deleted,\r\rAre you sure to delete these transponder?";
inline constexpr const char* DeleteProgQuestion =
    "The data can not be restored after be deleted,\r\rAre you sure to delete this program?";
// The question before several programs are deleted at once.
inline std::string DeleteProgsQuestion(int count) {
    return "The data can not be restored after be deleted,\r\rAre you sure to delete these " + std::to_string(count) +
           " programs?";
}
inline constexpr const char* ResetSatQuestion =
    "The data of the Satellite will be Initialized ,\r\rAre you sure to Reset the Satellite?";

// Editor dialogs.
inline constexpr const char* ProgramIsFree = "The Program is free!";
inline constexpr const char* Tone22kError = "22 K Setting error!";

// Transponder import from satellite .ini files.
inline constexpr const char* IniWrongFile = "Open a Wrong File,\r\rPlease Open a ini File!";
inline constexpr const char* IniTooManyTps = "One SAT have excced tp (150)!";
inline constexpr const char* IniTpExceed = "Number of Tp exceed!";
inline constexpr const char* IniSuccess = "Open ini file add Add Tp success!";
inline constexpr const char* IniNoSections =
    "The file has no [SATTYPE] and no [DVB] section,\r\rIt is not a satellite ini file!";
inline constexpr const char* RegisterFileMissing =
    "Fatal Error: Register file can not be found,\r\rPlease contact with developer!";

} // namespace dbase::msg
