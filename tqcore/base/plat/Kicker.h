// A wake-up pair: a Kickee owns a pipe whose read end the woken thread's descriptor wait watches
// (io::KickeeHandler serves it); Kickers made from it rouse that thread with one byte each, from
// any thread, and harmlessly so once the Kickee is gone.
#pragma once

#include <plat/NonCopyable.h>
#include <plat/UniqueFd.h>

#include <memory>

namespace plat {

struct KickPipe;

class Kicker {
public:
    // Kicks nothing.
    Kicker() = default;

    // A full pipe drops the byte: the reader is woken anyway.
    void kick() const;

private:
    friend class Kickee;
    explicit Kicker(std::shared_ptr<KickPipe> pipe) : pipe(std::move(pipe)) {}

    std::shared_ptr<KickPipe> pipe;
};

class Kickee : NonCopyable {
public:
    // Both ends non-blocking and close-on-exec; raises plat::SystemException "pipe2".
    Kickee();
    // Kickers still about are cut off before the pipe closes, so that none writes into a
    // descriptor number that has been reused.
    ~Kickee();

    // The read end, to be watched for reading.
    int fd() const { return readEnd.get(); }
    // Discards the kicks that arrived; true when there was one.
    bool drain();
    Kicker kicker() const { return Kicker(pipe); }

private:
    UniqueFd readEnd;
    std::shared_ptr<KickPipe> pipe;
};

} // namespace plat
