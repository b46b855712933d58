// What the phase-property routines may touch: the words they write (none of the host's, none of
// their own blocks), the arguments they must not read, and no state carried from one call to the next.
#include <string>
#include <vector>

#include "properties/family.h"
#include "support/snapshot.h"

namespace kvt::test {
namespace {

class PropertyStateTest : public FamilyTest, public ::testing::WithParamInterface<const Member*> {
 protected:
  void SetUp() override {
    FamilyTest::SetUp();
    // Water rule on for both sides, with a first liquid of pure water, and the trace on.
    KVT_IHXPP[9] = 1;
    KVT_IHXPP[19] = 1;
    host().idxwat = 2;
    rec::set_composition(rec::Comp::X1, {0.0, 1.0, 0.0});
    KVT_HXPDBG[GetParam()->trace_word - 1] = 1;
    host().default_output = 2.5;
  }
};

// The result and IERR live outside the snapshot; everything the library could reach is inside it.
TEST_P(PropertyStateTest, WritesNothingButTheResultAndIerr) {
  const Member& m = *GetParam();
  for (int64_t side : {0, 1}) {
    for (int64_t basis : {0, 1}) {
      for (int64_t code = 1; code <= 5; ++code) {
        SCOPED_TRACE("ISIDE " + std::to_string(side) + " IBAS " + std::to_string(basis) + " IPHS " +
                     std::to_string(code));
        host().error_flags = {4, 6};
        const Snapshot before = take_snapshot(stream(), layout_.end);
        ask(m.routine, stream(), code, basis, side);
        EXPECT_EQ(outside(diff(before, take_snapshot(stream(), layout_.end)), {}), "");
      }
    }
  }
  EXPECT_FALSE(trace().empty());
}

// Arguments that mean nothing to a routine are never read: an address the caller does not own
// gives the same answer as a real one.
class IgnoredArgumentTest : public PropertyStateTest {};

TEST_P(IgnoredArgumentTest, NeverRead) {
  const Member& m = *GetParam();
  const bool side_ignored = m.routine == KVT_HXPDNS;
  const bool fifth_ignored = !side_ignored;
  const auto* bogus = reinterpret_cast<const int64_t*>(8);
  for (int64_t code = 1; code <= 5; ++code) {
    SCOPED_TRACE("IPHS " + std::to_string(code));
    const Answer normal = ask(m.routine, stream(), code, 0, 0);
    Answer a{-7.0, -7};
    const int64_t zero = 0;
    m.routine(stream().data(), &stream().nstrm, side_ignored ? bogus : &zero, &code, fifth_ignored ? bogus : &zero,
              &a.value, &a.ierr);
    EXPECT_EQ(a.value, normal.value);
    EXPECT_EQ(a.ierr, normal.ierr);
  }
}

INSTANTIATE_TEST_SUITE_P(Family, IgnoredArgumentTest, ::testing::Values(&kThc, &kVis, &kSft, &kDns), member_name);

// The same request gives the same answer and the same host calls, whatever was asked in between.
struct Outcome {
  Answer answer;
  std::vector<std::pair<std::string, std::vector<int64_t>>> calls;  // names and argument words
};

TEST_P(PropertyStateTest, NoStateBetweenCalls) {
  const Member& m = *GetParam();
  KVT_IHXPP[9] = 0;  // side 0: no water rule; side 1: water rule, first liquid pure water
  const auto request = [&](int64_t code, int64_t basis, int64_t side, std::deque<double> values) {
    host().calls.clear();
    host().error_flags.clear();
    for (const auto& n : m.liquid_calls) host().outputs[n] = values;
    for (const auto& n : m.vapour_calls) host().outputs[n] = values;
    Outcome o{ask(m.routine, stream(), code, basis, side), {}};
    for (const rec::Call& c : host().calls) {
      std::vector<int64_t> words;
      for (const rec::Arg& a : c.args) words.push_back(a.word);
      o.calls.emplace_back(c.name, words);
    }
    return o;
  };
  for (int64_t code = 1; code <= 5; ++code) {
    SCOPED_TRACE("IPHS " + std::to_string(code));
    const Outcome first = request(code, 1, 0, {7.0, 3.0, 5.0, 11.0, 2.0, 13.0});
    // In between: the other side (water rule on), another phase and basis, a host error flag, and
    // another routine of the family.
    host().error_flags = {9, 9, 9};
    request(code == 1 ? 4 : 1, 0, 1, {1.0, 1.0, 1.0, 1.0, 1.0, 1.0});
    ask(m.routine == KVT_HXPCPP ? KVT_HXPTHV : KVT_HXPCPP, stream(), 5, 0, 1);
    const Outcome again = request(code, 1, 0, {7.0, 3.0, 5.0, 11.0, 2.0, 13.0});
    EXPECT_EQ(again.answer.value, first.answer.value);
    EXPECT_EQ(again.answer.ierr, first.answer.ierr);
    EXPECT_EQ(again.calls, first.calls);
  }
}

INSTANTIATE_TEST_SUITE_P(Family, PropertyStateTest, ::testing::Values(&kCpp, &kThc, &kVis, &kSft, &kDns, &kThv),
                         member_name);

}  // namespace
}  // namespace kvt::test
