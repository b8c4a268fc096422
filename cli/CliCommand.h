// What the commands of quviro-cli share when they run: exit codes, the words of a failure, and
// the questions each asks of the arguments and the terminal.
#pragma once

#include "cli/CliOutput.h"
#include "crypt/HashAlgorithm.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>

enum TCliExitCode { ExitSuccess = 0, ExitFailure = 1, ExitUsage = 2 };

// Writes text to standard output as UTF-8.
void Write(TCliOutput& out, const QString& text);

// Writes message and a line feed to standard error; answers ExitFailure.
int Failure(TCliOutput& out, const QString& message);

// The row an algorithm's name names; options.Algorithm holds one once the arguments are parsed.
std::optional<THashAlgorithm> AlgorithmByName(const QString& name);

// Strict UTF-8: invalid bytes answer nothing rather than U+FFFD, which would hash other bytes
// than the ones given. A leading byte-order mark is kept as U+FEFF for the same reason.
std::optional<QString> DecodeUtf8(const QByteArray& bytes);

bool StandardErrorIsTerminal();
