#include "OggFile.h"

#include <vorbis/vorbisfile.h>

#include <stdexcept>

Audio readOgg(const std::string& path)
{
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0)
        throw std::runtime_error(path + ": not an Ogg Vorbis file");
    const vorbis_info* info = ov_info(&file, -1);
    Audio audio;
    audio.sampleRate = int(info->rate);
    audio.channels = info->channels;
    const ogg_int64_t total = ov_pcm_total(&file, -1);
    if (total > 0)
        audio.samples.reserve(size_t(total) * size_t(audio.channels));
    int section = 0;
    long frames = 0;
    float** pcm = nullptr;
    while ((frames = ov_read_float(&file, &pcm, 4096, &section)) > 0)
        for (long i = 0; i < frames; ++i)
            for (int c = 0; c < audio.channels; ++c)
                audio.samples.push_back(pcm[c][i]);
    ov_clear(&file);
    if (frames < 0)
        throw std::runtime_error(path + ": the Ogg Vorbis stream is damaged");
    return audio;
}
