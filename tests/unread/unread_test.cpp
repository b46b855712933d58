// Arguments that mean nothing to a routine are never read: handed an address the caller does not
// own, the routine gives what it gives with a real argument. (Reading one faults, and the sanitizer
// and valgrind runs of this program report it.) NSTRM is read by the trace only.
#include <bit>
#include <limits>

#include "support/scenario.h"

namespace kvt::test {
namespace {

const int64_t* const kUnowned = reinterpret_cast<const int64_t*>(alignof(int64_t));

// Whether ISIDE, IPHS, IBAS go unread.
const struct { Routine routine; bool iside, iphs, ibas; } kUnread[] = {
    {KVT_HXPFRC, true, false, false}, {KVT_HXPMWT, true, false, false}, {KVT_HXPMFL, true, false, false},
    {KVT_HXPQFL, true, false, true},  {KVT_HXPCPP, false, false, false}, {KVT_HXPTHC, false, false, true},
    {KVT_HXPVIS, false, false, true}, {KVT_HXPSFT, false, false, true}, {KVT_HXPDNS, true, false, false},
    {KVT_HXPTHV, false, false, false}, {KVT_HXPTMC, true, false, true}, {KVT_HXPPRC, true, false, true},
    {KVT_HXPTMP, true, true, true},   {KVT_HXPPRS, true, true, true},
};

using UnreadArguments = Scenario;

TEST_F(UnreadArguments, NeverRead) {
  for (std::size_t k = 0; k < std::size(kUnread); ++k) {
    const auto& u = kUnread[k];
    for (int64_t iphs = 1; iphs <= 5; ++iphs) {
      const int64_t side = 1, basis = 1;
      const Answer want = ask(u.routine, iphs, basis, side);
      Answer got{-7.0, -7};
      u.routine(strm.data(), kUnowned, u.iside ? kUnowned : &side, u.iphs ? kUnowned : &iphs,
                u.ibas ? kUnowned : &basis, &got.value, &got.ierr);
      EXPECT_EQ(got, want) << "routine " << k << " IPHS " << iphs;
    }
  }
  // A setter stores its value as it is, NaN included.
  const Setter setters[] = {KVT_HXUTMP, KVT_HXUPRS, KVT_HXUNTH, KVT_HXUVFR};
  const double values[] = {-4.0, kMissing, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
  for (int k = 0; k < 4; ++k) {
    setters[k](strm.data(), kUnowned, kUnowned, &values[k]);
    EXPECT_EQ(std::bit_cast<int64_t>(slot(k + 2)), std::bit_cast<int64_t>(values[k])) << k;
  }
  int64_t ierr = -1, side = 0, slot_code = 0, kspec = KVT_SPEC_TP, kphs = 0, kpeq = 0;
  KVT_HXFLSH(strm.data(), kUnowned, &side, &slot_code, &kspec, &kphs, &kpeq, &ierr);
  EXPECT_EQ(ierr, 0);
}

}  // namespace
}  // namespace kvt::test
