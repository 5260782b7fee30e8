// Comma-separated values as spreadsheets read and write them (RFC 4180):
// records of fields, a field quoted when it holds a comma, a quote or a line
// break, a quote inside a quoted field written twice.
#pragma once

#include "base/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace dbase {

struct CsvRecord {
    int line = 0; // the line the record starts on, 1-based
    std::vector<std::string> fields;
};

// Splits `text` into records. A UTF-8 byte-order mark at the start is
// skipped; CRLF, LF and a lone CR end a record outside quotes; quoted fields
// keep their commas, quotes and line breaks as they stand. Empty lines give
// no record. Refuses, naming the line the record starts on, a quoted field
// that is never closed, a character after a closing quote other than a
// comma or a line end, and a quote inside a field that is not quoted.
Status ReadCsv(std::string_view text, std::vector<CsvRecord>& records);

// `field` as one field: quoted (its quotes doubled) when it holds a comma, a
// quote, a CR or an LF, else as it is.
std::string CsvField(std::string_view field);

// Appends the fields as one record ended by CRLF.
void AppendCsvRecord(std::string& out, const std::vector<std::string>& fields);

} // namespace dbase
