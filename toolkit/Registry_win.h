#pragma once
// The Windows registry behind TRegistry (advapi32).
#include <memory>

#include "toolkit/Registry.h"

std::unique_ptr<TRegistry> OpenRegistry(TRegRoot Root, uint32_t Access);
