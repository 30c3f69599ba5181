#include "OggFile.h"

#include <vorbis/vorbisfile.h>

#include <stdexcept>
#include <string>

Audio readOgg(const std::string& path)
{
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0)
        throw std::runtime_error(path + ": not an Ogg Vorbis file");
    // Opened, a chained file stands at its last link: read from the first.
    if (ov_seekable(&file) && ov_pcm_seek(&file, 0) != 0) {
        ov_clear(&file);
        throw std::runtime_error(path + ": the Ogg Vorbis stream is damaged");
    }
    const vorbis_info* info = ov_info(&file, 0);
    Audio audio;
    audio.sampleRate = int(info->rate);
    audio.channels = info->channels;
    // The length the stream claims is only a hint: its last granule
    // position may say anything.
    const ogg_int64_t total = ov_pcm_total(&file, -1);
    if (total > 0 && total <= ogg_int64_t(kMaxSampleRate) * 3600)
        audio.samples.reserve(size_t(total) * size_t(audio.channels));
    int section = 0;
    long frames = 0;
    float** pcm = nullptr;
    std::string fault;
    while (fault.empty() && (frames = ov_read_float(&file, &pcm, 4096, &section)) > 0) {
        // A chained stream may change its channels or rate from one link to
        // the next; the samples are read as the first link's.
        const vorbis_info* link = ov_info(&file, section);
        if (link->channels != audio.channels || link->rate != info->rate) {
            const auto sound = [](int channels, long rate) {
                return std::to_string(channels) + (channels == 1 ? " channel at " : " channels at ")
                    + std::to_string(rate) + " Hz";
            };
            fault = path + ": link " + std::to_string(section + 1) + " of the Ogg stream has "
                + sound(link->channels, link->rate) + ", where the first has " + sound(info->channels, info->rate);
            break;
        }
        for (long i = 0; i < frames; ++i)
            for (int c = 0; c < audio.channels; ++c)
                audio.samples.push_back(pcm[c][i]);
    }
    ov_clear(&file);
    if (!fault.empty())
        throw std::runtime_error(fault);
    if (frames < 0)
        throw std::runtime_error(path + ": the Ogg Vorbis stream is damaged");
    return audio;
}
