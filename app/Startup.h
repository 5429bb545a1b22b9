// The program's start-up before its message loop: the application object, its title and
// the four windows in order (the first becomes the main window; only it is shown by Run).
#pragma once

void StartVantor();
