// Named messages between two processes: each message is a short name and a payload, carried in
// the frames of rdr::OutStreamV4 so that a reader never reads past its message and an unknown
// one is skipped whole. Reading is a resumable state machine for non-blocking connections.
#pragma once

#include <io/Ipc.h>
#include <plat/DString.h>
#include <rdr/FramedInStream.h>
#include <rdr/FramedOutStream.h>

#include <functional>
#include <map>
#include <string>

namespace io {

class MsgIpc : public IoAcceptor, private Ipc::Callback {
public:
    class Reader {
    public:
        virtual ~Reader() = default;
        // True when the whole message was consumed; false when more data is needed, and the call
        // is repeated from the start of the payload once it has arrived.
        virtual bool readMsg(const char* name, rdr::InStream& in, MsgIpc& ipc) = 0;
        // Once per distinct reader when a connection is attached or lost.
        virtual void reset(MsgIpc&) {}
        virtual void ipcDestroyed(MsgIpc&) {}
    };

    class Callback {
    public:
        virtual ~Callback() = default;
        virtual void disconnected(MsgIpc& ipc) = 0;
        // Whether the message may be sent (outgoing) or handed to its reader now.
        virtual bool msgAllowed(MsgIpc&, const char*, bool) { return true; }
        virtual void error(MsgIpc& ipc, const plat::Exception& failure) = 0;
    };

    static constexpr int MaxNameLength = 255;

    // blocking: the initial mode of the channel (see Ipc). discardLogging logs every message
    // written while unconnected.
    MsgIpc(Callback* callback, const char* name, bool blocking, bool discardLogging = false);
    // Tells every reader still registered ipcDestroyed(), then closes the channel.
    ~MsgIpc() override;

    // Several names may share one reader; the reader is not owned.
    void setReader(const char* name, Reader* reader);
    void removeReader(const char* name);
    void removeReader(Reader* reader);

    void setConnection(std::unique_ptr<Io> connection) override;
    bool isConnected() const { return channel.isConnected(); }

    // Starts a message; the caller writes the payload and calls endMsg(true) on the stream.
    // Raises when the callback does not allow it or the name is longer than 255 bytes.
    rdr::FramedOutStream& writeMsg(const char* name);

    // Reads and dispatches every message that has arrived completely.
    void processMessages();
    // Reads exactly one message, insisting on its name when one is given (a "badMsg" from the
    // peer is reported as well). Must be called between messages.
    void readMessage(const char* expectedName = nullptr);
    void readUntil(const char* name);
    // Reads messages until the peer ends the stream.
    void readAll();

    // Detaches the connection; if one was attached, resets the readers and tells the callback.
    void close();
    // Ends the channel with an error, as a failure while reading does.
    void fail(const plat::Exception& failure) { channel.fail(failure); }

    // Answer an unknown name with "badMsg" instead of logging it.
    void setReplyWithBadMsg(bool enabled) { replyWithBadMsg = enabled; }
    // Disconnect a peer whose unknown name shows it does not speak this protocol.
    void setCloseOnGarbage(bool enabled) { closeOnGarbage = enabled; }

    Ipc& ipc() { return channel; }
    const char* name() const { return channel.name(); }

private:
    using StateFn = bool (MsgIpc::*)();

    void process(Ipc&) override;
    void disconnected(Ipc&) override;
    void error(Ipc&, const plat::Exception& failure) override;

    bool startMsg();
    bool readName();
    bool dispatch();
    bool skip();
    // Runs one state; false when it needs more input.
    bool step();
    bool atStart() const { return stateFn == &MsgIpc::startMsg; }
    void skipAfterFailure();
    void pointStreamsAtChannel();
    void resetReaders();
    void forEachDistinctReader(const std::function<void(Reader*)>& call);
    void lostConnection();

    Ipc channel;
    Callback* callback;
    rdr::InStreamV4 framedIn;
    rdr::OutStreamV4 framedOut;
    StateFn stateFn = &MsgIpc::startMsg;
    std::map<std::string, Reader*, std::less<>> readers;
    Reader* currentReader = nullptr;
    plat::DString expectedName;
    plat::DString currentName;
    bool discardLogging;
    bool replyWithBadMsg = false;
    bool closeOnGarbage = true;
};

} // namespace io
