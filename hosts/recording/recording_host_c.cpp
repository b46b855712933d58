// The C interface of the recording stand-in host, over its C++ interface.
#include "recording_host_c.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "recording_host.h"

namespace rec = kvt::rec;

extern "C" {

void kvt_rec_reset(void) { rec::reset(); }

void kvt_rec_lay_out(const int64_t* capacity, int64_t* hxpkv, int64_t* records) {
  const rec::Layout l = rec::lay_out(*capacity);
  const std::array<int64_t, 16> w = l.hxpkv();
  std::copy(w.begin(), w.end(), hxpkv);
  records[0] = l.int_records;
  records[1] = l.real_records;
}

void kvt_rec_set_ncomp(const int64_t* ncomp) { rec::set_ncomp(*ncomp); }
void kvt_rec_set_host_missing(const double* value) { rec::set_host_missing(*value); }
void kvt_rec_set_molwt(const int64_t* component, const double* molwt) { rec::set_molwt(*component, *molwt); }
void kvt_rec_set_idxwat(const int64_t* position) { rec::host().idxwat = *position; }

void kvt_rec_set_flash_result(const int64_t* n, const int64_t* components, const double* y, const double* x,
                              const double* x1, const double* x2, const double* z, const double* state,
                              const double* table) {
  const auto count = static_cast<std::size_t>(*n);
  const auto list = [count](const double* v) { return std::vector<double>(v, v + count); };
  rec::set_flash_count(*n);
  rec::set_components(std::vector<int64_t>(components, components + count));
  rec::set_composition(rec::Comp::Y, list(y));
  rec::set_composition(rec::Comp::X, list(x));
  rec::set_composition(rec::Comp::X1, list(x1));
  rec::set_composition(rec::Comp::X2, list(x2));
  rec::set_composition(rec::Comp::Z, list(z));
  for (int w = 0; w < 5; ++w) rec::set_stwkwk_real(KVT_STWKWK_TEMPERATURE + w, state[w]);
  for (int w = 0; w < 4 * KVT_TABLE_PHASES; ++w) rec::set_stwork_real(KVT_STWORK_ENTHALPY + w, table[w]);
}

void kvt_rec_set_answer(const char* name, const double* value) { rec::host().defaults[name] = *value; }

int64_t kvt_rec_trace_count(const int32_t* unit) {
  return static_cast<int64_t>(rec::host().trace(*unit).size());
}

int64_t kvt_rec_trace_record(const int32_t* unit, const int64_t* index, char* text, const int64_t* capacity) {
  const auto& records = rec::host().trace(*unit);
  if (*index < 1 || *index > static_cast<int64_t>(records.size())) return -1;
  const auto& r = records[static_cast<std::size_t>(*index - 1)];
  const auto n = std::min(r.size(), static_cast<std::size_t>(std::max<int64_t>(*capacity, 0)));
  std::memcpy(text, r.data(), n);
  return static_cast<int64_t>(r.size());
}

}  // extern "C"
