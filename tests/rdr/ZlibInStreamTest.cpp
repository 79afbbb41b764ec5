// Inflating zlib and gzip data: every gzip header flag, bad and truncated headers, corrupt and
// truncated deflate data.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>
#include <rdr/ZlibInStream.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <string>
#include <zlib.h>

namespace {

using rdrtest::bytesOf;
using rdrtest::patterned;
using testsupport::raisedBy;

// windowBits 15 makes zlib data, -15 raw deflate data for gzip files.
std::string deflated(const std::string& data, int windowBits = 15) {
    z_stream zs{};
    deflateInit2(&zs, 6, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, uLong(data.size())), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

std::string gzipHeader(int flags) {
    return bytesOf({0x1F, 0x8B, 8, flags, 1, 2, 3, 4, 0, 3});
}

// Raw deflate data and a trailer, whose CRC and size the stream neither reads nor checks.
std::string gzipBody(const std::string& data) {
    return deflated(data, -15) + std::string(8, '\x5A');
}

struct Inflater {
    explicit Inflater(std::string packed, int bufferSize = 0, bool gzip = false)
        : source(std::move(packed)), in(bufferSize, gzip) {
        in.setUnderlying(&source.in);
    }
    rdrtest::MemoryInput source;
    rdr::ZlibInStream in;
};

std::string inflateAll(rdr::InStream& in) {
    std::string out;
    try {
        for (;;) {
            in.check(1, true);
            out.append(reinterpret_cast<const char*>(in.getPtr()), std::size_t(in.nUnread()));
            in.advance(in.nUnread());
        }
    } catch (rdr::ZlibEndOfStream&) {
    }
    return out;
}

std::string inflateGzip(const std::string& file) {
    Inflater inflater(file, 0, true);
    return inflateAll(inflater.in);
}

TEST(ZlibInStreamZlib, ReadingWithoutUnderlyingStreamFails) {
    rdr::ZlibInStream in;
    EXPECT_EQ(raisedBy([&] { in.readU8(); }).message, "ZlibInStream overrun: no underlying stream");
}

TEST(ZlibInStreamDamage, CorruptDataRaisesInflateErrorAndTruncatedDataEndOfStream) {
    std::string packed = deflated(patterned(50000));
    Inflater truncated(packed.substr(0, packed.size() / 2));
    EXPECT_THROW(inflateAll(truncated.in), rdr::EndOfStream) << "the source's end";
    packed[2] = char(0xFF); // a reserved block type
    Inflater corrupt(packed);
    EXPECT_EQ(raisedBy([&] { inflateAll(corrupt.in); }).message,
              "ZlibInStream: inflate failed with error -3");
}

TEST(ZlibInStreamGzip, ExtraCommentAndHeaderCrcFieldsAreSkipped) {
    std::string data = patterned(3000);
    // The extra field's length is little-endian: 0x0102 bytes.
    std::string file = gzipHeader(2 | 4 | 8 | 16) + bytesOf({0x02, 0x01}) +
                       std::string(0x0102, 'e') + "name.txt" + std::string(1, '\0') + "a comment" +
                       std::string(1, '\0') + bytesOf({0xAB, 0xCD}) + gzipBody(data);
    EXPECT_EQ(inflateGzip(file), data);
}

TEST(ZlibInStreamGzip, BadMagicOrMethodIsRejected) {
    for (int badByte : {1, 2}) {
        std::string file = gzipHeader(0) + gzipBody("x");
        file[std::size_t(badByte)] = char(file[std::size_t(badByte)] - 1);
        EXPECT_EQ(raisedBy([&] { inflateGzip(file); }).message, "Bad gzip header") << badByte;
    }
}

TEST(ZlibInStreamGzip, TruncatedOptionalFieldsEndWithEndOfStream) {
    std::string truncatedExtra = gzipHeader(4) + bytesOf({100, 0}) + "only ten b";
    std::string unterminatedName = gzipHeader(8) + "name-without-end";
    std::string missingHeaderCrc = gzipHeader(2) + bytesOf({0xAB});
    for (const std::string& file : {truncatedExtra, unterminatedName, missingHeaderCrc})
        EXPECT_THROW(inflateGzip(file), rdr::EndOfStream);
}

} // namespace
