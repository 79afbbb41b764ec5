// Descriptor I/O costs, each against a hand-written reference in the same run: message IPC round
// trips of 64-byte messages between two threads and one-way 4 KiB messages against raw write and
// read loops of the same frames, and the descriptor manager's dispatch of 1000 ready descriptors
// and of 1 ready among 1000 against a plain poll loop calling the same handler (targets: at
// least 0.7 of the reference's throughput).
#include <io/FdIo.h>
#include <io/MsgIpc.h>
#include <io/PollFdManager.h>

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int SmallPayload = 64;
constexpr int LargePayload = 4096;
constexpr int OneWayBatch = 256;
constexpr int DispatchPairs = 500;

struct SocketPair {
    int ends[2];
    SocketPair() {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            throw std::runtime_error("socketpair");
    }
    ~SocketPair() {
        for (int end : ends)
            if (end >= 0)
                ::close(end);
    }
    int take(int index) { return std::exchange(ends[index], -1); }
};

// The bytes io::MsgIpc puts on the wire for one message: a last-frame header, the name and the
// payload.
std::string frameOf(const std::string& name, int payloadBytes) {
    std::size_t body = 1 + name.size() + std::size_t(payloadBytes);
    std::string frame{char(0x80 | body >> 8), char(body), char(name.size())};
    return frame + name + std::string(std::size_t(payloadBytes), 'p');
}

void writeFully(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written <= 0)
            throw std::runtime_error("write");
        data += written;
        size -= std::size_t(written);
    }
}

void readFully(int fd, char* data, std::size_t size) {
    while (size > 0) {
        ssize_t got = ::read(fd, data, size);
        if (got <= 0)
            throw std::runtime_error("read");
        data += got;
        size -= std::size_t(got);
    }
}

class NoCallback : public io::MsgIpc::Callback {
public:
    void disconnected(io::MsgIpc&) override { gone = true; }
    void error(io::MsgIpc&, const plat::Exception&) override {}
    std::atomic<bool> gone{false};
};

// Serves one channel on its own thread until the peer hangs up.
class PeerThread {
public:
    template <typename Setup>
    explicit PeerThread(int fd, Setup setup) {
        thread = std::thread([fd, setup] {
            io::PollFdManager manager;
            NoCallback callback;
            io::MsgIpc ipc(&callback, "peer", false);
            ipc.setConnection(std::make_unique<io::FdIo>(fd));
            auto reader = setup(ipc);
            while (!callback.gone)
                manager.wait(-1);
            ipc.removeReader(reader.get());
        });
    }
    ~PeerThread() { thread.join(); }

private:
    std::thread thread;
};

// Round trips ---------------------------------------------------------------------------------

// Answers every "Ping" with a "Pong" carrying the same payload.
class Echo : public io::MsgIpc::Reader {
public:
    bool readMsg(const char*, rdr::InStream& in, io::MsgIpc& ipc) override {
        const void* payload = in.readBytes(buffer, SmallPayload);
        rdr::FramedOutStream& out = ipc.writeMsg("Pong");
        out.writeBytes(payload, SmallPayload);
        out.endMsg(true);
        return true;
    }

private:
    char buffer[SmallPayload];
};

class Counter : public io::MsgIpc::Reader {
public:
    explicit Counter(int payloadBytes) : payloadBytes(payloadBytes) {}
    bool readMsg(const char*, rdr::InStream& in, io::MsgIpc&) override {
        benchmark::DoNotOptimize(in.readBytes(buffer.data(), payloadBytes));
        ++count;
        return true;
    }
    long count = 0;

private:
    int payloadBytes;
    std::vector<char> buffer = std::vector<char>(std::size_t(payloadBytes));
};

void BM_MsgIpcRoundTrip64(benchmark::State& state) {
    SocketPair pair;
    {
        PeerThread peer(pair.take(1), [](io::MsgIpc& ipc) {
            auto echo = std::make_unique<Echo>();
            ipc.setReader("Ping", echo.get());
            return echo;
        });
        io::PollFdManager manager;
        NoCallback callback;
        io::MsgIpc ipc(&callback, "bench", false);
        Counter pongs(SmallPayload);
        ipc.setReader("Pong", &pongs);
        ipc.setConnection(std::make_unique<io::FdIo>(pair.take(0)));
        char payload[SmallPayload] = {};
        for (auto _ : state) {
            long expected = pongs.count + 1;
            rdr::FramedOutStream& out = ipc.writeMsg("Ping");
            out.writeBytes(payload, SmallPayload);
            out.endMsg(true);
            while (pongs.count < expected)
                manager.wait(-1);
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_MsgIpcRoundTrip64_Reference(benchmark::State& state) {
    SocketPair pair;
    const std::string ping = frameOf("Ping", SmallPayload);
    const std::string pong = frameOf("Pong", SmallPayload);
    int peerFd = pair.take(1);
    std::thread peer([&] {
        std::string frame(ping.size(), '\0');
        while (::read(peerFd, frame.data(), 1) == 1) {
            readFully(peerFd, frame.data() + 1, frame.size() - 1);
            writeFully(peerFd, pong.data(), pong.size());
        }
        ::close(peerFd);
    });
    std::string reply(pong.size(), '\0');
    for (auto _ : state) {
        writeFully(pair.ends[0], ping.data(), ping.size());
        readFully(pair.ends[0], reply.data(), reply.size());
    }
    ::close(pair.take(0));
    peer.join();
    state.SetItemsProcessed(state.iterations());
}

// One way --------------------------------------------------------------------------------------

// Counts "Data" messages and answers each full batch with "Ack".
class BatchReceiver : public io::MsgIpc::Reader {
public:
    bool readMsg(const char*, rdr::InStream& in, io::MsgIpc& ipc) override {
        benchmark::DoNotOptimize(in.readBytes(buffer, LargePayload));
        if (++count % OneWayBatch == 0)
            ipc.writeMsg("Ack").endMsg(true);
        return true;
    }

private:
    char buffer[LargePayload];
    long count = 0;
};

void BM_MsgIpcOneWay4K(benchmark::State& state) {
    SocketPair pair;
    {
        PeerThread peer(pair.take(1), [](io::MsgIpc& ipc) {
            auto receiver = std::make_unique<BatchReceiver>();
            ipc.setReader("Data", receiver.get());
            return receiver;
        });
        NoCallback callback;
        io::MsgIpc ipc(&callback, "bench", true);
        Counter acks(0);
        ipc.setReader("Ack", &acks);
        ipc.setConnection(std::make_unique<io::FdIo>(pair.take(0)));
        std::vector<char> payload(LargePayload, 'p');
        for (auto _ : state) {
            for (int i = 0; i < OneWayBatch; ++i) {
                rdr::FramedOutStream& out = ipc.writeMsg("Data");
                out.writeBytes(payload.data(), LargePayload);
                out.endMsg(false);
            }
            ipc.ipc().out().flush();
            ipc.readMessage("Ack");
        }
    }
    state.SetBytesProcessed(state.iterations() * OneWayBatch * LargePayload);
}

void BM_MsgIpcOneWay4K_Reference(benchmark::State& state) {
    SocketPair pair;
    const std::string data = frameOf("Data", LargePayload);
    const std::string ack = frameOf("Ack", 0);
    int peerFd = pair.take(1);
    std::thread peer([&] {
        std::string frame(data.size(), '\0');
        for (long count = 1; ::read(peerFd, frame.data(), 1) == 1; ++count) {
            readFully(peerFd, frame.data() + 1, frame.size() - 1);
            if (count % OneWayBatch == 0)
                writeFully(peerFd, ack.data(), ack.size());
        }
        ::close(peerFd);
    });
    std::string reply(ack.size(), '\0');
    for (auto _ : state) {
        for (int i = 0; i < OneWayBatch; ++i)
            writeFully(pair.ends[0], data.data(), data.size());
        readFully(pair.ends[0], reply.data(), reply.size());
    }
    ::close(pair.take(0));
    peer.join();
    state.SetBytesProcessed(state.iterations() * OneWayBatch * LargePayload);
}

// Dispatch -------------------------------------------------------------------------------------

// Reads nothing, so a ready descriptor stays ready.
class CountingHandler : public io::FdHandler {
public:
    explicit CountingHandler(int fd) : FdHandler(fd, false) {}
    void handleRead() override { ++calls; }
    long calls = 0;
};

// 500 socket pairs, both ends watched for reading; a byte written into one end makes the other
// readable, ready times.
class DispatchSet {
public:
    explicit DispatchSet(int ready) : pairs(DispatchPairs) {
        for (SocketPair& pair : pairs)
            for (int end : pair.ends)
                handlers.push_back(std::make_unique<CountingHandler>(end));
        for (int k = 0; k < ready; ++k)
            writeFully(pairs[std::size_t(k / 2)].ends[k % 2], "x", 1);
    }
    long calls() const {
        long total = 0;
        for (const auto& handler : handlers)
            total += handler->calls;
        return total;
    }

    std::vector<SocketPair> pairs;
    std::vector<std::unique_ptr<CountingHandler>> handlers;
};

void dispatchWithManager(benchmark::State& state, int ready) {
    io::PollFdManager manager;
    DispatchSet set(ready);
    for (const auto& handler : set.handlers) {
        manager.add(handler.get(), true);
        manager.setInterest(handler.get(), true, false);
    }
    for (auto _ : state)
        manager.wait(0);
    for (const auto& handler : set.handlers)
        manager.add(handler.get(), false);
    if (set.calls() != state.iterations() * ready)
        state.SkipWithError("wrong number of calls");
}

void dispatchWithPollLoop(benchmark::State& state, int ready) {
    DispatchSet set(ready);
    std::vector<pollfd> watched;
    for (const auto& handler : set.handlers)
        watched.push_back({handler->getFd(), POLLIN, 0});
    for (auto _ : state) {
        int ready = ::poll(watched.data(), nfds_t(watched.size()), 0);
        for (std::size_t i = 0; i < watched.size() && ready > 0; ++i)
            if (watched[i].revents & POLLIN) {
                --ready;
                io::FdHandler* handler = set.handlers[i].get();
                handler->handleRead();
            }
    }
    if (set.calls() != state.iterations() * ready)
        state.SkipWithError("wrong number of calls");
}

void BM_DispatchThousandReady(benchmark::State& state) {
    dispatchWithManager(state, 2 * DispatchPairs);
}

void BM_DispatchThousandReady_Reference(benchmark::State& state) {
    dispatchWithPollLoop(state, 2 * DispatchPairs);
}

void BM_DispatchOneOfThousand(benchmark::State& state) {
    dispatchWithManager(state, 1);
}

void BM_DispatchOneOfThousand_Reference(benchmark::State& state) {
    dispatchWithPollLoop(state, 1);
}

BENCHMARK(BM_MsgIpcRoundTrip64)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_MsgIpcRoundTrip64_Reference)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_MsgIpcOneWay4K)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MsgIpcOneWay4K_Reference)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DispatchThousandReady)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DispatchThousandReady_Reference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DispatchOneOfThousand)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DispatchOneOfThousand_Reference)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runAndPrintRatios(argc, argv,
                                    {{"BM_MsgIpcRoundTrip64", 0.7},
                                     {"BM_MsgIpcOneWay4K", 0.7},
                                     {"BM_DispatchThousandReady", 0.7},
                                     {"BM_DispatchOneOfThousand", 0.7}});
}
