// icongen: draws the built-in icons and writes them as PNG files into a directory.
//
//   icongen OUTPUT_DIR
//
// The status icons of the message box (96 x 96 RGBA, shown scaled down), the private-mode icon
// (97 x 98, palette with transparency) and the launcher's window icon (96 x 96 RGBA).
#include "Canvas.h"
#include "pngWriter.h"

#include <cstdio>
#include <exception>
#include <numbers>
#include <string>

namespace {

using namespace icongen;

constexpr double Pi = std::numbers::pi;

Colour rgb(unsigned value, double alpha = 1) {
    return {((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0,
            alpha};
}

const Paint White = solid(rgb(0xFFFFFF));

// A round badge with a darker rim, lit from above.
void badge(Canvas& canvas, unsigned rim, unsigned top, unsigned bottom) {
    canvas.fill(circle(48, 48, 45), solid(rgb(rim)));
    canvas.fill(circle(48, 48, 42.5), verticalGradient(6, rgb(top), 90, rgb(bottom)));
}

Canvas error() {
    Canvas canvas(96, 96);
    badge(canvas, 0x9E1A14, 0xE8524A, 0xB5231C);
    canvas.fill(unite(capsule(33, 33, 63, 63, 5.5), capsule(63, 33, 33, 63, 5.5)), White);
    return canvas;
}

Canvas warning() {
    Canvas canvas(96, 96);
    canvas.fill(roundedTriangle(48, 9, 89, 83, 7, 83, 7), solid(rgb(0xC28400)));
    canvas.fill(roundedTriangle(48, 12.5, 86, 81, 10, 81, 5),
                verticalGradient(10, rgb(0xFFD95C), 84, rgb(0xF2A900)));
    Paint ink = solid(rgb(0x3B2F00));
    canvas.fill(capsule(48, 36, 48, 58, 5), ink);
    canvas.fill(circle(48, 70.5, 5.5), ink);
    return canvas;
}

Canvas info() {
    Canvas canvas(96, 96);
    badge(canvas, 0x1A4F91, 0x559BE8, 0x1F5FAF);
    canvas.fill(circle(48, 27, 6.5), White);
    canvas.fill(capsule(48, 43, 48, 70, 5.5), White);
    return canvas;
}

Canvas question() {
    Canvas canvas(96, 96);
    badge(canvas, 0x1A4F91, 0x559BE8, 0x1F5FAF);
    // The hook runs clockwise from its left end over the top and ends below its right side.
    canvas.fill(arc(48, 36, 13, 10, Pi, 1.05), White);
    canvas.fill(capsule(54.5, 47.3, 48, 53, 5), White);
    canvas.fill(capsule(48, 53, 48, 57, 5), White);
    canvas.fill(circle(48, 70.5, 5.5), White);
    return canvas;
}

// Flat colours only, so that the anti-aliased result fits a palette.
Canvas privateMode() {
    Canvas canvas(97, 98, 4);
    Paint steel = solid(rgb(0x7D838C));
    canvas.fill(arc(48.5, 38, 18, 9, Pi, 2 * Pi), steel);
    canvas.fill(unite(capsule(30.5, 38, 30.5, 52, 4.5), capsule(66.5, 38, 66.5, 52, 4.5)), steel);
    canvas.fill(roundedRect(16, 46, 81, 92, 9), solid(rgb(0xA8741A)));
    canvas.fill(roundedRect(19, 49, 78, 89, 6.5), solid(rgb(0xE8AE2E)));
    Paint hole = solid(rgb(0x5A3D0A));
    canvas.fill(unite(circle(48.5, 63, 6.5), capsule(48.5, 63, 48.5, 78, 3)), hole);
    return canvas;
}

Canvas launcher() {
    Canvas canvas(96, 96);
    canvas.fill(roundedRect(5, 5, 91, 91, 19), solid(rgb(0x163766)));
    canvas.fill(roundedRect(7.5, 7.5, 88.5, 88.5, 17),
                verticalGradient(8, rgb(0x3A7CC4), 88, rgb(0x1D4A86)));
    canvas.fill(roundedTriangle(39, 29, 39, 67, 70, 48, 4), White);
    return canvas;
}

void writeRgba(const std::string& directory, const char* name, const Canvas& canvas) {
    writeRgbaPng(directory + "/" + name, canvas.width(), canvas.height(), canvas.rgba());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icongen OUTPUT_DIR\n");
        return 2;
    }
    std::string directory = argv[1];
    try {
        writeRgba(directory, "statusError@2x.png", error());
        writeRgba(directory, "statusWarning@2x.png", warning());
        writeRgba(directory, "statusInfo@2x.png", info());
        writeRgba(directory, "statusQuestion@2x.png", question());
        Canvas padlock = privateMode();
        writePalettePng(directory + "/statusPrivate@2x.png", padlock.width(), padlock.height(),
                        padlock.rgba());
        writeRgba(directory, "qvserverLauncher@2x.png", launcher());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "icongen: %s\n", e.what());
        return 1;
    }
    return 0;
}
