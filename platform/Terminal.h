// Whether a descriptor shows to a person.
#pragma once

// True when fd is a terminal.
bool IsTerminal(int fd);
