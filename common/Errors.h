#pragma once
#include <stdexcept>
#include <string>

// The program's general exception; its message is a code page 932 text, shown as it is
// in the error message box.
class EError : public std::runtime_error {
public:
    explicit EError(const std::string& message) : std::runtime_error(message) {}
};

// A picture, sound or pointer resource that the program needs is not in the module.
class EResNotFound : public EError {
public:
    explicit EResNotFound(const std::string& message) : EError(message) {}
};
