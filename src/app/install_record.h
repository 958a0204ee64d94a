// The default install folder and the install record, apart from the
// registry calls that fetch them.
#pragma once

#include <cstddef>
#include <cstdint>

// InstallBasePath from the program-files folder (null when it could not be
// read: "C:\Program Files\" is taken) and BRANDFOLDER.
void ComposeInstallBasePath(char* basePath, size_t size, const char* programFiles,
                            const char* brandFolder);

// One value of the install record as the registry gave it: whether it
// could be read at all, its type and its bytes.
struct RecordValue {
    bool Read;
    uint32_t Type;
    const uint8_t* Bytes;
    uint32_t Length;
};

constexpr uint32_t RecordBinaryType = 3;  // REG_BINARY
constexpr uint32_t RecordDwordType = 4;   // REG_DWORD

// The record's folder when the value has the shape the installation
// writes: REG_BINARY of at most 260 bytes holding a terminator. Any other
// value (a string, a number, a block without a terminator) is none: any
// program of the player's may write there, and a guessed folder would be
// one the uninstall removes from. True when a non-empty folder was taken.
bool TakeInstallFolderValue(char* folder, size_t size, const RecordValue& value);

// The record's option: a REG_DWORD of exactly 4 bytes, else none.
bool TakeInstallOptionValue(uint32_t* option, const RecordValue& value);

// Settles IsInstalled, InstallFolder and InstallOption in the model from what
// the registry gave once its key opened. A record with a value of any other
// shape is no record: the launcher offers the installation.
void ApplyInstallRecord(const RecordValue& folder, const RecordValue& option);
