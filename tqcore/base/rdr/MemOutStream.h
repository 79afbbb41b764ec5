// An output stream into a growable heap buffer of its own, optionally bounded by a maximum size.
#pragma once

#include <rdr/OutStream.h>

#include <plat/DString.h>
#include <plat/MBuf.h>

namespace rdr {

class MemOutStream : public OutStream {
public:
    // A negative initial size means 256; a maximum of 0 means unlimited.
    explicit MemOutStream(int initialSize = -1, int maxSize = 0);
    ~MemOutStream() override;

    void setMaxSize(int maxSize);
    int length() override { return int(ptr - start); }
    int spaceLeft() override;

    const std::uint8_t* data() const { return start; }
    // Forgets the written bytes, keeping the buffer.
    void clear() { ptr = start; }

    // Hands the written bytes to the caller's buffer and leaves the stream empty without a
    // buffer; returns the length.
    int takeBuffer(plat::MBuf<unsigned char>& into);
    // Makes sure the written bytes end in a NUL.
    void terminate();
    // terminate(), then hands the text to the caller and leaves the stream empty.
    void takeCString(plat::DString& into);

protected:
    int overrun(int itemSize, int nItems) override;

private:
    void setEnd();
    void release();

    std::uint8_t* start = nullptr;
    std::int32_t allocated = 0;
    std::int32_t maximum = 0;
};

} // namespace rdr
