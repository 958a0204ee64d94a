// Byte totals of the install options, and their display in megabytes.
#pragma once

#include <cstddef>
#include <cstdint>

// Every disc in turn, for SumFileSizes.
constexpr int AllDiscs = -1;

// Sum of the listed sizes of the files of `disc` (0-based, or AllDiscs) whose
// option mask shares a bit with `mask`. Over all discs the walk stops at the
// first disc without files.
uint64_t SumFileSizes(int disc, uint32_t mask);

// Writes the decimal digits of `value` into `buffer`, which the caller has
// zero-filled: no leading zeros, no separators, no terminator of its own
// (0 writes nothing). The buffer needs room for ten digits. Always 1.
int FormatDecimal(uint32_t value, char* buffer);

// The megabyte figure shown for `bytes`: always rounded up, so that an exact
// multiple of a megabyte still gains one. The low 32 bits of it.
uint32_t DisplayMegabytes(uint64_t bytes);
