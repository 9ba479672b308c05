#include "audio/support/audio_fixtures.h"

#include "support/child_process.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace tellavine::testing {
namespace {

void require(const std::string& command) {
    const RunResult made = runShell(command);
    if (!made.succeeded()) throw std::runtime_error("fixture command failed: " + command + "\n" + made.output);
}

}  // namespace

void makeToneWav(const std::string& path, const ToneSpec& tone) {
    std::ostringstream command;
    command << "sox -n -r " << tone.sampleRate << " -c " << tone.channels << " -b " << tone.bits << " "
            << (tone.encoding.empty() ? "" : "-e " + tone.encoding + " ")
            << shellQuoted(path) << " synth " << tone.seconds << " sine " << tone.frequency << " vol 0.5";
    require(command.str());
}

void addListChunk(const std::string& wavPath, const std::string& outPath) {
    const std::string command = "ffmpeg -v error -y -i " + shellQuoted(wavPath) +
                                " -metadata title=Tone -c:a pcm_s16le " + shellQuoted(outPath);
    require(command);
}

void makeMp3(const std::string& wavPath, const std::string& mp3Path, const std::string& lameOptions) {
    const std::string command = "lame --quiet " + lameOptions + " " + shellQuoted(wavPath) + " " + shellQuoted(mp3Path);
    require(command);
}

ProbedStream probeAudio(const std::string& path) {
    const std::string output = shellOutput("ffprobe -v error -select_streams a:0 -show_entries "
                                       "stream=codec_name,sample_rate,channels,bit_rate -of default=nw=1 " +
                                       shellQuoted(path));
    ProbedStream stream;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "codec_name") stream.codec = value;
        if (key == "sample_rate") stream.sampleRate = std::atoi(value.c_str());
        if (key == "channels") stream.channels = std::atoi(value.c_str());
        if (key == "bit_rate") stream.bitRate = std::atol(value.c_str());
    }
    return stream;
}

std::vector<std::int16_t> decodeWithFfmpeg(const std::string& path) {
    const std::string raw = shellOutput("ffmpeg -v error -i " + shellQuoted(path) + " -f s16le -acodec pcm_s16le -");
    std::vector<std::int16_t> samples(raw.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto low = static_cast<std::uint8_t>(raw[2 * i]);
        const auto high = static_cast<std::uint8_t>(raw[2 * i + 1]);
        samples[i] = static_cast<std::int16_t>(low | (high << 8));
    }
    return samples;
}

double toneFrequency(const std::vector<std::int16_t>& interleaved, int channels, int sampleRate, int channel,
                     double fromSeconds, double toSeconds) {
    const std::size_t frames = interleaved.size() / static_cast<std::size_t>(channels);
    std::size_t begin = frames / 4;
    std::size_t end = frames * 3 / 4;
    if (fromSeconds >= 0 && toSeconds > fromSeconds) {
        begin = std::min(frames, static_cast<std::size_t>(fromSeconds * sampleRate));
        end = std::min(frames, static_cast<std::size_t>(toSeconds * sampleRate));
    }
    std::size_t firstCrossing = 0;
    std::size_t lastCrossing = 0;
    int crossings = 0;
    for (std::size_t frame = begin + 1; frame < end; ++frame) {
        const int before = interleaved[(frame - 1) * channels + channel];
        const int now = interleaved[frame * channels + channel];
        if (before < 0 && now >= 0) {
            if (crossings == 0) firstCrossing = frame;
            lastCrossing = frame;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    const double periods = crossings - 1;
    return periods * sampleRate / static_cast<double>(lastCrossing - firstCrossing);
}

std::vector<std::uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tellavine::testing
