// Byte stream throughput, each measured against a plain reference in the same run: memory
// streams against a vector loop, gzip inflation against a raw zlib loop, framed messages
// against memcpy. The ratios (reference time / stream time) are printed after the run.
#include <rdr/Exception.h>
#include <rdr/FramedInStream.h>
#include <rdr/FramedOutStream.h>
#include <rdr/MemInStream.h>
#include <rdr/MemOutStream.h>
#include <rdr/ZlibInStream.h>

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

constexpr int MiB = 1 << 20;
constexpr int WordBytes = 64 * MiB;
constexpr int WordCount = WordBytes / 4;
constexpr int InflatedBytes = 16 * MiB;
constexpr int ZlibOutputBuffer = 16800;
constexpr int FramedBytes = 64 * MiB;
constexpr int MessageBytes = 4096;

// Memory streams -----------------------------------------------------------------------------

void BM_MemStreamsU32(benchmark::State& state) {
    rdr::MemOutStream out(WordBytes);
    for (auto _ : state) {
        out.clear();
        for (std::uint32_t i = 0; i < std::uint32_t(WordCount); ++i)
            out.writeU32(i * 2654435761u);
        rdr::MemInStream in(out.data(), out.length());
        std::uint32_t sum = 0;
        for (int i = 0; i < WordCount; ++i)
            sum += in.readU32();
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * WordBytes);
}

void BM_MemStreamsU32_Reference(benchmark::State& state) {
    std::vector<std::uint8_t> buffer(WordBytes);
    for (auto _ : state) {
        std::uint8_t* p = buffer.data();
        for (std::uint32_t i = 0; i < std::uint32_t(WordCount); ++i, p += 4) {
            std::uint32_t value = i * 2654435761u;
            p[0] = std::uint8_t(value >> 24);
            p[1] = std::uint8_t(value >> 16);
            p[2] = std::uint8_t(value >> 8);
            p[3] = std::uint8_t(value);
        }
        benchmark::ClobberMemory();
        const std::uint8_t* q = buffer.data();
        std::uint32_t sum = 0;
        for (int i = 0; i < WordCount; ++i, q += 4)
            sum += std::uint32_t(q[0]) << 24 | std::uint32_t(q[1]) << 16 |
                   std::uint32_t(q[2]) << 8 | q[3];
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * WordBytes);
}

// gzip inflation
// ------------------------------------------------------------------------------------

// Text-like data that compresses about as well as fonts and logs do.
const std::string& gzipFile() {
    static const std::string file = [] {
        std::string text;
        std::uint32_t seed = 12345;
        while (text.size() < std::size_t(InflatedBytes)) {
            seed = seed * 1103515245u + 12345u;
            text += "word" + std::to_string(seed >> 20) + (seed & 0x100 ? "\n" : " ");
        }
        text.resize(InflatedBytes);
        z_stream zs{};
        deflateInit2(&zs, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
        std::string packed(deflateBound(&zs, uLong(text.size())), '\0');
        zs.next_in = reinterpret_cast<Bytef*>(text.data());
        zs.avail_in = uInt(text.size());
        zs.next_out = reinterpret_cast<Bytef*>(packed.data());
        zs.avail_out = uInt(packed.size());
        deflate(&zs, Z_FINISH);
        packed.resize(zs.total_out);
        deflateEnd(&zs);
        return packed;
    }();
    return file;
}

void BM_ZlibInStreamGzip(benchmark::State& state) {
    const std::string& file = gzipFile();
    for (auto _ : state) {
        rdr::MemInStream source(file.data(), int(file.size()));
        rdr::ZlibInStream in(ZlibOutputBuffer, true);
        in.setUnderlying(&source);
        std::size_t total = 0;
        try {
            for (;;) {
                in.check(1, true);
                total += std::size_t(in.nUnread());
                benchmark::DoNotOptimize(*in.getPtr());
                in.advance(in.nUnread());
            }
        } catch (rdr::ZlibEndOfStream&) {
        }
        if (total != std::size_t(InflatedBytes))
            state.SkipWithError("wrong inflated size");
    }
    state.SetBytesProcessed(state.iterations() * InflatedBytes);
}

void BM_ZlibInStreamGzip_Reference(benchmark::State& state) {
    const std::string& file = gzipFile();
    std::vector<std::uint8_t> output(ZlibOutputBuffer);
    for (auto _ : state) {
        z_stream zs{};
        inflateInit2(&zs, 15 + 16);
        zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(file.data()));
        zs.avail_in = uInt(file.size());
        std::size_t total = 0;
        int result = Z_OK;
        while (result == Z_OK) {
            zs.next_out = output.data();
            zs.avail_out = uInt(output.size());
            result = inflate(&zs, Z_NO_FLUSH);
            total += output.size() - zs.avail_out;
            benchmark::DoNotOptimize(output[0]);
        }
        inflateEnd(&zs);
        if (result != Z_STREAM_END || total != std::size_t(InflatedBytes))
            state.SkipWithError("reference inflate failed");
    }
    state.SetBytesProcessed(state.iterations() * InflatedBytes);
}

// Framed messages
// -----------------------------------------------------------------------------------

void BM_FramedV4Messages(benchmark::State& state) {
    std::vector<std::uint8_t> message(MessageBytes, 0x5A);
    std::vector<std::uint8_t> received(MessageBytes);
    rdr::MemOutStream wire(FramedBytes + FramedBytes / 64);
    for (auto _ : state) {
        wire.clear();
        rdr::OutStreamV4 out(&wire);
        for (int sent = 0; sent < FramedBytes; sent += MessageBytes) {
            out.startMsg();
            out.writeBytes(message.data(), MessageBytes);
            out.endMsg();
        }
        rdr::MemInStream source(wire.data(), wire.length());
        rdr::InStreamV4 in(&source);
        for (int read = 0; read < FramedBytes; read += MessageBytes) {
            in.startMsg(true);
            in.readBytesInto(received.data(), MessageBytes);
            in.endMsg();
        }
        benchmark::DoNotOptimize(received.data());
    }
    state.SetBytesProcessed(state.iterations() * FramedBytes);
}

void BM_FramedV4Messages_Reference(benchmark::State& state) {
    std::vector<std::uint8_t> message(MessageBytes, 0x5A);
    std::vector<std::uint8_t> received(MessageBytes);
    std::vector<std::uint8_t> wire(FramedBytes);
    for (auto _ : state) {
        for (int sent = 0; sent < FramedBytes; sent += MessageBytes)
            std::memcpy(wire.data() + sent, message.data(), MessageBytes);
        benchmark::ClobberMemory();
        for (int read = 0; read < FramedBytes; read += MessageBytes)
            std::memcpy(received.data(), wire.data() + read, MessageBytes);
        benchmark::DoNotOptimize(received.data());
    }
    state.SetBytesProcessed(state.iterations() * FramedBytes);
}

BENCHMARK(BM_MemStreamsU32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemStreamsU32_Reference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInStreamGzip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInStreamGzip_Reference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramedV4Messages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramedV4Messages_Reference)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runAndPrintRatios(
        argc, argv,
        {{"BM_MemStreamsU32", 0.5}, {"BM_ZlibInStreamGzip", 0.95}, {"BM_FramedV4Messages", 0.5}});
}
