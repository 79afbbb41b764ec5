// Inflating zlib and gzip data from an underlying input stream into this stream's window.
#include <rdr/ZlibInStream.h>

#include <rdr/Exception.h>

#include <plat/Exception.h>

#include <algorithm>
#include <zlib.h>

namespace rdr {

namespace {

constexpr int DefaultBufferSize = 16800;
constexpr int RawDeflateWindowBits = -15;

constexpr std::uint8_t GzipMagic1 = 0x1F;
constexpr std::uint8_t GzipMagic2 = 0x8B;
constexpr std::uint8_t GzipMethodDeflate = 8;
constexpr std::uint8_t GzipFlagHeaderCrc = 2;
constexpr std::uint8_t GzipFlagExtra = 4;
constexpr std::uint8_t GzipFlagName = 8;
constexpr std::uint8_t GzipFlagComment = 16;
// Modification time (4), extra flags (1), operating system (1).
constexpr int GzipFixedFieldsAfterFlags = 6;
constexpr int GzipHeaderCrcSize = 2;

void skipNulTerminated(InStream& in) {
    while (in.readU8() != 0) {
    }
}

} // namespace

ZlibInStream::ZlibInStream(int bufferSize, bool gzip)
    : zs(new z_stream_s()), bufferSize(bufferSize > 0 ? bufferSize : DefaultBufferSize),
      buffer(new std::uint8_t[std::size_t(this->bufferSize)]), gzip(gzip) {
    int result = gzip ? inflateInit2(zs.get(), RawDeflateWindowBits) : inflateInit(zs.get());
    if (result != Z_OK)
        throw plat::Exception("ZlibInStream: inflateInit failed");
    ptr = end = checkpointPtr = buffer.get();
    // Nobody rewinds inflated data; without a checkpoint to keep, consumed output is discarded
    // on every refill so that data longer than the buffer can be read.
    rewindable = false;
}

ZlibInStream::~ZlibInStream() {
    inflateEnd(zs.get());
}

void ZlibInStream::setUnderlying(InStream* in) {
    underlying = in;
    inflateReset(zs.get());
    ptr = end = checkpointPtr = buffer.get();
    discarded = 0;
    checkpointPos = 0;
    outputSpaceLeft = true;
    streamEnded = false;
    if (!in)
        return;
    if (gzip)
        skipGzipHeader();
    in->setCheckpoint();
}

void ZlibInStream::skipGzipHeader() {
    InStream& in = *underlying;
    if (in.readU8() != GzipMagic1 || in.readU8() != GzipMagic2 || in.readU8() != GzipMethodDeflate)
        throw plat::Exception("Bad gzip header");
    std::uint8_t flags = in.readU8();
    in.skip(GzipFixedFieldsAfterFlags);
    if (flags & GzipFlagExtra) {
        int length = in.readU8();
        length |= in.readU8() << 8;
        in.skip(length);
    }
    if (flags & GzipFlagName)
        skipNulTerminated(in);
    if (flags & GzipFlagComment)
        skipNulTerminated(in);
    if (flags & GzipFlagHeaderCrc)
        in.skip(GzipHeaderCrcSize);
}

bool ZlibInStream::overrun(int n) {
    discarded += moveWindowTo(buffer.get());
    if (!underlying)
        throw plat::Exception("ZlibInStream overrun: no underlying stream");
    int wanted = std::min(n, int(buffer.get() + bufferSize - ptr));
    while (nUnread() < wanted) {
        if (!inflateStep())
            return false;
    }
    return true;
}

bool ZlibInStream::inflateStep() {
    // zlib keeps reporting the end once reached; no need to ask the source for more.
    if (streamEnded)
        throw ZlibEndOfStream();
    // With output space left over, zlib holds nothing back: only new input can give more.
    if (outputSpaceLeft && underlying->nUnread() == 0 && !underlying->check(1, false))
        return false;
    std::uint8_t* out = buffer.get() + (end - buffer.get());
    int outSpace = int(buffer.get() + bufferSize - end);
    zs->next_in = const_cast<Bytef*>(underlying->getPtr());
    zs->avail_in = uInt(underlying->nUnread());
    zs->next_out = out;
    zs->avail_out = uInt(outSpace);
    int result = inflate(zs.get(), Z_SYNC_FLUSH);
    if (result != Z_OK && result != Z_BUF_ERROR && result != Z_STREAM_END)
        throw plat::ExceptionFmt("ZlibInStream: inflate failed with error %d", result);
    int produced = outSpace - int(zs->avail_out);
    end += produced;
    outputSpaceLeft = zs->avail_out > 0;
    underlying->setPtr(zs->next_in);
    underlying->setCheckpoint();
    if (result == Z_STREAM_END) {
        streamEnded = true;
        // The end surfaces only once the last data has been read.
        if (produced == 0)
            throw ZlibEndOfStream();
    }
    return true;
}

} // namespace rdr
