// The named-image cache. An entry is found again by the size it was asked for, and a loaded one
// also by its actual size, so that a failed request is cached once instead of once per call.
#include <tqutil/NamedImagePixelBuffer.h>

#include <plat/Exception.h>
#include <plat/LogSrc.h>
#include <plat/SysColors.h>
#include <tqutil/NamedImageLoader.h>
#include <tqutil/imageExceptions.h>

#include <map>
#include <new>
#include <string>

namespace tqutil {

namespace {

plat::LogSrc imageLog("NamedImagePixelBuffer");

// Images are requested from the user-interface thread only, so the cache has no lock; it is
// emptied at exit.
std::multimap<std::string, std::shared_ptr<NamedImagePixelBuffer>, std::less<>>& imageCache() {
    static std::multimap<std::string, std::shared_ptr<NamedImagePixelBuffer>, std::less<>> cache;
    return cache;
}

bool matches(const NamedImagePixelBuffer& image, rfb::Point size) {
    if (image.requestedSize() == size)
        return true;
    return !image.isEmpty() && image.getSize() == size;
}

std::shared_ptr<NamedImagePixelBuffer> cachedImage(const std::string& name, rfb::Point size,
                                                   bool logFailures) {
    auto& cache = imageCache();
    auto [first, last] = cache.equal_range(name);
    for (auto entry = first; entry != last; ++entry)
        if (matches(*entry->second, size))
            return entry->second;
    auto image = std::make_shared<NamedImagePixelBuffer>(name.c_str(), size, logFailures);
    cache.emplace(name, image);
    return image;
}

void logFailure(int level, const plat::Exception& e) {
    char text[plat::Exception::MessageCapacity + plat::Exception::TypeCapacity + 4];
    e.displayForm(text, sizeof text);
    imageLog.write(level, "%s", text);
}

} // namespace

NamedImagePixelBuffer::NamedImagePixelBuffer(const char* name, rfb::Point size, bool logFailures)
    : requested(size) {
    if (!name || !*name)
        return;
    try {
        loadNamedImage(this, name, size);
    } catch (const NamedImageBadSize& e) {
        logFailure(plat::LogSrc::Error, e);
    } catch (const plat::Exception& e) {
        if (logFailures)
            logFailure(plat::LogSrc::Debug, e);
    } catch (const std::bad_alloc&) {
        if (logFailures)
            imageLog.debug("Not enough memory for image '%s' at %dx%d", name, size.x, size.y);
    }
}

std::shared_ptr<NamedImagePixelBuffer> getNamedImage(const char* name, rfb::Point size) {
    if (plat::SysColors::darkBackground()) {
        auto dark = cachedImage(std::string(name) + "_darkbg", size, false);
        if (!dark->isEmpty())
            return dark;
    }
    return cachedImage(name, size, true);
}

void loadNamedImage(rfb::ManagedPixelBuffer* pb, const char* name, rfb::Point size) {
    try {
        NamedImageLoader loader(name, size, true);
        pb->setPF(loader.getPf());
        pb->setSize(loader.getSize());
        loader.load(pb, rfb::Point(0, 0));
    } catch (...) {
        // A half-decoded image must not pass for a loaded one.
        pb->setSize(rfb::Point(0, 0));
        throw;
    }
}

} // namespace tqutil
