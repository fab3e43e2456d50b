// What kind of file a clip is, judged from its first bytes, and the name of
// the file it is written to for playing.
#pragma once

#include <cstdint>

// The clip kinds of the two media quizzes; they choose the failure message.
enum ClipKind { ClipKindAudio = 1, ClipKindVideo = 2 };

// The three-letter upper-case extension of a clip: "WAV", "MP3", "AVI",
// "WMV", "MPG", or "XXX" when the type is not recognised. Only bytes 0, 1
// and 8 are looked at; a byte beyond size never matches, so a short clip is
// judged on the bytes it has. bytes may be null when size is 0.
const char* sniffClipType(const unsigned char* bytes, uint32_t size);

// Writes "<directory>kerbo<resourceId>.<extension>" into buffer. Returns
// false, leaving an empty text, when the name does not fit in capacity - 1
// characters: a cut name would be a different file.
bool clipFileName(char* buffer, int capacity, const char* directory, int resourceId,
                  const char* extension);
