// What a command-line program gets from the system when it starts: its arguments and its
// standard streams.
#pragma once

#include <string>
#include <vector>

// The program's arguments after its own name, as UTF-8 names. On POSIX systems they are argv's
// bytes as the shell gave them (the shell has expanded the wildcards). On Windows they are the
// command line's UTF-16 arguments, and an argument that names no existing file but has '*' or
// '?' in its last component stands for the files that match it there, sorted, as cmd.exe
// leaves wildcards to the program; a pattern that matches nothing stays as it was given.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Makes standard input and output carry bytes as they are (no CR LF translation), as on POSIX
// systems where they always do.
void UseBinaryStandardStreams();
