// encode-ogg: encodes a WAVE file as Ogg Vorbis with libvorbisenc. The same
// input gives the same bytes: the stream serial number is fixed and nothing
// depends on the clock.
#include "ArgumentReader.h"
#include "ToolMain.h"
#include "UsageError.h"
#include "WavFile.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSerialNumber = 0x51756f72; // "Quor"
constexpr size_t kBlock = 4096;

const char* kHelp =
    "usage: encode-ogg IN.wav OUT.ogg [QUALITY]\n"
    "Encodes IN.wav (16-bit or float, any rate and channel count) as Ogg\n"
    "Vorbis at QUALITY (-0.1 to 1.0, default 0.6) into OUT.ogg.\n"
    "\n"
    "  -h, --help  this text\n"
    "  --version   the version\n"
    "\n"
    "Exit codes: 0 done, 1 failure, 2 usage.\n";

void writePage(std::ofstream& out, const ogg_page& page)
{
    out.write(reinterpret_cast<const char*>(page.header), page.header_len);
    out.write(reinterpret_cast<const char*>(page.body), page.body_len);
}

int run(const std::vector<std::string>& arguments)
{
    std::vector<std::string> operands;
    for (ArgumentReader args(arguments); args.next();)
        operands.push_back(args.operand());
    if (operands.size() < 2 || operands.size() > 3)
        throw UsageError("needs an input WAVE file, an output file and at most a quality");
    const float quality =
        operands.size() == 3 ? float(ArgumentReader::number("the quality", operands[2], -0.1, 1.0)) : 0.6f;
    const std::string& inPath = operands[0];
    const std::string& outPath = operands[1];
    Audio audio = readWav(inPath);
    std::ofstream out(outPath, std::ios::binary);
    if (!out)
        throw std::runtime_error(outPath + ": cannot write");

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, audio.channels, audio.sampleRate, quality) != 0)
        throw std::runtime_error(inPath + ": libvorbisenc cannot encode this rate and channel count");
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", "Duskwalk");
    vorbis_comment_add_tag(&comment, "ARTIST", "Quorvane");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, kSerialNumber);

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        writePage(out, page);

    const size_t frames = audio.frames();
    size_t done = 0;
    int lastReported = -1;
    bool finished = false;
    while (!finished) {
        size_t n = std::min(kBlock, frames - done);
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0); // end of stream
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, int(n));
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < audio.channels; ++c)
                    buffer[c][i] = audio.samples[(done + i) * size_t(audio.channels) + size_t(c)];
            vorbis_analysis_wrote(&dsp, int(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    writePage(out, page);
                    if (ogg_page_eos(&page))
                        finished = true;
                }
            }
        }
        int percent = frames ? int(100 * done / frames) : 100;
        if (percent / 25 != lastReported) {
            lastReported = percent / 25;
            std::fprintf(stderr, "encode-ogg: %d%%\n", percent);
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    out.close();
    if (!out)
        throw std::runtime_error(outPath + ": cannot write");
    return ToolMain::kSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    return ToolMain("encode-ogg", kHelp).run(argc, argv, run);
}
