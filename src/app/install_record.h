// The default install folder and the install record, apart from the
// registry calls that fetch them.
#pragma once

#include <cstddef>
#include <cstdint>

// InstallBasePath from the program-files folder (null when it could not be
// read: "C:\Program Files\" is taken) and BRANDFOLDER.
void ComposeInstallBasePath(char* basePath, size_t size, const char* programFiles,
                            const char* brandFolder);

// Copies a registry value of `length` bytes into the 260-byte InstallFolder.
// A value that fills all 260 bytes without a terminator is cut to 259 (never
// inside a character); nothing past `length` is read. True when the folder
// is not empty.
bool TakeInstallFolderValue(char* folder, size_t size, const uint8_t* value, uint32_t length);

// Settles IsInstalled and InstallFolder in the model from what the registry
// gave once its key opened: `folderValue` is null when the value could not
// be read.
void ApplyInstallRecord(const uint8_t* folderValue, uint32_t length);
