// The lines of a run's log that identify its ROM image, so that a report can
// be matched to the very file: size, byte order, the header's CRCs, the MD5
// of the file and the country code.
#pragma once

#include <string>
#include <vector>

// The lines for the loaded image (theRom).
std::vector<std::string> romIdentityLines();
// Writes them to the log, after its first line.
void logRomIdentity();
