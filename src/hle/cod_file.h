// Symbol files (.cod) beside a ROM image, naming guest library routines.
//
// The file is text. Its second whitespace-separated word must be "Generated";
// every line whose first character is "f" names one function as
// "f <hex address> <name>"; other lines are ignored. Names longer than 99
// characters are cut, lines that do not parse are skipped, and lines past the
// 65535th function are ignored (with one log line).
#pragma once

#include <cstdio>

// Loads the symbol file of the ROM image at romPath (the path with its last
// three characters replaced by "cod") into theHleTable. Returns false, with the
// table empty, when it is missing or unusable; the run then goes on without
// replacing guest routines.
bool loadCodFile(const char* romPath);

// The same from an open symbol file (rewound as needed): clears theHleTable,
// checks the header and fills the table.
bool loadCodSymbols(std::FILE* file);

// Writes into the run's log the lines of the last reading that came while no
// log was open (the image, and with it its symbol file, is read before the
// run's log is opened), and forgets them.
void logSymbolFileReport();
