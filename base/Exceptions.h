// The exception classes of the system. Each keeps the class name the rest of
// the program (and its messages) refer to; the message text is the whole
// payload, shown as it stands by the application's standard error report.
#pragma once

#include <exception>
#include <string>

namespace zv {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    [[nodiscard]] const char* what() const noexcept override { return m_message.c_str(); }
    [[nodiscard]] const std::string& Message() const noexcept { return m_message; }

private:
    std::string m_message;
};

#define ZV_DECLARE_EXCEPTION(Name, Base) \
    class Name : public Base {           \
    public:                              \
        using Base::Base;                \
    }

ZV_DECLARE_EXCEPTION(EConvertError, Exception);
ZV_DECLARE_EXCEPTION(EListError, Exception);
ZV_DECLARE_EXCEPTION(EInvalidOperation, Exception);
ZV_DECLARE_EXCEPTION(EOutOfMemory, Exception);
ZV_DECLARE_EXCEPTION(EOSError, Exception);
ZV_DECLARE_EXCEPTION(EStreamError, Exception);
ZV_DECLARE_EXCEPTION(EReadError, EStreamError);
ZV_DECLARE_EXCEPTION(EWriteError, EStreamError);
ZV_DECLARE_EXCEPTION(EFCreateError, EStreamError);
ZV_DECLARE_EXCEPTION(EFOpenError, EStreamError);
ZV_DECLARE_EXCEPTION(EResNotFound, Exception);
ZV_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
ZV_DECLARE_EXCEPTION(ERegistryException, Exception);

// Message texts used in more than one place.
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SInvalidRegType = "Invalid data type for '%s'";

}  // namespace zv
