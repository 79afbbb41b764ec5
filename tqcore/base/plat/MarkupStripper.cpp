// Collecting the plain text of markup.
#include <plat/MarkupStripper.h>

namespace plat {

void Markup::Stripper::text(const Style&, const char* text) {
    append(text);
}

void Markup::Stripper::link(const Style&, const char* href, const char* text) {
    append(text && *text ? text : href);
}

} // namespace plat
