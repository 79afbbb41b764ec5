// Shared memory segments that one process creates and another maps: the common base of the
// System V and POSIX kinds, and the description a process sends its peer so that the peer can
// map the same memory.
#pragma once

#include <plat/DString.h>
#include <plat/NonCopyable.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

// What a peer needs to map a segment. Its wire form, all integers big-endian:
//   U8 type (1 System V, 2 POSIX), S32 System V id (-1 for POSIX), U32 size in bytes,
//   U64 position (page-aligned offset into a POSIX object or file), U8 file flag (1: name is an
//   ordinary file's path), U16 name length, then the name's bytes (a POSIX name such as
//   "/prog-4242-0", or a path; empty for System V).
struct SharedMemDescription {
    static constexpr std::uint8_t SysV = 1;
    static constexpr std::uint8_t Posix = 2;

    std::uint8_t type = 0;
    std::int32_t id = -1;
    DString name{""};
    std::uint32_t size = 0;
    std::uint64_t position = 0;
    bool isFile = false;

    std::vector<unsigned char> serialise() const;
    // Raises plat::Exception "Bad shared memory description" for a form that is cut short, runs
    // on or holds a NUL in the name. An unknown type is left to SharedMem::receive.
    static SharedMemDescription parse(const unsigned char* bytes, std::size_t length);
};

class SharedMem : NonCopyable {
public:
    virtual ~SharedMem();

    // The description to send to the peer.
    virtual SharedMemDescription describe() const = 0;

    std::uint32_t size() const { return bytes; }
    void* address() const { return mapped; }
    // A segment created here is removed when this object goes; a received one only unmapped.
    bool createdHere() const { return created; }

    // Maps what a peer described; raises plat::Exception "Unsupported memory type received" for
    // an unknown type, and what the kind's own receiving raises.
    static std::unique_ptr<SharedMem> receive(const SharedMemDescription& description);

protected:
    SharedMem(std::uint32_t size, bool created) : bytes(size), created(created) {}

    std::uint32_t bytes;
    void* mapped = nullptr;
    bool created;
};

} // namespace plat
