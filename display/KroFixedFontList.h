// The process-wide list of fixed-pitch font families, taken once from the platform's catalogue.
#pragma once

#include "Port.h"

#include <string>
#include <string_view>
#include <vector>

// The list; built from the installed platform on first use when nobody built it before.
const std::vector<std::string>& KroFixedFontList();

// Builds (or, for tests, rebuilds) the list from Platform's catalogue, in the catalogue's order.
// When the catalogue has no fixed-pitch family at all the list holds the platform's general
// monospace font alone, and Platform's error box says so, once per build.
void KroBuildFixedFontList(IKroPlatform& Platform);

// Whether Name is in the list: exact and case-sensitive.
bool KroIsFixedFont(std::string_view Name);

// The message shown when no fixed-pitch family was found.
std::string KroNoFixedFontMessage(const std::string& Fallback);
