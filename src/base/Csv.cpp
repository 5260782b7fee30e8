#include "base/Csv.h"

namespace dbase {

namespace {

Status LineError(int line, const std::string& what) {
    return Status::Error(StatusCode::Invalid, "Line " + std::to_string(line) + " of the list: " + what);
}

} // namespace

Status ReadCsv(std::string_view text, std::vector<CsvRecord>& records) {
    records.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const size_t n = text.size();
    size_t i = 0;
    int line = 1;
    CsvRecord record;
    std::string field;
    // A record has begun once any character of it was read; a line with
    // nothing on it gives no record.
    bool begun = false;
    auto endRecord = [&] {
        if (begun) {
            record.fields.push_back(std::move(field));
            records.push_back(std::move(record));
        }
        record = {};
        field.clear();
        begun = false;
    };
    // Steps over a line end at i (CRLF, LF or CR); returns false when there is none.
    auto lineEnd = [&] {
        if (text[i] == '\r') {
            i += i + 1 < n && text[i + 1] == '\n' ? 2 : 1;
        } else if (text[i] == '\n') {
            ++i;
        } else {
            return false;
        }
        ++line;
        return true;
    };
    while (i < n) {
        if (!begun) record.line = line;
        const char c = text[i];
        if (c == '"') {
            // Only at the start of a field: an unquoted field stops at a quote below.
            begun = true;
            ++i;
            for (;;) {
                if (i >= n) return LineError(record.line, "a quoted field is not closed.");
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (text[i] == '\n' || (text[i] == '\r' && !(i + 1 < n && text[i + 1] == '\n'))) ++line;
                field.push_back(text[i++]);
            }
            if (i >= n) break;
            if (text[i] == ',') {
                record.fields.push_back(std::move(field));
                field.clear();
                ++i;
            } else if (!lineEnd()) {
                return LineError(record.line, "a quoted field goes on after its closing quote.");
            } else {
                endRecord();
            }
        } else if (c == ',') {
            begun = true;
            record.fields.push_back(std::move(field));
            field.clear();
            ++i;
        } else if (lineEnd()) {
            endRecord();
        } else {
            begun = true;
            // An unquoted field runs to the next comma or line end.
            const size_t stop = text.find_first_of(",\r\n\"", i);
            const size_t end = stop == std::string_view::npos ? n : stop;
            field.append(text.substr(i, end - i));
            i = end;
            if (i < n && text[i] == '"') return LineError(record.line, "a quote in a field that is not quoted.");
        }
    }
    endRecord();
    return Status::Ok();
}

std::string CsvField(std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(field);
    std::string out = "\"";
    for (const char c : field) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

void AppendCsvRecord(std::string& out, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) out.push_back(',');
        out += CsvField(fields[i]);
    }
    out += "\r\n";
}

} // namespace dbase
