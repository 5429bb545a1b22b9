// The skin demo's start-up: the application, its title, the MDI frame with its three children
// (Controls, a child and a menu child, cascaded) and the About window (created hidden), as the
// program and its tests start it. The command line's arguments say where Records takes its rows
// from; arguments that make no sense are reported in a message box and the demo starts anyway.
#pragma once

#include <string>
#include <vector>

void StartSkinDemo(const std::vector<std::string>& args = {});
