// The FlightGear link as a source of frames: records over loopback UDP become
// frames on FlightGear's clock; garbage, short, out-of-order and early
// records are dropped and reported; restarts, silences and aircraft changes
// are handled; text lines go back to FlightGear; captures read back.
#include "flightgear_source.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <thread>

#include "temp_folder.h"

namespace sim {
namespace {

// A record at FlightGear time `elapsed`, the c172p standing on PHNL 26R.
std::string Record(double elapsed, const std::string& aircraft = "c172p", double flaps = 0.0, double altitude = 15.26) {
  char text[400];
  std::snprintf(text, sizeof text,
                "ORV1\t%.3f\t21.32524490\t-157.90713501\t%.2f\t-32.74\t4.05\t270.017\t2.24\t0.31\t-0.010\t1\t1\t1\t"
                "1.000\t%.4f\t29.973\t29.920\t1.00\t%s\n",
                elapsed, altitude, flaps, aircraft.c_str());
  return text;
}

class FlightGearLink : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::path aircraft = folder_.path() / "FlightGear" / "Aircraft" / "c172p";
    std::filesystem::create_directories(aircraft);
    std::ofstream(aircraft / "aircraft.cfg") << "[flaps.0]\ntype=1\nflaps-position.0=0\nflaps-position.1=10\n"
                                                "flaps-position.2=20\nflaps-position.3=30\n";
    common::Result<> bound = text_.Bind(0);
    ASSERT_TRUE(bound) << bound.error();
    common::Result<> opened = sender_.OpenForSending();
    ASSERT_TRUE(opened) << opened.error();
  }

  // A source on a free port; Next gives up after `patience` without a frame.
  std::unique_ptr<FlightGearSource> Open(int silenceReportMs = 2000, std::string capture = {}) {
    FlightGearLinkOptions options;
    options.port = 0;
    options.textPort = text_.Port();
    options.simulatorDir = folder_.path().string();
    options.capturePath = std::move(capture);
    options.silenceReportMs = silenceReportMs;
    options.shouldStop = [this] { return std::chrono::steady_clock::now() > deadline_; };
    auto source = std::make_unique<FlightGearSource>(options, [this](const std::string& line) {
      std::lock_guard<std::mutex> lock(mutex_);
      said_.push_back(line);
    });
    common::Result<> opened = source->Open();
    EXPECT_TRUE(opened) << opened.error();
    return source;
  }

  void Send(const FlightGearSource& source, const std::string& datagram) {
    common::Result<> sent = sender_.Send(source.Port(), datagram);
    ASSERT_TRUE(sent) << sent.error();
  }

  bool Next(FlightGearSource& source, SourceFrame& frame,
            std::chrono::milliseconds patience = std::chrono::seconds(5)) {
    deadline_ = std::chrono::steady_clock::now() + patience;
    return source.Next(frame, false);
  }

  bool Said(const std::string& part) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& line : said_)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
  size_t SaidCount(const std::string& part) {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t n = 0;
    for (const std::string& line : said_) n += line.find(part) != std::string::npos;
    return n;
  }

  TempFolder folder_;
  LoopbackUdp text_, sender_;
  std::chrono::steady_clock::time_point deadline_;
  std::mutex mutex_;
  std::vector<std::string> said_;
};

TEST_F(FlightGearLink, RecordsBecomeFramesOnFlightGearsClock) {
  auto source = Open();
  Send(*source, Record(61.283, "c172p", 0.3333));
  SourceFrame frame;
  ASSERT_TRUE(Next(*source, frame));
  // The first record is time 0: the aircraft loads and the simulation starts.
  EXPECT_EQ(frame.microseconds, 0);
  ASSERT_EQ(frame.events.size(), 2u);
  EXPECT_EQ(frame.events[0].kind, EventKind::AircraftLoaded);
  EXPECT_EQ(frame.events[0].text, (folder_.path() / "FlightGear" / "Aircraft" / "c172p" / "c172p.air").string());
  EXPECT_EQ(frame.events[1].kind, EventKind::SimStart);
  EXPECT_EQ(frame.aircraft.flapsHandleIndex, 1);  // detent 1 of the four in aircraft.cfg
  EXPECT_DOUBLE_EQ(frame.aircraft.headingTrueDeg, 270.017);
  EXPECT_GT(frame.arrivedMicroseconds, 0);
  EXPECT_TRUE(Said("FlightGear connected: c172p at 21.32524 -157.90714"));
  EXPECT_TRUE(Said("4 flap detents"));

  Send(*source, Record(61.783, "c172p", 0.6667));
  ASSERT_TRUE(Next(*source, frame));
  EXPECT_EQ(frame.microseconds, 500000);
  EXPECT_TRUE(frame.events.empty());
  EXPECT_EQ(frame.aircraft.flapsHandleIndex, 2);
  // A record of the same instant (FlightGear paused) is a frame at that instant.
  Send(*source, Record(61.783));
  ASSERT_TRUE(Next(*source, frame));
  EXPECT_EQ(frame.microseconds, 500000);
  EXPECT_EQ(source->Counts().records, 3u);
}

TEST_F(FlightGearLink, GarbageShortAndOutOfOrderRecordsAreDropped) {
  auto source = Open();
  Send(*source, Record(10.0));
  SourceFrame frame;
  ASSERT_TRUE(Next(*source, frame));

  Send(*source, std::string("\x00\xff\x13garbage", 10));
  Send(*source, "ORV1\t10.1\t21.3");                   // short
  Send(*source, Record(10.2).substr(0, 60));           // cut off
  Send(*source, Record(9.6));                          // out of order
  Send(*source, Record(10.5, "c172p", 1.0, -9999.0));  // FlightGear placing the aircraft again
  Send(*source, Record(10.5));
  ASSERT_TRUE(Next(*source, frame));
  EXPECT_EQ(frame.microseconds, 500000);
  const FlightGearLinkCounts& counts = source->Counts();
  EXPECT_EQ(counts.datagrams, 7u);
  EXPECT_EQ(counts.records, 2u);
  EXPECT_EQ(counts.refused, 3u);
  EXPECT_EQ(counts.outOfOrder, 1u);
  EXPECT_EQ(counts.unplaced, 1u);
  EXPECT_TRUE(Said("FlightGear record refused: not a record of the orvante protocol"));
  EXPECT_TRUE(Said("FlightGear record refused: 3 fields where the protocol has 20"));
  EXPECT_TRUE(Said("out of order (0.4 s older than the last) dropped"));
  EXPECT_TRUE(Said("FlightGear is still placing its aircraft"));

  // After five refusals one by one, the rest are counted, not printed.
  for (int k = 0; k < 20; ++k) Send(*source, "noise " + std::to_string(k));
  Send(*source, Record(11.0));
  ASSERT_TRUE(Next(*source, frame));
  EXPECT_EQ(source->Counts().refused, 23u);
  EXPECT_EQ(SaidCount("FlightGear record refused"), 5u);
}

TEST_F(FlightGearLink, ARestartedFlightGearGoesOnFromTheLastTime) {
  auto source = Open();
  SourceFrame frame;
  Send(*source, Record(100.0));
  ASSERT_TRUE(Next(*source, frame));
  Send(*source, Record(104.0));
  ASSERT_TRUE(Next(*source, frame));
  EXPECT_EQ(frame.microseconds, 4000000);
  // FlightGear restarted with another aircraft: its clock begins again.
  Send(*source, Record(0.5, "ufo"));
  ASSERT_TRUE(Next(*source, frame));
  EXPECT_EQ(frame.microseconds, 4000000 + 33333);
  ASSERT_EQ(frame.events.size(), 1u);
  EXPECT_EQ(frame.events[0].kind, EventKind::AircraftLoaded);
  EXPECT_NEAR(frame.events[0].t, 4.033333, 1e-6);
  EXPECT_NE(frame.events[0].text.find("/FlightGear/Aircraft/ufo/ufo.air"), std::string::npos);
  // No aircraft.cfg for the ufo: its flaps read as up.
  EXPECT_TRUE(Said("has no aircraft.cfg with flap detents"));
  Send(*source, Record(1.5, "ufo", 1.0));
  ASSERT_TRUE(Next(*source, frame));
  EXPECT_EQ(frame.microseconds, 5033333);
  EXPECT_EQ(frame.aircraft.flapsHandleIndex, 0);
  // A leap of more than 30 s forward goes on one frame later too.
  Send(*source, Record(100.0, "ufo"));
  ASSERT_TRUE(Next(*source, frame));
  EXPECT_EQ(frame.microseconds, 5033333 + 33333);
  EXPECT_EQ(source->Counts().restarts, 2u);
  EXPECT_TRUE(Said("FlightGear's clock went from 104.0 s to 0.5 s (FlightGear restarted or was reset)"));
}

TEST_F(FlightGearLink, SilenceIsReportedAndTheFlightGoesOnWhenRecordsReturn) {
  auto source = Open(300);
  SourceFrame frame;
  Send(*source, Record(5.0));
  ASSERT_TRUE(Next(*source, frame));
  std::thread later([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    Send(*source, Record(5.1));
  });
  ASSERT_TRUE(Next(*source, frame));
  later.join();
  EXPECT_EQ(frame.microseconds, 100000);
  EXPECT_EQ(SaidCount("FlightGear has sent nothing for"), 1u);
  EXPECT_TRUE(Said("FlightGear is sending again after"));
  EXPECT_EQ(source->Counts().silences, 1u);

  // Asked to stop while FlightGear is quiet, the source ends the flight.
  EXPECT_FALSE(Next(*source, frame, std::chrono::milliseconds(200)));
}

TEST_F(FlightGearLink, TextLinesGoToFlightGearsScreen) {
  auto source = Open();
  source->TextLine("ALTIMETER\tSETTING\n");
  std::string datagram, error;
  ASSERT_EQ(text_.Receive(2000, datagram, error), LoopbackUdp::Received::Datagram) << error;
  EXPECT_EQ(datagram, "ALTIMETER SETTING\n");
  source->TextLine("\n\r");  // nothing left to show: nothing sent
  EXPECT_EQ(text_.Receive(200, datagram, error), LoopbackUdp::Received::Timeout);
  EXPECT_EQ(source->Counts().textLines, 1u);
}

TEST_F(FlightGearLink, CapturesPlayBackTheSameDatagrams) {
  std::string capture = (folder_.path() / "capture.txt").string();
  std::vector<std::string> sent = {Record(1.0), std::string("bin\x00\x01\\\x7f\ttab", 11), Record(1.5)};
  {
    auto source = Open(2000, capture);
    SourceFrame frame;
    for (const std::string& datagram : sent) Send(*source, datagram);
    ASSERT_TRUE(Next(*source, frame));
    ASSERT_TRUE(Next(*source, frame));
  }
  std::ifstream in(capture, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  common::Result<std::vector<CapturedDatagram>> read = ParseFlightGearCapture(text);
  ASSERT_TRUE(read) << read.error();
  ASSERT_EQ(read->size(), sent.size());
  for (size_t k = 0; k < sent.size(); ++k) EXPECT_EQ((*read)[k].datagram, sent[k]) << k;
  EXPECT_LE((*read)[0].seconds, (*read)[2].seconds);

  read = ParseFlightGearCapture("0.5 no tab\n");
  EXPECT_FALSE(read);
  EXPECT_EQ(read.error(), "line 1: no tab after the time");
  read = ParseFlightGearCapture("# c\n1.0\tx\n0.5\ty\n");
  EXPECT_FALSE(read);
  EXPECT_EQ(read.error(), "line 3: \"0.5\" is no time at or after the line before");
  read = ParseFlightGearCapture("1.0\tbad \\q escape\n");
  EXPECT_FALSE(read);
  EXPECT_EQ(read.error(), "line 1: a backslash that escapes nothing");
  EXPECT_FALSE(ParseFlightGearCapture("1.0\tcut \\x4"));
}

TEST_F(FlightGearLink, APortInUseIsAClearError) {
  auto first = Open();
  FlightGearLinkOptions options;
  options.port = first->Port();
  FlightGearSource second(options, nullptr);
  common::Result<> opened = second.Open();
  EXPECT_FALSE(opened);
  EXPECT_NE(opened.error().find("cannot listen on 127.0.0.1:" + std::to_string(first->Port())), std::string::npos)
      << opened.error();
}

}  // namespace
}  // namespace sim
