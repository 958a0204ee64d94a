// MD5 message digest (RFC 1321), for checking installed files.
#pragma once

#include <cstddef>
#include <cstdint>

struct Md5Context {
    uint32_t State[4];
    uint64_t Length;        // bytes hashed so far
    uint8_t Pending[64];    // a partial block waiting for more input
};

void Md5Init(Md5Context* context);
void Md5Update(Md5Context* context, const void* data, size_t size);
void Md5Final(Md5Context* context, uint8_t digest[16]);

// 32 lower-case hexadecimal digits and a terminator.
void Md5ToHex(const uint8_t digest[16], char text[33]);
