// "logMsg" carries a 32-bit big-endian level, then the source and the text as 32-bit-length
// strings of at most 255 and 1024 bytes, each cut on a character boundary.
#include <io/LogIpcChannel.h>

#include <plat/fixedText.h>
#include <rdr/OutStream.h>

#include <cstring>

namespace io {

namespace {

constexpr const char* SetLogLevelName = "setLogLevel";
constexpr const char* LogMsgName = "logMsg";
// Frame headers and the name of one message, with room to spare.
constexpr int MessageOverhead = 64;

} // namespace

LogIpcChannel::LogIpcChannel(MsgIpc& ipc) : ipc(&ipc), kicker(this) {
    ipc.setReader(SetLogLevelName, this);
    plat::LogDestIpc::instance().attach(this);
}

LogIpcChannel::~LogIpcChannel() {
    plat::LogDestIpc::instance().attach(nullptr);
    if (ipc)
        ipc->removeReader(this);
}

void LogIpcChannel::sendLogMessage(int level, const char* source, const char* text) {
    if (!ipc || !ipc->isConnected())
        return;
    char sourceBytes[MaxSourceBytes + 1] = {};
    plat::boundedAppend(sourceBytes, sizeof sourceBytes, source);
    char textBytes[MaxTextBytes + 1] = {};
    plat::boundedAppend(textBytes, sizeof textBytes, text);
    int size = MessageOverhead + int(std::strlen(sourceBytes) + std::strlen(textBytes));
    try {
        // A full output stream would wait for the parent to read.
        if (ipc->ipc().out().spaceLeft() < size)
            throw plat::Exception("LogIpcChannel: the parent reads no log messages");
        rdr::FramedOutStream& out = ipc->writeMsg(LogMsgName);
        out.writeU32(std::uint32_t(level));
        out.writeString32(sourceBytes);
        out.writeString32(textBytes);
        out.endMsg(false);
    } catch (plat::Exception& e) {
        ipc->fail(e);
    }
}

void LogIpcChannel::flushMessages() {
    if (!ipc || !ipc->isConnected())
        return;
    try {
        ipc->ipc().out().flush();
    } catch (plat::Exception& e) {
        ipc->fail(e);
    }
}

void LogIpcChannel::wakeSender() {
    kicker.kick();
}

bool LogIpcChannel::readMsg(const char*, rdr::InStream& in, MsgIpc&) {
    int level = int(in.readU32());
    plat::LogDestIpc::instance().setPeerLevel(level);
    return true;
}

// A new or lost connection waits for its peer's level again; messages queue meanwhile.
void LogIpcChannel::reset(MsgIpc&) {
    plat::LogDestIpc::instance().attach(this);
}

void LogIpcChannel::ipcDestroyed(MsgIpc&) {
    plat::LogDestIpc::instance().attach(nullptr);
    ipc = nullptr;
}

// The bytes only wake; the checkpoint keeps the stream from returning to them.
void LogIpcChannel::handleKick(FdKicker*, rdr::InStream& in) {
    do {
        in.skip(in.nUnread());
        in.setCheckpoint();
    } while (in.check(1, false));
    plat::LogDestIpc::instance().flush();
}

} // namespace io
