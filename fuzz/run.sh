#!/usr/bin/env bash
# Runs each fuzz target briefly on a freshly generated seed corpus; fails on the first crash,
# sanitizer report, leak or time-out. Usage: fuzz/run.sh <build-dir> <seconds-per-target>
# The build directory must be configured with clang and -DQV_BUILD_FUZZ=ON.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 <build-dir> <seconds-per-target>" >&2
    exit 2
fi
build_dir=$(cd "$1" && pwd)
seconds=$2
work=$(mktemp -d /tmp/qv-fuzz-XXXXXX)
trap 'rm -rf "$work"' EXIT

cmake --build "$build_dir" --target fuzz_instream_v4 fuzz_zlib_instream fuzz_iso8601 \
    fuzz_xml_parser fuzz_markup fuzz_po_parser fuzz_config_file fuzz_config_xml fuzz_png_file \
    fuzz_font_kbxbm fuzz_region fuzz_pixel_format fuzz_endpoint

# Seeds for gzip inflation: byte 0 selects gzip (odd) or zlib (even) and the buffer size.
seed_gzip() {
    local dir=$work/corpus-zlib
    mkdir -p "$dir"
    local text=$work/sample.txt
    for i in $(seq 1 400); do echo "line $i of the sample text for the fuzzer"; done > "$text"
    gzip -9 -c "$text" > "$work/named.gz"           # name flag set: compressing a file
    gzip -9 -n -c < "$text" > "$work/plain.gz"      # no name
    { printf '\001'; cat "$work/named.gz"; } > "$dir/named"
    { printf '\003'; cat "$work/plain.gz"; } > "$dir/plain"
    # Every optional header field: extra (5 bytes), name, comment, header CRC.
    { printf '\005\037\213\010\036\000\000\000\000\000\003\005\000EXTRAname\000comment\000\253\315'
      tail -c +11 "$work/plain.gz"; } > "$dir/all-flags"
    printf '\001\037\214\010\000' > "$dir/bad-magic"
    { printf '\001'; head -c 40 "$work/plain.gz"; } > "$dir/truncated"
}

# Seeds for framed messages: byte 0 seeds the piece sizes, then 2-byte headers and payloads.
seed_v4() {
    local dir=$work/corpus-v4
    mkdir -p "$dir"
    printf '\007\000\003\000\001\002\200\002\003\004' > "$dir/two-frames"
    printf '\011\000\000\200\003abc\200\000' > "$dir/empty-middle-frame"
    printf '\013\200\011\001\000\000\000\005hello\200\006\002\003line\n' > "$dir/string-and-line"
    printf '\015\200\100ab' > "$dir/frame-longer-than-data"
}

# Seeds for ISO 8601 time stamps: every zone form, fractions, leap day and second, and near misses.
seed_iso8601() {
    local dir=$work/corpus-iso8601
    mkdir -p "$dir"
    printf '2024-03-10T14:05:09' > "$dir/plain"
    printf '2024-03-10T14:05:09.5+01:00' > "$dir/fraction-and-offset"
    printf '2024-02-29T23:59:60Z' > "$dir/leap-day-and-second"
    printf '0001-01-01T00:00:00.999999999999-0130' > "$dir/earliest-long-fraction"
    printf '9999-12-31T23:59:59+14' > "$dir/latest-short-offset"
    printf '2023-02-29T00:00:00-00:00' > "$dir/invalid-day-minus-zero"
}

# Seeds for XML documents: a configuration dump, every skipped construct, the other encodings,
# and broken ones. Byte 0 chooses whether "config" is the expected root (odd: yes).
seed_xml() {
    local dir=$work/corpus-xml
    mkdir -p "$dir"
    printf '\001<?xml version="1.0"?>\n<config>\n<int    name="A"\n        description="d &amp; &lt;x&gt;"\n        advanced="false"\n        min="0"\n        max="10">\n    <value data="3" priority="0"/>\n</int>\n<enum   name="E" locDesc="k">\n    <opt data="a"/>\n</enum>\n</config>\n' > "$dir/config-dump"
    printf '\000<?xml version="1.0"?><!DOCTYPE r [<!ENTITY e "x>y">]><!-- c --><r a=\x27&#x41;&quot;\x27><?pi x?><![CDATA[<raw>&]]>t&#228;<e/></r>' > "$dir/constructs"
    printf '\000<?xml version="1.0" encoding="ISO-8859-1"?><r>\344\366</r>' > "$dir/latin1"
    printf '\000<?xml version="1.0" encoding="shift-jis"?><r v="\223\372">\226\173</r>' > "$dir/shift-jis"
    printf '\001<?xml version="1.0"?><r><a><b></a></r' > "$dir/broken"
    printf '\000Zm9vYmFy\nZg==' > "$dir/base64"
}

# Seeds for markup: byte 0 is the layout width in steps of four pixels.
seed_markup() {
    local dir=$work/corpus-markup
    mkdir -p "$dir"
    printf '\040plain text that wraps over several lines of the layout' > "$dir/plain"
    printf '\060<div style="text-align:center;padding-left:2">A <b>bold</b> <i>and <u>under</u></i></div><div>x<br/>y</div>' > "$dir/paragraphs"
    printf '\020<span style="font-size:150%%;color:red;background-color:#FFFFFF">big</span> <a href="https://example.com">link</a><a href="t"></a>' > "$dir/styles"
    printf '\001<font color="blue" size="90">\303\244\303\266 longwordlongwordlongword</font>' > "$dir/narrow"
    printf '\100<p>unexpected</p>' > "$dir/invalid"
}

# Seeds for translation files: entries with continuations, contexts, plurals and fuzzy flags, every
# escape, and lines that fail.
seed_po() {
    local dir=$work/corpus-po
    mkdir -p "$dir"
    printf 'msgid ""\nmsgstr ""\n"Content-Type: text/plain; charset=UTF-8\\n"\n\n#: a.cpp:1\nmsgid "key"\nmsgstr "Text "\n"weiter"\n\nmsgid "b"\nmsgstr "B"\nmsgid "c"\nmsgstr "\303\234ber"\n' > "$dir/entries"
    printf 'msgctxt "menu"\nmsgid "open"\nmsgstr "\303\226ffnen"\n\nmsgid "file"\nmsgid_plural "files"\nmsgstr[0] "Datei"\nmsgstr[1] "Dateien"\n\n#, fuzzy\nmsgid "f"\nmsgstr "F"\n#~ msgid "old"\n' > "$dir/context-plural-fuzzy"
    printf 'msgid "e"\nmsgstr "\\"\\x27\\?\\\\\\a\\b\\f\\n\\r\\t\\v\\101\\x42"\n  msgid "i"\n\tmsgstr\t"I"' > "$dir/escapes-indent"
    printf 'msgstr "x"\n"y"\nmsgid x"a"\nmsgid "a" \nmsgid "a\\q"\nmsgid "a\\\nmsgid "a\nmsgid\nmsgid "a"\nmsgid "b"\nmsgstr "\377"\nmsgstr "c"\nmsgstr "d"\n' > "$dir/errors"
}

# Seeds for configuration files: every parameter class and the alias, escapes, CR LF line ends,
# lines without "=", blanks around "=", bad UTF-8 and unknown names.
seed_config_file() {
    local dir=$work/corpus-config-file
    mkdir -p "$dir"
    printf 'Flag=on\nCount=0x10\nMode=AUTO\nText=a\\nb\\\\c\\qd\nBig=int64:0000000000000001\nKey=00ff\n' > "$dir/every-class"
    printf 'Both=1\r\nflag\r\n  Count = 7 \r\nText=\\\n\nUnknown=1\nCount=999\n' > "$dir/alias-crlf-blanks"
    printf 'Text=\303\n=value\nText=\377\376\nMode\nKey=xyz\nBig=0102030405060708\n' > "$dir/refused-and-bad-utf8"
}

# Seeds for XML configuration documents: a written configuration with every class, existing
# parameters under their own and another class, and broken elements.
seed_config_xml() {
    local dir=$work/corpus-config-xml
    mkdir -p "$dir"
    printf '<?xml version="1.0"?>\n<config>\n<bool   name="Flag"\n        description="Flag."\n        advanced="false">\n    <value data="1" priority="10"/>\n</bool>\n<int    name="Count"\n        locDesc="plat_param_log_keep_days"\n        advanced="true"\n        flags="noPolicy"\n        min="-100"\n        max="100">\n    <value data="5" priority="0"/>\n    <value data="9" priority="40"/>\n</int>\n<enum   name="Extra"\n        description="E &amp; &lt;x&gt;"\n        advanced="false"\n        min="0"\n        max="1">\n    <value data="b" priority="0"/>\n    <opt data="a"/>\n    <opt data="b"/>\n</enum>\n<binary name="Key" description="K" advanced="true">\n    <value data="&lt;binary&gt;" priority="0"/>\n</binary>\n<s64    name="Big" description="B" advanced="false">\n    <value data="int64:00000000000000ff" priority="10"/>\n</s64>\n<string name="Other" description="O" advanced="false">\n    <value data="x" priority="10"/>\n</string>\n</config>\n' > "$dir/every-class"
    printf '<config><INT name="mode" description="d"/><Enum name="Mode" description="d"><opt data="on"/><value data="OFF" priority="10"/></Enum></config>' > "$dir/existing"
    printf '<config><enum name="E"/><int name="R" min="5" max="1"/><bool/><float name="F"/><int name="B" min="x" max="9"><value data="99" priority="0"/><value priority="1"/></int></config>' > "$dir/broken"
}

resources=$(cd "$(dirname "$0")/../tqcore/base/tqutil/resources" && pwd)

# Seeds for PNG decoding: the built-in icons (RGBA and palette with transparency).
seed_png() {
    local dir=$work/corpus-png
    mkdir -p "$dir"
    cp "$resources"/*.png "$dir/"
}

# Seeds for bitmap fonts: byte 0 is the mode (bit 0 gzip, bit 1 16 bpp, alignments above), bytes
# 1-2 the font's length, then the font, then the text drawn with it.
font_seed() { # font_seed <mode> <font file> <seed name>
    local length
    length=$(stat -c %s "$2")
    { printf '%b' "\\0$(printf %o "$1")\\0$(printf %o $((length >> 8)))\\0$(printf %o $((length & 255)))"
      cat "$2"
      printf 'Wrapped text, tabs\tand\nline feeds: W\303\266rter \342\202\254 \320\226 \342\200\246 \377 end'
    } > "$work/corpus-font/$3"
}
seed_font() {
    mkdir -p "$work/corpus-font"
    font_seed 1 "$resources/helv15.gz" gzip-helv15
    font_seed 23 "$resources/helvB16.gz" gzip-helvB16-centred
    gzip -dc "$resources/helvB15.gz" > "$work/helvB15.raw"
    font_seed 2 "$work/helvB15.raw" raw-helvB15-16bpp
}

# Seeds for regions: byte 0 the translation, byte 1 the alignment, byte 2 the tiles, then
# rectangles as four coordinate choices each (low nibbles), 0xFF between the two lists.
seed_region() {
    local dir=$work/corpus-region
    mkdir -p "$dir"
    printf '\005\042\017\006\006\011\011\007\007\012\012\377\010\010\013\013' > "$dir/overlapping"
    printf '\010\021\044\000\001\017\003\002\002\016\016\377\001\000\017\017' > "$dir/beyond-range"
    printf '\000\377\003\006\006\007\007\007\006\010\007\006\007\007\010' > "$dir/touching"
    # Read as a wire form: an unsorted, overlapping list.
    printf '\000\003\000\000\000\000\000\012\000\012\000\005\000\005\000\012\000\012\000\000\000\000\000\006\000\006' > "$dir/wire"
}

# Seeds for pixel formats: the 16-byte record, then pixel bytes.
seed_pixel_format() {
    local dir=$work/corpus-pixel-format
    mkdir -p "$dir"
    local pixels='\001\043\105\147\211\253\315\357\376\334\272\230\166\124\062\020\377\000\200\177\100\300\020\360\017\361\002\375\111\222\044\333'
    printf "\040\030\000\001\000\377\000\377\000\377\020\010\000\000\000\000$pixels" > "$dir/rgb888"
    printf "\040\040\001\001\000\377\000\377\000\377\000\010\020\030\000\377$pixels" > "$dir/rgba-big-endian"
    printf "\020\020\001\001\000\037\000\077\000\037\013\005\000\000\000\000$pixels" > "$dir/rgb565-big-endian"
    printf "\010\010\000\000\000\000\000\000\000\000\000\000\000\000\000\000$pixels" > "$dir/pal8"
    printf "\030\030\000\001\000\377\000\377\000\377\000\010\020\000\000\000$pixels" > "$dir/bgr-24bpp"
    printf "\040\020\000\001\000\000\000\377\000\377\040\010\000\377\000\000$pixels" > "$dir/zero-max-beyond"
}

# Seeds for endpoints: byte 0 is the context (bits 0-1 base port, 2 display range, 3 no port
# wanted); the rest is the text.
seed_endpoint() {
    local dir=$work/corpus-endpoint
    mkdir -p "$dir"
    printf '\005host:1' > "$dir/display"
    printf '\004[::1]::5900' > "$dir/bracketed-literal-port"
    printf '\000h%%C3%%A4st%%2Fx%%3A%%00' > "$dir/escapes"
    printf '\010[fe80::1%%25eth0]' > "$dir/no-port-wanted"
    printf '\001a+b%%20c%%zz:4294967297' > "$dir/bad-port-and-escape"
}

run_target() {
    local target=$1 corpus=$2
    local binary=$build_dir/fuzz/$target
    mkdir -p "$work/artifacts-$target"
    echo "== $target for ${seconds}s"
    if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts-$target/" "$corpus" > "$work/$target.log" 2>&1; then
        tail -n 60 "$work/$target.log" >&2
        local keep=/tmp/qv-fuzz-artifacts-$target
        rm -rf "$keep"
        cp -r "$work/artifacts-$target" "$keep"
        echo "FAILED: $target (reproducers kept in $keep)" >&2
        return 1
    fi
    grep -E '^stat::number_of_executed_units|^Done' "$work/$target.log" || true
}

seed_gzip
seed_v4
seed_iso8601
seed_xml
seed_markup
seed_po
seed_config_file
seed_config_xml
seed_png
seed_font
seed_region
seed_pixel_format
seed_endpoint
status=0
run_target fuzz_zlib_instream "$work/corpus-zlib" || status=1
run_target fuzz_instream_v4 "$work/corpus-v4" || status=1
run_target fuzz_iso8601 "$work/corpus-iso8601" || status=1
run_target fuzz_xml_parser "$work/corpus-xml" || status=1
run_target fuzz_markup "$work/corpus-markup" || status=1
run_target fuzz_po_parser "$work/corpus-po" || status=1
run_target fuzz_config_file "$work/corpus-config-file" || status=1
run_target fuzz_config_xml "$work/corpus-config-xml" || status=1
run_target fuzz_png_file "$work/corpus-png" || status=1
run_target fuzz_font_kbxbm "$work/corpus-font" || status=1
run_target fuzz_region "$work/corpus-region" || status=1
run_target fuzz_pixel_format "$work/corpus-pixel-format" || status=1
run_target fuzz_endpoint "$work/corpus-endpoint" || status=1
exit $status
