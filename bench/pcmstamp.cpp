// Finds where sound starts in a recording streamed on stdin and when, by the
// wall clock, each start reached the sound server.
//
//   parec -d nullsink.monitor --raw --format=s16le --rate=44100 --channels=2
//         --latency-msec=10 | bench_pcmstamp [--threshold 0.01] [--quiet-ms 1000]
//
// At the end of the input it prints "onset EPOCH_SECONDS RMS" for every block of
// 5 ms louder than the threshold (RMS, full scale 1) after at least --quiet-ms of
// quieter ones, and "reader_delay_ms MEDIAN MAX".
//
// A null sink is clocked by the system clock, so sample k of the stream reached
// the server at origin + k / rate. The origin is the least of (time of a read -
// frames read so far / rate): the read that waited least on the way.
#include "wallclock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char **argv)
{
    const double rate = 44100;
    const int channels = 2;
    double threshold = 0.01, quietMs = 1000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--threshold"))
            threshold = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--quiet-ms"))
            quietMs = std::atof(argv[i + 1]);
    }
    const int blockFrames = int(rate * 0.005);
    const double blockMs = blockFrames * 1000 / rate;

    std::vector<double> readOrigins;
    std::vector<std::pair<int64_t, double>> onsets; // first frame, RMS
    std::vector<int16_t> block;
    unsigned char buffer[16384];
    size_t carried = 0; // bytes of an incomplete frame kept at the start of buffer
    int64_t frames = 0;
    double quietRun = quietMs;
    for (;;) {
        const ssize_t got = read(0, buffer + carried, sizeof buffer - carried);
        if (got <= 0)
            break;
        const double at = wallSeconds();
        const size_t bytes = carried + size_t(got);
        const size_t whole = bytes / (2 * channels) * (2 * channels);
        for (size_t b = 0; b < whole; b += 2) {
            int16_t sample;
            std::memcpy(&sample, buffer + b, 2);
            block.push_back(sample);
            if (block.size() == size_t(blockFrames * channels)) {
                double sum = 0;
                for (int16_t s : block)
                    sum += double(s) * s;
                const double rms = std::sqrt(sum / block.size()) / 32768.0;
                const int64_t first = frames + int64_t(b / (2 * channels)) + 1 - blockFrames;
                if (rms > threshold) {
                    if (quietRun >= quietMs)
                        onsets.emplace_back(first, rms);
                    quietRun = 0;
                } else {
                    quietRun += blockMs;
                }
                block.clear();
            }
        }
        frames += int64_t(whole / (2 * channels));
        readOrigins.push_back(at - frames / rate);
        carried = bytes - whole;
        std::memmove(buffer, buffer + whole, carried);
    }
    if (readOrigins.empty()) {
        std::fprintf(stderr, "pcmstamp: no input\n");
        return 1;
    }
    const double origin = *std::min_element(readOrigins.begin(), readOrigins.end());
    std::vector<double> delays;
    for (double o : readOrigins)
        delays.push_back((o - origin) * 1000);
    std::sort(delays.begin(), delays.end());
    std::printf("reader_delay_ms %.1f %.1f\n", delays[delays.size() / 2], delays.back());
    std::printf("recorded_s %.1f\n", frames / rate);
    for (const auto &[first, rms] : onsets)
        std::printf("onset %.6f %.3f\n", origin + first / rate, rms);
    return 0;
}
