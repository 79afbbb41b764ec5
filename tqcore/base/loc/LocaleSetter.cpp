// Per-thread locales: the thread's setter is found through thread-specific storage.
#include <loc/LocaleSetter.h>

#include <loc/Localize.h>
#include <loc/TransMap.h>
#include <loc/localizeLog.h>
#include <loc/userLocales.h>
#include <plat/Exception.h>
#include <plat/ThreadSpecific.h>

namespace loc {

namespace {

plat::ThreadSpecificPtr<LocaleSetter>& threadSetter() {
    // Never destroyed: threads may end while static objects are destroyed.
    static auto* slot = new plat::ThreadSpecificPtr<LocaleSetter>;
    return *slot;
}

} // namespace

LocaleSetter::LocaleSetter(const char* locale) : outer(threadSetter().get()) {
    const char* requested = locale ? locale : "";
    localizeLog().debug("setting locale %s", requested);
    threadLocale.emplace(parseLocaleList(requested));
    map = Localize::instance().makeThreadMap(chooseUserLocales(requested, nullptr, nullptr));
    threadSetter().set(this);
}

LocaleSetter::~LocaleSetter() {
    LocaleSetter* thrInst = threadSetter().get();
    PLAT_ASSERT(thrInst == this);
    localizeLog().debug("restoring locale");
    threadSetter().set(outer);
}

TransMap* LocaleSetter::currentMap() {
    LocaleSetter* setter = threadSetter().get();
    return setter ? setter->map.get() : nullptr;
}

} // namespace loc
