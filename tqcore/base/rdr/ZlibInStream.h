// An input stream that inflates zlib or gzip data read from another input stream (not owned).
#pragma once

#include <rdr/InStream.h>

#include <memory>

struct z_stream_s;

namespace rdr {

class ZlibInStream : public InStream {
public:
    // A buffer size of 0 means 16800. With gzip, the data is a gzip member (RFC 1952) whose
    // trailer is not checked; otherwise a zlib stream (RFC 1950).
    explicit ZlibInStream(int bufferSize = 0, bool gzip = false);
    ~ZlibInStream() override;

    // Starts inflating the data of in, after its gzip header when gzip is set.
    void setUnderlying(InStream* in);
    int pos() const override { return int(discarded + std::uint32_t(ptr - buffer.get())); }

protected:
    bool overrun(int n) override;

private:
    void skipGzipHeader();
    bool inflateStep();

    InStream* underlying = nullptr;
    std::unique_ptr<z_stream_s> zs;
    std::int32_t bufferSize;
    std::uint32_t discarded = 0;
    std::unique_ptr<std::uint8_t[]> buffer;
    bool gzip;
    bool outputSpaceLeft = true;
    bool streamEnded = false;
};

} // namespace rdr
