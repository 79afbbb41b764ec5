// Inflating zlib and gzip data: every gzip header flag, bad and truncated headers, corrupt and
// truncated deflate data, the end of the stream, and data arriving piecemeal.
#include "support/ScriptedInStream.h"

#include <rdr/Exception.h>
#include <rdr/MemInStream.h>
#include <rdr/ZlibInStream.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <zlib.h>

using rdrtest::bytesOf;

namespace {

using testsupport::raisedBy;

std::string sampleText(int size) {
    std::string text;
    for (int i = 0; text.size() < std::size_t(size); ++i)
        text += "line " + std::to_string(i * 7919 % 1000) + " of the sample\n";
    text.resize(std::size_t(size));
    return text;
}

std::string zlibCompress(const std::string& data) {
    uLongf size = compressBound(uLong(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()), 6);
    out.resize(size);
    return out;
}

std::string rawDeflate(const std::string& data) {
    z_stream zs{};
    deflateInit2(&zs, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
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

// CRC and size, which the stream neither reads nor checks.
std::string gzipTrailer(const std::string& data) {
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size()));
    std::uint32_t size = std::uint32_t(data.size());
    return bytesOf({int(crc & 0xFF), int(crc >> 8 & 0xFF), int(crc >> 16 & 0xFF), int(crc >> 24),
                    int(size & 0xFF), int(size >> 8 & 0xFF), int(size >> 16 & 0xFF),
                    int(size >> 24)});
}

std::string gzipHeader(int flags) {
    return bytesOf({0x1F, 0x8B, 8, flags, 1, 2, 3, 4, 0, 3});
}

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
    rdr::MemInStream source(file.data(), int(file.size()));
    rdr::ZlibInStream in(0, true);
    in.setUnderlying(&source);
    return inflateAll(in);
}

// zlib format -------------------------------------------------------------------------------------

TEST(ZlibInStreamZlib, InflatesDataMuchLargerThanItsBuffer) {
    std::string data = sampleText(300000);
    std::string packed = zlibCompress(data);
    rdr::MemInStream source(packed.data(), int(packed.size()));
    rdr::ZlibInStream in(1000);
    in.setUnderlying(&source);
    EXPECT_EQ(inflateAll(in), data);
    EXPECT_EQ(in.pos(), 300000);
}

TEST(ZlibInStreamZlib, EndSurfacesOnlyAfterTheLastByte) {
    std::string packed = zlibCompress("xyz");
    rdr::MemInStream source(packed.data(), int(packed.size()));
    rdr::ZlibInStream in;
    in.setUnderlying(&source);
    EXPECT_EQ(in.readU8(), 'x');
    EXPECT_EQ(in.readU16(), ('y' << 8) | 'z');
    EXPECT_EQ(raisedBy<rdr::ZlibEndOfStream>([&] { in.readU8(); }).message, "End of zlib stream");
    EXPECT_THROW(in.readU8(), rdr::ZlibEndOfStream) << "and stays at the end";
}

TEST(ZlibInStreamZlib, ReadingWithoutUnderlyingStreamFails) {
    rdr::ZlibInStream in;
    EXPECT_EQ(raisedBy([&] { in.readU8(); }).message, "ZlibInStream overrun: no underlying stream");
}

TEST(ZlibInStreamZlib, SecondUnderlyingStreamStartsAfresh) {
    std::string first = zlibCompress("first");
    std::string second = zlibCompress("second");
    rdr::MemInStream source1(first.data(), int(first.size()));
    rdr::MemInStream source2(second.data(), int(second.size()));
    rdr::ZlibInStream in;
    in.setUnderlying(&source1);
    EXPECT_EQ(inflateAll(in), "first");
    in.setUnderlying(&source2);
    EXPECT_EQ(inflateAll(in), "second");
}

// Corrupt and truncated data ---------------------------------------------------------------------

TEST(ZlibInStreamDamage, CorruptDeflateDataRaisesInflateError) {
    std::string packed = zlibCompress(sampleText(5000));
    packed[2] = char(0xFF); // a reserved block type
    rdr::MemInStream source(packed.data(), int(packed.size()));
    rdr::ZlibInStream in;
    in.setUnderlying(&source);
    EXPECT_EQ(raisedBy([&] { inflateAll(in); }).message,
              "ZlibInStream: inflate failed with error -3");
}

TEST(ZlibInStreamDamage, TruncatedDataEndsWithTheSourcesEndOfStream) {
    std::string data = sampleText(50000);
    std::string packed = zlibCompress(data);
    packed.resize(packed.size() / 2);
    rdr::MemInStream source(packed.data(), int(packed.size()));
    rdr::ZlibInStream in;
    in.setUnderlying(&source);
    EXPECT_THROW(inflateAll(in), rdr::EndOfStream);
}

// gzip headers -----------------------------------------------------------------------------------

TEST(ZlibInStreamGzip, FileMadeBySystemGzipWithNameIsInflated) {
    testsupport::TemporaryDirectory directory;
    std::string data = sampleText(70000);
    std::string path = directory.write("sample-font.bin", data);
    ASSERT_EQ(std::system(("gzip -9 '" + path + "'").c_str()), 0);
    std::string file = testsupport::readFile(path + ".gz");

    ASSERT_GT(file.size(), 10u);
    ASSERT_TRUE(file[3] & 8) << "gzip stores the file name";
    EXPECT_EQ(inflateGzip(file), data);
}

TEST(ZlibInStreamGzip, ExtraCommentAndHeaderCrcFieldsAreSkipped) {
    std::string data = sampleText(3000);
    std::string file = gzipHeader(2 | 4 | 8 | 16) + bytesOf({5, 0}) + "EXTRA" + "name.txt" +
                       std::string(1, '\0') + "a comment" + std::string(1, '\0') +
                       bytesOf({0xAB, 0xCD}) + rawDeflate(data) + gzipTrailer(data);
    EXPECT_EQ(inflateGzip(file), data);
}

TEST(ZlibInStreamGzip, ExtraFieldLengthIsLittleEndian) {
    std::string data = "payload";
    std::string extra(0x0102, 'e');
    std::string file =
        gzipHeader(4) + bytesOf({0x02, 0x01}) + extra + rawDeflate(data) + gzipTrailer(data);
    EXPECT_EQ(inflateGzip(file), data);
}

TEST(ZlibInStreamGzip, BadMagicIsRejected) {
    std::string file = bytesOf({0x1F, 0x8C, 8, 0, 0, 0, 0, 0, 0, 3}) + rawDeflate("x");
    EXPECT_EQ(raisedBy([&] { inflateGzip(file); }).message, "Bad gzip header");
}

TEST(ZlibInStreamGzip, MethodOtherThanDeflateIsRejected) {
    std::string file = bytesOf({0x1F, 0x8B, 7, 0, 0, 0, 0, 0, 0, 3}) + rawDeflate("x");
    EXPECT_EQ(raisedBy([&] { inflateGzip(file); }).message, "Bad gzip header");
}

TEST(ZlibInStreamGzip, TruncatedOptionalFieldsEndWithEndOfStream) {
    std::string truncatedExtra = gzipHeader(4) + bytesOf({100, 0}) + "only ten b";
    std::string unterminatedName = gzipHeader(8) + "name-without-end";
    std::string missingHeaderCrc = gzipHeader(2) + bytesOf({0xAB});
    for (const std::string& file : {truncatedExtra, unterminatedName, missingHeaderCrc})
        EXPECT_THROW(inflateGzip(file), rdr::EndOfStream);
}

// Data arriving piecemeal ------------------------------------------------------------------------

TEST(ZlibInStreamPiecemeal, CompressedBytesArrivingOneAtATimeWithGaps) {
    std::string data = sampleText(20000);
    std::string packed = zlibCompress(data);
    rdrtest::ScriptedInStream source;
    source.setNonBlocking(true);
    for (char byte : packed) {
        source.addChunk(std::string(1, byte));
        source.addBlock();
    }
    rdr::ZlibInStream in;
    in.setUnderlying(&source);
    std::string out;
    int blocks = 0;
    while (out.size() < data.size()) {
        try {
            out.push_back(char(in.readU8()));
        } catch (rdr::BlockException&) {
            ++blocks;
        }
    }
    EXPECT_EQ(out, data);
    EXPECT_GT(blocks, 0);
}

} // namespace
