// Result of an operation that can be refused: ok, or the kind of refusal and
// the message to show. A caller that acts on a refusal branches on its code;
// the message is for the user only.
#pragma once

#include <string>
#include <utility>

namespace dbase {

// The kinds of refusal callers tell apart.
enum class StatusCode {
    Ok,
    NotFound, // the file asked for is not there, or a slot holds no entry
    Invalid,  // refused input: malformed text or values, a wrong kind of file, a move that can not be made
    Full,     // a table, or the entries of one satellite or transponder, at its limit
    TooLarge, // a file or image larger than it may be
    Damaged,  // a data file or image that does not decode
    Io,       // the system refused a read or a write
    Refused,  // a file or folder the program does not use: not a regular file, another user's, unsafe
};

class [[nodiscard]] Status {
public:
    Status() = default;
    static Status Ok() { return {}; }
    static Status Error(StatusCode code, std::string message) {
        Status s;
        s.code_ = code == StatusCode::Ok ? StatusCode::Invalid : code;
        s.message_ = std::move(message);
        return s;
    }
    bool ok() const { return code_ == StatusCode::Ok; }
    explicit operator bool() const { return ok(); }
    StatusCode code() const { return code_; }
    // The message as the system shows it; "\r" marks a line break.
    const std::string& message() const { return message_; }
    // The same refusal told with another message (a path put before it, a
    // consequence after it).
    Status Reworded(std::string message) const {
        Status s = *this;
        if (!ok()) s.message_ = std::move(message);
        return s;
    }

private:
    StatusCode code_ = StatusCode::Ok;
    std::string message_;
};

} // namespace dbase
