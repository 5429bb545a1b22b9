// The skin demo's start-up: the application, its title and the two windows (the About window
// created hidden), as the program and its tests start it.
#pragma once

void StartSkinDemo();
