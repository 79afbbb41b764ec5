// Loading fonts from the built-in resource table through gzip inflation, caching them by name,
// and choosing them by style.
#include <tqutil/fonts.h>

#include <plat/Exception.h>
#include <plat/keepLinked.h>
#include <rdr/MemInStream.h>
#include <rdr/ZlibInStream.h>
#include <tqutil/FontKbxBm.h>
#include <tqutil/builtinResources.h>
#include <tqutil/displayScale.h>
#include <tqutil/embeddedResources.h>

#include <climits>
#include <map>
#include <string>

namespace tqutil {

PLAT_KEEP_LINKED(embeddedResources);

namespace {

constexpr int BoldWeight = 550;
constexpr std::int64_t LargeSize = 960;
constexpr std::int64_t MediumSize = 484;

std::shared_ptr<const Font> loadFont(const char* name) {
    auto resource = getResource(std::string(name) + ".gz");
    if (!resource || resource->size > std::size_t(INT_MAX))
        throw plat::ExceptionFmt("Failed to read font %s: %s", name, "resource not found");
    try {
        rdr::MemInStream compressed(resource->bytes, int(resource->size));
        rdr::ZlibInStream in(0, true);
        in.setUnderlying(&compressed);
        return std::make_shared<FontKbxBm>(in);
    } catch (const plat::Exception& e) {
        throw plat::ExceptionFmt("Failed to read font %s: %s", name, e.message());
    }
}

// Fonts are requested from the user-interface thread only, so the cache has no lock.
std::map<std::string, std::shared_ptr<const Font>, std::less<>>& fontCache() {
    static std::map<std::string, std::shared_ptr<const Font>, std::less<>> cache;
    return cache;
}

std::shared_ptr<const Font> tryFont(const char* name) {
    try {
        return getFont(name);
    } catch (const plat::Exception&) {
        return nullptr;
    }
}

} // namespace

std::shared_ptr<const Font> getFont(const char* name) {
    auto& cache = fontCache();
    auto found = cache.find(std::string_view(name));
    if (found != cache.end())
        return found->second;
    std::shared_ptr<const Font> font = loadFont(name);
    cache.emplace(name, font);
    return font;
}

std::shared_ptr<const Font> selectFont(const plat::Markup::Style& style) {
    std::int64_t scaledSize = std::int64_t(style.size) * ppmm().getValue();
    bool bold = style.weight >= BoldWeight;
    std::shared_ptr<const Font> font;
    if (scaledSize >= LargeSize)
        font = tryFont(bold ? "helvB21" : "helv21");
    if (!font && scaledSize >= MediumSize)
        font = tryFont(bold ? "helvB16" : "helv16");
    if (!font && bold)
        font = tryFont("helvB15");
    return font ? font : getFont("helv15");
}

} // namespace tqutil
