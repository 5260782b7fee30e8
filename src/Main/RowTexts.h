// The texts the main window shows for the database: grid rows, favourite
// group items and the info panel lines. Texts are ISO 8859-1 bytes, as the
// model holds them.
#pragma once

#include "model/Model.h"

#include <string>
#include <vector>

namespace rowtext {

// "NO." + n + ": ".
std::string RowNumber(int n);
// `text` left-padded with "0" to five characters; longer texts are kept whole.
std::string FiveWide(const std::string& text);

// Column `col` (1 = name) of the satellite grid row for `slot`.
std::string SatCell(const dbase::Database& db, int slot, int col);
// Column `col` (1 frequency, 2 polarisation, 3 symbol rate, 4 FEC) of a transponder row.
std::string TpCell(const dbase::Database& db, int slot, int col);
// Column `col` (1 name, 2 "$" when scrambled) of a TV or radio row.
std::string ProgCell(const dbase::Database& db, int slot, int col);

// Item i (0..15) of the favourite list: "FAV.0n :  name" for a named group
// below 10, "FAV.n :  name" otherwise.
std::string FavItem(int i, const std::string& name);

// Frequency, polarisation, symbol rate and FEC separated by three blanks.
std::string TpLine(const dbase::Database& db, int tp);
// The PID of the program's selected audio track: its own when AudioSel is 0
// or names a track the audio table does not hold.
std::string AudioPid(const dbase::Database& db, int prog);
// "Vid: v   Aud: a   PCR: p".
std::string PidLine(const dbase::Database& db, int prog);
// "Free"/"Encrypt", then "      Lock_Yes"/"      Lock_Not" and "      Skip_Yes"/"      Skip_Not".
std::string StatusLine(const dbase::Database& db, int prog);
// Name of a satellite slot, empty when the slot is out of range.
std::string SatName(const dbase::Database& db, int sat);

// The lines of the info panel for a satellite, a transponder or a program
// (-1 for those not given), in that order.
std::vector<std::string> InfoLines(const dbase::Database& db, int sat, int tp, int prog);

} // namespace rowtext
