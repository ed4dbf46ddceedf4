// Window-free parts of dialog data exchange: reading an integer field,
// filling in a prompt's placeholders, and walking a dialog's initialisation
// data. The Win32 side (framework/Dialog.*) calls these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/String.h"

// Reads a whole field as a signed 32-bit decimal number: blanks and tabs
// around it, an optional sign, at least one digit. Anything else, and any
// number beyond the 32-bit range, is refused (false, *value untouched).
bool ParseDialogInt(const char* text, int* value);

// The text shown for an integer in a field ("%d").
CString FormatDialogInt(int value);

// Replaces %1 and %2 in prompt by first and second; other text is kept.
CString FormatPrompt(const char* prompt, const char* first, const char* second);

// One record of a dialog's initialisation data: send message to control id
// with text (the record's bytes up to the first zero or the record's end).
struct DlgInitItem {
    uint16_t controlId;
    uint16_t message;
    CString text;
};

// The records of a dialog-initialisation resource: each is a 16-bit control
// id (0 ends the list), a 16-bit message, a 32-bit length and that many bytes,
// with no alignment between records. A record that runs past the end of the
// data ends the walk; the records before it are kept.
std::vector<DlgInitItem> ParseDlgInit(const void* data, std::size_t size);

// Messages of the initialisation data as resource compilers write them.
constexpr uint16_t kDlgInitListAddString = 0x0401;
constexpr uint16_t kDlgInitComboAddString = 0x0403;
