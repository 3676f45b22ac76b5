// zypho-capture's command line, parsed without running anything.

#include "options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

struct Parsed {
    bool ok;
    CaptureOptions options;
    std::string error;
};

Parsed parse(std::initializer_list<const char*> args) {
    std::vector<const char*> argv = {"zypho-capture"};
    argv.insert(argv.end(), args.begin(), args.end());
    Parsed p;
    p.ok = parse_options(static_cast<int>(argv.size()), argv.data(), p.options, p.error);
    return p;
}

}  // namespace

TEST(CaptureOptions, DefaultsAreTheWholeTrackAt60FpsIntoAnMp4) {
    const Parsed p = parse({});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.mode, CaptureMode::Video);
    EXPECT_EQ(p.options.fps, 60);
    EXPECT_EQ(p.options.from_ms, 0);
    EXPECT_EQ(p.options.to_ms, -1);
    EXPECT_EQ(p.options.scale, 1);
    EXPECT_EQ(p.options.output, "");
    EXPECT_EQ(default_output(CaptureMode::Video), "zypho.mp4");
    EXPECT_EQ(default_output(CaptureMode::ContactSheet), "contact-sheet.png");
    EXPECT_FALSE(p.options.quiet);
}

TEST(CaptureOptions, LongAndShortFormsWithSeparateOrAttachedValues) {
    Parsed p =
        parse({"--fps=30", "--from", "66", "-t81.5", "-x", "3", "-o", "out.mp4", "-C", "top"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.fps, 30);
    EXPECT_EQ(p.options.from_ms, 66000);
    EXPECT_EQ(p.options.to_ms, 81500);
    EXPECT_EQ(p.options.scale, 3);
    EXPECT_EQ(p.options.output, "out.mp4");
    EXPECT_EQ(p.options.dir, "top");

    p = parse({"-qr", "24", "--output=frames", "--scale=2", "--dir=x"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.quiet);
    EXPECT_EQ(p.options.fps, 24);
    EXPECT_EQ(p.options.output, "frames");
    EXPECT_EQ(p.options.scale, 2);
}

TEST(CaptureOptions, Modes) {
    EXPECT_EQ(parse({"--help"}).options.mode, CaptureMode::Help);
    EXPECT_EQ(parse({"-h"}).options.mode, CaptureMode::Help);
    EXPECT_EQ(parse({"--contact-sheet", "-o", "a.png"}).options.mode, CaptureMode::ContactSheet);
    EXPECT_EQ(parse({"--golden"}).options.mode, CaptureMode::Golden);
    // What each mode reads.
    EXPECT_TRUE(parse({"--golden", "-C", "top"}).ok);
    EXPECT_TRUE(parse({"--contact-sheet", "-q", "-C", "top", "-o", "a.png"}).ok);
    // Help wins over everything else that parses.
    EXPECT_EQ(parse({"--golden", "-r", "30", "--help"}).options.mode, CaptureMode::Help);
}

TEST(CaptureOptions, TimesAreSecondsOrMinutesAndSeconds) {
    int ms = -1;
    EXPECT_TRUE(parse_time("0", ms));
    EXPECT_EQ(ms, 0);
    EXPECT_TRUE(parse_time("66.25", ms));
    EXPECT_EQ(ms, 66250);
    EXPECT_TRUE(parse_time("162.001", ms));
    EXPECT_EQ(ms, 162001);
    EXPECT_TRUE(parse_time("1:06", ms));
    EXPECT_EQ(ms, 66000);
    EXPECT_TRUE(parse_time("2:42.5", ms));
    EXPECT_EQ(ms, 162500);
    EXPECT_TRUE(parse_time("86400", ms));
    for (const char* bad : {"", "-1", "1.", ".5", "1.2345", "abc", "1:6", "1:60", "1:05x", "1:2:3",
                            "86400.001", "99999999", "1e3", " 5", "5 "})
        EXPECT_FALSE(parse_time(bad, ms)) << bad;
}

TEST(CaptureOptions, BadCommandLinesSayWhatIsWrong) {
    struct Case {
        std::initializer_list<const char*> args;
        const char* says;
    };
    const Case cases[] = {
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"-z"}, "unknown option '-z'"},
        {{"--fps"}, "needs a value"},
        {{"-o"}, "needs a value"},
        {{"--fps=0"}, "from 1 to 240"},
        {{"--fps=241"}, "from 1 to 240"},
        {{"-r", "29.97"}, "from 1 to 240"},
        {{"--scale=9"}, "from 1 to 8"},
        {{"-x0"}, "from 1 to 8"},
        {{"--from=soon"}, "is not seconds"},
        {{"-t", "-5"}, "is not seconds"},
        {{"--from=80", "--to=70"}, "range is empty"},
        {{"--from=80", "--to=80"}, "range is empty"},
        {{"--quiet=yes"}, "takes no value"},
        {{"--output="}, "empty"},
        {{"out.mp4"}, "unexpected argument 'out.mp4'"},
        {{"--", "-o"}, "unexpected argument '-o'"},
        // One mode at a time, and no option that the mode would ignore.
        {{"--golden", "--contact-sheet"}, "cannot be combined"},
        {{"--contact-sheet", "--golden", "-o", "a.png"}, "cannot be combined"},
        {{"--golden", "-r", "30"}, "--golden does not use -r/--fps"},
        {{"-o", "x.png", "--golden"}, "--golden does not use -o/--output"},
        {{"--golden", "-q"}, "--golden does not use -q/--quiet"},
        {{"--contact-sheet", "-s", "5"}, "--contact-sheet does not use -s/--from"},
        {{"--contact-sheet", "-x2"}, "--contact-sheet does not use -x/--scale"},
        // The flash report: always 60 frames a second on the whole screen, its own outputs.
        {{"--flash-report"}, "needs a value"},
        {{"--flash-report="}, "the path for --flash-report is empty"},
        {{"--flash-report", "f.csv", "--plot="}, "the path for --plot is empty"},
        {{"--flash-report", "f.csv", "-r", "30"}, "--flash-report does not use -r/--fps"},
        {{"--flash-report", "f.csv", "-x", "2"}, "--flash-report does not use -x/--scale"},
        {{"--flash-report", "f.csv", "-o", "a.mp4"}, "--flash-report does not use -o/--output"},
        {{"--plot", "p.png"}, "--plot draws a flash report: it needs --flash-report"},
        {{"--contact-sheet", "--plot", "p.png"}, "it needs --flash-report"},
        {{"--flash-report", "f.csv", "--golden"}, "--flash-report and --golden cannot be combined"},
    };
    for (const Case& c : cases) {
        const Parsed p = parse(c.args);
        EXPECT_FALSE(p.ok) << *c.args.begin();
        EXPECT_NE(p.error.find(c.says), std::string::npos) << *c.args.begin() << ": " << p.error;
    }
}

TEST(CaptureOptions, OutputKindFollowsTheExtension) {
    EXPECT_EQ(video_kind("zypho.mp4"), VideoKind::Mp4);
    EXPECT_EQ(video_kind("/tmp/Demo.MP4"), VideoKind::Mp4);
    EXPECT_EQ(video_kind("master.mkv"), VideoKind::Matroska);
    EXPECT_EQ(video_kind("M.MKV"), VideoKind::Matroska);
    EXPECT_EQ(video_kind("frames"), VideoKind::None);
    EXPECT_EQ(video_kind("frames.mp4/x"), VideoKind::None);
    EXPECT_EQ(video_kind("mp4"), VideoKind::None);
}

// The largest whole-number scale that fits: 2 for 1080 lines, 4 for 2160; exactly 640 x 480 is 1.
TEST(CaptureOptions, FitTakesTheLargestWholeScaleThatFits) {
    EXPECT_EQ(fit_scale(1920, 1080), 2);
    EXPECT_EQ(fit_scale(3840, 2160), 4);
    EXPECT_EQ(fit_scale(640, 480), 1);
    EXPECT_EQ(fit_scale(1279, 10000), 1);
    EXPECT_EQ(fit_scale(639, 480), 0);
    const Parsed p = parse({"--fit", "3840x2160", "--crf", "23", "-o", "v.mp4"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.frame_w, 3840);
    EXPECT_EQ(p.options.frame_h, 2160);
    EXPECT_EQ(p.options.crf, 23);
    EXPECT_EQ(parse({}).options.crf, DEFAULT_CRF);
    EXPECT_TRUE(parse({"--fit=1920x1080", "-o", "frames"}).ok);  // PNG frames are framed too
}

TEST(CaptureOptions, PresetsSetTheirFrameRateAndContainer) {
    Parsed p = parse({"--preset", "party"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.preset, Preset::Party);
    EXPECT_EQ(p.options.frame_w, 1920);
    EXPECT_EQ(p.options.frame_h, 1080);
    EXPECT_EQ(p.options.fps, 60);
    EXPECT_EQ(default_output(CaptureMode::Video, Preset::Party), "zypho-party.mp4");
    EXPECT_TRUE(parse({"--preset=party", "--crf", "16", "-o", "party.mp4", "-s", "60"}).ok);

    p = parse({"--preset", "archive", "-x", "2"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.preset, Preset::Archive);
    EXPECT_EQ(p.options.scale, 2);
    EXPECT_EQ(default_output(CaptureMode::Video, Preset::Archive), "zypho-archive.mkv");
    EXPECT_TRUE(parse({"-o", "master.mkv"}).ok);  // a .mkv is the lossless master, preset or not
}

TEST(CaptureOptions, VideoOptionsThatCannotMeanAnythingAreRefused) {
    struct Case {
        std::initializer_list<const char*> args;
        const char* says;
    };
    const Case cases[] = {
        {{"--fit", "1920"}, "is not WIDTHxHEIGHT"},
        {{"--fit", "1920x0"}, "is not WIDTHxHEIGHT"},
        {{"--fit", "x1080"}, "is not WIDTHxHEIGHT"},
        {{"--fit", "320x240"}, "smaller than the 640x480 picture"},
        {{"--fit", "1920x1080", "-x", "2"}, "cannot be combined with -x"},
        {{"--crf", "52"}, "from 0 to 51"},
        {{"--crf", "-1"}, "from 0 to 51"},
        {{"--crf", "20", "-o", "frames"}, "PNG frames are lossless"},
        {{"--crf", "20", "-o", "m.mkv"}, "the Matroska master is lossless"},
        {{"--preset", "cinema"}, "is not party or archive"},
        {{"--preset", "party", "-x", "2"}, "cannot be combined with -x"},
        {{"--preset", "party", "-r", "50"}, "cannot be combined with -r"},
        {{"--preset", "party", "--fit", "3840x2160"}, "cannot be combined with --fit"},
        {{"--preset", "party", "-o", "p.mkv"}, "must end in .mp4"},
        {{"--preset", "archive", "-o", "a.mp4"}, "must end in .mkv"},
        {{"--preset", "archive", "--crf", "10"}, "the Matroska master is lossless"},
        {{"--contact-sheet", "--fit", "1920x1080"}, "--contact-sheet does not use --fit"},
        {{"--flash-report", "f.csv", "--preset", "party"}, "--flash-report does not use --preset"},
    };
    for (const Case& c : cases) {
        const Parsed p = parse(c.args);
        EXPECT_FALSE(p.ok) << *c.args.begin();
        EXPECT_NE(p.error.find(c.says), std::string::npos) << *c.args.begin() << ": " << p.error;
    }
}

TEST(CaptureOptions, HelpNamesEveryOption) {
    const std::string help = usage_text();
    for (const char* o :
         {"--output", "--fps", "--from", "--to", "--scale", "--dir", "--quiet", "--contact-sheet",
          "--golden", "--flash-report", "--plot", "--fit", "--crf", "--preset", "--help", "ffmpeg"})
        EXPECT_NE(help.find(o), std::string::npos) << o;
}

TEST(CaptureOptions, EachModeRefusesTheOptionsItDoesNotRead) {
    for (const char* option : {"-r", "-s", "-t", "-x"}) {
        const Parsed p = parse({"--contact-sheet", option, "2"});
        EXPECT_FALSE(p.ok) << option;
        EXPECT_NE(p.error.find("--contact-sheet does not use"), std::string::npos) << p.error;
    }
    for (const char* option : {"-r", "-o"}) {
        const Parsed p = parse({"--golden", option, "2"});
        EXPECT_FALSE(p.ok) << option;
    }
    EXPECT_TRUE(parse({"--contact-sheet", "-o", "x.png", "-q", "-C", "."}).ok);
}

TEST(CaptureOptions, TheFlashReportTakesARangeAndAPlot) {
    const Parsed p = parse(
        {"--flash-report", "f.csv", "-s", "66", "-t", "1:21", "--plot=f.png", "-q", "-C", "top"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.mode, CaptureMode::FlashReport);
    EXPECT_EQ(p.options.flash_csv, "f.csv");
    EXPECT_EQ(p.options.plot, "f.png");
    EXPECT_EQ(p.options.fps, 60);
    EXPECT_EQ(p.options.from_ms, 66000);
    EXPECT_EQ(p.options.to_ms, 81000);
    EXPECT_TRUE(p.options.quiet);
    EXPECT_EQ(parse({"--flash-report=f.csv"}).options.plot, "");
}

TEST(CaptureOptions, ALoneDashIsAnOperandAndRefused) {
    const Parsed p = parse({"-o", "frames", "-"});
    EXPECT_FALSE(p.ok);
    EXPECT_NE(p.error.find("unexpected argument '-'"), std::string::npos) << p.error;
}
