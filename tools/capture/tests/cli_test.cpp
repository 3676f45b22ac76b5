// zypho-capture run as a program, on the made-up media of the test kit: exit statuses, messages,
// what is left on disk.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "frame_sink.h"
#include "shell/audio_latency.h"
#include "support/child.h"
#include "support/headless.h"
#include "writers.h"

namespace fs = std::filesystem;

namespace {

using Result = ChildResult;

Result run_tool(const std::string& args, const std::string& env = "") {
    return run_child(ZYPHO_CAPTURE_BIN, args, env);
}

// A PATH whose ffmpeg is a stand-in that fails after reading a little: for the tests of what
// happens before, or instead of, a real encoding, whatever ffmpeg the machine has.
const std::string BROKEN_FFMPEG_PATH = std::string("PATH=") + ZYPHO_STAND_IN_DIR + ":/usr/bin:/bin";

class CaptureTool : public ::testing::Test {
protected:
    MediaDir media;  // the working directory, holding Media/
    void SetUp() override { media.write_all(); }
};

}  // namespace

TEST_F(CaptureTool, HelpGoesToStandardOutput) {
    const Result r = run_tool("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: zypho-capture", 0), 0u) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(CaptureTool, ABadOptionIsUsageErrorTwoAndWritesNothing) {
    const Result r = run_tool("--fps 0 -o out.mp4");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("zypho-capture: frame rate '0'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--help"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists("out.mp4"));
}

TEST_F(CaptureTool, PngFramesOfARangeNeedNoFfmpeg) {
    // PATH without ffmpeg: the PNG route does not look for it.
    const Result r = run_tool("-q -r 10 -s 0.1 -t 0.4 -x 2 -o frames", "PATH=/nonexistent");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(entries("frames"), (std::vector<std::string>{"frame-000000.png", "frame-000001.png",
                                                           "frame-000002.png"}));
    const std::string png = slurp("frames/frame-000000.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    // IHDR: width and height, big-endian, at bytes 16 and 20.
    auto be32 = [&](size_t at) {
        return (Uint32(Uint8(png[at])) << 24) | (Uint32(Uint8(png[at + 1])) << 16) |
               (Uint32(Uint8(png[at + 2])) << 8) | Uint32(Uint8(png[at + 3]));
    };
    EXPECT_EQ(be32(16), 1280u);
    EXPECT_EQ(be32(20), 960u);
    EXPECT_EQ(png[25], 2);  // colour type 2: RGB
}

TEST_F(CaptureTool, TheSameRunGivesTheSameBytes) {
    ASSERT_EQ(run_tool("-q -r 10 -s 5 -t 5.3 -o a").status, 0);
    ASSERT_EQ(run_tool("-q -r 10 -s 5 -t 5.3 -o b").status, 0);
    for (const char* f : {"frame-000000.png", "frame-000001.png", "frame-000002.png"})
        EXPECT_EQ(slurp(std::string("a/") + f), slurp(std::string("b/") + f)) << f;
}

TEST_F(CaptureTool, WithoutFfmpegAnMp4IsRefusedClearly) {
    const Result r = run_tool("-t 1 -o out.mp4", "PATH=/nonexistent");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ffmpeg not found on PATH"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("PNG"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists("out.mp4"));
}

TEST_F(CaptureTool, AnUnwritableOutputFailsBeforeAnyWork) {
    { std::ofstream("plain-file") << "x"; }
    Result r = run_tool("-t 1 -o plain-file/frames");  // a directory below a file
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("plain-file/frames"), std::string::npos) << r.err;

    r = run_tool("-t 1 -o no-such-dir/out.mp4", BROKEN_FFMPEG_PATH);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("no-such-dir/out.mp4"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists("no-such-dir"));

    r = run_tool("--contact-sheet -o Media");  // an existing directory
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is a directory"), std::string::npos) << r.err;
}

TEST_F(CaptureTool, AMissingTrackIsReportedAndNothingIsWritten) {
    fs::remove(media.path("s.ogg"));
    Result r = run_tool("-o out.mp4", BROKEN_FFMPEG_PATH);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Media/s.ogg"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("No such file"), std::string::npos) << r.err;
    r = run_tool("-o frames");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists("frames"));
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media"}));
}

TEST_F(CaptureTool, AnUndecodableTrackLeavesNothingBehind) {
    { std::ofstream(media.path("s.ogg")) << "not a track"; }
    Result r = run_tool("-o out.mp4", BROKEN_FFMPEG_PATH);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zypho-capture: the demo could not start"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Media/s.ogg"), std::string::npos) << r.err;
    r = run_tool("-o frames");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media"}));
}

TEST_F(CaptureTool, TheMediaDirectoryCanBeNamed) {
    const std::string top = fs::current_path().string();
    fs::create_directory("elsewhere");
    fs::current_path("elsewhere");
    Result r = run_tool("-q -r 10 -t 0.1 -o frames");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("-C"), std::string::npos) << r.err;
    r = run_tool("-q -r 10 -t 0.1 -o frames -C " + top);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists("frames/frame-000000.png"));  // relative to where the tool started
    fs::current_path(top);
}

TEST_F(CaptureTool, AnMp4WithTheSoundTrack) {
    // The real encoder, which the set-up installs.
    const Result r = run_tool("-r 10 -t 0.5 -o out.mp4");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("5 frames"), std::string::npos) << r.err;
    const std::string mp4 = slurp("out.mp4");
    ASSERT_GT(mp4.size(), 100u);
    EXPECT_EQ(mp4.substr(4, 4), "ftyp");
    EXPECT_NE(mp4.find("avc1"), std::string::npos);
    EXPECT_NE(mp4.find("mp4a"), std::string::npos);
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media", "out.mp4"}));
}

// The MP4's sound is what a viewer of the live demo hears with each frame: the track, late by
// MUSIC_HEARD_LATE_MS, from the range's first frame on. A track silent for 1 s and then a tone,
// recorded from 0.5 s to 1.5 s: the tone starts 0.5 s + the delay into the video, which is 1 s
// long.
TEST_F(CaptureTool, TheMp4SoundIsTheTrackAsHeardFromTheFirstFrame) {
    ASSERT_EQ(
        std::system("ffmpeg -v error -y -f lavfi -i 'sine=f=440:d=2:sample_rate=44100' "
                    "-af \"volume=enable='lt(t,1)':volume=0\" -ac 2 -c:a libvorbis Media/s.ogg"),
        0);
    const Result r = run_tool("-q -r 10 -s 0.5 -t 1.5 -o out.mp4");
    ASSERT_EQ(r.status, 0) << r.err;
    const Result probe =
        run_child("/usr/bin/ffprobe", "-v error -show_entries format=duration -of csv=p=0 out.mp4");
    EXPECT_NEAR(std::atof(probe.out.c_str()), 1.0, 0.05) << probe.out << probe.err;
    ASSERT_EQ(std::system("ffmpeg -v error -y -i out.mp4 -vn -ac 1 -ar 44100 -f s16le sound.raw"),
              0);
    const std::string raw = slurp("sound.raw");
    size_t onset = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        const int16_t v = static_cast<int16_t>(static_cast<uint8_t>(raw[i]) |
                                               (static_cast<uint8_t>(raw[i + 1]) << 8));
        if (std::abs(v) > 1000) {  // the tone peaks near 2900
            onset = i / 2;
            break;
        }
    }
    ASSERT_GT(onset, 0u) << "no tone in the MP4's sound";
    // Within 30 ms: the AAC encoder's 1024-sample start-up (23 ms) may show in the decoding.
    EXPECT_NEAR(double(onset) / 44100, 0.5 + MUSIC_HEARD_LATE_MS / 1000.0, 0.03);
}

// Chapters named after the scenes, at the first frame of each, in frames of the video.
TEST(SceneChapters, OnePerEntryTheRangeShowsFromItsFirstFrame) {
    // 4.5 s to 5.5 s at 10 fps: frames 45..54; the falling logos begin at 5 s, frame 50.
    EXPECT_EQ(scene_chapters(45, 55, 10),
              ";FFMETADATA1\n"
              "[CHAPTER]\nTIMEBASE=1/10\nSTART=0\nEND=5\ntitle=fade-in\n"
              "[CHAPTER]\nTIMEBASE=1/10\nSTART=5\nEND=10\ntitle=falling logos\n");
    // At 60 fps the end screen, from 162 s on, begins with frame 9720 and runs to the range's end.
    const std::string whole = scene_chapters(0, 10140, 60);
    EXPECT_NE(whole.find("START=9720\nEND=10140\ntitle=end screen\n"), std::string::npos) << whole;
    EXPECT_EQ(std::count(whole.begin(), whole.end(), '['), 17);
    // At 7 fps the fade-in's 5 s end between frames: frame 35 (5.0 s) is the logos' first.
    EXPECT_NE(scene_chapters(0, 40, 7).find("START=0\nEND=35\ntitle=fade-in"), std::string::npos);
}

// The picture enlarged and centred, the rest black: a 2 x 1 picture at 2x in a 7 x 4 frame sits
// at (1, 1), 4 x 2 pixels.
TEST(Framing, ThePictureIsCentredOnBlack) {
    const std::uint8_t picture[] = {10, 20, 30, 40, 50, 60};
    std::vector<std::uint8_t> frame(7 * 4 * 3, 99);
    place_rgb(picture, 2, 1, 2, frame.data(), 7, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) {
            const std::uint8_t* p = &frame[(y * 7 + x) * 3];
            const bool inside = y >= 1 && y < 3 && x >= 1 && x < 5;
            const std::uint8_t r = !inside ? 0 : x < 3 ? 10 : 40;
            EXPECT_EQ(p[0], r) << x << ", " << y;
            EXPECT_EQ(p[2], !inside ? 0 : x < 3 ? 30 : 60) << x << ", " << y;
        }
}

// --fit frames the picture and every video carries the scenes as chapters.
TEST_F(CaptureTool, AFittedMp4CarriesTheScenesAsChapters) {
    const Result r = run_tool("-q -r 10 -s 4.5 -t 5.5 --fit 1280x720 --crf 30 -o out.mp4");
    ASSERT_EQ(r.status, 0) << r.err;
    const Result probe =
        run_child("/usr/bin/ffprobe",
                  "-v error -show_entries stream=codec_name,width,height,profile:"
                  "chapter=start_time,end_time:chapter_tags=title -of compact out.mp4");
    EXPECT_NE(probe.out.find("codec_name=h264|profile=High|width=1280|height=720"),
              std::string::npos)
        << probe.out << probe.err;
    EXPECT_NE(probe.out.find("start_time=0.000000|end_time=0.500000|tag:title=fade-in"),
              std::string::npos)
        << probe.out;
    EXPECT_NE(probe.out.find("start_time=0.500000|end_time=1.000000|tag:title=falling logos"),
              std::string::npos)
        << probe.out;
}

// The archive master is lossless: its frames decode to the very bytes of the PNG frames.
TEST_F(CaptureTool, AMatroskaMasterIsLosslessWithFlacSound) {
    Result r = run_tool("-q -r 10 -s 4.9 -t 5.2 -o master.mkv");
    ASSERT_EQ(r.status, 0) << r.err;
    r = run_tool("-q -r 10 -s 4.9 -t 5.2 -o frames");
    ASSERT_EQ(r.status, 0) << r.err;
    const Result probe = run_child(
        "/usr/bin/ffprobe",
        "-v error -show_entries stream=codec_name:chapter_tags=title -of compact master.mkv");
    EXPECT_NE(probe.out.find("codec_name=ffv1"), std::string::npos) << probe.out << probe.err;
    EXPECT_NE(probe.out.find("codec_name=flac"), std::string::npos) << probe.out;
    EXPECT_NE(probe.out.find("tag:title=fade-in"), std::string::npos) << probe.out;
    EXPECT_NE(probe.out.find("tag:title=falling logos"), std::string::npos) << probe.out;
    ASSERT_EQ(std::system("ffmpeg -v error -y -i master.mkv -f rawvideo -pix_fmt rgb24 mkv.rgb"),
              0);
    ASSERT_EQ(std::system("ffmpeg -v error -y -i frames/frame-%06d.png -f rawvideo -pix_fmt rgb24 "
                          "png.rgb"),
              0);
    const std::string mkv = slurp("mkv.rgb"), png = slurp("png.rgb");
    EXPECT_EQ(mkv.size(), std::size_t(3) * 640 * 480 * 3);
    EXPECT_TRUE(mkv == png) << "the master's frames differ from the PNG frames";
    EXPECT_EQ(entries("."),
              (std::vector<std::string>{"Media", "frames", "master.mkv", "mkv.rgb", "png.rgb"}));
}

TEST_F(CaptureTool, AFailingFfmpegLeavesNothingUnderTheFinalName) {
    const Result r = run_tool("-q -r 10 -t 1 -o out.mp4", BROKEN_FFMPEG_PATH);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ffmpeg"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("broken"), std::string::npos) << r.err;
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media"}));
}

namespace {

// The tool under a file-size limit of `blocks` × 512 bytes (the shell's ulimit -f), inherited by
// the ffmpeg it starts: every write past the limit fails ("File too large"), as on a full disk.
Result run_limited(int blocks, const std::string& args, const std::string& env = "") {
    return run_child("ulimit -f " + std::to_string(blocks) + " && " + env + " " ZYPHO_CAPTURE_BIN,
                     args);
}

std::string last_line(const std::string& text) {
    std::string t = text;
    while (!t.empty() && t.back() == '\n') t.pop_back();
    const std::size_t nl = t.rfind('\n');
    return nl == std::string::npos ? t : t.substr(nl + 1);
}

// Starts the tool in the background; its output goes to files in the working directory.
pid_t start_tool(const std::string& args) {
    const std::string command = "exec env ASAN_OPTIONS=detect_leaks=0 " ZYPHO_CAPTURE_BIN " " +
                                args + " >.bg.out 2>.bg.err </dev/null";
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// Polls (without a fixed wait) until `ready` holds, for at most a minute.
bool wait_for(const std::function<bool()>& ready) {
    for (int i = 0; i < 6000; ++i) {
        if (ready()) return true;
        usleep(10 * 1000);
    }
    return false;
}

int exit_status(pid_t pid) {
    int raw = 0;
    waitpid(pid, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace

TEST_F(CaptureTool, SigintAndSigtermStopAPngCaptureAndLeaveNothing) {
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        const pid_t pid = start_tool("-q -r 60 -t 100 -o frames");
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(wait_for([] { return fs::exists("frames/frame-000003.png"); }));
        kill(pid, signal);
        EXPECT_EQ(exit_status(pid), status) << slurp(".bg.err");
        EXPECT_NE(slurp(".bg.err").find("interrupted"), std::string::npos);
        fs::remove(".bg.out");
        fs::remove(".bg.err");
        EXPECT_EQ(entries("."), (std::vector<std::string>{"Media"}));
    }
}

TEST_F(CaptureTool, SigtermStopsAnMp4CaptureAndLeavesNothing) {
    const pid_t pid = start_tool("-q -r 30 -t 100 -o out.mp4");
    ASSERT_GT(pid, 0);
    // The encoder has written part of the file under its temporary name.
    ASSERT_TRUE(wait_for([] {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(".", ec))
            if (e.path().filename().string().rfind(".out.mp4.part", 0) == 0 && e.file_size(ec) > 0)
                return true;
        return false;
    }));
    kill(pid, SIGTERM);
    EXPECT_EQ(exit_status(pid), 143) << slurp(".bg.err");
    fs::remove(".bg.out");
    fs::remove(".bg.err");
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media"}));
}

TEST_F(CaptureTool, AFolderWithOlderFramesIsRefusedAndLeftAsItWas) {
    fs::create_directory("frames");
    { std::ofstream("frames/frame-000007.png") << "an older frame"; }
    { std::ofstream("frames/notes.txt") << "mine"; }
    const Result r = run_tool("-q -r 10 -t 0.3 -o frames");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("already holds frames"), std::string::npos) << r.err;
    EXPECT_EQ(entries("frames"), (std::vector<std::string>{"frame-000007.png", "notes.txt"}));
    EXPECT_EQ(slurp("frames/frame-000007.png"), "an older frame");
    // Other files do not stand in the way, and stay.
    fs::remove("frames/frame-000007.png");
    ASSERT_EQ(run_tool("-q -r 10 -t 0.3 -o frames").status, 0);
    EXPECT_EQ(entries("frames"), (std::vector<std::string>{"frame-000000.png", "frame-000001.png",
                                                           "frame-000002.png", "notes.txt"}));
}

TEST_F(CaptureTool, AFullDiskLeavesNoFrameAndSaysSoLast) {
    // A frame of 640 x 480 is far more than 512 bytes as a PNG: the first one fails.
    Result r = run_limited(1, "-q -r 10 -t 1 -o frames");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(last_line(r.err).find("File too large"), std::string::npos) << r.err;
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media"}));

    fs::create_directory("mine");
    { std::ofstream("mine/keep.txt") << "x"; }
    r = run_limited(1, "-q -r 10 -t 1 -o mine");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(entries("mine"), (std::vector<std::string>{"keep.txt"}));
}

TEST_F(CaptureTool, AFullDiskUnderFfmpegIsBlamedOnTheDiskNotThePipe) {
    const Result r = run_limited(8, "-q -r 10 -t 2 -o out.mp4");
    EXPECT_EQ(r.status, 1);
    const std::string last = last_line(r.err);
    EXPECT_NE(last.find("zypho-capture: ffmpeg"), std::string::npos) << r.err;
    EXPECT_NE(last.find("File too large"), std::string::npos) << r.err;
    EXPECT_EQ(last.find("Broken pipe"), std::string::npos) << r.err;
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media"}));
}

TEST_F(CaptureTool, AnUndecodableTrackIsOneLineWithTheDecodersReason) {
    { std::ofstream(media.path("s.ogg")) << "not a track"; }
    const Result r = run_tool("-q -o frames");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("Media/s.ogg"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("colorkey"), std::string::npos) << r.err;
}

TEST_F(CaptureTool, TheRangeStartsAtTheFirstFrameAtOrAfterFrom) {
    // At 10 fps, 0.15 s falls between frames 1 and 2: frames 2 and 3 are before 0.4 s.
    ASSERT_EQ(run_tool("-q -r 10 -s 0.15 -t 0.4 -o a").status, 0);
    EXPECT_EQ(entries("a"), (std::vector<std::string>{"frame-000000.png", "frame-000001.png"}));
    // Frame 2 of a run from 0 is the same picture as the first of that range.
    ASSERT_EQ(run_tool("-q -r 10 -t 0.3 -o b").status, 0);
    EXPECT_EQ(slurp("a/frame-000000.png"), slurp("b/frame-000002.png"));
}

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

TEST_F(CaptureTool, AFlashReportOfOneSecondHasARowPerFrame) {
    const Result r = run_tool("-q --flash-report flashes.csv --plot flashes.png -t 1");
    const std::vector<std::string> summary = lines_of(r.out);
    ASSERT_FALSE(summary.empty()) << r.err;
    // Exit status 0 for a pass, 3 for a fail, and the summary's last line says which.
    EXPECT_EQ(r.status, summary.back() == "result: PASS" ? 0 : 3) << r.out << r.err;
    EXPECT_TRUE(summary.back() == "result: PASS" || summary.back() == "result: FAIL") << r.out;
    EXPECT_EQ(summary.front(), "flash report: 60 frames at 60 fps, 0.000 s to 0.983 s") << r.out;
    EXPECT_EQ(r.err, "");

    const std::vector<std::string> csv = lines_of(slurp("flashes.csv"));
    ASSERT_EQ(csv.size(), 61u);
    EXPECT_EQ(csv[0],
              "time_s,scene,transition_area,general_flashes_1s,general_area_over_3,"
              "red_flashes_1s,red_area_over_3,fails");
    EXPECT_EQ(csv[1].rfind("0.000,fade-in,", 0), 0u) << csv[1];
    EXPECT_EQ(csv[60].rfind("0.983,fade-in,", 0), 0u) << csv[60];
    for (std::size_t i = 1; i < csv.size(); ++i)
        EXPECT_EQ(std::count(csv[i].begin(), csv[i].end(), ','), 7) << csv[i];

    const std::string png = slurp("flashes.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
}

TEST_F(CaptureTool, AFlashReportRefusesBadOptionsAndUnwritablePlaces) {
    Result r = run_tool("--flash-report flashes.csv -r 30");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lines_of(r.err).front(), "zypho-capture: --flash-report does not use -r/--fps")
        << r.err;
    r = run_tool("--plot flashes.png -t 1");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lines_of(r.err).front(),
              "zypho-capture: --plot draws a flash report: it needs --flash-report")
        << r.err;
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media"}));

    // An unwritable plot is found before the run, and the CSV is not left either.
    r = run_tool("-q --flash-report flashes.csv --plot no-such-dir/flashes.png -t 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no-such-dir/flashes.png"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(entries("."), (std::vector<std::string>{"Media"}));
}
