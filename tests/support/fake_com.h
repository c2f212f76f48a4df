// A stand-in for CoCreateInstance: it makes the fake classes listed in
// fake_com.cpp (one line per service) and logs "CoCreateInstance(Name,context)".
#pragma once

#include <map>
#include <string>

#include "platform.h"

// Results to give instead of creating, by class name ("DirectDraw").
extern std::map<std::string, HRESULT> fakeComFailures;
