#pragma once

#include <cstdint>
#include <utility>
#include <variant>

// Outcome codes of the settings store. The positive code and the small negative ones are the
// container's documented stream-operation results; the others name the remaining failures.
enum class StatusCode : int {
    Ok = 1,
    EmptyName = -1,
    NotFound = -4,
    NameTooLong = -5,
    DuplicateName = -6,
    IoError = -20,       // the file could not be opened, read, written or renamed
    BadFormat = -21,     // the bytes are not a well-formed container or workbook
    TooLarge = -22,      // a value or file exceeds a limit of the format or of the store
    NotOpen = -23,       // no document is open
    InvalidArgument = -24,
    ReadOnly = -25,      // the file reads, but this process may not write it
};

// Success or failure, nothing else: there is no "true means error" anywhere in this store.
class [[nodiscard]] Status {
public:
    constexpr Status() = default;
    constexpr Status(StatusCode code) : code_(code) {}

    static constexpr Status Success() { return Status(StatusCode::Ok); }

    constexpr bool ok() const { return code_ == StatusCode::Ok; }
    constexpr explicit operator bool() const { return ok(); }
    constexpr StatusCode code() const { return code_; }
    constexpr int value() const { return static_cast<int>(code_); }

private:
    StatusCode code_ = StatusCode::Ok;
};

// A value or the reason there is none.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(StatusCode code) : state_(code) {}
    Result(Status status) : state_(status.code()) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }
    Status status() const { return ok() ? Status::Success() : Status(std::get<StatusCode>(state_)); }
    const T& value() const& { return std::get<T>(state_); }
    T& value() & { return std::get<T>(state_); }
    T&& value() && { return std::get<T>(std::move(state_)); }

private:
    std::variant<T, StatusCode> state_;
};
