// The plural category a count selects in a locale: "sing" or "many", the suffix of the plural
// keys ("loc_period_day_sing", "loc_period_day_many").
#pragma once

#include <loc/LocaleName.h>

namespace loc {

// French and Brazilian Portuguese use the singular for 0 and 1; Japanese, Vietnamese, Korean and
// Chinese have one form for every count; the other languages use the singular for 1 only.
const char* pluralCategory(const LocaleName& locale, long count);

} // namespace loc
