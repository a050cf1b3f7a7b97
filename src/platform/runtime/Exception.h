#pragma once
// Exceptions of the platform vocabulary. Messages are UTF-8 and carry the platform's exact texts.

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

class EConvertError : public Exception {
    using Exception::Exception;
};
class EListError : public Exception {
    using Exception::Exception;
};
class EInvalidOperation : public Exception {
    using Exception::Exception;
};
class EInvalidPointer : public Exception {
    using Exception::Exception;
};
class EStreamError : public Exception {
    using Exception::Exception;
};
class EFOpenError : public EStreamError {
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
    using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
    using EStreamError::EStreamError;
};
class EOSError : public Exception {
    using Exception::Exception;
};
// A string list refusing a duplicate or an index; still a list error for callers that catch those.
class EStringListError : public EListError {
    using EListError::EListError;
};
// Floating-point faults: a value that cannot be rounded to an integer, an overflow.
class EMathError : public Exception {
    using Exception::Exception;
};
class EInvalidOp : public EMathError {
    using EMathError::EMathError;
};
class EOverflow : public EMathError {
    using EMathError::EMathError;
};
class EIniFileException : public Exception {
    using Exception::Exception;
};
// The settings store that stands in for the registry.
class ERegistryException : public Exception {
    using Exception::Exception;
};
