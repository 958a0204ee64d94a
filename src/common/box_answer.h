// The answer a message box takes by itself when no one may be asked
// (/SUPPRESSMSGBOXES): its default button, as Enter would press it.
#pragma once

#include <cstdint>

// `type` as MessageBox takes it (MB_OK ... MB_RETRYCANCEL, MB_DEFBUTTON1..3).
// Returns the ID of the button: IDOK 1, IDCANCEL 2, IDABORT 3, IDRETRY 4,
// IDIGNORE 5, IDYES 6, IDNO 7.
int DefaultBoxAnswer(uint32_t type);

// The button's word for the log ("OK", "はい", ...), or "?".
const char* BoxAnswerName(int answer);
