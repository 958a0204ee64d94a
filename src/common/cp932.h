// The program's texts are code page 932 (Shift-JIS) whatever code page the
// system runs with. Where a text crosses into or out of the system it is
// converted here, explicitly, to or from UTF-16, and the wide form of the
// system call is used: so an English or Chinese Windows creates the same
// Japanese file names and shows the same Japanese texts as a Japanese one.
#pragma once

#include <cstddef>

// Converts the NUL-terminated 932 text to UTF-16 in `out` (capacity
// `outChars`, terminator included). False, with `out` empty, when the text
// is not valid 932 (a lead byte without its trail, a pair the code page
// does not map) or does not fit: a name is never cut or guessed at.
bool Cp932ToWide(const char* text, char16_t* out, size_t outChars);

// Converts NUL-terminated UTF-16 to 932 in `out` (capacity `outBytes`,
// terminator included). False, with `out` empty, when a character has no
// 932 form (no best fit: "ë" never becomes "e", which would name another
// file) or the result does not fit.
bool WideToCp932(const char16_t* text, char* out, size_t outBytes);

// Length in UTF-16 units of a NUL-terminated wide text.
size_t WideLength(const char16_t* text);

// How a path that came from the system is to be used when its long form
// has no 932 form.
enum SystemPathChoice {
    SystemPathAsIs,        // the long form converts: use it
    SystemPathShortForm,   // the volume gave a short form that converts: use that
    SystemPathUnusable,    // neither converts: the player must choose another folder
};

// The decision, given whether the long form and (when the volume has one)
// the short form convert to 932.
SystemPathChoice ChooseSystemPath(bool longConverts, bool haveShortForm, bool shortConverts);

template <size_t N>
inline bool Cp932ToWide(const char* text, char16_t (&out)[N]) { return Cp932ToWide(text, out, N); }
template <size_t N>
inline bool WideToCp932(const char16_t* text, char (&out)[N]) { return WideToCp932(text, out, N); }
