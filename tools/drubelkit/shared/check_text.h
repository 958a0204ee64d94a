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

// Converts UTF-8 text to code page 932. False at the first character that
// is not UTF-8 or that the code page cannot hold: `*bad` is its offset.
bool Utf8ToCp932(const std::string& utf8, std::string* cp932, size_t* bad);
// The UTF-8 character at `offset` spelt for a message: 'c' (U+XXXX), or
// the byte in hex when it is not UTF-8.
std::string DescribeUtf8Char(const std::string& utf8, size_t offset);

// One character each way, through the system's own tables (iconv on Linux,
// the code page on Windows): false when it has no form in the other.
bool Cp932CharToUtf8(const char* bytes, size_t count, std::string* out);
bool Utf8CharToCp932(const char* bytes, size_t count, std::string* out);

// A JSON string literal (with its quotes) holding the UTF-8 text.
std::string JsonString(const std::string& utf8);
