// Definition and start-up registration of the Locale parameter.
#include <loc/localeParameter.h>

namespace loc {

plat::StringParameter& localeParameter() {
    // Never destroyed: translations are refreshed from it until the process ends.
    static plat::StringParameter* locale =
        new plat::StringParameter("Locale", plat::DescriptionKey("loc_param_locale"), "");
    return *locale;
}

namespace {

// Lists the parameter from start-up on, before anything translates.
[[maybe_unused]] plat::StringParameter& registeredLocale = localeParameter();

} // namespace

} // namespace loc
