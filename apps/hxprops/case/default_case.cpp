#include "case/default_case.h"

#include <string>

#include "case/case_file.h"

namespace hxprops {

Case default_case() { return parse_case(default_case_text(), kDefaultCaseOrigin); }

}  // namespace hxprops
