// Shared pieces of the drubelkit subcommands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// printf-style checking of the tool's own formatting functions. On Windows
// the tool takes MinGW's C99 printf (%zu, %lld), not msvcrt's.
#ifdef _WIN32
#define TOOL_PRINTF(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define TOOL_PRINTF(f, a) __attribute__((format(printf, f, a)))
#endif

// Exit status of every subcommand.
constexpr int ExitOk = 0;
constexpr int ExitBadInput = 1;
constexpr int ExitUsage = 2;

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes);

// Writes through a temporary file in the same folder and renames it into
// place, so that a failure never leaves a partial output behind.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

bool IsHelpFlag(const char* arg);

// The subcommands. argv[0] is the subcommand's own name.
int RunPakCommand(int argc, char** argv);
int RunCheckCommand(int argc, char** argv);
int RunEpaCommand(int argc, char** argv);
int RunPreviewCommand(int argc, char** argv);
int RunBuildCommand(int argc, char** argv);
