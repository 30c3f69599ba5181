// Reading Ogg Vorbis files into floats with libvorbisfile: how the tools
// and tests hear the track the show plays. Encoding is encode-ogg's.
#pragma once

#include "WavFile.h"

#include <string>

// The Ogg Vorbis file at `path` decoded to interleaved floats. Throws
// std::runtime_error naming the file when it does not open or decode.
Audio readOgg(const std::string& path);
