// The system's own message texts. "\r" is a carriage return; "\r\r" breaks a paragraph.
#pragma once

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

} // namespace dbase::msg
