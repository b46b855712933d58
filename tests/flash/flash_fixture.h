// A flash test: the recording host laid out for a few flash components, both option sets filled with
// values that differ word by word, and a scripted flash result that the host "finds" on every flash.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/fixture.h"

namespace kvt::test {

// Retention record lengths, different from each other and from the layout's room (8 words each),
// so that a swapped or mis-scaled record position shows.
inline constexpr int64_t kRealRecordLen = 6;  // TEBU_STWORK word 1
inline constexpr int64_t kIntRecordLen = 4;   // TEBU_STWORK word 2, status word not counted

struct FlashArgs {
  int64_t iside = 0, islot = 0, kspec = 2, kphs = 0, kpeq = 0;
};

class FlashTest : public KvtTest {
 protected:
  void SetUp() override {
    KvtTest::SetUp();
    TEBU_STWORK[0] = kRealRecordLen;
    TEBU_STWORK[1] = kIntRecordLen;
    for (int w = 1; w <= 20; ++w) KVT_IHXPP[w - 1] = 100 + w;  // option words 1-20: 101..120
    KVT_IHXPP[7] = 5;    // side 0 phase kind code (word 8): not protected from the phase request
    KVT_IHXPP[17] = 6;   // side 1 phase kind code (word 18)
    KVT_IHXPP[9] = 0;    // side 0 water switch (word 10)
    KVT_IHXPP[19] = 1;   // side 1 water switch (word 20)
    KVT_IHXPP[20] = 121;
    KVT_IHXPP[21] = 122;
    KVT_IHXPP[22] = 123;
    KVT_IHXPP[25] = 1;  // NSUBS
    KVT_RHXPP[0] = 0.5;  // side 0 flash real option
    KVT_RHXPP[3] = 4.5;  // side 1 flash real option
    KVT_HXSBD[0] = 31;
    KVT_HXSBD[1] = 32;
    result_.components = {4, 9, 2};
    result_.x = {0.2, 0.3, 0.5};
    result_.x1 = {0.1, 0.2, 0.7};
    result_.x2 = {0.6, 0.3, 0.1};
    result_.y = {0.7, 0.2, 0.1};
    result_.z = {0.4, 0.3, 0.3};
    script_flash(result_);
    set_stream(300.0, 1.0e5, -5.0e4, 0.3);
  }

  void set_stream(double t, double p, double h, double vf) {
    stream().slot(2) = t;
    stream().slot(3) = p;
    stream().slot(4) = h;
    stream().slot(5) = vf;
  }

  int64_t flash(const FlashArgs& a) {
    int64_t ierr = -99;
    KVT_HXFLSH(stream().data(), &stream().nstrm, &a.iside, &a.islot, &a.kspec, &a.kphs, &a.kpeq, &ierr);
    return ierr;
  }

  // The last WEND_FLASH call.
  const rec::Call& flash_call() {
    const auto calls = host().calls_to("WEND_FLASH");
    EXPECT_FALSE(calls.empty());
    return *calls.back();
  }

  // The six integers of the option list handed as argument 5 (the library's working copy).
  static std::vector<int64_t> option_list(const rec::Call& c) {
    std::vector<int64_t> v(6);
    std::memcpy(v.data(), c[5].addr, sizeof(int64_t) * 6);
    return v;
  }

  // PLEX positions of retention record r (0-based) and of its status word.
  int64_t real_record(int64_t r) const { return layout_.real_records + kRealRecordLen * r; }
  int64_t int_record(int64_t r) const { return layout_.int_records + (kIntRecordLen + 1) * r; }
  int64_t status_word(int64_t r) const { return int_record(r) + kIntRecordLen; }
  int64_t scratch_real() const { return layout_.real_base + rec::stwork_int(25); }
  int64_t scratch_int() const { return layout_.int_base + rec::stwork_int(30); }
  int64_t descriptors() const { return layout_.int_base + rec::stwork_int(29); }

  FlashResult result_;
};

}  // namespace kvt::test
