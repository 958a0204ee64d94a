// MD5 throughput of the file check against OpenSSL's on the same buffer.
#include "verify/md5.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <chrono>
#include <vector>

namespace {

const std::vector<uint8_t>& Buffer()
{
    static std::vector<uint8_t> data = [] {
        std::vector<uint8_t> v(64u << 20);
        uint32_t x = 12345;
        for (auto& b : v) {
            x = x * 1664525u + 1013904223u;
            b = static_cast<uint8_t>(x >> 24);
        }
        return v;
    }();
    return data;
}

void DrubelMd5(const std::vector<uint8_t>& data, uint8_t digest[16])
{
    Md5Context c;
    Md5Init(&c);
    Md5Update(&c, data.data(), data.size());
    Md5Final(&c, digest);
}

void OpenSslMd5(const std::vector<uint8_t>& data, uint8_t digest[16])
{
    unsigned int length = 16;
    EVP_Digest(data.data(), data.size(), digest, &length, EVP_md5(), nullptr);
}

void BM_Md5_Drubel(benchmark::State& state)
{
    const auto& data = Buffer();
    uint8_t digest[16];
    for (auto _ : state) {
        DrubelMd5(data, digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_Md5_Drubel)->Unit(benchmark::kMillisecond);

void BM_Md5_OpenSsl(benchmark::State& state)
{
    const auto& data = Buffer();
    uint8_t digest[16];
    for (auto _ : state) {
        OpenSslMd5(data, digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_Md5_OpenSsl)->Unit(benchmark::kMillisecond);

// Both on the same buffer in alternation, so that a busy machine slows both
// alike; the counter is Drubel's throughput over OpenSSL's (goal: >= 0.9).
void BM_Md5_RatioToOpenSsl(benchmark::State& state)
{
    const auto& data = Buffer();
    uint8_t digest[16];
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        DrubelMd5(data, digest);
        auto t1 = std::chrono::steady_clock::now();
        OpenSslMd5(data, digest);
        auto t2 = std::chrono::steady_clock::now();
        ours += std::chrono::duration<double>(t1 - t0).count();
        theirs += std::chrono::duration<double>(t2 - t1).count();
        benchmark::DoNotOptimize(digest);
    }
    state.counters["ratio"] = theirs / ours;
}
BENCHMARK(BM_Md5_RatioToOpenSsl)->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace
