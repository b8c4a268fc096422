// Sorted string lists kept in key order without ever sorting: every insertion goes to the
// place a binary search finds.
//
// Key order: both texts upper-cased (a-z only), then compared code unit by code unit by
// numeric value; a proper beginning of a text comes before it. No locale is involved.
// Prefix mode compares only the first key-length characters of each line, so that "KEY="
// finds the one line of a keyed value list that starts with it.
#pragma once

#include "tools/Strings.h"

// Index of the line equal to key (whole-text mode) or of the first line starting with key
// (prefix mode), or -1. With insertionPoint, a miss answers the index at which key belongs.
// An empty key answers 0 when the list's last line is empty and -1 otherwise. An absent
// list, or a list that fails while being read, answers -1. Never throws.
int SortedFind(QStringView key, const TStrings* list, bool prefixMode, bool insertionPoint);

// Inserts text, unchanged, at its sorted place unless a line equal to its trimmed form (or,
// in prefix mode, starting with it) is there already; found tells which. Answers the line's
// index, or -1 for a text that trims to nothing (the list is then not touched). Failures of
// the list pass on to the caller.
int SortedInsert(const QString& text, TStrings& list, bool& found, bool prefixMode);

// SortedInsert without the found output.
int SortedAdd(const QString& text, TStrings& list, bool prefixMode);
