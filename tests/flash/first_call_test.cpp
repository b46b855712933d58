// The flash's working copy starts as zeros: a first flash with a side other than 0 and 1 copies no
// option set. Its own executable, because the working copy lives as long as the process.
#include "flash/flash_fixture.h"

namespace kvt::test {
namespace {

TEST_F(FlashTest, FirstFlashOfTheProcessWithSide2SendsZeros) {
  const FlashArgs first{.iside = 2, .islot = 0, .kspec = 2, .kphs = 0};
  flash(first);
  const rec::Call& f = flash_call();
  EXPECT_EQ(option_list(f), std::vector<int64_t>(6, 0));
  EXPECT_EQ(f[7].word, 0);
  EXPECT_EQ(f[8].word, 0);
  EXPECT_EQ(f[9].word, 0);
  EXPECT_EQ(f[10].real(), 0.0);
  EXPECT_EQ(f[13].real(), 0.0);  // KSPEC 2 sets no estimate: still the initial zero
}

}  // namespace
}  // namespace kvt::test
