// A small JSON text writer for the commands that print JSON.
#pragma once

#include <string>

namespace cli {

// `text` (UTF-8) as a quoted JSON string.
std::string JsonString(const std::string& utf8);

// Builds one JSON object from key/value pairs whose values are already JSON.
class JsonObj {
public:
    JsonObj& num(const char* key, long long v) { return raw(key, std::to_string(v)); }
    // A text of the database (ISO 8859-1), written in UTF-8.
    JsonObj& text(const char* key, const std::string& latin1);
    JsonObj& raw(const std::string& key, const std::string& json) {
        s_ += (s_.size() > 1 ? ", " : "") + JsonString(key) + ": " + json;
        return *this;
    }
    std::string str() const { return s_ + "}"; }

private:
    std::string s_ = "{";
};

} // namespace cli
