// The process-wide table of files compiled into the program (icons, fonts, translation files):
// filled by static initialisers at start-up, only read afterwards. It sits this low because the
// translation library looks its built-in ".po" files up here; the image and font code reaches it
// as tqutil's resource table.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

// Bytes in the program's read-only data; never owned, never freed.
struct Resource {
    const unsigned char* bytes;
    std::size_t size;
};

namespace detail {

// Never destroyed, so that static objects may still look resources up while the process exits.
inline std::map<std::string, Resource, std::less<>>& resourceTable() {
    static auto* table = new std::map<std::string, Resource, std::less<>>;
    return *table;
}

} // namespace detail

// Start-up only: the table has no lock because nothing writes it once threads may exist. The
// bytes must stay valid for the life of the process; a name registered twice keeps the later
// bytes.
inline void registerResource(const char* name, std::size_t byteCount, const void* bytes) {
    detail::resourceTable().insert_or_assign(
        name, Resource{static_cast<const unsigned char*>(bytes), byteCount});
}

// Nothing when no resource has that name; each caller reports that as its own failure.
inline std::optional<Resource> getResource(std::string_view name) {
    const auto& table = detail::resourceTable();
    auto found = table.find(name);
    if (found == table.end())
        return std::nullopt;
    return found->second;
}

} // namespace plat
