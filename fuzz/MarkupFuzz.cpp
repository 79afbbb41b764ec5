// Fuzz target: parsing markup, stripping it and laying it out.
//
// Input: byte 0 sets the layout width, the rest is the markup. Escaped text must always parse and
// strip back to itself.
#include <plat/Log.h>
#include <plat/Markup.h>
#include <plat/MarkupLayout.h>
#include <plat/MarkupParserHtml.h>
#include <plat/MarkupStripper.h>
#include <plat/utf8.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

// Characters are as wide as their size in tenths; checks that fragments stay inside their run.
class MeasuringCallback : public plat::Markup::Layout::Callback {
public:
    double scale() override { return 1.5; }
    int paragraphSpacing() override { return 3; }
    void setStyle(const plat::Markup::Style& style) override { size = style.size; }
    int textWidth(const char*, int length) override { return length * (size / 10 + 1); }
    int lineHeight() override { return size / 10; }
    void addFragment(const plat::Markup::Layout::Fragment& fragment) override {
        if (fragment.length <= 0 || std::memchr(fragment.text, '\0', size_t(fragment.length)))
            __builtin_trap();
    }

private:
    int size = 120;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Invalid markup is logged; the fuzzer produces mostly that.
    plat::setLogOverride("");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1 << 16))
        return 0;
    std::string markup(reinterpret_cast<const char*>(data + 1), size - 1);
    plat::Markup::ParserHtml parser;

    plat::Markup::Stripper stripper;
    parser.render(markup.c_str(), stripper);
    MeasuringCallback callback;
    plat::Markup::Layout layout(callback, data[0] * 4);
    parser.render(markup.c_str(), layout);

    plat::DString escaped = plat::Markup::escape(markup.c_str());
    plat::Markup::Stripper plain;
    if (!parser.render(escaped.c_str(), plain))
        __builtin_trap();
    plat::DString expected = plat::sanitiseUtf8(markup.c_str());
    if (std::strcmp(plain.c_str(), expected.c_str()) != 0)
        __builtin_trap();
    return 0;
}
