// Small media files that kerbo-pack writes itself, for the templates of
// `kerbo-pack new`: pictures as PNG (8-bit RGB, no transparency, DEFLATE
// stored blocks), sounds as WAV (8-bit PCM) and video clips as AVI
// (uncompressed 24-bit frames). Each is made from a number so that the
// questions of a template get different media.
#pragma once

#include <cstdint>
#include <vector>

struct Rgb {
    unsigned char red, green, blue;
};

// A width x height picture: a disc of colour disc on a background of colour
// ground.
std::vector<unsigned char> makeDiscPng(int width, int height, Rgb ground, Rgb disc);

// A mono 8-bit PCM WAV at 8000 Hz: a tone of the given frequency for the
// given number of milliseconds.
std::vector<unsigned char> makeToneWav(int frequency, int milliseconds);

// An AVI of frameCount uncompressed frames (width x height, 24 bits, 5 frames
// a second): a disc of colour disc crossing a background of colour ground.
std::vector<unsigned char> makeDiscAvi(int width, int height, int frameCount, Rgb ground, Rgb disc);
