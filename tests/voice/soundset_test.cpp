// The sound-set tool's parts: the names the unit composes, the manifest,
// WAVE input, wave edits, speech synthesis, the set check, and the
// orvante-soundset program run as users run it.
#include <gtest/gtest.h>

#include <cmath>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "soundset/composable_cues.h"
#include "soundset/pcm_edits.h"
#include "soundset/sound_set_check.h"
#include "soundset/sound_set_files.h"
#include "soundset/sound_set_manifest.h"
#include "soundset/speech_synthesis.h"
#include "soundset/wav_file.h"

namespace orvante::soundset {
namespace {

namespace fs = std::filesystem;

// Whether a call succeeded; its message goes to error, for the test to show.
bool Succeeded(const common::Result<>& result, std::string& error) {
  error = result.error();
  return result.ok();
}

std::string BuildDir() {
  const char* dir = std::getenv("ORVANTE_BUILD_DIR");
  return dir ? dir : ".";
}
std::string SourceDir() {
  const char* dir = std::getenv("ORVANTE_SOURCE_DIR");
  return dir ? dir : ".";
}

struct TempDir {
  fs::path path;
  TempDir() {
    char pattern[] = "/tmp/orvante-soundset-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TempDir() { fs::remove_all(path); }
};

// A RIFF WAVE file image: 16-bit mono unless told otherwise.
std::vector<uint8_t> WavBytes(const std::vector<int16_t>& samples, uint16_t channels = 1, uint32_t rate = 22050,
                              uint32_t dataSizeField = 0xFFFFFFFF, bool extraChunk = false) {
  std::vector<uint8_t> b;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto u16 = [&](uint16_t v) {
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
  };
  auto tag = [&](const char* t) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(t[i]));
  };
  tag("RIFF");
  u32(0);
  tag("WAVE");
  if (extraChunk) {
    tag("LIST");
    u32(3);  // odd length: padded to 4
    b.insert(b.end(), {'a', 'b', 'c', 0});
  }
  tag("fmt ");
  u32(16);
  u16(1);
  u16(channels);
  u32(rate);
  u32(rate * channels * 2);
  u16(channels * 2);
  u16(16);
  tag("data");
  u32(dataSizeField == 0xFFFFFFFF ? static_cast<uint32_t>(samples.size() * 2) : dataSizeField);
  for (int16_t s : samples) u16(static_cast<uint16_t>(s));
  return b;
}

std::vector<int16_t> Speechlike(size_t silentLead, size_t loud, size_t silentTail) {
  std::vector<int16_t> s(silentLead, 0);
  for (size_t i = 0; i < loud; ++i) s.push_back(static_cast<int16_t>(i % 2 ? 8000 : -8000));
  s.insert(s.end(), silentTail, 0);
  return s;
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct RunResult {
  int status = -1;
  std::string output;
};

RunResult RunTool(const std::string& args) {
  std::string command = BuildDir() + "/bin/orvante-soundset " + args + " 2>&1";
  RunResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(ComposableCues, EveryRunwayDesignatorAndEveryFixedCueIsListedOnce) {
  std::vector<std::string> names = ComposableCueNames();
  std::set<std::string> unique(names.begin(), names.end());
  EXPECT_EQ(unique.size(), names.size());
  EXPECT_EQ(RunwayDesignators().size(), 36u * 5);
  EXPECT_EQ(names.size(), 2u * 180 + 12 + 9 + 11 + 7);
  for (const char* expected : {"onrwy27l",
                               "apprwy09",
                               "onrwy36c",
                               "onrwy18w",
                               "apprwy01",
                               "onrwy36r",
                               "apprrunways",
                               "cautionshortrwy",
                               "flapsx2pause",
                               "audiotestpassed",
                               "1",
                               "9",
                               "10",
                               "20",
                               "30",
                               "100",
                               "1000",
                               "feet",
                               "meters",
                               "remaining",
                               "available"})
    EXPECT_TRUE(unique.count(expected)) << expected;
  for (const char* absent : {"onrwy00", "onrwy37", "onrwy27L", "apprwy9", "21", "0"})
    EXPECT_FALSE(unique.count(absent)) << absent;
  for (const std::string& name : names)
    EXPECT_TRUE(std::none_of(name.begin(), name.end(), [](char c) {
      return std::isupper(static_cast<unsigned char>(c)) || c == ' ';
    })) << name;
}

TEST(DefaultVoiceManifest, SpeaksEveryComposableCueAsAPilotWouldHearIt) {
  Manifest manifest;
  std::string error;
  ASSERT_TRUE(Succeeded(ReadManifest(SourceDir() + "/tools/soundset/voices/Default.manifest", manifest), error))
      << error;
  std::map<std::string, const ManifestEntry*> byCue;
  for (const ManifestEntry& e : manifest.entries) byCue[e.cueName] = &e;
  std::vector<std::string> composable = ComposableCueNames();
  EXPECT_EQ(byCue.size(), composable.size());
  for (const std::string& name : composable) EXPECT_TRUE(byCue.count(name)) << name << " has no phrase";
  auto phrase = [&](const std::string& cue) { return byCue.count(cue) ? byCue[cue]->phrase : std::string(); };
  EXPECT_EQ(phrase("apprwy27l"), "approaching two seven left");
  EXPECT_EQ(phrase("onrwy09"), "on runway zero niner");
  EXPECT_EQ(phrase("onrwy36c"), "on runway three six center");
  EXPECT_EQ(phrase("apprwy18w"), "approaching one eight water");
  EXPECT_EQ(phrase("apprrunways"), "approaching runways");
  EXPECT_EQ(phrase("cautionshortrwy"), "caution, short runway");
  EXPECT_EQ(phrase("ontaxiwayx2"), "on taxiway, on taxiway");
  EXPECT_EQ(phrase("toofastx2"), "too fast, too fast");
  EXPECT_EQ(phrase("altimeter"), "altimeter setting");
  EXPECT_EQ(phrase("9"), "niner");
  EXPECT_EQ(phrase("1000"), "thousand");
  ASSERT_TRUE(byCue.count("flapsx2pause") && byCue.count("flapsflaps"));
  EXPECT_EQ(byCue["flapsx2pause"]->phrase, byCue["flapsflaps"]->phrase);
  EXPECT_GT(byCue["flapsx2pause"]->pauseMs, 0);
  EXPECT_EQ(byCue["flapsflaps"]->pauseMs, 0);
}

TEST(ManifestParsing, DirectivesApplyToTheLinesBelowThemAndPathsResolveAgainstTheManifest) {
  Manifest m;
  std::string error;
  ASSERT_TRUE(Succeeded(ParseManifest("# comment\n\n  onrwy27l   say   on runway two seven left  \n"
                                      "voice en-gb\nspeed 140\nvolume -38\n"
                                      "flapsx2pause say pause=700 flaps, flaps\n"
                                      "chime wav sounds/chime.wav\nabs wav pause=5 /tmp/x.wav\n",
                                      "/base", m),
                        error))
      << error;
  ASSERT_EQ(m.entries.size(), 4u);
  EXPECT_EQ(m.entries[0].phrase, "on runway two seven left");
  EXPECT_EQ(m.entries[0].voice, "en-us");
  EXPECT_EQ(m.entries[0].line, 3);
  EXPECT_EQ(m.entries[1].voice, "en-gb");
  EXPECT_EQ(m.entries[1].wordsPerMinute, 140);
  EXPECT_EQ(m.entries[1].pauseMs, 700);
  EXPECT_EQ(m.entries[1].phrase, "flaps, flaps");
  EXPECT_FALSE(m.entries[2].synthesise);
  EXPECT_EQ(m.entries[2].wavPath, "/base/sounds/chime.wav");
  EXPECT_EQ(m.entries[3].wavPath, "/tmp/x.wav");
  EXPECT_EQ(m.entries[3].pauseMs, 5);
  EXPECT_EQ(m.volumeDb, -38);
}

TEST(ManifestParsing, BadLinesAreNamedByNumber) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"a say one\nb sing two\n", "line 2: cue \"b\" needs \"say PHRASE\" or \"wav FILE\""},
      {"a say one\na say two\n", "line 2: cue \"a\" appears twice"},
      {"a say\n", "line 1: cue \"a\" has no phrase"},
      {"a wav pause=100\n", "line 1: cue \"a\" has no file"},
      {"a say pause=x one\n", "line 1: pause must be"},
      {"a say pause=20000 one\n", "line 1: pause must be"},
      {"speed fast\n", "line 1: \"speed\" needs"},
      {"voice\n", "line 1: \"voice\" needs"},
      {"volume -61\na say one\n", "line 1: \"volume\" needs a level in dB from -60 to 6"},
      {"volume 7\n", "line 1: \"volume\" needs"},
      {"volume --3\n", "line 1: \"volume\" needs"},
      {"\xC3\xA9t\xC3\xA9 say summer\n", "is not a cue name"},
      {"# nothing\n", "names no cues"},
  };
  for (const Case& c : cases) {
    Manifest m;
    std::string error;
    EXPECT_FALSE(Succeeded(ParseManifest(c.text, ".", m), error)) << c.text;
    EXPECT_NE(error.find(c.message), std::string::npos) << "text: " << c.text << " error: " << error;
  }
  Manifest m;
  std::string error;
  EXPECT_FALSE(Succeeded(ReadManifest("/nonexistent/voice.manifest", m), error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST(WavInput, PcmFilesParseAndDamagedOnesAreRefused) {
  xact::PcmWave wave;
  std::string error;
  std::vector<uint8_t> good = WavBytes({1, -2, 3, -4}, 2, 44100, 0xFFFFFFFF, true);
  ASSERT_TRUE(Succeeded(ParseWav(good.data(), good.size(), wave), error)) << error;
  EXPECT_EQ(wave.channels, 2);
  EXPECT_EQ(wave.sampleRate, 44100u);
  EXPECT_EQ(wave.bitsPerSample, 16);
  EXPECT_EQ(wave.samples, (std::vector<uint8_t>{1, 0, 0xFE, 0xFF, 3, 0, 0xFC, 0xFF}));

  // Streaming writers leave the data size at its maximum: cut to whole frames.
  std::vector<uint8_t> streaming = WavBytes({5, 6, 7}, 2, 22050, 0x7FFFFFFF);
  ASSERT_TRUE(Succeeded(ParseWav(streaming.data(), streaming.size(), wave), error));
  EXPECT_EQ(wave.samples.size(), 4u);

  std::vector<uint8_t> floatFormat = good;
  floatFormat[12 + 12 + 8] = 3;  // format tag 3, IEEE float (after the LIST chunk)
  EXPECT_FALSE(Succeeded(ParseWav(floatFormat.data(), floatFormat.size(), wave), error));
  EXPECT_NE(error.find("not integer PCM"), std::string::npos) << error;

  for (size_t n = 0; n < good.size() - 8; ++n) {  // any cut that loses the data
    EXPECT_FALSE(Succeeded(ParseWav(good.data(), n, wave), error)) << "cut to " << n;
  }
  std::vector<uint8_t> garbage(100, 0x55);
  EXPECT_FALSE(Succeeded(ParseWav(garbage.data(), garbage.size(), wave), error));
  EXPECT_FALSE(Succeeded(ReadWavFile("/nonexistent.wav", wave), error));
}

TEST(PcmEdits, TrimKeepsAMarginAndPauseAddsSilenceOfTheRightKind) {
  xact::PcmWave wave;
  std::string error;
  std::vector<uint8_t> bytes = WavBytes(Speechlike(1000, 500, 3000));
  ASSERT_TRUE(Succeeded(ParseWav(bytes.data(), bytes.size(), wave), error));
  TrimSilence(wave, 0.01, 100.0 / 22050);
  EXPECT_EQ(FrameCount(wave), 100u + 500 + 100);
  auto sample = [&](size_t frame) {
    return static_cast<int16_t>(wave.samples[2 * frame] | (wave.samples[2 * frame + 1] << 8));
  };
  EXPECT_EQ(sample(99), 0);       // the margin
  EXPECT_EQ(sample(100), -8000);  // the first loud frame
  EXPECT_EQ(sample(599), 8000);   // the last loud frame
  AppendSilence(wave, 0.5);
  EXPECT_EQ(FrameCount(wave), 700u + 11025);
  EXPECT_NEAR(DurationSeconds(wave), (700.0 + 11025) / 22050, 1e-9);

  xact::PcmWave silent;
  silent.samples.assign(400, 0);
  TrimSilence(silent, 0.01, 0.0);
  EXPECT_EQ(silent.samples.size(), 400u);  // nothing to keep: left whole

  xact::PcmWave eightBit;
  eightBit.bitsPerSample = 8;
  eightBit.samples = {128, 255, 128};
  AppendSilence(eightBit, 2.0 / 22050);
  EXPECT_EQ(eightBit.samples, (std::vector<uint8_t>{128, 255, 128, 128, 128}));  // 8-bit silence is 128
}

TEST(PcmEdits, LevelChangesRoundEachSampleAndClipAtFullScale) {
  xact::PcmWave wave;  // 16-bit: 8000, -8000, 32767, -32768, 1
  wave.samples = {0x40, 0x1F, 0xC0, 0xE0, 0xFF, 0x7F, 0x00, 0x80, 0x01, 0x00};
  auto sample = [&](size_t i) { return static_cast<int16_t>(wave.samples[2 * i] | (wave.samples[2 * i + 1] << 8)); };
  ScaleLevel(wave, -20 * std::log10(2.0));  // half
  EXPECT_EQ(sample(0), 4000);
  EXPECT_EQ(sample(1), -4000);
  EXPECT_EQ(sample(2), 16384);  // 16383.5 rounds away from zero
  EXPECT_EQ(sample(3), -16384);
  EXPECT_EQ(sample(4), 1);                 // 0.5 rounds away from zero
  ScaleLevel(wave, 20 * std::log10(4.0));  // four times: the loudest two clip
  EXPECT_EQ(sample(0), 16000);
  EXPECT_EQ(sample(2), 32767);
  EXPECT_EQ(sample(3), -32768);

  xact::PcmWave eightBit;
  eightBit.bitsPerSample = 8;
  eightBit.samples = {128, 228, 28, 255};
  ScaleLevel(eightBit, -20 * std::log10(2.0));
  EXPECT_EQ(eightBit.samples, (std::vector<uint8_t>{128, 178, 78, 192}));  // about 128, silence, stays
}

TEST(SpeechSynthesis, EspeakSpeaksAPhraseAndAMissingProgramIsReported) {
  // The synthesiser the build found (scripts/setup installs it), not one
  // looked up on the PATH.
  const std::string espeak = ORVANTE_TEST_ESPEAK;
  if (espeak.empty() || espeak.find("NOTFOUND") != std::string::npos)
    GTEST_SKIP() << "espeak-ng is not installed (scripts/setup installs it)";
  TempDir dir;
  xact::PcmWave wave;
  std::string error;
  SpeechVoice voice;
  voice.program = espeak;
  ASSERT_TRUE(Succeeded(SynthesizePhrase(voice, "-v one", dir.path.string(), wave), error))
      << error;  // leading dash is text
  EXPECT_EQ(wave.channels, 1);
  EXPECT_EQ(wave.sampleRate, 22050u);
  EXPECT_GT(DurationSeconds(wave), 0.2);
  EXPECT_LT(DurationSeconds(wave), 3.0);
  EXPECT_TRUE(fs::is_empty(dir.path));  // the temporary wave is gone
  SpeechVoice missing;
  missing.program = "/nonexistent/espeak";
  EXPECT_FALSE(Succeeded(SynthesizePhrase(missing, "one", dir.path.string(), wave), error));
  EXPECT_NE(error.find("/nonexistent/espeak"), std::string::npos) << error;
}

// A set holding the given cues, each a short tone.
xact::SoundSetFiles SetOf(const std::vector<std::string>& cues) {
  std::vector<xact::NamedWave> waves;
  for (const std::string& cue : cues) {
    xact::NamedWave n;
    n.cueName = cue;
    std::vector<uint8_t> bytes = WavBytes(Speechlike(0, 64, 0));
    EXPECT_TRUE(ParseWav(bytes.data(), bytes.size(), n.wave));
    waves.push_back(n);
  }
  xact::SoundSetFiles files;
  EXPECT_TRUE(xact::WriteSoundSet("Test", waves, files));
  return files;
}

TEST(SoundSetCheck, NamesWhatIsMissingAndRefusesDamage) {
  std::vector<std::string> all = ComposableCueNames();
  all.push_back("extra");  // cues of its own are no fault
  SoundSetReport complete = CheckSoundSet(SetOf(all));
  EXPECT_TRUE(complete.Complete());
  EXPECT_EQ(complete.cueNames.size(), all.size());

  std::vector<std::string> lacking = all;
  lacking.erase(std::find(lacking.begin(), lacking.end(), "onrwy27l"));
  lacking.erase(std::find(lacking.begin(), lacking.end(), "feet"));
  SoundSetReport report = CheckSoundSet(SetOf(lacking));
  EXPECT_TRUE(report.sound);
  EXPECT_EQ(report.missing, (std::vector<std::string>{"onrwy27l", "feet"}));

  // Names compare exactly: an upper-case cue does not stand in for its name.
  std::replace(lacking.begin(), lacking.end(), std::string("onrwy09"), std::string("ONRWY09"));
  EXPECT_EQ(CheckSoundSet(SetOf(lacking)).missing.front(), "onrwy09");

  xact::SoundSetFiles damaged = SetOf(all);
  damaged.xsb.resize(damaged.xsb.size() / 2);
  SoundSetReport broken = CheckSoundSet(damaged);
  EXPECT_FALSE(broken.sound);
  EXPECT_FALSE(broken.Complete());
  EXPECT_NE(broken.damage.find("sound bank"), std::string::npos) << broken.damage;
}

TEST(SoundSetFiles, BasePathComesFromAnyOfTheThreeFilesAndWritesLeaveNoTemporaries) {
  EXPECT_EQ(SoundSetBasePath("dir/Default"), "dir/Default");
  EXPECT_EQ(SoundSetBasePath("dir/Default.xsb"), "dir/Default");
  EXPECT_EQ(SoundSetBasePath("dir/Default.XGS"), "dir/Default");
  EXPECT_EQ(SoundSetBasePath("dir/Default.wav"), "dir/Default.wav");
  TempDir dir;
  xact::SoundSetFiles files = SetOf({"a", "b"}), back;
  std::string error;
  ASSERT_TRUE(Succeeded(WriteSoundSetFiles((dir.path / "Voice").string(), files), error)) << error;
  ASSERT_TRUE(Succeeded(ReadSoundSetFiles((dir.path / "Voice").string(), back), error)) << error;
  EXPECT_EQ(back.xgs, files.xgs);
  EXPECT_EQ(back.xwb, files.xwb);
  EXPECT_EQ(back.xsb, files.xsb);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 3);
  fs::remove(dir.path / "Voice.xwb");
  EXPECT_FALSE(Succeeded(ReadSoundSetFiles((dir.path / "Voice").string(), back), error));
  EXPECT_NE(error.find("Voice.xwb: no such file"), std::string::npos) << error;
}

TEST(SoundSetProgram, BuildsListsAndChecksSetsAsUsersRunIt) {
  TempDir dir;
  WriteFile(dir.path / "one.wav", WavBytes(Speechlike(100, 2000, 100)));
  std::ofstream(dir.path / "Mini.manifest")
      << "# two cues from files\nfeet wav one.wav\nremaining wav pause=250 one.wav\n";
  RunResult built = RunTool("build " + (dir.path / "Mini.manifest").string() + " " + (dir.path / "out").string());
  ASSERT_EQ(built.status, 0) << built.output;
  EXPECT_NE(built.output.find("2 cues"), std::string::npos) << built.output;

  RunResult listed = RunTool("list " + (dir.path / "out" / "Mini.xsb").string());
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.output, "feet\nremaining\n");

  RunResult checked = RunTool("check " + (dir.path / "out" / "Mini").string());
  EXPECT_EQ(checked.status, 1);
  EXPECT_NE(checked.output.find("missing 397 of the 399"), std::string::npos) << checked.output;
  EXPECT_NE(checked.output.find("  onrwy27l\n"), std::string::npos);
  EXPECT_EQ(checked.output.find("  feet\n"), std::string::npos);

  std::ofstream(dir.path / "Bad.manifest") << "feet wav missing.wav\n";
  RunResult failed = RunTool("build " + (dir.path / "Bad.manifest").string() + " " + (dir.path / "out").string());
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.output.find("line 1, cue \"feet\""), std::string::npos) << failed.output;
  EXPECT_FALSE(fs::exists(dir.path / "out" / "Bad.xgs"));

  EXPECT_EQ(RunTool("").status, 2);
  EXPECT_EQ(RunTool("check").status, 2);
  RunResult absent = RunTool("check " + (dir.path / "Nothing").string());
  EXPECT_EQ(absent.status, 1);
  EXPECT_NE(absent.output.find("Nothing.xgs: no such file"), std::string::npos) << absent.output;
}

TEST(SoundSetProgram, DefaultVoiceChecksCompleteAndDamagedCopiesAreReported) {
  fs::path voice = fs::path(BuildDir()) / "sim/ORVANTE/SoundSets";
  RunResult checked = RunTool("check " + (voice / "Default").string());
  EXPECT_EQ(checked.status, 0) << checked.output;
  EXPECT_EQ(checked.output, "Default: 399 cues; all 399 cue names the unit composes are present\n");

  TempDir dir;
  xact::SoundSetFiles files;
  std::string error;
  ASSERT_TRUE(Succeeded(ReadSoundSetFiles((voice / "Default").string(), files), error)) << error;
  struct Damage {
    const char* name;
    void (*apply)(xact::SoundSetFiles&);
    const char* message;
  } damages[] = {
      {"TruncXsb", [](xact::SoundSetFiles& f) { f.xsb.resize(f.xsb.size() / 2); }, "sound bank: "},
      {"TruncXgs", [](xact::SoundSetFiles& f) { f.xgs.resize(40); }, "global settings: "},
      {"TruncXwb", [](xact::SoundSetFiles& f) { f.xwb.resize(f.xwb.size() / 2); }, "wave bank: "},
      {"FlipXsb", [](xact::SoundSetFiles& f) { f.xsb[0xCA + 1] ^= 0x40; }, "in category 65"},
      {"FlipXwb", [](xact::SoundSetFiles& f) { f.xwb[148 + 3] ^= 0x10; }, "wave bank: wave 0 lasts"},
  };
  for (const Damage& d : damages) {
    xact::SoundSetFiles copy = files;
    d.apply(copy);
    ASSERT_TRUE(Succeeded(WriteSoundSetFiles((dir.path / d.name).string(), copy), error)) << error;
    RunResult r = RunTool("check " + (dir.path / d.name).string());
    EXPECT_EQ(r.status, 1) << d.name;
    EXPECT_EQ(r.output.rfind(std::string(d.name) + ": damaged: ", 0), 0u) << r.output;
    EXPECT_NE(r.output.find(d.message), std::string::npos) << r.output;
  }

  // One cue removed from the manifest: check names exactly that cue.
  Manifest manifest;
  ASSERT_TRUE(Succeeded(ReadManifest(SourceDir() + "/tools/soundset/voices/Default.manifest", manifest), error));
  std::vector<xact::NamedWave> waves;
  xact::PcmWave tone;
  std::vector<uint8_t> bytes = WavBytes(Speechlike(0, 32, 0));
  ASSERT_TRUE(Succeeded(ParseWav(bytes.data(), bytes.size(), tone), error));
  for (const ManifestEntry& e : manifest.entries)
    if (e.cueName != "apprwy27l") waves.push_back({e.cueName, tone});
  xact::SoundSetFiles lacking;
  ASSERT_TRUE(xact::WriteSoundSet("Lacking", waves, lacking));
  ASSERT_TRUE(Succeeded(WriteSoundSetFiles((dir.path / "Lacking").string(), lacking), error));
  RunResult r = RunTool("check " + (dir.path / "Lacking").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.output, "Lacking: 398 cues; missing 1 of the 399 cue names the unit composes:\n  apprwy27l\n");
}

}  // namespace
}  // namespace orvante::soundset
