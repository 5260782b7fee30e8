#include "Json.h"

#include "base/Bits.h"

#include <cstdio>

namespace cli {

std::string JsonString(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out.push_back(static_cast<char>(c));
            }
        }
    }
    out += '"';
    return out;
}

JsonObj& JsonObj::text(const char* key, const std::string& latin1) {
    return raw(key, JsonString(dbase::Latin1ToUtf8(latin1)));
}

} // namespace cli
