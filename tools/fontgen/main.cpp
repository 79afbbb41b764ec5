// kbxfontgen: turns BDF fonts into one gzip-compressed font file of the program's own format.
//
//   kbxfontgen [--ascent N] OUTPUT MAIN.bdf [EXTRA.bdf KEY[,KEY...]]...
//
// MAIN.bdf gives the descent, the default glyph and every page it has glyphs in; each EXTRA.bdf
// gives the pages whose first code points are listed (hexadecimal, multiples of 0x80). --ascent
// replaces the main font's ascent; glyphs keep their baseline, so a larger ascent moves them down.
#include "BdfFont.h"
#include "KbxFontWriter.h"

#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

fontgen::BdfFont readFont(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    return fontgen::BdfFont::read(in, path);
}

std::vector<std::uint32_t> parseKeys(const std::string& list) {
    std::vector<std::uint32_t> keys;
    std::istringstream in(list);
    std::string item;
    while (std::getline(in, item, ','))
        keys.push_back(std::uint32_t(std::stoul(item, nullptr, 16)));
    return keys;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

int run(std::vector<std::string> args) {
    int ascent = -1;
    if (args.size() >= 2 && args[0] == "--ascent") {
        ascent = std::stoi(args[1]);
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() < 2 || args.size() % 2 != 0) {
        std::fprintf(stderr,
                     "usage: kbxfontgen [--ascent N] OUTPUT MAIN.bdf [EXTRA.bdf KEY,...]...\n");
        return 2;
    }
    // A deque, so that the writer's references stay valid as fonts are added.
    std::deque<fontgen::BdfFont> fonts;
    fonts.push_back(readFont(args[1]));
    const fontgen::BdfFont& main = fonts.front();
    fontgen::KbxFontWriter writer(ascent >= 0 ? ascent : main.ascent, main.descent,
                                  main.defaultGlyph());
    for (std::uint32_t key : main.pages())
        writer.addPage(key, main);
    for (std::size_t i = 2; i < args.size(); i += 2) {
        fonts.push_back(readFont(args[i]));
        for (std::uint32_t key : parseKeys(args[i + 1]))
            writer.addPage(key, fonts.back());
    }
    writeFile(args[0], fontgen::gzipBytes(writer.bytes()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kbxfontgen: %s\n", e.what());
        return 1;
    }
}
