#include "base/Collation.h"

#include "base/Bits.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include <iconv.h>
#include <langinfo.h>
#include <locale.h> // NOLINT(modernize-deprecated-headers): newlocale and strxfrm_l are POSIX, declared here

namespace dbase {

struct NameCollator::Handle {
    locale_t loc = nullptr;
    ~Handle() {
        if (loc) freelocale(loc);
    }
};

namespace {

bool IsUtf8(const std::string& codeset) { return codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8"; }

// Character sets in which ISO 8859-1 bytes can be compared as they are: the
// set itself and the C locale's, whose collation is plain byte order.
bool TakesLatin1Bytes(const std::string& codeset) {
    return codeset == "ISO-8859-1" || codeset == "ANSI_X3.4-1968" || codeset.empty();
}

// Converts with iconv; false when the character set is unknown or a
// character has no equivalent in it.
bool ConvertWithIconv(std::string_view latin1, const std::string& codeset, std::string& out) {
    iconv_t cd = iconv_open(codeset.c_str(), "ISO-8859-1");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::vector<char> in(latin1.begin(), latin1.end());
    std::vector<char> buf(latin1.size() * 4 + 8);
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = buf.data();
    size_t outLeft = buf.size();
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || inLeft != 0) return false;
    out.assign(buf.data(), buf.size() - outLeft);
    return true;
}

std::string EnvironmentLocaleName() {
    for (const char* var : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) return v;
    }
    return "C";
}

} // namespace

NameCollator NameCollator::FromEnvironment() { return NameCollator(EnvironmentLocaleName()); }

NameCollator::NameCollator(const std::string& name) : handle_(std::make_shared<Handle>()) {
    handle_->loc = newlocale(LC_ALL_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    available_ = handle_->loc != nullptr;
    name_ = available_ ? name : "C";
    if (!available_) handle_->loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (handle_->loc) codeset_ = nl_langinfo_l(CODESET, handle_->loc);
}

std::string NameCollator::Convert(std::string_view latin1) const {
    if (TakesLatin1Bytes(codeset_)) return std::string(latin1);
    if (IsUtf8(codeset_)) return Latin1ToUtf8(latin1);
    std::string out;
    if (ConvertWithIconv(latin1, codeset_, out)) return out;
    return std::string(latin1);
}

std::string NameCollator::Key(std::string_view latin1Name) const {
    std::string s = Convert(SortableName(latin1Name));
    if (!handle_->loc) return s;
    const size_t n = strxfrm_l(nullptr, s.c_str(), 0, handle_->loc);
    std::string key(n + 1, '\0');
    strxfrm_l(key.data(), s.c_str(), key.size(), handle_->loc);
    key.resize(n);
    return key;
}

int NameCollator::Compare(std::string_view a, std::string_view b) const {
    const std::string x = Convert(SortableName(a)), y = Convert(SortableName(b));
    if (!handle_->loc) return std::strcmp(x.c_str(), y.c_str());
    return strcoll_l(x.c_str(), y.c_str(), handle_->loc);
}

std::string_view SortableName(std::string_view latin1Name) {
    size_t i = 0;
    while (i < latin1Name.size()) {
        const auto c = static_cast<unsigned char>(latin1Name[i]);
        const bool blank = c == 0x20 || c == 0xA0;
        const bool control = c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
        if (!blank && !control) break;
        ++i;
    }
    return latin1Name.substr(i);
}

} // namespace dbase
