// Script texts shown to the author: code page 932 turned into UTF-8, and
// JSON string literals.
#pragma once

#include <cstddef>
#include <string>

// Converts `length` bytes of code page 932 text to UTF-8. A byte that does
// not convert becomes the four characters "\xNN" (upper-case hex).
std::string Cp932ToUtf8(const char* text, size_t length);
// The same, up to the terminator.
std::string Cp932ToUtf8(const char* text);

// A JSON string literal (with its quotes) holding the UTF-8 text.
std::string JsonString(const std::string& utf8);
