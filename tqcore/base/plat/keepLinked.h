// Keeping self-registering tables in statically linked programs.
#pragma once

// A static link takes an object file from a library only when something refers to one of its
// symbols. A table that only registers itself during static construction (texts, resources) is
// referred to by nothing, so the code that needs the table names it here, at namespace scope:
// wherever that code is linked, the table comes along.
#define PLAT_KEEP_LINKED(object)                                                                   \
    [[gnu::used, maybe_unused]] static const void* const PLAT_KEEP_LINKED_NAME(__LINE__) = &(object)

#define PLAT_KEEP_LINKED_NAME(line) PLAT_KEEP_LINKED_JOIN(line)
#define PLAT_KEEP_LINKED_JOIN(line) keepLinked##line
