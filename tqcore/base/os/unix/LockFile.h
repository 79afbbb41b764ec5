// Advisory lock files: taking a lock with the owner's details written into the file, or testing
// whether another process holds one.
#pragma once

#include <plat/DString.h>
#include <plat/NonCopyable.h>
#include <plat/UniqueFd.h>

namespace os {

class LockFile : plat::NonCopyable {
public:
    // Without testOnly: creates path if needed (mode 0600 when makePrivate, else 0644) and takes
    // the lock without waiting; when taken, the file's text becomes contents. With testOnly the
    // file is only looked at, never created or locked. Raises plat::SystemException "open(%s)",
    // "fchmod" or "lockf".
    LockFile(const char* path, const char* contents, bool testOnly, bool makePrivate);
    // release()
    ~LockFile();

    // Without testOnly: this object holds the lock. With testOnly: another process holds it.
    bool isHeld() const { return descriptor.valid(); }

    // Removes the lock file this object created, then lets the lock go. The file is found by its
    // inode, so a lock file renamed within its directory is still removed and a file that has
    // taken its name is left alone.
    void release();
    // Lets the lock go and leaves the file in place.
    void close();

private:
    plat::UniqueFd descriptor;
    // Kept only for a lock taken for writing: only that file is ours to remove.
    plat::DString lockPath;
};

} // namespace os
