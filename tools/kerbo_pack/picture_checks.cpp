// Whether the player can show each picture and play each clip of a quiz.
//
// A PNG is decoded and converted by the player's own decoder. A JPEG or GIF
// is shown by the system's picture decoder, which kerbo-pack does not have:
// their structure is walked instead, up to their end (JPEG: markers and
// segment lengths up to EOI, the entropy-coded data after SOS skipped; GIF:
// header, screen descriptor, colour tables, extension and image blocks, and
// the trailer). Every walker stays inside its buffer whatever the bytes say.
// A clip is judged on its first bytes as the player judges them, and then on
// what the file really is.
#include <cstring>
#include <string>
#include <vector>

#include "media/clip_type.h"
#include "tools/kerbo_pack/icon_file.h"
#include "tools/kerbo_pack/player_png.h"
#include "tools/kerbo_pack/quiz_checks.h"
#include "tools/kerbo_pack/quiz_media.h"
#include "tools/kerbo_pack/tool_files.h"

namespace {

typedef std::vector<unsigned char> Bytes;

unsigned readBigEndian16(const Bytes& b, size_t at) { return (b[at] << 8) | b[at + 1]; }
uint32_t readBigEndian32(const Bytes& b, size_t at) {
    return (static_cast<uint32_t>(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

// ---- JPEG ----

bool isStartOfFrame(unsigned m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

// Empty when the structure holds, else what is wrong with it.
std::string jpegFault(const Bytes& b) {
    size_t at = 2;  // after SOI
    bool frame = false, scan = false;
    while (true) {
        if (at >= b.size()) return "it is cut short before its end marker (EOI)";
        if (b[at] != 0xFF) return "a marker is expected at byte " + std::to_string(at);
        while (at < b.size() && b[at] == 0xFF) ++at;  // fill bytes
        if (at >= b.size()) return "it is cut short before its end marker (EOI)";
        const unsigned marker = b[at++];
        if (marker == 0xD9) {
            if (!frame) return "it has no frame header (SOF)";
            if (!scan) return "it has no image data (SOS)";
            return std::string();
        }
        if (marker == 0x00 || marker == 0xD8) return "a stray marker at byte " + std::to_string(at - 1);
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
        if (at + 2 > b.size()) return "it is cut short in a segment header";
        const unsigned length = readBigEndian16(b, at);
        if (length < 2) return "a segment at byte " + std::to_string(at - 2) + " has a length below 2";
        if (at + length > b.size()) return "it is cut short inside a segment";
        if (isStartOfFrame(marker)) frame = true;
        at += length;
        if (marker == 0xDA) {
            if (!frame) return "its image data (SOS) comes before a frame header (SOF)";
            scan = true;
            // Entropy-coded data: up to the next marker that is neither a
            // stuffed zero nor a restart marker.
            while (true) {
                while (at < b.size() && b[at] != 0xFF) ++at;
                if (at + 1 >= b.size()) return "it is cut short inside its image data, before EOI";
                const unsigned next = b[at + 1];
                if (next == 0x00 || next == 0xFF || (next >= 0xD0 && next <= 0xD7)) {
                    at += next == 0xFF ? 1 : 2;
                    continue;
                }
                break;
            }
        }
    }
}

// ---- GIF ----

// Skips data sub-blocks up to their zero terminator; false past the end.
bool skipSubBlocks(const Bytes& b, size_t* at) {
    while (*at < b.size()) {
        const size_t size = b[*at];
        *at += 1;
        if (size == 0) return true;
        if (b.size() - *at < size) return false;
        *at += size;
    }
    return false;
}

std::string gifFault(const Bytes& b) {
    if (b.size() < 13) return "it is cut short in its screen descriptor";
    size_t at = 13;
    if (b[10] & 0x80) at += 3u << ((b[10] & 7) + 1);  // global colour table
    if (at > b.size()) return "it is cut short in its colour table";
    int images = 0;
    const std::string cut = "it is cut short before its trailer (3B)";
    while (true) {
        if (at >= b.size()) return cut;
        const unsigned block = b[at++];
        if (block == 0x3B) return images > 0 ? std::string() : "it holds no image";
        if (block == 0x21) {
            if (at >= b.size()) return cut;
            ++at;  // label
            if (!skipSubBlocks(b, &at)) return cut;
        } else if (block == 0x2C) {
            if (b.size() - at < 9) return cut;
            const unsigned width = b[at + 4] | (b[at + 5] << 8), height = b[at + 6] | (b[at + 7] << 8);
            if (width == 0 || height == 0) return "an image of it has a zero side";
            const unsigned packed = b[at + 8];
            at += 9;
            if (packed & 0x80) at += 3u << ((packed & 7) + 1);  // local colour table
            if (at >= b.size()) return cut;
            const unsigned minimumCodeSize = b[at++];
            if (minimumCodeSize < 2 || minimumCodeSize > 8)
                return "an image of it has a code size of " + std::to_string(minimumCodeSize) + " (2 to 8)";
            if (!skipSubBlocks(b, &at)) return cut;
            ++images;
        } else {
            return "an unknown block (" + std::to_string(block) + ") at byte " + std::to_string(at - 1);
        }
    }
}

// ---- PNG transparency ----

bool pngHasTrnsChunk(const Bytes& b);

// A tRNS chunk, a grey-with-alpha picture, or an RGBA picture with a pixel
// that is not opaque (its converted bits are B, G, R, A).
const char* pngTransparency(const Bytes& b, const PlayerPng& png) {
    if (png.colourType == 4) return "an alpha channel";
    if (png.colourType == 6) {
        for (size_t i = 3; i < png.bits.size(); i += 4) {
            if (png.bits[i] != 0xFF) return "an alpha channel";
        }
        return nullptr;
    }
    return pngHasTrnsChunk(b) ? "a tRNS chunk" : nullptr;
}

bool pngHasTrnsChunk(const Bytes& b) {
    size_t at = 8;
    while (b.size() - at >= 12 && at < b.size()) {
        const uint32_t length = readBigEndian32(b, at);
        if (std::memcmp(&b[at + 4], "tRNS", 4) == 0) return true;
        if (std::memcmp(&b[at + 4], "IEND", 4) == 0 || b.size() - at - 12 < length) return false;
        at += 12 + static_cast<size_t>(length);
    }
    return false;
}

// ---- Clips ----

// What a clip file really is, from its signature.
const char* realClipFormat(const Bytes& b) {
    auto at = [&](size_t offset, const char* text) {
        const size_t n = std::strlen(text);
        return b.size() >= offset + n && std::memcmp(&b[offset], text, n) == 0;
    };
    static const unsigned char asf[8] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11};
    if (at(0, "RIFF") && at(8, "WAVE")) return "WAV";
    if (at(0, "RIFF") && at(8, "AVI ")) return "AVI";
    if (at(0, "ID3")) return "MP3";
    if (b.size() >= 2 && b[0] == 0xFF && (b[1] & 0xE0) == 0xE0) return "MP3";  // an untagged MPEG audio frame
    if (b.size() >= 8 && std::memcmp(b.data(), asf, 8) == 0) return "WMV";
    if (b.size() >= 4 && b[0] == 0 && b[1] == 0 && b[2] == 1 && (b[3] == 0xBA || b[3] == 0xB3)) return "MPG";
    if (at(4, "ftyp")) return "M4A";  // or another MP4 file
    if (at(0, "OggS")) return "OGG";
    if (at(0, "fLaC")) return "FLAC";
    return nullptr;
}

const char kClipFormats[] = "WAV, MP3 with an ID3 tag, AVI, MPEG (.mpg) or WMV";

bool readMedia(const std::string& directory, const MediaReference& media, const std::string& key, Bytes* bytes,
               Diagnostics* out) {
    std::string error;
    if (!readWholeFile(resolvePath(directory, media.path), bytes, &error)) {
        out->error(media.line, key + ": cannot read '" + media.path + "': " + error);
        return false;
    }
    if (bytes->empty()) {
        out->error(media.line, key + ": '" + media.path + "' is empty");
        return false;
    }
    return true;
}

}  // namespace

void checkPictureBytes(const Bytes& bytes, const MediaReference& picture, const std::string& key, Diagnostics* out) {
    const std::string what = key + ": '" + picture.path + "'";
    std::string fault;
    switch (pictureFormat(bytes.data(), static_cast<uint32_t>(bytes.size()))) {
        case PictureUnknown:
            out->error(picture.line, what + " is not a JPEG, GIF or PNG file; convert it to one of them");
            return;
        case PictureJpeg: fault = jpegFault(bytes); break;
        case PictureGif: fault = gifFault(bytes); break;
        case PicturePng: {
            PlayerPng png;
            if (!decodePngLikePlayer(bytes, true, &png, &fault)) {
                out->error(picture.line, what + ": " + fault + "; save it again as a plain PNG");
                return;
            }
            if (const char* transparency = pngTransparency(bytes, png)) {
                out->warning(picture.line, what + " has transparency (" + transparency +
                                               "): the player ignores it and shows each transparent pixel in the "
                                               "colour stored in it, often black; flatten the picture onto a "
                                               "background colour");
            }
            return;
        }
    }
    if (!fault.empty()) out->error(picture.line, what + " is broken: " + fault + "; save it again");
}

void checkClipBytes(const Bytes& bytes, const MediaReference& clip, Diagnostics* out) {
    const std::string stored = sniffClipType(bytes.data(), static_cast<uint32_t>(bytes.size()));
    const char* real = realClipFormat(bytes);
    if (real && stored == real) return;
    std::string what = "clip: '" + clip.path + "' is ";
    what += real ? std::string(std::strchr("AMO", real[0]) ? "an " : "a ") + real + " file" : "not a known clip";
    if (stored == "XXX") {
        what += ", which the player does not recognise";
    } else {
        what += ", which the player would store as ." + stored + " and not play";
    }
    out->error(clip.line, what + "; convert it to " + kClipFormats);
}

void checkQuizMedia(const QuizDescription& quiz, const std::string& directory, Diagnostics* out) {
    Bytes icon;
    if (!quiz.icon.path.empty() && readMedia(directory, quiz.icon, "icon", &icon, out)) {
        std::vector<IconImage> images;
        std::string reason;
        if (!parseIconFile(icon.data(), static_cast<uint32_t>(icon.size()), &images, &reason))
            out->error(quiz.icon.line, "icon: '" + quiz.icon.path + "': " + reason);
    }
    for (const QuestionDescription& q : quiz.questions) {
        Bytes bytes;
        if (!q.picture.path.empty() && readMedia(directory, q.picture, "picture", &bytes, out))
            checkPictureBytes(bytes, q.picture, "picture", out);
        if (!q.solvedPicture.path.empty() && readMedia(directory, q.solvedPicture, "solved-picture", &bytes, out))
            checkPictureBytes(bytes, q.solvedPicture, "solved-picture", out);
        if (!q.clip.path.empty() && readMedia(directory, q.clip, "clip", &bytes, out)) checkClipBytes(bytes, q.clip, out);
    }
}
