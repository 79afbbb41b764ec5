// Collecting printed output in memory.
#include "printedText.h"

#include <cstdlib>

namespace testsupport {

std::string printedText(const std::function<void(FILE*)>& print) {
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    print(out);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

} // namespace testsupport
