// Refills, checkpoints and the out-of-line readers of the abstract input stream.
#include <rdr/InStream.h>

#include <rdr/Exception.h>

#include <plat/Exception.h>
#include <plat/utf8.h>

#include <algorithm>
#include <vector>

namespace rdr {

namespace {

constexpr int DefaultMaxLineLength = 0x40000;
constexpr int InitialLineCapacity = 64;
constexpr int MaxRandomAttempts = 9;
// The longest text a DString can hold; longer ones are refused rather than failing the
// allocation check.
constexpr std::uint32_t MaxStringLength = (1u << 30) - 1;

// Builds the string in one step: DString growth copies only up to the first NUL, and a string
// read from the wire may contain NULs.
plat::DString makeString(const char* bytes, std::size_t length) {
    plat::DString text;
    text.reserve(int(length) + 1);
    std::memcpy(text.data(), bytes, length);
    text.data()[length] = '\0';
    return text;
}

// Returns false when the text had to be repaired.
bool makeValid(plat::DString& text) {
    if (plat::isValidUtf8(text.get()))
        return true;
    text = plat::sanitiseUtf8(text.get());
    return false;
}

} // namespace

void InStream::setCheckpoint() {
    checkpointPos = pos();
    checkpointPtr = ptr;
}

void InStream::rewind() {
    if (!rewindable)
        throw plat::Exception("Attempt to rewind a non-rewindable stream");
    ptr = checkpointPtr;
}

const std::uint8_t* InStream::reposition(int position) {
    if (position < checkpointPos)
        throw plat::Exception("Can't reposition before checkpoint");
    rewind();
    skip(position - checkpointPos);
    return ptr;
}

std::uint32_t InStream::moveWindowTo(std::uint8_t* bufferStart) {
    if (checkpointPtr <= bufferStart)
        return 0;
    std::ptrdiff_t dropped = checkpointPtr - bufferStart;
    std::memmove(bufferStart, checkpointPtr, std::size_t(end - checkpointPtr));
    ptr -= dropped;
    end -= dropped;
    checkpointPtr = bufferStart;
    return std::uint32_t(dropped);
}

bool InStream::check(int n, bool throwOnBlock) {
    if (!rewindable)
        setCheckpoint();
    bool gotData;
    try {
        gotData = overrun(n);
    } catch (BlockException&) {
        gotData = false;
    }
    if (gotData) {
        if (ptr != end)
            return true;
        // Everything from the checkpoint on fills the buffer, so nothing more fits.
        throw plat::Exception("InStream overrun: buffer size exceeded");
    }
    if (rewindable)
        rewind();
    if (throwOnBlock)
        throw BlockException();
    return false;
}

int InStream::advance(int n) {
    if (n < 0)
        return 0;
    PLAT_ASSERT(nUnread() >= n);
    ptr += n;
    return n;
}

void InStream::setPtr(const std::uint8_t* p) {
    PLAT_ASSERT(p >= ptr && p <= end);
    ptr = p;
}

std::uint64_t InStream::readSlow(int width) {
    check(width, true);
    std::uint64_t value = 0;
    if (nUnread() >= width) {
        for (int i = 0; i < width; ++i)
            value = (value << 8) | ptr[i];
        ptr += width;
        return value;
    }
    for (int i = 0; i < width; ++i)
        value = (value << 8) | readU8();
    return value;
}

void InStream::skip(int n) {
    while (n > 0) {
        if (ptr == end)
            check(n, true);
        int count = std::min(n, nUnread());
        ptr += count;
        n -= count;
    }
}

void InStream::copyAcrossRefills(std::uint8_t* buffer, int n) {
    while (n > 0) {
        if (ptr == end)
            check(n, true);
        int count = std::min(n, nUnread());
        std::memcpy(buffer, ptr, std::size_t(count));
        ptr += count;
        buffer += count;
        n -= count;
    }
}

const void* InStream::readBytes(void* buffer, int n) {
    if (n <= 0)
        return buffer;
    if (nUnread() < n)
        check(n, true);
    if (nUnread() >= n) {
        const std::uint8_t* bytes = ptr;
        ptr += n;
        return bytes;
    }
    copyAcrossRefills(static_cast<std::uint8_t*>(buffer), n);
    return buffer;
}

void InStream::readBytesInto(void* buffer, int n) {
    copyAcrossRefills(static_cast<std::uint8_t*>(buffer), n);
}

const void* InStream::getItems(void* buffer, int itemSize, int* nItems) {
    PLAT_ASSERT(*nItems > 0);
    if (nUnread() < itemSize)
        check(itemSize, true);
    int available = nUnread() / itemSize;
    if (available > 0) {
        *nItems = std::min(*nItems, available);
        const std::uint8_t* items = ptr;
        ptr += *nItems * itemSize;
        return items;
    }
    copyAcrossRefills(static_cast<std::uint8_t*>(buffer), itemSize);
    *nItems = 1;
    return buffer;
}

const void* InStream::getItemsNoCopy(int itemSize, int* nItems, bool throwOnBlock) {
    PLAT_ASSERT(*nItems > 0);
    if (nUnread() < itemSize && !check(itemSize, throwOnBlock))
        return nullptr;
    int available = nUnread() / itemSize;
    if (available == 0)
        return nullptr;
    *nItems = std::min(*nItems, available);
    const std::uint8_t* items = ptr;
    ptr += *nItems * itemSize;
    return items;
}

plat::DString InStream::readString32(int maxLength, bool validate) {
    // A negative limit means none beyond what a string can hold.
    std::uint32_t limit = maxLength < 0 ? MaxStringLength : std::uint32_t(maxLength);
    std::uint32_t length = readU32();
    if (length > limit)
        throw StringTooLongException();
    return readFixedString(int(length), validate);
}

plat::DString InStream::readString8(bool validate) {
    return readFixedString(readU8(), validate);
}

plat::DString InStream::readFixedString(int length, bool validate) {
    if (length < 0)
        length = 0;
    if (std::uint32_t(length) > MaxStringLength)
        throw StringTooLongException();
    plat::DString text;
    if (nUnread() >= length) {
        text = makeString(reinterpret_cast<const char*>(ptr), std::size_t(length));
        ptr += length;
    } else {
        // Collected as it arrives, so that a length announced by a peer costs memory only for
        // the bytes that really come.
        std::vector<char> bytes;
        while (int(bytes.size()) < length) {
            if (ptr == end)
                check(length - int(bytes.size()), true);
            int count = std::min(length - int(bytes.size()), nUnread());
            bytes.insert(bytes.end(), ptr, ptr + count);
            ptr += count;
        }
        text = makeString(bytes.data(), bytes.size());
    }
    if (validate)
        makeValid(text);
    return text;
}

bool InStream::readLine(plat::DString& line, int maxLength, bool* hasNul, bool validate) {
    if (maxLength == 0)
        maxLength = DefaultMaxLineLength;
    if (maxLength < 0 || std::uint32_t(maxLength) > MaxStringLength)
        maxLength = int(MaxStringLength);
    if (hasNul)
        *hasNul = false;
    line.clear();
    std::vector<char> bytes;
    bytes.reserve(InitialLineCapacity);
    for (;;) {
        std::uint8_t byte;
        try {
            byte = readU8();
        } catch (EndOfStream&) {
            if (bytes.empty())
                throw;
            break;
        } catch (EndOfMsg&) {
            if (bytes.empty())
                throw;
            break;
        }
        if (byte == '\r')
            continue;
        if (byte == '\n')
            break;
        if (byte == '\0' && hasNul)
            *hasNul = true;
        bytes.push_back(char(byte));
        if (int(bytes.size()) > maxLength) {
            line.clear();
            throw StringTooLongException();
        }
    }
    line = makeString(bytes.data(), bytes.size());
    return validate ? makeValid(line) : true;
}

std::uint32_t InStream::readRandom(std::uint32_t n) {
    if (n == 0)
        return readU32();
    // 2^32 mod n: values below it would make the low residues more likely.
    std::uint32_t threshold = std::uint32_t(-n) % n;
    std::uint32_t value = readU32();
    for (int attempt = 1; attempt < MaxRandomAttempts && value < threshold; ++attempt)
        value = readU32();
    return value % n;
}

} // namespace rdr
