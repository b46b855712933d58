// One flash of a stream with the reference host through libkvt, and every figure the library answers
// about each of its phases, as a JSON document (SI units with kmol).
#pragma once

#include <string>

namespace kvt_python {

// Flash the stream of side 0 of a one-sided case (TOML text) at its inlet temperature and pressure.
// Throws InputError naming the flash's argument at fault ("components.benzen", "temperature")
// rather than the case's field, RunError when the host's flash fails.
std::string flash_json(const std::string& case_text);

}  // namespace kvt_python
