// What a program's WinMain receives as its command line: the process's
// command line without the program's name and the blanks after it.
#pragma once

// A name in double quotes ends at the closing quote (blanks inside belong to
// it); otherwise at the first blank or tab. A null line gives "".
const char* CommandTail(const char* commandLine);
