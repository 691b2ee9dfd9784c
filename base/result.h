#pragma once
// Errors are values in the core: an operation returns either its value or the
// user's message, worded as the program shows it; windows put it in a message
// box, the command line prints it.
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace v2d {

// How the window's message box shows an error.
enum class MessageIcon { Information, Question };

// The user's message, and the message box's caption when it has its own.
struct Error {
    std::string message;
    std::string caption = {};
    MessageIcon icon = MessageIcon::Information;
};

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : data_(std::move(value)) {}
    Result(Error error) : data_(std::move(error)) {}

    bool ok() const { return data_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(data_); }
    const T& value() const { return std::get<0>(data_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const std::string& error() const { return std::get<1>(data_).message; }
    const Error& failure() const { return std::get<1>(data_); }

private:
    std::variant<T, Error> data_;
};

// The result of an operation that yields nothing but success or a message.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : error_(std::move(error)) {}
    static Status Ok() { return {}; }

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return error_->message; }
    const Error& failure() const { return *error_; }

private:
    std::optional<Error> error_;
};

}  // namespace v2d
