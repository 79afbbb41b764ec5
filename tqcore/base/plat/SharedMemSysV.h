// System V shared memory segments, each with a marker file in the profile directory so that
// segments left behind by a process that died can be removed by the next one.
#pragma once

#include <plat/SharedMem.h>

namespace plat {

class SharedMemSysV : public SharedMem {
public:
    // A private segment of size bytes with mode 0600 (or permissions, when not 0) and its marker,
    // attached. Before the first one the process removes stale segments. Every failure after the
    // segment exists removes it again.
    static std::unique_ptr<SharedMemSysV> create(std::uint32_t size, int permissions = 0);
    // Attaches a segment that a peer announced; it must hold at least size bytes.
    static std::unique_ptr<SharedMemSysV> receive(int id, std::uint32_t size);
    ~SharedMemSysV() override;

    SharedMemDescription describe() const override;
    int id() const { return segmentId; }

    // Goes through the marker files: a marker whose segment is gone, or whose number now belongs
    // to another user's segment, is removed; a segment of this user that nobody has attached and
    // whose creating process is gone is removed with its marker. A segment whose creator still
    // runs is kept even when unattached: it may be between creating and attaching it.
    static void cleanStale();
    // "<profile directory>/shm/SysV".
    static DString markerDirectory();

private:
    SharedMemSysV(int id, std::uint32_t size, bool created);
    void writeMarker();
    void applyPermissions(int permissions);
    void attach();

    int segmentId;
    bool markerWritten = false;
};

} // namespace plat
