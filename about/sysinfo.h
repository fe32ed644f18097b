// The launcher of the system-information tool, found through the registry.
#pragma once

#include <cstdint>
#include <string>

#include "app/form.h"

namespace qvl {

// Reads one registry value as text into KeyVal. False, with KeyVal empty,
// when the key does not open or the value cannot be read. The key is closed
// again on every way out, an error included.
bool GetKeyValue(Registry& registry, std::uint32_t KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal);

// Starts the tool, or tells the user that it cannot be had. Handles every
// error of its own.
void StartSysInfo(Runtime& runtime);

}  // namespace qvl
