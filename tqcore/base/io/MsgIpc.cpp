// Writing named messages, and the reading state machine: start of message, name, dispatch to the
// reader, skip of what the reader left. Every completed step sets a checkpoint, so that a step
// that runs out of input is repeated from there when more arrives.
#include <io/MsgIpc.h>

#include <plat/Log.h>
#include <rdr/Exception.h>

#include <cstring>
#include <set>

namespace io {

namespace {

plat::LogSrc ipcLog("Ipc");

constexpr const char* BadMsgName = "badMsg";

// A name that starts below 'A' (a digit, a control byte, an empty name) is not this protocol.
bool looksLikeGarbage(const char* name) {
    return static_cast<unsigned char>(name[0]) < 65;
}

} // namespace

MsgIpc::MsgIpc(Callback* callback, const char* name, bool blocking, bool discardLogging)
    : channel(this, name, blocking), callback(callback), framedIn(nullptr),
      framedOut(&channel.out()), discardLogging(discardLogging) {}

MsgIpc::~MsgIpc() {
    std::set<Reader*> remaining;
    for (const auto& [name, reader] : readers)
        remaining.insert(reader);
    readers.clear();
    currentReader = nullptr;
    for (Reader* reader : remaining)
        reader->ipcDestroyed(*this);
    channel.close();
}

void MsgIpc::setReader(const char* name, Reader* reader) {
    readers.insert_or_assign(std::string(name), reader);
}

void MsgIpc::removeReader(const char* name) {
    auto found = readers.find(name);
    if (found == readers.end())
        return;
    if (found->second == currentReader && !std::strcmp(name, currentName.c_str()))
        currentReader = nullptr;
    readers.erase(found);
}

void MsgIpc::removeReader(Reader* reader) {
    std::erase_if(readers, [reader](const auto& entry) { return entry.second == reader; });
    if (currentReader == reader)
        currentReader = nullptr;
}

void MsgIpc::setConnection(std::unique_ptr<Io> connection) {
    channel.setConnection(std::move(connection));
    pointStreamsAtChannel();
    stateFn = &MsgIpc::startMsg;
    resetReaders();
}

void MsgIpc::pointStreamsAtChannel() {
    framedIn.setUnderlying(channel.in());
    framedOut.setUnderlying(&channel.out());
}

void MsgIpc::forEachDistinctReader(const std::function<void(Reader*)>& call) {
    std::set<Reader*> distinct;
    for (const auto& [name, reader] : readers)
        distinct.insert(reader);
    for (Reader* reader : distinct)
        call(reader);
}

void MsgIpc::resetReaders() {
    forEachDistinctReader([this](Reader* reader) { reader->reset(*this); });
}

rdr::FramedOutStream& MsgIpc::writeMsg(const char* messageName) {
    if (callback && !callback->msgAllowed(*this, messageName, true)) {
        ipcLog.status("%s: Message '%s' not currently allowed", name(), messageName);
        throw plat::Exception("MsgIpc::writeMsg: Message not currently allowed");
    }
    // The length goes out as one byte: a longer name would wrap around and desynchronise the peer.
    std::size_t length = std::strlen(messageName);
    if (length > std::size_t(MaxNameLength))
        throw plat::Exception("MsgIpc::writeMsg: Message name longer than 255 bytes");
    if (discardLogging && !isConnected())
        ipcLog.debug("%s: Discarding message '%s'", name(), messageName);
    framedOut.startMsg();
    framedOut.writeU8(std::uint8_t(length));
    framedOut.writeBytes(messageName, int(length));
    return framedOut;
}

void MsgIpc::processMessages() {
    while (isConnected() && step()) {
    }
}

bool MsgIpc::step() {
    PLAT_ASSERT(stateFn);
    bool completed = false;
    try {
        completed = (this->*stateFn)();
    } catch (rdr::BlockException&) {
    }
    if (!isConnected())
        return false;
    if (!completed) {
        if (framedIn.inMsg())
            framedIn.rewind();
        return false;
    }
    framedIn.setCheckpoint();
    return true;
}

bool MsgIpc::startMsg() {
    if (!framedIn.startMsg(false))
        return false;
    stateFn = &MsgIpc::readName;
    return true;
}

bool MsgIpc::readName() {
    currentName = framedIn.readString8(true);
    const char* messageName = currentName.c_str();
    bool isBadMsg = !std::strcmp(messageName, BadMsgName);
    if (!expectedName.isNull() && std::strcmp(messageName, expectedName.c_str()) && !isBadMsg)
        throw plat::ExceptionFmt("MsgIpc: expected message %s, got %s", expectedName.c_str(),
                                 messageName);
    auto found = readers.find(messageName);
    if (found != readers.end()) {
        currentReader = found->second;
        stateFn = &MsgIpc::dispatch;
        return true;
    }
    if (isBadMsg) {
        plat::DString reported = framedIn.readString8(true);
        ipcLog.status("%s: Peer reports bad msg name '%s'", name(), reported.c_str());
        throw plat::ExceptionFmt("MsgIpc: expected message %s, peer reports bad msg name '%s'",
                                 expectedName.isNull() ? "<null>" : expectedName.c_str(),
                                 reported.c_str());
    }
    if (replyWithBadMsg) {
        writeMsg(BadMsgName).writeString8(messageName);
        framedOut.endMsg(true);
        stateFn = &MsgIpc::skip;
        return true;
    }
    ipcLog.status("%s: Bad msg name '%s'", name(), messageName);
    // The close takes the input away: there is nothing left to skip.
    if (closeOnGarbage && looksLikeGarbage(messageName)) {
        close();
        return false;
    }
    stateFn = &MsgIpc::skip;
    return true;
}

bool MsgIpc::dispatch() {
    const char* messageName = currentName.c_str();
    if (!currentReader) {
        stateFn = &MsgIpc::skip;
        return true;
    }
    if (callback && !callback->msgAllowed(*this, messageName, false)) {
        ipcLog.status("%s: Message '%s' not currently allowed", name(), messageName);
        stateFn = &MsgIpc::skip;
        return true;
    }
    if (!currentReader->readMsg(messageName, framedIn, *this))
        return false;
    // A reader that closed the channel has left nothing to skip.
    if (isConnected())
        stateFn = &MsgIpc::skip;
    return true;
}

bool MsgIpc::skip() {
    if (framedIn.inMsg()) {
        framedIn.skipMsg();
        framedIn.endMsg();
    }
    stateFn = &MsgIpc::startMsg;
    return true;
}

void MsgIpc::readMessage(const char* expected) {
    if (!atStart())
        throw plat::Exception("MsgIpc::readMessage: not in state startMsg");
    if (expected)
        expectedName.assign(expected);
    else
        expectedName.reset();
    try {
        do {
            if (!isConnected())
                throw rdr::EndOfStream("MsgIpc: not connected");
            if (!step() && isConnected())
                throw plat::Exception("MsgIpc::readMessage: message incomplete");
        } while (!atStart());
    } catch (plat::Exception& e) {
        ipcLog.status("%s: %s", name(), e.message());
        skipAfterFailure();
        stateFn = &MsgIpc::startMsg;
        expectedName.reset();
        throw;
    }
    expectedName.reset();
}

void MsgIpc::skipAfterFailure() {
    if (!isConnected() || !framedIn.inMsg())
        return;
    try {
        framedIn.skipMsg();
        framedIn.endMsg();
    } catch (plat::Exception& e) {
        ipcLog.error("%s: skip error: %s", name(), e.message());
        framedIn.setUnderlying(channel.in());
    }
}

void MsgIpc::readUntil(const char* messageName) {
    do {
        readMessage();
    } while (std::strcmp(currentName.c_str(), messageName));
}

void MsgIpc::readAll() {
    try {
        for (;;)
            readMessage();
    } catch (rdr::EndOfStream&) {
    }
}

void MsgIpc::close() {
    if (!channel.close())
        return;
    lostConnection();
}

void MsgIpc::lostConnection() {
    pointStreamsAtChannel();
    stateFn = &MsgIpc::startMsg;
    currentReader = nullptr;
    resetReaders();
    if (callback)
        callback->disconnected(*this);
}

void MsgIpc::process(Ipc&) {
    processMessages();
}

void MsgIpc::disconnected(Ipc&) {
    lostConnection();
}

void MsgIpc::error(Ipc&, const plat::Exception& failure) {
    if (callback)
        callback->error(*this, failure);
}

} // namespace io
