// The program's MD5 of a buffer as 32 lower-case hex digits, and the same
// digest written in upper case (as some scripts carry it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string Md5Hex(const std::vector<uint8_t>& bytes);
std::string UpperHex(std::string text);
