// Timed harness: unpacking one deflated entry of about 100 MB with
// TZipReader, side by side with `unzip -p` of the same archive, both writing
// to /dev/null. Prints the best of several runs of each and the ratio
// (reader / unzip; the target is 0.9 or less).
//
// Usage: zip_extract_bench [work-dir] [megabytes] [runs]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "zip/ZipReader.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Mixed content: word runs that compress well and stretches of noise that
// do not, from a fixed start value so every run packs the same archive.
void WriteSample(const fs::path& path, std::size_t size) {
    static const char* words[] = {"zorvane ",   "player ", "plugin ", "archive ",
                                  "stream\r\n", "0123 ",   "ocx ",    "version 1.7.9.174 "};
    std::ofstream f(path, std::ios::binary);
    std::string block;
    std::uint32_t x = 2024;
    std::size_t written = 0;
    while (written < size) {
        block.clear();
        while (block.size() < (1u << 20)) {
            x = x * 1103515245u + 12345u;
            if ((x >> 16) % 4 == 0)
                block += static_cast<char>(x >> 24);
            else
                block += words[(x >> 16) % 8];
        }
        const std::size_t n = std::min(block.size(), size - written);
        f.write(block.data(), static_cast<std::streamsize>(n));
        written += n;
    }
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path work = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "zv_zip_bench";
    const std::size_t megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
    fs::create_directories(work);
    const fs::path data = work / "payload.bin";
    const fs::path archive = work / "payload.zip";
    if (!fs::exists(archive)) {
        WriteSample(data, megabytes << 20);
        const std::string cmd = "cd '" + work.string() + "' && zip -q -6 payload.zip payload.bin";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "zip failed\n");
            return 1;
        }
        fs::remove(data);
    }

    double best = 1e9;
    std::int64_t size = 0;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        zv::TFileStream source(archive.string(), zv::fmOpenRead);
        zv::TFileStream sink("/dev/null", zv::fmOpenWrite);
        zv::TZipReader reader;
        reader.DoProcessMessages = false;
        reader.SetSourceStream(&source);
        reader.ReadDirectory();
        const int n = reader.ExtractToStream(&sink, "payload.bin");
        size = reader.Entry(0).UnCompressedSize;
        reader.SetSourceStream(nullptr);
        best = std::min(best, Seconds(Clock::now() - t0));
        if (n != 1) {
            std::fprintf(stderr, "extraction failed\n");
            return 1;
        }
    }

    double bestUnzip = 1e9;
    const std::string unzip = "unzip -p '" + archive.string() + "' payload.bin > /dev/null";
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        if (std::system(unzip.c_str()) != 0) {
            std::fprintf(stderr, "unzip failed\n");
            return 1;
        }
        bestUnzip = std::min(bestUnzip, Seconds(Clock::now() - t0));
    }

    std::printf("entry: %lld bytes, archive: %lld bytes, best of %d runs\n", static_cast<long long>(size),
                static_cast<long long>(fs::file_size(archive)), runs);
    std::printf("TZipReader.ExtractToStream: %.3f s (%.0f MB/s)\n", best, size / best / 1e6);
    std::printf("unzip -p:                   %.3f s (%.0f MB/s)\n", bestUnzip, size / bestUnzip / 1e6);
    std::printf("ratio reader / unzip: %.2f (target <= 0.90)\n", best / bestUnzip);
    return 0;
}
