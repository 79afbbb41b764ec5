// The child's side of the IPC log destination: the parent announces its level with
// "setLogLevel", and queued log messages go to it as "logMsg" messages, sent on the thread that
// created the channel whenever a logging thread wakes it.
#pragma once

#include <io/FdKicker.h>
#include <io/MsgIpc.h>
#include <plat/LogDestIpc.h>

namespace io {

class LogIpcChannel : public plat::LogDestIpc::Channel,
                      private MsgIpc::Reader,
                      private FdKickerCallback {
public:
    static constexpr int MaxSourceBytes = 255;
    static constexpr int MaxTextBytes = 1024;

    // Reads "setLogLevel" from ipc and attaches itself to the process's IPC log destination.
    // The calling thread's descriptor manager serves the channel.
    explicit LogIpcChannel(MsgIpc& ipc);
    // Detaches from the destination.
    ~LogIpcChannel() override;

    // Never blocks or throws: a message that would not fit in the output the parent has left
    // unread ends the channel with an error instead.
    void sendLogMessage(int level, const char* source, const char* text) override;
    void flushMessages() override;
    void wakeSender() override;

private:
    bool readMsg(const char* name, rdr::InStream& in, MsgIpc& ipc) override;
    void reset(MsgIpc& ipc) override;
    void ipcDestroyed(MsgIpc& ipc) override;
    void handleKick(FdKicker* kicker, rdr::InStream& in) override;

    MsgIpc* ipc;
    FdKicker kicker;
};

} // namespace io
