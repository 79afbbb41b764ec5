// The stream exceptions. Header-only, so that lower layers (file reading in plat) can raise
// them without linking the stream library.
#pragma once

#include <plat/Exception.h>

namespace rdr {

class EndOfStream : public plat::Exception {
public:
    explicit EndOfStream(const char* text = "End of in-memory input stream")
        : plat::Exception(text) {
        setType("EndOfStream");
    }
};

class ZlibEndOfStream : public plat::Exception {
public:
    explicit ZlibEndOfStream(const char* text = "End of zlib stream") : plat::Exception(text) {
        setType("ZlibEndOfStream");
    }
};

class EndOfMsg : public plat::Exception {
public:
    explicit EndOfMsg(const char* text = "End of message") : plat::Exception(text) {
        setType("EndOfMsg");
    }
};

// No data now; a rewindable stream has already returned to its checkpoint.
class BlockException : public plat::Exception {
public:
    explicit BlockException(const char* text = "Reading from InStream would block")
        : plat::Exception(text) {}
};

class StringTooLongException : public plat::Exception {
public:
    explicit StringTooLongException(const char* text = "String exceeds maximum length")
        : plat::Exception(text) {
        setType("StringTooLongException");
    }
};

class OutStreamFull : public plat::Exception {
public:
    explicit OutStreamFull(const char* text = "OutStream full") : plat::Exception(text) {
        setType("OutStreamFull");
    }
};

class FrameException : public plat::Exception {
public:
    explicit FrameException(const char* text) : plat::Exception(text) { setType("FrameException"); }
};

} // namespace rdr
