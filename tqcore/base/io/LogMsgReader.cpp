// Decoding "logMsg": a hostile length is refused by the string reader before anything is
// allocated for it.
#include <io/LogMsgReader.h>

#include <io/LogIpcChannel.h>

namespace io {

LogMsgReader::LogMsgReader(MsgIpc& ipc, Callback* callback) : ipc(&ipc), callback(callback) {
    ipc.setReader("logMsg", this);
}

LogMsgReader::~LogMsgReader() {
    if (ipc)
        ipc->removeReader(this);
}

void LogMsgReader::requestLevel(int level) {
    if (!ipc)
        return;
    rdr::FramedOutStream& out = ipc->writeMsg("setLogLevel");
    out.writeU32(std::uint32_t(level));
    out.endMsg(true);
}

bool LogMsgReader::readMsg(const char*, rdr::InStream& in, MsgIpc&) {
    int level = int(in.readU32());
    plat::DString source = in.readString32(LogIpcChannel::MaxSourceBytes, true);
    plat::DString text = in.readString32(LogIpcChannel::MaxTextBytes, true);
    callback->logMessage(level, source.c_str(), text.c_str());
    return true;
}

} // namespace io
