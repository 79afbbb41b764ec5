// An input stream over memory that the caller owns and keeps alive for the stream's life.
#pragma once

#include <rdr/InStream.h>

namespace rdr {

class MemInStream : public InStream {
public:
    MemInStream(const void* data, int length);

    int pos() const override { return int(ptr - start); }
    bool atEnd() override { return ptr == end; }

protected:
    bool overrun(int n) override;

private:
    const std::uint8_t* start;
};

} // namespace rdr
