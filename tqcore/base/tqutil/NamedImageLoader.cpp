// Named images from the built-in resource table.
#include <tqutil/NamedImageLoader.h>

#include <plat/keepLinked.h>
#include <tqutil/ScaledImageLoader.h>
#include <tqutil/builtinResources.h>
#include <tqutil/embeddedResources.h>

#include <string>

namespace tqutil {

PLAT_KEEP_LINKED(embeddedResources);

NamedImageLoader::NamedImageLoader(const char* name, rfb::Point size, bool premultiply)
    : size(size), premultiply(premultiply) {
    find(name, this->size);
}

bool NamedImageLoader::tryLoad(const char* name) {
    auto resource = getResource(std::string(name) + ".png");
    if (!resource)
        return false;
    png = std::make_unique<PngFile>(resource->size, resource->bytes, premultiply, name);
    return true;
}

void NamedImageLoader::load(rfb::WritablePixelBuffer* pb, rfb::Point offset) {
    if (png->getSize() == size) {
        png->load(pb, offset);
        return;
    }
    ScaledImageLoader scaled(png.get(), size);
    scaled.load(pb, offset);
}

} // namespace tqutil
