#pragma once
// Failures of deciphering. Both are general errors: the program's error box
// shows what() (and adds the full stop itself).

#include <stdexcept>

// The stored form decodes to fewer bytes than a start block and a final block.
class ECipherException : public std::runtime_error {
public:
    ECipherException() : std::runtime_error("Invalid file format") {}
};

// The stored form holds a character outside "+" ... "z", or is cut short.
class EBase64Error : public std::runtime_error {
public:
    EBase64Error() : std::runtime_error("Invalid Base64 Character") {}
};
