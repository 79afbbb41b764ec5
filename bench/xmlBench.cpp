// XML parsing throughput on a generated 1 MiB configuration dump, measured against a minimal
// single-pass scanner that walks the same text and only counts tags, attributes and text bytes.
// The ratio (scanner time / parser time) is printed after the run.
#include <xml/Parser.h>

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t DocumentBytes = 1 << 20;

void appendEntry(std::string& out, int index) {
    char entry[1024];
    switch (index % 3) {
    case 0:
        std::snprintf(entry, sizeof entry,
                      "<int    name=\"Parameter%d\"\n"
                      "        description=\"Number of things &amp; stuff for case %d\"\n"
                      "        advanced=\"false\"\n"
                      "        min=\"0\"\n"
                      "        max=\"%d\">\n"
                      "    <value data=\"%d\" priority=\"0\"/>\n"
                      "    <value data=\"%d\" priority=\"10\"/>\n"
                      "</int>\n",
                      index, index, index * 10, index % 7, index % 5);
        break;
    case 1:
        std::snprintf(entry, sizeof entry,
                      "<string name=\"Path%d\"\n"
                      "        description=\"Where the &lt;%d&gt; files live\"\n"
                      "        advanced=\"true\">\n"
                      "    <value data=\"/home/user/.kbx/dir%d\" priority=\"0\"/>\n"
                      "</string>\n",
                      index, index, index);
        break;
    default:
        std::snprintf(entry, sizeof entry,
                      "<enum   name=\"Mode%d\"\n"
                      "        locDesc=\"plat_mode_%d\"\n"
                      "        advanced=\"false\"\n"
                      "        flags=\"noPolicy\">\n"
                      "    <value data=\"fast\" priority=\"0\"/>\n"
                      "    <opt data=\"fast\"/>\n"
                      "    <opt data=\"safe\"/>\n"
                      "</enum>\n",
                      index, index);
    }
    out += entry;
}

const std::string& configurationDump() {
    static const std::string document = [] {
        std::string text = "<?xml version=\"1.0\"?>\n<config>\n";
        for (int index = 0; text.size() < DocumentBytes - 16; ++index)
            appendEntry(text, index);
        text += "</config>\n";
        return text;
    }();
    return document;
}

struct Counts {
    long tags = 0;
    long attributes = 0;
    long textBytes = 0;
};

// The reference: one pass, no tree, no decoding.
Counts scan(const std::string& text) {
    Counts counts;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        if (*p != '<') {
            ++counts.textBytes;
            ++p;
            continue;
        }
        if (p[1] == '?' || p[1] == '/') {
            p = static_cast<const char*>(std::memchr(p, '>', std::size_t(end - p))) + 1;
            continue;
        }
        ++counts.tags;
        char quote = '\0';
        for (++p; p < end && (quote || *p != '>'); ++p) {
            if (quote) {
                quote = *p == quote ? '\0' : quote;
            } else if (*p == '"' || *p == '\'') {
                quote = *p;
            } else if (*p == '=') {
                ++counts.attributes;
            }
        }
        ++p;
    }
    return counts;
}

void countTree(const xml::Node& element, Counts& counts) {
    ++counts.tags;
    counts.attributes += long(element.attributes().size());
    for (const xml::Node& child : element.children()) {
        if (child.kind() == xml::Node::Element)
            countTree(child, counts);
        else
            counts.textBytes += long(child.value().size());
    }
}

// Both sides must see the same document, or the ratio means nothing.
void checkAgreement() {
    xml::Status status;
    std::optional<xml::Node> root = xml::Parser::parse(configurationDump(), status, "config");
    Counts scanned = scan(configurationDump());
    Counts parsed;
    if (root)
        countTree(*root, parsed);
    if (!root || parsed.tags != scanned.tags || parsed.attributes != scanned.attributes) {
        std::fprintf(stderr, "parser and scanner disagree: %s\n", status.message.c_str());
        std::exit(1);
    }
}

void BM_XmlParseConfigDump(benchmark::State& state) {
    const std::string& document = configurationDump();
    for (auto _ : state) {
        xml::Status status;
        std::optional<xml::Node> root = xml::Parser::parse(document, status, "config");
        benchmark::DoNotOptimize(root);
    }
    state.SetBytesProcessed(state.iterations() * long(document.size()));
}

void BM_XmlParseConfigDump_Reference(benchmark::State& state) {
    const std::string& document = configurationDump();
    for (auto _ : state) {
        Counts counts = scan(document);
        benchmark::DoNotOptimize(counts);
    }
    state.SetBytesProcessed(state.iterations() * long(document.size()));
}

BENCHMARK(BM_XmlParseConfigDump)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlParseConfigDump_Reference)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    checkAgreement();
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nParsing against the counting scanner:\n");
    reporter.printRatio("BM_XmlParseConfigDump", std::nullopt);
    benchmark::Shutdown();
    return 0;
}
