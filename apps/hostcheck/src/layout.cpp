#include "layout.h"

#include <algorithm>

namespace kvt::hostcheck {

namespace {

const char* const kGroups[4] = {"liquid", "first liquid", "second liquid", "vapour"};

std::string word(const char* block, int w) { return std::string(block) + " word " + num(w); }

// Group 1 (the liquid) is read by no routine of the library; a host may give it no positions.
bool group1_kept(const kvt_hostcheck_input& in) { return in.hxpkv[0] >= 1 || in.hxpkv[5] >= 1 || in.hxpkv[10] >= 1; }

void add(std::vector<Area>& to, std::string name, Pos first, int64_t words, bool flash_writes = false,
         bool doubles = false) {
  if (words > 0) to.push_back({std::move(name), first, words, flash_writes, doubles});
}

void check_inside(Context& cx, const std::vector<Area>& areas, Check check) {
  for (const Area& a : areas) {
    cx.report.exercised(check);
    if (cx.inside(a.first, a.words)) continue;
    const std::string found = a.first < 1 ? "it starts before word 1" : "it ends past the last word";
    cx.report.fail(check, a.name + ", " + where(a) + ": expected inside the work array, PLEX 1.." +
                              num(cx.in.plex_words) + "; found " + found);
  }
}

void check_apart(Context& cx, const Area& a, const Area& b, Check check) {
  const Pos lo = std::max(a.first, b.first), hi = std::min(a.last(), b.last());
  cx.report.exercised(check);
  if (lo > hi) return;
  cx.report.fail(check, a.name + ", " + where(a) + ": expected apart from " + b.name + ", " + where(b) + "; found " +
                            num(hi - lo + 1) + " shared words from PLEX " + num(lo));
}

void check_apart(Context& cx, const std::vector<Area>& a, const std::vector<Area>& b, Check check) {
  for (const Area& x : a) {
    for (const Area& y : b) check_apart(cx, x, y, check);
  }
}

void check_apart_pairwise(Context& cx, const std::vector<Area>& a, Check check) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    for (std::size_t j = i + 1; j < a.size(); ++j) check_apart(cx, a[i], a[j], check);
  }
}

}  // namespace

Layout lay_out(const Context& cx) {
  Layout l;
  const int64_t n = cx.ncomp();
  const Pos rb = Context::stwkwk(KVT_STWKWK_REAL_BASE), ib = Context::stwkwk(KVT_STWKWK_INT_BASE);
  const int64_t rlen = Context::stwork(KVT_STWORK_REAL_RECORD_WORDS);
  const int64_t ilen = Context::stwork(KVT_STWORK_INT_RECORD_WORDS);
  const std::string real_area = "VOKA_STWKWK word 1 + TEBU_STWORK word ";
  const std::string int_area = "VOKA_STWKWK word 2 + TEBU_STWORK word ";
  add(l.host, "component molecular weights (VOKA_IPOFF1 word 306 + 1..NCOMP)", molwt_pos(1), n, false, true);
  for (Comp c : {Comp::Z, Comp::X, Comp::X1, Comp::X2, Comp::Y}) {
    const int w = static_cast<int>(c);
    add(l.host, std::string("composition ") + comp_name(c) + " (" + real_area + num(w) + ")", comp_pos(c), n, true);
  }
  const auto at = [&](int w) { return std::to_string(w); };
  add(l.host, "critical-point work space (" + real_area + at(KVT_STWORK_CRITICAL_WORK) + ")",
      rb + Context::stwork(KVT_STWORK_CRITICAL_WORK), 1, true);
  add(l.host, "scratch real record (" + real_area + at(KVT_STWORK_SCRATCH_REAL) + ", R words)",
      rb + Context::stwork(KVT_STWORK_SCRATCH_REAL), rlen, true);
  add(l.host, "component-number list (" + int_area + at(KVT_STWORK_COMPONENT_LIST) + ")", complist_pos(), n, true);
  add(l.host, "substream descriptor lists (" + int_area + at(KVT_STWORK_DESCRIPTORS) + ", 2 x NSUBS words)",
      descriptor_pos(), 2 * cx.nsubs());
  add(l.host, "scratch integer record (" + int_area + at(KVT_STWORK_SCRATCH_INT) + ", I words)",
      ib + Context::stwork(KVT_STWORK_SCRATCH_INT), ilen, true);

  for (int k = group1_kept(cx.in) ? 1 : 2; k <= 4; ++k) {
    const std::string g = std::string(" (") + kGroups[k - 1] + ")";
    add(l.packed, word("KVT_HXPKV", k) + g + " count", cx.in.hxpkv[k - 1], 1);
    add(l.packed, word("KVT_HXPKV", k + 5) + g + " component numbers", cx.in.hxpkv[k + 4], n);
    add(l.packed, word("KVT_HXPKV", k + 10) + g + " mole fractions", cx.in.hxpkv[k + 9], n, false, true);
  }

  l.real_record_words = rlen;
  l.int_record_words = ilen + 1;
  if (cx.ihxpp(KVT_IHXPP_RETENTION) != 0 && rlen >= 0 && ilen >= 0) {
    add(l.records, "integer retention records (KVT_IHXPP word 24, 10 x (I + 1) words)",
        cx.ihxpp(KVT_IHXPP_INT_RECORDS), kRecords * (ilen + 1));
    add(l.records, "real retention records (KVT_IHXPP word 25, 10 x R words)", cx.ihxpp(KVT_IHXPP_REAL_RECORDS),
        kRecords * rlen, false, true);
  }
  return l;
}

void check_layout(Context& cx, const Layout& l) {
  check_inside(cx, l.host, Check::Positions);
  check_inside(cx, l.packed, Check::Positions);
  check_inside(cx, l.records, Check::Positions);
  if (!group1_kept(cx.in)) {
    cx.report.remark(Check::PackedLists, "group 1 (liquid) has no positions: the flash does not keep it");
  }
  for (int k = 2; k <= 4; ++k) {
    for (int w : {k, k + 5, k + 10}) {
      if (cx.in.hxpkv[w - 1] >= 1) continue;
      cx.report.fail(Check::Positions, word("KVT_HXPKV", w) + " (" + kGroups[k - 1] +
                                           "): expected a work-array position; found " + num(cx.in.hxpkv[w - 1]));
    }
  }

  check_apart_pairwise(cx, l.host, Check::HostAreas);
  check_apart_pairwise(cx, l.packed, Check::PackedLists);
  check_apart(cx, l.packed, l.host, Check::PackedLists);
  check_apart(cx, l.packed, l.records, Check::PackedLists);

  if (cx.ihxpp(KVT_IHXPP_RETENTION) == 0) {
    cx.report.remark(Check::Retention, "retention mode (KVT_IHXPP word 27) is 0: the library uses no records");
    return;
  }
  const int64_t rlen = Context::stwork(KVT_STWORK_REAL_RECORD_WORDS);
  const int64_t ilen = Context::stwork(KVT_STWORK_INT_RECORD_WORDS);
  if (rlen < 0 || ilen < 0) {
    cx.report.fail(Check::Retention, "TEBU_STWORK words 1, 2: expected record lengths R, I of 0 or more; found " +
                                         num(rlen) + ", " + num(ilen));
  }
  check_apart_pairwise(cx, l.records, Check::Retention);
  check_apart(cx, l.records, l.host, Check::Retention);
}

bool inside_work_array(const Context& cx, const Layout& l) {
  for (const auto* areas : {&l.host, &l.records}) {
    for (const Area& a : *areas) {
      if (!cx.inside(a.first, a.words)) return false;
    }
  }
  return true;
}

}  // namespace kvt::hostcheck
