// The model side of the editor dialogs (program, transponder, satellite and
// LNB, favourite-group name). For each editor: what the dialog shows, a plain
// input struct holding its fields as the user left them, the validation of OK
// in the dialog's order, and the encodings that write the result into the
// stored record (keeping every bit the dialog does not own) and the decoded
// record. The dialogs only collect input and call these.
#pragma once

#include "base/Status.h"
#include "model/Model.h"
#include "model/Slots.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

// True when `text` is not empty and every character is one of 0-9 (no sign,
// blank or decimal point).
bool IsDigits(std::string_view text);

// Returns the value of a text that passes IsDigits and does not exceed `max`;
// nothing otherwise. Texts too long for any number are refused, never wrapped.
std::optional<unsigned> DigitsValue(std::string_view text, unsigned max);

// Name of the CA system whose id byte (the upper byte of the CA_system_ID) is
// `id`: "Seca", "Viaccess", ...; "Unknow" for 74 and "Sky" for every value the
// table does not list.
const char* CaSystemName(int id);

// A refused OK: the field that takes the focus, the message to show, and
// whether the field is emptied first.
template <class Field> struct FieldRefusal {
    Field field;
    std::string message;
    bool clear = false;
};

// ---------------------------------------------------------------- programs

enum class ProgField { Name, Vid, Pvt, Aud, Pmt, Pcr, Sid };

// The program editor's fields. Texts are as typed (names in ISO 8859-1).
struct ProgInput {
    std::string name, vid, pvt, aud, pmt, pcr, sid;
    bool lock = false, skip = false;
    uint16_t fav = 0; // bit g = favourite group g + 1 (ChB_Fav1 is bit 0)
};

// A program editor's result after validation.
struct ProgValues {
    std::string name;
    uint16_t vid = 0, pvt = 8191, aud = 0, pmt = 8191, pcr = 0, sid = 0;
    bool lock = false, skip = false;
    uint16_t fav = 0;
};

// One CA-system field of the program editor: its text, and whether it is
// painted grey (an empty field) rather than in the window colour.
struct CaField {
    std::string text;
    bool grey = true;
};

// The four CA fields of program data `d`: "The Program is free!" and three
// grey fields for a free-to-air program, otherwise the system names, an id of
// 0 in entries 1-3 leaving its field grey and empty.
std::array<CaField, 4> CaFields(const ProgData& d);

// The audio slot whose PID the editor shows and edits for program `slot`: the
// extra track AudioSel names, or -1 when AudioSel is 0 or the audio table does
// not hold that track (the program's own audio PID is used then).
int ProgramAudioSlot(const Database& db, int slot);

// What the editor shows for a change of program `slot`.
ProgInput ShowProgram(const Database& db, int slot);

// Checks the fields in the dialog's order. A name longer than 15 characters
// or holding a NUL character (which would cut the stored name short) is
// refused with "Illegal Data!". An empty Pvt PID or Pmt PID
// becomes "8191" and an empty Service ID "0" in `in`, as the dialog fills them
// silently. On success fills `out` and returns nothing.
std::optional<FieldRefusal<ProgField>> CheckProgram(ProgInput& in, ProgValues& out);

// The program editor's verdict on a name: nothing when it may be stored,
// else its message: "It can not be empty!" for an empty name, "Illegal
// Data!" for one longer than 15 characters or holding a NUL character.
std::optional<std::string> ProgramNameRefusal(const std::string& name);

// Writes a name that ProgramNameRefusal accepts into program `slot`, in the
// stored and the decoded record.
void SetProgramName(Database& db, int slot, const std::string& name);

// Writes checked values into program `slot` in place. Its free, radio and
// in-use bits, transponder, track count, selected track, flags above the
// PIDs, byte 23, CA ids and every uninterpreted bit keep their stored values.
// The typed audio PID goes to the extra track the editor showed, or to the
// program's own audio PID when it showed that one.
void ChangeProgram(Database& db, int slot, const ProgValues& v);

// Adds a TV or radio program on transponder `tp` into slot ProgCount after
// the capacity checks of CheckAddProgram; `slot` receives the new slot.
Status AddProgram(Database& db, TpSlot tp, bool radio, const ProgValues& v, int* slot = nullptr);

// ------------------------------------------------------------ transponders

enum class TpField { Freq, Sym, Fec, Pol };

// Limits the transponder editor accepts.
inline constexpr unsigned kMinTpFreq = 1000, kMaxTpFreq = 12750;
inline constexpr unsigned kMinSymRate = 1000, kMaxSymRate = 45000;

// The transponder editor's fields; a list index of -1 means no selection.
struct TpInput {
    std::string freq, sym;
    int pol = 0; // 0 "Hor", 1 "Vert"
    int fec = 0; // 0 "Auto" .. 6 "7/8"
};

struct TpValues {
    uint16_t freq = 0, sym = 0;
    uint8_t pol = 0, fec = 0;
};

// What the editor shows for a change of transponder `tp`.
TpInput ShowTransponder(const Database& db, int tp);

// Whether the polarity list is enabled: always when adding; when changing,
// not on a satellite whose LNB power is fixed at 13 or 18 V, since the
// voltage fixes the polarisation.
bool TpPolarityEnabled(const Database& db, int tp, bool adding);

// Checks the fields in the dialog's order; on success fills `out`.
std::optional<FieldRefusal<TpField>> CheckTransponder(const TpInput& in, TpValues& out);

// Writes checked values into transponder `tp` in place; bits 15-14 of the
// frequency word, the in-use bit, bit 0 of byte 2, byte 3, the satellite,
// the number and bytes 8-11 keep their stored values.
void ChangeTransponder(Database& db, int tp, const TpValues& v);

// Adds a transponder to satellite `sat` in the lowest free slot, numbered
// after the satellite's others, after the capacity checks of
// CheckAddTransponder; `slot` receives the new slot.
Status AddTransponder(Database& db, SatSlot sat, const TpValues& v, int* slot = nullptr);

// -------------------------------------------------------- satellites / LNB

inline constexpr int kLnbSingle = 0, kLnbUniversal = 1, kLnbOneCable = 2;
inline constexpr unsigned kMaxLnbFreq = 30000;
inline constexpr int kMaxLongitudeTenths = 3600;

// Item texts of the satellite editor's fixed lists.
const std::vector<std::string>& LnbTypeItems();  // "Single", "Universal", "OneCable"
const std::vector<std::string>& Power12VItems(); // "OFF", "ON"
const std::vector<std::string>& Diseqc10Items(); // "OFF", "1" .. "4"
const std::vector<std::string>& Diseqc11Items(); // "OFF", "1" .. "16"
const std::vector<std::string>& LnbPowerItems(); // "OFF", "13/18", "13", "18"

// The lists that depend on the LNB type, as the dialog's Setting_CBType
// fills them.
struct LnbLists {
    std::vector<std::string> lowItems;
    bool lowEnabled = true;
    std::vector<std::string> toneItems;
    bool toneEnabled = true;
};
LnbLists LnbTypeLists(int type);

// The 22 kHz value of a list text: 0 "OFF", 1 "ON", 2 "Auto", -1 otherwise.
int Tone22kValue(std::string_view text);

// The satellite editor's fields; a list index of -1 means no selection.
struct SatInput {
    std::string name; // ISO 8859-1
    int type = kLnbUniversal;
    std::string low, high;
    int tone22k = 0; // 0 OFF, 1 ON, 2 Auto
    int power12v = 0, diseqc10 = 0, diseqc11 = 0, power = 1;
    std::string longitude;
};

// What the satellite editor shows for satellite `sat`: the fields, the
// type-dependent lists (a stored 22 kHz value of 2 leaves the single item
// "Auto", selected and disabled), the motor label and, for a stored 22 kHz
// value outside 0-2, the warning "22 K Setting error!" with no 22 kHz
// selection.
struct SatView {
    SatInput input;
    LnbLists lists;
    std::string motorText;
    std::string warning;
};
SatView ShowSatellite(const Database& db, int sat);

// The low and high texts and 22 kHz selection the dialog takes when the user
// picks type `newType` for a satellite stored as `stored` (CB_TypeChange):
// Single keeps a stored Single low value (else 5150) and mirrors it as high,
// 22 kHz off; Universal keeps stored Universal values (else 9750/10600),
// 22 kHz on; OneCable 05150/05750, 22 kHz off.
struct LnbPreset {
    std::string low, high;
    int tone22k = 0;
};
LnbPreset LnbTypePreset(const SatData& stored, int newType);

// The low and high texts after the low field of an LNB of `type` changed to
// `low` (CB_LowChange): Single mirrors it as high; Universal turns the pairs
// "9750/10600" and "9750/10750" into their two values and leaves other texts;
// OneCable always gives 05150/05750. The 22 kHz selection is not changed
// (tone22k is -1).
LnbPreset LnbLowChange(int type, const std::string& low, const std::string& high);

// Tenths of a degree of a longitude text (digits with at most one "."),
// rounded to the nearest tenth; nothing when the text is not such a number
// or lies outside 0..360.
std::optional<int> LongitudeTenths(std::string_view text);

enum class SatField { Name, Low, High, Longitude };

struct SatValues {
    std::string name;
    int type = -1; // -1: keep the stored type (no selection)
    uint16_t low = 0, high = 0;
    std::string highText;
    int tone22k = -1, power12v = -1, diseqc10 = -1, diseqc11 = -1, power = -1; // -1: keep stored
    uint16_t tenths = 0;
};

// Checks the fields in the dialog's order. A name longer than 18 characters
// or holding a NUL character is refused with "Illegal Data!". A Universal
// LNB's low field is set to "9750" in `in` first. On success fills `out`.
std::optional<FieldRefusal<SatField>> CheckSatellite(SatInput& in, SatValues& out);

// Writes checked values into satellite `sat`. Byte 11 takes the motor flag
// in its high nibble and the DiSEqC 1.0 port in its low one; a list left
// without a selection keeps its stored byte.
void ChangeSatellite(Database& db, int sat, const SatValues& v);

// ------------------------------------------------------- favourite groups

inline constexpr size_t kMaxFavNameLength = 15;

// Names favourite group `group` (0..15); an empty name is allowed. Refuses a
// name longer than 15 characters or holding a NUL character with "Illegal
// Data!". CheckFavName is the check alone.
Status CheckFavName(int group, const std::string& name);
Status SetFavName(Database& db, int group, const std::string& name);

// Text the name dialog gives item `group` (0..15) of the favourite-group list
// on OK: "FAV.0" + number for groups 1..9 whatever the name ("FAV.01 :  News"),
// unlike a refill of the list, which numbers an unnamed group without the 0.
std::string FavDialogItemText(int group, const std::string& name);

} // namespace dbase
