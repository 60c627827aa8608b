#pragma once

// All of the library: make card numbers from a request, as a range or as
// the bytes pellorin-cli writes; judge numbers; list the networks.
#include "pellorin/check.h"
#include "pellorin/generate.h"
#include "pellorin/networks.h"
#include "pellorin/refusal.h"
#include "pellorin/request.h"
