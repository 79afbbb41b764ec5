// The parent's side of the IPC log destination: asks a child for its log messages up to a level
// and hands each "logMsg" that arrives to a callback.
#pragma once

#include <io/MsgIpc.h>

namespace io {

class LogMsgReader : private MsgIpc::Reader {
public:
    class Callback {
    public:
        virtual ~Callback() = default;
        virtual void logMessage(int level, const char* source, const char* text) = 0;
    };

    // Reads "logMsg" from ipc; neither is owned.
    LogMsgReader(MsgIpc& ipc, Callback* callback);
    ~LogMsgReader() override;

    // Sends "setLogLevel": the child sends messages up to level from now on.
    void requestLevel(int level);

private:
    bool readMsg(const char* name, rdr::InStream& in, MsgIpc& ipc) override;
    void ipcDestroyed(MsgIpc&) override { ipc = nullptr; }

    MsgIpc* ipc;
    Callback* callback;
};

} // namespace io
