// Byte totals of the install options, and their display in megabytes.
#pragma once

#include <cstddef>
#include <cstdint>

// Every disc in turn, for SumFileSizes.
constexpr int AllDiscs = -1;

// Sum of the listed sizes of the files of `disc` (0-based, or AllDiscs) whose
// option mask shares a bit with `mask`. A disc's list ends at its first
// empty name. Over all discs the sum takes discs 1 to DISCNUM (at most the
// model's ten), passing over discs without files. A sum beyond 64 bits is
// held at 2^64 - 1.
uint64_t SumFileSizes(int disc, uint32_t mask);

// Writes the decimal digits of `value` into `buffer`, which the caller has
// zero-filled: no leading zeros, no separators, no terminator of its own
// (0 writes nothing). The buffer needs room for twenty digits. Always 1.
int FormatDecimal(uint64_t value, char* buffer);

// The megabyte figure shown for `bytes`: always rounded up, so that an exact
// multiple of a megabyte still gains one.
uint64_t DisplayMegabytes(uint64_t bytes);

// a + b, held at 2^64 - 1 instead of wrapping.
inline uint64_t AddSizes(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }
