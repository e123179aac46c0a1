#pragma once
// The program's icon at each size built into it, as 32-bit ARGB pixels
// (0xAARRGGBB, row by row), generated at build time from its SVG.
namespace iconpixels {
struct Image {
    int size;
    const unsigned int *pixels;
};
extern const Image images[];
extern const int count;
} // namespace iconpixels
