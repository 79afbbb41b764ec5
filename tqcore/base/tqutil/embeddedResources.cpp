// Registers the fonts and icons that the build embeds in the program's read-only data
// (embeddedResources.S, written by CMake from the list in this folder's CMakeLists.txt) in the
// built-in resource table at start-up.
#include <tqutil/embeddedResources.h>

#include <tqutil/builtinResources.h>

#include <cstddef>

extern "C" {

struct QvEmbeddedResource {
    const char* name;
    const unsigned char* begin;
    const unsigned char* end;
};

extern const QvEmbeddedResource qvEmbeddedResources[];
extern const std::size_t qvEmbeddedResourceCount;
}

namespace tqutil {

EmbeddedResources::EmbeddedResources() {
    for (std::size_t i = 0; i < qvEmbeddedResourceCount; ++i) {
        const QvEmbeddedResource& resource = qvEmbeddedResources[i];
        registerResource(resource.name, std::size_t(resource.end - resource.begin), resource.begin);
    }
}

const EmbeddedResources embeddedResources;

} // namespace tqutil
