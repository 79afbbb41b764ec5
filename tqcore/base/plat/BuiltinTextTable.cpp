// The process-wide list of built-in text tables.
#include <plat/BuiltinTextTable.h>

#include <cstring>
#include <mutex>

namespace plat {

namespace {

class TableList {
public:
    // Never destroyed, like the tables it lists.
    static TableList& instance() {
        static TableList* list = new TableList;
        return *list;
    }

    void add(std::span<const BuiltinText> table) {
        BuiltinTextReceiver* current;
        {
            std::lock_guard lock(mutex);
            tables.push_back(table);
            current = receiver;
        }
        // Outside the lock: the receiver takes locks of its own, and may look tables up.
        if (current)
            current->receive(table);
    }

    void setReceiver(BuiltinTextReceiver& newReceiver) {
        std::vector<std::span<const BuiltinText>> earlier;
        {
            std::lock_guard lock(mutex);
            receiver = &newReceiver;
            earlier = tables;
        }
        // A table that registers from here on is handed over by add(), so none comes twice.
        for (std::span<const BuiltinText> table : earlier)
            newReceiver.receive(table);
    }

    std::vector<std::span<const BuiltinText>> copy() {
        std::lock_guard lock(mutex);
        return tables;
    }

private:
    std::mutex mutex;
    std::vector<std::span<const BuiltinText>> tables;
    BuiltinTextReceiver* receiver = nullptr;
};

} // namespace

BuiltinTextTable::BuiltinTextTable(const BuiltinText* texts, std::size_t count)
    : table(texts, count) {
    TableList::instance().add(table);
}

std::vector<std::span<const BuiltinText>> BuiltinTextTable::all() {
    return TableList::instance().copy();
}

void BuiltinTextTable::setReceiver(BuiltinTextReceiver& receiver) {
    TableList::instance().setReceiver(receiver);
}

const char* BuiltinTextTable::english(const char* key) {
    for (std::span<const BuiltinText> table : all()) {
        for (const BuiltinText& text : table) {
            if (std::strcmp(text.key, key) == 0)
                return text.en;
        }
    }
    return nullptr;
}

} // namespace plat
