// The upper bound of every wait for a state (a window loaded, a hash done, a line written).
// It only fails a program that never gets there: a busy machine makes the wait longer, never
// the test fail, so the bound is far beyond anything a working program needs.
#pragma once

inline constexpr int StateWaitMs = 60000;
