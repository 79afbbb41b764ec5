// The segment description's wire form and the choice of the kind that receives it.
#include <plat/SharedMem.h>

#include <plat/Exception.h>
#include <plat/SharedMemPosix.h>
#include <plat/SharedMemSysV.h>

#include <cstring>

namespace plat {

namespace {

constexpr std::size_t FixedPart = 1 + 4 + 4 + 8 + 1 + 2;

void put(std::vector<unsigned char>& out, std::uint64_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

std::uint64_t take(const unsigned char*& at, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | *at++;
    return value;
}

} // namespace

std::vector<unsigned char> SharedMemDescription::serialise() const {
    std::vector<unsigned char> out;
    std::size_t nameLength = std::strlen(name.c_str());
    PLAT_ASSERT(nameLength <= 0xffff);
    put(out, type, 1);
    put(out, std::uint32_t(id), 4);
    put(out, size, 4);
    put(out, position, 8);
    put(out, isFile ? 1 : 0, 1);
    put(out, nameLength, 2);
    out.insert(out.end(), name.c_str(), name.c_str() + nameLength);
    return out;
}

SharedMemDescription SharedMemDescription::parse(const unsigned char* bytes, std::size_t length) {
    if (length < FixedPart)
        throw Exception("Bad shared memory description");
    SharedMemDescription description;
    const unsigned char* at = bytes;
    description.type = std::uint8_t(take(at, 1));
    description.id = std::int32_t(std::uint32_t(take(at, 4)));
    description.size = std::uint32_t(take(at, 4));
    description.position = take(at, 8);
    description.isFile = take(at, 1) != 0;
    std::size_t nameLength = take(at, 2);
    if (length != FixedPart + nameLength || std::memchr(at, 0, nameLength))
        throw Exception("Bad shared memory description");
    description.name.assign("");
    description.name.append(reinterpret_cast<const char*>(at), int(nameLength));
    return description;
}

SharedMem::~SharedMem() = default;

std::unique_ptr<SharedMem> SharedMem::receive(const SharedMemDescription& description) {
    if (description.type == SharedMemDescription::SysV)
        return SharedMemSysV::receive(description.id, description.size);
    if (description.type == SharedMemDescription::Posix)
        return SharedMemPosix::receive(description);
    throw Exception("Unsupported memory type received");
}

} // namespace plat
