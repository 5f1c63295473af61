// What the report reads: transcripts, flight files and voice manifests,
// including the damaged ones it must refuse with a line and column.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "callouts.h"
#include "flight_track.h"
#include "transcript.h"

namespace {

using namespace orvante::report;

TEST(TranscriptReading, KeepsTheCuesInOrderAndPassesOverOtherLines) {
  const char* text =
      "{\"t\":0.000,\"type\":\"log\",\"line\":\"Orvante \\\"starting\\\" \\u00e9\"}\n"
      "\n"
      "{\"t\":12.250,\"type\":\"cue\",\"cue\":\"onrwy27l\",\"cut\":false}\r\n"
      "{\"t\":12.250,\"type\":\"alert\",\"word\":4}\n"
      " { \"type\" : \"cue\" , \"t\" : 13.5 , \"cue\" : \"100\", \"cut\": true, \"extra\": null } \n"
      "{\"t\":14,\"type\":\"box\",\"caption\":\"a\",\"text\":\"b\\nc\",\"answer\":\"OK\"}";
  std::vector<TranscriptCue> cues;
  auto result = ReadTranscript(text, cues);
  ASSERT_TRUE(result) << result.error();
  ASSERT_EQ(cues.size(), 2u);
  EXPECT_EQ(cues[0].t, 12.25);
  EXPECT_EQ(cues[0].cue, "onrwy27l");
  EXPECT_FALSE(cues[0].cut);
  EXPECT_EQ(cues[0].line, 3u);
  EXPECT_EQ(cues[1].cue, "100");
  EXPECT_TRUE(cues[1].cut);
}

TEST(TranscriptReading, DamagedLinesAreRefusedWithLineAndColumn) {
  auto errorOf = [](const std::string& text) {
    std::vector<TranscriptCue> cues;
    auto result = ReadTranscript(text, cues);
    return result.error();
  };
  const std::string good = "{\"t\":1,\"type\":\"cue\",\"cue\":\"a\"}\n";
  EXPECT_EQ(errorOf(good + "{\"t\":2,\"type\":\"cue\",\"cue\":\"b\"\n"),
            "transcript line 2, column 30: expected ',' or '}'");
  EXPECT_EQ(errorOf(good + "[1,2]\n"), "transcript line 2, column 1: expected '{'");
  EXPECT_EQ(errorOf(good + "{\"t\":x}\n"), "transcript line 2, column 6: expected a value");
  EXPECT_EQ(errorOf(good + "{\"t\":0.5,\"type\":\"cue\",\"cue\":\"b\"}\n"),
            "transcript line 2, column 1: \"t\" goes back in time");
  EXPECT_EQ(errorOf(good + "{\"type\":\"cue\",\"cue\":\"b\"}\n"),
            "transcript line 2, column 1: the line has no number \"t\"");
  EXPECT_EQ(errorOf(good + "{\"t\":3,\"type\":\"cue\"}\n"),
            "transcript line 2, column 1: a cue line without its \"cue\" name");
  EXPECT_EQ(errorOf(good + "{\"t\":3,\"type\":\"cue\",\"cue\":\"ab} x\n"),
            "transcript line 2, column 33: string not closed");
  EXPECT_EQ(errorOf(good + "{\"t\":3} trailing\n"), "transcript line 2, column 9: unexpected text after the object");
  EXPECT_EQ(errorOf(good + "{\"t\":1e999,\"type\":\"x\"}\n"), "transcript line 2, column 6: bad number");
  EXPECT_EQ(errorOf(good + "{\"t\":3,\"type\":\"x\",\"s\":\"\\q\"}\n"),
            "transcript line 2, column 25: bad escape in a string");
}

TEST(TranscriptReading, ArbitraryBytesNeverCrash) {
  std::mt19937 random(8);
  const std::string pieces[] = {"{",     "}",  "\"t\"", ":",    ",",   "1.5", "\"type\"", "\"cue\"", "\\",
                                "\\u12", "\n", " ",     "true", "nul", "\"",  "\xc3",     "-",       "e"};
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int i = static_cast<int>(random() % 30); i > 0; --i) text += pieces[random() % std::size(pieces)];
    std::vector<TranscriptCue> cues;
    auto result = ReadTranscript(text, cues);
    if (!result) {
      EXPECT_EQ(result.error().rfind("transcript line ", 0), 0u) << result.error();
    }
  }
}

TEST(FlightTrackReading, ColumnsByNameWithCommentsAndDefaults) {
  const char* text =
      "# recorded at EGLL\n"
      "on_ground, lat,lon ,alt_ft,heading_true,ias_kt,t\n"
      "1,51.47,-0.49,80,90,0,0\n"
      "# a note between rows\n"
      "0,51.48,-0.48,380,90,150,10\n";
  std::vector<TrackPoint> track;
  auto result = ReadFlightTrack(text, track);
  ASSERT_TRUE(result) << result.error();
  ASSERT_EQ(track.size(), 2u);
  EXPECT_TRUE(track[0].onGround);
  EXPECT_EQ(track[1].groundSpeedKt, 150) << "without gs_kt the indicated speed stands in";
  TrackPoint middle = TrackPointAt(track, 2.5);
  EXPECT_NEAR(middle.latitude, 51.4725, 1e-9);
  EXPECT_NEAR(middle.altitudeFt, 155, 1e-9);
  EXPECT_EQ(TrackPointAt(track, -5).t, 0);
  EXPECT_EQ(TrackPointAt(track, 50).t, 10);
}

TEST(FlightTrackReading, PointsBetweenRowsOfExtremeValuesStayBetweenThem) {
  // The reader takes any finite altitude and speed; between rows of the
  // largest values of opposite sign the point must not be an infinity.
  std::vector<TrackPoint> track;
  auto result = ReadFlightTrack(
      "t,lat,lon,alt_ft,gs_kt,on_ground\n0,-90,-180,1.7e308,-1.7e308,0\n10,90,180,-1.7e308,1.7e308,0\n", track);
  ASSERT_TRUE(result) << result.error();
  for (double t : {0.001, 2.5, 5.0, 9.999}) {
    TrackPoint p = TrackPointAt(track, t);
    EXPECT_TRUE(std::isfinite(p.altitudeFt)) << t;
    EXPECT_TRUE(std::isfinite(p.groundSpeedKt)) << t;
    EXPECT_GE(p.latitude, -90) << t;
    EXPECT_LE(p.latitude, 90) << t;
  }
  EXPECT_EQ(TrackPointAt(track, 5.0).altitudeFt, 0);
}

TEST(FlightTrackReading, DamagedFilesAreRefusedWithLineAndColumn) {
  auto errorOf = [](const std::string& text) {
    std::vector<TrackPoint> track;
    auto result = ReadFlightTrack(text, track);
    return result.error();
  };
  const std::string header = "t,lat,lon,alt_ft,gs_kt,on_ground\n";
  EXPECT_EQ(errorOf(header + "0,51.4,-0.4,80,0,1\n1,51.4,east,80,0,1\n"),
            "flight line 3, column 8: \"lon\" is not a number");
  EXPECT_EQ(errorOf(header + "0,51.4,-0.4,80,0,1\n0,51.4,-0.4,80,0,1\n"),
            "flight line 3, column 1: \"t\" does not increase");
  EXPECT_EQ(errorOf(header + "0,91,-0.4,80,0,1\n"), "flight line 2, column 3: latitude out of range");
  EXPECT_EQ(errorOf(header + "0,51.4,-0.4\n"), "flight line 2, column 12: the row ends before column \"alt_ft\"");
  EXPECT_EQ(errorOf(header + "0,51.4,-0.4,nan,0,1\n"), "flight line 2, column 13: \"alt_ft\" is not a number");
  EXPECT_EQ(errorOf("t,lat,lon,gs_kt,on_ground\n"), "flight line 1, column 1: the header names no column \"alt_ft\"");
  EXPECT_EQ(errorOf("t,lat,lat,lon,alt_ft,gs_kt,on_ground\n"), "flight line 1, column 7: column \"lat\" named twice");
  EXPECT_EQ(errorOf(header), "flight line 1, column 1: the flight has no rows");
  EXPECT_EQ(errorOf("# nothing\n"), "flight line 1, column 1: no header row");
}

TEST(Callouts, CuesQueuedTogetherAreOneCalloutInTheVoicesWords) {
  PhraseBook phrases;
  phrases.AddManifest(
      "# comment\nvoice en-us\nonrwy28r say on runway two eight right\nflapsx2pause say pause=800 flaps, flaps\n"
      "5 say five\n1000 say thousand\nfeet say feet\nremaining say remaining\nchime wav chime.wav\n");
  std::vector<TranscriptCue> cues = {
      {10, "onrwy28r", false, 1},      {71.25, "onrwy28r", false, 2}, {71.25, "onrwy28r", false, 3},
      {300, "flapsx2pause", false, 4}, {400, "5", true, 5},           {400, "1000", true, 6},
      {400, "feet", true, 7},          {400, "remaining", true, 8},   {400.25, "4", true, 5},
      {400.25, "1000", true, 6},       {402, "apprwy09l", false, 9},  {403, "chime", false, 10}};
  std::vector<Callout> callouts = GroupCallouts(cues, phrases);
  ASSERT_EQ(callouts.size(), 7u);
  EXPECT_EQ(callouts[0].phrase, "on runway two eight right");
  EXPECT_EQ(callouts[1].phrase, "on runway two eight right on runway two eight right");
  EXPECT_EQ(callouts[1].t, 71.25);
  EXPECT_EQ(callouts[2].phrase, "flaps, flaps");
  EXPECT_EQ(callouts[3].phrase, "five thousand feet remaining");
  EXPECT_EQ(callouts[3].cues.size(), 4u);
  EXPECT_EQ(callouts[4].phrase, "4 thousand") << "the next cycle's mark is a callout of its own";
  EXPECT_EQ(callouts[5].phrase, "approaching runway 09L") << "read from the name where the voice has no words";
  EXPECT_EQ(callouts[6].phrase, "chime");
  for (size_t i = 0; i < callouts.size(); ++i) EXPECT_EQ(callouts[i].number, i + 1);
}

TEST(Callouts, KindsAreTheSameForEveryRunwayAndDistanceAndCountedMostFirst) {
  PhraseBook phrases;
  phrases.AddManifest(
      "flapsx2pause say pause=800 flaps, flaps\ntoofastx2 say too fast, too fast\n5 say five\n"
      "1000 say thousand\nfeet say feet\nremaining say remaining\navailable say available\n");
  std::vector<TranscriptCue> cues = {{10, "apprwy28r", false, 1},
                                     {20, "onrwy28r", false, 2},
                                     {30, "onrwy01l", false, 3},
                                     {40, "toofastx2", false, 4},
                                     {50, "5", true, 5},
                                     {50, "1000", true, 6},
                                     {50, "feet", true, 7},
                                     {50, "remaining", true, 8},
                                     {60, "4", true, 9},
                                     {60, "1000", true, 10},
                                     {60, "feet", true, 11},
                                     {60, "remaining", true, 12},
                                     {70, "flapsx2pause", false, 13},
                                     {80, "apprrunways", false, 14},
                                     {90, "9", false, 15},
                                     {90, "1000", false, 16},
                                     {90, "feet", false, 17},
                                     {90, "available", false, 18},
                                     {95, "1000", false, 19}};
  std::vector<Callout> callouts = GroupCallouts(cues, phrases);
  ASSERT_EQ(callouts.size(), 10u);
  const char* kinds[] = {"approaching a runway", "on runway",          "on runway",        "\"too fast, too fast\"",
                         "distance remaining",   "distance remaining", "\"flaps, flaps\"", "approaching runways",
                         "distance available",   "\"thousand\""};
  for (size_t i = 0; i < callouts.size(); ++i) EXPECT_EQ(CalloutKind(callouts[i], phrases), kinds[i]) << i;
  // Equal counts keep the order in which they first came.
  EXPECT_EQ(CalloutCounts(callouts, phrases),
            "10 callouts: 2 on runway, 2 distance remaining, 1 approaching a runway, 1 \"too fast, too fast\", "
            "1 \"flaps, flaps\", 1 approaching runways, 1 distance available, 1 \"thousand\"");
  EXPECT_EQ(CalloutCounts({callouts[3]}, phrases), "1 callout: 1 \"too fast, too fast\"");
  EXPECT_EQ(CalloutCounts({}, phrases), "no callouts");
}

}  // namespace
