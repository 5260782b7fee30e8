// Result of an operation that can be refused: ok, or the message to show.
#pragma once

#include <string>
#include <utility>

namespace dbase {

class Status {
public:
    Status() = default;
    static Status Ok() { return {}; }
    static Status Error(std::string message) {
        Status s;
        s.ok_ = false;
        s.message_ = std::move(message);
        return s;
    }
    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    // The message as the system shows it; "\r" marks a line break.
    const std::string& message() const { return message_; }

private:
    bool ok_ = true;
    std::string message_;
};

} // namespace dbase
