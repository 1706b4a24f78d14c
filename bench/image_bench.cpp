// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the image engine on a generated corpus (not part of the test run):
//
//  1. ImageMagick's OpenMP threads per operation while the dispatcher runs three
//     jobs at once: the wall and CPU time of the same batch with a thread limit of
//     1 (what the engine sets), 2 and 4.
//  2. A 1920x1080 GIF declaring 1500 frames: how fast it is refused by the header
//     check of a job, and by ImageMagick's own resource limits alone.
//
// Usage: brisklo_image_bench [rounds]   (default 3 rounds per thread limit)
#include <Magick++.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/config_store.h"
#include "core/log.h"
#include "core/media_options.h"
#include "core/task_view.h"
#include "image/image_completion.h"
#include "image/image_decode.h"
#include "image/image_dispatcher.h"
#include "image/image_job.h"
#include "image/magick_runtime.h"

namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace brisklo;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long PeakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// A photo-like picture: smooth colour ramps with a fine pattern on top.
void MakePhoto(const fs::path& path, std::size_t width, std::size_t height, const char* coder) {
    Magick::Image image(Magick::Geometry(width, height), Magick::Color("black"));
    image.modifyImage();
    Magick::Pixels view(image);
    Magick::PixelPacket* pixels = view.get(0, 0, width, height);
    const double top = 65535.0;
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            const double across = static_cast<double>(x) / static_cast<double>(width);
            const double down = static_cast<double>(y) / static_cast<double>(height);
            const double ripple = ((x * 7 + y * 13) % 31) / 31.0 * 0.15;
            Magick::PixelPacket& p = pixels[y * width + x];
            p.red = static_cast<Magick::Quantum>(top * std::min(1.0, across + ripple));
            p.green = static_cast<Magick::Quantum>(top * std::min(1.0, down + ripple));
            p.blue = static_cast<Magick::Quantum>(top * (1.0 - (across + down) / 2));
        }
    }
    view.sync();
    image.magick(coder);
    image.quality(92);
    image.write(path.string());
}

// The UI thread of a front end, reduced to what the dispatcher needs.
class LoopSink : public MessageSink {
  public:
    void Post(MessageId id, std::any payload) override {
        {
            std::lock_guard lock(m_mutex);
            m_queue.emplace_back(id, std::move(payload));
        }
        m_wake.notify_one();
    }
    void Run(ImageCompletion& completion, std::size_t results) {
        for (std::size_t handled = 0; handled < results; ++handled) {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_queue.empty(); });
            auto [id, payload] = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            if (id != MessageId::ImageDone) continue;
            if (const auto* result = std::any_cast<ImageResult>(&payload)) {
                completion.OnImageDone(*result);
            }
        }
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::pair<MessageId, std::any>> m_queue;
};

class CountingView : public TaskView {
  public:
    void ShowRunning(std::int32_t) override {}
    void ShowFinished(std::int32_t, const TaskOutcome&) override { ++finished; }
    void ShowFailed(std::int32_t, const TaskFailure& failure) override {
        ++failed;
        std::fprintf(stderr, "failed: %s\n", failure.reason.c_str());
    }
    void ShowState(std::int32_t, TaskState) override {}
    int finished = 0;
    int failed = 0;
};

// Every image is resized: the parallel part of the work.
class ResizedImages : public ImageOptionsProvider {
  public:
    ImageOptions CurrentImageOptions() override {
        ImageOptions options;
        options.scaleStep = 1;
        return options;
    }
};

struct BatchTime {
    double wall = 0;
    double cpu = 0;
    int peakThreads = 0;
};

int ThreadCount() {
    int count = 0;
    std::error_code error;
    for (auto it = fs::directory_iterator("/proc/self/task", error);
         !error && it != fs::directory_iterator(); it.increment(error)) {
        ++count;
    }
    return count;
}

// Samples the number of threads in the process while it lives.
class ThreadSampler {
  public:
    ThreadSampler()
        : m_thread([this](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  m_peak = std::max(m_peak.load(), ThreadCount());
                  std::this_thread::sleep_for(std::chrono::milliseconds(2));
              }
          }) {}
    int peak() const { return m_peak.load(); }

  private:
    std::atomic<int> m_peak{0};
    std::jthread m_thread;
};

BatchTime RunBatch(const std::vector<fs::path>& sources, const fs::path& work, int round) {
    const fs::path out = work / ("out-" + std::to_string(round));
    fs::create_directories(out);
    TaskIdCounter ids;
    ImageTaskList tasks(ids);
    LoopSink sink;
    CountingView view;
    ConfigStore config(work / "configure.ini");
    if (!config.Set(Setting::OutputDir, out.string())) std::exit(1);
    ResizedImages options;
    ImageDispatcher dispatcher(tasks, options, config, view, sink);
    ImageCompletion completion(tasks, dispatcher, view);
    std::vector<std::int32_t> taskIds;
    for (const fs::path& source : sources) {
        taskIds.push_back(tasks.Add({source.filename().string(),
                                     {},
                                     source,
                                     static_cast<std::int64_t>(fs::file_size(source)),
                                     {}}));
    }
    const double cpuBefore = CpuSeconds();
    const auto started = Clock::now();
    ThreadSampler sampler;
    (void)tasks.EnqueueAll(taskIds);
    if (!dispatcher.Start()) std::exit(1);
    sink.Run(completion, sources.size());
    BatchTime time{Seconds(Clock::now() - started), CpuSeconds() - cpuBefore, sampler.peak()};
    dispatcher.Stop();
    if (view.failed != 0) std::fprintf(stderr, "%d jobs failed\n", view.failed);
    fs::remove_all(out);
    return time;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A GIF of `frames` real width x height frames: two frames written by Magick++,
// the second one's blocks (graphic control extension to the end of its image
// data) repeated, so the file stays small while every frame decodes.
std::string ManyFrameGif(std::size_t width, std::size_t height, std::size_t frames) {
    std::vector<Magick::Image> two = {Magick::Image(Magick::Geometry(width, height), "red"),
                                      Magick::Image(Magick::Geometry(width, height), "blue")};
    two[0].magick("GIF");
    Magick::Blob blob;
    Magick::writeImages(two.begin(), two.end(), &blob, true);
    const std::string bytes(static_cast<const char*>(blob.data()), blob.length());
    const std::string control("\x21\xf9\x04", 3);
    const std::size_t first = bytes.find(control);
    const std::size_t second = bytes.find(control, first + 1);
    if (first == std::string::npos || second == std::string::npos) return {};
    const std::string frame = bytes.substr(second, bytes.size() - 1 - second);
    std::string gif = bytes.substr(0, second);
    for (std::size_t i = 1; i < frames; ++i) gif += frame;
    return gif + '\x3b';
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    SetLogTarget(LogTarget::Silent);
    InitializeImageLibrary();
    const ImageLibraryLimits limits = EffectiveImageLibraryLimits();
    std::printf(
        "effective limits: %llux%llu px, area %llu px, %llu frames, memory %llu MiB, "
        "map %llu MiB, disk %llu MiB, threads %llu\n",
        static_cast<unsigned long long>(limits.width),
        static_cast<unsigned long long>(limits.height),
        static_cast<unsigned long long>(limits.area),
        static_cast<unsigned long long>(limits.listLength),
        static_cast<unsigned long long>(limits.memory >> 20),
        static_cast<unsigned long long>(limits.map >> 20),
        static_cast<unsigned long long>(limits.disk >> 20),
        static_cast<unsigned long long>(limits.threads));
    std::printf("processors online: %ld\n", sysconf(_SC_NPROCESSORS_ONLN));

    char pattern[] = "/tmp/brisklo-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path work = pattern;

    // 1. Thread limit with three jobs at once.
    std::vector<fs::path> sources;
    for (int i = 0; i < 9; ++i) {
        const fs::path path = work / ("photo" + std::to_string(i) + ".jpg");
        MakePhoto(path, 2400, 1600, "JPEG");
        sources.push_back(path);
    }
    std::printf("\nbatch: 9 JPEG photos 2400x1600, ratio step 1, three jobs at once, %d rounds\n",
                rounds);
    std::printf(
        "(peak threads: main, sampler, dispatcher and three jobs make 6; more are the\n"
        " library's own OpenMP helpers)\n");
    std::printf("%-14s %10s %10s %14s\n", "thread limit", "wall s", "cpu s", "peak threads");
    const int threadLimits[] = {1, 2, 4};
    std::vector<std::vector<double>> walls(3), cpus(3);
    std::vector<int> peaks(3);
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 3; ++i) {  // interleaved, so load from others spreads evenly
            Magick::ResourceLimits::thread(
                static_cast<MagickCore::MagickSizeType>(threadLimits[i]));
            const BatchTime time = RunBatch(sources, work, round * 3 + i);
            walls[i].push_back(time.wall);
            cpus[i].push_back(time.cpu);
            peaks[i] = std::max(peaks[i], time.peakThreads);
        }
    }
    for (int i = 0; i < 3; ++i) {
        std::printf("%-14d %10.2f %10.2f %14d   (median of %d)\n", threadLimits[i],
                    Median(walls[i]), Median(cpus[i]), peaks[i], rounds);
    }

    // The same photos one at a time: shows what the library's own threads give
    // when nothing else competes for the processors.
    std::printf("\nsame photos, one job at a time (no dispatcher), %d rounds\n", rounds);
    std::printf("%-14s %10s %10s\n", "thread limit", "wall s", "cpu s");
    std::vector<std::vector<double>> soloWalls(3), soloCpus(3);
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 3; ++i) {
            Magick::ResourceLimits::thread(
                static_cast<MagickCore::MagickSizeType>(threadLimits[i]));
            const fs::path out = work / "solo";
            fs::create_directories(out);
            const double cpuBefore = CpuSeconds();
            const auto started = Clock::now();
            for (const fs::path& source : sources) {
                ImageJob job{0, source, {}};
                job.settings.options.scaleStep = 1;
                job.settings.outputDir = out;
                job.settings.tempDir = work;
                if (!CompressImage(job).ok) std::fprintf(stderr, "solo job failed\n");
            }
            soloWalls[i].push_back(Seconds(Clock::now() - started));
            soloCpus[i].push_back(CpuSeconds() - cpuBefore);
            fs::remove_all(out);
        }
    }
    for (int i = 0; i < 3; ++i) {
        std::printf("%-14d %10.2f %10.2f   (median of %d)\n", threadLimits[i], Median(soloWalls[i]),
                    Median(soloCpus[i]), rounds);
    }
    Magick::ResourceLimits::thread(kImageLibraryLimits.threads);

    // 2. A 1080p animation declaring 1500 frames.
    const fs::path movie = work / "movie.gif";
    {
        std::ofstream out(movie, std::ios::binary);
        out << ManyFrameGif(1920, 1080, 1500);
    }
    std::printf("\n1920x1080 GIF declaring 1500 frames (%ju bytes on disk)\n",
                static_cast<std::uintmax_t>(fs::file_size(movie)));
    ImageJob job;
    job.sourcePath = movie;
    job.settings.outputDir = work;
    job.settings.tempDir = work;
    auto started = Clock::now();
    const ImageResult refused = CompressImage(job);
    std::printf("job (header check): %s after %.3f s\n  %s\n", refused.ok ? "ACCEPTED" : "refused",
                Seconds(Clock::now() - started), refused.reason.c_str());

    std::ifstream in(movie, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    setenv("MAGICK_TEMPORARY_PATH", work.c_str(), 1);
    started = Clock::now();
    const auto decoded = DecodeImage(bytes, ImageFormat::Gif, FrameSelection::All);
    std::printf("decoder alone (library limits): %s after %.3f s, peak RSS %ld MiB\n  %s\n",
                decoded ? "DECODED" : "refused", Seconds(Clock::now() - started), PeakRssMiB(),
                decoded ? "" : decoded.error().message.c_str());

    std::error_code error;
    fs::remove_all(work, error);
    return 0;
}
